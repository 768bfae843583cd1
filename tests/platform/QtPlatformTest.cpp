// The desktop half of the platform seam: what a message box shows a screen reader.

#include "platform/QtPlatform.h"

#include <gtest/gtest.h>

#include <QAccessible>
#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

namespace brimwell {
namespace {

struct SeenBox {
  QAccessible::Role role{};
  QString title, text, accessibleName;
  QStringList buttons;
  QMessageBox::Icon icon{};
};

// Shows the box and reads it while it is up, then presses its OK button.
SeenBox ShowAndRead(MessageKind kind, const std::string& text) {
  SeenBox seen;
  QTimer::singleShot(0, [&seen] {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    ASSERT_NE(box, nullptr);
    QAccessibleInterface* alert = QAccessible::queryAccessibleInterface(box);
    seen.role = alert->role();
    seen.accessibleName = alert->text(QAccessible::Name);
    seen.title = box->windowTitle();
    seen.text = box->text();
    seen.icon = box->icon();
    for (QAbstractButton* button : box->buttons()) seen.buttons << button->text();
    box->button(QMessageBox::Ok)->click();
  });
  QtPlatform().ShowMessage(kind, text);
  return seen;
}

TEST(QtPlatformMessage, IsAnAlertWithItsTitleTextAndOneOkButton) {
  const struct {
    MessageKind kind;
    const char* title;
    QMessageBox::Icon icon;
  } kinds[] = {
      {MessageKind::Warning, "Warning", QMessageBox::Warning},
      {MessageKind::Error, "Error", QMessageBox::Critical},
      {MessageKind::Information, "Information", QMessageBox::Information},
  };
  for (const auto& kind : kinds) {
    SCOPED_TRACE(kind.title);
    // Markup in a message is shown as it is, never interpreted.
    const SeenBox seen = ShowAndRead(kind.kind, "Could not load <b>x</b>.");
    EXPECT_EQ(seen.role, QAccessible::AlertMessage);
    EXPECT_EQ(seen.title, kind.title);
    EXPECT_EQ(seen.accessibleName, kind.title);
    EXPECT_EQ(seen.text, "Could not load <b>x</b>.");
    EXPECT_EQ(seen.icon, kind.icon);
    EXPECT_EQ(seen.buttons, QStringList{"OK"});
  }
}

}  // namespace
}  // namespace brimwell
