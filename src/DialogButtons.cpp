#include "DialogButtons.h"

#include <QDialog>
#include <QKeyEvent>
#include <QPushButton>

namespace brimwell {

QPushButton* NewDialogButton(const char* name, const char* caption) {
  auto* button = new QPushButton(QString::fromLatin1(caption));
  button->setObjectName(QString::fromLatin1(name));
  // Qt's dialogs would hand Enter from an edit field to an auto-default button.
  button->setAutoDefault(false);
  button->setDefault(false);
  return button;
}

bool PressFocusedButtonOnEnter(QDialog* dialog, QKeyEvent* event) {
  if (event->key() != Qt::Key_Return && event->key() != Qt::Key_Enter) return false;
  if (auto* button = qobject_cast<QPushButton*>(dialog->focusWidget())) button->click();
  event->accept();
  return true;
}

}  // namespace brimwell
