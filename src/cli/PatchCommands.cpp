#include "cli/Commands.h"

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
  const std::optional<std::vector<Byte>> patch =
      files.ReadFileDenyingWriters(request.patch, kMaxPatchFileLength);
  if (!patch) {
    Complain(streams.err, request.patch, WithReason(kCannotLoadMessage, files.FailureReason()));
    return kExitFileError;
  }
  RomDocument original(files);
  if (!OpenRom(original, request.original, streams.err)) return kExitFileError;
  const PatchResult patched = ApplyPatch(*patch, original.Image().Bytes());
  if (!patched.Ok()) {
    Complain(streams.err, request.patch, patched.error);
    return kExitFileError;
  }
  if (patched.bytes.size() < kMinRomLength) {
    Complain(streams.err, request.patch,
             "the patched file would be " + std::to_string(patched.bytes.size()) +
                 " bytes, too short for a Final Fantasy image; nothing is written");
    return kExitFileError;
  }
  return Write(files, request.output, patched.bytes, kCannotSaveMessage, streams.err)
             ? kExitSuccess
             : kExitFileError;
}

}  // namespace brimwell::cli
