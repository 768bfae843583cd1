#include "cli/Commands.h"

#include <array>
#include <cstdio>
#include <utility>

#include "cli/CommandSupport.h"
#include "rom/PatchFile.h"

namespace brimwell::cli {
namespace {

// A patch made from or applied to a file must not be written over that file.
bool RefusedAsInput(const std::string& output, const std::string& input, std::string_view role,
                    std::ostream& err) {
  if (!SameFile(output, input)) return false;
  Complain(err, output, "is the " + std::string(role) + ": writing there would destroy it");
  return true;
}

// A patch applied to an original in memory, and both of them.
struct Patched {
  std::vector<Byte> patch;
  std::vector<Byte> original;
  std::vector<Byte> result;
};

// Reads the patch and the original and applies the one to the other; nothing, after saying why,
// when a file cannot be read, the patch is refused, or its result is no Final Fantasy image.
std::optional<Patched> ApplyInMemory(const std::string& patchPath, const std::string& originalPath,
                                     PlatformFiles& files, std::ostream& err) {
  std::optional<std::vector<Byte>> patch =
      files.ReadFileDenyingWriters(patchPath, kMaxPatchFileLength);
  if (!patch) {
    Complain(err, patchPath, WithReason(kCannotLoadMessage, files.FailureReason()));
    return std::nullopt;
  }
  RomDocument original(files);
  if (!OpenRom(original, originalPath, err)) return std::nullopt;
  PatchResult patched = ApplyPatch(*patch, original.Image().Bytes());
  if (!patched.Ok()) {
    Complain(err, patchPath, patched.error);
    return std::nullopt;
  }
  if (patched.bytes.size() < kMinRomLength) {
    Complain(err, patchPath,
             "the patched file would be " + std::to_string(patched.bytes.size()) +
                 " bytes, too short for a Final Fantasy image; nothing is written");
    return std::nullopt;
  }
  return Patched{std::move(*patch), original.Image().Contents(), std::move(patched.bytes)};
}

std::string_view FormatName(PatchFormat format) {
  return format == PatchFormat::Ips ? "IPS" : "BPS";
}

std::string Hex(std::uint32_t checksum) {
  char text[16];
  std::snprintf(text, sizeof text, "%08X", unsigned{checksum});
  return text;
}

constexpr std::array<std::pair<std::string_view, ChecksumCheck BpsChecksums::*>, 3> kChecksums = {
    {{"source", &BpsChecksums::source},
     {"target", &BpsChecksums::target},
     {"patch", &BpsChecksums::patch}}};

// "source CRC-32 1A2B3C4D matches, target CRC-32 ... does not match (it is 5E6F7A8B), ..."
std::string ChecksumsText(const BpsChecksums& checksums) {
  std::string text;
  for (const auto& [name, member] : kChecksums) {
    const ChecksumCheck& check = checksums.*member;
    if (!text.empty()) text += ", ";
    text += std::string(name) + " CRC-32 " + Hex(check.stored);
    text += check.Matches() ? " matches" : " does not match (it is " + Hex(check.actual) + ")";
  }
  return text;
}

Json ChecksumsJson(const BpsChecksums& checksums) {
  Json json = Json::object();
  for (const auto& [name, member] : kChecksums) {
    const ChecksumCheck& check = checksums.*member;
    json[std::string(name)] = {
        {"stored", Hex(check.stored)}, {"actual", Hex(check.actual)}, {"matches", check.Matches()}};
  }
  return json;
}

}  // namespace

int CreatePatchFile(const PatchCreateRequest& request, Streams streams) {
  const std::optional<PatchFormat> format = PatchFormatOfFileName(request.output);
  if (!format) {
    Complain(streams.err, request.output, "a patch file's name ends in .ips or .bps");
    return kExitRefused;
  }
  if (RefusedAsInput(request.output, request.original, "original", streams.err) ||
      RefusedAsInput(request.output, request.edited, "edited image", streams.err))
    return kExitRefused;
  PlatformFiles files;
  RomDocument original(files);
  RomDocument edited(files);
  if (!OpenRom(original, request.original, streams.err) ||
      !OpenRom(edited, request.edited, streams.err))
    return kExitFileError;
  if (CountDifferingBytes(original.Image().Bytes(), edited.Image().Bytes()) == 0) {
    Complain(streams.err, request.edited,
             "no byte differs from the original: a patch would hold nothing, so none is written");
    return kExitSuccess;
  }
  const PatchResult patch = CreatePatch(*format, original.Image().Bytes(), edited.Image().Bytes());
  if (!patch.Ok()) {
    Complain(streams.err, request.output, patch.error);
    return kExitFileError;
  }
  return Write(files, request.output, patch.bytes, kCannotWritePatchMessage, streams.err)
             ? kExitSuccess
             : kExitFileError;
}

int ApplyPatchFile(const PatchApplyRequest& request, Streams streams) {
  // Patching in place, over the original, is allowed; over the patch, it is not.
  if (RefusedAsInput(request.output, request.patch, "patch", streams.err)) return kExitRefused;
  PlatformFiles files;
  const std::optional<Patched> patched =
      ApplyInMemory(request.patch, request.original, files, streams.err);
  if (!patched) return kExitFileError;
  return Write(files, request.output, patched->result, kCannotSaveMessage, streams.err)
             ? kExitSuccess
             : kExitFileError;
}

int DescribePatchFile(const PatchDescribeRequest& request, Streams streams) {
  PlatformFiles files;
  const std::optional<Patched> patched =
      ApplyInMemory(request.patch, request.original, files, streams.err);
  if (!patched) return kExitFileError;
  const ImageChanges changes = DescribeChanges(patched->original, patched->result);
  const PatchFormat format = *PatchFormatOf(patched->patch);
  const std::optional<BpsChecksums> checksums =
      CheckBpsChecksums(patched->patch, patched->original, patched->result);
  if (request.json) {
    Json described = {{"settings", ChangesJson(changes.settings)},
                      {"otherBytes", Json::array()},
                      {"format", FormatName(format)},
                      {"checksums", checksums ? ChecksumsJson(*checksums) : Json("none")}};
    for (const ByteRange& range : changes.otherBytes)
      described["otherBytes"].push_back({{"offset", range.offset}, {"length", range.length}});
    streams.out << described.dump(2) << '\n';
    return kExitSuccess;
  }
  PrintChanges(changes.settings, false, streams.out);
  for (const ByteRange& range : changes.otherBytes) {
    char line[64];
    std::snprintf(line, sizeof line, "other bytes 0x%06zX %zu\n", range.offset, range.length);
    streams.out << line;
  }
  streams.out << "format " << FormatName(format) << ", "
              << (checksums ? ChecksumsText(*checksums) : "checksums none") << '\n';
  return kExitSuccess;
}

}  // namespace brimwell::cli
