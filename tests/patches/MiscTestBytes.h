#pragma once

// Where the misc editor's settings sit in the image, for the expectations of its tests.

#include <array>
#include <cstddef>
#include <vector>

#include "rom/RomImage.h"

namespace brimwell::testing {

inline constexpr std::size_t kShipGameOpcode = 0x3C279;
inline constexpr std::size_t kShipBtnPresses = 0x3C27A;
inline constexpr std::size_t kShipGameAnywhere = 0x3C284;
inline constexpr std::size_t kAirshipLanding = 0x3C6EB;
inline constexpr std::array<std::size_t, 3> kShipGold = {0x3C8B5, 0x3C8B9, 0x3C8BD};

// The prize's three bytes, low byte first.
inline std::vector<Byte> ShipGoldBytes(ConstRomBytes image) {
  return {image[kShipGold[0]], image[kShipGold[1]], image[kShipGold[2]]};
}

inline void SetShipGoldBytes(RomBytes image, const std::vector<Byte>& bytes) {
  for (std::size_t i = 0; i < kShipGold.size(); ++i) image[kShipGold[i]] = bytes[i];
}

}  // namespace brimwell::testing
