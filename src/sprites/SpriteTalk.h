#pragma once

// One sprite's talk settings as its handler type sees them, and the tables they come from: the
// talk-routine pointer table and the four-byte parameter records in bank 0x0E.

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "rom/Footprint.h"
#include "rom/QuillonData.h"
#include "rom/RomImage.h"
#include "sprites/HandlerCatalogue.h"

namespace brimwell {

struct SpriteTalk {
  std::uint16_t handlerAddress = 0;
  std::optional<std::size_t> entry;  // in HandlerCatalogue
  SettingSet active;
  Byte Text1 = 0;
  Byte Text2 = 0;
  Byte Text3 = 0;
  std::size_t PlotEvent = 0;            // entry of kPlotEvents
  std::optional<std::size_t> Item = 0;  // entry of kItems; none for a routine byte below 0x20
  Byte AuxValue = 0;
  Byte AuxText = 0;
  bool Disappears = false;
  Byte NextSprite = 0;  // may name no sprite: "Linked Sprites" on sprite 207 links to 208

  bool operator==(const SpriteTalk&) const = default;
};

using HandlerAddressList = std::array<std::uint16_t, BrimwellConst::kSpriteCount>;

// An image too short to hold the sprite tables reads as all zero and is never written.
HandlerAddressList ReadHandlerAddresses(ConstRomBytes image);
void WriteHandlerAddresses(RomBytes image, const HandlerAddressList& addresses);

// Sprites 0 to 30, 187 and 202 keep the routine that the game gives them.
bool HasFixedHandler(std::size_t spriteId);

// The sprite's settings as the routine at handlerAddress would read them; reads only. A sprite
// id beyond the tables gets no settings.
SpriteTalk LoadSprite(ConstRomBytes image, std::size_t spriteId, std::uint16_t handlerAddress);
// Writes the settings back by the store rule of the record's handler type. Unknown addresses,
// "Nothing", "Nothing 2" and sprite ids beyond the tables write nothing.
void StoreSprite(RomBytes image, std::size_t spriteId, const SpriteTalk& talk);

// The bytes that hold a setting of the sprite under its handler type: for the handler (no
// setting) its pointer table entry and its parameter record, which a new type lays out anew; for
// a text slot its record byte; for any other setting the record or routine byte it is read from.
// Nothing for a setting that the type lacks.
Footprint SettingFootprint(std::size_t spriteId, const SpriteTalk& talk,
                           std::optional<TalkSetting> setting);

// The entry that a setting shown as a drop-down selects: the text id of a text slot, the
// plot-event or item list entry. None for an item that names no entry, and for the settings
// that are no drop-down (AuxValue, Disappears, NextSprite).
std::optional<std::size_t> ListEntry(const SpriteTalk& talk, TalkSetting setting);
// The reverse, from a drop-down back into the record. No entry keeps an item unnamed (a store
// then keeps its byte) and sets any other drop-down setting to its neutral value.
void SetListEntry(SpriteTalk& talk, TalkSetting setting, std::optional<std::size_t> entry);

// "$" and two upper-case hexadecimal digits.
std::string FormatAuxValue(Byte value);
// A number in the usual syntax, clamped to 0..255; anything else is 0.
Byte ParseAuxValue(std::string_view text);

// The line that names the sprite a "Linked Sprites" sprite hands over to; "n/a" for every
// other type. A link past the last sprite is named as such.
std::string NextSpriteLine(const SpriteTalk& talk, std::span<const SpriteName> spriteNames);

}  // namespace brimwell
