#pragma once

// The battle rules that the battle editor shows: three bug fixes of the game's battle code, the
// hits a character gets, and the bonus for a weapon that matches the monster.

#include <array>

#include "patches/PatchFields.h"

namespace brimwell {

inline constexpr IntRange kBaseHitsRange{1, 255};
inline constexpr IntRange kWeaponBonusRange{0, 255};

// HitPct chooses how many points of hit % earn one extra hit: 32 at 0, halving at each step
// down to 1 at kMaxHitPct. A store takes a value outside 0..kMaxHitPct as the nearer end.
inline constexpr int kMaxHitPct = 5;

// The hit-% choices as the dialog lists them, in the order of HitPct.
inline constexpr std::array<const char*, kMaxHitPct + 1> kHitPctEntries = {
    "32 % (FF1)", "16 % (2x)", "8 % (4x)", "4 % (8x)", "2 % (16x)", "1 % (32x)"};

// The image bytes that hold each field. The weapon fix's bytes leave out those of the hits inside
// its code block.
struct BattleFootprints {
  Footprint FixRun, FixWeapon, FixMonsterFight, BaseHits, HitPct, WeaponBonus;
};

struct BattleSettings {
  bool FixRun = false;
  bool FixWeapon = false;
  bool FixMonsterFight = false;
  IntegerField BaseHits;
  int HitPct = 0;
  IntegerField WeaponBonus;

  bool operator==(const BattleSettings&) const = default;

  // Every field present; any bytes give some setting.
  static BattleSettings LoadFromRom(ConstRomBytes image);
  // Writes each fix whole in one of its two forms, then the numbers into the hits layout of
  // the weapon fix as written. Base hits that are absent or out of range keep the value the
  // image held before, carried into the new layout.
  void StoreToRom(RomBytes image) const;
  // In the hits layout of FixWeapon's form.
  BattleFootprints Footprints() const;
};

}  // namespace brimwell
