#include "cli/CliApp.h"

#include <CLI/CLI.hpp>

#include "cli/CommandSupport.h"
#include "cli/SettingKeys.h"

namespace brimwell::cli {
namespace {

constexpr char kDescription[] =
    "Shows and changes the settings of a Final Fantasy (NES) ROM image by the rules of "
    "Brimwell's editors, without a window.";

constexpr char kKeysFooter[] =
    "KEY is EDITOR.FIELD (limits.HPlimit) or sprites.ID.SETTING (sprites.42.Text1), and VALUE\n"
    "is written as show prints it; the README lists every key. A value out of range, an unknown\n"
    "key, a setting the sprite's handler type does not have or a new value for a read-only one\n"
    "is refused with exit code 2, and then nothing is written. Only the bytes that hold the\n"
    "settings that change are written; a set that changes no byte writes nothing.\n\n"
    "FILE is JSON of the shape that show --json prints, with any of its editors, settings and\n"
    "sprites, such as {\"limits\": {\"HPlimit\": 9999}, \"sprites\": {\"42\": {\"settings\":\n"
    "{\"Text1\": 7}}}}; a sprite's address, name and names are passed over. A file that is not\n"
    "of that shape is refused with exit code 2 and the place in it. KEY=VALUE arguments replace\n"
    "the file's values of the keys they name.";

std::vector<std::string> EditorChoices() {
  return {kEditorNames.begin(), kEditorNames.end()};
}

// An empty path names no file: "-o ''" must not mean "over the ROM".
const CLI::Validator kPath(
    [](const std::string& path) { return path.empty() ? "an empty path names no file" : ""; }, "");

int RunCommand(int argc, const char* const* argv, Streams streams) {
  CLI::App app(kDescription, "brimwell-cli");
  app.set_version_flag("--version", "brimwell-cli " BRIMWELL_VERSION);
  app.require_subcommand(1);
  // On Windows CLI11 would take "/json" for --json, and a path that starts with "/" for an
  // option: a path is a path on every system.
  app.allow_windows_style_options(false);

  ShowRequest show;
  std::string dataFile;
  CLI::App* showCommand =
      app.add_subcommand("show", "Prints every setting of every editor, or of the editors named.");
  showCommand->add_option("ROM", show.rom, "The ROM image")->required()->check(kPath);
  showCommand->add_option("EDITOR", show.editors, "limits, battle, magic, misc or sprites")
      ->check(CLI::IsMember(EditorChoices()));
  showCommand->add_flag("--json", show.json, "Prints one JSON document instead of a table");
  showCommand
      ->add_option("--data", dataFile,
                   "Names sprites and dialogue strings from this Quillon data file")
      ->check(kPath);
  std::string changedFrom;
  showCommand
      ->add_option("--changed-from", changedFrom,
                   "Prints only the settings in which ROM differs from this image; with --json, "
                   "a file for set --from")
      ->option_text("ORIGINAL")
      ->check(kPath);

  SetRequest set;
  std::string output;
  std::string settingsFile;
  CLI::App* setCommand = app.add_subcommand(
      "set", "Changes the settings named by the rules of the editors' OK and saves the ROM.");
  setCommand->add_option("ROM", set.rom, "The ROM image")->required()->check(kPath);
  setCommand->add_option("KEY=VALUE", set.assignments, "The settings to change");
  setCommand
      ->add_option("--from", settingsFile,
                   "Changes the settings in this JSON file, such as show --json prints")
      ->option_text("FILE")
      ->check(kPath);
  setCommand->callback([&] {
    if (set.assignments.empty() && settingsFile.empty())
      throw CLI::RequiredError("KEY=VALUE or --from FILE");
  });
  setCommand->add_option("-o,--output", output, "Writes the result here instead of over ROM")
      ->check(kPath);
  setCommand->add_flag("--dry-run", set.dryRun,
                       "Writes nothing; prints each byte that would change: offset, old, new");
  setCommand->footer(kKeysFooter);

  DiffRequest diff;
  CLI::App* diffCommand =
      app.add_subcommand("diff", "Prints the settings that differ between two ROM images.");
  diffCommand->add_option("A", diff.first, "The first ROM image")->required()->check(kPath);
  diffCommand->add_option("B", diff.second, "The second ROM image")->required()->check(kPath);
  diffCommand->add_flag("--json", diff.json, "Prints one JSON document instead of a table");

  CLI::App* patchCommand =
      app.add_subcommand("patch", "Makes, applies or describes an IPS or BPS patch.");
  patchCommand->require_subcommand(1);
  PatchCreateRequest create;
  CLI::App* createCommand = patchCommand->add_subcommand(
      "create", "Writes the difference between two ROM images as a patch.");
  createCommand->add_option("ORIGINAL", create.original, "The original game")
      ->required()
      ->check(kPath);
  createCommand->add_option("EDITED", create.edited, "The edited ROM image")
      ->required()
      ->check(kPath);
  createCommand
      ->add_option("OUT", create.output,
                   "The patch; its extension, .ips or .bps, "
                   "chooses the format")
      ->required()
      ->check(kPath);
  PatchApplyRequest apply;
  CLI::App* applyCommand = patchCommand->add_subcommand(
      "apply", "Applies a patch to a ROM image and writes the result.");
  applyCommand->add_option("PATCH", apply.patch, "An IPS or BPS patch")->required()->check(kPath);
  applyCommand->add_option("ORIGINAL", apply.original, "The ROM image it was made for")
      ->required()
      ->check(kPath);
  applyCommand->add_option("OUT", apply.output, "The patched ROM image")->required()->check(kPath);
  PatchDescribeRequest describe;
  CLI::App* describeCommand = patchCommand->add_subcommand(
      "describe", "Prints what a patch changes in a ROM image, and writes nothing.");
  describeCommand->footer(
      "Prints the settings that the patch changes as diff prints them, then each byte range it\n"
      "changes outside every setting (other bytes 0xOFFSET LENGTH), then its format and whether\n"
      "its checksums match (BPS: source, target and patch CRC-32; IPS has none). A patch that\n"
      "cannot be applied is refused with exit code 1.");
  describeCommand->add_option("PATCH", describe.patch, "An IPS or BPS patch")
      ->required()
      ->check(kPath);
  describeCommand->add_option("ORIGINAL", describe.original, "The ROM image it is for")
      ->required()
      ->check(kPath);
  describeCommand->add_flag("--json", describe.json, "Prints one JSON document instead of lines");

  try {
    app.parse(argc, argv);
  } catch (const CLI::ParseError& error) {
    return app.exit(error, streams.out, streams.err) == 0 ? kExitSuccess : kExitRefused;
  }

  if (showCommand->parsed()) {
    if (!dataFile.empty()) show.dataFile = dataFile;
    if (!changedFrom.empty()) show.changedFrom = changedFrom;
    return Show(show, streams);
  }
  if (setCommand->parsed()) {
    if (!output.empty()) set.output = output;
    if (!settingsFile.empty()) set.settingsFile = settingsFile;
    return Set(set, streams);
  }
  if (diffCommand->parsed()) return Diff(diff, streams);
  if (createCommand->parsed()) return CreatePatchFile(create, streams);
  if (describeCommand->parsed()) return DescribePatchFile(describe, streams);
  return ApplyPatchFile(apply, streams);
}

}  // namespace

int RunCommandLine(int argc, const char* const* argv, Streams streams) {
  const int exitCode = RunCommand(argc, argv, streams);
  // Results lost on the way out (a full disk, a closed pipe) are a failure, even to a script
  // that only looks at the exit code.
  if (streams.out.flush() && streams.err.flush()) return exitCode;
  if (streams.err) Complain(streams.err, "standard output", "the results could not be written");
  streams.err.flush();
  return exitCode == kExitSuccess ? kExitFileError : exitCode;
}

}  // namespace brimwell::cli
