#include "cli/SettingKeys.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <limits>
#include <type_traits>

#include "cli/SettingChanges.h"

namespace brimwell::cli {
namespace {

using enum ValueKind;

template <typename Entries>
std::vector<std::string_view> EntryList(const Entries& entries) {
  return {std::begin(entries), std::end(entries)};
}

ValueForm NumberForm(IntRange range) {
  return {.kind = Number, .range = range};
}

ValueForm BooleanForm() {
  return {.kind = Boolean};
}

template <typename Entries>
ValueForm ChoiceForm(const Entries& entries, std::size_t choosable) {
  return {.kind = Choice, .entries = EntryList(entries), .choosable = choosable};
}

template <typename Entries>
ValueForm ChoiceForm(const Entries& entries) {
  return ChoiceForm(entries, std::size(entries));
}

template <typename Entries>
ValueForm FlagsForm(const Entries& entries) {
  return {.kind = Flags, .entries = EntryList(entries)};
}

// A record field as a plain integer: choices as their index, booleans as 0 or 1.
template <auto Record, auto Field>
std::int32_t ReadField(const RomSettings& settings) {
  const auto& value = (settings.*Record).*Field;
  if constexpr (std::is_same_v<std::remove_cvref_t<decltype(value)>, IntegerField>)
    return value.value_or(0);
  else
    return static_cast<std::int32_t>(value);
}

template <auto Record, auto Field>
void WriteField(RomSettings& settings, std::int32_t value) {
  auto& field = (settings.*Record).*Field;
  using FieldType = std::remove_cvref_t<decltype(field)>;
  if constexpr (std::is_same_v<FieldType, IntegerField> || std::is_same_v<FieldType, bool>)
    field = value;
  else
    field = static_cast<FieldType>(value);
}

// Where the record keeps the field: one member of the footprints of Record's type.
template <auto Record, auto Footprint>
brimwell::Footprint FieldFootprint(const RomSettings& settings) {
  return (settings.*Record).Footprints().*Footprint;
}

template <auto Record, auto Field, auto Footprint>
PatchKey Key(Editor editor, std::string_view field, ValueForm form) {
  return {editor,
          field,
          std::move(form),
          &ReadField<Record, Field>,
          &WriteField<Record, Field>,
          &FieldFootprint<Record, Footprint>};
}

template <auto Record, auto Field>
std::int32_t ReadSwitch(const RomSettings& settings) {
  if (std::ranges::find(settings.inNeitherForm, &ReadSwitch<Record, Field>) !=
      settings.inNeitherForm.end())
    return kNeitherForm;
  return ReadField<Record, Field>(settings);
}

// Neither form stays as it stands; on or off puts the switch in that form.
template <auto Record, auto Field>
void WriteSwitch(RomSettings& settings, std::int32_t value) {
  if (value == kNeitherForm) return;
  std::erase(settings.inNeitherForm, &ReadSwitch<Record, Field>);
  WriteField<Record, Field>(settings, value);
}

template <auto Record, auto Field, auto Footprint>
PatchKey Switch(Editor editor, std::string_view field) {
  return {editor,
          field,
          BooleanForm(),
          &ReadSwitch<Record, Field>,
          &WriteSwitch<Record, Field>,
          &FieldFootprint<Record, Footprint>};
}

template <auto Setting>
std::int32_t ReadTalk(const SpriteTalk& talk) {
  return static_cast<std::int32_t>(talk.*Setting);
}

template <auto Setting>
void WriteTalk(SpriteTalk& talk, std::int32_t value) {
  talk.*Setting = static_cast<std::remove_cvref_t<decltype(talk.*Setting)>>(value);
}

std::optional<std::size_t> EntryIndex(const ValueForm& form, std::string_view text) {
  const auto entry = std::ranges::find(form.entries, text);
  if (entry == form.entries.end()) return std::nullopt;
  return static_cast<std::size_t>(entry - form.entries.begin());
}

std::optional<std::int32_t> AnyNumber(std::string_view text) {
  return TryParseInRange(text, std::numeric_limits<std::int32_t>::min(),
                         std::numeric_limits<std::int32_t>::max());
}

// Blanks around a value or a list item mean nothing.
std::string_view Trimmed(std::string_view text) {
  constexpr std::string_view kBlanks = " \t\r\n\v\f";
  const auto first = text.find_first_not_of(kBlanks);
  if (first == std::string_view::npos) return {};
  return text.substr(first, text.find_last_not_of(kBlanks) - first + 1);
}

// The names of a flag list, from a JSON array of strings or from a comma-separated text, where
// a blank text is the empty list and an empty item is a mistake.
std::optional<std::vector<std::string>> FlagNames(std::string_view text) {
  std::vector<std::string> names;
  if (text.starts_with('[')) {
    const Json list = Json::parse(text, nullptr, false);
    if (!list.is_array()) return std::nullopt;
    for (const Json& name : list) {
      if (!name.is_string()) return std::nullopt;
      names.push_back(name.get<std::string>());
    }
    return names;
  }
  if (text.empty()) return names;
  while (true) {
    const std::size_t comma = text.find(',');
    const std::string_view name = Trimmed(text.substr(0, comma));
    if (name.empty()) return std::nullopt;
    names.emplace_back(name);
    if (comma == std::string_view::npos) return names;
    text.remove_prefix(comma + 1);
  }
}

std::optional<std::int32_t> FlagsOf(const ValueForm& form, std::string_view text) {
  const std::optional<std::vector<std::string>> names = FlagNames(text);
  if (!names) return std::nullopt;
  std::int32_t flags = 0;
  for (const std::string& name : *names) {
    const std::optional<std::size_t> bit = EntryIndex(form, name);
    if (!bit) return std::nullopt;
    flags |= std::int32_t{1} << *bit;
  }
  return flags;
}

// "$" and four hexadecimal digits, as show prints a routine's address.
bool IsAddressText(std::string_view text) {
  return text.size() == 5 && text[0] == '$' &&
         std::ranges::all_of(text.substr(1), [](char c) { return std::isxdigit(Byte(c)) != 0; });
}

// An entry text, an address as show prints it, or a number: an entry's index when the
// catalogue has one, otherwise an address.
std::optional<std::int32_t> HandlerAddressOf(std::string_view text) {
  const auto entry = std::ranges::find(HandlerCatalogue, text, &HandlerType::entry);
  if (entry != HandlerCatalogue.end()) return entry->address;
  const std::optional<std::int32_t> number = TryParseInRange(text, 0, 0xFFFF);
  if (number && !IsAddressText(text) && *number < std::int32_t{kHandlerCount})
    return HandlerCatalogue[static_cast<std::size_t>(*number)].address;
  return number;
}

// Any value the text names, storable or not.
std::optional<std::int32_t> ValueNamed(const ValueForm& form, std::string_view text) {
  switch (form.kind) {
    case Number:
      return AnyNumber(text);
    case Boolean:
      if (text == "true") return 1;
      if (text == "false") return 0;
      return std::nullopt;
    case Choice:
      if (const std::optional<std::size_t> index = EntryIndex(form, text))
        return static_cast<std::int32_t>(*index);
      return TryParseInRange(text, 0, static_cast<std::int32_t>(form.entries.size()) - 1);
    case Flags:
      return FlagsOf(form, text);
    case AuxByte:
      return TryParseInRange(text, 0, 0xFF);
    case Handler:
      return HandlerAddressOf(text);
  }
  return std::nullopt;
}

bool Storable(const ValueForm& form, std::int32_t value) {
  switch (form.kind) {
    case Number:
      return form.range.min <= value && value <= form.range.max;
    case Choice:
      return value >= 0 && static_cast<std::size_t>(value) < form.choosable;
    case Handler:
      return FindHandlerEntry(static_cast<std::uint16_t>(value)).has_value();
    default:
      return true;
  }
}

std::string QuotedList(const std::vector<std::string_view>& entries, std::size_t count) {
  std::string list;
  for (std::size_t i = 0; i < count; ++i)
    list += (i ? ", \"" : "\"") + std::string(entries[i]) + "\"";
  return list;
}

// Longer lists are in the README; a message names only the range of their indexes.
constexpr std::size_t kListedEntries = 8;

}  // namespace

RomSettings RomSettings::LoadFromRom(ConstRomBytes image) {
  RomSettings settings;
  settings.limits = LimitsSettings::LoadFromRom(image);
  settings.battle = BattleSettings::LoadFromRom(image);
  settings.magic = MagicSettings::LoadFromRom(image);
  settings.misc = MiscSettings::LoadFromRom(image);
  settings.handlers = ReadHandlerAddresses(image);
  for (std::size_t id = 0; id < settings.sprites.size(); ++id)
    settings.sprites[id] = LoadSprite(image, id, settings.handlers[id]);
  settings.inNeitherForm = SwitchesInNeitherForm(settings, image);
  return settings;
}

Json FormatValue(const ValueForm& form, std::int32_t value) {
  switch (form.kind) {
    case Number:
      return value;
    case Boolean:
      if (value == kNeitherForm) return kNeitherFormText;
      return value != 0;
    case Choice:
      if (value < 0 || static_cast<std::size_t>(value) >= form.entries.size()) return nullptr;
      return form.entries[static_cast<std::size_t>(value)];
    case Flags: {
      Json names = Json::array();
      for (std::size_t bit = 0; bit < form.entries.size(); ++bit)
        if (value & (1 << bit)) names.push_back(form.entries[bit]);
      return names;
    }
    case AuxByte:
      return FormatAuxValue(static_cast<Byte>(value));
    case Handler:
      if (const auto entry = FindHandlerEntry(static_cast<std::uint16_t>(value)))
        return HandlerCatalogue[*entry].entry;
      return FormatAddress(static_cast<std::uint16_t>(value));
  }
  return nullptr;
}

std::string FormatAddress(std::uint16_t address) {
  char text[8];
  std::snprintf(text, sizeof text, "$%04X", unsigned{address});
  return text;
}

std::string ValueText(const Json& value) {
  return value.is_string() ? value.get<std::string>() : value.dump();
}

std::string DescribeForm(const ValueForm& form) {
  switch (form.kind) {
    case Number:
      return "a number from " + std::to_string(form.range.min) + " to " +
             std::to_string(form.range.max);
    case Boolean:
      return "true or false";
    case Choice: {
      const std::string indexes = "0 to " + std::to_string(form.choosable - 1);
      if (form.choosable > kListedEntries) return "an entry of its list, or its index " + indexes;
      return "one of " + QuotedList(form.entries, form.choosable) + ", or its index " + indexes;
    }
    case Flags:
      return "a list of " + QuotedList(form.entries, form.entries.size()) +
             ", comma-separated or as a JSON array";
    case AuxByte:
      return "a number from 0 to 255, such as $2A or 42";
    case Handler:
      return "a handler entry text, its index 0 to " + std::to_string(kHandlerCount - 1) +
             " or its address, such as " + FormatAddress(HandlerCatalogue[0].address);
  }
  return {};
}

std::optional<std::int32_t> ParseValue(const ValueForm& form, std::string_view text,
                                       std::int32_t current) {
  text = Trimmed(text);
  const std::optional<std::int32_t> value = ValueNamed(form, text);
  if (!value) {
    // What show prints for values that name nothing (null, an unknown handler's address).
    if (text == ValueText(FormatValue(form, current))) return current;
    return std::nullopt;
  }
  if (*value != current && !Storable(form, *value)) return std::nullopt;
  return value;
}

std::string PatchKey::Name() const {
  return std::string(kEditorNames[static_cast<std::size_t>(editor)]) + "." + std::string(field);
}

const std::vector<PatchKey>& PatchKeys() {
  using R = RomSettings;
  using LF = LimitsFootprints;
  using BF = BattleFootprints;
  using MF = MagicFootprints;
  using XF = MiscFootprints;
  using enum Editor;
  static const std::vector<PatchKey> keys = {
      Key<&R::limits, &LimitsSettings::HPlimit, &LF::HPlimit>(Limits, "HPlimit",
                                                              NumberForm(kHPlimitRange)),
      Switch<&R::limits, &LimitsSettings::LimitMP, &LF::LimitMP>(Limits, "LimitMP"),
      Key<&R::limits, &LimitsSettings::LimitFiTh, &LF::LimitFiTh>(Limits, "LimitFiTh",
                                                                  NumberForm(kMPLimitRange)),
      Key<&R::limits, &LimitsSettings::LimitOther, &LF::LimitOther>(Limits, "LimitOther",
                                                                    NumberForm(kMPLimitRange)),
      Key<&R::limits, &LimitsSettings::MaxMPInc, &LF::MaxMPInc>(Limits, "MaxMPInc",
                                                                NumberForm(kMaxMPIncRange)),
      Key<&R::limits, &LimitsSettings::ExpGold, &LF::ExpGold>(Limits, "ExpGold",
                                                              NumberForm(kExpGoldRange)),
      Switch<&R::battle, &BattleSettings::FixRun, &BF::FixRun>(Battle, "FixRun"),
      Switch<&R::battle, &BattleSettings::FixWeapon, &BF::FixWeapon>(Battle, "FixWeapon"),
      Switch<&R::battle, &BattleSettings::FixMonsterFight, &BF::FixMonsterFight>(Battle,
                                                                                 "FixMonsterFight"),
      Key<&R::battle, &BattleSettings::BaseHits, &BF::BaseHits>(Battle, "BaseHits",
                                                                NumberForm(kBaseHitsRange)),
      Key<&R::battle, &BattleSettings::HitPct, &BF::HitPct>(Battle, "HitPct",
                                                            ChoiceForm(kHitPctEntries)),
      Key<&R::battle, &BattleSettings::WeaponBonus, &BF::WeaponBonus>(
          Battle, "WeaponBonus", NumberForm(kWeaponBonusRange)),
      Switch<&R::magic, &MagicSettings::FixLOCK, &MF::FixLOCK>(Magic, "FixLOCK"),
      // 255 passes the dialog's edit but cannot be stored, so it is refused here.
      Key<&R::magic, &MagicSettings::HitMultiplier, &MF::HitMultiplier>(
          Magic, "HitMultiplier", NumberForm(kStorableHitMultiplierRange)),
      Key<&R::magic, &MagicSettings::DamageFamily, &MF::DamageFamily>(
          Magic, "DamageFamily", FlagsForm(kDamageFamilyNames)),
      Key<&R::magic, &MagicSettings::WeakBonus, &MF::WeakBonus>(Magic, "WeakBonus",
                                                                ChoiceForm(kWeakBonusEntries)),
      Key<&R::magic, &MagicSettings::Neg2HPLimit, &MF::Neg2HPLimit>(Magic, "Neg2HPLimit",
                                                                    NumberForm(kNeg2HPLimitRange)),
      Switch<&R::misc, &MiscSettings::ShipGameEnabled, &XF::ShipGameEnabled>(Misc,
                                                                             "ShipGameEnabled"),
      Switch<&R::misc, &MiscSettings::ShipGameAnywhere, &XF::ShipGameAnywhere>(Misc,
                                                                               "ShipGameAnywhere"),
      Key<&R::misc, &MiscSettings::ShipGold, &XF::ShipGold>(Misc, "ShipGold",
                                                            NumberForm(kShipGoldRange)),
      Key<&R::misc, &MiscSettings::ShipBtnPresses, &XF::ShipBtnPresses>(
          Misc, "ShipBtnPresses", NumberForm(kShipBtnPressesRange)),
      Key<&R::misc, &MiscSettings::AirshipLanding, &XF::AirshipLanding>(
          Misc, "AirshipLanding", ChoiceForm(kAirshipLandingEntries)),
  };
  return keys;
}

bool SpriteKey::Of(const SpriteTalk& talk) const {
  return !talkSetting || talk.active.Has(*talkSetting);
}

std::string SpriteKey::Name(std::size_t spriteId) const {
  return "sprites." + std::to_string(spriteId) + "." + std::string(setting);
}

const std::vector<SpriteKey>& SpriteKeys() {
  using enum TalkSetting;
  constexpr IntRange kTextIds{0, 0xFF};
  constexpr IntRange kSpriteIds{0, BrimwellConst::kSpriteCount - 1};
  static const std::vector<SpriteKey> keys = {
      {"Handler",
       std::nullopt,
       {.kind = Handler},
       true,
       &ReadTalk<&SpriteTalk::handlerAddress>,
       &WriteTalk<&SpriteTalk::handlerAddress>},
      {"Text1", Text1, NumberForm(kTextIds), true, &ReadTalk<&SpriteTalk::Text1>,
       &WriteTalk<&SpriteTalk::Text1>},
      {"Text2", Text2, NumberForm(kTextIds), true, &ReadTalk<&SpriteTalk::Text2>,
       &WriteTalk<&SpriteTalk::Text2>},
      {"Text3", Text3, NumberForm(kTextIds), true, &ReadTalk<&SpriteTalk::Text3>,
       &WriteTalk<&SpriteTalk::Text3>},
      {"PlotEvent", PlotEvent, ChoiceForm(kPlotEvents, kUnknownPlotEvent), true,
       &ReadTalk<&SpriteTalk::PlotEvent>, &WriteTalk<&SpriteTalk::PlotEvent>},
      // A routine byte below 0x20 names no item: -1, shown as null.
      {"Item", Item, ChoiceForm(kItems, kUnknownItem), true,
       [](const SpriteTalk& talk) { return talk.Item ? std::int32_t(*talk.Item) : -1; },
       [](SpriteTalk& talk, std::int32_t entry) { talk.Item = std::size_t(entry); }},
      {"AuxValue",
       AuxValue,
       {.kind = AuxByte},
       true,
       &ReadTalk<&SpriteTalk::AuxValue>,
       &WriteTalk<&SpriteTalk::AuxValue>},
      {"AuxText", AuxText, NumberForm(kTextIds), true, &ReadTalk<&SpriteTalk::AuxText>,
       &WriteTalk<&SpriteTalk::AuxText>},
      {"NextSprite", NextSprite, NumberForm(kSpriteIds), false, &ReadTalk<&SpriteTalk::NextSprite>,
       &WriteTalk<&SpriteTalk::NextSprite>},
      // A property of the handler type, shown among the read-only values of the types that have
      // it; no active set holds it.
      {"Disappears", Disappears, BooleanForm(), false, &ReadTalk<&SpriteTalk::Disappears>,
       &WriteTalk<&SpriteTalk::Disappears>},
  };
  return keys;
}

const SpriteKey& HandlerKey() {
  return SpriteKeys().front();
}

std::vector<const SpriteKey*> ReadOnlySources(const SpriteTalk& talk) {
  std::vector<const SpriteKey*> sources;
  if (!talk.entry || HandlerCatalogue[*talk.entry].Inert()) return sources;
  const HandlerType& type = HandlerCatalogue[*talk.entry];
  for (const SpriteKey& key : SpriteKeys()) {
    const bool shownOnly =
        (key.talkSetting == TalkSetting::PlotEvent && type.plotEvent.Exists() &&
         !type.plotEvent.editable) ||
        (key.talkSetting == TalkSetting::Item && type.item.Exists() && !type.item.editable) ||
        (key.talkSetting == TalkSetting::Disappears && type.disappears);
    if (shownOnly) sources.push_back(&key);
  }
  return sources;
}

}  // namespace brimwell::cli
