#include "patches/BattleSettings.h"

#include <algorithm>
#include <array>

#include "BrimwellConst.h"

namespace brimwell {
namespace {

namespace bc = BrimwellConst;

// Bank 0x0C, $A3EF: the byte of the running-ability calculation that its fix changes.
constexpr std::size_t kRunCheck = 0x323FF;
constexpr Byte kRunFixed = 0x82;
constexpr Byte kRunOriginal = 0x80;

// Bank 0x0C, $9322: the low byte of the weapon routine's second entry point, which the weapon
// fix moves together with its code block.
constexpr std::size_t kWeaponEntryLow = 0x31332;
constexpr Byte kWeaponEntryFixed = 0xF2;
constexpr Byte kWeaponEntryOriginal = 0xEB;

// Bank 0x0C, $ACE1: the code block that the weapon fix rewrites.
constexpr std::size_t kWeaponBlock = 0x32CF1;

// Where each form of the block keeps the hits computation: the five-byte hit-shift slot (n
// times LSR A, then NOP) and the ADC immediate operand that holds the base hits.
struct HitsLayout {
  std::size_t shiftSlot;
  std::size_t baseHits;
};
constexpr HitsLayout kPatchedHits{kWeaponBlock + 0x80, kWeaponBlock + 0x87};
constexpr HitsLayout kUnpatchedHits{kWeaponBlock + 0x89, kWeaponBlock + 0x90};
constexpr std::size_t kShiftSlotLength = kMaxHitPct;
static_assert(kPatchedHits.shiftSlot + kShiftSlotLength <= kPatchedHits.baseHits &&
              kUnpatchedHits.shiftSlot + kShiftSlotLength <= kUnpatchedHits.baseHits);
constexpr Byte kLsrA = 0x4A;

// Bank 0x0C, $A5B0, $A5B6, $A5E8, $A5EF and $B655: the pieces of the monster attack fix.
constexpr std::array<std::size_t, 5> kMonsterFixPieces = {0x325C0, 0x325C6, 0x325F8, 0x325FF,
                                                          0x33665};

// Bank 0x0C, $A6F5: the damage bonus for a weapon whose species or element matches.
constexpr std::size_t kWeaponBonus = 0x32705;

const HitsLayout& LayoutFor(bool weaponFixed) {
  return weaponFixed ? kPatchedHits : kUnpatchedHits;
}

bool InPatchedHits(std::size_t offset) {
  return (offset >= kPatchedHits.shiftSlot && offset < kPatchedHits.shiftSlot + kShiftSlotLength) ||
         offset == kPatchedHits.baseHits;
}

// Only the fixed form counts, with the user's hits values inside it left out.
bool WeaponFixApplied(ConstRomBytes image) {
  if (image[kWeaponEntryLow] != kWeaponEntryFixed) return false;
  for (std::size_t i = 0; i < bc::kWeaponFixLength; ++i) {
    const std::size_t offset = kWeaponBlock + i;
    if (!InPatchedHits(offset) && image[offset] != bc::WeaponFixPatched[i]) return false;
  }
  return true;
}

bool MonsterFixApplied(ConstRomBytes image) {
  for (std::size_t i = 0; i < kMonsterFixPieces.size(); ++i) {
    const std::span<const Byte> piece = bc::MonsterFixPatched[i].Bytes();
    if (!std::ranges::equal(piece, image.subspan(kMonsterFixPieces[i], piece.size()))) return false;
  }
  return true;
}

void WriteMonsterFix(RomBytes image, const std::array<bc::CodePiece, 5>& form) {
  for (std::size_t i = 0; i < kMonsterFixPieces.size(); ++i)
    std::ranges::copy(form[i].Bytes(), image.begin() + kMonsterFixPieces[i]);
}

}  // namespace

BattleSettings BattleSettings::LoadFromRom(ConstRomBytes image) {
  BattleSettings settings;
  settings.FixRun = image[kRunCheck] == kRunFixed;
  settings.FixWeapon = WeaponFixApplied(image);
  settings.FixMonsterFight = MonsterFixApplied(image);
  const HitsLayout& hits = LayoutFor(settings.FixWeapon);
  settings.BaseHits = image[hits.baseHits];
  // The shifts count wherever they stand in the slot.
  const ConstRomBytes slot = image.subspan(hits.shiftSlot, kShiftSlotLength);
  settings.HitPct = kMaxHitPct - static_cast<int>(std::ranges::count(slot, kLsrA));
  settings.WeaponBonus = image[kWeaponBonus];
  return settings;
}

void BattleSettings::StoreToRom(RomBytes image) const {
  // The block write below puts 1 where the base hits were; a rejected entry must not lose them.
  const Byte baseHitsBefore = image[LayoutFor(WeaponFixApplied(image)).baseHits];

  image[kRunCheck] = FixRun ? kRunFixed : kRunOriginal;

  image[kWeaponEntryLow] = FixWeapon ? kWeaponEntryFixed : kWeaponEntryOriginal;
  std::ranges::copy(FixWeapon ? bc::WeaponFixPatched : bc::WeaponFixUnpatched,
                    image.begin() + kWeaponBlock);

  WriteMonsterFix(image, FixMonsterFight ? bc::MonsterFixPatched : bc::MonsterFixUnpatched);

  // Both hits locations lie inside the block, so they are written after it.
  const HitsLayout& hits = LayoutFor(FixWeapon);
  const IntegerField baseHits = PresentInRange(BaseHits, kBaseHitsRange);
  image[hits.baseHits] = baseHits ? static_cast<Byte>(*baseHits) : baseHitsBefore;

  const auto shifts = static_cast<std::size_t>(kMaxHitPct - std::clamp(HitPct, 0, kMaxHitPct));
  for (std::size_t i = 0; i < kShiftSlotLength; ++i)
    image[hits.shiftSlot + i] = i < shifts ? kLsrA : kNop;

  if (const IntegerField bonus = PresentInRange(WeaponBonus, kWeaponBonusRange))
    image[kWeaponBonus] = static_cast<Byte>(*bonus);
}

BattleFootprints BattleSettings::Footprints() const {
  const HitsLayout& hits = LayoutFor(FixWeapon);
  const std::size_t slotEnd = hits.shiftSlot + kShiftSlotLength;
  const std::size_t blockEnd = kWeaponBlock + bc::kWeaponFixLength;
  BattleFootprints footprints;
  footprints.FixRun.Add(kRunCheck);
  footprints.FixWeapon.Add(kWeaponEntryLow)
      .Add(kWeaponBlock, hits.shiftSlot - kWeaponBlock)
      .Add(slotEnd, hits.baseHits - slotEnd)
      .Add(hits.baseHits + 1, blockEnd - (hits.baseHits + 1));
  for (std::size_t i = 0; i < kMonsterFixPieces.size(); ++i)
    footprints.FixMonsterFight.Add(kMonsterFixPieces[i], bc::MonsterFixPatched[i].Bytes().size());
  footprints.BaseHits.Add(hits.baseHits);
  footprints.HitPct.Add(hits.shiftSlot, kShiftSlotLength);
  footprints.WeaponBonus.Add(kWeaponBonus);
  return footprints;
}

}  // namespace brimwell
