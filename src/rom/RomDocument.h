#pragma once

// The one open ROM and the state kept with it: where it came from, whether it loaded, and the
// byte that the magic editor's "Evade Down" fix restores when it is switched off.

#include <string>

#include "platform/PlatformFiles.h"
#include "rom/RomImage.h"

namespace brimwell {

// Bank 0x0C, CPU $B823: the byte the "Evade Down" fix overwrites with 0x46.
inline constexpr std::size_t kEvadeLockOffset = 0x33833;

enum class OpenOutcome {
  Opened,
  TooShort,   // shorter than a Final Fantasy image can be
  LoadError,  // could not be opened or read, or longer than kMaxRomLength
};

enum class SaveOutcome { Saved, NothingLoaded, WriteFailed };

// What the user is told when an open or a save fails, in the window and on the command line.
inline constexpr char kNotFinalFantasyMessage[] =
    "This ROM image is not based on Final Fantasy 1 NES.";
inline constexpr char kCannotLoadMessage[] = "Could not load the specified file.";
inline constexpr char kCannotSaveMessage[] =
    "Could not save the ROM data.  The ROM file may be in use by another program.";

class RomDocument {
 public:
  explicit RomDocument(PlatformFiles& files) : files_(files) {}

  RomImage& Image() { return image_; }
  const RomImage& Image() const { return image_; }

  const std::string& RomPath() const { return romPath_; }
  void SetRomPath(std::string path) { romPath_ = std::move(path); }

  bool RomLoaded() const { return romLoaded_; }
  Byte LockByteAtOpen() const { return lockByteAtOpen_; }

  // Discards the current image, then reads the file at RomPath() whole. On any failure the
  // image is left empty and RomLoaded() is false.
  OpenOutcome Open();
  // Writes the whole image over RomPath(). A failure leaves the file on disk as it was.
  SaveOutcome Save() const;
  // Why the last LoadError or WriteFailed happened, in the system's words where it has them.
  const std::string& FailureReason() const { return files_.FailureReason(); }

 private:
  PlatformFiles& files_;
  RomImage image_;
  std::string romPath_;
  bool romLoaded_ = false;
  Byte lockByteAtOpen_ = 0;
};

}  // namespace brimwell
