#pragma once

// A base for the patch dialogs' UI tests: it drives the dialog that the test names through its
// real widgets, as a user would, on Qt's offscreen platform.

#include <gtest/gtest.h>

#include <QApplication>
#include <QDialog>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QStackedWidget>
#include <QTest>

namespace brimwell::testing {

class PatchDialogTest : public ::testing::Test {
 protected:
  explicit PatchDialogTest(const char* groupListName) : groupListName_(groupListName) {}

  // The dialog under test.
  virtual QDialog& Dialog() = 0;

  void Show() {
    Dialog().show();
    QApplication::processEvents();
  }

  template <typename T = QLineEdit>
  T* Find(const char* name) {
    auto* found = Dialog().findChild<T*>(QString::fromLatin1(name));
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

 private:
  const char* groupListName_;
};

}  // namespace brimwell::testing
