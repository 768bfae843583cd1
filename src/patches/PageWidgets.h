#pragma once

// Small builders for the captions, notes and controls on the patch dialogs' pages.

#include <QColor>

#include <span>

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QLabel;
class QRadioButton;
class QLayout;
class QWidget;

namespace brimwell {

// Captions are plain text, in the given colour if any.
QLabel* NewLabel(const char* text, QColor colour = QColor());
// A caption that names a field: a screen reader reads it as the field's name.
QLabel* NewBuddyLabel(const char* text, QWidget* field);
// Plain text wrapped to the page's width, such as an explanation under a check box.
QLabel* NewParagraph(const char* text);
// A bold "Note:" above a wrapped explanation.
QLayout* NewNote(const char* text);
// A check box with its hint; no hint (nullptr) gives it no tool tip at all.
QCheckBox* NewCheckBox(const char* name, const char* caption, const char* hint);
QRadioButton* NewRadioButton(const char* name, const char* caption);
// A check box or radio button with a wrapped explanation indented below its caption, which
// screen readers read as the button's description.
QLayout* NewExplainedCheckBox(QCheckBox* box, const char* explanation);
QLayout* NewExplainedChoice(QRadioButton* choice, const char* explanation);
// A drop-down list that offers only its entries, with its hint.
QComboBox* NewDropDown(const char* name, std::span<const char* const> entries, const char* hint);
// A caption above a field, with an optional remark (such as the original game's value) beside.
QLayout* NewCaptionedField(const char* caption, QWidget* field, const char* remark = nullptr);

// Checks the group's button whose id is checkedId and clears the others, so that no button is
// checked when none has that id. Qt will not clear an exclusive group, so its exclusivity is
// lifted while the buttons are set; the user's picks still exclude each other.
void ShowChoice(QButtonGroup* group, int checkedId);

}  // namespace brimwell
