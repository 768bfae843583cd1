#include "patches/MagicSettings.h"

#include <algorithm>
#include <array>

#include "BrimwellConst.h"
#include "rom/RomDocument.h"

namespace brimwell {
namespace {

using namespace BrimwellConst;

// Bank 0x0C offsets, with their CPU addresses.
constexpr std::size_t kEvadeDownJump = 0x33A5E;       // $BA4E, three bytes
constexpr std::size_t kHitMultiplierBound = 0x33A2A;  // $BA1A: compare operand, limit + 1
constexpr std::size_t kHitMultiplierLimit = 0x33A33;  // $BA23: the limit itself, never read
constexpr std::size_t kDamageFamily = 0x33922;        // $B912
constexpr std::size_t kWeakBonusAdjust = 0x338D9;     // $B8C9, six bytes
constexpr std::size_t kWeakBonusCall = 0x338E5;       // $B8D5, three bytes
constexpr std::array<std::size_t, 2> kNeg2HPLimit = {0x33AF0, 0x33AF5};  // $BAE0, $BAE5

// The first byte of an adjustment tells the three apart: LSR, NOP, ASL.
static_assert(WeakBonusFull[0] == kNop);
constexpr Byte kAslAbsolute = WeakBonusDouble[0];

template <std::size_t N>
bool Holds(ConstRomBytes image, std::size_t offset, const std::array<Byte, N>& bytes) {
  return std::equal(bytes.begin(), bytes.end(), image.begin() + offset);
}

template <std::size_t N>
void Put(RomBytes image, std::size_t offset, const std::array<Byte, N>& bytes) {
  std::copy(bytes.begin(), bytes.end(), image.begin() + offset);
}

WeakBonusChoice LoadWeakBonus(ConstRomBytes image) {
  if (!Holds(image, kWeakBonusCall, WeakBonusCall)) return WeakBonusChoice::None;
  switch (image[kWeakBonusAdjust]) {
    case kNop:
      return WeakBonusChoice::Full;
    case kAslAbsolute:
      return WeakBonusChoice::Double;
    default:
      return WeakBonusChoice::Half;  // LSR, the original game's code, or code of unknown kind
  }
}

const std::array<Byte, 6>& BonusAdjustment(WeakBonusChoice choice) {
  switch (choice) {
    case WeakBonusChoice::Full:
      return WeakBonusFull;
    case WeakBonusChoice::Double:
      return WeakBonusDouble;
    default:
      return WeakBonusHalf;
  }
}

void StoreWeakBonus(RomBytes image, WeakBonusChoice choice) {
  if (choice == WeakBonusChoice::None) {
    Put(image, kWeakBonusAdjust, WeakBonusNone);
    Put(image, kWeakBonusCall, WeakBonusNoCall);
    return;
  }
  Put(image, kWeakBonusCall, WeakBonusCall);
  Put(image, kWeakBonusAdjust, BonusAdjustment(choice));
}

}  // namespace

MagicSettings MagicSettings::LoadFromRom(ConstRomBytes image) {
  MagicSettings settings;
  settings.FixLOCK = image[kEvadeLockOffset] == EvadeDownFixLockByte &&
                     Holds(image, kEvadeDownJump, EvadeDownFixPatched);
  settings.HitMultiplier = std::int32_t{image[kHitMultiplierBound]} - 1;
  settings.DamageFamily = image[kDamageFamily];
  settings.WeakBonus = LoadWeakBonus(image);
  settings.Neg2HPLimit = static_cast<std::int32_t>(ReadLittleEndian(image, kNeg2HPLimit));
  return settings;
}

void MagicSettings::StoreToRom(RomBytes image, Byte lockByteAtOpen) const {
  image[kEvadeLockOffset] = FixLOCK ? EvadeDownFixLockByte : lockByteAtOpen;
  Put(image, kEvadeDownJump, FixLOCK ? EvadeDownFixPatched : EvadeDownFixUnpatched);
  if (const IntegerField limit = PresentInRange(HitMultiplier, kStorableHitMultiplierRange)) {
    image[kHitMultiplierBound] = static_cast<Byte>(*limit + 1);
    image[kHitMultiplierLimit] = static_cast<Byte>(*limit);
  }
  image[kDamageFamily] = DamageFamily;
  StoreWeakBonus(image, WeakBonus);
  if (const IntegerField hp = PresentInRange(Neg2HPLimit, kNeg2HPLimitRange))
    WriteLittleEndian(image, kNeg2HPLimit, static_cast<std::uint32_t>(*hp));
}

MagicFootprints MagicSettings::Footprints() {
  MagicFootprints footprints;
  footprints.FixLOCK.Add(kEvadeLockOffset).Add(kEvadeDownJump, EvadeDownFixPatched.size());
  footprints.HitMultiplier.Add(kHitMultiplierBound).Add(kHitMultiplierLimit);
  footprints.DamageFamily.Add(kDamageFamily);
  footprints.WeakBonus.Add(kWeakBonusAdjust, WeakBonusHalf.size())
      .Add(kWeakBonusCall, WeakBonusCall.size());
  footprints.Neg2HPLimit.Add(kNeg2HPLimit);
  return footprints;
}

}  // namespace brimwell
