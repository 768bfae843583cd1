#include "cli/Commands.h"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <set>

#include "cli/CommandSupport.h"

namespace brimwell::cli {
namespace {

using BrimwellConst::kSpriteCount;

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
    const std::vector<const SpriteKey*> fixed = ReadOnlySources(talk);
    const bool readOnly = !found->writable || std::ranges::find(fixed, &*found) != fixed.end();
    if (!found->Of(talk) && !readOnly)
      return Refuse(assignment, HandlerTypeName(talk) + " has no such setting");
    const std::int32_t current = found->get(talk);
    const std::optional<std::int32_t> taken = ParseValue(found->form, value, current);
    if (taken == current) return;
    if (readOnly)
      return Refuse(assignment,
                    "read-only: it stays " + ValueText(FormatValue(found->form, current)));
    if (!taken) return Refuse(assignment, "takes " + DescribeForm(found->form));
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

}  // namespace

int Set(const SetRequest& request, Streams streams) {
  PlatformFiles files;
  RomDocument document(files);
  if (!OpenRom(document, request.rom, streams.err)) return kExitFileError;
  RomImage& image = document.Image();
  const RomSettings loaded = RomSettings::LoadFromRom(image.Bytes());
  Assignments assignments(image.Bytes(), loaded, streams.err);
  assignments.Take(request.assignments);
  if (assignments.Refused()) return kExitRefused;

  const std::vector<Byte> before = image.Contents();
  assignments.Edited().StoreChanges(loaded, image.Bytes(), document.LockByteAtOpen());
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
