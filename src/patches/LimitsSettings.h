#pragma once

// The caps that the game puts on a character's HP and MP and on the party's experience and
// gold, as the limits editor shows them.

#include "patches/PatchFields.h"

namespace brimwell {

inline constexpr IntRange kHPlimitRange{99, 9999};
inline constexpr IntRange kMPLimitRange{0, 255};
inline constexpr IntRange kMaxMPIncRange{1, 255};
inline constexpr IntRange kExpGoldRange{9999, 9999999};

// The image bytes that hold each field.
struct LimitsFootprints {
  Footprint HPlimit, LimitMP, LimitFiTh, LimitOther, MaxMPInc, ExpGold;
};

struct LimitsSettings {
  IntegerField HPlimit;
  bool LimitMP = true;
  // Stored as entered; the game's limit is one less.
  IntegerField LimitFiTh;
  IntegerField LimitOther;
  IntegerField MaxMPInc;
  IntegerField ExpGold;

  // Every field present; any bytes give some setting.
  static LimitsSettings LoadFromRom(ConstRomBytes image);
  // Writes the present, in-range fields and nothing else.
  void StoreToRom(RomBytes image) const;
  static LimitsFootprints Footprints();

  bool operator==(const LimitsSettings&) const = default;
};

}  // namespace brimwell
