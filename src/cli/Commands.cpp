#include "cli/Commands.h"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <set>

#include "cli/SettingKeys.h"
#include "platform/PlatformFiles.h"
#include "rom/PatchFile.h"
#include "rom/QuillonData.h"
#include "rom/RomDocument.h"

namespace brimwell::cli {
namespace {

using BrimwellConst::kSpriteCount;

constexpr std::string_view kProgram = "brimwell-cli";

void Complain(std::ostream& err, std::string_view subject, std::string_view message) {
  err << kProgram << ": " << subject << ": " << message << '\n';
}

// Reads the ROM at path as the window opens it: whole, and only when it can be a Final Fantasy
// image.
bool OpenRom(RomDocument& document, const std::string& path, std::ostream& err) {
  document.SetRomPath(path);
  switch (document.Open()) {
    case OpenOutcome::Opened:
      return true;
    case OpenOutcome::TooShort:
      Complain(err, path, kNotFinalFantasyMessage);
      return false;
    case OpenOutcome::LoadError:
      break;
  }
  Complain(err, path, kCannotLoadMessage);
  return false;
}

struct NameLists {
  SpriteNameList sprites;
  DialogueNameList dialogues;
};

std::optional<NameLists> ReadNames(PlatformFiles& files, const std::string& path,
                                   ConstRomBytes image, std::ostream& err) {
  QuillonRecord record;
  switch (LoadQuillonData(files, path, record)) {
    case QuillonLoadResult::Loaded:
      break;
    case QuillonLoadResult::NotFound:
      Complain(err, path, kCannotLoadMessage);
      return std::nullopt;
    case QuillonLoadResult::InvalidSignature:
      Complain(err, path, kQuillonInvalidMessage);
      return std::nullopt;
  }
  NameLists names;
  FillNameLists(record, image, names.sprites, names.dialogues);
  return names;
}

std::string_view NameOf(Editor editor) {
  return kEditorNames[static_cast<std::size_t>(editor)];
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

// One line of a table: the key, its value as set takes it, and a remark.
struct Row {
  std::string key;
  std::string value;
  std::string remark;
};

void PrintTable(const std::vector<Row>& rows, std::ostream& out) {
  std::size_t keyWidth = 0;
  std::size_t valueWidth = 0;
  for (const Row& row : rows) {
    keyWidth = std::max(keyWidth, row.key.size());
    if (!row.remark.empty()) valueWidth = std::max(valueWidth, row.value.size());
  }
  for (const Row& row : rows) {
    std::string line = row.key + std::string(keyWidth - row.key.size() + 2, ' ') + row.value;
    if (!row.remark.empty())
      line += std::string(valueWidth - row.value.size() + 2, ' ') + row.remark;
    out << line << '\n';
  }
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
    if (talk_.Disappears) readOnly["Disappears"] = true;
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

// ---- set ----

// One KEY=VALUE, taken or refused.
class Assignments {
 public:
  Assignments(ConstRomBytes image, const RomSettings& loaded, std::ostream& err)
      : image_(image), loaded_(loaded), edited_(loaded), err_(err) {}

  // Patch keys and handlers first, so that a sprite's settings follow its new handler type.
  void Take(const std::vector<std::string>& assignments) {
    const std::string handlerSuffix = "." + std::string(HandlerKey().setting);
    std::vector<std::string_view> spriteSettings;
    for (const std::string& assignment : assignments) {
      if (assignment.find('=') == std::string::npos) {
        Refuse(assignment, "expected KEY=VALUE");
      } else if (!seen_.insert(assignment.substr(0, assignment.find('='))).second) {
        Refuse(assignment, "the key is given twice");
      } else if (!assignment.starts_with("sprites.")) {
        TakePatchKey(assignment);
      } else if (KeyOf(assignment).ends_with(handlerSuffix)) {
        TakeSpriteKey(assignment);
      } else {
        spriteSettings.push_back(assignment);
      }
    }
    for (std::string_view assignment : spriteSettings) TakeSpriteKey(assignment);
  }

  bool Refused() const { return refused_; }
  const RomSettings& Edited() const { return edited_; }

 private:
  void Refuse(std::string_view assignment, std::string_view reason) {
    err_ << kProgram << ": refused " << assignment << ": " << reason << '\n';
    refused_ = true;
  }

  static std::string_view KeyOf(std::string_view assignment) {
    return assignment.substr(0, assignment.find('='));
  }
  static std::string_view ValueOf(std::string_view assignment) {
    return assignment.substr(assignment.find('=') + 1);
  }

  void TakePatchKey(std::string_view assignment) {
    const std::string_view key = KeyOf(assignment);
    const std::string_view value = ValueOf(assignment);
    const auto& keys = PatchKeys();
    const auto found = std::ranges::find(keys, key, &PatchKey::Name);
    if (found == keys.end()) return Refuse(assignment, "no such key");
    const std::optional<std::int32_t> taken = ParseValue(found->form, value, found->get(loaded_));
    if (!taken) return Refuse(assignment, "takes " + DescribeForm(found->form));
    found->put(edited_, *taken);
  }

  // "sprites.ID.SETTING", with ID in decimal.
  void TakeSpriteKey(std::string_view assignment) {
    std::string_view key = KeyOf(assignment);
    const std::string_view value = ValueOf(assignment);
    key.remove_prefix(std::string_view("sprites.").size());
    const std::size_t dot = key.find('.');
    std::size_t id = kSpriteCount;
    const std::string_view digits = key.substr(0, dot);
    const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), id);
    const auto& keys = SpriteKeys();
    const auto found = dot == std::string_view::npos
                           ? keys.end()
                           : std::ranges::find(keys, key.substr(dot + 1), &SpriteKey::setting);
    if (error != std::errc() || end != digits.data() + digits.size() || id >= kSpriteCount ||
        found == keys.end())
      return Refuse(assignment, "no such key");

    SpriteTalk& talk = edited_.sprites[id];
    if (!found->Of(talk)) return Refuse(assignment, HandlerTypeName(talk) + " has no such setting");
    const std::int32_t current = found->get(talk);
    const std::optional<std::int32_t> taken = ParseValue(found->form, value, current);
    if (!taken) return Refuse(assignment, "takes " + DescribeForm(found->form));
    if (*taken == current) return;
    if (!found->writable) return Refuse(assignment, "read-only");
    if (&*found == &HandlerKey()) {
      if (HasFixedHandler(id)) return Refuse(assignment, "this sprite's handler is fixed");
      // The new type reads the sprite's bytes as they stand, as the window shows them.
      edited_.handlers[id] = static_cast<std::uint16_t>(*taken);
      talk = LoadSprite(image_, id, edited_.handlers[id]);
      return;
    }
    found->put(talk, *taken);
  }

  static std::string HandlerTypeName(const SpriteTalk& talk) {
    if (!talk.entry) return "the handler at " + FormatAddress(talk.handlerAddress);
    return "\"" + std::string(HandlerCatalogue[*talk.entry].entry) + "\"";
  }

  ConstRomBytes image_;
  const RomSettings& loaded_;
  RomSettings edited_;
  std::ostream& err_;
  std::set<std::string> seen_;
  bool refused_ = false;
};

void PrintChangedBytes(ConstRomBytes before, ConstRomBytes after, std::ostream& out) {
  for (std::size_t offset = 0; offset < before.size(); ++offset) {
    if (before[offset] == after[offset]) continue;
    char line[32];
    std::snprintf(line, sizeof line, "0x%06zX %02X %02X\n", offset, before[offset], after[offset]);
    out << line;
  }
}

// ---- diff ----

struct Difference {
  Editor editor;
  std::string sprite;  // the sprite's id, for sprite settings
  std::string setting;
  Json first;
  Json second;
};

std::vector<Difference> Differences(const RomSettings& first, const RomSettings& second) {
  std::vector<Difference> differences;
  for (const PatchKey& key : PatchKeys()) {
    Json a = FormatValue(key.form, key.get(first));
    Json b = FormatValue(key.form, key.get(second));
    if (a != b) differences.push_back({key.editor, "", std::string(key.field), a, b});
  }
  for (std::size_t id = 0; id < kSpriteCount; ++id) {
    const auto shown = [&](const SpriteKey& key, const SpriteTalk& talk) {
      return key.Of(talk) ? FormatValue(key.form, key.get(talk)) : Json();
    };
    for (const SpriteKey& key : SpriteKeys()) {
      Json a = shown(key, first.sprites[id]);
      Json b = shown(key, second.sprites[id]);
      if (a != b)
        differences.push_back(
            {Editor::Sprites, std::to_string(id), std::string(key.setting), a, b});
    }
  }
  return differences;
}

Json DifferencesJson(const std::vector<Difference>& differences) {
  Json all = Json::object();
  for (const Difference& difference : differences) {
    Json& editor = all[std::string(NameOf(difference.editor))];
    Json& holder = difference.sprite.empty() ? editor : editor[difference.sprite];
    holder[difference.setting] = {{"a", difference.first}, {"b", difference.second}};
  }
  return all;
}

// Writes bytes over path in one step, or says why not.
bool Write(PlatformFiles& files, const std::string& path, const std::vector<Byte>& bytes,
           std::string_view failure, std::ostream& err) {
  if (files.ReplaceFileContents(path, bytes)) return true;
  Complain(err, path, failure);
  return false;
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

int Set(const SetRequest& request, Streams streams) {
  PlatformFiles files;
  RomDocument document(files);
  if (!OpenRom(document, request.rom, streams.err)) return kExitFileError;
  RomImage& image = document.Image();
  const RomSettings loaded = RomSettings::LoadFromRom(image.Bytes());
  Assignments assignments(image.Bytes(), loaded, streams.err);
  assignments.Take(request.assignments);
  if (assignments.Refused()) return kExitRefused;

  const std::vector<Byte> before = request.dryRun ? image.Contents() : std::vector<Byte>();
  assignments.Edited().StoreChanges(loaded, image.Bytes(), document.LockByteAtOpen());
  if (request.dryRun) {
    PrintChangedBytes(before, image.Bytes(), streams.out);
    return kExitSuccess;
  }
  if (request.output) document.SetRomPath(*request.output);
  if (document.Save() != SaveOutcome::Saved) {
    Complain(streams.err, document.RomPath(), kCannotSaveMessage);
    return kExitFileError;
  }
  return kExitSuccess;
}

int Diff(const DiffRequest& request, Streams streams) {
  PlatformFiles files;
  RomDocument first(files);
  RomDocument second(files);
  if (!OpenRom(first, request.first, streams.err) || !OpenRom(second, request.second, streams.err))
    return kExitFileError;
  const std::vector<Difference> differences =
      Differences(RomSettings::LoadFromRom(first.Image().Bytes()),
                  RomSettings::LoadFromRom(second.Image().Bytes()));
  if (request.json) {
    streams.out << DifferencesJson(differences).dump(2) << '\n';
    return kExitSuccess;
  }
  std::vector<Row> rows;
  for (const Difference& difference : differences) {
    std::string key = std::string(NameOf(difference.editor)) + ".";
    if (!difference.sprite.empty()) key += difference.sprite + ".";
    rows.push_back(
        {key + difference.setting, ValueText(difference.first), ValueText(difference.second)});
  }
  PrintTable(rows, streams.out);
  return kExitSuccess;
}

int CreatePatchFile(const PatchCreateRequest& request, Streams streams) {
  const std::optional<PatchFormat> format = PatchFormatOfFileName(request.output);
  if (!format) {
    Complain(streams.err, request.output, "a patch file's name ends in .ips or .bps");
    return kExitRefused;
  }
  PlatformFiles files;
  RomDocument original(files);
  RomDocument edited(files);
  if (!OpenRom(original, request.original, streams.err) ||
      !OpenRom(edited, request.edited, streams.err))
    return kExitFileError;
  const PatchResult patch = CreatePatch(*format, original.Image().Bytes(), edited.Image().Bytes());
  if (!patch.Ok()) {
    Complain(streams.err, request.output, patch.error);
    return kExitFileError;
  }
  return Write(files, request.output, patch.bytes, kCannotWritePatchMessage, streams.err)
             ? kExitSuccess
             : kExitFileError;
}

int ApplyPatchFile(const PatchApplyRequest& request, Streams streams) {
  PlatformFiles files;
  const std::optional<std::vector<Byte>> patch = files.ReadFileDenyingWriters(request.patch);
  if (!patch) {
    Complain(streams.err, request.patch, kCannotLoadMessage);
    return kExitFileError;
  }
  RomDocument original(files);
  if (!OpenRom(original, request.original, streams.err)) return kExitFileError;
  const PatchResult patched = ApplyPatch(*patch, original.Image().Bytes());
  if (!patched.Ok()) {
    Complain(streams.err, request.patch, patched.error);
    return kExitFileError;
  }
  return Write(files, request.output, patched.bytes, kCannotSaveMessage, streams.err)
             ? kExitSuccess
             : kExitFileError;
}

}  // namespace brimwell::cli
