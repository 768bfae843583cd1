#include "patches/PageWidgets.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QRadioButton>
#include <QStyle>
#include <QVBoxLayout>

#include "Labels.h"

namespace brimwell {
namespace {

// A button with a wrapped explanation below it, indented to where the button's caption starts;
// screen readers read the explanation as the button's description.
QLayout* WithExplanation(QAbstractButton* button, int indent, const char* explanation) {
  QLabel* paragraph = NewParagraph(explanation);
  paragraph->setIndent(indent);
  button->setAccessibleDescription(paragraph->text());
  auto* layout = new QVBoxLayout;
  layout->setSpacing(0);
  layout->addWidget(button);
  layout->addWidget(paragraph);
  return layout;
}

}  // namespace

QLabel* NewLabel(const char* text, QColor colour) {
  QLabel* label = NewPlainLabel(QString::fromLatin1(text));
  if (colour.isValid()) SetTextColour(label, colour);
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
  Embolden(heading);

  auto* note = new QVBoxLayout;
  note->addWidget(heading);
  note->addWidget(NewParagraph(text));
  return note;
}

QCheckBox* NewCheckBox(const char* name, const char* caption, const char* hint) {
  auto* box = new QCheckBox(QString::fromLatin1(caption));
  box->setObjectName(QString::fromLatin1(name));
  if (hint) box->setToolTip(QString::fromLatin1(hint));
  return box;
}

QLayout* NewExplainedCheckBox(QCheckBox* box, const char* explanation) {
  const QStyle* style = box->style();
  return WithExplanation(box,
                         style->pixelMetric(QStyle::PM_IndicatorWidth, nullptr, box) +
                             style->pixelMetric(QStyle::PM_CheckBoxLabelSpacing, nullptr, box),
                         explanation);
}

QComboBox* NewDropDown(const char* name, std::span<const char* const> entries, const char* hint) {
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

QRadioButton* NewRadioButton(const char* name, const char* caption) {
  auto* button = new QRadioButton(QString::fromLatin1(caption));
  button->setObjectName(QString::fromLatin1(name));
  return button;
}

QLayout* NewExplainedChoice(QRadioButton* choice, const char* explanation) {
  const QStyle* style = choice->style();
  return WithExplanation(
      choice,
      style->pixelMetric(QStyle::PM_ExclusiveIndicatorWidth, nullptr, choice) +
          style->pixelMetric(QStyle::PM_RadioButtonLabelSpacing, nullptr, choice),
      explanation);
}

void ShowChoice(QButtonGroup* group, int checkedId) {
  group->setExclusive(false);
  for (QAbstractButton* button : group->buttons())
    button->setChecked(group->id(button) == checkedId);
  group->setExclusive(true);
}

}  // namespace brimwell
