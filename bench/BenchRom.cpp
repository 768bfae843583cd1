#include "BenchRom.h"

#include <stdlib.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <random>
#include <stdexcept>

#include "BrimwellConst.h"
#include "TestQuillon.h"
#include "sprites/SpriteTalk.h"

namespace brimwell::bench {

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
  testing::QuillonContent content{.lastRomPath = romPath};
  for (std::size_t i = 0; i < testing::current_quillon_layout::kDialogues.count; ++i)
    content.dialogueNames[i] = "Dialogue string " + std::to_string(i);
  for (std::size_t i = 0; i < BrimwellConst::kSpriteCount; ++i)
    content.spriteNames[i] = "Map sprite " + std::to_string(i);
  return testing::MakeCurrentQuillonFile(content);
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
