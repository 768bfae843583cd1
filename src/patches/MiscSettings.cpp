#include "patches/MiscSettings.h"

#include <algorithm>
#include <array>

namespace brimwell {
namespace {

// Bank 0x0F: the instruction that checks the A+B press count before the ship game starts.
// As CMP #count the game compares the count with its operand; as LDA #count it only loads it,
// so the game never starts, while the count itself stays in the operand for later.
constexpr std::size_t kShipGameOpcode = 0x3C279;
constexpr std::size_t kShipBtnPresses = 0x3C27A;
constexpr Byte kLdaImmediate = 0xA9;

// Bank 0x0F: the byte that decides whether the ship game can start anywhere on the map.
constexpr std::size_t kShipGameAnywhere = 0x3C284;
constexpr Byte kAnywhere = 0x00;
constexpr Byte kNotAnywhere = 0x25;

// Bank 0x0F: the ship game's prize, 24 bits kept in three operands four bytes apart.
constexpr std::array<std::size_t, 3> kShipGold = {0x3C8B5, 0x3C8B9, 0x3C8BD};

// Bank 0x0F: the tile property that the airship's landing check looks for.
constexpr std::size_t kAirshipLanding = 0x3C6EB;
constexpr Byte kLandWalk = 0x01;  // every walkable tile
constexpr Byte kLandOnly = 0x08;  // only the tiles marked as landable

LandingTerrain LandingFromByte(Byte stored) {
  if (stored == kLandWalk) return LandingTerrain::LandWalk;
  if (stored == kLandOnly) return LandingTerrain::LandOnly;
  return LandingTerrain::LandOther;
}

}  // namespace

MiscSettings MiscSettings::LoadFromRom(ConstRomBytes image) {
  MiscSettings settings;
  settings.ShipGameEnabled = image[kShipGameOpcode] == kCmpImmediate;
  settings.ShipGameAnywhere = image[kShipGameAnywhere] == kAnywhere;
  // A prize beyond what the field accepts loads as the largest one it accepts.
  settings.ShipGold = static_cast<std::int32_t>(
      std::min<std::uint32_t>(ReadLittleEndian(image, kShipGold), kShipGoldRange.max));
  settings.ShipBtnPresses = image[kShipBtnPresses];
  settings.AirshipLanding = LandingFromByte(image[kAirshipLanding]);
  return settings;
}

void MiscSettings::StoreToRom(RomBytes image) const {
  image[kShipGameOpcode] = ShipGameEnabled ? kCmpImmediate : kLdaImmediate;
  image[kShipGameAnywhere] = ShipGameAnywhere ? kAnywhere : kNotAnywhere;
  if (const IntegerField gold = PresentInRange(ShipGold, kShipGoldRange))
    WriteLittleEndian(image, kShipGold, static_cast<std::uint32_t>(*gold));
  if (const IntegerField presses = PresentInRange(ShipBtnPresses, kShipBtnPressesRange))
    image[kShipBtnPresses] = static_cast<Byte>(*presses);
  image[kAirshipLanding] = AirshipLanding == LandingTerrain::LandWalk ? kLandWalk : kLandOnly;
}

MiscFootprints MiscSettings::Footprints() {
  MiscFootprints footprints;
  footprints.ShipGameEnabled.Add(kShipGameOpcode);
  footprints.ShipGameAnywhere.Add(kShipGameAnywhere);
  footprints.ShipGold.Add(kShipGold);
  footprints.ShipBtnPresses.Add(kShipBtnPresses);
  footprints.AirshipLanding.Add(kAirshipLanding);
  return footprints;
}

}  // namespace brimwell
