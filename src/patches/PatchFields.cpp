#include "patches/PatchFields.h"

#include <algorithm>
#include <charconv>
#include <limits>

namespace brimwell {
namespace {

// The value that no text can be accepted as; the parser also returns it for "not a number".
constexpr std::int32_t kNotANumber = -32768;

constexpr std::string_view kHexPrefixes[] = {"0x", "0X", "$", "x", "X"};

bool ConsumeHexPrefix(std::string_view& text) {
  for (std::string_view prefix : kHexPrefixes) {
    if (text.starts_with(prefix)) {
      text.remove_prefix(prefix.size());
      return true;
    }
  }
  return false;
}

// Digits only (no sign: the caller took it), all of them used, within 32 bits.
std::optional<std::uint32_t> ParseMagnitude(std::string_view digits, int base) {
  if (digits.empty()) return std::nullopt;
  std::uint32_t magnitude = 0;
  const auto [end, error] =
      std::from_chars(digits.data(), digits.data() + digits.size(), magnitude, base);
  if (error != std::errc() || end != digits.data() + digits.size()) return std::nullopt;
  return magnitude;
}

std::int32_t ParseNumber(std::string_view text) {
  text.remove_prefix(std::min(text.find_first_not_of(' '), text.size()));
  bool negative = false;
  if (text.starts_with('+') || text.starts_with('-')) {
    negative = text.front() == '-';
    text.remove_prefix(1);
  }

  if (ConsumeHexPrefix(text)) {
    const std::optional<std::uint32_t> bits = ParseMagnitude(text, 16);
    if (!bits) return kNotANumber;
    // Eight hexadecimal digits are a two's-complement value: FFFFFFFF is -1.
    return static_cast<std::int32_t>(negative ? 0u - *bits : *bits);
  }
  const std::optional<std::uint32_t> magnitude = ParseMagnitude(text, 10);
  const std::uint32_t limit =
      std::uint32_t{std::numeric_limits<std::int32_t>::max()} + (negative ? 1u : 0u);
  if (!magnitude || *magnitude > limit) return kNotANumber;
  return static_cast<std::int32_t>(negative ? 0u - *magnitude : *magnitude);
}

}  // namespace

std::optional<std::int32_t> TryParseInRange(std::string_view text, std::int32_t min,
                                            std::int32_t max) {
  const std::int32_t value = ParseNumber(text);
  if (value == kNotANumber || value < min || value > max) return std::nullopt;
  return value;
}

}  // namespace brimwell
