#include "cli/SettingChanges.h"

#include <algorithm>

#include "rom/RomDocument.h"

namespace brimwell::cli {
namespace {

using BrimwellConst::kSpriteCount;

// A patch editor's whole record, as its OK writes it; sprites are stored one by one.
void StoreEditor(const RomSettings& settings, Editor editor, RomBytes image, Byte lockByteAtOpen) {
  switch (editor) {
    case Editor::Limits:
      return settings.limits.StoreToRom(image);
    case Editor::Battle:
      return settings.battle.StoreToRom(image);
    case Editor::Magic:
      return settings.magic.StoreToRom(image, lockByteAtOpen);
    case Editor::Misc:
      return settings.misc.StoreToRom(image);
    case Editor::Sprites:
      return;
  }
}

Json Shown(const SpriteKey& key, const SpriteTalk& talk) {
  return key.Of(talk) ? FormatValue(key.form, key.get(talk)) : Json();
}

bool SameBytes(const Footprint& footprint, ConstRomBytes a, ConstRomBytes b) {
  return std::ranges::all_of(footprint.Ranges(), [&](const ByteRange& range) {
    return std::ranges::equal(a.subspan(range.offset, range.length),
                              b.subspan(range.offset, range.length));
  });
}

void CopyBytes(const Footprint& footprint, ConstRomBytes from, RomBytes to) {
  for (const ByteRange& range : footprint.Ranges())
    std::ranges::copy(from.subspan(range.offset, range.length), to.begin() + range.offset);
}

}  // namespace

std::string SettingChange::Key() const {
  std::string key(kEditorNames[static_cast<std::size_t>(editor)]);
  if (sprite) key += "." + std::to_string(*sprite);
  return key + "." + std::string(setting);
}

std::vector<SettingChange> ChangedSettings(const RomSettings& before, const RomSettings& after) {
  std::vector<SettingChange> changes;
  for (const PatchKey& key : PatchKeys()) {
    Json a = FormatValue(key.form, key.get(before));
    Json b = FormatValue(key.form, key.get(after));
    if (a == b) continue;
    changes.push_back({key.editor, std::nullopt, key.field, std::move(a), std::move(b),
                       key.footprint(before).Add(key.footprint(after))});
  }
  for (std::size_t id = 0; id < kSpriteCount; ++id) {
    const SpriteTalk& talkBefore = before.sprites[id];
    const SpriteTalk& talkAfter = after.sprites[id];
    if (talkBefore == talkAfter) continue;
    for (const SpriteKey& key : SpriteKeys()) {
      Json a = Shown(key, talkBefore);
      Json b = Shown(key, talkAfter);
      if (a == b) continue;
      changes.push_back({Editor::Sprites, id, key.setting, std::move(a), std::move(b),
                         SettingFootprint(id, talkBefore, key.talkSetting)
                             .Add(SettingFootprint(id, talkAfter, key.talkSetting))});
    }
  }
  return changes;
}

std::size_t ImageChanges::OtherByteCount() const {
  std::size_t count = 0;
  for (const ByteRange& range : otherBytes) count += range.length;
  return count;
}

ImageChanges DescribeChanges(ConstRomBytes before, ConstRomBytes after) {
  ImageChanges changes{
      ChangedSettings(RomSettings::LoadFromRom(before), RomSettings::LoadFromRom(after)), {}};
  const std::size_t length = std::max(before.size(), after.size());
  std::vector<bool> held(length);
  for (const SettingChange& change : changes.settings)
    for (const ByteRange& range : change.bytes.Ranges())
      std::fill(held.begin() + std::min(range.offset, length),
                held.begin() + std::min(range.End(), length), true);
  for (std::size_t offset = 0; offset < length; ++offset) {
    const bool changed =
        offset >= before.size() || offset >= after.size() || before[offset] != after[offset];
    if (!changed || held[offset]) continue;
    if (!changes.otherBytes.empty() && changes.otherBytes.back().End() == offset)
      ++changes.otherBytes.back().length;
    else
      changes.otherBytes.push_back({offset, 1});
  }
  return changes;
}

void StoreChangedSettings(const RomSettings& loaded, const RomSettings& edited, RomBytes image,
                          Byte lockByteAtOpen) {
  const std::vector<SettingChange> changes = ChangedSettings(loaded, edited);
  // Each editor, or sprite, stores its whole record into a copy, as its OK would; only the bytes
  // of the changed settings are taken from there. Changes come editor by editor, sprite by sprite.
  std::vector<Byte> stored(image.begin(), image.end());
  const SettingChange* previous = nullptr;
  for (const SettingChange& change : changes) {
    const bool storedAlready =
        previous && previous->editor == change.editor && previous->sprite == change.sprite;
    previous = &change;
    if (storedAlready) continue;
    if (change.sprite)
      StoreSprite(stored, *change.sprite, edited.sprites[*change.sprite]);
    else
      StoreEditor(edited, change.editor, stored, lockByteAtOpen);
  }
  if (loaded.handlers != edited.handlers) WriteHandlerAddresses(stored, edited.handlers);
  for (const SettingChange& change : changes) CopyBytes(change.bytes, stored, image);
}

std::vector<SettingGetter> SwitchesInNeitherForm(const RomSettings& loaded, ConstRomBytes image) {
  std::vector<SettingGetter> switches;
  std::vector<Byte> stored(image.begin(), image.end());
  // Switched off, the magic fix puts back the byte that stands there now: any byte is its form.
  const Byte lockByte = image[kEvadeLockOffset];
  for (const PatchKey& key : PatchKeys()) {
    if (key.form.kind != ValueKind::Boolean) continue;
    const auto holdsForm = [&](std::int32_t on) {
      RomSettings switched = loaded;
      key.put(switched, on);
      StoreEditor(switched, key.editor, stored, lockByte);
      return SameBytes(key.footprint(switched), image, stored);
    };
    if (!holdsForm(0) && !holdsForm(1)) switches.push_back(key.get);
  }
  return switches;
}

}  // namespace brimwell::cli
