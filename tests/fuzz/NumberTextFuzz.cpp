// Fuzzes the reading of typed numbers: TryParseInRange on arbitrary text and bounds, checked
// against a plain reference reading, and the sprite editor's aux value text both ways.

#include <algorithm>
#include <cctype>
#include <limits>

#include "FuzzTarget.h"
#include "patches/PatchFields.h"
#include "sprites/SpriteTalk.h"

namespace brimwell::fuzz {
namespace {

using Limits = std::numeric_limits<std::int32_t>;
constexpr std::int32_t kNotANumber = -32768;

// The number a text stands for, read digit by digit in 64 bits: leading blanks, one sign, then
// decimal digits fitting in 32 signed bits, or after "$", "x", "X", "0x" or "0X" hexadecimal
// digits fitting in 32 bits, read as two's complement. Nothing may follow the digits.
std::optional<std::int32_t> ReferenceNumber(std::string_view text) {
  std::size_t at = 0;
  while (at < text.size() && text[at] == ' ') ++at;
  bool negative = false;
  if (at < text.size() && (text[at] == '+' || text[at] == '-')) negative = text[at++] == '-';
  const std::string_view rest = text.substr(at);
  int base = 10;
  for (std::string_view prefix : {"0x", "0X", "$", "x", "X"}) {
    if (rest.starts_with(prefix)) {
      base = 16;
      at += prefix.size();
      break;
    }
  }
  const std::string_view digits = text.substr(at);
  if (digits.empty()) return std::nullopt;
  std::int64_t magnitude = 0;
  const std::int64_t ceiling = base == 16 ? 0xFFFFFFFFll : std::int64_t{Limits::max()} + negative;
  for (char digit : digits) {
    const bool isDigit = base == 16 ? std::isxdigit(static_cast<unsigned char>(digit)) != 0
                                    : digit >= '0' && digit <= '9';
    if (!isDigit) return std::nullopt;
    const int value = digit <= '9' ? digit - '0' : (std::tolower(digit) - 'a' + 10);
    magnitude = magnitude * base + value;
    if (magnitude > ceiling) return std::nullopt;
  }
  const std::int64_t value = negative ? -magnitude : magnitude;
  return static_cast<std::int32_t>(static_cast<std::uint32_t>(value));
}

std::string Show(std::string_view text) {
  return "text \"" + std::string(text) + "\"";
}

void CheckTryParseInRange(std::string_view text, std::int32_t min, std::int32_t max) {
  const std::optional<std::int32_t> any = TryParseInRange(text, Limits::min(), Limits::max());
  const std::optional<std::int32_t> number = ReferenceNumber(text);
  FUZZ_CHECK(any == (number == kNotANumber ? std::nullopt : number), Show(text));

  const std::optional<std::int32_t> accepted = TryParseInRange(text, min, max);
  FUZZ_CHECK(accepted == (any && min <= *any && *any <= max ? any : std::nullopt), Show(text));
  if (accepted)
    FUZZ_CHECK(min <= *accepted && *accepted <= max && *accepted != kNotANumber, Show(text));

  // Blanks may lead but never trail.
  FUZZ_CHECK(TryParseInRange(" " + std::string(text), Limits::min(), Limits::max()) == any,
             Show(text));
  FUZZ_CHECK(!TryParseInRange(std::string(text) + " ", Limits::min(), Limits::max()), Show(text));
  if (any)
    FUZZ_CHECK(TryParseInRange(std::to_string(*any), Limits::min(), Limits::max()) == any,
               Show(text));
}

// Any number is clamped to 0..255, any other text is 0; a shown value reads back as itself.
void CheckAuxValue(std::string_view text, Byte value) {
  const std::optional<std::int32_t> number = ReferenceNumber(text);
  const std::int32_t expected = number == kNotANumber ? 0 : std::clamp(number.value_or(0), 0, 255);
  FUZZ_CHECK(ParseAuxValue(text) == expected, Show(text));

  const std::string shown = FormatAuxValue(value);
  const bool upperHex = std::all_of(shown.begin() + 1, shown.end(), [](char c) {
    return std::isdigit(static_cast<unsigned char>(c)) || (c >= 'A' && c <= 'F');
  });
  FUZZ_CHECK(shown.size() == 3 && shown[0] == '$' && upperHex, "shown as " + shown);
  FUZZ_CHECK(ParseAuxValue(shown) == value, "shown as " + shown);
}

Seed MakeSeed(std::string name, std::int32_t min, std::int32_t max, std::string_view text) {
  SeedWriter seed;
  seed.PutInt32(min).PutInt32(max).PutByte(static_cast<Byte>(text.size())).PutText(text);
  return {std::move(name), seed.Bytes()};
}

}  // namespace

void TestOneInput(FuzzInput& input) {
  const std::int32_t min = input.TakeInt32();
  const std::int32_t max = input.TakeInt32();
  const Byte auxValue = input.TakeByte();
  const std::string_view text = input.TakeRestAsText();
  CheckTryParseInRange(text, min, max);
  CheckAuxValue(text, auxValue);
}

std::vector<Seed> Seeds() {
  const std::pair<const char*, std::string_view> byteTexts[] = {
      {"zero", "0"},
      {"max", "255"},
      {"minus-one", "-1"},
      {"too-big", "256"},
      {"empty", ""},
      {"leading-blank", " 12"},
      {"trailing-blank", "12 "},
      {"inner-blank", "1 2"},
      {"dollar", "$FF"},
      {"0x", "0xff"},
      {"x", "xFF"},
      {"plus", "+7"},
      {"double-minus", "--7"},
      {"minus-hex", "-$1F"},
  };
  std::vector<Seed> seeds;
  for (const auto& [name, text] : byteTexts) seeds.push_back(MakeSeed(name, 0, 255, text));
  seeds.push_back(MakeSeed("eleven-nines", Limits::min(), Limits::max(), "99999999999"));
  seeds.push_back(MakeSeed("marker", Limits::min(), Limits::max(), "-32768"));
  seeds.push_back(MakeSeed("eight-hex-digits", Limits::min(), Limits::max(), "$FFFFFFFF"));
  seeds.push_back(MakeSeed("nine-hex-digits", Limits::min(), Limits::max(), "0x000000001"));
  seeds.push_back(MakeSeed("most-negative", Limits::min(), Limits::max(), "-2147483648"));
  seeds.push_back(MakeSeed("exp-gold", 9999, 9999999, "9999999"));
  return seeds;
}

}  // namespace brimwell::fuzz
