#include "rom/PatchFile.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <random>

namespace brimwell {
namespace {

using Bytes = std::vector<Byte>;

constexpr std::size_t kEndMarkerOffset = 0x454F46;  // "EOF" read as an IPS offset

Bytes Join(std::initializer_list<Bytes> parts) {
  Bytes joined;
  for (const Bytes& part : parts) joined.insert(joined.end(), part.begin(), part.end());
  return joined;
}

// The bytes of a string literal, NULs included.
template <std::size_t N>
Bytes Text(const char (&text)[N]) {
  return {text, text + N - 1};
}

Bytes Checksum(const Bytes& bytes) {
  const uLong crc = crc32(0, bytes.data(), uInt(bytes.size()));
  return {Byte(crc), Byte(crc >> 8), Byte(crc >> 16), Byte(crc >> 24)};
}

// A BPS body closed as its maker would: the checksums of source, target and the patch.
Bytes Sealed(const Bytes& body, const Bytes& source, const Bytes& target) {
  const Bytes unsealed = Join({body, Checksum(source), Checksum(target)});
  return Join({unsealed, Checksum(unsealed)});
}

Bytes RandomBytes(std::mt19937& random, std::size_t length) {
  Bytes bytes(length);
  for (Byte& byte : bytes) byte = Byte(random());
  return bytes;
}

// Walks the records as any IPS reader does, up to the first offset that reads "EOF": they
// come in rising order and apart, runs only where shorter than their bytes, and no record is
// left behind an offset that reads as the end.
void ExpectStandardIps(const Bytes& patch, bool cut) {
  std::size_t at = 5, covered = 0;
  const auto number = [&](int length) {
    std::size_t value = 0;
    while (length-- > 0) value = value << 8 | patch.at(at++);
    return value;
  };
  for (std::size_t offset; (offset = number(3)) != kEndMarkerOffset;) {
    const std::size_t size = number(2), count = size ? size : number(2);
    EXPECT_GE(offset, covered);
    EXPECT_TRUE(size != 0 || count > 3) << "a run of " << count << " at " << offset;
    covered = offset + count;
    at += size ? size : 1;
  }
  EXPECT_EQ(patch.size(), at + (cut ? 3 : 0));
}

struct RoundTrip {
  std::string name;
  Bytes original, edited;
};

std::vector<RoundTrip> RoundTrips() {
  std::mt19937 random(2024);
  const Bytes rom = RandomBytes(random, 0x40010);
  const Bytes big = RandomBytes(random, 5 << 20);
  const auto edit = [](Bytes bytes, std::size_t from, std::size_t to, auto change) {
    for (std::size_t at = from; at < to; ++at) bytes[at] = Byte(change(at, bytes[at]));
    return bytes;
  };
  const auto flip = [](std::size_t, Byte byte) { return byte ^ 0xA5; };
  const auto fill = [](std::size_t, Byte) { return 0x55; };
  Bytes scattered = rom;
  for (int i = 0; i < 2600; ++i) scattered[random() % rom.size()] ^= Byte(1 + random() % 255);
  // Bytes, a run too short to pay inside a record, bytes, a run that pays, bytes.
  const Bytes mixed =
      edit(edit(edit(rom, 0x100, 0x200, flip), 0x120, 0x12D, fill), 0x150, 0x15E, fill);
  return {
      {"one byte", rom, edit(rom, 0x1234, 0x1235, flip)},
      {"first and last byte", rom, edit(edit(rom, 0, 1, flip), rom.size() - 1, rom.size(), flip)},
      {"run longer than a record", rom, edit(rom, 0x10, 0x10 + 70000, fill)},
      {"runs among bytes", rom, mixed},
      {"1% scattered", rom, scattered},
      {"shorter", rom, Bytes(rom.begin(), rom.begin() + 0x30001)},
      {"longer", rom, Join({rom, Bytes(0xFFEF), {1}})},
      {"empty target", rom, {}},
      {"at the end marker offset", big, edit(big, kEndMarkerOffset, kEndMarkerOffset + 1, flip)},
      {"run from the marker", big,
       edit(edit(big, kEndMarkerOffset - 5, kEndMarkerOffset, flip), kEndMarkerOffset,
            kEndMarkerOffset + 20, fill)},
      {"run up to the marker", big,
       edit(edit(big, kEndMarkerOffset - 9, kEndMarkerOffset, fill), kEndMarkerOffset,
            kEndMarkerOffset + 2, flip)},
      {"full record up to the marker", big,
       edit(big, kEndMarkerOffset - 0xFFFF, kEndMarkerOffset + 3, flip)},
  };
}

TEST(PatchFile, WritingThenReadingGivesTheTargetBackInBothFormats) {
  for (const RoundTrip& trip : RoundTrips()) {
    SCOPED_TRACE(trip.name);
    for (PatchFormat format : {PatchFormat::Ips, PatchFormat::Bps}) {
      const PatchResult patch = CreatePatch(format, trip.original, trip.edited);
      ASSERT_TRUE(patch.Ok()) << patch.error;
      const PatchResult patched = ApplyPatch(patch.bytes, trip.original);
      ASSERT_TRUE(patched.Ok()) << patched.error;
      EXPECT_TRUE(patched.bytes == trip.edited);
      if (format == PatchFormat::Ips)
        ExpectStandardIps(patch.bytes, trip.edited.size() < trip.original.size());
    }
  }
}

TEST(PatchFile, WritesTheBytesOfTheStandardFormats) {
  const Bytes zeros(200), abcd = Text("ABCD"), abxd = Text("ABXD");
  Bytes changed(200), run(200), lastChanged(200);
  changed[2] = 0xAB;
  std::fill_n(run.begin() + 0x10, 20, 0x11);
  lastChanged.back() = 1;
  const struct {
    PatchFormat format;
    Bytes original, edited, expected;
  } cases[] = {
      {PatchFormat::Ips, zeros, changed, Text("PATCH\0\0\2\0\1\253EOF")},
      {PatchFormat::Ips, zeros, run, Text("PATCH\0\0\x10\0\0\0\x14\021EOF")},
      {PatchFormat::Ips, zeros, Bytes(10), Text("PATCHEOF\0\0\x0A")},
      {PatchFormat::Bps, abcd, abxd, Sealed(Text("BPS1\x84\x84\x80\x84\x81X\x80"), abcd, abxd)},
      // 200 is 0x48 then 0x80; a source read of 199 is 0x18 then 0x85.
      {PatchFormat::Bps, zeros, lastChanged,
       Sealed(Text("BPS1\x48\x80\x48\x80\x80\x18\x85\x81\x01"), zeros, lastChanged)},
      // A source read of 16, a target read of one 0x11, a target copy of 19 from +16 that
      // repeats it, a source read of 164.
      {PatchFormat::Bps, zeros, run,
       Sealed(Text("BPS1\x48\x80\x48\x80\x80\xBC\x81\x11\xCB\xA0\x0C\x84"), zeros, run)},
  };
  for (const auto& c : cases)
    EXPECT_EQ(CreatePatch(c.format, c.original, c.edited).bytes, c.expected);
}

TEST(PatchFile, BpsWritesRunsAsCopiesOfTheBytesBefore) {
  std::mt19937 random(26);
  const Bytes rom = RandomBytes(random, 0x40010);
  // An expanded ROM: 256 KiB of zeros after the game, and a run among changed bytes.
  Bytes expanded = Join({rom, Bytes(256 * 1024)});
  std::fill_n(expanded.begin() + 0x100, 1000, 0x55);
  const PatchResult bps = CreatePatch(PatchFormat::Bps, rom, expanded);
  EXPECT_LE(bps.bytes.size(), 48u);
  EXPECT_EQ(ApplyPatch(bps.bytes, rom).bytes, expanded);
}

TEST(PatchFile, ReadsEveryBpsAction) {
  const Bytes source = Text("ABCDEFGH"), target = Text("AEFGAAAAAZ");
  // A source read of 1; source copies of 3 at +4 and of 1 at -7; a target copy of 4 at +4,
  // over the bytes it makes; a target read of "Z".
  const Bytes actions = Text("\x80\x8A\x88\x82\x8F\x8F\x88\x81Z");
  const PatchResult patched =
      ApplyPatch(Sealed(Join({Text("BPS1\x88\x8A\x80"), actions}), source, target), source);
  EXPECT_EQ(patched.error, "");
  EXPECT_EQ(patched.bytes, target);
}

TEST(PatchFile, RefusesBrokenPatchesAndReturnsNoBytes) {
  Bytes original(32), target(32);
  for (Byte i = 0; i < 32; ++i) original[i] = target[i] = i;
  target[5] = 0xEE;
  const Bytes bps = CreatePatch(PatchFormat::Bps, original, target).bytes;
  Bytes otherRom = original, damaged = bps, badTarget = bps;
  otherRom[0] ^= 1;
  damaged[8] ^= 1;
  // The target's checksum wrong, the patch's own made to match.
  badTarget[bps.size() - 5] ^= 1;
  badTarget.resize(bps.size() - 4);
  badTarget = Join({badTarget, Checksum(badTarget)});
  const struct {
    const char* name;
    Bytes patch, original;
    std::string_view error;
  } cases[] = {
      {"no magic", Text("PATCX"), original, kNotAPatchError},
      {"IPS record past the end", Text("PATCH\0\0\1\0\5\1\2"), original, kPatchCutShortError},
      {"IPS without an end", Text("PATCH\0\0\1\0\1\x09"), original, kPatchCutShortError},
      {"IPS past 16 MiB", Text("PATCH\xFF\xFF\xFF\0\2\1\2EOF"), original, kPatchTooLargeError},
      {"IPS cut past the end", Text("PATCHEOF\0\1\0"), original, kPatchForOtherRomError},
      {"BPS read past the end", Sealed(Text("BPS1\xA0\xA0\x80\xFDxy"), original, target), original,
       kPatchCutShortError},
      {"BPS copy before the start", Sealed(Text("BPS1\xA0\xA0\x80\xFE\x83"), original, target),
       original, kPatchDamagedError},
      {"BPS for other bytes", bps, otherRom, kPatchForOtherRomError},
      {"BPS for another length", bps, Join({original, {0}}), kPatchForOtherRomError},
      {"BPS target checksum", badTarget, original, kPatchChecksumError},
      {"BPS patch checksum", damaged, original, kPatchChecksumError},
      // A target of 16 MiB and one byte.
      {"BPS past 16 MiB", Sealed(Text("BPS1\xA0\x01\x7F\x7E\x86\x80"), original, {}), original,
       kPatchTooLargeError},
  };
  for (const auto& c : cases) {
    const PatchResult result = ApplyPatch(c.patch, c.original);
    EXPECT_EQ(result.error, c.error) << c.name;
    EXPECT_TRUE(result.bytes.empty()) << c.name;
  }
}

TEST(PatchFile, RefusesToMakeWhatTheFormatCannotHold) {
  const Bytes limit(kMaxPatchedLength), pastLimit(kMaxPatchedLength + 1);
  for (PatchFormat format : {PatchFormat::Ips, PatchFormat::Bps})
    EXPECT_EQ(CreatePatch(format, limit, pastLimit).error, kPatchTooLargeError);
  // An IPS cut length has three bytes: a file of 16 MiB cannot be cut to.
  const PatchResult ips = CreatePatch(PatchFormat::Ips, pastLimit, limit);
  EXPECT_EQ(ips.error, kIpsOutOfReachError);
  EXPECT_TRUE(ips.bytes.empty());
  const PatchResult bps = CreatePatch(PatchFormat::Bps, pastLimit, limit);
  EXPECT_EQ(ApplyPatch(bps.bytes, pastLimit).bytes, limit);
}

TEST(PatchFile, KnowsFormatsByFileNameAndCountsDifferences) {
  EXPECT_EQ(PatchFormatOfFileName("hack.IPS"), PatchFormat::Ips);
  EXPECT_EQ(PatchFormatOfFileName("C:/x/hack.bPs"), PatchFormat::Bps);
  EXPECT_EQ(PatchFormatOfFileName("hack.ips.txt"), std::nullopt);
  Bytes original(100, 7), edited(100, 7);
  edited[0] = edited[8] = edited[9] = edited[99] = 1;
  EXPECT_EQ(CountDifferingBytes(original, edited), 4u);
  edited.resize(90);
  EXPECT_EQ(CountDifferingBytes(original, edited), 3u + 10u);
}

}  // namespace
}  // namespace brimwell
