#include "cli/Commands.h"

#include <algorithm>
#include <set>

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

// The settings that show prints: every one, or only those that changed.
class Selection {
 public:
  Selection() = default;
  explicit Selection(const std::vector<SettingChange>& changes) : keys_(std::set<std::string>()) {
    for (const SettingChange& change : changes) {
      keys_->insert(change.Key());
      if (change.sprite) sprites_.insert(*change.sprite);
    }
  }

  bool Everything() const { return !keys_; }
  bool Holds(const std::string& key) const { return !keys_ || keys_->contains(key); }
  bool HoldsSprite(std::size_t id) const { return !keys_ || sprites_.contains(id); }

 private:
  std::optional<std::set<std::string>> keys_;
  std::set<std::size_t> sprites_;
};

// A sprite as show prints it: what it is, then its settings, which set takes back. The values
// that its routine fixes are only shown with all the rest, as they never change alone.
class SpriteView {
 public:
  SpriteView(const RomSettings& settings, std::size_t id, const NameLists* names,
             const Selection& selection)
      : settings_(settings),
        talk_(settings.sprites[id]),
        id_(id),
        names_(names),
        selection_(selection) {}

  Json ToJson() const {
    Json sprite = Json::object();
    if (names_ && id_ < names_->sprites.size()) sprite["name"] = names_->sprites[id_].name;
    sprite["address"] = FormatAddress(settings_.handlers[id_]);
    Json values = Json::object();
    Json named = Json::object();
    for (const SpriteKey* key : Shown()) {
      values[std::string(key->setting)] = FormatValue(key->form, key->get(talk_));
      if (const auto name = Named(*key)) named[std::string(key->setting)] = *name;
    }
    sprite["settings"] = std::move(values);
    Json readOnly = ReadOnlyJson();
    if (!readOnly.empty()) sprite["readOnly"] = std::move(readOnly);
    if (!named.empty()) sprite["names"] = std::move(named);
    return sprite;
  }

  void AddRows(std::vector<Row>& rows) const {
    for (const SpriteKey* key : Shown()) {
      rows.push_back({key->Name(id_), ValueText(FormatValue(key->form, key->get(talk_))),
                      key == &HandlerKey() ? HandlerRemark() : Named(*key).value_or("")});
    }
    const Json readOnly = ReadOnlyJson();
    for (const auto& [setting, value] : readOnly.items())
      rows.push_back(
          {"sprites." + std::to_string(id_) + "." + setting, ValueText(value), "read-only"});
  }

 private:
  std::vector<const SpriteKey*> Shown() const {
    std::vector<const SpriteKey*> shown;
    for (const SpriteKey& key : SpriteKeys())
      // Named only when there is a choice: show prints every setting of 208 sprites.
      if (key.Of(talk_) && (selection_.Everything() || selection_.Holds(key.Name(id_))))
        shown.push_back(&key);
    return shown;
  }

  std::optional<std::string> Named(const SpriteKey& key) const {
    if (!names_) return std::nullopt;
    return NamedBy(key, key.get(talk_), *names_);
  }

  Json ReadOnlyJson() const {
    Json readOnly = Json::object();
    if (!selection_.Everything()) return readOnly;
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
  const Selection& selection_;
};

// What show prints for one image: the settings selected, named by the data file when it was read.
struct ShownImage {
  const RomSettings& settings;
  const NameLists* names;
  const Selection& selection;
};

std::vector<const PatchKey*> ShownFields(const ShownImage& shown, Editor editor) {
  std::vector<const PatchKey*> fields;
  for (const PatchKey& key : PatchKeys())
    if (key.editor == editor && shown.selection.Holds(key.Name())) fields.push_back(&key);
  return fields;
}

Json EditorJson(const ShownImage& shown, Editor editor) {
  Json fields = Json::object();
  if (editor == Editor::Sprites) {
    // Members are kept in a vector whose growth copies them, keys being constant.
    fields.get_ref<Json::object_t&>().reserve(kSpriteCount);
    for (std::size_t id = 0; id < kSpriteCount; ++id)
      if (shown.selection.HoldsSprite(id))
        fields[std::to_string(id)] =
            SpriteView(shown.settings, id, shown.names, shown.selection).ToJson();
    return fields;
  }
  for (const PatchKey* key : ShownFields(shown, editor))
    fields[std::string(key->field)] = FormatValue(key->form, key->get(shown.settings));
  return fields;
}

void AddEditorRows(const ShownImage& shown, Editor editor, std::vector<Row>& rows) {
  if (editor == Editor::Sprites) {
    for (std::size_t id = 0; id < kSpriteCount; ++id)
      if (shown.selection.HoldsSprite(id))
        SpriteView(shown.settings, id, shown.names, shown.selection).AddRows(rows);
    return;
  }
  for (const PatchKey* key : ShownFields(shown, editor))
    rows.push_back({key->Name(), ValueText(FormatValue(key->form, key->get(shown.settings))), ""});
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
  Selection selection;
  if (request.changedFrom) {
    RomDocument original(files);
    if (!OpenRom(original, *request.changedFrom, streams.err)) return kExitFileError;
    selection =
        Selection(ChangedSettings(RomSettings::LoadFromRom(original.Image().Bytes()), settings));
  }
  const ShownImage shown{settings, names ? &*names : nullptr, selection};

  if (request.json) {
    Json printed = Json::object();
    for (Editor editor : EditorsNamed(request.editors)) {
      Json fields = EditorJson(shown, editor);
      // Only the editors that hold a change, when only changes are shown.
      if (selection.Everything() || !fields.empty())
        printed[std::string(NameOf(editor))] = std::move(fields);
    }
    streams.out << printed.dump(2, ' ', false, Json::error_handler_t::replace) << '\n';
  } else {
    std::vector<Row> rows;
    for (Editor editor : EditorsNamed(request.editors)) AddEditorRows(shown, editor, rows);
    PrintTable(rows, streams.out);
  }
  return kExitSuccess;
}

}  // namespace brimwell::cli
