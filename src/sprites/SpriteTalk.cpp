#include "sprites/SpriteTalk.h"

#include <algorithm>
#include <cstdio>
#include <limits>

#include "patches/PatchFields.h"

namespace brimwell {
namespace {

using BrimwellConst::kSpriteCount;
using Place = SettingSource::Place;

constexpr std::size_t kRecordSize = 4;
// Both tables, and the routine bytes between them, end before this offset.
constexpr std::size_t kSpriteTablesEnd =
    BrimwellConst::kSpriteTalkParameters + kRecordSize * kSpriteCount;
static_assert(kSpriteTablesEnd <= kMinRomLength);
static_assert(BrimwellConst::kSpriteHandlerTable + 2 * kSpriteCount <= kSpriteTablesEnd);

// Sprites whose talk routine the editor never changes.
constexpr std::size_t kLastFixedSprite = 30;
constexpr std::array<std::size_t, 2> kOtherFixedSprites = {187, 202};

constexpr Byte kCanoeItem = 0x11;

constexpr std::array<Byte SpriteTalk::*, 3> kTextSlots = {&SpriteTalk::Text1, &SpriteTalk::Text2,
                                                          &SpriteTalk::Text3};
constexpr std::array<TalkSetting, 3> kTextSettings = {TalkSetting::Text1, TalkSetting::Text2,
                                                      TalkSetting::Text3};

// The text id that a text setting holds; none for the other settings.
template <typename Talk>
auto TextIdOf(Talk& talk, TalkSetting setting) -> decltype(&talk.Text1) {
  switch (setting) {
    case TalkSetting::Text1:
      return &talk.Text1;
    case TalkSetting::Text2:
      return &talk.Text2;
    case TalkSetting::Text3:
      return &talk.Text3;
    case TalkSetting::AuxText:
      return &talk.AuxText;
    default:
      return nullptr;
  }
}

bool HoldsSpriteTables(ConstRomBytes image) {
  return image.size() >= kSpriteTablesEnd;
}

// The two bytes of a sprite's handler address, low byte first.
std::array<std::size_t, 2> PointerTableEntry(std::size_t spriteId) {
  return ConsecutiveOffsets<2>(BrimwellConst::kSpriteHandlerTable + 2 * spriteId);
}

std::size_t ParameterRecord(std::size_t spriteId) {
  return BrimwellConst::kSpriteTalkParameters + kRecordSize * spriteId;
}

// Text slot k is byte k + 1 of the record.
std::size_t TextSlotOffset(std::size_t record, std::size_t slot) {
  return record + 1 + slot;
}

// The file offset of a source's byte, for the sprite whose record starts at record.
std::size_t SourceOffset(std::size_t record, const SettingSource& source) {
  return source.place == Place::Record ? record + source.offset : source.offset;
}

std::optional<std::size_t> ItemEntry(Byte value, const SettingSource& source) {
  if (source.place == Place::Record) return ItemEntryOfParameter(value);
  return ItemEntryOfRoutineByte(value);
}

// Every source of the row is read, editable or not: the window shows read-only values too.
void LoadSources(ConstRomBytes image, std::size_t record, const HandlerType& type,
                 SpriteTalk& talk) {
  const auto byte = [&](const SettingSource& source) {
    return image[SourceOffset(record, source)];
  };
  if (type.plotEvent.Exists()) talk.PlotEvent = PlotEventEntry(byte(type.plotEvent));
  if (type.item.Exists()) talk.Item = ItemEntry(byte(type.item), type.item);
  if (type.auxValue.Exists()) talk.AuxValue = byte(type.auxValue);
  if (type.auxText.Exists()) talk.AuxText = byte(type.auxText);
  if (type.nextSprite.Exists()) talk.NextSprite = byte(type.nextSprite);
}

// "<< UNKNOWN >>" stands for a byte the list cannot name, so choosing it keeps that byte.
Byte Byte0(StoredByte0 rule, const SpriteTalk& talk, std::size_t spriteId, Byte previous) {
  switch (rule) {
    case StoredByte0::OwnId:
      return static_cast<Byte>(spriteId);
    case StoredByte0::Canoe:
      return kCanoeItem;
    case StoredByte0::PlotEvent:
      return PlotEventByte(talk.PlotEvent).value_or(previous);
    case StoredByte0::Item:
      return ItemParameterByte(talk.Item).value_or(previous);
    case StoredByte0::Zero:
      break;
  }
  return 0;
}

Byte Byte3(StoredByte3 rule, const SpriteTalk& talk, std::size_t spriteId, Byte text3) {
  switch (rule) {
    case StoredByte3::OwnIdNext:
      return static_cast<Byte>(spriteId + 1);
    case StoredByte3::AuxValue:
      return talk.AuxValue;
    case StoredByte3::Text3:
      break;
  }
  return text3;
}

// Where a setting other than a text slot is read from, as the catalogue row says.
SettingSource SourceOf(const HandlerType& type, TalkSetting setting) {
  switch (setting) {
    case TalkSetting::PlotEvent:
      return type.plotEvent;
    case TalkSetting::Item:
      return type.item;
    case TalkSetting::AuxValue:
      return type.auxValue;
    case TalkSetting::AuxText:
      return type.auxText;
    case TalkSetting::NextSprite:
      return type.nextSprite;
    default:
      return {};
  }
}

void StoreRoutineByte(RomBytes image, const SettingSource& source, Byte value) {
  if (source.place == Place::Routine && source.editable) image[source.offset] = value;
}

}  // namespace

HandlerAddressList ReadHandlerAddresses(ConstRomBytes image) {
  HandlerAddressList addresses{};
  if (!HoldsSpriteTables(image)) return addresses;
  for (std::size_t i = 0; i < kSpriteCount; ++i)
    addresses[i] = static_cast<std::uint16_t>(ReadLittleEndian(image, PointerTableEntry(i)));
  return addresses;
}

void WriteHandlerAddresses(RomBytes image, const HandlerAddressList& addresses) {
  if (!HoldsSpriteTables(image)) return;
  for (std::size_t i = 0; i < kSpriteCount; ++i)
    WriteLittleEndian(image, PointerTableEntry(i), addresses[i]);
}

bool HasFixedHandler(std::size_t spriteId) {
  return spriteId <= kLastFixedSprite ||
         std::ranges::find(kOtherFixedSprites, spriteId) != kOtherFixedSprites.end();
}

SpriteTalk LoadSprite(ConstRomBytes image, std::size_t spriteId, std::uint16_t handlerAddress) {
  SpriteTalk talk;
  talk.handlerAddress = handlerAddress;
  talk.entry = FindHandlerEntry(handlerAddress);
  if (!talk.entry || HandlerCatalogue[*talk.entry].Inert()) return talk;
  if (spriteId >= kSpriteCount || !HoldsSpriteTables(image)) return talk;

  const HandlerType& type = HandlerCatalogue[*talk.entry];
  const std::size_t record = ParameterRecord(spriteId);
  talk.active = type.active;
  talk.Disappears = type.disappears;
  for (std::size_t k = 0; k < kTextSlots.size(); ++k)
    if (type.active.Has(kTextSettings[k])) talk.*kTextSlots[k] = image[TextSlotOffset(record, k)];
  LoadSources(image, record, type, talk);
  return talk;
}

void StoreSprite(RomBytes image, std::size_t spriteId, const SpriteTalk& talk) {
  const std::optional<std::size_t> entry = FindHandlerEntry(talk.handlerAddress);
  if (!entry || HandlerCatalogue[*entry].Inert()) return;
  if (spriteId >= kSpriteCount || !HoldsSpriteTables(image)) return;

  const HandlerType& type = HandlerCatalogue[*entry];
  const std::size_t record = ParameterRecord(spriteId);
  std::array<Byte, 3> texts{};
  for (std::size_t k = 0; k < texts.size(); ++k)
    if (type.active.Has(kTextSettings[k])) texts[k] = talk.*kTextSlots[k];

  image[record] = Byte0(type.byte0, talk, spriteId, image[record]);
  image[record + 1] = texts[0];
  image[record + 2] = texts[1];
  image[record + 3] = Byte3(type.byte3, talk, spriteId, texts[2]);
  StoreRoutineByte(image, type.auxValue, talk.AuxValue);
  StoreRoutineByte(image, type.auxText, talk.AuxText);
}

Footprint SettingFootprint(std::size_t spriteId, const SpriteTalk& talk,
                           std::optional<TalkSetting> setting) {
  Footprint footprint;
  if (spriteId >= kSpriteCount) return footprint;
  const std::size_t record = ParameterRecord(spriteId);
  if (!setting) return footprint.Add(PointerTableEntry(spriteId)).Add(record, kRecordSize);
  if (!talk.entry) return footprint;
  const HandlerType& type = HandlerCatalogue[*talk.entry];
  const auto slot = std::ranges::find(kTextSettings, *setting);
  if (slot != kTextSettings.end()) {
    if (type.active.Has(*setting))
      footprint.Add(TextSlotOffset(record, std::size_t(slot - kTextSettings.begin())));
    return footprint;
  }
  const SettingSource source = SourceOf(type, *setting);
  if (source.Exists()) footprint.Add(SourceOffset(record, source));
  return footprint;
}

std::optional<std::size_t> ListEntry(const SpriteTalk& talk, TalkSetting setting) {
  if (const Byte* textId = TextIdOf(talk, setting)) return *textId;
  if (setting == TalkSetting::PlotEvent) return talk.PlotEvent;
  if (setting == TalkSetting::Item) return talk.Item;
  return std::nullopt;
}

void SetListEntry(SpriteTalk& talk, TalkSetting setting, std::optional<std::size_t> entry) {
  if (Byte* textId = TextIdOf(talk, setting)) *textId = static_cast<Byte>(entry.value_or(0));
  if (setting == TalkSetting::PlotEvent) talk.PlotEvent = entry.value_or(0);
  if (setting == TalkSetting::Item) talk.Item = entry;
}

std::string FormatAuxValue(Byte value) {
  char text[4];
  std::snprintf(text, sizeof text, "$%02X", value);
  return text;
}

Byte ParseAuxValue(std::string_view text) {
  // Any 32-bit number is taken and then clamped; only text that is no number at all reads 0.
  const std::int32_t value = TryParseInRange(text, std::numeric_limits<std::int32_t>::min(),
                                             std::numeric_limits<std::int32_t>::max())
                                 .value_or(0);
  return static_cast<Byte>(std::clamp(value, 0, 255));
}

std::string NextSpriteLine(const SpriteTalk& talk, std::span<const SpriteName> spriteNames) {
  if (!talk.active.Has(TalkSetting::NextSprite)) return std::string(kNotApplicable);
  if (talk.NextSprite >= spriteNames.size())
    return "Next Sprite = none (no sprite " + std::to_string(talk.NextSprite) + ")";
  return "Next Sprite = \"" + spriteNames[talk.NextSprite].name + "\"";
}

}  // namespace brimwell
