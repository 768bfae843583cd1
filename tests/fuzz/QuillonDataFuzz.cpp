// Fuzzes the reader of Quillon's data file on arbitrary bytes, in both layouts: the names and the
// last ROM path that it gives must be the strings in the file's slots.

#include <algorithm>
#include <cstring>

#include "BrimwellConst.h"
#include "FuzzTarget.h"
#include "TestQuillon.h"
#include "rom/AnsiText.h"
#include "rom/QuillonData.h"

namespace brimwell::fuzz {
namespace {

using testing::QuillonFileSlots;

constexpr Byte kOlderLayoutMarker = 0xC7;
constexpr std::string_view kSignature = "QWL1";
constexpr std::size_t kSpriteNameLength = 26;
constexpr std::size_t kDialogueNameLength = 31;

// The string in slot i of the file: up to its first zero byte, at most `kept` bytes. Bytes past
// the file's end count as zero.
std::string FileString(std::span<const Byte> file, const QuillonFileSlots& slots, std::size_t i,
                       std::size_t kept) {
  const std::size_t begin = std::min(slots.SlotOffset(i), file.size());
  const std::size_t end = std::min(begin + std::min(slots.slotLength, kept), file.size());
  const auto slot = file.subspan(begin, end - begin);
  return DecodeWindows1252(
      slot.first(std::size_t(std::find(slot.begin(), slot.end(), 0) - slot.begin())));
}

// memcmp against itself shifted by one: far faster than a byte loop in instrumented code.
bool AllZero(std::span<const Byte> bytes) {
  return bytes.empty() ||
         (bytes[0] == 0 && std::memcmp(bytes.data(), bytes.data() + 1, bytes.size() - 1) == 0);
}

struct Layout {
  QuillonFileSlots sprites;
  QuillonFileSlots dialogues;
};

void CheckNames(std::span<const Byte> file, const QuillonRecord& record, const Layout& layout) {
  const std::vector<Byte>& image = TestRomImage();
  SpriteNameList sprites;
  DialogueNameList dialogues;
  FillNameLists(record, image, sprites, dialogues);
  FUZZ_CHECK(sprites.size() == 208 && dialogues.size() == 256, "the name lists are not whole");
  for (std::size_t i = 0; i < sprites.size(); ++i) {
    FUZZ_CHECK(sprites[i].name == FileString(file, layout.sprites, i, kSpriteNameLength),
               "sprite name " + std::to_string(i));
    const std::size_t word = BrimwellConst::kSpriteHandlerTable + 2 * i;
    FUZZ_CHECK(sprites[i].handlerAddress == (image[word] | image[word + 1] << 8),
               "handler address of sprite " + std::to_string(i));
  }
  for (std::size_t i = 0; i < dialogues.size(); ++i)
    FUZZ_CHECK(dialogues[i] == FileString(file, layout.dialogues, i, kDialogueNameLength),
               "dialogue name " + std::to_string(i));
}

// The record is the file after its signature, cut or padded with zero bytes.
void CheckCurrentLayout(std::span<const Byte> file, const QuillonRecord& record) {
  using namespace testing::current_quillon_layout;
  const auto contents = file.subspan(kSignature.size());
  const std::size_t supplied = std::min(contents.size(), record.bytes.size());
  FUZZ_CHECK(std::equal(contents.begin(), contents.begin() + supplied, record.bytes.begin()),
             "the record differs from the file");
  FUZZ_CHECK(AllZero(std::span(record.bytes).subspan(supplied)),
             "bytes the file does not supply are not zero");
  FUZZ_CHECK(LastRomPath(record) == FileString(file, kPath, 0, kPath.slotLength),
             "the last ROM path differs from the file's");
  CheckNames(file, record, {kSprites, kDialogues});
}

void CheckOlderLayout(std::span<const Byte> file, const QuillonRecord& record) {
  using namespace testing::older_quillon_layout;
  FUZZ_CHECK(LastRomPath(record).empty(), "the older layout has no ROM path");
  CheckNames(file, record, {kSprites, kDialogues});
}

Seed MakeSeed(std::string name, std::vector<Byte> bytes) {
  return {std::move(name), std::move(bytes)};
}

}  // namespace

void TestOneInput(FuzzInput& input) {
  const std::span<const Byte> file = input.TakeRest();
  QuillonRecord record;
  record.bytes.fill(0x5A);  // the reader must clear what it does not fill
  const QuillonLoadResult result = ParseQuillonData(file, record);

  const bool older = !file.empty() && file[0] == kOlderLayoutMarker;
  const bool current = !older && file.size() >= kSignature.size() &&
                       std::equal(kSignature.begin(), kSignature.end(), file.begin());
  if (older || current) {
    FUZZ_CHECK(result == QuillonLoadResult::Loaded, "a file of a known layout was refused");
    older ? CheckOlderLayout(file, record) : CheckCurrentLayout(file, record);
    return;
  }
  FUZZ_CHECK(result == QuillonLoadResult::InvalidSignature, "a file without a layout was taken");
  FUZZ_CHECK(AllZero(record.bytes), "a refused file left bytes in the record");
}

std::vector<Seed> Seeds() {
  const testing::QuillonContent content = {
      .lastRomPath = "C:\\Games\\FF1\\Final Fantasy (U).nes",
      .spriteNames = {{0, "King"}, {1, std::string(26, 'S')}, {2, "Caf\xE9"}, {207, "Last"}},
      .dialogueNames = {{0, "Welcome"}, {1, std::string(31, 'D')}, {255, "Bye"}},
      .names16 = {{0, "sixteen"}},
      .names128 = {{127, "one twenty-eight"}},
      .names44 = {{43, "forty-four"}},
  };
  testing::QuillonContent older = content;
  older.lastRomPath.clear();
  older.spriteNames[1] = std::string(31, 'S');    // cut to 26
  older.dialogueNames[1] = std::string(46, 'D');  // cut to 31

  const std::vector<Byte> current = testing::MakeCurrentQuillonFile(content);
  return {
      MakeSeed("current-layout", current),
      MakeSeed("older-layout", testing::MakeOlderQuillonFile(older)),
      MakeSeed("current-100-bytes", {current.begin(), current.begin() + 100}),
      MakeSeed("signature-only", {'Q', 'W', 'L', '1'}),
      MakeSeed("older-marker-only", {kOlderLayoutMarker}),
      MakeSeed("bad-signature", {'Q', 'W', 'L', '2', 0, 0}),
      MakeSeed("empty", {}),
  };
}

}  // namespace brimwell::fuzz
