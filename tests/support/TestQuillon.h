#pragma once

// Builders for synthetic "Quillon.dat" files in both layouts. No real data file is ever used.

#include <cstddef>
#include <map>
#include <string>
#include <vector>

#include "TestRom.h"
#include "rom/RomImage.h"

namespace brimwell::testing {

// Where a layout keeps one array of fixed-size string slots, as file offsets, written out
// independently of the reader's own tables.
struct QuillonFileSlots {
  std::size_t offset;
  std::size_t slotLength;
  std::size_t count;

  constexpr std::size_t SlotOffset(std::size_t index) const { return offset + slotLength * index; }
};

namespace current_quillon_layout {
inline constexpr std::size_t kLength = 34713;
inline constexpr QuillonFileSlots kPath = {4, 1000, 1};
inline constexpr QuillonFileSlots kDialogues = {1016, 31, 256};
inline constexpr QuillonFileSlots kNames44 = {9540, 21, 44};
inline constexpr QuillonFileSlots kNames128 = {12634, 31, 128};
inline constexpr QuillonFileSlots kNames16 = {16602, 41, 16};
inline constexpr QuillonFileSlots kSprites = {27651, 26, 208};
}  // namespace current_quillon_layout

namespace older_quillon_layout {
inline constexpr std::size_t kLength = 31105;
inline constexpr QuillonFileSlots kSprites = {8913, 31, 208};
inline constexpr QuillonFileSlots kDialogues = {15361, 46, 256};
inline constexpr QuillonFileSlots kNames16 = {27137, 36, 16};
inline constexpr QuillonFileSlots kNames128 = {27713, 21, 128};
inline constexpr QuillonFileSlots kNames44 = {30401, 16, 44};
}  // namespace older_quillon_layout

// Slot contents by slot index, as raw ANSI bytes as they stand in the file.
using QuillonSlots = std::map<std::size_t, std::string>;

struct QuillonContent {
  std::string lastRomPath{};  // the older layout has no place for it
  QuillonSlots spriteNames{};
  QuillonSlots dialogueNames{};
  QuillonSlots names16{};
  QuillonSlots names128{};
  QuillonSlots names44{};
};

// Slots without content are all zero. A name shorter than its slot is followed by its zero byte
// and then by filler, and the areas the reader does not interpret hold filler too, so a read at a
// wrong offset or past a terminator shows up. A name that fills its slot has no terminator; a
// longer name, or a slot index beyond the array, throws.
inline constexpr Byte kQuillonFiller = 0xA5;

// A complete current-layout file: "QWL1" and 34709 bytes.
std::vector<Byte> MakeCurrentQuillonFile(const QuillonContent& content);
// A complete older-layout file: 0xC7 and 31104 bytes.
std::vector<Byte> MakeOlderQuillonFile(const QuillonContent& content);

// The folder's path with its trailing separator, as the platform reports an executable folder.
std::string FolderWithSeparator(const ScratchFolder& folder);
// Writes bytes as the folder's "Quillon.dat"; returns FolderWithSeparator(folder).
std::string PlaceQuillonFile(const ScratchFolder& folder, const std::vector<Byte>& bytes);

}  // namespace brimwell::testing
