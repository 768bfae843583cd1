#include "cli/Commands.h"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <set>

#include "cli/CommandSupport.h"
#include "cli/SettingsFile.h"

namespace brimwell::cli {
namespace {

using BrimwellConst::kSpriteCount;

// One assignment after another, taken or refused.
class Assignments {
 public:
  Assignments(ConstRomBytes image, const RomSettings& loaded, std::ostream& err)
      : image_(image), loaded_(loaded), edited_(loaded), err_(err) {}

  // A settings file's assignments and KEY=VALUE arguments, which replace the file's values of the
  // keys they name.
  void Take(const std::vector<Assignment>& fromFile, const std::vector<std::string>& arguments) {
    std::vector<Assignment> assignments;
    for (const std::string& argument : arguments) {
      const std::size_t equals = argument.find('=');
      if (equals == std::string::npos)
        Refuse({}, argument, "expected KEY=VALUE");
      else
        assignments.push_back({argument.substr(0, equals), argument.substr(equals + 1), {}});
    }
    std::vector<Assignment> kept;
    for (const Assignment& assignment : fromFile)
      if (std::ranges::find(assignments, assignment.key, &Assignment::key) == assignments.end())
        kept.push_back(assignment);
    kept.insert(kept.end(), assignments.begin(), assignments.end());
    Take(kept);
  }

  bool Refused() const { return refused_; }
  const RomSettings& Edited() const { return edited_; }

 private:
  // Patch keys and handlers first, so that a sprite's settings follow its new handler type.
  void Take(const std::vector<Assignment>& assignments) {
    const std::string handlerSuffix = "." + std::string(HandlerKey().setting);
    std::vector<const Assignment*> spriteSettings;
    for (const Assignment& assignment : assignments) {
      if (!seen_.insert(assignment.key).second) {
        Refuse(assignment, "the key is given twice");
      } else if (!assignment.key.starts_with("sprites.")) {
        TakePatchKey(assignment);
      } else if (assignment.key.ends_with(handlerSuffix)) {
        TakeSpriteKey(assignment);
      } else {
        spriteSettings.push_back(&assignment);
      }
    }
    for (const Assignment* assignment : spriteSettings) TakeSpriteKey(*assignment);
  }

  void Refuse(std::string_view where, std::string_view assignment, std::string_view reason) {
    err_ << kProgram << ": ";
    if (!where.empty()) err_ << where << ": ";
    err_ << "refused " << assignment << ": " << reason << '\n';
    refused_ = true;
  }
  void Refuse(const Assignment& assignment, std::string_view reason) {
    Refuse(assignment.where, assignment.Text(), reason);
  }

  void TakePatchKey(const Assignment& assignment) {
    const auto& keys = PatchKeys();
    const auto found = std::ranges::find(keys, assignment.key, &PatchKey::Name);
    if (found == keys.end()) return Refuse(assignment, "no such key");
    const std::optional<std::int32_t> taken =
        ParseValue(found->form, assignment.value, found->get(loaded_));
    if (!taken) return Refuse(assignment, "takes " + DescribeForm(found->form));
    found->put(edited_, *taken);
  }

  // "sprites.ID.SETTING", with ID in decimal.
  void TakeSpriteKey(const Assignment& assignment) {
    std::string_view key = assignment.key;
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
    const std::vector<const SpriteKey*> fixed = ReadOnlySources(talk);
    const bool readOnly = !found->writable || std::ranges::find(fixed, &*found) != fixed.end();
    if (!found->Of(talk) && !readOnly)
      return Refuse(assignment, HandlerTypeName(talk) + " has no such setting");
    const std::int32_t current = found->get(talk);
    const std::optional<std::int32_t> taken = ParseValue(found->form, assignment.value, current);
    if (taken == current) return;
    if (readOnly)
      return Refuse(assignment,
                    "read-only: it stays " + ValueText(FormatValue(found->form, current)));
    if (!taken) return Refuse(assignment, "takes " + DescribeForm(found->form));
    if (&*found == &HandlerKey()) {
      if (HasFixedHandler(id)) return Refuse(assignment, "this sprite's handler is fixed");
      edited_.handlers[id] = static_cast<std::uint16_t>(*taken);
      talk = NewHandlerType(id);
      return;
    }
    found->put(talk, *taken);
  }

  // The new type reads the sprite's bytes as they stand, as the window shows them, and then as
  // its store leaves them, which is what read-only values given after it are held to: a
  // "Linked Sprites" sprite always links to the next id.
  SpriteTalk NewHandlerType(std::size_t id) {
    if (stored_.empty()) stored_.assign(image_.begin(), image_.end());
    StoreSprite(stored_, id, LoadSprite(image_, id, edited_.handlers[id]));
    return LoadSprite(stored_, id, edited_.handlers[id]);
  }

  static std::string HandlerTypeName(const SpriteTalk& talk) {
    if (!talk.entry) return "the handler at " + FormatAddress(talk.handlerAddress);
    return "\"" + std::string(HandlerCatalogue[*talk.entry].entry) + "\"";
  }

  ConstRomBytes image_;
  const RomSettings& loaded_;
  RomSettings edited_;
  std::vector<Byte> stored_;  // a copy of the image that new handler types are stored into
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

}  // namespace

int Set(const SetRequest& request, Streams streams) {
  PlatformFiles files;
  SettingsFileContents fromFile;
  if (request.settingsFile) {
    const std::string& path = *request.settingsFile;
    const std::optional<std::vector<Byte>> text =
        files.ReadFileDenyingWriters(path, kMaxSettingsFileLength);
    if (!text) {
      Complain(streams.err, path, WithReason(kCannotLoadMessage, files.FailureReason()));
      return kExitFileError;
    }
    fromFile = ReadSettingsFile({reinterpret_cast<const char*>(text->data()), text->size()}, path);
    if (!fromFile.error.empty()) {
      Complain(streams.err, path, fromFile.error);
      return kExitRefused;
    }
  }
  RomDocument document(files);
  if (!OpenRom(document, request.rom, streams.err)) return kExitFileError;
  RomImage& image = document.Image();
  const RomSettings loaded = RomSettings::LoadFromRom(image.Bytes());
  Assignments assignments(image.Bytes(), loaded, streams.err);
  assignments.Take(fromFile.assignments, request.assignments);
  if (assignments.Refused()) return kExitRefused;

  const std::vector<Byte> before = image.Contents();
  StoreChangedSettings(loaded, assignments.Edited(), image.Bytes(), document.LockByteAtOpen());
  if (request.dryRun) {
    PrintChangedBytes(before, image.Bytes(), streams.out);
    return kExitSuccess;
  }
  // A ROM that stays as it was is not written at all: its time and its links stay, and a
  // read-only ROM is no failure.
  const bool overRom = !request.output || SameFile(*request.output, request.rom);
  if (overRom && before == image.Contents()) return kExitSuccess;
  if (request.output) document.SetRomPath(*request.output);
  if (document.Save() != SaveOutcome::Saved) {
    Complain(streams.err, document.RomPath(),
             WithReason(kCannotSaveMessage, document.FailureReason()));
    return kExitFileError;
  }
  return kExitSuccess;
}

}  // namespace brimwell::cli
