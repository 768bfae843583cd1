#include "rom/QuillonData.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>

#include "RecordingPlatform.h"
#include "TestFiles.h"
#include "TestQuillon.h"
#include "TestRom.h"

namespace brimwell {
namespace {

using testing::FolderWithSeparator;
using testing::MakeCurrentQuillonFile;
using testing::MakeOlderQuillonFile;
using testing::MakeTestRom;
using testing::PlaceQuillonFile;
using testing::QuillonContent;
using testing::QuillonSlots;
using testing::RecordingPlatform;
using testing::ScratchFolder;

constexpr std::size_t kSpriteCount = 208;
constexpr std::size_t kDialogueCount = 256;

QuillonRecord Parsed(std::span<const Byte> file) {
  QuillonRecord record;
  EXPECT_EQ(ParseQuillonData(file, record), QuillonLoadResult::Loaded);
  return record;
}

std::vector<Byte> Record(const QuillonRecord& record) {
  return {record.bytes.begin(), record.bytes.end()};
}

struct NameLists {
  std::vector<std::string> sprites;
  std::vector<std::string> dialogues;
};

NameLists NamesOf(const QuillonRecord& record) {
  SpriteNameList sprites;
  DialogueNameList dialogues;
  FillNameLists(record, MakeTestRom(), sprites, dialogues);
  NameLists names{{}, dialogues};
  for (const auto& sprite : sprites) names.sprites.push_back(sprite.name);
  return names;
}

// All names empty except the given ones.
NameLists ExpectedNames(const QuillonSlots& sprites, const QuillonSlots& dialogues) {
  NameLists names{std::vector<std::string>(kSpriteCount), std::vector<std::string>(kDialogueCount)};
  for (const auto& [index, name] : sprites) names.sprites[index] = name;
  for (const auto& [index, name] : dialogues) names.dialogues[index] = name;
  return names;
}

void ExpectNames(const QuillonRecord& record, const NameLists& expected) {
  const NameLists actual = NamesOf(record);
  EXPECT_EQ(actual.sprites, expected.sprites);
  EXPECT_EQ(actual.dialogues, expected.dialogues);
}

TEST(QuillonCurrentLayout, IsTheRecordBehindTheSignatureAndNamesEverySlot) {
  const QuillonSlots sprites = {
      {0, "Bat"}, {1, std::string(26, 'S')}, {2, "Next"}, {207, "Last sprite"}};
  const QuillonSlots dialogues = {
      {0, "Hello"}, {100, std::string(31, 'D')}, {101, "After"}, {255, "End"}};
  QuillonContent content{"/roms/Final Fantasy.nes", sprites, dialogues};
  content.names16 = {{15, "sixteen"}};
  content.names128 = {{0, "one twenty-eight"}};
  content.names44 = {{43, "forty-four"}};
  const auto file = MakeCurrentQuillonFile(content);

  const QuillonRecord record = Parsed(file);

  EXPECT_EQ(Record(record), testing::Slice(file, 4, kQuillonRecordSize));
  EXPECT_EQ(LastRomPath(record), "/roms/Final Fantasy.nes");
  ExpectNames(record, ExpectedNames(sprites, dialogues));
}

TEST(QuillonCurrentLayout, APathThatFillsItsFieldStopsAtTheFieldsEnd) {
  const std::string path(1000, 'p');
  EXPECT_EQ(LastRomPath(Parsed(MakeCurrentQuillonFile({path}))), path);
}

TEST(QuillonCurrentLayout, NamesAndPathAreDecodedFromWindows1252) {
  QuillonContent content{"C:\\Jeux\\\xC9t\xE9.nes"};
  content.spriteNames = {{3, "Caf\xE9 \x80\x81"}};
  content.dialogueNames = {{7, "\x93Hi\x94"}};
  const QuillonRecord record = Parsed(MakeCurrentQuillonFile(content));

  EXPECT_EQ(LastRomPath(record), "C:\\Jeux\\\u00C9t\u00E9.nes");
  ExpectNames(record, ExpectedNames({{3, "Caf\u00E9 \u20AC\u0081"}}, {{7, "\u201CHi\u201D"}}));
}

struct OlderSlotCase {
  const char* name;
  QuillonSlots QuillonContent::*slots;
  std::size_t sourceSlotLength;
  std::size_t recordOffset;
  std::size_t recordSlotLength;
  std::size_t count;
};

void PrintTo(const OlderSlotCase& param, std::ostream* out) {
  *out << param.name;
}

class QuillonOlderLayout : public ::testing::TestWithParam<OlderSlotCase> {};

// Each array goes slot by slot into its place in the record: names up to their zero byte, cut to
// the new slot, the rest of the slot zero; nothing else of the file reaches the record.
TEST_P(QuillonOlderLayout, ConvertsTheSlotArrayIntoTheRecord) {
  const auto& param = GetParam();
  const std::string full(param.sourceSlotLength, 'L');
  QuillonContent content{"/ignored.nes"};
  content.*param.slots = {{0, "ab"}, {1, full}, {2, "Next"}, {param.count - 1, "Z"}};

  const QuillonRecord record = Parsed(MakeOlderQuillonFile(content));

  std::vector<Byte> expected(kQuillonRecordSize);
  auto put = [&](std::size_t slot, const std::string& name) {
    std::copy(
        name.begin(), name.end(),
        expected.begin() + std::ptrdiff_t(param.recordOffset + slot * param.recordSlotLength));
  };
  put(0, "ab");
  put(1, full.substr(0, std::min(param.sourceSlotLength, param.recordSlotLength)));
  put(2, "Next");
  put(param.count - 1, "Z");
  EXPECT_EQ(Record(record), expected);
  EXPECT_EQ(LastRomPath(record), "");
}

INSTANTIATE_TEST_SUITE_P(
    SlotArrays, QuillonOlderLayout,
    ::testing::Values(
        OlderSlotCase{"SpriteNamesCutTo26", &QuillonContent::spriteNames, 31, 27647, 26, 208},
        OlderSlotCase{"DialogueNamesCutTo31", &QuillonContent::dialogueNames, 46, 1012, 31, 256},
        OlderSlotCase{"Names16Widened", &QuillonContent::names16, 36, 16598, 41, 16},
        OlderSlotCase{"Names128Widened", &QuillonContent::names128, 21, 12630, 31, 128},
        OlderSlotCase{"Names44Widened", &QuillonContent::names44, 16, 9536, 21, 44}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(QuillonOlderLayout, NamesReachTheListsCutToTheirNewLength) {
  const QuillonSlots sprites = {{0, std::string(31, 's')}, {1, "Guard"}};
  const QuillonSlots dialogues = {{40, std::string(40, 'd')}, {41, "Kept"}};
  ExpectNames(Parsed(MakeOlderQuillonFile({"", sprites, dialogues})),
              ExpectedNames({{0, std::string(26, 's')}, {1, "Guard"}},
                            {{40, std::string(31, 'd')}, {41, "Kept"}}));
}

TEST(QuillonOlderLayout, AFirstByteOf0xC7AlwaysMeansTheOlderLayout) {
  const std::vector<Byte> zeros(kQuillonRecordSize);
  EXPECT_EQ(Record(Parsed(std::vector<Byte>{0xC7})), zeros);
  EXPECT_EQ(Record(Parsed(std::vector<Byte>{0xC7, 'W', 'L', '1'})), zeros);

  auto disguised = MakeCurrentQuillonFile({"/roms/ff.nes"});
  disguised[0] = 0xC7;
  EXPECT_EQ(LastRomPath(Parsed(disguised)), "");
}

TEST(QuillonSignature, EveryFileWithoutItIsRefusedAndLeavesTheRecordZero) {
  const auto good = MakeCurrentQuillonFile({"/roms/ff.nes", {{0, "Bat"}}, {{0, "Hi"}}});
  auto expectRefused = [](const std::vector<Byte>& file) {
    QuillonRecord record;
    record.bytes.fill(0x5A);
    EXPECT_EQ(ParseQuillonData(file, record), QuillonLoadResult::InvalidSignature);
    EXPECT_EQ(Record(record), std::vector<Byte>(kQuillonRecordSize));
  };
  for (std::size_t length = 0; length < 4; ++length) {
    SCOPED_TRACE(length);
    expectRefused(testing::Slice(good, 0, length));
  }
  for (std::size_t position = 0; position < 4; ++position) {
    for (int value = 0; value < 256; ++value) {
      if (value == good[position] || (position == 0 && value == 0xC7)) continue;
      SCOPED_TRACE(std::to_string(position) + ": " + std::to_string(value));
      auto file = good;
      file[position] = Byte(value);
      expectRefused(file);
    }
  }
}

std::vector<Byte> Truncated(std::vector<Byte> file, std::size_t length) {
  file.resize(length);
  return file;
}

TEST(QuillonShortFile, AHundredByteCurrentFileHoldsOnlyPartOfThePath) {
  std::string path;
  for (int i = 0; i < 200; ++i) path += char('a' + i % 26);
  const auto file = Truncated(MakeCurrentQuillonFile({path, {{0, "Bat"}}}), 100);

  const QuillonRecord record = Parsed(file);

  EXPECT_EQ(LastRomPath(record), path.substr(0, 96));
  EXPECT_EQ(Record(record), Truncated(testing::Slice(file, 4, 96), kQuillonRecordSize));
  ExpectNames(record, ExpectedNames({}, {}));
}

TEST(QuillonShortFile, ReadingStopsInsideASlotOfEitherLayout) {
  const QuillonContent content{
      "/p.nes", {{4, "Four"}, {5, "Fifth"}, {6, "Six"}}, {{2, "Two"}, {3, "Third"}, {4, "Four"}}};
  // Two bytes into sprite slot 5 of the current layout: the dialogues come first in the file.
  ExpectNames(Parsed(Truncated(MakeCurrentQuillonFile(content), 27651 + 26 * 5 + 2)),
              ExpectedNames({{4, "Four"}, {5, "Fi"}}, content.dialogueNames));
  // Two bytes into dialogue slot 3 of the older layout, where the sprites come first.
  ExpectNames(Parsed(Truncated(MakeOlderQuillonFile(content), 15361 + 46 * 3 + 2)),
              ExpectedNames(content.spriteNames, {{2, "Two"}, {3, "Th"}}));
  // The signature alone.
  EXPECT_EQ(Record(Parsed(std::vector<Byte>{'Q', 'W', 'L', '1'})),
            std::vector<Byte>(kQuillonRecordSize));
}

TEST(QuillonNameLists, HoldEverySpriteWithItsHandlerAndEveryDialogue) {
  auto image = MakeTestRom();
  image[0x390E3] = 0x34;
  image[0x390E4] = 0x12;
  image[0x39281] = 0xCD;
  image[0x39282] = 0xAB;
  const QuillonRecord record = Parsed(MakeCurrentQuillonFile({"", {{0, "Bat"}, {207, "Last"}}}));
  SpriteNameList sprites(3);
  DialogueNameList dialogues(300, "stale");

  FillNameLists(record, image, sprites, dialogues);

  ASSERT_EQ(sprites.size(), kSpriteCount);
  EXPECT_EQ(dialogues, DialogueNameList(kDialogueCount));
  EXPECT_EQ(sprites[0].name, "Bat");
  EXPECT_EQ(sprites[0].handlerAddress, 0x1234);
  EXPECT_EQ(sprites[1].handlerAddress, image[0x390E5] | image[0x390E6] << 8);
  EXPECT_EQ(sprites[207].name, "Last");
  EXPECT_EQ(sprites[207].handlerAddress, 0xABCD);
}

TEST(QuillonNameLists, AnImageWithoutTheHandlerTableGivesZeroAddresses) {
  SpriteNameList sprites;
  DialogueNameList dialogues;
  FillNameLists(QuillonRecord{}, MakeTestRom(0x390E4), sprites, dialogues);
  ASSERT_EQ(sprites.size(), kSpriteCount);
  EXPECT_EQ(dialogues.size(), kDialogueCount);
  for (const auto& sprite : sprites) EXPECT_EQ(sprite.handlerAddress, 0);
}

struct LoadCase {
  const char* name;
  std::optional<std::vector<Byte>> file;
  bool heldOpenElsewhere;
  QuillonLoadResult result;
  std::string lastRomPath;
};

void PrintTo(const LoadCase& param, std::ostream* out) {
  *out << param.name;
}

class QuillonLoad : public ::testing::TestWithParam<LoadCase> {};

TEST_P(QuillonLoad, ReadsTheFileBesideTheExecutable) {
  const auto& param = GetParam();
  ScratchFolder folder;
  RecordingPlatform platform;
  platform.executableFolder =
      param.file ? PlaceQuillonFile(folder, *param.file) : FolderWithSeparator(folder);
  std::optional<testing::FileHeldOpen> holder;
  if (param.heldOpenElsewhere)
    holder.emplace(folder.File("Quillon.dat"), testing::HeldFor::Reading);
  QuillonRecord record;
  record.bytes.fill(0x5A);

  EXPECT_EQ(LoadQuillonData(platform, QuillonFileBesideExecutable(platform), record), param.result);

  holder.reset();
  EXPECT_EQ(LastRomPath(record), param.lastRomPath);
  if (param.result == QuillonLoadResult::Loaded)
    EXPECT_EQ(Record(record), testing::Slice(*param.file, 4, kQuillonRecordSize));
  else
    EXPECT_EQ(Record(record), std::vector<Byte>(kQuillonRecordSize));
  EXPECT_TRUE(platform.events.empty());
}

std::vector<Byte> WithTrailingBytes(std::vector<Byte> file) {
  file.insert(file.end(), 500, 0x77);
  return file;
}

INSTANTIATE_TEST_SUITE_P(
    Files, QuillonLoad,
    ::testing::Values(LoadCase{"Found", MakeCurrentQuillonFile({"/roms/ff.nes"}), false,
                               QuillonLoadResult::Loaded, "/roms/ff.nes"},
                      LoadCase{"LongerThanTheLayout",
                               WithTrailingBytes(MakeCurrentQuillonFile({"/r.nes"})), false,
                               QuillonLoadResult::Loaded, "/r.nes"},
                      LoadCase{"Missing", std::nullopt, false, QuillonLoadResult::NotFound, ""},
                      LoadCase{"HeldOpenElsewhere", MakeCurrentQuillonFile({"/roms/ff.nes"}), true,
                               QuillonLoadResult::NotFound, ""},
                      LoadCase{"Invalid", std::vector<Byte>{'Q', 'W', 'L', '2', 'x'}, false,
                               QuillonLoadResult::InvalidSignature, ""}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace brimwell
