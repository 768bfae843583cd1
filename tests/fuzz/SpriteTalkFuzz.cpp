// Fuzzes the sprite talk model: one sprite, under any handler address, on arbitrary bytes in its
// parameter record and the talk routines, with an arbitrary edited record.

#include <array>
#include <utility>

#include "../sprites/EditedTalk.h"
#include "BrimwellConst.h"
#include "ModelFuzzHarness.h"
#include "sprites/SpriteTalk.h"

namespace brimwell::fuzz {
namespace {

using BrimwellConst::kHandlerAddresses;
using BrimwellConst::kSpriteCount;

// The sprite's four parameter bytes.
constexpr std::size_t kParameterTable = 0x395E5;
// Every byte of the talk routines that a handler type shows, written out by hand.
constexpr std::array<std::size_t, 36> kRoutineBytes = {
    0x392C7, 0x392D4, 0x392D9, 0x392E1, 0x392EB, 0x39312, 0x3931C, 0x3932F, 0x39339,
    0x39349, 0x39359, 0x39363, 0x3937D, 0x39387, 0x39394, 0x393A6, 0x393B1, 0x393B6,
    0x393CB, 0x393D5, 0x393F5, 0x393FA, 0x3940C, 0x39416, 0x39439, 0x39449, 0x39459,
    0x39469, 0x39479, 0x39493, 0x394D6, 0x394DD, 0x39501, 0x39508, 0x395A5, 0x395AF,
};
// The routine bytes that a store writes, by catalogue entry: the fight or teleport number of
// entries 1, 2, 3 and 6, and the blacksmith's weapon and "weapons full" text.
constexpr std::array<std::pair<std::size_t, std::size_t>, 6> kWrittenRoutineBytes = {{
    {1, 0x392C7},
    {2, 0x392D9},
    {3, 0x392EB},
    {6, 0x39359},
    {8, 0x39394},
    {8, 0x393A6},
}};
// "Nothing" and "Nothing 2" write nothing.
constexpr std::size_t kNothing = 23;
constexpr std::size_t kNothing2 = 29;

constexpr Byte kNoItem = 0xFF;

struct Case {
  std::size_t spriteId;  // 208 and beyond lie past the tables
  std::uint16_t address;
};

Case TakeCase(FuzzInput& input) {
  const std::size_t spriteId = input.TakeByte();
  if (input.TakeBool())
    return {spriteId, kHandlerAddresses[input.TakeByte() % kHandlerAddresses.size()]};
  return {spriteId, input.TakeUint16()};
}

std::vector<std::size_t> ReadLocations(const Case& c) {
  std::vector<std::size_t> locations;
  if (c.spriteId < kSpriteCount)
    for (std::size_t k = 0; k < 4; ++k) locations.push_back(kParameterTable + 4 * c.spriteId + k);
  locations.insert(locations.end(), kRoutineBytes.begin(), kRoutineBytes.end());
  return locations;
}

std::vector<std::size_t> WrittenLocations(const Case& c) {
  const std::optional<std::size_t> entry = FindHandlerEntry(c.address);
  if (!entry || *entry == kNothing || *entry == kNothing2 || c.spriteId >= kSpriteCount) return {};
  std::vector<std::size_t> locations;
  for (std::size_t k = 0; k < 4; ++k) locations.push_back(kParameterTable + 4 * c.spriteId + k);
  for (const auto& [owner, offset] : kWrittenRoutineBytes)
    if (owner == *entry) locations.push_back(offset);
  return locations;
}

// The window's edits: any text ids, values and list entries.
void TakeEdits(FuzzInput& input, SpriteTalk& talk) {
  talk.Text1 = input.TakeByte();
  talk.Text2 = input.TakeByte();
  talk.Text3 = input.TakeByte();
  talk.PlotEvent = input.TakeByte() % kPlotEventCount;
  const Byte item = input.TakeByte();
  talk.Item = item == kNoItem ? std::nullopt : std::optional<std::size_t>(item % kItemCount);
  talk.AuxValue = input.TakeByte();
  talk.AuxText = input.TakeByte();
  talk.NextSprite = input.TakeByte();
}

void PutEdits(SeedWriter& seed, const SpriteTalk& talk) {
  seed.PutByte(talk.Text1).PutByte(talk.Text2).PutByte(talk.Text3);
  seed.PutByte(static_cast<Byte>(talk.PlotEvent));
  seed.PutByte(talk.Item ? static_cast<Byte>(*talk.Item) : kNoItem);
  seed.PutByte(talk.AuxValue).PutByte(talk.AuxText).PutByte(talk.NextSprite);
}

// A reload shows the stored record's active settings and the first load's others, but for two
// rules: "<< UNKNOWN >>" as plot event or item keeps byte 0, and "Linked Sprites" always hands
// over to the next sprite, own id + 1, whatever byte 3 held.
SpriteTalk ExpectedReload(const SpriteTalk& loaded, const SpriteTalk& stored,
                          std::size_t spriteId) {
  SpriteTalk expected = loaded;
  const auto active = [&](TalkSetting setting) { return loaded.active.Has(setting); };
  if (active(TalkSetting::Text1)) expected.Text1 = stored.Text1;
  if (active(TalkSetting::Text2)) expected.Text2 = stored.Text2;
  if (active(TalkSetting::Text3)) expected.Text3 = stored.Text3;
  if (active(TalkSetting::AuxValue)) expected.AuxValue = stored.AuxValue;
  if (active(TalkSetting::AuxText)) expected.AuxText = stored.AuxText;
  if (active(TalkSetting::PlotEvent) && stored.PlotEvent != kUnknownPlotEvent)
    expected.PlotEvent = stored.PlotEvent;
  if (active(TalkSetting::Item) && stored.Item && *stored.Item != kUnknownItem)
    expected.Item = stored.Item;
  if (active(TalkSetting::NextSprite)) expected.NextSprite = static_cast<Byte>(spriteId + 1);
  return expected;
}

// The window writes the pointer table whole: unchanged addresses leave it as it was, and a new
// handler changes that sprite's entry alone.
void CheckPointerTable(const std::vector<Byte>& image, const Case& c) {
  const HandlerAddressList addresses = ReadHandlerAddresses(image);
  static std::vector<Byte> rewritten;
  CopyImage(image, rewritten);
  WriteHandlerAddresses(rewritten, addresses);
  FUZZ_CHECK(rewritten == image, "rewriting the pointer table unchanged changed the image");

  HandlerAddressList changed = addresses;
  const std::size_t sprite = c.spriteId % kSpriteCount;
  changed[sprite] = c.address;
  WriteHandlerAddresses(rewritten, changed);
  const std::array<std::size_t, 2> entry = {BrimwellConst::kSpriteHandlerTable + 2 * sprite,
                                            BrimwellConst::kSpriteHandlerTable + 2 * sprite + 1};
  CheckChangesWithin(image, rewritten, entry);
  FUZZ_CHECK(ReadHandlerAddresses(rewritten) == changed,
             "a written handler address reads back wrong");
}

Seed MakeSeed(std::string name, const Case& c, std::array<Byte, 4> parameters,
              const SpriteTalk& edits) {
  std::vector<Byte> image = TestRomImage();
  if (c.spriteId < kSpriteCount)
    std::copy(parameters.begin(), parameters.end(),
              image.begin() + kParameterTable + 4 * c.spriteId);
  SeedWriter seed;
  seed.PutByte(static_cast<Byte>(c.spriteId));
  const std::optional<std::size_t> entry = FindHandlerEntry(c.address);
  if (entry)
    seed.PutBool(true).PutByte(static_cast<Byte>(*entry));
  else
    seed.PutBool(false).PutUint16(c.address);
  PutImageBytes(seed, image, ReadLocations(c));
  PutEdits(seed, edits);
  return {std::move(name), seed.Bytes()};
}

}  // namespace

void TestOneInput(FuzzInput& input) {
  const Case c = TakeCase(input);
  const std::vector<Byte>& image = ImageFromInput(input, ReadLocations(c));
  SpriteTalk record = LoadSprite(image, c.spriteId, c.address);
  TakeEdits(input, record);

  const std::vector<std::size_t> writable = WrittenLocations(c);
  const SettingsModel<SpriteTalk> model = {
      .load = [&](ConstRomBytes bytes) { return LoadSprite(bytes, c.spriteId, c.address); },
      .store = [&](RomBytes bytes,
                   const SpriteTalk& talk) { StoreSprite(bytes, c.spriteId, talk); },
      .writable = writable,
      .expectedReload =
          [&](const SpriteTalk& loaded, const SpriteTalk& stored) {
            return ExpectedReload(loaded, stored, c.spriteId);
          },
  };
  CheckModel(model, image, record);
  CheckPointerTable(image, c);
}

std::vector<Seed> Seeds() {
  // Every setting far from what the seed images hold; the handler comes from each seed's case.
  const SpriteTalk edits = testing::EditedTalk(0);

  std::vector<Seed> seeds;
  // Every handler type on a sprite whose handler may change, its record holding other texts.
  for (std::size_t entry = 0; entry < kHandlerAddresses.size(); ++entry) {
    const Case c = {40 + 3 * entry, kHandlerAddresses[entry]};
    seeds.push_back(MakeSeed("type-" + std::to_string(entry), c, {0x03, 0x11, 0x12, 0x13}, edits));
  }
  SpriteTalk unknown = edits;
  unknown.PlotEvent = kUnknownPlotEvent;
  unknown.Item = kUnknownItem;
  seeds.push_back(MakeSeed("plot-event-unknown", {60, 0x941B}, {0xFF, 1, 2, 3}, unknown));
  seeds.push_back(MakeSeed("item-unknown", {61, 0x94B8}, {0x16, 1, 2, 3}, unknown));
  seeds.push_back(MakeSeed("linked-last-sprite", {207, 0x9495}, {0xCF, 1, 0, 0xD0}, edits));
  seeds.push_back(MakeSeed("fixed-sprite-0", {0, 0x9492}, {0, 1, 2, 3}, edits));
  seeds.push_back(MakeSeed("beyond-tables", {208, 0x94AA}, {}, edits));
  seeds.push_back(MakeSeed("unknown-address", {100, 0x1234}, {9, 8, 7, 6}, edits));
  return seeds;
}

}  // namespace brimwell::fuzz
