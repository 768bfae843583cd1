#include "rom/AnsiText.h"

#include <array>

namespace brimwell {
namespace {

// Windows-1252 differs from Latin-1 only in 0x80..0x9F; the undefined bytes keep their value.
constexpr Byte kFirstSpecial = 0x80;
constexpr std::array<char32_t, 32> kSpecialCharacters = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,  // 0x80
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,  // 0x88
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  // 0x90
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,  // 0x98
};

char32_t CodePointOf(Byte byte) {
  const std::size_t special = std::size_t(byte) - kFirstSpecial;
  return special < kSpecialCharacters.size() ? kSpecialCharacters[special] : char32_t(byte);
}

// Every Windows-1252 character lies in the Basic Multilingual Plane: at most three UTF-8 bytes.
void AppendUtf8(std::string& out, char32_t codePoint) {
  if (codePoint < 0x80) {
    out += char(codePoint);
  } else if (codePoint < 0x800) {
    out += char(0xC0 | (codePoint >> 6));
    out += char(0x80 | (codePoint & 0x3F));
  } else {
    out += char(0xE0 | (codePoint >> 12));
    out += char(0x80 | ((codePoint >> 6) & 0x3F));
    out += char(0x80 | (codePoint & 0x3F));
  }
}

}  // namespace

std::string DecodeWindows1252(std::span<const Byte> text) {
  std::string utf8;
  utf8.reserve(text.size());
  for (Byte byte : text) AppendUtf8(utf8, CodePointOf(byte));
  return utf8;
}

}  // namespace brimwell
