#pragma once

// Small builders for the captions and notes on the patch dialogs' pages.

#include <QColor>

class QButtonGroup;
class QCheckBox;
class QLabel;
class QRadioButton;
class QLayout;
class QWidget;

namespace brimwell {

// Captions are plain text: none of them is markup, whatever characters it holds.
QLabel* NewLabel(const char* text, QColor colour = QColor());
// A caption that names a field: a screen reader reads it as the field's name.
QLabel* NewBuddyLabel(const char* text, QWidget* field);
// A bold "Note:" above a wrapped explanation.
QLayout* NewNote(const char* text);
// A caption above a field, with an optional remark (such as the original game's value) beside.
QLayout* NewCaptionedField(const char* caption, QWidget* field, const char* remark = nullptr);

// A named check box with its hint.
QCheckBox* NewCheckBox(const char* name, const char* caption, const char* hint);
QRadioButton* NewRadioButton(const char* name, const char* caption);
// A radio button with a wrapped explanation indented below its caption, which screen readers
// read as the button's description.
QLayout* NewExplainedChoice(QRadioButton* choice, const char* explanation);

// Checks the group's button whose id is checkedId and clears the others, so that no button is
// checked when none has that id. Qt will not clear an exclusive group, so its exclusivity is
// lifted while the buttons are set; the user's picks still exclude each other.
void ShowChoice(QButtonGroup* group, int checkedId);

}  // namespace brimwell
