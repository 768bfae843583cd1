#include "TestQuillon.h"

#include <algorithm>
#include <stdexcept>

namespace brimwell::testing {
namespace {

// File offsets, written out independently of the reader's own tables.
struct FileSlots {
  std::size_t offset;
  std::size_t slotLength;
  std::size_t count;
};

constexpr std::size_t kCurrentLength = 34713;
constexpr FileSlots kCurrentPath = {4, 1000, 1};
constexpr FileSlots kCurrentDialogues = {1016, 31, 256};
constexpr FileSlots kCurrentNames44 = {9540, 21, 44};
constexpr FileSlots kCurrentNames128 = {12634, 31, 128};
constexpr FileSlots kCurrentNames16 = {16602, 41, 16};
constexpr FileSlots kCurrentSprites = {27651, 26, 208};

constexpr std::size_t kOlderLength = 31105;
constexpr FileSlots kOlderSprites = {8913, 31, 208};
constexpr FileSlots kOlderDialogues = {15361, 46, 256};
constexpr FileSlots kOlderNames16 = {27137, 36, 16};
constexpr FileSlots kOlderNames128 = {27713, 21, 128};
constexpr FileSlots kOlderNames44 = {30401, 16, 44};

void PutSlots(std::vector<Byte>& file, const FileSlots& array, const QuillonSlots& names) {
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
  std::vector<Byte> file(kCurrentLength, kQuillonFiller);
  std::copy_n("QWL1", 4, file.begin());
  PutSlots(file, kCurrentPath, {{0, content.lastRomPath}});
  PutSlots(file, kCurrentDialogues, content.dialogueNames);
  PutSlots(file, kCurrentNames44, content.names44);
  PutSlots(file, kCurrentNames128, content.names128);
  PutSlots(file, kCurrentNames16, content.names16);
  PutSlots(file, kCurrentSprites, content.spriteNames);
  return file;
}

std::vector<Byte> MakeOlderQuillonFile(const QuillonContent& content) {
  std::vector<Byte> file(kOlderLength, kQuillonFiller);
  file[0] = 0xC7;
  PutSlots(file, kOlderSprites, content.spriteNames);
  PutSlots(file, kOlderDialogues, content.dialogueNames);
  PutSlots(file, kOlderNames16, content.names16);
  PutSlots(file, kOlderNames128, content.names128);
  PutSlots(file, kOlderNames44, content.names44);
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
