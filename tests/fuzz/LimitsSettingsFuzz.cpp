// Fuzzes the limits editor's model on arbitrary bytes at its locations and arbitrary records.

#include <array>

#include "ModelFuzzHarness.h"
#include "patches/LimitsSettings.h"

namespace brimwell::fuzz {
namespace {

// The editor's bytes, written out by hand rather than taken from the model: the experience/gold and
// HP bounds in bank 0x0B, the MP cap store, the MP limits and growth, then the copy of the
// experience/gold maximum in bank 0x0F.
constexpr std::array<std::size_t, 16> kLocations = {
    0x2D9B3, 0x2D9B4, 0x2D9B5, 0x2D9B6, 0x2D9B7, 0x2DCB7, 0x2DCAA, 0x2DCA6,
    0x2DC91, 0x3DE13, 0x3DE14, 0x3DE1B, 0x3DE26, 0x3DE2A, 0x3DE2F, 0x3DE34,
};
// Bank 0x0F, never read back: CMP # opcode, the maximum + 1 (low, middle, high) and the
// maximum itself (low, middle, high).
constexpr std::size_t kCompareOpcode = 0x3DE13;
constexpr std::array<std::size_t, 3> kComparedBound = {0x3DE26, 0x3DE1B, 0x3DE14};
constexpr std::array<std::size_t, 3> kLoadedMaximum = {0x3DE2A, 0x3DE2F, 0x3DE34};

LimitsSettings TakeRecord(FuzzInput& input) {
  LimitsSettings settings;
  settings.HPlimit = TakeIntegerField(input, kHPlimitRange);
  settings.LimitMP = input.TakeBool();
  settings.LimitFiTh = TakeIntegerField(input, kMPLimitRange);
  settings.LimitOther = TakeIntegerField(input, kMPLimitRange);
  settings.MaxMPInc = TakeIntegerField(input, kMaxMPIncRange);
  settings.ExpGold = TakeIntegerField(input, kExpGoldRange);
  return settings;
}

void PutRecord(SeedWriter& seed, const LimitsSettings& settings) {
  PutIntegerField(seed, settings.HPlimit);
  seed.PutBool(settings.LimitMP);
  PutIntegerField(seed, settings.LimitFiTh);
  PutIntegerField(seed, settings.LimitOther);
  PutIntegerField(seed, settings.MaxMPInc);
  PutIntegerField(seed, settings.ExpGold);
}

// An absent or out-of-range field writes nothing, so it reloads as before; the check box is
// always written.
LimitsSettings ExpectedReload(const LimitsSettings& loaded, const LimitsSettings& stored) {
  LimitsSettings expected;
  expected.HPlimit = ReloadedField(stored.HPlimit, kHPlimitRange, loaded.HPlimit);
  expected.LimitMP = stored.LimitMP;
  expected.LimitFiTh = ReloadedField(stored.LimitFiTh, kMPLimitRange, loaded.LimitFiTh);
  expected.LimitOther = ReloadedField(stored.LimitOther, kMPLimitRange, loaded.LimitOther);
  expected.MaxMPInc = ReloadedField(stored.MaxMPInc, kMaxMPIncRange, loaded.MaxMPInc);
  expected.ExpGold = ReloadedField(stored.ExpGold, kExpGoldRange, loaded.ExpGold);
  return expected;
}

std::uint32_t BytesAt(ConstRomBytes image, const std::array<std::size_t, 3>& offsets) {
  return image[offsets[0]] | image[offsets[1]] << 8 | image[offsets[2]] << 16;
}

// The bank 0x0F copy, which no load shows, agrees with a stored maximum.
void CheckSecondCopy(ConstRomBytes image, std::int32_t maximum) {
  FUZZ_CHECK(image[kCompareOpcode] == 0xC9, "the compare of the high byte is no CMP #");
  FUZZ_CHECK(BytesAt(image, kComparedBound) == std::uint32_t(maximum) + 1,
             "bank 0x0F compares against another bound");
  FUZZ_CHECK(BytesAt(image, kLoadedMaximum) == std::uint32_t(maximum),
             "bank 0x0F caps at another maximum");
}

const SettingsModel<LimitsSettings> kModel =
    ImageOnlyModel<LimitsSettings>(kLocations, ExpectedReload);

Seed MakeSeed(std::string name, ConstRomBytes image, const LimitsSettings& settings) {
  return MakeModelSeed(std::move(name), image, kLocations, PutRecord, settings);
}

}  // namespace

void TestOneInput(FuzzInput& input) {
  const std::vector<Byte>& image = ImageFromInput(input, kLocations);
  const LimitsSettings record = TakeRecord(input);
  const std::vector<Byte>& stored = CheckModel(kModel, image, record);
  if (Accepted(record.ExpGold, kExpGoldRange)) CheckSecondCopy(stored, *record.ExpGold);
}

std::vector<Seed> Seeds() {
  const std::vector<Byte>& original = TestRomImage();
  const LimitsSettings originalSettings = LimitsSettings::LoadFromRom(original);
  const LimitsSettings highest = {9999, false, 0, 255, 1, 9999999};
  std::vector<Byte> patched = original;
  highest.StoreToRom(patched);
  std::vector<Byte> zeroed = original;
  for (std::size_t offset : kLocations) zeroed[offset] = 0;
  std::vector<Byte> disagreeing = original;
  for (std::size_t offset : kLoadedMaximum) disagreeing[offset] = 0x55;
  disagreeing[kCompareOpcode] = 0xEA;

  return {
      MakeSeed("original-unchanged", original, originalSettings),
      MakeSeed("original-to-highest", original, highest),
      MakeSeed("original-out-of-range", original, {98, true, -1, 256, 0, 9998}),
      MakeSeed("patched-to-original", patched, originalSettings),
      MakeSeed("patched-nothing-accepted", patched, {std::nullopt, true, {}, {}, {}, {}}),
      MakeSeed("zeroed-unchanged", zeroed, LimitsSettings::LoadFromRom(zeroed)),
      MakeSeed("bank0F-disagreeing", disagreeing, {99, true, 10, 20, 2, 9999}),
  };
}

}  // namespace brimwell::fuzz
