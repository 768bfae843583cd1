// Fuzzes the misc editor's model on arbitrary bytes at its locations and arbitrary records.

#include <array>

#include "ModelFuzzHarness.h"
#include "patches/MiscSettings.h"

namespace brimwell::fuzz {
namespace {

// The editor's bytes in bank 0x0F, written out by hand rather than taken from the model: the
// ship game's opcode and press count, its "anywhere" byte, the airship's landing terrain and the
// ship game's prize, low byte first.
constexpr std::array<std::size_t, 7> kLocations = {
    0x3C279, 0x3C27A, 0x3C284, 0x3C6EB, 0x3C8B5, 0x3C8B9, 0x3C8BD,
};

// CMP # lets the ship game start after that many presses; LDA # keeps it shut.
constexpr std::size_t kShipGameOpcode = 0x3C279;
constexpr Byte kCmpImmediate = 0xC9;
constexpr Byte kLdaImmediate = 0xA9;
constexpr std::size_t kShipBtnPresses = 0x3C27A;
constexpr std::size_t kShipGameAnywhere = 0x3C284;
constexpr Byte kAnywhere = 0x00;
constexpr Byte kNotAnywhere = 0x25;
constexpr std::size_t kAirshipLanding = 0x3C6EB;
constexpr Byte kLandWalk = 0x01;
constexpr Byte kLandOnly = 0x08;
constexpr std::array<std::size_t, 3> kShipGold = {0x3C8B5, 0x3C8B9, 0x3C8BD};

constexpr int kLandingChoices = 3;

MiscSettings TakeRecord(FuzzInput& input) {
  MiscSettings settings;
  settings.ShipGameEnabled = input.TakeBool();
  settings.ShipGameAnywhere = input.TakeBool();
  settings.ShipGold = TakeIntegerField(input, kShipGoldRange);
  settings.ShipBtnPresses = TakeIntegerField(input, kShipBtnPressesRange);
  settings.AirshipLanding = static_cast<LandingTerrain>(input.TakeByte() % kLandingChoices);
  return settings;
}

void PutRecord(SeedWriter& seed, const MiscSettings& settings) {
  seed.PutBool(settings.ShipGameEnabled).PutBool(settings.ShipGameAnywhere);
  PutIntegerField(seed, settings.ShipGold);
  PutIntegerField(seed, settings.ShipBtnPresses);
  seed.PutByte(static_cast<Byte>(settings.AirshipLanding));
}

// LandOther, a landing byte that neither choice writes, is written as LandOnly's 0x08, so an OK
// without edits on such an image reloads as LandOnly.
MiscSettings ExpectedReload(const MiscSettings& loaded, const MiscSettings& stored) {
  MiscSettings expected = stored;
  expected.ShipGold = ReloadedField(stored.ShipGold, kShipGoldRange, loaded.ShipGold);
  expected.ShipBtnPresses =
      ReloadedField(stored.ShipBtnPresses, kShipBtnPressesRange, loaded.ShipBtnPresses);
  if (stored.AirshipLanding == LandingTerrain::LandOther)
    expected.AirshipLanding = LandingTerrain::LandOnly;
  return expected;
}

// What a reload cannot see: the false switches and the landing stand in exactly their forms.
void CheckWrittenForms(ConstRomBytes stored, const MiscSettings& record) {
  FUZZ_CHECK(stored[kShipGameOpcode] == (record.ShipGameEnabled ? kCmpImmediate : kLdaImmediate),
             "the ship game's opcode is neither CMP # nor LDA #");
  FUZZ_CHECK(stored[kShipGameAnywhere] == (record.ShipGameAnywhere ? kAnywhere : kNotAnywhere),
             "the \"anywhere\" byte is in neither form");
  FUZZ_CHECK(stored[kAirshipLanding] ==
                 (record.AirshipLanding == LandingTerrain::LandWalk ? kLandWalk : kLandOnly),
             "the landing terrain is in neither form");
}

const SettingsModel<MiscSettings> kModel = ImageOnlyModel<MiscSettings>(kLocations, ExpectedReload);

Seed MakeSeed(std::string name, ConstRomBytes image, const MiscSettings& settings) {
  return MakeModelSeed(std::move(name), image, kLocations, PutRecord, settings);
}

}  // namespace

void TestOneInput(FuzzInput& input) {
  const std::vector<Byte>& image = ImageFromInput(input, kLocations);
  const MiscSettings record = TakeRecord(input);
  CheckWrittenForms(CheckModel(kModel, image, record), record);
}

std::vector<Seed> Seeds() {
  const std::vector<Byte>& original = TestRomImage();
  const MiscSettings originalSettings = MiscSettings::LoadFromRom(original);
  const MiscSettings allChanged = {false, true, 999999, 255, LandingTerrain::LandWalk};
  std::vector<Byte> patched = original;
  allChanged.StoreToRom(patched);
  // Bytes no store writes: a prize above the field's maximum, no presses, another opcode and
  // "anywhere" byte, and a landing byte of neither choice.
  std::vector<Byte> unusual = original;
  for (std::size_t offset : kShipGold) unusual[offset] = 0xFF;
  unusual[kShipBtnPresses] = 0x00;
  unusual[kShipGameOpcode] = 0x60;
  unusual[kShipGameAnywhere] = 0x01;
  unusual[kAirshipLanding] = 0x20;

  return {
      MakeSeed("original-unchanged", original, originalSettings),
      MakeSeed("original-to-all-changed", original, allChanged),
      MakeSeed("original-out-of-range", original, {true, false, -1, 0, LandingTerrain::LandOther}),
      MakeSeed("original-high-out-of-range", original,
               {true, true, 1000000, 256, LandingTerrain::LandOnly}),
      MakeSeed("patched-unchanged", patched, MiscSettings::LoadFromRom(patched)),
      MakeSeed("patched-to-original", patched, originalSettings),
      MakeSeed("patched-nothing-accepted", patched,
               {true, false, {}, {}, LandingTerrain::LandOnly}),
      MakeSeed("unusual-unchanged", unusual, MiscSettings::LoadFromRom(unusual)),
      MakeSeed("unusual-to-zero-prize", unusual, {false, false, 0, 1, LandingTerrain::LandWalk}),
  };
}

}  // namespace brimwell::fuzz
