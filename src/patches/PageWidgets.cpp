#include "patches/PageWidgets.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QStyle>
#include <QVBoxLayout>

namespace brimwell {

QLabel* NewLabel(const char* text, QColor colour) {
  auto* label = new QLabel(QString::fromLatin1(text));
  label->setTextFormat(Qt::PlainText);
  if (colour.isValid()) {
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, colour);
    label->setPalette(palette);
  }
  return label;
}

QLabel* NewBuddyLabel(const char* text, QWidget* field) {
  QLabel* label = NewLabel(text);
  label->setBuddy(field);
  return label;
}

QLabel* NewParagraph(const char* text) {
  QLabel* paragraph = NewLabel(text);
  paragraph->setWordWrap(true);
  return paragraph;
}

QLayout* NewNote(const char* text) {
  QLabel* heading = NewLabel("Note:");
  QFont bold = heading->font();
  bold.setBold(true);
  heading->setFont(bold);

  auto* note = new QVBoxLayout;
  note->addWidget(heading);
  note->addWidget(NewParagraph(text));
  return note;
}

QCheckBox* NewCheckBox(const char* name, const char* caption, const char* hint) {
  auto* box = new QCheckBox(QString::fromLatin1(caption));
  box->setObjectName(QString::fromLatin1(name));
  box->setToolTip(QString::fromLatin1(hint));
  return box;
}

QLayout* NewExplainedCheckBox(QCheckBox* box, const char* explanation) {
  QLabel* paragraph = NewParagraph(explanation);
  const QStyle* style = box->style();
  paragraph->setContentsMargins(
      style->pixelMetric(QStyle::PM_IndicatorWidth, nullptr, box) +
          style->pixelMetric(QStyle::PM_CheckBoxLabelSpacing, nullptr, box),
      0, 0, 0);
  auto* layout = new QVBoxLayout;
  layout->addWidget(box);
  layout->addWidget(paragraph);
  return layout;
}

QComboBox* NewDropDown(const char* name, std::initializer_list<const char*> entries,
                       const char* hint) {
  auto* list = new QComboBox;
  list->setObjectName(QString::fromLatin1(name));
  list->setEditable(false);
  for (const char* entry : entries) list->addItem(QString::fromLatin1(entry));
  list->setToolTip(QString::fromLatin1(hint));
  return list;
}

QLayout* NewCaptionedField(const char* caption, QWidget* field, const char* remark) {
  auto* grid = new QGridLayout;
  grid->addWidget(NewBuddyLabel(caption, field), 0, 0, 1, 2);
  grid->addWidget(field, 1, 0);
  if (remark) grid->addWidget(NewLabel(remark), 1, 1);
  grid->setColumnStretch(2, 1);
  return grid;
}

}  // namespace brimwell
