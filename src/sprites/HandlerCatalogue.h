#pragma once

// The talk routines that the sprite dialogue editor knows. When the player speaks to a map
// sprite, the game runs the routine that the sprite's pointer table entry names, and the
// routine reads the sprite's four parameter bytes (and constants inside its own code). Each
// catalogue row says which settings a routine has, where each lives and how it is written.

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

#include "BrimwellConst.h"
#include "rom/RomImage.h"

namespace brimwell {

inline constexpr std::size_t kHandlerCount = BrimwellConst::kHandlerAddresses.size();

// The settings a sprite's talk routine may have, one control each in the sprite window, in the
// order of that window's enable mask (bit i is setting i). Disappears is no byte of the ROM but
// a fixed property of the routine: it has a bit, but no active set holds it.
enum class TalkSetting : std::uint8_t {
  Text1,
  Text2,
  Text3,
  PlotEvent,
  Item,
  AuxValue,
  Disappears,
  AuxText,
  NextSprite,
};

class SettingSet {
 public:
  constexpr SettingSet() = default;
  constexpr SettingSet(TalkSetting setting) : bits_(Bit(setting)) {}
  constexpr bool Has(TalkSetting setting) const { return (bits_ & Bit(setting)) != 0; }
  constexpr bool Empty() const { return bits_ == 0; }
  // The sprite window's enable mask: 0x001 Text1 ... 0x100 NextSprite.
  constexpr std::uint16_t Bits() const { return bits_; }
  constexpr SettingSet operator|(SettingSet other) const { return SettingSet(bits_ | other.bits_); }
  constexpr bool operator==(const SettingSet&) const = default;

 private:
  explicit constexpr SettingSet(std::uint16_t bits) : bits_(bits) {}
  static constexpr std::uint16_t Bit(TalkSetting setting) {
    return static_cast<std::uint16_t>(1u << static_cast<unsigned>(setting));
  }
  std::uint16_t bits_ = 0;
};

constexpr SettingSet operator|(TalkSetting a, TalkSetting b) {
  return SettingSet(a) | b;
}

// Where a setting other than the three text slots lives, and whether its value is written back.
struct SettingSource {
  enum class Place : std::uint8_t {
    None,
    Routine,  // a byte of the routine's own code, by file offset
    Record,   // a byte of the sprite's parameter record, by index 0 to 3
  };
  Place place = Place::None;
  std::size_t offset = 0;
  bool editable = false;

  constexpr bool operator==(const SettingSource&) const = default;
  constexpr bool Exists() const { return place != Place::None; }
};

constexpr SettingSource ShownFrom(std::size_t fileOffset) {
  return {SettingSource::Place::Routine, fileOffset, false};
}
constexpr SettingSource StoredAt(std::size_t fileOffset) {
  return {SettingSource::Place::Routine, fileOffset, true};
}
constexpr SettingSource ShownFromByte(std::size_t index) {
  return {SettingSource::Place::Record, index, false};
}
constexpr SettingSource AtByte(std::size_t index) {
  return {SettingSource::Place::Record, index, true};
}

// What a store puts into byte 0 and byte 3 of the parameter record besides the text slots.
enum class StoredByte0 : std::uint8_t {
  Zero,
  OwnId,      // the sprite's own id, by which the routine hides the sprite
  Canoe,      // 0x11, the item number of the CANOE, which the routine checks for
  PlotEvent,  // the chosen plot event; "<< UNKNOWN >>" keeps the byte
  Item,       // the chosen item (parameter encoding); "<< UNKNOWN >>" keeps the byte
};
enum class StoredByte3 : std::uint8_t {
  Text3,      // the third text slot, or 0 outside the active set
  OwnIdNext,  // own id + 1 in 8 bits: the sprite that takes over
  AuxValue,   // the battle number
};

// The captions of the settings' controls; an empty one reads "n/a".
struct HandlerLabels {
  std::string_view text1 = {};
  std::string_view text2 = {};
  std::string_view text3 = {};
  std::string_view auxValue = {};
  std::string_view auxText = {};
};

inline constexpr std::string_view kNotApplicable = "n/a";
inline constexpr std::string_view kPlotEventLabel = "Plot event (or condition):";
inline constexpr std::string_view kItemLabel = "Choose the Item condition:";

struct HandlerType {
  std::string_view entry;  // the handler list's text
  std::uint16_t address = 0;
  SettingSet active = {};
  bool disappears = false;
  HandlerLabels labels = {};
  SettingSource plotEvent = {};
  SettingSource item = {};
  SettingSource auxValue = {};
  SettingSource auxText = {};
  SettingSource nextSprite = {};
  StoredByte0 byte0 = StoredByte0::Zero;
  StoredByte3 byte3 = StoredByte3::Text3;

  // "Nothing" and "Nothing 2": no settings, nothing read or written.
  constexpr bool Inert() const { return active.Empty(); }

  // The caption of a setting's control: the row's own, one of the two fixed ones, or "n/a".
  constexpr std::string_view Label(TalkSetting setting) const {
    const auto orNotApplicable = [](std::string_view text) {
      return text.empty() ? kNotApplicable : text;
    };
    switch (setting) {
      case TalkSetting::Text1:
        return orNotApplicable(labels.text1);
      case TalkSetting::Text2:
        return orNotApplicable(labels.text2);
      case TalkSetting::Text3:
        return orNotApplicable(labels.text3);
      case TalkSetting::AuxValue:
        return orNotApplicable(labels.auxValue);
      case TalkSetting::AuxText:
        return orNotApplicable(labels.auxText);
      case TalkSetting::PlotEvent:
        return kPlotEventLabel;
      case TalkSetting::Item:
        return kItemLabel;
      case TalkSetting::Disappears:
      case TalkSetting::NextSprite:
        break;
    }
    return kNotApplicable;
  }
};

// The 42 handler types, in the order of the handler list; entry i runs the routine at
// BrimwellConst::kHandlerAddresses[i].
extern const std::array<HandlerType, kHandlerCount> HandlerCatalogue;

// The position of the catalogue entry whose routine lies at the address, if any.
std::optional<std::size_t> FindHandlerEntry(std::uint16_t address);

// The game's story flags as the editor lists them; the last entry stands for any higher byte.
inline constexpr std::size_t kPlotEventCount = 25;
inline constexpr std::size_t kUnknownPlotEvent = kPlotEventCount - 1;
extern const std::array<std::string_view, kPlotEventCount> kPlotEvents;

// The key items as the editor lists them; the last entry stands for any higher item number.
inline constexpr std::size_t kItemCount = 23;
inline constexpr std::size_t kUnknownItem = kItemCount - 1;
extern const std::array<std::string_view, kItemCount> kItems;

// A plot event byte as a list entry; 24 or more is "<< UNKNOWN >>".
std::size_t PlotEventEntry(Byte value);
// The byte of a plot event entry; none for "<< UNKNOWN >>" (or no entry at all).
std::optional<Byte> PlotEventByte(std::size_t entry);

// An item operand inside a routine: the item number + 0x20. Below 0x20 it names no item.
std::optional<std::size_t> ItemEntryOfRoutineByte(Byte value);
// An item number in a parameter record; 22 or more is "<< UNKNOWN >>".
std::size_t ItemEntryOfParameter(Byte value);
// The parameter byte of an item entry; none for "<< UNKNOWN >>" (or no entry at all).
std::optional<Byte> ItemParameterByte(std::optional<std::size_t> entry);

}  // namespace brimwell
