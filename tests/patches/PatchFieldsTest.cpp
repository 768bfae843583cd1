// The one rule by which every patch editor accepts a typed number.

#include "patches/PatchFields.h"

#include <gtest/gtest.h>

#include <array>
#include <limits>

#include "TestRom.h"

namespace brimwell {
namespace {

constexpr std::int32_t kMin32 = std::numeric_limits<std::int32_t>::min();
constexpr std::int32_t kMax32 = std::numeric_limits<std::int32_t>::max();

struct ParseCase {
  const char* text;
  std::int32_t min;
  std::int32_t max;
  std::optional<std::int32_t> accepted;
};

// Names each case by its text and range in the test's output.
void PrintTo(const ParseCase& c, std::ostream* out) {
  *out << '\'' << c.text << "' in " << c.min << ".." << c.max;
}

class TryParseInRangeTest : public ::testing::TestWithParam<ParseCase> {};

TEST_P(TryParseInRangeTest, AcceptsExactlyTheNumbersInsideTheRange) {
  const ParseCase& c = GetParam();
  EXPECT_EQ(TryParseInRange(c.text, c.min, c.max), c.accepted) << '\'' << c.text << '\'';
}

INSTANTIATE_TEST_SUITE_P(Bounds, TryParseInRangeTest,
                         ::testing::Values(ParseCase{"0", 0, 255, 0}, ParseCase{"255", 0, 255, 255},
                                           ParseCase{"-1", 0, 255, std::nullopt},
                                           ParseCase{"256", 0, 255, std::nullopt},
                                           ParseCase{"-5", -10, -1, -5},
                                           ParseCase{"007", 0, 7, 7}));

INSTANTIATE_TEST_SUITE_P(
    BlanksAndSigns, TryParseInRangeTest,
    ::testing::Values(
        ParseCase{" 12", 0, 255, 12}, ParseCase{"   +12", 0, 255, 12}, ParseCase{"+7", 0, 255, 7},
        ParseCase{"12 ", 0, 255, std::nullopt}, ParseCase{"1 2", 0, 255, std::nullopt},
        ParseCase{"- 7", -10, 10, std::nullopt}, ParseCase{"--7", -10, 10, std::nullopt},
        ParseCase{"+-7", -10, 10, std::nullopt}, ParseCase{"\t7", 0, 255, std::nullopt},
        ParseCase{"", 0, 255, std::nullopt}, ParseCase{"   ", 0, 255, std::nullopt},
        ParseCase{"-", -10, 10, std::nullopt}, ParseCase{"7a", 0, 255, std::nullopt},
        ParseCase{"1.5", 0, 255, std::nullopt}));

INSTANTIATE_TEST_SUITE_P(
    Hexadecimal, TryParseInRangeTest,
    ::testing::Values(ParseCase{"$FF", 0, 255, 255}, ParseCase{"0xff", 0, 255, 255},
                      ParseCase{"xFF", 0, 255, 255}, ParseCase{"XfF", 0, 255, 255},
                      ParseCase{"0X1f", 0, 255, 31}, ParseCase{"-$10", -20, 0, -16},
                      ParseCase{" +$a", 0, 255, 10}, ParseCase{"$", 0, 255, std::nullopt},
                      ParseCase{"0x", 0, 255, std::nullopt},
                      ParseCase{"$-1", -10, 10, std::nullopt},
                      ParseCase{"$ 1", 0, 10, std::nullopt},
                      ParseCase{"0x0x1", 0, 10, std::nullopt},
                      ParseCase{"$G", 0, 255, std::nullopt}, ParseCase{"h10", 0, 255, std::nullopt},
                      // Eight digits are a two's-complement value; leading zeros do not count.
                      ParseCase{"$FFFFFFFF", -1, -1, -1}, ParseCase{"$80000000", kMin32, 0, kMin32},
                      ParseCase{"$000000000FF", 0, 255, 255},
                      ParseCase{"$100000000", kMin32, kMax32, std::nullopt}));

INSTANTIATE_TEST_SUITE_P(ThirtyTwoBits, TryParseInRangeTest,
                         ::testing::Values(ParseCase{"2147483647", kMin32, kMax32, kMax32},
                                           ParseCase{"-2147483648", kMin32, kMax32, kMin32},
                                           ParseCase{"2147483648", kMin32, kMax32, std::nullopt},
                                           ParseCase{"-2147483649", kMin32, kMax32, std::nullopt},
                                           ParseCase{"99999999999", kMin32, kMax32, std::nullopt},
                                           ParseCase{"4294967295", kMin32, kMax32, std::nullopt}));

// -32768 stands for "not a number", so no spelling of it is ever accepted.
INSTANTIATE_TEST_SUITE_P(NotANumberMarker, TryParseInRangeTest,
                         ::testing::Values(ParseCase{"-32768", kMin32, kMax32, std::nullopt},
                                           ParseCase{"-$8000", kMin32, kMax32, std::nullopt},
                                           ParseCase{"$FFFF8000", kMin32, kMax32, std::nullopt},
                                           ParseCase{"-32767", kMin32, kMax32, -32767},
                                           ParseCase{"-32769", kMin32, kMax32, -32769}));

TEST(PresentInRangeTest, KeepsOnlyPresentValuesInsideTheRange) {
  constexpr IntRange range{1, 255};
  EXPECT_EQ(PresentInRange(1, range), 1);
  EXPECT_EQ(PresentInRange(255, range), 255);
  EXPECT_EQ(PresentInRange(0, range), std::nullopt);
  EXPECT_EQ(PresentInRange(256, range), std::nullopt);
  EXPECT_EQ(PresentInRange(std::nullopt, range), std::nullopt);
}

TEST(LittleEndianTest, SpreadsAValueOverScatteredBytesAndReadsItBack) {
  std::vector<Byte> image = testing::MakeTestRom();
  const std::vector<Byte> before = image;
  constexpr std::array<std::size_t, 3> offsets = {0x300, 0x100, 0x200};

  WriteLittleEndian(image, offsets, 0xAABBCCDD);

  EXPECT_EQ(image[0x300], 0xDD);
  EXPECT_EQ(image[0x100], 0xCC);
  EXPECT_EQ(image[0x200], 0xBB);
  EXPECT_EQ(testing::DifferingOffsets(before, image).size(), 3u);
  EXPECT_EQ(ReadLittleEndian(image, offsets), 0xBBCCDDu);
}

}  // namespace
}  // namespace brimwell
