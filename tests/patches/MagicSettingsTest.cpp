// The magic editor's model against the bytes of the game's spell code in bank 0x0C.

#include "patches/MagicSettings.h"

#include <gtest/gtest.h>

#include <set>

#include "TestRom.h"

namespace brimwell {

void PrintTo(const MagicSettings& s, std::ostream* out) {
  const auto integer = [](IntegerField field) {
    return field ? std::to_string(*field) : std::string("absent");
  };
  *out << "{FixLOCK " << s.FixLOCK << ", HitMultiplier " << integer(s.HitMultiplier)
       << ", DamageFamily " << int(s.DamageFamily) << ", WeakBonus " << int(s.WeakBonus)
       << ", Neg2HPLimit " << integer(s.Neg2HPLimit) << "}";
}

namespace {

using testing::DifferingOffsets;
using testing::MakeTestRom;
using testing::Slice;

// Every byte that a store may change.
const std::set<std::size_t> kMagicBytes = {
    0x33833, 0x33A5E, 0x33A5F, 0x33A60,                    // "Evade Down" fix
    0x33A2A, 0x33A33,                                      // "# of hits up" limit
    0x33922,                                               // HARM families
    0x338D9, 0x338DA, 0x338DB, 0x338DC, 0x338DD, 0x338DE,  // weakness bonus adjustment
    0x338E5, 0x338E6, 0x338E7,                             // weakness bonus call
    0x33AF0, 0x33AF5,                                      // "Neg. Effect 2" HP limit
};

constexpr Byte kLockByte = 0x5D;

// The original game's settings as the dialog would hand them back unedited.
MagicSettings Original() {
  return MagicSettings::LoadFromRom(MakeTestRom());
}

// A game with the "Evade Down" fix applied.
std::vector<Byte> MakeFixedRom() {
  std::vector<Byte> image = MakeTestRom();
  image[0x33833] = 0x46;
  image[0x33A5E] = 0xF0;
  image[0x33A5F] = 0x17;
  image[0x33A60] = 0xEA;
  return image;
}

// Fix bytes 0x33833, then 0x33A5E..0x33A60.
std::vector<Byte> FixBytes(const std::vector<Byte>& image) {
  std::vector<Byte> bytes = {image[0x33833]};
  for (Byte b : Slice(image, 0x33A5E, 3)) bytes.push_back(b);
  return bytes;
}

// Weakness bonus bytes 0x338D9..0x338DE, then 0x338E5..0x338E7.
std::vector<Byte> BonusBytes(const std::vector<Byte>& image) {
  std::vector<Byte> bytes = Slice(image, 0x338D9, 6);
  for (Byte b : Slice(image, 0x338E5, 3)) bytes.push_back(b);
  return bytes;
}

TEST(MagicSettingsTest, LoadsTheOriginalGame) {
  std::vector<Byte> image = MakeTestRom();
  image[0x33922] = 0x08;
  EXPECT_EQ(MagicSettings::LoadFromRom(image),
            (MagicSettings{false, 2, 0x08, WeakBonusChoice::Half, 300}));
}

TEST(MagicSettingsTest, TheFixCountsOnlyWhenAllFourBytesHoldIt) {
  std::vector<Byte> image = MakeFixedRom();
  EXPECT_TRUE(MagicSettings::LoadFromRom(image).FixLOCK);
  for (std::size_t offset : {0x33833, 0x33A5E, 0x33A5F, 0x33A60}) {
    std::vector<Byte> spoilt = image;
    spoilt[offset] ^= 0x01;
    EXPECT_FALSE(MagicSettings::LoadFromRom(spoilt).FixLOCK) << std::hex << offset;
  }
}

TEST(MagicSettingsTest, TheFixIsWrittenWholeOnEveryStoreAndRemovalRestoresTheByteAtOpen) {
  std::vector<Byte> image = MakeTestRom();
  MagicSettings settings = Original();
  settings.FixLOCK = true;
  settings.StoreToRom(image, kLockByte);
  EXPECT_EQ(FixBytes(image), (std::vector<Byte>{0x46, 0xF0, 0x17, 0xEA}));

  settings.FixLOCK = false;
  settings.StoreToRom(image, kLockByte);
  EXPECT_EQ(FixBytes(image), (std::vector<Byte>{kLockByte, 0x4C, 0x67, 0xBA}));

  // Written on every store, changed or not: a half-written fix is put right.
  image[0x33833] = 0x46;
  image[0x33A5F] = 0x00;
  settings.StoreToRom(image, kLockByte);
  EXPECT_EQ(FixBytes(image), (std::vector<Byte>{kLockByte, 0x4C, 0x67, 0xBA}));
}

// A file saved with the fix holds 0x46 at 0x33833 when it is opened again, so that byte stays
// after the fix is removed, and only the jump tells the fix is gone.
TEST(MagicSettingsTest, RemovingAFixThatTheFileWasOpenedWithLeavesTheLockByte) {
  std::vector<Byte> image = MakeFixedRom();
  const Byte lockByteAtOpen = image[0x33833];

  MagicSettings settings = MagicSettings::LoadFromRom(image);
  ASSERT_TRUE(settings.FixLOCK);
  settings.FixLOCK = false;
  settings.StoreToRom(image, lockByteAtOpen);
  EXPECT_EQ(FixBytes(image), (std::vector<Byte>{0x46, 0x4C, 0x67, 0xBA}));
  EXPECT_FALSE(MagicSettings::LoadFromRom(image).FixLOCK);
}

TEST(MagicSettingsTest, OnlyTheBoundIsReadAndAZeroBoundLoadsAsMinusOneWhichStaysAsItIs) {
  std::vector<Byte> image = MakeTestRom();
  image[0x33A33] = 0x77;  // never read
  image[0x33A2A] = 0x0A;
  EXPECT_EQ(MagicSettings::LoadFromRom(image).HitMultiplier, 9);

  image[0x33A2A] = 0x00;
  const MagicSettings settings = MagicSettings::LoadFromRom(image);
  EXPECT_EQ(settings.HitMultiplier, -1);
  settings.StoreToRom(image, kLockByte);
  EXPECT_EQ(image[0x33A2A], 0x00);
  EXPECT_EQ(image[0x33A33], 0x77);
}

TEST(MagicSettingsTest, FamilyFlagsAreTheByteItself) {
  for (Byte flags : {Byte{0x00}, Byte{0x08}, Byte{0xA5}, Byte{0xFF}}) {
    std::vector<Byte> image = MakeTestRom();
    image[0x33922] = flags;
    EXPECT_EQ(MagicSettings::LoadFromRom(image).DamageFamily, flags);

    image[0x33922] = Byte(~flags);
    MagicSettings settings = Original();
    settings.DamageFamily = flags;
    settings.StoreToRom(image, kLockByte);
    EXPECT_EQ(image[0x33922], flags);
  }
}

struct BonusLoadCase {
  std::vector<Byte> call;  // at 0x338E5
  Byte first;              // at 0x338D9; the next five stay the original halving code
  WeakBonusChoice loaded;
};

TEST(MagicSettingsTest, WeakBonusIsDecidedByTheCallThenByTheFirstAdjustmentByteAlone) {
  const std::vector<Byte> call = {0x20, 0x7B, 0xAE};
  const BonusLoadCase cases[] = {
      {{0xEA, 0xEA, 0xEA}, 0x4E, WeakBonusChoice::None},
      {{0xEA, 0xEA, 0xEA}, 0x0E, WeakBonusChoice::None},
      {{0x20, 0x7B, 0xAF}, 0xEA, WeakBonusChoice::None},  // any foreign call byte
      {{0x60, 0x7B, 0xAE}, 0x0E, WeakBonusChoice::None},
      {call, 0x4E, WeakBonusChoice::Half},
      {call, 0xEA, WeakBonusChoice::Full},
      {call, 0x0E, WeakBonusChoice::Double},
      {call, 0x00, WeakBonusChoice::Half},
      {call, 0x6E, WeakBonusChoice::Half},
  };
  for (const BonusLoadCase& c : cases) {
    SCOPED_TRACE(::testing::Message() << std::hex << int(c.call[2]) << " " << int(c.first));
    std::vector<Byte> image = MakeTestRom();
    std::copy(c.call.begin(), c.call.end(), image.begin() + 0x338E5);
    image[0x338D9] = c.first;
    EXPECT_EQ(MagicSettings::LoadFromRom(image).WeakBonus, c.loaded);
  }
}

TEST(MagicSettingsTest, EachWeakBonusWritesItsNineBytes) {
  const std::pair<WeakBonusChoice, std::vector<Byte>> cases[] = {
      {WeakBonusChoice::None, {0xEA, 0xEA, 0xEA, 0xEA, 0xEA, 0xEA, 0xEA, 0xEA, 0xEA}},
      {WeakBonusChoice::Half, {0x4E, 0x59, 0x68, 0x6E, 0x58, 0x68, 0x20, 0x7B, 0xAE}},
      {WeakBonusChoice::Full, {0xEA, 0xEA, 0xEA, 0xEA, 0xEA, 0xEA, 0x20, 0x7B, 0xAE}},
      {WeakBonusChoice::Double, {0x0E, 0x58, 0x68, 0x2E, 0x59, 0x68, 0x20, 0x7B, 0xAE}},
  };
  std::vector<Byte> image = MakeTestRom();
  for (const auto& [choice, bytes] : cases) {
    SCOPED_TRACE(static_cast<int>(choice));
    MagicSettings settings = Original();
    settings.WeakBonus = choice;
    settings.StoreToRom(image, kLockByte);
    EXPECT_EQ(BonusBytes(image), bytes);
    EXPECT_EQ(MagicSettings::LoadFromRom(image).WeakBonus, choice);
  }
}

TEST(MagicSettingsTest, ForeignBonusCodeLoadsAsHalfAndIsReplacedByTheHalvingCode) {
  std::vector<Byte> image = MakeTestRom();
  image[0x338D9] = 0x99;
  image[0x338DC] = 0x99;
  MagicSettings::LoadFromRom(image).StoreToRom(image, kLockByte);
  const std::vector<Byte> halving = {0x4E, 0x59, 0x68, 0x6E, 0x58, 0x68, 0x20, 0x7B, 0xAE};
  EXPECT_EQ(BonusBytes(image), halving);

  // Nor can a choice from outside the four write anything but a whole sequence.
  std::fill_n(image.begin() + 0x338D9, 6, 0xEA);
  MagicSettings unknown = Original();
  unknown.WeakBonus = static_cast<WeakBonusChoice>(7);
  unknown.StoreToRom(image, kLockByte);
  EXPECT_EQ(BonusBytes(image), halving);
}

struct IntegerCase {
  IntegerField MagicSettings::*field;
  std::int32_t value;
  std::vector<Byte> stored;  // at the field's two offsets; empty: rejected, both bytes stay
};

// The multiplier limit goes in as limit + 1 at 0x33A2A and as the limit at 0x33A33, only while
// limit + 1 fits its byte; the HP limit goes in low byte first, its two bytes five apart.
TEST(MagicSettingsTest, IntegersAreStoredInTheirTwoBytesOrNotAtAll) {
  const auto hits = &MagicSettings::HitMultiplier;
  const auto hp = &MagicSettings::Neg2HPLimit;
  const IntegerCase cases[] = {
      {hits, 2, {0x03, 0x02}},
      {hits, 254, {0xFF, 0xFE}},
      {hits, 100, {0x65, 0x64}},
      {hits, 255, {}},
      {hits, 1, {}},
      {hits, 0, {}},
      {hits, -1, {}},
      {hp, 300, {0x2C, 0x01}},
      {hp, 999, {0xE7, 0x03}},
      {hp, 1, {0x01, 0x00}},
      {hp, 256, {0x00, 0x01}},
      {hp, 0, {}},
      {hp, 1000, {}},
      {hp, -1, {}},
  };
  for (const IntegerCase& c : cases) {
    const bool isHits = c.field == hits;
    SCOPED_TRACE(::testing::Message() << (isHits ? "HitMultiplier " : "Neg2HPLimit ") << c.value);
    const std::size_t low = isHits ? 0x33A2A : 0x33AF0;
    const std::size_t high = isHits ? 0x33A33 : 0x33AF5;
    std::vector<Byte> image = MakeTestRom();
    image[low] = 0x12;
    image[high] = 0x34;
    MagicSettings settings = Original();
    settings.*c.field = c.value;
    settings.StoreToRom(image, kLockByte);
    const std::vector<Byte> expected = c.stored.empty() ? std::vector<Byte>{0x12, 0x34} : c.stored;
    EXPECT_EQ((std::vector<Byte>{image[low], image[high]}), expected);
  }
}

TEST(MagicSettingsTest, AnHPLimitBeyondTheFieldLoadsWholeAndIsLeftAlone) {
  std::vector<Byte> image = MakeTestRom();
  image[0x33AF0] = 0xFF;
  image[0x33AF5] = 0xFF;
  image[0x33AF1] = 0x00;  // the bytes between belong to other code
  const MagicSettings settings = MagicSettings::LoadFromRom(image);
  EXPECT_EQ(settings.Neg2HPLimit, 65535);
  settings.StoreToRom(image, kLockByte);
  EXPECT_EQ(image[0x33AF0], 0xFF);
  EXPECT_EQ(image[0x33AF5], 0xFF);
}

TEST(MagicSettingsTest, AbsentIntegersWriteOnlyTheSwitchesTheFlagsAndTheBonus) {
  std::vector<Byte> image = MakeTestRom();
  image[0x33A2A] = 0x00;
  image[0x33AF0] = 0xAB;
  MagicSettings settings = MagicSettings::LoadFromRom(image);
  settings.HitMultiplier.reset();
  settings.Neg2HPLimit.reset();
  const Byte lockByteAtOpen = image[0x33833];
  const std::vector<Byte> before = image;
  settings.StoreToRom(image, lockByteAtOpen);
  EXPECT_EQ(image, before);
}

TEST(MagicSettingsTest, AStoreTouchesNoByteOutsideTheMagicLocations) {
  for (const bool fix : {false, true}) {
    std::vector<Byte> image = MakeTestRom(kMinRomLength + 100);
    const std::vector<Byte> before = image;
    MagicSettings settings;
    settings.FixLOCK = fix;
    settings.HitMultiplier = 7;
    settings.DamageFamily = Byte(~before[0x33922]);
    settings.WeakBonus = fix ? WeakBonusChoice::None : WeakBonusChoice::Double;
    settings.Neg2HPLimit = 555;
    settings.StoreToRom(image, Byte(~before[0x33833]));

    const std::vector<std::size_t> changed = DifferingOffsets(before, image);
    for (std::size_t offset : changed)
      EXPECT_TRUE(kMagicBytes.contains(offset)) << std::hex << offset;
    EXPECT_FALSE(changed.empty());
    EXPECT_EQ(Slice(image, 0x338DF, 6), Slice(before, 0x338DF, 6));
    EXPECT_EQ(image.size(), before.size());
  }
}

TEST(MagicSettingsTest, LoadedSettingsStoreBackUnchangedAndRoundTrip) {
  std::vector<Byte> image = MakeTestRom();
  const std::vector<Byte> original = image;
  MagicSettings::LoadFromRom(image).StoreToRom(image, image[0x33833]);
  EXPECT_EQ(image, original);

  const MagicSettings changed{true, 200, 0x81, WeakBonusChoice::Full, 777};
  changed.StoreToRom(image, kLockByte);
  EXPECT_EQ(MagicSettings::LoadFromRom(image), changed);
}

}  // namespace
}  // namespace brimwell
