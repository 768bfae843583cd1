// Loading and storing a sprite's talk settings on synthetic images: the exact bytes of the
// parameter record and the routines, and that nothing else in the image moves.

#include "sprites/SpriteTalk.h"

#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>
#include <vector>

#include "EditedTalk.h"
#include "TestRom.h"

namespace brimwell {
namespace {

using testing::DifferingOffsets;
using testing::EditedTalk;
using testing::MakeTestRom;
using testing::Slice;

constexpr std::size_t kPointerTable = 0x390E3;
constexpr std::size_t kParameterTable = 0x395E5;
constexpr std::size_t kSprite = 100;

// Handler positions used by name below.
constexpr std::size_t kFightGarland = 1, kPrincessRescued = 2, kElfDoctor = 4, kBlacksmith = 8,
                      kNothing = 23, kVisible = 24, kSimpleText = 25, kLinked = 26, kBattle = 28,
                      kNothing2 = 29, kPlotItem = 30, kPlotCompleted = 33, kCanoe = 36;

// The routine bytes that a store of each type writes; every other routine byte is read-only.
const std::map<std::size_t, std::vector<std::size_t>> kStoredRoutineBytes = {
    {1, {0x392C7}}, {2, {0x392D9}}, {3, {0x392EB}}, {6, {0x39359}}, {8, {0x39394, 0x393A6}},
};

std::size_t Record(std::size_t sprite) {
  return kParameterTable + 4 * sprite;
}

void PutRecord(std::vector<Byte>& image, std::size_t sprite, std::vector<Byte> bytes) {
  std::copy(bytes.begin(), bytes.end(), image.begin() + Record(sprite));
}

std::uint16_t Address(std::size_t entry) {
  return HandlerCatalogue[entry].address;
}

TEST(SpriteTalkStore, ChangesOnlyTheRecordAndTheTypesOwnRoutineBytes) {
  for (std::size_t entry = 0; entry < kHandlerCount; ++entry) {
    SCOPED_TRACE(::testing::Message() << "entry " << entry);
    std::vector<Byte> image = MakeTestRom();
    const std::vector<Byte> before = image;
    StoreSprite(image, kSprite, EditedTalk(entry));

    std::set<std::size_t> allowed;
    for (std::size_t k = 0; k < 4; ++k) allowed.insert(Record(kSprite) + k);
    const auto routine = kStoredRoutineBytes.find(entry);
    if (routine != kStoredRoutineBytes.end()) {
      allowed.insert(routine->second.begin(), routine->second.end());
      EXPECT_EQ(image[routine->second[0]], 0xC4);  // the aux value
      if (routine->second.size() > 1) {
        EXPECT_EQ(image[routine->second[1]], 0xC5);
      }
    }
    for (std::size_t offset : DifferingOffsets(before, image))
      EXPECT_TRUE(allowed.contains(offset)) << std::hex << offset;
  }
}

TEST(SpriteTalkStore, InertTypesAndUnknownAddressesWriteNothing) {
  for (std::uint16_t address : {Address(kNothing), Address(kNothing2), std::uint16_t{0x9298},
                                std::uint16_t{0x0000}, std::uint16_t{0xFFFF}}) {
    SCOPED_TRACE(address);
    std::vector<Byte> image = MakeTestRom();
    const std::vector<Byte> before = image;
    SpriteTalk talk = EditedTalk(kSimpleText);
    talk.handlerAddress = address;
    StoreSprite(image, kSprite, talk);
    EXPECT_EQ(image, before);

    const SpriteTalk loaded = LoadSprite(image, kSprite, address);
    EXPECT_TRUE(loaded.active.Empty());
    EXPECT_EQ(loaded.Text1, 0);
    EXPECT_EQ(loaded.PlotEvent, 0u);
    EXPECT_EQ(loaded.Item, 0u);
    EXPECT_FALSE(loaded.Disappears);
  }
}

struct StoreCase {
  std::size_t entry;
  std::size_t sprite;
  std::vector<Byte> before;
  std::size_t plotEvent;
  std::optional<std::size_t> item;
  Byte auxValue;
  std::vector<Byte> after;
};

TEST(SpriteTalkStore, WritesByteZeroAndByteThreeByTheTypesRule) {
  const std::vector<Byte> held = {0x5A, 0x5B, 0x5C, 0x5D};
  const StoreCase cases[] = {
      {kSimpleText, kSprite, held, 0, 0, 0, {0x00, 0xA1, 0x00, 0x00}},
      {kLinked, 10, held, 0, 0, 0, {0x0A, 0xA1, 0x00, 0x0B}},
      {kLinked, 207, held, 0, 0, 0, {0xCF, 0xA1, 0x00, 0xD0}},
      {kBattle, 10, held, 0, 0, 0x05, {0x0A, 0xA1, 0x00, 0x05}},
      {kCanoe, kSprite, held, 0, 0, 0, {0x11, 0xA1, 0xA2, 0x00}},
      {kVisible, kSprite, held, 23, 0, 0, {0x17, 0xA1, 0xA2, 0x00}},
      {kVisible, kSprite, held, 24, 0, 0, {0x5A, 0xA1, 0xA2, 0x00}},
      {kPlotCompleted, kSprite, held, 0, 0, 0, {0x00, 0xA1, 0xA2, 0x00}},
      {kPlotCompleted, kSprite, {0xFF, 0, 0, 0}, 24, 0, 0, {0xFF, 0xA1, 0xA2, 0x00}},
      {kPlotItem, kSprite, held, 0, 1, 0, {0x01, 0xA1, 0xA2, 0x00}},
      {kPlotItem, kSprite, held, 0, 21, 0, {0x15, 0xA1, 0xA2, 0x00}},
      {kPlotItem, kSprite, {0x16, 0, 0, 0}, 0, 22, 0, {0x16, 0xA1, 0xA2, 0x00}},
      {kPlotItem, kSprite, held, 0, std::nullopt, 0, {0x5A, 0xA1, 0xA2, 0x00}},
      {kFightGarland, kSprite, held, 5, 5, 0x7F, {0x00, 0xA1, 0x00, 0x00}},
  };
  for (const StoreCase& c : cases) {
    SCOPED_TRACE(::testing::Message() << "entry " << c.entry << " sprite " << c.sprite);
    std::vector<Byte> image = MakeTestRom();
    PutRecord(image, c.sprite, c.before);
    SpriteTalk talk = EditedTalk(c.entry);
    talk.PlotEvent = c.plotEvent;
    talk.Item = c.item;
    talk.AuxValue = c.auxValue;
    StoreSprite(image, c.sprite, talk);
    EXPECT_EQ(Slice(image, Record(c.sprite), 4), c.after);
  }
}

TEST(SpriteTalkLoad, ReadsEachSourceByItsEncoding) {
  std::vector<Byte> image = MakeTestRom();
  PutRecord(image, kSprite, {0x15, 0x31, 0x32, 0x33});
  image[0x3937D] = 0x17;  // blacksmith: plot event, read-only
  image[0x39387] = 0x21;  // item LUTE, read-only
  image[0x39394] = 0x2A;
  image[0x393A6] = 0x9C;

  const SpriteTalk smith = LoadSprite(image, kSprite, Address(kBlacksmith));
  EXPECT_EQ(smith.entry, kBlacksmith);
  EXPECT_EQ(smith.active, HandlerCatalogue[kBlacksmith].active);
  EXPECT_EQ((std::vector<Byte>{smith.Text1, smith.Text2, smith.Text3}),
            (std::vector<Byte>{0x31, 0x32, 0x33}));
  EXPECT_EQ(kPlotEvents[smith.PlotEvent], "TOF Plate (removed?)");
  EXPECT_EQ(smith.Item, 1u);
  EXPECT_EQ(smith.AuxValue, 0x2A);
  EXPECT_EQ(smith.AuxText, 0x9C);
  EXPECT_FALSE(smith.Disappears);

  // The same four bytes under another layout: byte 0 is an item, byte 3 no text.
  const SpriteTalk item = LoadSprite(image, kSprite, Address(kPlotItem));
  EXPECT_EQ(kItems[*item.Item], "Earth ORB");
  EXPECT_EQ((std::vector<Byte>{item.Text1, item.Text2, item.Text3}),
            (std::vector<Byte>{0x31, 0x32, 0x00}));
  EXPECT_EQ(item.AuxValue, 0);

  const SpriteTalk battle = LoadSprite(image, kSprite, Address(kBattle));
  EXPECT_EQ(battle.AuxValue, 0x33);
  EXPECT_TRUE(battle.Disappears);
  EXPECT_EQ(battle.Text2, 0);
}

TEST(SpriteTalkLoad, ShowsReadOnlySettingsOutsideTheActiveSet) {
  std::vector<Byte> image = MakeTestRom();
  image[0x392D4] = 0x03;
  image[0x392D9] = 0x44;
  const SpriteTalk princess = LoadSprite(image, kSprite, Address(kPrincessRescued));
  EXPECT_FALSE(princess.active.Has(TalkSetting::PlotEvent));
  EXPECT_EQ(princess.PlotEvent, 3u);
  EXPECT_EQ(princess.AuxValue, 0x44);

  image[0x3931C] = 0x1F;  // the elf doctor's item operand below the items
  EXPECT_EQ(LoadSprite(image, kSprite, Address(kElfDoctor)).Item, std::nullopt);
}

TEST(SpriteTalkLoad, GivesBackWhatAStoreWrote) {
  for (std::size_t entry = 0; entry < kHandlerCount; ++entry) {
    SCOPED_TRACE(::testing::Message() << "entry " << entry);
    const HandlerType& type = HandlerCatalogue[entry];
    const SpriteTalk stored = EditedTalk(entry);
    std::vector<Byte> image = MakeTestRom();
    StoreSprite(image, kSprite, stored);
    const SpriteTalk loaded = LoadSprite(image, kSprite, stored.handlerAddress);

    const auto active = [&](TalkSetting setting) { return type.active.Has(setting); };
    EXPECT_EQ(loaded.Text1, active(TalkSetting::Text1) ? stored.Text1 : 0);
    EXPECT_EQ(loaded.Text2, active(TalkSetting::Text2) ? stored.Text2 : 0);
    EXPECT_EQ(loaded.Text3, active(TalkSetting::Text3) ? stored.Text3 : 0);
    if (type.plotEvent.editable) {
      EXPECT_EQ(loaded.PlotEvent, stored.PlotEvent);
    }
    if (type.item.editable) {
      EXPECT_EQ(loaded.Item, stored.Item);
    }
    if (type.auxValue.editable) {
      EXPECT_EQ(loaded.AuxValue, stored.AuxValue);
    }
    if (type.auxText.editable) {
      EXPECT_EQ(loaded.AuxText, stored.AuxText);
    }
    if (type.nextSprite.Exists()) {
      EXPECT_EQ(loaded.NextSprite, kSprite + 1);
    }
  }
}

TEST(SpriteTalkBounds, SpriteIdsBeyondTheTablesAndShortImagesAreLeftAlone) {
  std::vector<Byte> image = MakeTestRom();
  const std::vector<Byte> before = image;
  StoreSprite(image, 208, EditedTalk(kSimpleText));
  EXPECT_EQ(image, before);
  EXPECT_TRUE(LoadSprite(image, 208, Address(kSimpleText)).active.Empty());

  std::vector<Byte> shortImage = MakeTestRom(0x39924);
  const std::vector<Byte> shortBefore = shortImage;
  StoreSprite(shortImage, 0, EditedTalk(kSimpleText));
  WriteHandlerAddresses(shortImage, HandlerAddressList{});
  EXPECT_EQ(shortImage, shortBefore);
  EXPECT_EQ(ReadHandlerAddresses(shortImage), HandlerAddressList{});
}

TEST(HandlerAddresses, AreReadAndWrittenLittleEndianInTheTableOnly) {
  std::vector<Byte> image = MakeTestRom();
  image[kPointerTable] = 0x97;
  image[kPointerTable + 1] = 0x92;
  image[kPointerTable + 2 * 207] = 0x34;
  image[kPointerTable + 2 * 207 + 1] = 0x12;
  HandlerAddressList addresses = ReadHandlerAddresses(image);
  EXPECT_EQ(addresses[0], 0x9297);
  EXPECT_EQ(addresses[207], 0x1234);

  const std::vector<Byte> before = image;
  WriteHandlerAddresses(image, addresses);
  EXPECT_EQ(image, before);

  addresses[207] = 0xABCD;
  WriteHandlerAddresses(image, addresses);
  EXPECT_EQ(DifferingOffsets(before, image),
            (std::vector<std::size_t>{kPointerTable + 414, kPointerTable + 415}));
  EXPECT_EQ(Slice(image, kPointerTable + 414, 2), (std::vector<Byte>{0xCD, 0xAB}));
}

TEST(HandlerAddresses, OnlyTheGamesOwnSpritesHaveFixedHandlers) {
  for (std::size_t sprite = 0; sprite < 208; ++sprite)
    EXPECT_EQ(HasFixedHandler(sprite), sprite <= 30 || sprite == 187 || sprite == 202) << sprite;
}

TEST(TalkEncodings, PlotEventsAndItemsCoverEveryByte) {
  EXPECT_EQ(PlotEventEntry(0x17), 23u);
  EXPECT_EQ(PlotEventEntry(0x18), 24u);
  EXPECT_EQ(PlotEventEntry(0xFF), 24u);
  EXPECT_EQ(PlotEventByte(23), 0x17);
  EXPECT_EQ(PlotEventByte(24), std::nullopt);

  EXPECT_EQ(ItemEntryOfRoutineByte(0x1F), std::nullopt);
  EXPECT_EQ(ItemEntryOfRoutineByte(0x20), 0u);
  EXPECT_EQ(ItemEntryOfRoutineByte(0x21), 1u);
  EXPECT_EQ(ItemEntryOfRoutineByte(0x35), 21u);
  EXPECT_EQ(ItemEntryOfRoutineByte(0x36), 22u);
  EXPECT_EQ(ItemEntryOfRoutineByte(0xFF), 22u);
  EXPECT_EQ(ItemEntryOfParameter(0x15), 21u);
  EXPECT_EQ(ItemEntryOfParameter(0x16), 22u);
  EXPECT_EQ(ItemParameterByte(21), 0x15);
  EXPECT_EQ(ItemParameterByte(22), std::nullopt);
}

TEST(TalkEncodings, SettingBitsAreTheWindowsEnableMask) {
  const std::pair<TalkSetting, std::uint16_t> bits[] = {
      {TalkSetting::Text1, 0x001},      {TalkSetting::Text2, 0x002},
      {TalkSetting::Text3, 0x004},      {TalkSetting::PlotEvent, 0x008},
      {TalkSetting::Item, 0x010},       {TalkSetting::AuxValue, 0x020},
      {TalkSetting::Disappears, 0x040}, {TalkSetting::AuxText, 0x080},
      {TalkSetting::NextSprite, 0x100},
  };
  for (const auto& [setting, bit] : bits) EXPECT_EQ(SettingSet(setting).Bits(), bit);
  EXPECT_EQ(HandlerCatalogue[kBlacksmith].active.Bits(), 0x0A7);
}

TEST(ListEntries, MapEveryDropDownSettingOntoItsFieldAndBack) {
  using enum TalkSetting;
  const SpriteTalk talk = EditedTalk(kBlacksmith);
  const std::pair<TalkSetting, std::optional<std::size_t>> shown[] = {
      {Text1, 0xA1},
      {Text2, 0xA2},
      {Text3, 0xA3},
      {PlotEvent, 9},
      {Item, 7},
      {AuxText, 0xC5},
      {AuxValue, std::nullopt},
      {Disappears, std::nullopt},
      {NextSprite, std::nullopt},
  };
  SpriteTalk copy;
  for (const auto& [setting, entry] : shown) {
    EXPECT_EQ(ListEntry(talk, setting), entry) << static_cast<int>(setting);
    SetListEntry(copy, setting, ListEntry(talk, setting));
  }
  for (const auto& [setting, entry] : shown) EXPECT_EQ(ListEntry(copy, setting), entry);
  EXPECT_EQ(copy.AuxValue, 0);

  // No entry: an item stays unnamed so that its byte is kept; the rest fall back to neutral.
  for (TalkSetting setting : {Text1, Text2, Text3, PlotEvent, Item, AuxText})
    SetListEntry(copy, setting, std::nullopt);
  EXPECT_EQ(copy.Item, std::nullopt);
  for (TalkSetting setting : {Text1, Text2, Text3, PlotEvent, AuxText})
    EXPECT_EQ(ListEntry(copy, setting), 0u);
}

TEST(AuxValue, IsFormattedAsDollarAndTwoUpperCaseDigits) {
  EXPECT_EQ(FormatAuxValue(0x00), "$00");
  EXPECT_EQ(FormatAuxValue(0x1F), "$1F");
  EXPECT_EQ(FormatAuxValue(0xAB), "$AB");
  EXPECT_EQ(FormatAuxValue(0xFF), "$FF");
  for (int value = 0; value <= 0xFF; ++value)
    EXPECT_EQ(ParseAuxValue(FormatAuxValue(static_cast<Byte>(value))), value);
}

TEST(AuxValue, ParsesNumbersClampedAndAnythingElseAsZero) {
  const std::pair<const char*, int> cases[] = {
      {"$1F", 31},        {"31", 31},         {"300", 255},     {"-5", 0},   {"", 0},
      {"  12", 12},       {"+7", 7},          {"x1f", 31},      {"X1F", 31}, {"0x1F", 31},
      {"0X1f", 31},       {"$ff", 255},       {"$100", 255},    {"-$10", 0}, {"255", 255},
      {"256", 255},       {"0", 0},           {"abc", 0},       {"12 ", 0},  {"1 2", 0},
      {"-", 0},           {"$", 0},           {"0x", 0},        {"$G1", 0},  {"2147483647", 255},
      {"99999999999", 0}, {"$7FFFFFFF", 255}, {"$FFFFFFFF", 0}, {"--1", 0},  {"\t5", 0},
  };
  for (const auto& [text, value] : cases)
    EXPECT_EQ(ParseAuxValue(text), value) << '"' << text << '"';
}

TEST(NextSpriteLine, NamesTheLinkedSpriteAndSurvivesALinkPastTheLast) {
  SpriteNameList names(208);
  names[6].name = "BAT";
  std::vector<Byte> image = MakeTestRom();
  StoreSprite(image, 5, EditedTalk(kLinked));
  EXPECT_EQ(NextSpriteLine(LoadSprite(image, 5, Address(kLinked)), names), "Next Sprite = \"BAT\"");

  StoreSprite(image, 207, EditedTalk(kLinked));
  const SpriteTalk last = LoadSprite(image, 207, Address(kLinked));
  EXPECT_EQ(last.NextSprite, 208);
  EXPECT_EQ(NextSpriteLine(last, names), "Next Sprite = none (no sprite 208)");

  EXPECT_EQ(NextSpriteLine(LoadSprite(image, 5, Address(kBattle)), names), "n/a");
}

}  // namespace
}  // namespace brimwell
