#include "TestQuillon.h"

#include <algorithm>
#include <stdexcept>

namespace brimwell::testing {
namespace {

void PutSlots(std::vector<Byte>& file, const QuillonFileSlots& array, const QuillonSlots& names) {
  const auto first = file.begin() + std::ptrdiff_t(array.offset);
  std::fill_n(first, array.slotLength * array.count, Byte{0});
  for (const auto& [index, name] : names) {
    if (index >= array.count || name.size() > array.slotLength)
      throw std::invalid_argument("no room for Quillon name \"" + name + "\"");
    const auto slot = first + std::ptrdiff_t(array.slotLength * index);
    const auto end = std::copy(name.begin(), name.end(), slot);
    if (name.size() == array.slotLength) continue;
    *end = 0;
    std::fill(end + 1, slot + std::ptrdiff_t(array.slotLength), kQuillonFiller);
  }
}

}  // namespace

std::vector<Byte> MakeCurrentQuillonFile(const QuillonContent& content) {
  using namespace current_quillon_layout;
  std::vector<Byte> file(kLength, kQuillonFiller);
  std::copy_n("QWL1", 4, file.begin());
  PutSlots(file, kPath, {{0, content.lastRomPath}});
  PutSlots(file, kDialogues, content.dialogueNames);
  PutSlots(file, kNames44, content.names44);
  PutSlots(file, kNames128, content.names128);
  PutSlots(file, kNames16, content.names16);
  PutSlots(file, kSprites, content.spriteNames);
  return file;
}

std::vector<Byte> MakeOlderQuillonFile(const QuillonContent& content) {
  using namespace older_quillon_layout;
  std::vector<Byte> file(kLength, kQuillonFiller);
  file[0] = 0xC7;
  PutSlots(file, kSprites, content.spriteNames);
  PutSlots(file, kDialogues, content.dialogueNames);
  PutSlots(file, kNames16, content.names16);
  PutSlots(file, kNames128, content.names128);
  PutSlots(file, kNames44, content.names44);
  return file;
}

std::string FolderWithSeparator(const ScratchFolder& folder) {
  return (folder.Path() / "").string();
}

std::string PlaceQuillonFile(const ScratchFolder& folder, const std::vector<Byte>& bytes) {
  folder.Write("Quillon.dat", bytes);
  return FolderWithSeparator(folder);
}

}  // namespace brimwell::testing
