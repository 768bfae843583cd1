// Fuzzes opening and saving a ROM file through RomDocument, on real files of lengths around the
// smallest image and on arbitrary short ones: a long enough file opens whole and saves back
// byte for byte; a shorter one is refused and leaves nothing loaded and the file alone.

#include <algorithm>

#include "FuzzTarget.h"
#include "RecordingPlatform.h"
#include "TestRom.h"
#include "rom/RomDocument.h"

namespace brimwell::fuzz {
namespace {

constexpr Byte kShortFile = 1;      // the rest of the input is the whole file
constexpr Byte kPastTheEnd = 0xEE;  // the test ROM's length ends at the minimum

// One folder for the whole run: libFuzzer feeds every input to one process.
const testing::ScratchFolder& Folder() {
  static const testing::ScratchFolder folder;
  return folder;
}

// A ROM that opens, for the document to hold before the file under test replaces it.
const std::string& PreviousRom() {
  static const std::string path = Folder().Write("previous.nes", TestRomImage());
  return path;
}

// Either any short file, or the test ROM cut or lengthened by up to 128 bytes, with the byte
// that the document keeps at open and the file's last bytes from the input.
std::vector<Byte> TakeFile(FuzzInput& input) {
  const bool shortFile = input.TakeByte() & kShortFile;
  if (shortFile) {
    const auto bytes = input.TakeRest();
    return {bytes.begin(), bytes.end()};
  }
  const std::size_t length = kMinRomLength + static_cast<std::int8_t>(input.TakeByte());
  const std::vector<Byte>& rom = TestRomImage();
  std::vector<Byte> file(rom.begin(), rom.begin() + std::min(length, rom.size()));
  file.resize(length, kPastTheEnd);
  file[kEvadeLockOffset] = input.TakeByte();
  const auto tail = input.TakeBytes(length);
  std::copy(tail.begin(), tail.end(), file.end() - std::ptrdiff_t(tail.size()));
  return file;
}

Seed MakeSeed(std::string name, std::int8_t lengthChange, Byte lockByte, std::vector<Byte> tail) {
  SeedWriter seed;
  seed.PutByte(0).PutByte(static_cast<Byte>(lengthChange)).PutByte(lockByte).PutBytes(tail);
  return {std::move(name), seed.Bytes()};
}

Seed MakeShortSeed(std::string name, std::vector<Byte> file) {
  SeedWriter seed;
  seed.PutByte(kShortFile).PutBytes(file);
  return {std::move(name), seed.Bytes()};
}

}  // namespace

void TestOneInput(FuzzInput& input) {
  const std::vector<Byte> file = TakeFile(input);
  const std::string path = Folder().Write("game.nes", file);

  testing::RecordingPlatform platform;
  RomDocument document(platform);
  document.SetRomPath(PreviousRom());
  FUZZ_CHECK(document.Open() == OpenOutcome::Opened, "the previous ROM did not open");
  document.SetRomPath(path);
  const OpenOutcome outcome = document.Open();
  FUZZ_CHECK(platform.events.empty(), "the document spoke to the user itself");

  if (file.size() < kMinRomLength) {
    FUZZ_CHECK(outcome == OpenOutcome::TooShort, "a short file was not refused as such");
    FUZZ_CHECK(!document.RomLoaded() && document.Image().Empty(),
               "a refused file left an image loaded");
    FUZZ_CHECK(document.Save() == SaveOutcome::NothingLoaded, "saved with nothing loaded");
    FUZZ_CHECK(Folder().Read("game.nes") == file, "a refused file was changed");
    return;
  }
  FUZZ_CHECK(outcome == OpenOutcome::Opened && document.RomLoaded(), "a whole image was refused");
  FUZZ_CHECK(document.Image().Contents() == file, "the image differs from the file");
  FUZZ_CHECK(document.LockByteAtOpen() == file[kEvadeLockOffset], "wrong lock byte at open");
  FUZZ_CHECK(document.Save() == SaveOutcome::Saved, "saving failed");
  FUZZ_CHECK(Folder().Read("game.nes") == file, "saving an unedited image changed the file");
  FUZZ_CHECK(document.Image().Contents() == file, "saving changed the image");
}

std::vector<Seed> Seeds() {
  return {
      MakeSeed("smallest-image", 0, 0x00, {}),
      MakeSeed("one-byte-short", -1, 0x00, {}),
      MakeSeed("longer-with-tail", 100, 0x46, {'T', 'A', 'I', 'L'}),
      MakeSeed("evade-fix-applied", 0, 0x46, {}),
      MakeShortSeed("empty", {}),
      MakeShortSeed("header-only", {'N', 'E', 'S', 0x1A, 0x10, 0x00, 0x12, 0x00}),
  };
}

}  // namespace brimwell::fuzz
