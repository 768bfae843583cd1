#pragma once

// A fixture that drives a patch dialog through its real widgets on the offscreen platform, over
// an image that looks like the untouched game.

#include <gtest/gtest.h>

#include <QApplication>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QStackedWidget>
#include <QTest>

#include "TestRom.h"

namespace brimwell::testing {

template <typename Dialog>
class PatchDialogTest : public ::testing::Test {
 protected:
  explicit PatchDialogTest(const char* groupListName)
      : image(MakeTestRom()), groupListName_(groupListName) {
    dialog.SetImage(image);
  }

  void Show() {
    dialog.show();
    QApplication::processEvents();
  }

  template <typename T = QLineEdit>
  T* Find(const char* name) {
    auto* found = dialog.template findChild<T*>(QString::fromLatin1(name));
    EXPECT_NE(found, nullptr) << name;
    return found;
  }

  QListWidget* GroupList() { return Find<QListWidget>(groupListName_); }
  QString VisiblePage() {
    return Find<QStackedWidget>("PageControl1")->currentWidget()->objectName();
  }

  // Replaces a field's text by typing, as the user would.
  void Type(const char* edit, const QString& text) {
    QLineEdit* field = Find(edit);
    field->setFocus();
    field->selectAll();
    QTest::keyClick(field, Qt::Key_Backspace);
    QTest::keyClicks(field, text);
  }

  void PickGroup(int row) {
    QListWidget* list = GroupList();
    const QRect entry = list->visualItemRect(list->item(row));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, entry.center());
  }

  void Press(const char* button) { QTest::mouseClick(Find<QPushButton>(button), Qt::LeftButton); }

  std::vector<Byte> image;
  Dialog dialog;

 private:
  const char* groupListName_;
};

}  // namespace brimwell::testing
