// The battle editor's model against the bytes of the game's battle code.

#include "patches/BattleSettings.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string_view>
#include <tuple>

#include "BrimwellConst.h"
#include "TestRom.h"

namespace brimwell {
namespace {

using testing::DifferingOffsets;
using testing::MakeTestRom;
using testing::Slice;

// The two forms of the weapon routine's code block, transcribed apart from the program's tables.
constexpr std::string_view kWeaponFixPatchedHex =
    "B18248C8B182488AA868918088689180"
    "60A9002006ADA9012006ADA9022006AD"
    "A9034C06AD8DB3682045A1A000B182A8"
    "B93CA0ACB36899A86BADB368A0009180"
    "A20220E1ACA00AA20420E1ACA021A206"
    "20E1ACA025A20720E1ACA023A20820E1"
    "ACA022A20920E1ACA020A20A20E1ACA0"
    "24A20B20E1ACA901A00B9180A021B182"
    "4A4A4A4A4A186901A00C9180A900A00D"
    "9180C89180C89180A018B1823007C8C0"
    "1CD0F7A900297FF02DE9002005AC8588"
    "8689A002B188A00F9180A005B188A00D"
    "9180A004B188A00E9180A007B188A011"
    "9180A006B188";
constexpr std::string_view kWeaponFixUnpatchedHex =
    "48B182AA68A88A918060A90020FFACA9"
    "0120FFACA90220FFACA9034CFFAC8DB3"
    "682045A1A000B182A8B93CA0ACB36899"
    "A86BADB368A0009180A000A90120E1AC"
    "A001A90220E1ACA00AA90320E1ACA00B"
    "A90420E1ACA021A90520E1ACA025A906"
    "20E1ACA023A90720E1ACA022A90820E1"
    "ACA020A90920E1ACA024A90A20E1ACA9"
    "01A00B9180A021B1824A4A4A4A4A1869"
    "01A00C9180A900A00D9180A00E9180A0"
    "18B1823011C8B182300CC8B1823007C8"
    "B1823002A900A00F297F918029FFF016"
    "38E9012005AC85888689A007B188A011"
    "9180A006B188";

// The monster attack fix's five pieces in order, each piece's bytes as one word.
const std::vector<std::string_view> kMonsterFixPatchedHex = {"A900", "0E", "A900", "A900", "A900"};
const std::vector<std::string_view> kMonsterFixUnpatchedHex = {"B186", "12", "B180", "B180",
                                                               "B190"};

constexpr std::size_t kRunCheck = 0x323FF;
constexpr std::size_t kWeaponEntry = 0x31332;
constexpr std::size_t kWeaponBlock = 0x32CF1;
constexpr std::size_t kWeaponBlockLength = 214;
constexpr std::size_t kMonsterPieces[] = {0x325C0, 0x325C6, 0x325F8, 0x325FF, 0x33665};
constexpr std::size_t kWeaponBonus = 0x32705;

// The hits computation inside each form of the block: hit-shift slot and base-hits byte.
struct Hits {
  std::size_t slot;
  std::size_t base;
};
constexpr Hits kPatchedHits{0x32D71, 0x32D78};
constexpr Hits kUnpatchedHits{0x32D7A, 0x32D81};

std::vector<Byte> FromHex(std::string_view hex) {
  std::vector<Byte> bytes;
  for (std::size_t i = 0; i + 1 < hex.size(); i += 2)
    bytes.push_back(static_cast<Byte>(std::stoi(std::string(hex.substr(i, 2)), nullptr, 16)));
  return bytes;
}

// Every byte that a store may change.
std::set<std::size_t> BattleBytes() {
  std::set<std::size_t> offsets = {kRunCheck, kWeaponEntry, kWeaponBonus};
  for (std::size_t i = 0; i < kWeaponBlockLength; ++i) offsets.insert(kWeaponBlock + i);
  for (std::size_t i = 0; i < std::size(kMonsterPieces); ++i)
    for (std::size_t j = 0; j < kMonsterFixPatchedHex[i].size() / 2; ++j)
      offsets.insert(kMonsterPieces[i] + j);
  return offsets;
}

void Place(std::vector<Byte>& image, std::size_t offset, const std::vector<Byte>& bytes) {
  std::ranges::copy(bytes, image.begin() + offset);
}

// An image that holds the weapon fix, with the given hits values in the patched layout.
std::vector<Byte> WithWeaponFix(std::vector<Byte> slot, Byte base) {
  std::vector<Byte> image = MakeTestRom();
  image[kWeaponEntry] = 0xF2;
  Place(image, kWeaponBlock, FromHex(kWeaponFixPatchedHex));
  Place(image, kPatchedHits.slot, slot);
  image[kPatchedHits.base] = base;
  return image;
}

std::vector<Byte> WithMonsterFix(const std::vector<std::string_view>& pieces) {
  std::vector<Byte> image = MakeTestRom();
  for (std::size_t i = 0; i < pieces.size(); ++i)
    Place(image, kMonsterPieces[i], FromHex(pieces[i]));
  return image;
}

std::vector<Byte> MonsterBytes(const std::vector<Byte>& image) {
  std::vector<Byte> bytes;
  for (std::size_t i = 0; i < std::size(kMonsterPieces); ++i) {
    const std::vector<Byte> piece =
        Slice(image, kMonsterPieces[i], kMonsterFixPatchedHex[i].size() / 2);
    bytes.insert(bytes.end(), piece.begin(), piece.end());
  }
  return bytes;
}

std::vector<Byte> Joined(const std::vector<std::string_view>& pieces) {
  std::string hex;
  for (std::string_view piece : pieces) hex += piece;
  return FromHex(hex);
}

const std::vector<Byte> kFiveShifts = {0x4A, 0x4A, 0x4A, 0x4A, 0x4A};
const std::vector<Byte> kTwoShifts = {0x4A, 0x4A, 0xEA, 0xEA, 0xEA};

BattleSettings Settings(bool fixWeapon, IntegerField baseHits, int hitPct) {
  BattleSettings settings;
  settings.FixWeapon = fixWeapon;
  settings.BaseHits = baseHits;
  settings.HitPct = hitPct;
  settings.WeaponBonus = 4;
  return settings;
}

// A record's fields in order, so that whole records compare at once.
auto Fields(const BattleSettings& s) {
  return std::tuple(s.FixRun, s.FixWeapon, s.FixMonsterFight, s.BaseHits, s.HitPct, s.WeaponBonus);
}

TEST(BattleSettingsTest, ConstantTablesHoldTheGameCode) {
  namespace bc = BrimwellConst;
  EXPECT_EQ(std::vector<Byte>(bc::WeaponFixPatched.begin(), bc::WeaponFixPatched.end()),
            FromHex(kWeaponFixPatchedHex));
  EXPECT_EQ(std::vector<Byte>(bc::WeaponFixUnpatched.begin(), bc::WeaponFixUnpatched.end()),
            FromHex(kWeaponFixUnpatchedHex));
  EXPECT_EQ(FromHex(kWeaponFixPatchedHex).size(), kWeaponBlockLength);
  for (std::size_t i = 0; i < std::size(kMonsterPieces); ++i) {
    SCOPED_TRACE(i);
    const auto patched = bc::MonsterFixPatched[i].Bytes();
    const auto unpatched = bc::MonsterFixUnpatched[i].Bytes();
    EXPECT_EQ(std::vector<Byte>(patched.begin(), patched.end()), FromHex(kMonsterFixPatchedHex[i]));
    EXPECT_EQ(std::vector<Byte>(unpatched.begin(), unpatched.end()),
              FromHex(kMonsterFixUnpatchedHex[i]));
  }
}

TEST(BattleSettingsTest, TheOriginalGameLoadsUnfixedAndStoresBackUnchanged) {
  std::vector<Byte> image = MakeTestRom();
  const std::vector<Byte> original = image;
  const BattleSettings settings = BattleSettings::LoadFromRom(image);
  EXPECT_EQ(Fields(settings), Fields({false, false, false, 1, 0, 4}));

  settings.StoreToRom(image);
  EXPECT_EQ(image, original);
}

TEST(BattleSettingsTest, SwitchingTheWeaponFixCarriesTheHitsIntoTheOtherLayout) {
  std::vector<Byte> image = MakeTestRom();
  Settings(true, 3, 3).StoreToRom(image);

  std::vector<Byte> expected = WithWeaponFix(kTwoShifts, 0x03);
  EXPECT_EQ(image, expected);
  BattleSettings loaded = BattleSettings::LoadFromRom(image);
  EXPECT_TRUE(loaded.FixWeapon);
  EXPECT_EQ(loaded.BaseHits, 3);
  EXPECT_EQ(loaded.HitPct, 3);

  loaded.FixWeapon = false;
  loaded.StoreToRom(image);
  expected = MakeTestRom();
  Place(expected, kUnpatchedHits.slot, kTwoShifts);
  expected[kUnpatchedHits.base] = 0x03;
  EXPECT_EQ(image, expected);
}

TEST(BattleSettingsTest, EachHitPctChoiceFillsTheSlotWithItsShiftsInBothLayouts) {
  const std::vector<Byte> slots[] = {
      {0x4A, 0x4A, 0x4A, 0x4A, 0x4A}, {0x4A, 0x4A, 0x4A, 0x4A, 0xEA},
      {0x4A, 0x4A, 0x4A, 0xEA, 0xEA}, {0x4A, 0x4A, 0xEA, 0xEA, 0xEA},
      {0x4A, 0xEA, 0xEA, 0xEA, 0xEA}, {0xEA, 0xEA, 0xEA, 0xEA, 0xEA},
  };
  for (bool fixWeapon : {false, true}) {
    const Hits hits = fixWeapon ? kPatchedHits : kUnpatchedHits;
    for (int hitPct = 0; hitPct <= kMaxHitPct; ++hitPct) {
      SCOPED_TRACE(::testing::Message() << "fix " << fixWeapon << ", choice " << hitPct);
      std::vector<Byte> image = MakeTestRom();
      Settings(fixWeapon, 1, hitPct).StoreToRom(image);
      EXPECT_EQ(Slice(image, hits.slot, 5), slots[hitPct]);
      EXPECT_EQ(BattleSettings::LoadFromRom(image).HitPct, hitPct);
    }
  }
}

TEST(BattleSettingsTest, ShiftsCountWhereverTheyStandAndAreStoredFirst) {
  std::vector<Byte> image = MakeTestRom();
  Place(image, kUnpatchedHits.slot, {0x4A, 0xEA, 0x4A, 0xEA, 0xEA});
  const BattleSettings settings = BattleSettings::LoadFromRom(image);
  EXPECT_EQ(settings.HitPct, 3);
  settings.StoreToRom(image);
  EXPECT_EQ(Slice(image, kUnpatchedHits.slot, 5), kTwoShifts);
}

TEST(BattleSettingsTest, OutOfRangeHitPctTakesTheNearerEnd) {
  for (const auto& [hitPct, slot] :
       {std::pair{-1, kFiveShifts}, std::pair{99, std::vector<Byte>(5, 0xEA)}}) {
    std::vector<Byte> image = MakeTestRom();
    Settings(false, 1, hitPct).StoreToRom(image);
    EXPECT_EQ(Slice(image, kUnpatchedHits.slot, 5), slot) << hitPct;
  }
}

struct BaseHitsCase {
  bool fixBefore;
  bool fixAfter;
  IntegerField baseHits;
  Byte expected;
};

// The block write puts base 1 in both layouts; base hits that were not accepted keep the value
// that the image held in the layout in force before, in whichever layout is in force after.
TEST(BattleSettingsTest, BaseHitsAreWrittenOrKeptAcrossTheWeaponFixSwitch) {
  const BaseHitsCase cases[] = {
      {false, false, 255, 255},
      {false, false, 1, 1},
      {false, false, 0, 7},
      {false, false, 256, 7},
      {false, false, std::nullopt, 7},
      {true, true, 0, 7},
      {true, true, 9, 9},
      {false, true, 0, 7},
      {true, false, 256, 7},
      {true, false, std::nullopt, 7},
      {false, true, 2, 2},
  };
  for (const BaseHitsCase& c : cases) {
    SCOPED_TRACE(::testing::Message()
                 << c.fixBefore << " -> " << c.fixAfter << ", base " << c.baseHits.value_or(-1));
    std::vector<Byte> image = c.fixBefore ? WithWeaponFix(kFiveShifts, 7) : MakeTestRom();
    if (!c.fixBefore) image[kUnpatchedHits.base] = 7;

    Settings(c.fixAfter, c.baseHits, 0).StoreToRom(image);
    const Hits after = c.fixAfter ? kPatchedHits : kUnpatchedHits;
    const Hits other = c.fixAfter ? kUnpatchedHits : kPatchedHits;
    EXPECT_EQ(image[after.base], c.expected);
    EXPECT_EQ(image[other.base],
              FromHex(c.fixAfter ? kWeaponFixPatchedHex
                                 : kWeaponFixUnpatchedHex)[other.base - kWeaponBlock]);
    EXPECT_EQ(BattleSettings::LoadFromRom(image).BaseHits, c.expected);
  }
}

TEST(BattleSettingsTest, WeaponBonusAcceptsZeroToTwoFiftyFive) {
  const std::pair<IntegerField, Byte> cases[] = {
      {0, 0}, {255, 255}, {256, 0x77}, {-1, 0x77}, {std::nullopt, 0x77}};
  for (const auto& [bonus, expected] : cases) {
    std::vector<Byte> image = MakeTestRom();
    image[kWeaponBonus] = 0x77;
    BattleSettings settings = Settings(false, 1, 0);
    settings.WeaponBonus = bonus;
    settings.StoreToRom(image);
    EXPECT_EQ(image[kWeaponBonus], expected) << bonus.value_or(-1);
  }
}

TEST(BattleSettingsTest, OnlyTheFixedRunningByteReadsAsFixedAndOneOfTwoIsWritten) {
  std::vector<Byte> image = MakeTestRom();
  for (int value = 0; value <= 0xFF; ++value) {
    image[kRunCheck] = static_cast<Byte>(value);
    EXPECT_EQ(BattleSettings::LoadFromRom(image).FixRun, value == 0x82) << value;
  }
  for (bool fixRun : {true, false}) {
    image[kRunCheck] = 0x00;
    BattleSettings settings = Settings(false, 1, 0);
    settings.FixRun = fixRun;
    settings.StoreToRom(image);
    EXPECT_EQ(image[kRunCheck], fixRun ? 0x82 : 0x80);
  }
}

// One byte off anywhere in the block or the entry byte undoes the fix, except in the patched
// form's own hits slot and base byte, which hold the user's values.
TEST(BattleSettingsTest, WeaponFixIsDetectedOnThePatchedFormOnlyWithItsHitsLeftOut) {
  const std::vector<Byte> fixed = WithWeaponFix(kFiveShifts, 1);
  ASSERT_TRUE(BattleSettings::LoadFromRom(fixed).FixWeapon);
  for (std::size_t offset = kWeaponBlock; offset < kWeaponBlock + kWeaponBlockLength; ++offset) {
    std::vector<Byte> image = fixed;
    image[offset] ^= 0x01;
    const bool userValue = (offset >= kPatchedHits.slot && offset < kPatchedHits.slot + 5) ||
                           offset == kPatchedHits.base;
    EXPECT_EQ(BattleSettings::LoadFromRom(image).FixWeapon, userValue) << std::hex << offset;
  }
  std::vector<Byte> image = fixed;
  image[kWeaponEntry] = 0xEB;
  EXPECT_FALSE(BattleSettings::LoadFromRom(image).FixWeapon);
}

TEST(BattleSettingsTest, DamagedWeaponFixReadsTheUnpatchedHitsAndIsReplacedWhole) {
  std::vector<Byte> image = WithWeaponFix(kTwoShifts, 9);
  image[kWeaponBlock + 0x20] ^= 0xFF;
  Place(image, kUnpatchedHits.slot - 1, {0xEA, 0x4A, 0x4A, 0x4A, 0xEA, 0xEA});
  image[kUnpatchedHits.base] = 6;

  const BattleSettings settings = BattleSettings::LoadFromRom(image);
  EXPECT_FALSE(settings.FixWeapon);
  EXPECT_EQ(settings.HitPct, 2);
  EXPECT_EQ(settings.BaseHits, 6);

  settings.StoreToRom(image);
  std::vector<Byte> expected = FromHex(kWeaponFixUnpatchedHex);
  std::ranges::copy(std::vector<Byte>{0x4A, 0x4A, 0x4A, 0xEA, 0xEA},
                    expected.begin() + (kUnpatchedHits.slot - kWeaponBlock));
  expected[kUnpatchedHits.base - kWeaponBlock] = 6;
  EXPECT_EQ(Slice(image, kWeaponBlock, kWeaponBlockLength), expected);
  EXPECT_EQ(image[kWeaponEntry], 0xEB);
}

TEST(BattleSettingsTest, UnfixedBlockIsRewrittenWholeEvenWhenItHoldsNeitherForm) {
  std::vector<Byte> image = MakeTestRom();
  image[kWeaponEntry] = 0x00;
  for (std::size_t i = 0; i < kWeaponBlockLength; ++i) image[kWeaponBlock + i] = 0x4A;
  Settings(false, 1, 0).StoreToRom(image);
  EXPECT_EQ(image, MakeTestRom());
}

TEST(BattleSettingsTest, MonsterFixCountsOnlyWithAllNineBytesAndIsWrittenWhole) {
  const std::vector<Byte> fixed = WithMonsterFix(kMonsterFixPatchedHex);
  EXPECT_TRUE(BattleSettings::LoadFromRom(fixed).FixMonsterFight);

  for (std::size_t i = 0; i < std::size(kMonsterPieces); ++i) {
    for (std::size_t j = 0; j < kMonsterFixPatchedHex[i].size() / 2; ++j) {
      SCOPED_TRACE(::testing::Message() << "piece " << i << " byte " << j);
      std::vector<Byte> image = fixed;
      image[kMonsterPieces[i] + j] ^= 0x10;
      const BattleSettings settings = BattleSettings::LoadFromRom(image);
      EXPECT_FALSE(settings.FixMonsterFight);
      settings.StoreToRom(image);
      EXPECT_EQ(MonsterBytes(image), Joined(kMonsterFixUnpatchedHex));
    }
  }

  std::vector<Byte> image = MakeTestRom();
  BattleSettings settings = Settings(false, 1, 0);
  settings.FixMonsterFight = true;
  settings.StoreToRom(image);
  EXPECT_EQ(MonsterBytes(image), Joined(kMonsterFixPatchedHex));
  EXPECT_TRUE(BattleSettings::LoadFromRom(image).FixMonsterFight);
}

TEST(BattleSettingsTest, AStoreTouchesNoByteOutsideTheBattleCode) {
  const std::set<std::size_t> allowed = BattleBytes();
  for (bool fixes : {true, false}) {
    std::vector<Byte> image = MakeTestRom(kMinRomLength + 100);
    image[kUnpatchedHits.base] = 200;
    std::vector<Byte> before = image;
    BattleSettings settings = Settings(fixes, std::nullopt, 5);
    settings.FixRun = settings.FixMonsterFight = fixes;
    settings.WeaponBonus = 99;
    settings.StoreToRom(image);
    for (std::size_t offset : DifferingOffsets(before, image))
      EXPECT_TRUE(allowed.contains(offset)) << std::hex << offset;
    EXPECT_EQ(image.size(), before.size());
  }
}

TEST(BattleSettingsTest, EveryFixRoundTrips) {
  std::vector<Byte> image = MakeTestRom();
  const BattleSettings settings = {true, true, true, 200, 5, 0};
  settings.StoreToRom(image);

  const BattleSettings reloaded = BattleSettings::LoadFromRom(image);
  EXPECT_EQ(Fields(reloaded), Fields(settings));

  const std::vector<Byte> stored = image;
  reloaded.StoreToRom(image);
  EXPECT_EQ(image, stored);
}

}  // namespace
}  // namespace brimwell
