#pragma once

// Drives a patch dialog through its real widgets, as a user would: show it, pick a group,
// type into a field, press a button.

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAccessible>
#include <QApplication>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QStackedWidget>
#include <QTest>

namespace brimwell::testing {

// The ways a user changes a check box or radio button: a click, Space while it has the focus,
// or a screen reader's toggle action (which Qt carries out as toggle()).
enum class UserToggle { Click, Space, AccessibleAction };
inline constexpr UserToggle kUserToggles[] = {UserToggle::Click, UserToggle::Space,
                                              UserToggle::AccessibleAction};

inline const char* Describe(UserToggle way) {
  switch (way) {
    case UserToggle::Click:
      return "click";
    case UserToggle::Space:
      return "Space";
    case UserToggle::AccessibleAction:
      return "accessible toggle action";
  }
  return "";
}

inline void ToggleAsUser(QAbstractButton* button, UserToggle way) {
  switch (way) {
    case UserToggle::Click:
      // On the box: Qt takes clicks beside a short caption for misses.
      QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(8, button->height() / 2));
      break;
    case UserToggle::Space:
      button->setFocus();
      QTest::keyClick(button, Qt::Key_Space);
      break;
    case UserToggle::AccessibleAction: {
      QAccessibleInterface* control = QAccessible::queryAccessibleInterface(button);
      ASSERT_NE(control->actionInterface(), nullptr);
      control->actionInterface()->doAction(QAccessibleActionInterface::toggleAction());
      break;
    }
  }
}

class PatchDialogDriver {
 public:
  PatchDialogDriver(QDialog& dialog, const char* groupListName)
      : dialog_(dialog), groupListName_(groupListName) {}

  void Show() {
    dialog_.show();
    QApplication::processEvents();
  }

  template <typename T = QLineEdit>
  T* Find(const char* name) const {
    auto* found = dialog_.findChild<T*>(QString::fromLatin1(name));
    EXPECT_NE(found, nullptr) << name;
    return found;
  }

  QListWidget* GroupList() const { return Find<QListWidget>(groupListName_); }
  QString VisiblePage() const {
    return Find<QStackedWidget>("PageControl1")->currentWidget()->objectName();
  }

  // Replaces a field's text by typing.
  void Type(const char* edit, const QString& text) const {
    QLineEdit* field = Find(edit);
    field->setFocus();
    field->selectAll();
    QTest::keyClick(field, Qt::Key_Backspace);
    QTest::keyClicks(field, text);
  }

  void PickGroup(int row) const {
    QListWidget* list = GroupList();
    const QRect entry = list->visualItemRect(list->item(row));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, entry.center());
  }

  void Press(const char* button) const {
    QTest::mouseClick(Find<QPushButton>(button), Qt::LeftButton);
  }

 private:
  QDialog& dialog_;
  const char* groupListName_;
};

}  // namespace brimwell::testing
