// Fuzzes the IPS and BPS readers on arbitrary patches and originals: a patch is refused with a
// reason and no bytes, or gives a file within the limit, which both writers then make a patch
// for that gives it back. A flag seals a BPS patch's own and source checksums first, so that
// the fuzzer gets past them to the actions.

#include <zlib.h>

#include <algorithm>
#include <string_view>

#include "FuzzTarget.h"
#include "rom/PatchFile.h"

namespace brimwell::fuzz {
namespace {

constexpr std::size_t kLongestOriginal = 4096;
constexpr std::size_t kChecksumLength = 4;
constexpr std::size_t kSourceChecksumFromEnd = 3 * kChecksumLength;
constexpr std::string_view kBpsMagic = "BPS1";

std::uint32_t Crc(std::span<const Byte> bytes) {
  return std::uint32_t(crc32(0, bytes.data(), uInt(bytes.size())));
}

void PutChecksum(std::vector<Byte>& patch, std::size_t at, std::uint32_t checksum) {
  for (std::size_t i = 0; i < kChecksumLength; ++i) patch[at + i] = Byte(checksum >> (8 * i));
}

void Seal(std::vector<Byte>& patch, std::span<const Byte> source) {
  if (patch.size() < kBpsMagic.size() + kSourceChecksumFromEnd ||
      !std::equal(kBpsMagic.begin(), kBpsMagic.end(), patch.begin()))
    return;
  PutChecksum(patch, patch.size() - kSourceChecksumFromEnd, Crc(source));
  const std::size_t checked = patch.size() - kChecksumLength;
  PutChecksum(patch, checked, Crc(std::span(patch).first(checked)));
}

constexpr std::string_view kReasons[] = {kNotAPatchError,        kPatchCutShortError,
                                         kPatchDamagedError,     kPatchChecksumError,
                                         kPatchForOtherRomError, kPatchTooLargeError};

Seed MakeSeed(std::string name, std::span<const Byte> original, std::vector<Byte> patch) {
  SeedWriter seed;
  seed.PutBool(true).PutUint16(std::uint16_t(original.size())).PutBytes(original).PutBytes(patch);
  return {std::move(name), seed.Bytes()};
}

}  // namespace

void TestOneInput(FuzzInput& input) {
  const bool seal = input.TakeBool();
  const auto original = input.TakeBytes(input.TakeUint16() % kLongestOriginal);
  const auto rest = input.TakeRest();
  std::vector<Byte> patch(rest.begin(), rest.end());
  if (seal) Seal(patch, original);

  const PatchResult result = ApplyPatch(patch, original);
  if (!result.Ok()) {
    const bool known =
        std::find(std::begin(kReasons), std::end(kReasons), result.error) != std::end(kReasons);
    FUZZ_CHECK(result.bytes.empty() && known, "refused with " + result.error);
    return;
  }
  FUZZ_CHECK(result.bytes.size() <= kMaxPatchedLength, "a patched file past the limit");
  for (PatchFormat format : {PatchFormat::Ips, PatchFormat::Bps}) {
    const PatchResult made = CreatePatch(format, original, result.bytes);
    FUZZ_CHECK(made.Ok(), "no patch for a patched file: " + made.error);
    FUZZ_CHECK(ApplyPatch(made.bytes, original).bytes == result.bytes,
               "a patch made for the patched file does not give it back");
  }
}

std::vector<Seed> Seeds() {
  std::vector<Byte> original(64);
  for (std::size_t i = 0; i < original.size(); ++i) original[i] = Byte(i * 37);
  std::vector<Byte> oneByte = original, run = original, shorter = original, longer = original;
  oneByte[9] ^= 0xFF;
  std::fill_n(run.begin() + 4, 40, 0x11);
  shorter.resize(50);
  longer.resize(80, 0x22);
  std::vector<Seed> seeds;
  for (const auto& [name, edited] :
       {std::pair{"one-byte", oneByte}, {"run", run}, {"shorter", shorter}, {"longer", longer}})
    for (PatchFormat format : {PatchFormat::Ips, PatchFormat::Bps})
      seeds.push_back(MakeSeed((format == PatchFormat::Ips ? "ips-" : "bps-") + std::string(name),
                               original, CreatePatch(format, original, edited).bytes));
  // Every BPS action: a source read, source copies forwards and back, a target copy over the
  // bytes it makes, a target read. The sealing supplies all checksums but the target's.
  const std::vector<Byte> source = {'A', 'B', 'C', 'D', 'E', 'F', 'G', 'H'};
  const std::vector<Byte> target = {'A', 'E', 'F', 'G', 'A', 'A', 'A', 'A', 'A', 'Z'};
  std::vector<Byte> patch = {'B',  'P',  'S',  '1',  0x88, 0x8A, 0x80, 0x80,
                             0x8A, 0x88, 0x82, 0x8F, 0x8F, 0x88, 0x81, 'Z'};
  patch.resize(patch.size() + kSourceChecksumFromEnd);
  PutChecksum(patch, patch.size() - 2 * kChecksumLength, Crc(target));
  seeds.push_back(MakeSeed("bps-every-action", source, patch));
  return seeds;
}

}  // namespace brimwell::fuzz
