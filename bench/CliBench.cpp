// The command-line program as whole processes, each against the least that any program doing
// the same must do, started the same way: every setting shown as JSON against cat of the ROM,
// one value set, and a settings file's values set, against a copy of the file through write,
// fsync and rename, and a patch described against cat of the patch and the ROM. Each set writes
// to a file of its own, as a set that changes nothing writes nothing. The floors of
// set are plain system calls in a program that loads only the C library; the second one also
// flushes the folder, which makes the rename durable, as the document's save does. Each round
// runs every process of a group once, starting with a different one each round, so that a
// change in the machine's load falls on all alike; each figure is the median of its runs. The
// ROM is the benchmarks' own, in a fresh folder.
//
// Usage: brimwell_cli_bench [runs]   (default 41, at least 1)

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "BenchRom.h"
#include "FigureTable.h"
#include "ProcessRun.h"
#include "TestRom.h"
#include "rom/PatchFile.h"

extern char** environ;

namespace brimwell::bench {
namespace {

using Command = std::vector<std::string>;

const std::string kShow = "brimwell-cli show ROM --json";
const std::string kCat = "cat ROM";
const std::string kSet = "brimwell-cli set ROM limits.HPlimit=9999";
const std::string kSetDurable = "the same set, against the durable floor";
const std::string kSetFrom = "brimwell-cli set ROM --from FILE";
const std::string kReplace = "read, write + fsync + rename";
const std::string kDurableReplace = "the same + fsync of the folder";
const std::string kDescribe = "brimwell-cli patch describe PATCH ROM";
const std::string kCatBoth = "cat PATCH ROM";

// A hack as show --changed-from prints it: values of three editors, a text and a new handler.
constexpr char kSettingsFile[] = R"({"limits": {"HPlimit": 9999}, "battle": {"WeaponBonus": 7},
  "misc": {"ShipGold": 500}, "sprites": {"67": {"settings": {"Text1": 7}},
  "100": {"settings": {"Handler": "Simple Text", "Text1": 9}}}})";

// A BPS patch that changes the maximum HP and two bytes outside every setting.
std::vector<Byte> MakeBenchPatch(const std::vector<Byte>& rom) {
  std::vector<Byte> edited = rom;
  edited[0x2D9B6] = 0x10;
  edited[0x2D9B7] = 0x27;
  edited[0x20000] ^= 1;
  edited[0x20001] ^= 1;
  return CreatePatch(PatchFormat::Bps, rom, edited).bytes;
}

// The runs of each command, in the order of the commands.
std::vector<std::vector<ProcessRun>> MeasureGroup(const std::vector<Command>& commands, int runs) {
  // One unmeasured run of each, which also shows that each works.
  for (const Command& command : commands) {
    if (!RunProcess(command, environ)) {
      std::fprintf(stderr, "%s did not end cleanly\n", command.front().c_str());
      return {};
    }
  }
  std::vector<std::vector<ProcessRun>> measured(commands.size());
  for (int round = 0; round < runs; ++round) {
    for (std::size_t turn = 0; turn < commands.size(); ++turn) {
      const std::size_t which = (std::size_t(round) + turn) % commands.size();
      const auto run = RunProcess(commands[which], environ);
      if (!run) return {};
      measured[which].push_back(*run);
    }
  }
  return measured;
}

double Wall(const std::vector<ProcessRun>& runs) {
  return MedianOf(runs, &ProcessRun::nanoseconds);
}

int Measure(int runs) {
  const testing::ScratchFolder folder;
  const std::string rom = folder.Write("bench.NES", MakeBenchRom());
  const std::string settings =
      folder.Write("hack.json", {std::begin(kSettingsFile), std::end(kSettingsFile) - 1});
  const std::string patch = folder.Write("hack.bps", MakeBenchPatch(folder.Read("bench.NES")));
  const auto show = MeasureGroup({{BRIMWELL_CLI, "show", rom, "--json"}, {"/bin/cat", rom}}, runs);
  const auto set =
      MeasureGroup({{BRIMWELL_CLI, "set", rom, "-o", folder.File("set.NES"), "limits.HPlimit=9999"},
                    {BRIMWELL_CLI, "set", rom, "-o", folder.File("from.NES"), "--from", settings},
                    {BRIMWELL_FILE_FLOOR, rom},
                    {BRIMWELL_FILE_FLOOR, "--sync-folder", rom}},
                   runs);
  const auto describe = MeasureGroup(
      {{BRIMWELL_CLI, "patch", "describe", patch, rom}, {"/bin/cat", patch, rom}}, runs);
  if (show.empty() || set.empty() || describe.empty()) return 1;

  DeclareFigure(kShow, kCat, Target::RatioAtMost(3.0));
  DeclareFigure(kSet, kReplace, Target::RatioAtMost(1.2));
  DeclareFigure(kSetFrom, kReplace, Target::RatioAtMost(1.2));
  DeclareFigure(kSetDurable, kDurableReplace);
  DeclareFigure(kDescribe, kCatBoth, Target::RatioAtMost(3.0));
  RecordValue(kShow, Wall(show[0]));
  RecordValue(kCat, Wall(show[1]));
  RecordValue(kSet, Wall(set[0]));
  RecordValue(kSetFrom, Wall(set[1]));
  RecordValue(kReplace, Wall(set[2]));
  RecordValue(kSetDurable, Wall(set[0]));
  RecordValue(kDurableReplace, Wall(set[3]));
  RecordValue(kDescribe, Wall(describe[0]));
  RecordValue(kCatBoth, Wall(describe[1]));
  std::printf("command line: wall-time medians of %d interleaved runs each\n", runs);
  return PrintFigureTable() ? 0 : 1;
}

}  // namespace
}  // namespace brimwell::bench

int main(int argc, char** argv) {
  return brimwell::bench::RunsMain(argc, argv, 41, brimwell::bench::Measure);
}
