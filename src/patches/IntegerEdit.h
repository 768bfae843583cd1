#pragma once

// The edit field of an integer setting. Its maximum length stops typing only: a value loaded
// from the image is shown whole even when it is longer, and the user may still shorten it.

#include <QLineEdit>

#include "patches/PatchFields.h"

namespace brimwell {

class IntegerEdit : public QLineEdit {
  Q_OBJECT

 public:
  // A null hint gives the field no tool tip at all.
  IntegerEdit(const char* name, int maxLength, const char* hint, QWidget* parent = nullptr);

  // Plain decimal, with a minus sign when negative.
  void ShowValue(std::int32_t value);
  // The text's value when it is accepted for the range, absent otherwise.
  IntegerField Value(IntRange range) const;

 private:
  class TypingLimit;
  TypingLimit* typingLimit_;
};

}  // namespace brimwell
