#include "cli/Commands.h"

#include "cli/CommandSupport.h"

namespace brimwell::cli {

int Diff(const DiffRequest& request, Streams streams) {
  PlatformFiles files;
  RomDocument first(files);
  RomDocument second(files);
  if (!OpenRom(first, request.first, streams.err) || !OpenRom(second, request.second, streams.err))
    return kExitFileError;
  PrintChanges(ChangedSettings(RomSettings::LoadFromRom(first.Image().Bytes()),
                               RomSettings::LoadFromRom(second.Image().Bytes())),
               request.json, streams.out);
  return kExitSuccess;
}

}  // namespace brimwell::cli
