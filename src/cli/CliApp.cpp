#include "cli/CliApp.h"

#include <CLI/CLI.hpp>

#include "cli/SettingKeys.h"

namespace brimwell::cli {
namespace {

constexpr char kDescription[] =
    "Shows and changes the settings of a Final Fantasy (NES) ROM image by the rules of "
    "Brimwell's editors, without a window.";

constexpr char kKeysFooter[] =
    "KEY is EDITOR.FIELD (limits.HPlimit) or sprites.ID.SETTING (sprites.42.Text1), and VALUE\n"
    "is written as show prints it; the README lists every key. A value out of range, an unknown\n"
    "key or a setting the sprite's handler type does not have is refused with exit code 2, and\n"
    "then nothing is written.";

std::vector<std::string> EditorChoices() {
  return {kEditorNames.begin(), kEditorNames.end()};
}

}  // namespace

int RunCommandLine(int argc, const char* const* argv, Streams streams) {
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
  showCommand->add_option("ROM", show.rom, "The ROM image")->required();
  showCommand->add_option("EDITOR", show.editors, "limits, battle, magic, misc or sprites")
      ->check(CLI::IsMember(EditorChoices()));
  showCommand->add_flag("--json", show.json, "Prints one JSON document instead of a table");
  showCommand->add_option("--data", dataFile,
                          "Names sprites and dialogue strings from this Quillon data file");

  SetRequest set;
  std::string output;
  CLI::App* setCommand = app.add_subcommand(
      "set", "Changes settings by the rules of the editors' OK and saves the ROM.");
  setCommand->add_option("ROM", set.rom, "The ROM image")->required();
  setCommand->add_option("KEY=VALUE", set.assignments, "The settings to change")->required();
  setCommand->add_option("-o,--output", output, "Writes the result here instead of over ROM");
  setCommand->add_flag("--dry-run", set.dryRun,
                       "Writes nothing; prints each byte that would change: offset, old, new");
  setCommand->footer(kKeysFooter);

  DiffRequest diff;
  CLI::App* diffCommand =
      app.add_subcommand("diff", "Prints the settings that differ between two ROM images.");
  diffCommand->add_option("A", diff.first, "The first ROM image")->required();
  diffCommand->add_option("B", diff.second, "The second ROM image")->required();
  diffCommand->add_flag("--json", diff.json, "Prints one JSON document instead of a table");

  CLI::App* patchCommand = app.add_subcommand("patch", "Makes or applies an IPS or BPS patch.");
  patchCommand->require_subcommand(1);
  PatchCreateRequest create;
  CLI::App* createCommand = patchCommand->add_subcommand(
      "create", "Writes the difference between two ROM images as a patch.");
  createCommand->add_option("ORIGINAL", create.original, "The original game")->required();
  createCommand->add_option("EDITED", create.edited, "The edited ROM image")->required();
  createCommand
      ->add_option("OUT", create.output,
                   "The patch; its extension, .ips or .bps, "
                   "chooses the format")
      ->required();
  PatchApplyRequest apply;
  CLI::App* applyCommand = patchCommand->add_subcommand(
      "apply", "Applies a patch to a ROM image and writes the result.");
  applyCommand->add_option("PATCH", apply.patch, "An IPS or BPS patch")->required();
  applyCommand->add_option("ORIGINAL", apply.original, "The ROM image it was made for")->required();
  applyCommand->add_option("OUT", apply.output, "The patched ROM image")->required();

  try {
    app.parse(argc, argv);
  } catch (const CLI::ParseError& error) {
    return app.exit(error, streams.out, streams.err) == 0 ? kExitSuccess : kExitRefused;
  }

  if (showCommand->parsed()) {
    if (!dataFile.empty()) show.dataFile = dataFile;
    return Show(show, streams);
  }
  if (setCommand->parsed()) {
    if (!output.empty()) set.output = output;
    return Set(set, streams);
  }
  if (diffCommand->parsed()) return Diff(diff, streams);
  if (createCommand->parsed()) return CreatePatchFile(create, streams);
  return ApplyPatchFile(apply, streams);
}

}  // namespace brimwell::cli
