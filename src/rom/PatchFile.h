#pragma once

// Patch files in the two formats that ROM hackers pass around instead of whole ROMs: IPS, which
// overwrites byte ranges, and BPS, which also checks that it is applied to the file it was made
// for. Both are written and read the way the common patchers do, so that a patch made here
// applies there and the other way round.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "rom/RomImage.h"

namespace brimwell {

enum class PatchFormat { Ips, Bps };

// Neither format's files may make, or be applied to give, more than a ROM may hold.
inline constexpr std::size_t kMaxPatchedLength = kMaxRomLength;
// A patch file holds little more than the bytes it writes: one longer than this is refused by
// its size, before it is read.
inline constexpr std::size_t kMaxPatchFileLength = 2 * kMaxPatchedLength;

// A patch file made, or a file patched; on failure `bytes` is empty and `error` says why, in
// words a user can act on (shown in a message box and by the command-line program).
struct PatchResult {
  std::vector<Byte> bytes;
  std::string error;
  bool Ok() const { return error.empty(); }
};

PatchResult CreatePatch(PatchFormat format, ConstRomBytes original, ConstRomBytes edited);
// Recognises the format by its magic ("PATCH" or "BPS1"); anything else is refused.
PatchResult ApplyPatch(ConstRomBytes patch, ConstRomBytes original);
// Applies the patch to the image in place, as an editor's OK changes it: the image keeps its
// length, so a patch that would make the file longer or shorter is refused with the rest. Returns
// why the patch was refused, with the image unchanged; empty when it was applied.
std::string ApplyPatchToImage(ConstRomBytes patch, RomBytes image);
// The format that the patch's magic names; nothing for a file that is neither.
std::optional<PatchFormat> PatchFormatOf(ConstRomBytes patch);
// ".ips" or ".bps" in any letter case; nothing for any other name.
std::optional<PatchFormat> PatchFormatOfFileName(std::string_view fileName);
// How many bytes differ: positions below both lengths whose bytes differ, plus the length
// difference.
std::size_t CountDifferingBytes(ConstRomBytes original, ConstRomBytes edited);

// The same per format; each Apply refuses a patch of the other format as not a patch.
PatchResult CreateIpsPatch(ConstRomBytes original, ConstRomBytes edited);
PatchResult ApplyIpsPatch(ConstRomBytes patch, ConstRomBytes original);
PatchResult CreateBpsPatch(ConstRomBytes original, ConstRomBytes edited);
PatchResult ApplyBpsPatch(ConstRomBytes patch, ConstRomBytes original);

// One CRC-32 that a BPS patch carries, beside the one of the bytes it stands for.
struct ChecksumCheck {
  std::uint32_t stored = 0;
  std::uint32_t actual = 0;
  bool Matches() const { return stored == actual; }
};
// A BPS patch's checksums of its source, its target and itself, against the source given, the
// target given and the patch's own bytes. Nothing for a patch that is no BPS or too short to hold
// them. IPS carries no checksums.
struct BpsChecksums {
  ChecksumCheck source;
  ChecksumCheck target;
  ChecksumCheck patch;
};
std::optional<BpsChecksums> CheckBpsChecksums(ConstRomBytes patch, ConstRomBytes source,
                                              ConstRomBytes target);

// The reasons a patch is refused, for callers that tell them apart.
inline constexpr std::string_view kNotAPatchError = "This is not an IPS or BPS patch.";
inline constexpr std::string_view kPatchCutShortError =
    "The patch is cut short: a record runs past its end.";
inline constexpr std::string_view kPatchDamagedError =
    "The patch is damaged: its records do not fit the file they make.";
inline constexpr std::string_view kPatchChecksumError =
    "The patch is damaged: its checksum does not match.";
inline constexpr std::string_view kPatchForOtherRomError =
    "This patch was made for a different ROM.";
inline constexpr std::string_view kPatchTooLargeError =
    "The patched file would be larger than 16 MiB.";
inline constexpr std::string_view kPatchChangesLengthError =
    "The patch would change the ROM's length, which stays as it was opened.";
// What the user is told when a patch made could not be written.
inline constexpr char kCannotWritePatchMessage[] =
    "Could not write the patch file.  The folder may be read-only or the file in use.";
inline constexpr std::string_view kIpsOutOfReachError =
    "An IPS patch cannot reach offsets past 16 MiB: use BPS.";

}  // namespace brimwell
