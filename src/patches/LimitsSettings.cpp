#include "patches/LimitsSettings.h"

#include <array>

namespace brimwell {
namespace {

// Bank 0x0B, $99A3: one table of the experience/gold bound (24 bits) followed by the HP
// bound (16 bits), each the maximum + 1, which the level-up and reward code compare against.
constexpr std::array<std::size_t, 3> kExpGoldBound = {0x2D9B3, 0x2D9B4, 0x2D9B5};
constexpr std::array<std::size_t, 2> kHPBound = {0x2D9B6, 0x2D9B7};

// Bank 0x0B, $9CA7: the instruction that writes the capped MP back into the character.
// STA (zp),Y applies the cap; LDA (zp),Y reads instead, so no cap applies.
constexpr std::size_t kMPCapStore = 0x2DCB7;
constexpr Byte kStaIndirectY = 0x91;
constexpr Byte kLdaIndirectY = 0xB1;

// Bank 0x0B: compare operands of the MP caps and the MP growth per spell level.
constexpr std::size_t kLimitFiTh = 0x2DCAA;   // $9C9A
constexpr std::size_t kLimitOther = 0x2DCA6;  // $9C96
constexpr std::size_t kMaxMPInc = 0x2DC91;    // $9C81

// Bank 0x0F holds a second copy of the experience/gold cap inside code: CMP #high at
// 0x3DE13 and two more compares against the maximum + 1 (high, middle, low), then three
// loads of the maximum itself (low, middle, high), five bytes apart. Written, never read.
constexpr std::array<std::size_t, 3> kExpGoldCompare = {0x3DE26, 0x3DE1B, 0x3DE14};
constexpr std::size_t kExpGoldCompareOpcode = 0x3DE13;
constexpr std::array<std::size_t, 3> kExpGoldMaximum = {0x3DE2A, 0x3DE2F, 0x3DE34};

}  // namespace

LimitsSettings LimitsSettings::LoadFromRom(ConstRomBytes image) {
  LimitsSettings settings;
  settings.HPlimit = static_cast<std::int32_t>(ReadLittleEndian(image, kHPBound)) - 1;
  settings.LimitMP = image[kMPCapStore] == kStaIndirectY;
  settings.LimitFiTh = image[kLimitFiTh];
  settings.LimitOther = image[kLimitOther];
  settings.MaxMPInc = image[kMaxMPInc];
  settings.ExpGold = static_cast<std::int32_t>(ReadLittleEndian(image, kExpGoldBound)) - 1;
  return settings;
}

void LimitsSettings::StoreToRom(RomBytes image) const {
  if (const IntegerField hp = PresentInRange(HPlimit, kHPlimitRange))
    WriteLittleEndian(image, kHPBound, *hp + 1);
  image[kMPCapStore] = LimitMP ? kStaIndirectY : kLdaIndirectY;
  if (const IntegerField limit = PresentInRange(LimitFiTh, kMPLimitRange))
    image[kLimitFiTh] = static_cast<Byte>(*limit);
  if (const IntegerField limit = PresentInRange(LimitOther, kMPLimitRange))
    image[kLimitOther] = static_cast<Byte>(*limit);
  if (const IntegerField increase = PresentInRange(MaxMPInc, kMaxMPIncRange))
    image[kMaxMPInc] = static_cast<Byte>(*increase);
  if (const IntegerField maximum = PresentInRange(ExpGold, kExpGoldRange)) {
    WriteLittleEndian(image, kExpGoldBound, *maximum + 1);
    WriteLittleEndian(image, kExpGoldCompare, *maximum + 1);
    image[kExpGoldCompareOpcode] = kCmpImmediate;
    WriteLittleEndian(image, kExpGoldMaximum, *maximum);
  }
}

LimitsFootprints LimitsSettings::Footprints() {
  LimitsFootprints footprints;
  footprints.HPlimit.Add(kHPBound);
  footprints.LimitMP.Add(kMPCapStore);
  footprints.LimitFiTh.Add(kLimitFiTh);
  footprints.LimitOther.Add(kLimitOther);
  footprints.MaxMPInc.Add(kMaxMPInc);
  footprints.ExpGold.Add(kExpGoldBound)
      .Add(kExpGoldCompare)
      .Add(kExpGoldCompareOpcode)
      .Add(kExpGoldMaximum);
  return footprints;
}

}  // namespace brimwell
