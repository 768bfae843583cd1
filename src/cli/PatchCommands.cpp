#include "cli/Commands.h"

#include "cli/CommandSupport.h"
#include "rom/PatchFile.h"

namespace brimwell::cli {

int CreatePatchFile(const PatchCreateRequest& request, Streams streams) {
  const std::optional<PatchFormat> format = PatchFormatOfFileName(request.output);
  if (!format) {
    Complain(streams.err, request.output, "a patch file's name ends in .ips or .bps");
    return kExitRefused;
  }
  PlatformFiles files;
  RomDocument original(files);
  RomDocument edited(files);
  if (!OpenRom(original, request.original, streams.err) ||
      !OpenRom(edited, request.edited, streams.err))
    return kExitFileError;
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
  PlatformFiles files;
  const std::optional<std::vector<Byte>> patch = files.ReadFileDenyingWriters(request.patch);
  if (!patch) {
    Complain(streams.err, request.patch, kCannotLoadMessage);
    return kExitFileError;
  }
  RomDocument original(files);
  if (!OpenRom(original, request.original, streams.err)) return kExitFileError;
  const PatchResult patched = ApplyPatch(*patch, original.Image().Bytes());
  if (!patched.Ok()) {
    Complain(streams.err, request.patch, patched.error);
    return kExitFileError;
  }
  return Write(files, request.output, patched.bytes, kCannotSaveMessage, streams.err)
             ? kExitSuccess
             : kExitFileError;
}

}  // namespace brimwell::cli
