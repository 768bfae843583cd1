// The misc editor's model against the bytes of the ship game and the airship's landing check.

#include "patches/MiscSettings.h"

#include <gtest/gtest.h>

#include <set>

#include "MiscTestBytes.h"
#include "TestRom.h"

namespace brimwell {
namespace {

using namespace testing;

// Every byte that a store may change.
const std::set<std::size_t> kMiscBytes = {kShipGameOpcode, kShipBtnPresses, kShipGameAnywhere,
                                          kAirshipLanding, kShipGold[0],    kShipGold[1],
                                          kShipGold[2]};

TEST(MiscSettingsTest, LoadsTheOriginalGame) {
  const MiscSettings settings = MiscSettings::LoadFromRom(MakeTestRom());
  EXPECT_TRUE(settings.ShipGameEnabled);
  EXPECT_FALSE(settings.ShipGameAnywhere);
  EXPECT_EQ(settings.ShipGold, 100);
  EXPECT_EQ(settings.ShipBtnPresses, 55);
  EXPECT_EQ(settings.AirshipLanding, LandingTerrain::LandOnly);
}

TEST(MiscSettingsTest, EveryByteOfTheSwitchesAndTheLandingReadsAsSomeSetting) {
  std::vector<Byte> image = MakeTestRom();
  for (int value = 0; value <= 0xFF; ++value) {
    SCOPED_TRACE(value);
    const Byte byte = static_cast<Byte>(value);
    image[kShipGameOpcode] = image[kShipGameAnywhere] = image[kAirshipLanding] =
        image[kShipBtnPresses] = byte;
    const MiscSettings settings = MiscSettings::LoadFromRom(image);
    EXPECT_EQ(settings.ShipGameEnabled, byte == 0xC9);
    EXPECT_EQ(settings.ShipGameAnywhere, byte == 0x00);
    EXPECT_EQ(settings.ShipBtnPresses, value);
    const LandingTerrain expected = byte == 0x01   ? LandingTerrain::LandWalk
                                    : byte == 0x08 ? LandingTerrain::LandOnly
                                                   : LandingTerrain::LandOther;
    EXPECT_EQ(settings.AirshipLanding, expected);
  }
}

TEST(MiscSettingsTest, GoldSpansThreeBytesFourApartAndLoadsCappedAt999999) {
  const std::pair<std::vector<Byte>, std::int32_t> cases[] = {
      {{0x64, 0x00, 0x00}, 100},    {{0x00, 0x00, 0x00}, 0},      {{0x3F, 0x42, 0x0F}, 999999},
      {{0x40, 0x42, 0x0F}, 999999}, {{0xFF, 0xFF, 0xFF}, 999999}, {{0x01, 0x02, 0x03}, 0x030201},
  };
  for (const auto& [bytes, gold] : cases) {
    SCOPED_TRACE(gold);
    std::vector<Byte> image = MakeTestRom();
    SetShipGoldBytes(image, bytes);
    EXPECT_EQ(MiscSettings::LoadFromRom(image).ShipGold, gold);
  }
}

struct IntegerCase {
  IntegerField value;
  std::vector<Byte> stored;  // empty: rejected or absent, the bytes stay
};

TEST(MiscSettingsTest, GoldIsStoredWhenInRangeAndOtherwiseLeftAlone) {
  const IntegerCase cases[] = {
      {100, {0x64, 0x00, 0x00}},
      {999999, {0x3F, 0x42, 0x0F}},
      {0, {0x00, 0x00, 0x00}},
      {-1, {}},
      {1000000, {}},
      {std::nullopt, {}},
  };
  for (const IntegerCase& c : cases) {
    SCOPED_TRACE(c.value.value_or(-32768));
    std::vector<Byte> image = MakeTestRom();
    SetShipGoldBytes(image, {0x12, 0x34, 0x56});
    MiscSettings settings;
    settings.ShipGold = c.value;
    settings.StoreToRom(image);
    const std::vector<Byte> kept = {0x12, 0x34, 0x56};
    EXPECT_EQ(ShipGoldBytes(image), c.stored.empty() ? kept : c.stored);
  }
}

TEST(MiscSettingsTest, PressCountIsStoredWhenInRangeAndOtherwiseLeftAlone) {
  const IntegerCase cases[] = {
      {55, {0x37}}, {255, {0xFF}}, {1, {0x01}}, {0, {}}, {256, {}}, {std::nullopt, {}},
  };
  for (const IntegerCase& c : cases) {
    SCOPED_TRACE(c.value.value_or(-32768));
    std::vector<Byte> image = MakeTestRom();
    image[kShipBtnPresses] = 0x99;
    MiscSettings settings;
    settings.ShipBtnPresses = c.value;
    settings.StoreToRom(image);
    EXPECT_EQ(image[kShipBtnPresses], c.stored.empty() ? 0x99 : c.stored[0]);
  }
}

TEST(MiscSettingsTest, SwitchesAndLandingAreAlwaysWrittenInOneOfTheirForms) {
  struct Case {
    bool enabled, anywhere;
    LandingTerrain landing;
    Byte opcode, anywhereByte, landingByte;
  };
  const Case cases[] = {
      {true, false, LandingTerrain::LandOnly, 0xC9, 0x25, 0x08},
      {false, true, LandingTerrain::LandWalk, 0xA9, 0x00, 0x01},
      {true, true, LandingTerrain::LandOther, 0xC9, 0x00, 0x08},
  };
  for (const Case& c : cases) {
    std::vector<Byte> image = MakeTestRom();
    image[kShipGameOpcode] = image[kShipGameAnywhere] = image[kAirshipLanding] = 0x5A;
    MiscSettings settings;
    settings.ShipGameEnabled = c.enabled;
    settings.ShipGameAnywhere = c.anywhere;
    settings.AirshipLanding = c.landing;
    settings.StoreToRom(image);
    EXPECT_EQ(image[kShipGameOpcode], c.opcode);
    EXPECT_EQ(image[kShipGameAnywhere], c.anywhereByte);
    EXPECT_EQ(image[kAirshipLanding], c.landingByte);
  }
}

TEST(MiscSettingsTest, SwitchingTheShipGameOffAndOnKeepsThePressCount) {
  std::vector<Byte> image = MakeTestRom();
  image[kShipBtnPresses] = 0x0C;
  for (bool enabled : {false, true}) {
    MiscSettings settings = MiscSettings::LoadFromRom(image);
    settings.ShipGameEnabled = enabled;
    settings.ShipBtnPresses = std::nullopt;
    settings.StoreToRom(image);
    EXPECT_EQ(Slice(image, kShipGameOpcode, 2),
              (std::vector<Byte>{Byte(enabled ? 0xC9 : 0xA9), 0x0C}));
    EXPECT_EQ(MiscSettings::LoadFromRom(image).ShipBtnPresses, 12);
  }
}

TEST(MiscSettingsTest, AStoreTouchesNoByteOutsideTheMiscBytes) {
  std::vector<Byte> image = MakeTestRom(kMinRomLength + 100);
  const std::vector<Byte> before = image;
  MiscSettings settings;
  settings.ShipGameEnabled = false;
  settings.ShipGameAnywhere = true;
  settings.ShipGold = 0x0A0B0C;
  settings.ShipBtnPresses = 200;
  settings.AirshipLanding = LandingTerrain::LandWalk;
  settings.StoreToRom(image);

  const std::vector<std::size_t> changed = DifferingOffsets(before, image);
  EXPECT_EQ(std::set<std::size_t>(changed.begin(), changed.end()), kMiscBytes);
  EXPECT_EQ(image.size(), before.size());
}

TEST(MiscSettingsTest, LoadedSettingsStoreBackUnchangedOnTheOriginalGame) {
  std::vector<Byte> image = MakeTestRom();
  const std::vector<Byte> original = image;
  MiscSettings::LoadFromRom(image).StoreToRom(image);
  EXPECT_EQ(image, original);
}

// Bytes that no choice of the editor writes are replaced by the nearest setting on the next
// store of what was loaded; a zero press count, which the field rejects, stays.
TEST(MiscSettingsTest, LoadedOddBytesStoreBackInTheEditorsForms) {
  std::vector<Byte> image = MakeTestRom();
  image[kShipGameOpcode] = 0xEA;
  image[kShipBtnPresses] = 0x00;
  image[kShipGameAnywhere] = 0x24;
  image[kAirshipLanding] = 0x04;
  SetShipGoldBytes(image, {0xFF, 0xFF, 0xFF});
  const std::vector<Byte> before = image;

  MiscSettings::LoadFromRom(image).StoreToRom(image);

  EXPECT_EQ(Slice(image, kShipGameOpcode, 2), (std::vector<Byte>{0xA9, 0x00}));
  EXPECT_EQ(image[kShipGameAnywhere], 0x25);
  EXPECT_EQ(image[kAirshipLanding], 0x08);
  EXPECT_EQ(ShipGoldBytes(image), (std::vector<Byte>{0x3F, 0x42, 0x0F}));
  EXPECT_EQ(DifferingOffsets(before, image).size(), 6u);
}

}  // namespace
}  // namespace brimwell
