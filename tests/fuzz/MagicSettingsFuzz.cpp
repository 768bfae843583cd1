// Fuzzes the magic editor's model on arbitrary bytes at its locations, arbitrary records and an
// arbitrary byte for the one that the file held at the "Evade Down" fix when it was opened.

#include <array>

#include "ModelFuzzHarness.h"
#include "patches/MagicSettings.h"

namespace brimwell::fuzz {
namespace {

// The editor's bytes in bank 0x0C, written out by hand rather than taken from the model: the
// "Evade Down" fix, the "# of hits up" limit + 1 and limit, the HARM families, the weakness
// bonus adjustment and call (the six bytes between them are not the editor's) and the
// "Neg. Effect 2" HP limit. The limit itself at 0x33A33 is written, never read.
constexpr auto kLocations = SpreadRuns<18>({
    {0x33833, 0x33833},
    {0x33A5E, 0x33A60},
    {0x33A2A, 0x33A2A},
    {0x33A33, 0x33A33},
    {0x33922, 0x33922},
    {0x338D9, 0x338DE},
    {0x338E5, 0x338E7},
    {0x33AF0, 0x33AF0},
    {0x33AF5, 0x33AF5},
});

// $B823 and $BA4E: the fix makes the jump past the effect, JMP $BA67, a BEQ $BA67 and NOP.
constexpr std::size_t kLockByte = 0x33833;
constexpr Byte kLockFixed = 0x46;
constexpr std::size_t kEvadeJump = 0x33A5E;
constexpr std::array<Byte, 3> kJumpFixed = {0xF0, 0x17, 0xEA};
constexpr std::array<Byte, 3> kJumpOriginal = {0x4C, 0x67, 0xBA};

// $BA1A compares with limit + 1, $BA23 holds the limit. The field accepts 255, whose limit + 1
// the compare byte cannot hold, so a store skips it like a rejected text.
constexpr std::size_t kLimitPlusOne = 0x33A2A;
constexpr std::size_t kLimit = 0x33A33;
constexpr IntRange kStorableLimit{2, 254};

// $B8C9: six bytes that halve (LSR $6859, ROR $6858), keep or double (ASL $6858, ROL $6859)
// the bonus, then $B8D5: JSR $AE7B, which applies it, or three NOPs for no bonus at all. The
// adjustments stand in the order of the choices: none, half, full, double.
constexpr std::size_t kBonusAdjust = 0x338D9;
constexpr std::size_t kBonusCall = 0x338E5;
constexpr std::array<std::array<Byte, 6>, 4> kBonusAdjustments = {{
    {0xEA, 0xEA, 0xEA, 0xEA, 0xEA, 0xEA},
    {0x4E, 0x59, 0x68, 0x6E, 0x58, 0x68},
    {0xEA, 0xEA, 0xEA, 0xEA, 0xEA, 0xEA},
    {0x0E, 0x58, 0x68, 0x2E, 0x59, 0x68},
}};
constexpr std::array<Byte, 3> kBonusCalled = {0x20, 0x7B, 0xAE};
constexpr std::array<Byte, 3> kBonusNotCalled = {0xEA, 0xEA, 0xEA};

// $BAE0 and $BAE5: the "Neg. Effect 2" HP limit, low byte first.
constexpr std::size_t kHPLimitLow = 0x33AF0;
constexpr std::size_t kHPLimitHigh = 0x33AF5;

// The choices a dialog gives, and two it never does, which a store takes as Half.
constexpr int kChoicesTaken = 6;

struct MagicInput {
  MagicSettings record;
  Byte lockByteAtOpen = 0;
};

MagicInput TakeRecord(FuzzInput& input) {
  MagicInput taken;
  MagicSettings& settings = taken.record;
  settings.FixLOCK = input.TakeBool();
  settings.HitMultiplier = TakeIntegerField(input, kHitMultiplierRange);
  settings.DamageFamily = input.TakeByte();
  settings.WeakBonus = static_cast<WeakBonusChoice>(input.TakeByte() % kChoicesTaken);
  settings.Neg2HPLimit = TakeIntegerField(input, kNeg2HPLimitRange);
  taken.lockByteAtOpen = input.TakeByte();
  return taken;
}

void PutRecord(SeedWriter& seed, const MagicInput& taken) {
  const MagicSettings& settings = taken.record;
  seed.PutBool(settings.FixLOCK);
  PutIntegerField(seed, settings.HitMultiplier);
  seed.PutByte(settings.DamageFamily).PutByte(static_cast<Byte>(settings.WeakBonus));
  PutIntegerField(seed, settings.Neg2HPLimit);
  seed.PutByte(taken.lockByteAtOpen);
}

WeakBonusChoice StoredChoice(WeakBonusChoice choice) {
  const int index = static_cast<int>(choice);
  return index >= 0 && index < int{kBonusAdjustments.size()} ? choice : WeakBonusChoice::Half;
}

// The fix reloads as written: without it the jump is the original one, whatever the byte put
// back at 0x33833. A multiplier limit of 255 is skipped, so it reloads as the first load's; a
// bonus choice outside the four reloads as Half.
MagicSettings ExpectedReload(const MagicSettings& loaded, const MagicSettings& stored) {
  MagicSettings expected = stored;
  expected.HitMultiplier =
      ReloadedField(stored.HitMultiplier, kStorableLimit, loaded.HitMultiplier);
  expected.WeakBonus = StoredChoice(stored.WeakBonus);
  expected.Neg2HPLimit = ReloadedField(stored.Neg2HPLimit, kNeg2HPLimitRange, loaded.Neg2HPLimit);
  return expected;
}

// What a reload cannot see: the byte put back when the fix is removed, the original jump, the
// limit that is never read, and the bonus pieces in exactly the chosen form.
void CheckWrittenForms(ConstRomBytes before, ConstRomBytes stored, const MagicInput& taken) {
  const MagicSettings& record = taken.record;
  FUZZ_CHECK(stored[kLockByte] == (record.FixLOCK ? kLockFixed : taken.lockByteAtOpen),
             "removing the fix did not put back the byte of the opened file");
  FUZZ_CHECK(HoldsBytes(stored, kEvadeJump, record.FixLOCK ? kJumpFixed : kJumpOriginal),
             "the \"Evade Down\" jump is in neither form");
  if (Accepted(record.HitMultiplier, kStorableLimit)) {
    FUZZ_CHECK(stored[kLimit] == *record.HitMultiplier, "the limit byte is not the limit");
    FUZZ_CHECK(stored[kLimitPlusOne] == *record.HitMultiplier + 1, "the compare is not limit + 1");
  } else {
    FUZZ_CHECK(stored[kLimit] == before[kLimit] && stored[kLimitPlusOne] == before[kLimitPlusOne],
               "a skipped multiplier limit changed its bytes");
  }
  const WeakBonusChoice choice = StoredChoice(record.WeakBonus);
  FUZZ_CHECK(HoldsBytes(stored, kBonusAdjust, kBonusAdjustments[static_cast<int>(choice)]),
             "the bonus adjustment is not the chosen one");
  FUZZ_CHECK(HoldsBytes(stored, kBonusCall,
                        choice == WeakBonusChoice::None ? kBonusNotCalled : kBonusCalled),
             "the bonus call does not match the choice");
}

SettingsModel<MagicSettings> ModelOpenedWith(Byte lockByteAtOpen) {
  return {
      .load = [](ConstRomBytes image) { return MagicSettings::LoadFromRom(image); },
      .store = [lockByteAtOpen](
                   RomBytes image,
                   const MagicSettings& settings) { settings.StoreToRom(image, lockByteAtOpen); },
      .writable = kLocations,
      .expectedReload = ExpectedReload,
  };
}

Seed MakeSeed(std::string name, ConstRomBytes image, const MagicInput& taken) {
  return MakeModelSeed(std::move(name), image, kLocations, PutRecord, taken);
}

// A record as the file opened as `image` gives it.
MagicInput Unedited(ConstRomBytes image) {
  return {MagicSettings::LoadFromRom(image), image[kLockByte]};
}

}  // namespace

void TestOneInput(FuzzInput& input) {
  const std::vector<Byte>& image = ImageFromInput(input, kLocations);
  const MagicInput taken = TakeRecord(input);
  const std::vector<Byte>& stored =
      CheckModel(ModelOpenedWith(taken.lockByteAtOpen), image, taken.record);
  CheckWrittenForms(image, stored, taken);
}

std::vector<Seed> Seeds() {
  const std::vector<Byte>& original = TestRomImage();
  const Byte originalLock = original[kLockByte];
  const MagicSettings allChanged = {true, 254, 0xFF, WeakBonusChoice::Double, 999};
  std::vector<Byte> patched = original;
  allChanged.StoreToRom(patched, originalLock);
  std::vector<Byte> noBonus = original;
  MagicSettings{false, 2, 0x08, WeakBonusChoice::None, 1}.StoreToRom(noBonus, originalLock);
  // Bytes no store writes: a compare byte of 0x00 (limit -1), an HP limit of 65535 and a
  // bonus call with an adjustment of unknown kind.
  std::vector<Byte> unusual = original;
  unusual[kLimitPlusOne] = 0x00;
  unusual[kHPLimitLow] = unusual[kHPLimitHigh] = 0xFF;
  unusual[kBonusAdjust] = 0x60;

  return {
      MakeSeed("original-unchanged", original, Unedited(original)),
      MakeSeed("original-to-all-changed", original, {allChanged, originalLock}),
      MakeSeed("original-limit-255", original,
               {{false, 255, 0x00, WeakBonusChoice::Full, 1000}, originalLock}),
      MakeSeed("original-unknown-choice", original,
               {{true, 1, 0x01, static_cast<WeakBonusChoice>(4), 0}, originalLock}),
      // Opened with the fix applied, then removed: 0x46 goes back, the jump does not.
      MakeSeed("patched-unchanged", patched, Unedited(patched)),
      MakeSeed("patched-fix-removed", patched,
               {{false, {}, 0x00, WeakBonusChoice::Half, {}}, kLockFixed}),
      MakeSeed("no-bonus-unchanged", noBonus, Unedited(noBonus)),
      MakeSeed("no-bonus-to-full", noBonus,
               {{false, 3, 0x08, WeakBonusChoice::Full, 300}, originalLock}),
      MakeSeed("unusual-unchanged", unusual, Unedited(unusual)),
  };
}

}  // namespace brimwell::fuzz
