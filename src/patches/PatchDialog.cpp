#include "patches/PatchDialog.h"

#include <QHBoxLayout>
#include <QListWidget>
#include <QSignalBlocker>
#include <QStackedWidget>
#include <QVBoxLayout>

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

PatchDialog::PatchDialog(RomDocument& document, const char* name, const char* caption,
                         const char* groupListName, QWidget* parent)
    : EditorDialog(document, name, caption, parent), groupListName_(groupListName) {}

void PatchDialog::CreateContents() {
  groupList_ = new GroupList;
  groupList_->setObjectName(QString::fromLatin1(groupListName_));
  // The pages have no tabs: the group list is the only way between them.
  PageControl1 = new QStackedWidget;
  PageControl1->setObjectName(QStringLiteral("PageControl1"));
  CreateLayout();
  CreatePages();
  // The program selects entries under a signal blocker, so this runs for the user's picks only.
  connect(groupList_, &QListWidget::currentRowChanged, this, &PatchDialog::GroupListClick);
}

void PatchDialog::CreateLayout() {
  auto* pages = new QHBoxLayout;
  groupList_->setMaximumWidth(140);
  pages->addWidget(groupList_);
  pages->addWidget(PageControl1, 1);

  auto* layout = new QVBoxLayout(this);
  layout->addLayout(pages, 1);
  layout->addLayout(NewButtonRow());
}

QWidget* PatchDialog::AddPage(const char* entry, const char* pageName) {
  auto* page = new QWidget;
  page->setObjectName(QString::fromLatin1(pageName));
  const QSignalBlocker programChange(groupList_);
  groupList_->addItem(QString::fromLatin1(entry));
  PageControl1->addWidget(page);
  return page;
}

void PatchDialog::FormShow(ConstRomBytes image) {
  if (!image.empty()) LoadControls(image);
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

}  // namespace brimwell
