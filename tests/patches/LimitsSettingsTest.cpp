// The limits editor's model against the bytes of the game's tables and code.

#include "patches/LimitsSettings.h"

#include <gtest/gtest.h>

#include <set>

#include "TestRom.h"

namespace brimwell {
namespace {

using testing::DifferingOffsets;
using testing::MakeTestRom;
using testing::Slice;

// Every byte that a store may change.
const std::set<std::size_t> kLimitsBytes = {0x2D9B3, 0x2D9B4, 0x2D9B5, 0x2D9B6, 0x2D9B7, 0x2DCB7,
                                            0x2DCAA, 0x2DCA6, 0x2DC91, 0x3DE13, 0x3DE14, 0x3DE1B,
                                            0x3DE26, 0x3DE2A, 0x3DE2F, 0x3DE34};

// The ten bytes that carry the experience/gold maximum, in the order the expectations list them.
std::vector<Byte> ExpGoldBytes(const std::vector<Byte>& image) {
  std::vector<Byte> bytes = Slice(image, 0x2D9B3, 3);
  for (std::size_t offset : {0x3DE13, 0x3DE14, 0x3DE1B, 0x3DE26, 0x3DE2A, 0x3DE2F, 0x3DE34})
    bytes.push_back(image[offset]);
  return bytes;
}

LimitsSettings OnlyMPLimit(bool limited) {
  LimitsSettings settings;
  settings.LimitMP = limited;
  return settings;
}

TEST(LimitsSettingsTest, LoadsTheOriginalGameAndAnAdjustedImage) {
  std::vector<Byte> image = MakeTestRom();
  image[0x2DCAA] = 0x0A;
  image[0x2DCA6] = 0x00;
  image[0x2DC91] = 0xFF;

  const LimitsSettings settings = LimitsSettings::LoadFromRom(image);

  EXPECT_EQ(settings.HPlimit, 999);
  EXPECT_TRUE(settings.LimitMP);
  EXPECT_EQ(settings.LimitFiTh, 10);
  EXPECT_EQ(settings.LimitOther, 0);
  EXPECT_EQ(settings.MaxMPInc, 255);
  EXPECT_EQ(settings.ExpGold, 999999);
}

TEST(LimitsSettingsTest, ZeroBoundsLoadAsMinusOneAndAreThenRejected) {
  std::vector<Byte> image = MakeTestRom();
  for (std::size_t offset = 0x2D9B3; offset <= 0x2D9B7; ++offset) image[offset] = 0;
  const std::vector<Byte> before = image;

  const LimitsSettings settings = LimitsSettings::LoadFromRom(image);
  EXPECT_EQ(settings.HPlimit, -1);
  EXPECT_EQ(settings.ExpGold, -1);

  settings.StoreToRom(image);
  EXPECT_EQ(Slice(image, 0x2D9B3, 5), Slice(before, 0x2D9B3, 5));
  EXPECT_EQ(ExpGoldBytes(image), ExpGoldBytes(before));
}

TEST(LimitsSettingsTest, OnlyTheStaIndirectOpcodeReadsAsLimited) {
  std::vector<Byte> image = MakeTestRom();
  for (int opcode = 0; opcode <= 0xFF; ++opcode) {
    image[0x2DCB7] = static_cast<Byte>(opcode);
    EXPECT_EQ(LimitsSettings::LoadFromRom(image).LimitMP, opcode == 0x91) << opcode;
  }
}

TEST(LimitsSettingsTest, TheMPLimitSwitchAlwaysWritesOneOfTheTwoOpcodes) {
  std::vector<Byte> image = MakeTestRom();
  image[0x2DCB7] = 0x00;
  OnlyMPLimit(false).StoreToRom(image);
  EXPECT_EQ(image[0x2DCB7], 0xB1);
  OnlyMPLimit(true).StoreToRom(image);
  EXPECT_EQ(image[0x2DCB7], 0x91);
}

struct HPCase {
  std::int32_t limit;
  std::vector<Byte> stored;  // empty: rejected, the bytes stay
};

TEST(LimitsSettingsTest, MaximumHPIsStoredPlusOneOrNotAtAll) {
  for (const HPCase& c : {HPCase{999, {0xE8, 0x03}}, HPCase{9999, {0x10, 0x27}},
                          HPCase{99, {0x64, 0x00}}, HPCase{98, {}}, HPCase{10000, {}}}) {
    SCOPED_TRACE(c.limit);
    std::vector<Byte> image = MakeTestRom();
    image[0x2D9B6] = 0x12;
    image[0x2D9B7] = 0x34;
    LimitsSettings settings = OnlyMPLimit(true);
    settings.HPlimit = c.limit;
    settings.StoreToRom(image);
    const std::vector<Byte> expected = c.stored.empty() ? std::vector<Byte>{0x12, 0x34} : c.stored;
    EXPECT_EQ(Slice(image, 0x2D9B6, 2), expected);
  }
}

struct ExpGoldCase {
  std::int32_t maximum;
  // Table low/middle/high, then 0x3DE13, 0x3DE14, 0x3DE1B, 0x3DE26, 0x3DE2A, 0x3DE2F, 0x3DE34;
  // empty: rejected, all ten bytes stay.
  std::vector<Byte> stored;
};

TEST(LimitsSettingsTest, ExpGoldMaximumReachesTheTableAndBothCodeCopies) {
  const ExpGoldCase cases[] = {
      {999999, {0x40, 0x42, 0x0F, 0xC9, 0x0F, 0x42, 0x40, 0x3F, 0x42, 0x0F}},
      {9999999, {0x80, 0x96, 0x98, 0xC9, 0x98, 0x96, 0x80, 0x7F, 0x96, 0x98}},
      {9999, {0x10, 0x27, 0x00, 0xC9, 0x00, 0x27, 0x10, 0x0F, 0x27, 0x00}},
      {9998, {}},
      {10000000, {}},
  };
  for (const ExpGoldCase& c : cases) {
    SCOPED_TRACE(c.maximum);
    std::vector<Byte> image = MakeTestRom();
    image[0x3DE13] = 0xEA;  // a patched compare that the store must restore
    const std::vector<Byte> before = ExpGoldBytes(image);
    LimitsSettings settings = OnlyMPLimit(true);
    settings.ExpGold = c.maximum;
    settings.StoreToRom(image);
    EXPECT_EQ(ExpGoldBytes(image), c.stored.empty() ? before : c.stored);
  }
}

struct ByteFieldCase {
  IntegerField LimitsSettings::*field;
  std::size_t offset;
  std::int32_t value;
  bool accepted;
};

TEST(LimitsSettingsTest, MPLimitsAcceptZeroButTheIncreaseDoesNot) {
  const ByteFieldCase cases[] = {
      {&LimitsSettings::LimitFiTh, 0x2DCAA, 0, true},
      {&LimitsSettings::LimitFiTh, 0x2DCAA, 255, true},
      {&LimitsSettings::LimitFiTh, 0x2DCAA, 256, false},
      {&LimitsSettings::LimitOther, 0x2DCA6, 0, true},
      {&LimitsSettings::LimitOther, 0x2DCA6, -1, false},
      {&LimitsSettings::MaxMPInc, 0x2DC91, 0, false},
      {&LimitsSettings::MaxMPInc, 0x2DC91, 1, true},
      {&LimitsSettings::MaxMPInc, 0x2DC91, 255, true},
  };
  for (const ByteFieldCase& c : cases) {
    SCOPED_TRACE(::testing::Message() << std::hex << c.offset << " = " << std::dec << c.value);
    std::vector<Byte> image = MakeTestRom();
    image[c.offset] = 0x77;
    LimitsSettings settings = OnlyMPLimit(true);
    settings.*c.field = c.value;
    settings.StoreToRom(image);
    EXPECT_EQ(image[c.offset], c.accepted ? c.value : 0x77);
  }
}

TEST(LimitsSettingsTest, AStoreTouchesNoByteOutsideTheLimits) {
  std::vector<Byte> image = MakeTestRom(kMinRomLength + 100);
  const std::vector<Byte> before = image;
  LimitsSettings settings;
  settings.HPlimit = 1234;
  settings.LimitMP = false;
  settings.LimitFiTh = 1;
  settings.LimitOther = 2;
  settings.MaxMPInc = 3;
  settings.ExpGold = 123456;
  settings.StoreToRom(image);

  for (std::size_t offset : DifferingOffsets(before, image))
    EXPECT_TRUE(kLimitsBytes.contains(offset)) << std::hex << offset;
  EXPECT_EQ(image.size(), before.size());
}

TEST(LimitsSettingsTest, AbsentFieldsWriteOnlyTheMPSwitch) {
  std::vector<Byte> image = MakeTestRom();
  image[0x2DCB7] = 0xB1;
  const std::vector<Byte> before = image;
  OnlyMPLimit(false).StoreToRom(image);
  EXPECT_EQ(image, before);
}

TEST(LimitsSettingsTest, LoadedSettingsStoreBackUnchangedAndRoundTrip) {
  std::vector<Byte> image = MakeTestRom();
  const std::vector<Byte> original = image;
  LimitsSettings::LoadFromRom(image).StoreToRom(image);
  EXPECT_EQ(image, original);

  LimitsSettings changed = LimitsSettings::LoadFromRom(image);
  changed.HPlimit = 4321;
  changed.LimitMP = false;
  changed.LimitFiTh = 51;
  changed.LimitOther = 201;
  changed.MaxMPInc = 9;
  changed.ExpGold = 7654321;
  changed.StoreToRom(image);
  const LimitsSettings reloaded = LimitsSettings::LoadFromRom(image);
  EXPECT_EQ(reloaded.HPlimit, 4321);
  EXPECT_FALSE(reloaded.LimitMP);
  EXPECT_EQ(reloaded.LimitFiTh, 51);
  EXPECT_EQ(reloaded.LimitOther, 201);
  EXPECT_EQ(reloaded.MaxMPInc, 9);
  EXPECT_EQ(reloaded.ExpGold, 7654321);
}

TEST(LimitsSettingsTest, DisagreeingCodeCopiesAreIgnoredOnLoadAndAlignedByTheNextStore) {
  std::vector<Byte> image = MakeTestRom();
  for (std::size_t offset : {0x3DE14, 0x3DE1B, 0x3DE26, 0x3DE2A, 0x3DE2F, 0x3DE34})
    image[offset] = 0x55;

  LimitsSettings settings = LimitsSettings::LoadFromRom(image);
  EXPECT_EQ(settings.ExpGold, 999999);
  settings.StoreToRom(image);
  EXPECT_EQ(ExpGoldBytes(image),
            (std::vector<Byte>{0x40, 0x42, 0x0F, 0xC9, 0x0F, 0x42, 0x40, 0x3F, 0x42, 0x0F}));
}

}  // namespace
}  // namespace brimwell
