#include "WidgetMirror.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>

namespace brimwell::bench {
namespace {

QStringList Entries(const QListView& list) {
  QStringList entries;
  const QAbstractItemModel* model = list.model();
  for (int row = 0; model && row < model->rowCount(); ++row)
    entries << model->index(row, list.modelColumn()).data().toString();
  return entries;
}

QStringList Entries(const QComboBox& combo) {
  QStringList entries;
  for (int index = 0; index < combo.count(); ++index) entries << combo.itemText(index);
  return entries;
}

// A stock widget that shows what source shows, or nullptr when source is a plain container
// whose children are to be copied one by one.
QWidget* CopyOfLeaf(const QWidget& source) {
  if (const auto* list = qobject_cast<const QListView*>(&source)) {
    auto* copy = new QListWidget;
    copy->addItems(Entries(*list));
    copy->setCurrentRow(list->currentIndex().row());
    return copy;
  }
  if (const auto* combo = qobject_cast<const QComboBox*>(&source)) {
    auto* copy = new QComboBox;
    copy->addItems(Entries(*combo));
    copy->setCurrentIndex(combo->currentIndex());
    return copy;
  }
  if (const auto* edit = qobject_cast<const QLineEdit*>(&source))
    return new QLineEdit(edit->text());
  if (const auto* check = qobject_cast<const QCheckBox*>(&source)) {
    auto* copy = new QCheckBox(check->text());
    copy->setChecked(check->isChecked());
    return copy;
  }
  if (const auto* radio = qobject_cast<const QRadioButton*>(&source)) {
    auto* copy = new QRadioButton(radio->text());
    copy->setChecked(radio->isChecked());
    return copy;
  }
  if (const auto* button = qobject_cast<const QPushButton*>(&source))
    return new QPushButton(button->text());
  if (const auto* label = qobject_cast<const QLabel*>(&source)) {
    auto* copy = new QLabel;
    copy->setTextFormat(label->textFormat());
    copy->setWordWrap(label->wordWrap());
    copy->setAlignment(label->alignment());
    copy->setText(label->text());
    return copy;
  }
  return nullptr;
}

QWidget* CopyOfContainer(const QWidget& source) {
  if (const auto* group = qobject_cast<const QGroupBox*>(&source))
    return new QGroupBox(group->title());
  if (const auto* frame = qobject_cast<const QFrame*>(&source)) {
    auto* copy = new QFrame;
    copy->setFrameStyle(frame->frameStyle());
    return copy;
  }
  return new QWidget;
}

void CopyInto(const QWidget& source, QWidget& parent) {
  QWidget* copy = CopyOfLeaf(source);
  const bool leaf = copy != nullptr;
  if (!leaf) copy = CopyOfContainer(source);
  copy->setParent(&parent);
  copy->setObjectName(source.objectName());
  copy->setGeometry(source.geometry());
  copy->setEnabled(source.isEnabledTo(source.parentWidget()));
  if (source.testAttribute(Qt::WA_SetPalette)) copy->setPalette(source.palette());
  if (source.testAttribute(Qt::WA_SetFont)) copy->setFont(source.font());
  copy->setHidden(source.isHidden());
  if (leaf) return;
  for (const QWidget* child : source.findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
    if (!child->isWindow()) CopyInto(*child, *copy);
}

}  // namespace

std::unique_ptr<QDialog> MirrorInPlainQt(const QDialog& dialog) {
  auto mirror = std::make_unique<QDialog>();
  mirror->setWindowTitle(dialog.windowTitle());
  mirror->setWindowModality(dialog.windowModality());
  for (const QWidget* child : dialog.findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
    if (!child->isWindow()) CopyInto(*child, *mirror);
  mirror->resize(dialog.size());
  return mirror;
}

}  // namespace brimwell::bench
