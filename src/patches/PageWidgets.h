#pragma once

// Small builders for the captions and notes on the patch dialogs' pages.

#include <QColor>

class QLabel;
class QLayout;
class QWidget;

namespace brimwell {

// Captions are plain text: none of them is markup, whatever characters it holds.
QLabel* NewLabel(const char* text, QColor colour = QColor());
// A caption that names a field: a screen reader reads it as the field's name.
QLabel* NewBuddyLabel(const char* text, QWidget* field);
// A wrapped explanation of a page's setting.
QLabel* NewParagraph(const char* text);
// A bold "Note:" above a wrapped explanation.
QLayout* NewNote(const char* text);
// A caption above a field, with an optional remark (such as the original game's value) beside.
QLayout* NewCaptionedField(const char* caption, QWidget* field, const char* remark = nullptr);

}  // namespace brimwell
