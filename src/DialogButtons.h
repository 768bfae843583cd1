#pragma once

// The OK and Cancel buttons of the program's dialogs, which have no default button: Enter
// presses a button only when that button has the focus, and does nothing in an edit field or a
// drop-down. Esc still cancels.

class QDialog;
class QKeyEvent;
class QPushButton;

namespace brimwell {

QPushButton* NewDialogButton(const char* name, const char* caption);

// Takes Enter as above; returns false for any other key, which the dialog handles as usual.
bool PressFocusedButtonOnEnter(QDialog* dialog, QKeyEvent* event);

}  // namespace brimwell
