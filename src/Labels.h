#pragma once

// The label helpers every window uses: captions as plain text, their colour and weight.

#include <QColor>
#include <QString>

class QLabel;
class QWidget;

namespace brimwell {

// A caption shown as written: a label never guesses at markup, whatever characters it holds
// (paths and names from the data file among them). A null name leaves the label unnamed.
QLabel* NewPlainLabel(const QString& text, const char* name = nullptr);
// Repaints only when the colour changes, which saves time where labels are recoloured often.
void SetTextColour(QLabel* label, const QColor& colour);
void Embolden(QWidget* widget);

}  // namespace brimwell
