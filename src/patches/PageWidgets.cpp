#include "patches/PageWidgets.h"

#include <QGridLayout>
#include <QLabel>
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

QLayout* NewCaptionedField(const char* caption, QWidget* field, const char* remark) {
  auto* grid = new QGridLayout;
  grid->addWidget(NewBuddyLabel(caption, field), 0, 0, 1, 2);
  grid->addWidget(field, 1, 0);
  if (remark) grid->addWidget(NewLabel(remark), 1, 1);
  grid->setColumnStretch(2, 1);
  return grid;
}

}  // namespace brimwell
