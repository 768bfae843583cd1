#pragma once

// How five kinds of spell effect work in the game, as the magic editor shows them: the "Evade
// Down" fix, the "# of hits up" limit, the families that HARM spells hurt, the elemental
// weakness bonus and the HP at which "Neg. Effect 2" spells fail. All of it lives in bank 0x0C.

#include <array>

#include "patches/PatchFields.h"

namespace brimwell {

// What the edit fields accept. A multiplier limit of 255 passes, but the game keeps limit + 1 in
// one byte, so a store skips it like any rejected text.
inline constexpr IntRange kHitMultiplierRange{2, 255};
// What a store writes: the limit + 1 that the game compares against must fit its byte.
inline constexpr IntRange kStorableHitMultiplierRange{kHitMultiplierRange.min, 0xFF - 1};
inline constexpr IntRange kNeg2HPLimitRange{1, 999};

// The elemental weakness bonus, in the order of the dialog's radio entries. A store takes any
// other value for Half, the original game's.
enum class WeakBonusChoice { None = 0, Half = 1, Full = 2, Double = 3 };
inline constexpr std::array<const char*, 4> kWeakBonusEntries = {
    "No bonus", "1/2 Effectivity (FF1)", "Full Effectivity", "Double Effectivity"};

// The monster families in the bit order of DamageFamily, as the dialog names them.
inline constexpr std::array<const char*, 8> kDamageFamilyNames = {
    "Unknown", "Dragon", "Giant", "Undead", "Were", "Water", "Mage", "Regenerative"};

// The image bytes that hold each field.
struct MagicFootprints {
  Footprint FixLOCK, HitMultiplier, DamageFamily, WeakBonus, Neg2HPLimit;
};

struct MagicSettings {
  bool FixLOCK = false;
  // The multiplier limit itself; the game compares against limit + 1.
  IntegerField HitMultiplier;
  // One bit per monster family that HARM-type spells affect.
  Byte DamageFamily = 0;
  WeakBonusChoice WeakBonus = WeakBonusChoice::Half;
  IntegerField Neg2HPLimit;

  bool operator==(const MagicSettings&) const = default;

  // Every field present; any bytes give some setting.
  static MagicSettings LoadFromRom(ConstRomBytes image);
  // Writes the fix, the family flags and the weakness bonus always, and the present, storable
  // integers. Removing the fix puts back lockByteAtOpen, the byte that 0x33833 held when the
  // file was opened.
  void StoreToRom(RomBytes image, Byte lockByteAtOpen) const;
  static MagicFootprints Footprints();
};

}  // namespace brimwell
