#include "patches/IntegerEdit.h"

#include <QValidator>

namespace brimwell {

// Refuses an edit that would leave the text longer than the maximum, unless it shortens a
// longer text that the program put there. Text set by the program is never refused.
class IntegerEdit::TypingLimit : public QValidator {
 public:
  TypingLimit(int maxLength, QLineEdit* edit) : QValidator(edit), maxLength_(maxLength) {
    connect(edit, &QLineEdit::textChanged, this,
            [this](const QString& text) { shownLength_ = text.size(); });
  }

  State validate(QString& input, int&) const override {
    const bool fits = input.size() <= maxLength_ || input.size() < shownLength_;
    return programSetting_ || fits ? Acceptable : Invalid;
  }

  void ShowProgramText(QLineEdit* edit, const QString& text) {
    programSetting_ = true;
    edit->setText(text);
    programSetting_ = false;
  }

 private:
  int maxLength_;
  qsizetype shownLength_ = 0;
  bool programSetting_ = false;
};

IntegerEdit::IntegerEdit(const char* name, int maxLength, const char* hint, QWidget* parent)
    : QLineEdit(parent), typingLimit_(new TypingLimit(maxLength, this)) {
  setObjectName(QString::fromLatin1(name));
  setToolTip(QString::fromLatin1(hint));
  setValidator(typingLimit_);
}

void IntegerEdit::ShowValue(std::int32_t value) {
  typingLimit_->ShowProgramText(this, QString::number(value));
}

IntegerField IntegerEdit::Value(IntRange range) const {
  return TryParseInRange(text().toStdString(), range.min, range.max);
}

}  // namespace brimwell
