#include "rom/AnsiText.h"

#include <gtest/gtest.h>

#include <set>
#include <vector>

namespace brimwell {
namespace {

struct DecodeCase {
  std::vector<Byte> ansi;
  std::string utf8;
};

TEST(AnsiText, DecodesWindows1252IntoUtf8) {
  const DecodeCase cases[] = {
      {{}, ""},
      {{'A', 'z', ' ', '~'}, "Az ~"},
      {{0x80}, "\u20AC"},  // euro sign
      {{0xE9}, "\u00E9"},
      {{0x8A, 0x9F}, "\u0160\u0178"},
      {{0x99}, "\u2122"},
      {{0xA0, 0xFF}, "\u00A0\u00FF"},
      // The bytes that Windows-1252 leaves undefined keep their value as C1 controls.
      {{0x81, 0x8D, 0x8F, 0x90, 0x9D}, "\u0081\u008D\u008F\u0090\u009D"},
      {{'C', 'a', 'f', 0xE9, 0x80}, "Caf\u00E9\u20AC"},
  };
  for (const auto& [ansi, utf8] : cases) EXPECT_EQ(DecodeWindows1252(ansi), utf8);
}

// Decoding must never drop or merge bytes: every byte is one distinct, well-formed character.
TEST(AnsiText, EveryByteBecomesOneDistinctCharacter) {
  std::set<std::string> seen;
  for (int value = 1; value < 256; ++value) {
    const std::string utf8 = DecodeWindows1252(std::vector<Byte>{Byte(value)});
    const auto lead = static_cast<unsigned char>(utf8.at(0));
    const std::size_t expectedLength = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : 3;
    EXPECT_EQ(utf8.size(), expectedLength) << value;
    for (std::size_t i = 1; i < utf8.size(); ++i)
      EXPECT_EQ(static_cast<unsigned char>(utf8[i]) & 0xC0, 0x80) << value;
    seen.insert(utf8);
  }
  EXPECT_EQ(seen.size(), 255u);
}

}  // namespace
}  // namespace brimwell
