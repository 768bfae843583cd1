// The handler catalogue row by row against the editor's reference tables, written here in
// their own words: entry, address, active set, flag, labels, sources and the stored bytes.
// The catalogue is data, so a transcription slip there is a real fault for the game.

#include "sprites/HandlerCatalogue.h"

#include <gtest/gtest.h>

#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "EditedTalk.h"
#include "TestRom.h"
#include "sprites/SpriteTalk.h"

namespace brimwell {
namespace {

struct ReferenceRow {
  const char* entry;
  std::uint16_t address;
  const char* active;  // settings joined by ", "; "" for none
  bool disappears;
  std::array<const char*, 5> labels;  // Text 1..3, aux value, aux text; "" is "n/a"
  const char* readOnly;               // "PlotEvent from 0x...", joined by ", "
  const char* editable;               // "AuxValue at 0x...", "PlotEvent at byte 0", ...
  const char* stored;                 // byte 0 / 1 / 2 / 3, or "nothing"
};

const char* const kNone = "";
const char* const kTexts = "0 / Text1 / Text2 / Text3";
const char* const kTwoTexts = "0 / Text1 / Text2 / 0";
const char* const kOneText = "0 / Text1 / 0 / 0";
const std::array<const char*, 5> kMetOtherwise = {"Condition met:", "Otherwise:", "", "", ""};
const std::array<const char*, 5> kBoth = {"Both conditions met:", "Otherwise:", "", "", ""};

const ReferenceRow kReference[] = {
    {"Plot:  King - Build bridge",
     0x9297,
     "Text1, Text2, Text3",
     false,
     {"Initial:", "Condition met (Build Bridge):", "Final:", "", ""},
     kNone,
     kNone,
     kTexts},
    {"Plot:  Fight Garland",
     0x92B1,
     "Text1, AuxValue",
     true,
     {"Pre-Fight:", "", "", "Fight #:", ""},
     kNone,
     "AuxValue at 0x392C7",
     kOneText},
    {"Plot:  Princess rescued (warp back to castle)",
     0x92BE,
     "Text1, AuxValue",
     true,
     {"Princess Rescued:", "", "", "Teleport #:", ""},
     "PlotEvent from 0x392D4",
     "AuxValue at 0x392D9",
     kOneText},
    {"Plot:  Pravoka Pirates defeated (Get SHIP)",
     0x92D0,
     "Text1, Text2, Text3, AuxValue",
     false,
     {"Pre-Fight:", "Defeated (Get SHIP):", "Final:", "Fight #:", ""},
     "PlotEvent from 0x392E1",
     "AuxValue at 0x392EB",
     kTexts},
    {"Plot:  Elf doctor (wake Prince with HERB)",
     0x9301,
     "Text1, Text2, Text3",
     false,
     {"Initial:", "Condition met (Give HERB):", "Final:", "", ""},
     "PlotEvent from 0x39312, Item from 0x3931C",
     kNone,
     kTexts},
    {"Plot:  Get mystic KEY",
     0x931E,
     "Text1, Text2, Text3",
     false,
     {"Final:", "Condition met (KEY given):", "Initial (Sleeping):", "", ""},
     "PlotEvent from 0x3932F, Item from 0x39339",
     kNone,
     kTexts},
    {"Plot:  Fight Astos, get CRYSTAL",
     0x9338,
     "Text1, Text2, AuxValue",
     true,
     {"Initial:", "Pre-Fight (Astos Revealed):", "", "Fight #:", ""},
     "Item from 0x39349",
     "AuxValue at 0x39359",
     kTwoTexts},
    {"Plot:  Nerrick - Give TNT, Make Canal",
     0x9352,
     "Text1, Text2",
     true,
     {"Initial (no TNT):", "Condition met (TNT):", "", "", ""},
     "Item from 0x39363",
     kNone,
     kTwoTexts},
    {"Plot:  Blacksmith - Give ADAMANT, Get XCalber",
     0x936C,
     "Text1, Text2, Text3, AuxValue, AuxText",
     false,
     {"Initial (no ADAMANT):", "Condition met (ADAMANT):", "Final:", "Weapon Received:",
      "If weapons full:"},
     "PlotEvent from 0x3937D, Item from 0x39387",
     "AuxValue at 0x39394, AuxText at 0x393A6",
     kTexts},
    {"Plot:  Matoya - Give CRYSTAL, Get HERB",
     0x9398,
     "Text1, Text2, Text3",
     false,
     {"Initial (no CRYSTAL):", "Condition met (Get HERB):", "Final:", "", ""},
     "PlotEvent from 0x393B6, Item from 0x393B1",
     kNone,
     kTexts},
    {"Plot:  Dr. Unne - Give SLAB, learn Lefeinish",
     0x93BA,
     "Text1, Text2, Text3",
     false,
     {"Initial (no SLAB):", "Condition met (Learn Lefeinish):", "Final:", "", ""},
     "PlotEvent from 0x393CB, Item from 0x393D5",
     kNone,
     kTexts},
    {"Plot:  Fight Vampire",
     0x93D7,
     "Text1",
     true,
     {"Pre-Fight:", "", "", "", ""},
     kNone,
     kNone,
     kOneText},
    {"Plot:  Sarda - Give ROD",
     0x93E4,
     "Text1, Text2",
     false,
     {"Initial (Give ROD):", "Final:", "", "", ""},
     "PlotEvent from 0x393FA, Item from 0x393F5",
     kNone,
     kTwoTexts},
    {"Plot:  Bahamut - Give TAIL, Get Class Change",
     0x93FB,
     "Text1, Text2, Text3",
     false,
     {"Initial (No TAIL):", "Condition met (Class Change):", "Final:", "", ""},
     "PlotEvent from 0x3940C, Item from 0x39416",
     kNone,
     kTexts},
    {"Plot:  Submarine Engineer - Got OXYALE, enter Sea Shrine",
     0x9428,
     "Text1, Text2",
     true,
     {"Initial (No OXYALE):", "Condition met (Disappears):", "", "", ""},
     "Item from 0x39439",
     kNone,
     kTwoTexts},
    {"Plot:  Waterfall Robot - Give CUBE",
     0x9438,
     "Text1, Text2",
     false,
     {"Initial (Give CUBE):", "Final (Have CUBE):", "", "", ""},
     "Item from 0x39449",
     kNone,
     kTwoTexts},
    {"Plot:  Princess - Give LUTE",
     0x9448,
     "Text1, Text2",
     false,
     {"Initial (Give LUTE):", "Final (Have LUTE):", "", "", ""},
     "Item from 0x39459",
     kNone,
     kTwoTexts},
    {"Plot:  Fairy - Give OXYALE",
     0x9458,
     "Text1, Text2",
     false,
     {"Initial (Give OXYALE):", "Final (Have OXYALE):", "", "", ""},
     "Item from 0x39469",
     kNone,
     kTwoTexts},
    {"Plot:  Titan - Got RUBY, pass through tunnel",
     0x9468,
     "Text1, Text2",
     true,
     {"Initial (Need RUBY):", "Condition met (Disappears):", "", "", ""},
     "Item from 0x39479",
     kNone,
     kTwoTexts},
    {"Plot:  Sage - have EARTH ORB, Give CANOE",
     0x947D,
     "Text1, Text2",
     false,
     {"Condition met (Give Canoe):", "Initial (condition not met):", "", "", ""},
     "Item from 0x39493",
     kNone,
     kTwoTexts},
    {"Plot:  Black Orb - Check 4 ORBs, Clear Orb, Open Gate",
     0x9502,
     "Text1, Text2",
     false,
     {"All conditions met:", "Otherwise:", "", "", ""},
     kNone,
     kNone,
     kTwoTexts},
    {"Plot:  Waterfall Robot - Give CUBE [**unused in original**]",
     0x9586,
     "Text1, Text2",
     false,
     {"Get CUBE:", "Already have:", "", "", ""},
     kNone,
     kNone,
     kTwoTexts},
    {"Plot:  Lefein - Understand language, Get CHIME",
     0x9594,
     "Text1, Text2, Text3",
     false,
     {"Condition met (get CHIME):", "Final (after CHIME):", "Initial (Don't understand):", "", ""},
     "PlotEvent from 0x395A5, Item from 0x395AF",
     kNone,
     kTexts},
    {"Nothing", 0x9296, "", false, {"", "", "", "", ""}, kNone, kNone, "nothing"},
    {"Check if Sprite is Visible",
     0x941B,
     "Text1, Text2, PlotEvent",
     false,
     {"If not visible:", "If visible:", "", "", ""},
     kNone,
     "PlotEvent at byte 0",
     "PlotEvent / Text1 / Text2 / 0"},
    {"Simple Text",
     0x9492,
     "Text1",
     false,
     {"Single Text:", "", "", "", ""},
     kNone,
     kNone,
     kOneText},
    {"Linked Sprites",
     0x9495,
     "Text1, NextSprite",
     true,
     {"Single Text:", "", "", "", ""},
     "NextSprite from byte 3",
     kNone,
     "own id / Text1 / 0 / own id + 1"},
    {"Simple Text + Disappear",
     0x94A2,
     "Text1",
     true,
     {"Single Text:", "", "", "", ""},
     kNone,
     kNone,
     "own id / Text1 / 0 / 0"},
    {"Battle (Configurable)",
     0x94AA,
     "Text1, AuxValue",
     true,
     {"Pre-Fight Text:", "", "", "Fight #:", ""},
     kNone,
     "AuxValue at byte 3",
     "own id / Text1 / 0 / AuxValue"},
    {"Nothing 2", 0x94B7, "", false, {"", "", "", "", ""}, kNone, kNone, "nothing"},
    {"Check for Plot Item (Configurable)",
     0x94B8,
     "Text1, Text2, Item",
     false,
     {"Condition met (Have Item):", "Initial (need Item):", "", "", ""},
     kNone,
     "Item at byte 0",
     "Item / Text1 / Text2 / 0"},
    {"Check for Princess Rescued + LUTE", 0x94C5, "Text1, Text2", false, kBoth,
     "PlotEvent from 0x394D6, Item from 0x394DD", kNone, kTwoTexts},
    {"Check for Bridge Built", 0x94D7, "Text1, Text2", false, kMetOtherwise, kNone, kNone,
     kTwoTexts},
    {"Check for Plot Event completed (Configurable)",
     0x94E2,
     "Text1, Text2, PlotEvent",
     false,
     {"Condition NOT met:", "Condition met:", "", "", ""},
     kNone,
     "PlotEvent at byte 0",
     "PlotEvent / Text1 / Text2 / 0"},
    {"Check for Princess Rescued, but Bridge NOT Built", 0x94F0, "Text1, Text2", false, kBoth,
     "PlotEvent from 0x39501, Item from 0x39508", kNone, kTwoTexts},
    {"Check for all ORBS lit",
     0x951F,
     "Text1, Text2",
     false,
     {"All ORBs:", "Otherwise:", "", "", ""},
     kNone,
     kNone,
     kTwoTexts},
    {"Check for Canoe", 0x9533, "Text1, Text2", false, kMetOtherwise, kNone, kNone,
     "0x11 / Text1 / Text2 / 0"},
    {"Check for Canal open", 0x953E, "Text1, Text2", false, kMetOtherwise, kNone, kNone, kTwoTexts},
    {"Check for KEY and no TNT", 0x9549, "Text1, Text2", false, kBoth, kNone, kNone, kTwoTexts},
    {"Check for Vampire defeated, but Earth ORB dark", 0x9559, "Text1, Text2", false, kBoth, kNone,
     kNone, kTwoTexts},
    {"Check for AIRSHIP",
     0x956B,
     "Text1, Text2",
     false,
     {"No Airship:", "Have Airship:", "", "", ""},
     kNone,
     kNone,
     kTwoTexts},
    {"Check for Earth ORB lit, Fire ORB dark", 0x9576, "Text1, Text2", false, kBoth, kNone, kNone,
     kTwoTexts},
};

const std::pair<TalkSetting, const char*> kSettingNames[] = {
    {TalkSetting::Text1, "Text1"},
    {TalkSetting::Text2, "Text2"},
    {TalkSetting::Text3, "Text3"},
    {TalkSetting::PlotEvent, "PlotEvent"},
    {TalkSetting::Item, "Item"},
    {TalkSetting::AuxValue, "AuxValue"},
    {TalkSetting::Disappears, "Disappears"},
    {TalkSetting::AuxText, "AuxText"},
    {TalkSetting::NextSprite, "NextSprite"},
};

// The settings whose captions the rows give, in the order of ReferenceRow::labels.
constexpr std::array<TalkSetting, 5> kLabelled = {TalkSetting::Text1, TalkSetting::Text2,
                                                  TalkSetting::Text3, TalkSetting::AuxValue,
                                                  TalkSetting::AuxText};

std::string Join(const std::vector<std::string>& parts) {
  std::string joined;
  for (const std::string& part : parts) joined += (joined.empty() ? "" : ", ") + part;
  return joined;
}

std::string ActiveSetText(SettingSet active) {
  std::vector<std::string> names;
  for (const auto& [setting, name] : kSettingNames)
    if (active.Has(setting)) names.emplace_back(name);
  return Join(names);
}

std::string Where(const SettingSource& source) {
  if (source.place == SettingSource::Place::Record) return "byte " + std::to_string(source.offset);
  std::ostringstream text;
  text << "0x" << std::hex << std::uppercase << source.offset;
  return text.str();
}

// The row's sources as the reference names them, either the shown-only or the editable ones.
std::string SourcesText(const HandlerType& type, bool editable) {
  const std::pair<const SettingSource*, const char*> sources[] = {{&type.plotEvent, "PlotEvent"},
                                                                  {&type.item, "Item"},
                                                                  {&type.auxValue, "AuxValue"},
                                                                  {&type.auxText, "AuxText"},
                                                                  {&type.nextSprite, "NextSprite"}};
  std::vector<std::string> parts;
  for (const auto& [source, name] : sources) {
    if (!source->Exists() || source->editable != editable) continue;
    parts.push_back(std::string(name) + (editable ? " at " : " from ") + Where(*source));
  }
  return Join(parts);
}

TEST(HandlerCatalogueTest, EveryRowMatchesTheReferenceTables) {
  ASSERT_EQ(HandlerCatalogue.size(), 42u);
  ASSERT_EQ(std::size(kReference), HandlerCatalogue.size());
  for (std::size_t i = 0; i < std::size(kReference); ++i) {
    const ReferenceRow& expected = kReference[i];
    const HandlerType& type = HandlerCatalogue[i];
    SCOPED_TRACE(::testing::Message() << "entry " << i << " " << expected.entry);
    EXPECT_EQ(type.entry, expected.entry);
    EXPECT_EQ(type.address, expected.address);
    EXPECT_EQ(BrimwellConst::kHandlerAddresses[i], expected.address);
    EXPECT_EQ(ActiveSetText(type.active), expected.active);
    EXPECT_EQ(type.disappears, expected.disappears);
    for (std::size_t k = 0; k < kLabelled.size(); ++k) {
      const std::string_view caption = *expected.labels[k] ? expected.labels[k] : "n/a";
      EXPECT_EQ(type.Label(kLabelled[k]), caption) << "label " << k;
    }
    EXPECT_EQ(type.Label(TalkSetting::PlotEvent), "Plot event (or condition):");
    EXPECT_EQ(type.Label(TalkSetting::Item), "Choose the Item condition:");
    EXPECT_EQ(SourcesText(type, false), expected.readOnly);
    EXPECT_EQ(SourcesText(type, true), expected.editable);
  }
}

TEST(HandlerCatalogueTest, AddressesAreDistinctAndFoundAtTheirPosition) {
  std::set<std::uint16_t> seen;
  for (std::size_t i = 0; i < std::size(kReference); ++i) {
    EXPECT_TRUE(seen.insert(BrimwellConst::kHandlerAddresses[i]).second);
    EXPECT_EQ(FindHandlerEntry(BrimwellConst::kHandlerAddresses[i]), i);
  }
  for (std::uint16_t stranger : {0x0000, 0x9295, 0x9298, 0x94B9, 0xFFFF})
    EXPECT_EQ(FindHandlerEntry(stranger), std::nullopt) << stranger;
}

// The fourth column of the reference, read as the bytes a store must leave in the record.
struct StoreProbe {
  static constexpr std::size_t kSprite = 100;
  SpriteTalk talk;

  explicit StoreProbe(std::size_t entry) : talk(testing::EditedTalk(entry)) {}

  Byte Expected(const std::string& term) const {
    if (term == "0") return 0;
    if (term == "0x11") return 0x11;
    if (term == "own id") return kSprite;
    if (term == "own id + 1") return kSprite + 1;
    if (term == "PlotEvent") return static_cast<Byte>(talk.PlotEvent);
    if (term == "Item") return static_cast<Byte>(*talk.Item);
    if (term == "AuxValue") return talk.AuxValue;
    if (term == "Text1") return talk.Text1;
    if (term == "Text2") return talk.Text2;
    if (term == "Text3") return talk.Text3;
    ADD_FAILURE() << "unknown term " << term;
    return 0;
  }
};

TEST(HandlerCatalogueTest, EveryStoreRuleWritesTheFourBytesOfTheReference) {
  for (std::size_t i = 0; i < std::size(kReference); ++i) {
    SCOPED_TRACE(::testing::Message() << "entry " << i);
    std::vector<Byte> image = testing::MakeTestRom();
    const std::size_t record = BrimwellConst::kSpriteTalkParameters + 4 * StoreProbe::kSprite;
    const std::vector<Byte> before = testing::Slice(image, record, 4);
    const StoreProbe probe(i);
    StoreSprite(image, StoreProbe::kSprite, probe.talk);

    std::vector<Byte> expected;
    if (std::string(kReference[i].stored) == "nothing") {
      expected = before;
    } else {
      std::istringstream terms(kReference[i].stored);
      for (std::string term; std::getline(terms, term, '/');) {
        term.erase(0, term.find_first_not_of(' '));
        term.erase(term.find_last_not_of(' ') + 1);
        expected.push_back(probe.Expected(term));
      }
    }
    EXPECT_EQ(testing::Slice(image, record, 4), expected);
  }
}

}  // namespace
}  // namespace brimwell
