#include "patches/IntegerEdit.h"

#include <QValidator>

#include <algorithm>

namespace brimwell {

// Keeps typing and pasting within the maximum length as a Windows edit field does: an edit
// that makes the text longer may not take it past the maximum, so an insertion is cut to the
// room that is left, and refused when there is none. Deleting is always allowed, also from a
// longer text that the program put there, and text set by the program is never cut.
class IntegerEdit::TypingLimit : public QValidator {
 public:
  TypingLimit(int maxLength, QLineEdit* edit) : QValidator(edit), maxLength_(maxLength) {
    connect(edit, &QLineEdit::textChanged, this, [this](const QString& text) { shown_ = text; });
  }

  State validate(QString& input, int& cursor) const override {
    if (programSetting_ || input.size() <= maxLength_ || input.size() <= shown_.size())
      return Acceptable;
    // What was inserted ends at the cursor (typing, pasting, dropping); cut its end by what the
    // text grew beyond the limit. An edit that leaves the cursor elsewhere is refused whole.
    const qsizetype excess = input.size() - std::max<qsizetype>(maxLength_, shown_.size());
    if (cursor < excess) return Invalid;
    input.remove(cursor - excess, excess);
    cursor -= int(excess);
    return Acceptable;
  }

  void ShowProgramText(QLineEdit* edit, const QString& text) {
    programSetting_ = true;
    edit->setText(text);
    programSetting_ = false;
  }

 private:
  int maxLength_;
  QString shown_;
  bool programSetting_ = false;
};

IntegerEdit::IntegerEdit(const char* name, int maxLength, const char* hint, QWidget* parent)
    : QLineEdit(parent), typingLimit_(new TypingLimit(maxLength, this)) {
  setObjectName(QString::fromLatin1(name));
  if (hint) setToolTip(QString::fromLatin1(hint));
  setValidator(typingLimit_);
}

void IntegerEdit::ShowValue(std::int32_t value) {
  typingLimit_->ShowProgramText(this, QString::number(value));
}

IntegerField IntegerEdit::Value(IntRange range) const {
  return TryParseInRange(text().toStdString(), range.min, range.max);
}

}  // namespace brimwell
