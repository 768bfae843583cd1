#pragma once

// The ship game's switches, press count and prize, and the terrain on which the airship can
// land, as the misc editor shows them.

#include <array>

#include "patches/PatchFields.h"

namespace brimwell {

inline constexpr IntRange kShipGoldRange{0, 999999};
inline constexpr IntRange kShipBtnPressesRange{1, 255};

// LandOther stands for any landing byte that neither choice writes; it is stored as LandOnly.
enum class LandingTerrain { LandWalk, LandOnly, LandOther };
// The dialog's two landing choices, in the order of LandingTerrain; LandOther selects neither.
inline constexpr std::array<const char*, 2> kAirshipLandingEntries = {"Any Walkable",
                                                                      "Flat, dry only (FF1)"};

// The image bytes that hold each field.
struct MiscFootprints {
  Footprint ShipGameEnabled, ShipGameAnywhere, ShipGold, ShipBtnPresses, AirshipLanding;
};

struct MiscSettings {
  bool ShipGameEnabled = true;
  bool ShipGameAnywhere = false;
  IntegerField ShipGold;
  IntegerField ShipBtnPresses;
  LandingTerrain AirshipLanding = LandingTerrain::LandOnly;

  bool operator==(const MiscSettings&) const = default;

  // Every field present; any bytes give some setting.
  static MiscSettings LoadFromRom(ConstRomBytes image);
  // Writes the switches and the landing terrain always, the present, in-range integers too,
  // and nothing else.
  void StoreToRom(RomBytes image) const;
  static MiscFootprints Footprints();
};

}  // namespace brimwell
