#include "rom/QuillonData.h"

#include <algorithm>
#include <vector>

#include "BrimwellConst.h"
#include "rom/AnsiText.h"
#include "sprites/SpriteTalk.h"

namespace brimwell {
namespace {

// Strings are fixed slots of single bytes, ended by the first zero byte; a string that fills
// its whole slot has no terminator.
struct SlotArray {
  std::size_t offset;
  std::size_t slotLength;
  std::size_t count;

  constexpr std::size_t SlotOffset(std::size_t index) const { return offset + slotLength * index; }
  constexpr std::size_t End() const { return SlotOffset(count); }
};

constexpr std::size_t kSignatureLength = BrimwellConst::kQuillonSignature.size();
constexpr std::size_t kCurrentFileLength = kSignatureLength + kQuillonRecordSize;

// The current layout, as offsets into the record (file offset = record offset + 4).
constexpr SlotArray kLastRomPath = {0, 1000, 1};
constexpr SlotArray kDialogueNames = {1012, 31, 256};
constexpr SlotArray kNames44x21 = {9536, 21, 44};
constexpr SlotArray kNames128x31 = {12630, 31, 128};
constexpr SlotArray kNames16x41 = {16598, 41, 16};
constexpr SlotArray kSpriteNames = {27647, 26, 208};
static_assert(kSpriteNames.End() <= kQuillonRecordSize);

// The older layout, as file offsets; its first byte identifies it and it holds no ROM path.
constexpr Byte kOlderLayoutMarker = 0xC7;
constexpr std::size_t kOlderFileLength = 31105;

struct SlotConversion {
  SlotArray source;
  SlotArray destination;
};

// In the order in which the older file holds them.
constexpr std::array<SlotConversion, 5> kOlderLayoutConversions = {{
    {{8913, 31, 208}, kSpriteNames},
    {{15361, 46, 256}, kDialogueNames},
    {{27137, 36, 16}, kNames16x41},
    {{27713, 21, 128}, kNames128x31},
    {{30401, 16, 44}, kNames44x21},
}};
static_assert(kOlderLayoutConversions.back().source.End() == kOlderFileLength);
static_assert(std::all_of(kOlderLayoutConversions.begin(), kOlderLayoutConversions.end(),
                          [](const SlotConversion& c) {
                            return c.source.count == c.destination.count;
                          }));

constexpr std::size_t kLongestFileLength = std::max(kCurrentFileLength, kOlderFileLength);

std::span<const Byte> Slot(std::span<const Byte> bytes, const SlotArray& array, std::size_t index) {
  return bytes.subspan(array.SlotOffset(index), array.slotLength);
}

std::span<const Byte> StringIn(std::span<const Byte> slot) {
  return slot.first(std::size_t(std::find(slot.begin(), slot.end(), Byte{0}) - slot.begin()));
}

std::string SlotText(const QuillonRecord& record, const SlotArray& array, std::size_t index) {
  return DecodeWindows1252(StringIn(Slot(record.bytes, array, index)));
}

// Names longer than their new slot are cut to it; the rest of the slot keeps the fresh record's
// zero bytes.
void ConvertSlots(std::span<const Byte> file, const SlotConversion& conversion,
                  QuillonRecord& record) {
  const SlotArray& to = conversion.destination;
  for (std::size_t i = 0; i < conversion.source.count; ++i) {
    const auto name = StringIn(Slot(file, conversion.source, i));
    const std::size_t kept = std::min(name.size(), to.slotLength);
    std::copy_n(name.begin(), kept, record.bytes.begin() + to.SlotOffset(i));
  }
}

void ConvertOlderLayout(std::span<const Byte> file, QuillonRecord& record) {
  // A short file reads as if padded with zero bytes to its full length.
  std::vector<Byte> padded(kOlderFileLength);
  std::copy_n(file.begin(), std::min(file.size(), padded.size()), padded.begin());
  for (const SlotConversion& conversion : kOlderLayoutConversions)
    ConvertSlots(padded, conversion, record);
}

bool HasSignature(std::span<const Byte> file) {
  return file.size() >= kSignatureLength &&
         std::equal(BrimwellConst::kQuillonSignature.begin(),
                    BrimwellConst::kQuillonSignature.end(), file.begin());
}

}  // namespace

std::string LastRomPath(const QuillonRecord& record) {
  return SlotText(record, kLastRomPath, 0);
}

QuillonLoadResult ParseQuillonData(std::span<const Byte> file, QuillonRecord& record) {
  record = {};
  if (!file.empty() && file.front() == kOlderLayoutMarker) {
    ConvertOlderLayout(file, record);
    return QuillonLoadResult::Loaded;
  }
  if (!HasSignature(file)) return QuillonLoadResult::InvalidSignature;
  const auto contents = file.subspan(kSignatureLength);
  std::copy_n(contents.begin(), std::min(contents.size(), record.bytes.size()),
              record.bytes.begin());
  return QuillonLoadResult::Loaded;
}

std::string QuillonFileBesideExecutable(PlatformFiles& files) {
  return files.ExecutableFolder() + kQuillonFileName;
}

QuillonLoadResult LoadQuillonData(PlatformFiles& files, const std::string& path,
                                  QuillonRecord& record) {
  const auto file = files.ReadFileExclusively(path, kLongestFileLength);
  if (!file) {
    record = {};
    return QuillonLoadResult::NotFound;
  }
  return ParseQuillonData(*file, record);
}

void FillNameLists(const QuillonRecord& record, ConstRomBytes image, SpriteNameList& sprites,
                   DialogueNameList& dialogues) {
  const HandlerAddressList addresses = ReadHandlerAddresses(image);
  static_assert(kSpriteNames.count == addresses.size());
  sprites.clear();
  for (std::size_t i = 0; i < kSpriteNames.count; ++i)
    sprites.push_back({SlotText(record, kSpriteNames, i), addresses[i]});
  dialogues.clear();
  for (std::size_t i = 0; i < kDialogueNames.count; ++i)
    dialogues.push_back(SlotText(record, kDialogueNames, i));
}

}  // namespace brimwell
