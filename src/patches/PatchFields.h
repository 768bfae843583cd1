#pragma once

// What the four patch editors share below their dialogs: integer fields that may be absent,
// the one rule by which a typed number is accepted, and the opcodes that several of them write.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

#include "rom/Footprint.h"
#include "rom/RomImage.h"

namespace brimwell {

// An integer setting as the dialog hands it over: absent when the user's text was not accepted.
using IntegerField = std::optional<std::int32_t>;

// Inclusive bounds of an integer setting.
struct IntRange {
  std::int32_t min;
  std::int32_t max;
};

// Accepts text that is a number (leading blanks, one sign, decimal digits or hexadecimal digits
// after "$", "x", "X", "0x" or "0X", fitting in 32 bits) whose value lies in [min, max].
// -32768 stands for "not a number" and is therefore never accepted.
std::optional<std::int32_t> TryParseInRange(std::string_view text, std::int32_t min,
                                            std::int32_t max);

// The field's value when it is present and inside the range; a store writes nothing otherwise.
inline IntegerField PresentInRange(IntegerField field, IntRange range) {
  if (field && range.min <= *field && *field <= range.max) return field;
  return std::nullopt;
}

// 6502 opcodes that more than one editor writes or recognises.
inline constexpr Byte kCmpImmediate = 0xC9;
inline constexpr Byte kNop = 0xEA;

}  // namespace brimwell
