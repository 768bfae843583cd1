// Fuzzes the battle editor's model on arbitrary bytes at its locations and arbitrary records.

#include <algorithm>
#include <array>

#include "BrimwellConst.h"
#include "ModelFuzzHarness.h"
#include "patches/BattleSettings.h"

namespace brimwell::fuzz {
namespace {

// The editor's bytes in bank 0x0C, written out by hand rather than taken from the model: the
// running-ability fix, the weapon fix's entry byte and code block, the five pieces of the monster
// attack fix and the weapon bonus. It reads and writes these same bytes.
constexpr auto kLocations = SpreadRuns<226>({
    {0x323FF, 0x323FF},
    {0x31332, 0x31332},
    {0x32CF1, 0x32DC6},
    {0x325C0, 0x325C1},
    {0x325C6, 0x325C6},
    {0x325F8, 0x325F9},
    {0x325FF, 0x32600},
    {0x33665, 0x33666},
    {0x32705, 0x32705},
});

constexpr std::size_t kRunFix = 0x323FF;  // $A3EF
constexpr Byte kRunFixed = 0x82;
constexpr Byte kRunOriginal = 0x80;

// $9322: the low byte of the weapon routine's second entry, which moves with the code block.
constexpr std::size_t kWeaponEntry = 0x31332;
constexpr Byte kWeaponEntryFixed = 0xF2;
constexpr Byte kWeaponEntryOriginal = 0xEB;
constexpr std::size_t kWeaponBlock = 0x32CF1;  // $ACE1, 214 bytes

// Where each form of the block computes the hits: n times LSR A then NOP in the five-byte shift
// slot, then ADC # with the base hits as operand.
struct HitsPlace {
  std::size_t shiftSlot;
  std::size_t baseHits;
};
constexpr HitsPlace kPatchedHits{0x32D71, 0x32D78};
constexpr HitsPlace kUnpatchedHits{0x32D7A, 0x32D81};
constexpr std::size_t kShiftSlotLength = 5;
constexpr Byte kLsrA = 0x4A;
constexpr Byte kNop = 0xEA;

// The nine bytes of the monster attack fix's five pieces ($A5B0, $A5B6, $A5E8, $A5EF, $B655): the
// fix turns four indirect loads, LDA (zp),Y, into LDA #$00, and one operand from 0x12 into 0x0E.
constexpr std::array<std::size_t, 9> kMonsterFixOffsets = {
    0x325C0, 0x325C1, 0x325C6, 0x325F8, 0x325F9, 0x325FF, 0x32600, 0x33665, 0x33666};
constexpr std::array<Byte, 9> kMonsterFixed = {0xA9, 0x00, 0x0E, 0xA9, 0x00,
                                               0xA9, 0x00, 0xA9, 0x00};
constexpr std::array<Byte, 9> kMonsterOriginal = {0xB1, 0x86, 0x12, 0xB1, 0x80,
                                                  0xB1, 0x80, 0xB1, 0x90};

BattleSettings TakeRecord(FuzzInput& input) {
  BattleSettings settings;
  settings.FixRun = input.TakeBool();
  settings.FixWeapon = input.TakeBool();
  settings.FixMonsterFight = input.TakeBool();
  settings.BaseHits = TakeIntegerField(input, kBaseHitsRange);
  // The drop-down gives 0..5; the model must cope with any index.
  settings.HitPct = static_cast<std::int8_t>(input.TakeByte());
  settings.WeaponBonus = TakeIntegerField(input, kWeaponBonusRange);
  return settings;
}

void PutRecord(SeedWriter& seed, const BattleSettings& settings) {
  seed.PutBool(settings.FixRun).PutBool(settings.FixWeapon).PutBool(settings.FixMonsterFight);
  PutIntegerField(seed, settings.BaseHits);
  seed.PutByte(static_cast<Byte>(settings.HitPct));
  PutIntegerField(seed, settings.WeaponBonus);
}

int ClampedHitPct(int hitPct) {
  return std::clamp(hitPct, 0, kMaxHitPct);
}

// The three fixes reload as written, since each is written whole in one of its forms, and the
// hits reload from the layout of the weapon fix as written. Absent or out-of-range base hits
// reload as the first load's: the store carries the byte from the layout in force before it
// into the one in force after it, so an OK without edits that switches no fix changes nothing.
// An index outside the drop-down's reloads as the nearer end.
BattleSettings ExpectedReload(const BattleSettings& loaded, const BattleSettings& stored) {
  BattleSettings expected = stored;
  expected.BaseHits = ReloadedField(stored.BaseHits, kBaseHitsRange, loaded.BaseHits);
  expected.HitPct = ClampedHitPct(stored.HitPct);
  expected.WeaponBonus = ReloadedField(stored.WeaponBonus, kWeaponBonusRange, loaded.WeaponBonus);
  return expected;
}

bool InSlotOrBase(std::size_t offset, const HitsPlace& hits) {
  return (offset >= hits.shiftSlot && offset < hits.shiftSlot + kShiftSlotLength) ||
         offset == hits.baseHits;
}

// What a reload cannot see: every fix stands in exactly the chosen form, the block too outside
// its hits, and the shift slot holds its LSR A before its NOPs.
void CheckWrittenForms(ConstRomBytes stored, const BattleSettings& record) {
  FUZZ_CHECK(stored[kRunFix] == (record.FixRun ? kRunFixed : kRunOriginal),
             "the running fix is in neither form");
  FUZZ_CHECK(stored[kWeaponEntry] == (record.FixWeapon ? kWeaponEntryFixed : kWeaponEntryOriginal),
             "the weapon routine's entry does not match its block");
  const auto& block =
      record.FixWeapon ? BrimwellConst::WeaponFixPatched : BrimwellConst::WeaponFixUnpatched;
  const HitsPlace& hits = record.FixWeapon ? kPatchedHits : kUnpatchedHits;
  for (std::size_t i = 0; i < block.size(); ++i) {
    const std::size_t offset = kWeaponBlock + i;
    if (!InSlotOrBase(offset, hits))
      FUZZ_CHECK(stored[offset] == block[i], "the weapon block is not the chosen form");
  }
  const std::size_t shifts = kShiftSlotLength - ClampedHitPct(record.HitPct);
  for (std::size_t i = 0; i < kShiftSlotLength; ++i)
    FUZZ_CHECK(stored[hits.shiftSlot + i] == (i < shifts ? kLsrA : kNop),
               "the shift slot is not n times LSR A, then NOP");
  const auto& monster = record.FixMonsterFight ? kMonsterFixed : kMonsterOriginal;
  for (std::size_t i = 0; i < kMonsterFixOffsets.size(); ++i)
    FUZZ_CHECK(stored[kMonsterFixOffsets[i]] == monster[i],
               "a monster fix piece is not the chosen form");
}

const SettingsModel<BattleSettings> kModel =
    ImageOnlyModel<BattleSettings>(kLocations, ExpectedReload);

Seed MakeSeed(std::string name, ConstRomBytes image, const BattleSettings& settings) {
  return MakeModelSeed(std::move(name), image, kLocations, PutRecord, settings);
}

}  // namespace

void TestOneInput(FuzzInput& input) {
  const std::vector<Byte>& image = ImageFromInput(input, kLocations);
  const BattleSettings record = TakeRecord(input);
  CheckWrittenForms(CheckModel(kModel, image, record), record);
}

std::vector<Seed> Seeds() {
  const std::vector<Byte>& original = TestRomImage();
  const BattleSettings originalSettings = BattleSettings::LoadFromRom(original);
  const BattleSettings allFixed = {true, true, true, 7, 3, 200};
  std::vector<Byte> patched = original;
  allFixed.StoreToRom(patched);
  // One byte off the fixed block, outside its hits: it loads as the original form.
  std::vector<Byte> nearlyPatched = patched;
  nearlyPatched[kWeaponBlock + 0x10] ^= 0xFF;
  std::vector<Byte> scrambledSlot = original;
  std::ranges::copy(std::array<Byte, 5>{kLsrA, kNop, kLsrA, kNop, kNop},
                    scrambledSlot.begin() + kUnpatchedHits.shiftSlot);

  return {
      MakeSeed("original-unchanged", original, originalSettings),
      MakeSeed("original-to-all-fixed", original, allFixed),
      MakeSeed("original-out-of-range", original, {false, false, false, 0, 6, 256}),
      MakeSeed("original-fixed-nothing-accepted", original, {true, true, false, {}, -1, {}}),
      MakeSeed("patched-unchanged", patched, BattleSettings::LoadFromRom(patched)),
      MakeSeed("patched-to-original", patched, originalSettings),
      MakeSeed("patched-unfixed-nothing-accepted", patched, {false, false, true, 256, 5, -1}),
      MakeSeed("nearly-patched-unchanged", nearlyPatched,
               BattleSettings::LoadFromRom(nearlyPatched)),
      MakeSeed("scrambled-slot-unchanged", scrambledSlot,
               BattleSettings::LoadFromRom(scrambledSlot)),
  };
}

}  // namespace brimwell::fuzz
