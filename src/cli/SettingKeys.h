#pragma once

// Every setting of every editor under one key, for the command-line program: the patch editors'
// fields as "limits.HPlimit", a sprite's settings as "sprites.42.Text1". Each key knows how its
// value is shown (as the editors show it) and read back, so that what "show" prints "set" takes.

#include <array>
#include <cstddef>
#include <cstdint>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "BrimwellConst.h"
#include "patches/BattleSettings.h"
#include "patches/LimitsSettings.h"
#include "patches/MagicSettings.h"
#include "patches/MiscSettings.h"
#include "sprites/SpriteTalk.h"

namespace brimwell::cli {

// Members keep the order in which they were added: editors, fields and sprites print in order.
using Json = nlohmann::ordered_json;

struct RomSettings;
// One setting's value, read from the settings of an image.
using SettingGetter = std::int32_t (*)(const RomSettings&);

// The value of a switch (a boolean setting) whose bytes hold neither of the two forms that the
// editor writes, as another tool may leave them: its record loads it as off, set takes it back
// only as it stands, and show prints it as "other".
inline constexpr std::int32_t kNeitherForm = 2;
inline constexpr std::string_view kNeitherFormText = "other";

// What every editor shows for one image.
struct RomSettings {
  LimitsSettings limits;
  BattleSettings battle;
  MagicSettings magic;
  MiscSettings misc;
  HandlerAddressList handlers{};
  std::array<SpriteTalk, BrimwellConst::kSpriteCount> sprites{};
  // The switches in neither form, each known by its key's getter.
  std::vector<SettingGetter> inNeitherForm;

  static RomSettings LoadFromRom(ConstRomBytes image);
};

enum class ValueKind {
  Number,   // decimal as the dialogs show it; set takes what their edit fields take
  Boolean,  // true or false; a switch in neither form, "other"
  Choice,   // an entry text, or its index
  Flags,    // a list of entry texts, one per bit
  AuxByte,  // "$2A", or any number 0 to 255
  Handler,  // a catalogue entry text, its index, or a routine address
};

struct ValueForm {
  ValueKind kind = ValueKind::Number;
  IntRange range{};                         // Number: what set takes
  std::vector<std::string_view> entries{};  // Choice, Flags
  // Choice: the entries that set takes, from the first; later ones ("<< UNKNOWN >>") stand for
  // bytes the list cannot name and are only shown.
  std::size_t choosable = 0;
};

// The value as show prints it; null for a choice that selects no entry.
Json FormatValue(const ValueForm& form, std::int32_t value);
// The text that set takes for a shown value: strings as they are, anything else as JSON.
std::string ValueText(const Json& value);
// What set takes, in words, for messages and help.
std::string DescribeForm(const ValueForm& form);
// A talk routine's CPU address as the program shows it: "$9297".
std::string FormatAddress(std::uint16_t address);

// What set makes of a text for a setting that now holds current: the new value, or none when
// the text is no value of the form, or one that it cannot store. Blanks around the text mean
// nothing. A value equal to the current one is always taken, also where the editors would not
// take it (a maximum HP of -1 as read from zero bytes), since taking it changes nothing.
std::optional<std::int32_t> ParseValue(const ValueForm& form, std::string_view text,
                                       std::int32_t current);

enum class Editor { Limits, Battle, Magic, Misc, Sprites };
inline constexpr std::array<std::string_view, 5> kEditorNames = {"limits", "battle", "magic",
                                                                 "misc", "sprites"};

// A field of a patch editor's record. Records are loaded whole, so every field is present.
struct PatchKey {
  Editor editor;
  std::string_view field;
  ValueForm form;
  SettingGetter get;
  void (*put)(RomSettings&, std::int32_t);
  // The bytes that hold the value, which may move with other settings (the battle hits with the
  // weapon fix's form).
  Footprint (*footprint)(const RomSettings&);

  std::string Name() const;  // "limits.HPlimit"
};
const std::vector<PatchKey>& PatchKeys();

// A sprite setting. Every sprite has its handler; the other settings belong to the handler
// types whose active set holds them.
struct SpriteKey {
  std::string_view setting;
  std::optional<TalkSetting> talkSetting;  // none for the handler
  ValueForm form;
  // False for what is only shown: the next sprite (every store writes its own id + 1), and
  // whether the sprite disappears.
  bool writable = true;
  std::int32_t (*get)(const SpriteTalk&);
  void (*put)(SpriteTalk&, std::int32_t);

  bool Of(const SpriteTalk& talk) const;
  std::string Name(std::size_t spriteId) const;  // "sprites.42.Text1"
};
const std::vector<SpriteKey>& SpriteKeys();
const SpriteKey& HandlerKey();

// The settings that a sprite's handler type shows but never writes: those its routine's code
// holds, and whether the sprite disappears.
std::vector<const SpriteKey*> ReadOnlySources(const SpriteTalk& talk);

}  // namespace brimwell::cli
