#include "BenchRom.h"

#include <stdlib.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <random>
#include <stdexcept>

#include "BrimwellConst.h"
#include "sprites/SpriteTalk.h"

namespace brimwell::bench {
namespace {

// Where the current layout keeps what the editor reads, as offsets into the record that
// follows the four signature bytes.
constexpr std::size_t kLastRomPathAt = 0;
constexpr std::size_t kDialogueNamesAt = 1012;
constexpr std::size_t kDialogueNameLength = 31;
constexpr std::size_t kDialogueCount = 256;
constexpr std::size_t kSpriteNamesAt = 27647;
constexpr std::size_t kSpriteNameLength = 26;

void Put(std::vector<Byte>& file, std::size_t recordOffset, const std::string& text) {
  std::copy(text.begin(), text.end(),
            file.begin() + BrimwellConst::kQuillonSignature.size() + recordOffset);
}

}  // namespace

std::vector<Byte> MakeBenchRom() {
  std::vector<Byte> image(kMinRomLength);
  std::minstd_rand filler(15);
  std::generate(image.begin(), image.end(), [&] { return Byte(filler()); });
  HandlerAddressList addresses{};
  for (std::size_t sprite = 0; sprite < addresses.size(); ++sprite)
    addresses[sprite] = BrimwellConst::kHandlerAddresses[sprite % kHandlerCount];
  WriteHandlerAddresses(image, addresses);
  return image;
}

std::vector<Byte> MakeBenchQuillonFile(const std::string& romPath) {
  std::vector<Byte> file(BrimwellConst::kQuillonSignature.size() + kQuillonRecordSize);
  std::copy(BrimwellConst::kQuillonSignature.begin(), BrimwellConst::kQuillonSignature.end(),
            file.begin());
  Put(file, kLastRomPathAt, romPath);
  for (std::size_t i = 0; i < kDialogueCount; ++i)
    Put(file, kDialogueNamesAt + i * kDialogueNameLength, "Dialogue string " + std::to_string(i));
  for (std::size_t i = 0; i < BrimwellConst::kSpriteCount; ++i)
    Put(file, kSpriteNamesAt + i * kSpriteNameLength, "Map sprite " + std::to_string(i));
  return file;
}

BenchNames MakeBenchNames(ConstRomBytes image) {
  QuillonRecord record;
  ParseQuillonData(MakeBenchQuillonFile(std::string()), record);
  BenchNames names;
  FillNameLists(record, image, names.sprites, names.dialogues);
  return names;
}

BenchDocument::BenchDocument() {
  std::string path = (std::filesystem::temp_directory_path() / "brimwell-bench-XXXXXX").string();
  const int file = mkstemp(path.data());
  const std::vector<Byte> image = MakeBenchRom();
  const bool written =
      file >= 0 && write(file, image.data(), image.size()) == ssize_t(image.size());
  if (file >= 0) close(file);
  document_.SetRomPath(path);
  const bool opened = written && document_.Open() == OpenOutcome::Opened;
  std::filesystem::remove(path);
  if (!opened) throw std::runtime_error("the benchmark ROM could not be opened");
  names_ = MakeBenchNames(document_.Image().Bytes());
}

}  // namespace brimwell::bench
