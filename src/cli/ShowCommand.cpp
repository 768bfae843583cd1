#include "cli/Commands.h"

#include <algorithm>

#include "cli/CommandSupport.h"

namespace brimwell::cli {
namespace {

using BrimwellConst::kSpriteCount;

std::optional<NameLists> ReadNames(PlatformFiles& files, const std::string& path,
                                   ConstRomBytes image, std::ostream& err) {
  QuillonRecord record;
  switch (LoadQuillonData(files, path, record)) {
    case QuillonLoadResult::Loaded:
      break;
    case QuillonLoadResult::NotFound:
      Complain(err, path, WithReason(kCannotLoadMessage, files.FailureReason()));
      return std::nullopt;
    case QuillonLoadResult::InvalidSignature:
      Complain(err, path, kQuillonInvalidMessage);
      return std::nullopt;
  }
  NameLists names;
  FillNameLists(record, image, names.sprites, names.dialogues);
  return names;
}

// The name that a setting's value stands for: a dialogue string or the next sprite.
std::optional<std::string> NamedBy(const SpriteKey& key, std::int32_t value,
                                   const NameLists& names) {
  const auto index = static_cast<std::size_t>(value);
  switch (key.talkSetting.value_or(TalkSetting::Disappears)) {
    case TalkSetting::Text1:
    case TalkSetting::Text2:
    case TalkSetting::Text3:
    case TalkSetting::AuxText:
      if (index < names.dialogues.size()) return names.dialogues[index];
      break;
    case TalkSetting::NextSprite:
      if (index < names.sprites.size()) return names.sprites[index].name;
      break;
    default:
      break;
  }
  return std::nullopt;
}

// A sprite as show prints it: what it is, then its settings, which set takes back.
class SpriteView {
 public:
  SpriteView(const RomSettings& settings, std::size_t id, const NameLists* names)
      : settings_(settings), talk_(settings.sprites[id]), id_(id), names_(names) {}

  Json ToJson() const {
    Json sprite = Json::object();
    if (names_ && id_ < names_->sprites.size()) sprite["name"] = names_->sprites[id_].name;
    sprite["address"] = FormatAddress(settings_.handlers[id_]);
    Json values = Json::object();
    Json named = Json::object();
    for (const SpriteKey& key : SpriteKeys()) {
      if (!key.Of(talk_)) continue;
      values[std::string(key.setting)] = FormatValue(key.form, key.get(talk_));
      if (const auto name = Named(key)) named[std::string(key.setting)] = *name;
    }
    sprite["settings"] = std::move(values);
    Json readOnly = ReadOnlyJson();
    if (!readOnly.empty()) sprite["readOnly"] = std::move(readOnly);
    if (!named.empty()) sprite["names"] = std::move(named);
    return sprite;
  }

  void AddRows(std::vector<Row>& rows) const {
    for (const SpriteKey& key : SpriteKeys()) {
      if (!key.Of(talk_)) continue;
      rows.push_back({key.Name(id_), ValueText(FormatValue(key.form, key.get(talk_))),
                      &key == &HandlerKey() ? HandlerRemark() : Named(key).value_or("")});
    }
    const Json readOnly = ReadOnlyJson();
    for (const auto& [setting, value] : readOnly.items())
      rows.push_back(
          {"sprites." + std::to_string(id_) + "." + setting, ValueText(value), "read-only"});
  }

 private:
  std::optional<std::string> Named(const SpriteKey& key) const {
    if (!names_) return std::nullopt;
    return NamedBy(key, key.get(talk_), *names_);
  }

  Json ReadOnlyJson() const {
    Json readOnly = Json::object();
    for (const SpriteKey* key : ReadOnlySources(talk_))
      readOnly[std::string(key->setting)] = FormatValue(key->form, key->get(talk_));
    return readOnly;
  }

  std::string HandlerRemark() const {
    std::string remark = FormatAddress(settings_.handlers[id_]);
    if (names_ && id_ < names_->sprites.size()) remark += ", " + names_->sprites[id_].name;
    return remark;
  }

  const RomSettings& settings_;
  const SpriteTalk& talk_;
  std::size_t id_;
  const NameLists* names_;
};

Json EditorJson(const RomSettings& settings, Editor editor, const NameLists* names) {
  Json fields = Json::object();
  if (editor == Editor::Sprites) {
    // Members are kept in a vector whose growth copies them, keys being constant.
    fields.get_ref<Json::object_t&>().reserve(kSpriteCount);
    for (std::size_t id = 0; id < kSpriteCount; ++id)
      fields[std::to_string(id)] = SpriteView(settings, id, names).ToJson();
    return fields;
  }
  for (const PatchKey& key : PatchKeys())
    if (key.editor == editor)
      fields[std::string(key.field)] = FormatValue(key.form, key.get(settings));
  return fields;
}

void AddEditorRows(const RomSettings& settings, Editor editor, const NameLists* names,
                   std::vector<Row>& rows) {
  if (editor == Editor::Sprites) {
    for (std::size_t id = 0; id < kSpriteCount; ++id) SpriteView(settings, id, names).AddRows(rows);
    return;
  }
  for (const PatchKey& key : PatchKeys())
    if (key.editor == editor)
      rows.push_back({key.Name(), ValueText(FormatValue(key.form, key.get(settings))), ""});
}

std::vector<Editor> EditorsNamed(const std::vector<std::string>& names) {
  std::vector<Editor> editors;
  for (std::size_t i = 0; i < kEditorNames.size(); ++i)
    if (names.empty() || std::ranges::find(names, kEditorNames[i]) != names.end())
      editors.push_back(static_cast<Editor>(i));
  return editors;
}

}  // namespace

int Show(const ShowRequest& request, Streams streams) {
  PlatformFiles files;
  RomDocument document(files);
  if (!OpenRom(document, request.rom, streams.err)) return kExitFileError;
  std::optional<NameLists> names;
  if (request.dataFile) {
    names = ReadNames(files, *request.dataFile, document.Image().Bytes(), streams.err);
    if (!names) return kExitFileError;
  }
  const RomSettings settings = RomSettings::LoadFromRom(document.Image().Bytes());
  const NameLists* named = names ? &*names : nullptr;

  if (request.json) {
    Json shown = Json::object();
    for (Editor editor : EditorsNamed(request.editors))
      shown[std::string(NameOf(editor))] = EditorJson(settings, editor, named);
    streams.out << shown.dump(2, ' ', false, Json::error_handler_t::replace) << '\n';
  } else {
    std::vector<Row> rows;
    for (Editor editor : EditorsNamed(request.editors))
      AddEditorRows(settings, editor, named, rows);
    PrintTable(rows, streams.out);
  }
  return kExitSuccess;
}

}  // namespace brimwell::cli
