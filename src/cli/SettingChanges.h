#pragma once

// What differs between the settings of two images, in the terms of the key table, and which
// bytes of the image hold each of those settings: to tell what a patch does, and to store the
// settings that were named and nothing else.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "cli/SettingKeys.h"
#include "rom/Footprint.h"

namespace brimwell::cli {

// One setting whose shown value differs.
struct SettingChange {
  Editor editor;
  std::optional<std::size_t> sprite;  // for a sprite's setting, the sprite's id
  std::string_view setting;           // "HPlimit", "Text1"
  // As show prints them; null for a sprite setting that the handler type lacks.
  Json before;
  Json after;
  Footprint bytes;  // where the setting lives, before and after

  std::string Key() const;  // "limits.HPlimit", "sprites.42.Text1"
};

// The settings whose shown values differ, in the order in which show prints them.
std::vector<SettingChange> ChangedSettings(const RomSettings& before, const RomSettings& after);

struct ImageChanges {
  std::vector<SettingChange> settings;
  // The changed bytes that no changed setting holds, in rising order.
  std::vector<ByteRange> otherBytes;

  std::size_t OtherByteCount() const;
};

// What changed from one image to the other: both hold at least a Final Fantasy image, and bytes
// past the end of the shorter one count as changed.
ImageChanges DescribeChanges(ConstRomBytes before, ConstRomBytes after);

// Stores into the image the settings of edited that differ from loaded, the image's own, each by
// its editor's rules, but writes only the bytes that hold those settings. A setting whose value
// is as loaded is never written, also where its editor's OK would rewrite it: a switch in neither
// form, a landing byte of neither choice, another sprite's record.
void StoreChangedSettings(const RomSettings& loaded, const RomSettings& edited, RomBytes image,
                          Byte lockByteAtOpen);

// The switches whose bytes hold neither the form that storing them on writes nor that of off.
std::vector<SettingGetter> SwitchesInNeitherForm(const RomSettings& loaded, ConstRomBytes image);

}  // namespace brimwell::cli
