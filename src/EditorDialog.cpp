#include "EditorDialog.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QPushButton>
#include <QShowEvent>

#include "rom/RomDocument.h"

namespace brimwell {
namespace {

QPushButton* NewDialogButton(const char* name, const char* caption) {
  auto* button = new QPushButton(QString::fromLatin1(caption));
  button->setObjectName(QString::fromLatin1(name));
  // Qt's dialogs would hand Enter from an edit field to an auto-default button.
  button->setAutoDefault(false);
  button->setDefault(false);
  return button;
}

}  // namespace

EditorDialog::EditorDialog(RomDocument& document, const char* name, const char* caption,
                           QWidget* parent)
    : QDialog(parent), document_(document) {
  setObjectName(QString::fromLatin1(name));
  setWindowTitle(QString::fromLatin1(caption));
}

// Built here rather than at the show event: Qt sizes a window from its contents before that.
void EditorDialog::setVisible(bool visible) {
  if (visible && !btnOK) {
    CreateButtons();
    CreateContents();
  }
  QDialog::setVisible(visible);
}

void EditorDialog::CreateButtons() {
  btnOK = NewDialogButton("btnOK", "&OK");
  btnCancel = NewDialogButton("btnCancel", "&Cancel");
  connect(btnOK, &QPushButton::clicked, this, &EditorDialog::btnOKClick);
  connect(btnCancel, &QPushButton::clicked, this, &QDialog::reject);
}

QLayout* EditorDialog::NewButtonRow() const {
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(btnOK);
  buttons->addWidget(btnCancel);
  return buttons;
}

void EditorDialog::showEvent(QShowEvent* event) {
  // A window system's re-show (say, after minimising) is not a new showing.
  if (!event->spontaneous())
    FormShow(document_.RomLoaded() ? document_.Image().Bytes() : ConstRomBytes());
  QDialog::showEvent(event);
}

void EditorDialog::btnOKClick() {
  setResult(QDialog::Accepted);
  if (document_.RomLoaded()) StoreControls(document_.Image().Bytes());
  accept();
}

// Enter presses a button only when that button has the focus; in an edit field or a drop-down
// it does nothing. Esc still cancels through the base class.
void EditorDialog::keyPressEvent(QKeyEvent* event) {
  if (event->key() != Qt::Key_Return && event->key() != Qt::Key_Enter) {
    QDialog::keyPressEvent(event);
    return;
  }
  if (auto* button = qobject_cast<QPushButton*>(focusWidget())) button->click();
  event->accept();
}

}  // namespace brimwell
