#include "patches/PageWidgets.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QGridLayout>
#include <QLabel>
#include <QRadioButton>
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

QLayout* NewNote(const char* text) {
  QLabel* heading = NewLabel("Note:");
  QFont bold = heading->font();
  bold.setBold(true);
  heading->setFont(bold);
  QLabel* body = NewLabel(text);
  body->setWordWrap(true);

  auto* note = new QVBoxLayout;
  note->addWidget(heading);
  note->addWidget(body);
  return note;
}

QLayout* NewCaptionedField(const char* caption, QWidget* field, const char* remark) {
  auto* grid = new QGridLayout;
  grid->addWidget(NewBuddyLabel(caption, field), 0, 0, 1, 2);
  grid->addWidget(field, 1, 0);
  if (remark) grid->addWidget(NewLabel(remark), 1, 1);
  grid->setColumnStretch(2, 1);
  return grid;
}

QCheckBox* NewCheckBox(const char* name, const char* caption, const char* hint) {
  auto* box = new QCheckBox(QString::fromLatin1(caption));
  box->setObjectName(QString::fromLatin1(name));
  box->setToolTip(QString::fromLatin1(hint));
  return box;
}

QRadioButton* NewRadioButton(const char* name, const char* caption) {
  auto* button = new QRadioButton(QString::fromLatin1(caption));
  button->setObjectName(QString::fromLatin1(name));
  return button;
}

QLayout* NewExplainedChoice(QRadioButton* choice, const char* explanation) {
  QLabel* text = NewLabel(explanation);
  text->setWordWrap(true);
  // Indented to where the choice's caption starts.
  const QStyle* style = choice->style();
  text->setIndent(style->pixelMetric(QStyle::PM_ExclusiveIndicatorWidth, nullptr, choice) +
                  style->pixelMetric(QStyle::PM_RadioButtonLabelSpacing, nullptr, choice));
  choice->setAccessibleDescription(text->text());

  auto* layout = new QVBoxLayout;
  layout->setSpacing(0);
  layout->addWidget(choice);
  layout->addWidget(text);
  return layout;
}

void ShowChoice(QButtonGroup* group, int checkedId) {
  group->setExclusive(false);
  for (QAbstractButton* button : group->buttons())
    button->setChecked(group->id(button) == checkedId);
  group->setExclusive(true);
}

}  // namespace brimwell
