#include "patches/PatchDialog.h"

#include <QAbstractButton>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QListWidget>
#include <QPushButton>
#include <QShowEvent>
#include <QSignalBlocker>
#include <QStackedWidget>
#include <QVBoxLayout>

#include "DialogButtons.h"

namespace brimwell {
namespace {

// A list box of groups, like a Windows single-selection list box: once an entry is selected,
// one stays selected. Qt's own list would let Ctrl+click or Ctrl+Space clear the selection.
class GroupList : public QListWidget {
 protected:
  QItemSelectionModel::SelectionFlags selectionCommand(const QModelIndex& index,
                                                       const QEvent* event) const override {
    const auto command = QListWidget::selectionCommand(index, event);
    return command.testFlag(QItemSelectionModel::Deselect) ? QItemSelectionModel::NoUpdate
                                                           : command;
  }
};

}  // namespace

PatchDialog::PatchDialog(const char* caption, const char* groupListName, QWidget* parent)
    : QDialog(parent) {
  setWindowTitle(QString::fromLatin1(caption));
  CreateWidgets(groupListName);
  CreateLayout();
  ConnectWidgets();
}

void PatchDialog::CreateWidgets(const char* groupListName) {
  groupList_ = new GroupList;
  groupList_->setObjectName(QString::fromLatin1(groupListName));
  // The pages have no tabs: the group list is the only way between them.
  PageControl1 = new QStackedWidget;
  PageControl1->setObjectName(QStringLiteral("PageControl1"));
  btnOK = NewDialogButton("btnOK", "&OK");
  btnCancel = NewDialogButton("btnCancel", "&Cancel");
}

void PatchDialog::CreateLayout() {
  auto* pages = new QHBoxLayout;
  groupList_->setMaximumWidth(140);
  pages->addWidget(groupList_);
  pages->addWidget(PageControl1, 1);

  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(btnOK);
  buttons->addWidget(btnCancel);

  auto* layout = new QVBoxLayout(this);
  layout->addLayout(pages, 1);
  layout->addLayout(buttons);
}

void PatchDialog::ConnectWidgets() {
  // The program selects entries under a signal blocker, so this runs for the user's picks only.
  connect(groupList_, &QListWidget::currentRowChanged, this, &PatchDialog::GroupListClick);
  connect(btnOK, &QPushButton::clicked, this, &PatchDialog::btnOKClick);
  connect(btnCancel, &QPushButton::clicked, this, &QDialog::reject);
}

QWidget* PatchDialog::AddPage(const char* entry, const char* pageName) {
  auto* page = new QWidget;
  page->setObjectName(QString::fromLatin1(pageName));
  const QSignalBlocker programChange(groupList_);
  groupList_->addItem(QString::fromLatin1(entry));
  PageControl1->addWidget(page);
  return page;
}

void PatchDialog::OnUserToggle(QAbstractButton* button, std::function<void()> handler) {
  connect(button, &QAbstractButton::toggled, this, [this, handler = std::move(handler)] {
    if (!loading_) handler();
  });
}

void PatchDialog::showEvent(QShowEvent* event) {
  // A window system's re-show (say, after minimising) is not a new showing.
  if (!event->spontaneous()) FormShow();
  QDialog::showEvent(event);
}

void PatchDialog::FormShow() {
  if (HasImage()) {
    loading_ = true;
    LoadControls(image_);
    loading_ = false;
  }
  // Only the first showing finds no entry selected; later ones keep the user's last group.
  if (groupList_->currentRow() < 0) SelectFirstGroup();
}

void PatchDialog::GroupListClick() {
  if (groupList_->currentRow() < 0) {
    SelectFirstGroup();
    return;
  }
  PageControl1->setCurrentIndex(groupList_->currentRow());
}

void PatchDialog::SelectFirstGroup() {
  {
    const QSignalBlocker programChange(groupList_);
    groupList_->setCurrentRow(0);
  }
  GroupListClick();
}

void PatchDialog::btnOKClick() {
  setResult(QDialog::Accepted);
  if (HasImage()) StoreControls(image_);
  accept();
}

// The main window shows an editor only while a ROM is loaded, and every ROM is long enough for
// every offset the editors use; without one there is nothing to read or write.
bool PatchDialog::HasImage() const {
  return image_.size() >= kMinRomLength;
}

void PatchDialog::keyPressEvent(QKeyEvent* event) {
  if (!PressFocusedButtonOnEnter(this, event)) QDialog::keyPressEvent(event);
}

}  // namespace brimwell
