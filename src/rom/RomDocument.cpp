#include "rom/RomDocument.h"

namespace brimwell {

OpenOutcome RomDocument::Open() {
  image_.Clear();
  romLoaded_ = false;

  auto bytes = files_.ReadFileDenyingWriters(romPath_, kMaxRomLength);
  if (!bytes) return OpenOutcome::LoadError;
  if (static_cast<std::uint64_t>(bytes->size()) < kMinRomLength) return OpenOutcome::TooShort;

  image_.Assign(std::move(*bytes));
  lockByteAtOpen_ = image_[kEvadeLockOffset];
  romLoaded_ = true;
  return OpenOutcome::Opened;
}

SaveOutcome RomDocument::Save() const {
  if (!romLoaded_) return SaveOutcome::NothingLoaded;
  return files_.ReplaceFileContents(romPath_, image_.Contents()) ? SaveOutcome::Saved
                                                                 : SaveOutcome::WriteFailed;
}

}  // namespace brimwell
