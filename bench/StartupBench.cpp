// Start-up of the real program, as a whole process on Qt's offscreen platform, to its first
// painted window and exit, against a bare Qt Widgets window started the same way; with the
// peak resident memory of both. Runs alternate between the two so that a change in the
// machine's load falls on both alike; each figure is the median of its runs.
//
// The program starts as a user starts it: with a Quillon.dat beside it that names a ROM,
// which it opens before its first paint. Both processes carry the FirstPaintExit library,
// which ends them after their first paint.
//
// Usage: brimwell_startup_bench [runs]   (default 21, at least 1)

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

#include "BenchRom.h"
#include "FigureTable.h"
#include "ProcessRun.h"

extern char** environ;

namespace brimwell::bench {
namespace {

namespace fs = std::filesystem;

const std::string kStartup = "start-up: Brimwell, first paint and exit";
const std::string kBareStartup = "start-up: bare Qt window, same way";
const std::string kStartupCpu = "start-up CPU (user + system): Brimwell";
const std::string kBareStartupCpu = "start-up CPU (user + system): bare window";
const std::string kPeak = "peak RSS: Brimwell";
const std::string kBarePeak = "peak RSS: bare Qt window";

using Run = ProcessRun;

void WriteFile(const fs::path& path, const std::vector<Byte>& bytes) {
  std::ofstream file(path, std::ios::binary);
  file.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}

std::string ReadText(const fs::path& path) {
  std::ifstream file(path);
  return std::string(std::istreambuf_iterator<char>(file), {});
}

class Environment {
 public:
  explicit Environment(const fs::path& firstPaintNote) {
    for (char** entry = environ; *entry; ++entry) {
      const std::string text = *entry;
      if (text.rfind("QT_QPA_PLATFORM=", 0) != 0 && text.rfind("LD_PRELOAD=", 0) != 0)
        entries_.push_back(text);
    }
    entries_.push_back("QT_QPA_PLATFORM=offscreen");
    entries_.push_back(std::string("LD_PRELOAD=") + BRIMWELL_FIRST_PAINT_EXIT);
    plain_ = Pointers();
    entries_.push_back("BRIMWELL_BENCH_FIRST_PAINT=" + firstPaintNote.string());
    noting_ = Pointers();
  }

  char** Plain() { return plain_.data(); }
  char** NotingFirstPaint() { return noting_.data(); }

 private:
  std::vector<char*> Pointers() {
    std::vector<char*> pointers;
    for (std::string& entry : entries_) pointers.push_back(entry.data());
    pointers.push_back(nullptr);
    return pointers;
  }

  std::vector<std::string> entries_;
  std::vector<char*> plain_;
  std::vector<char*> noting_;
};

// One run of each, unmeasured, that also shows that each came up with the window expected.
bool WarmUp(const std::string& program, const std::string& expectedCaption,
            Environment& environment, const fs::path& note) {
  fs::remove(note);
  if (!RunProcess({program}, environment.NotingFirstPaint())) {
    std::fprintf(stderr, "%s did not start and end cleanly\n", program.c_str());
    return false;
  }
  const std::string caption = ReadText(note);
  if (caption.rfind(expectedCaption, 0) != 0) {
    std::fprintf(stderr, "%s painted \"%s\" first, not \"%s...\"\n", program.c_str(),
                 caption.c_str(), expectedCaption.c_str());
    return false;
  }
  return true;
}

int Measure(int runs) {
  std::string folderPattern = (fs::temp_directory_path() / "brimwell-startup-XXXXXX").string();
  if (!mkdtemp(folderPattern.data())) return 1;
  const fs::path folder = folderPattern;
  // A copy of the program, so that the Quillon.dat it reads beside itself is this one.
  const fs::path program = folder / "brimwell";
  fs::copy_file(BRIMWELL_PROGRAM, program);
  fs::permissions(program, fs::perms::owner_all);
  const fs::path rom = folder / "bench.NES";
  WriteFile(rom, MakeBenchRom());
  WriteFile(folder / "Quillon.dat", MakeBenchQuillonFile(rom.string()));
  const fs::path note = folder / "first-paint.txt";
  Environment environment(note);

  int status = 0;
  std::vector<Run> real, bare;
  if (WarmUp(program, "Brimwell - " + rom.string(), environment, note) &&
      WarmUp(BRIMWELL_BARE_WINDOW, "Bare window", environment, note)) {
    for (int round = 0; round < runs && status == 0; ++round) {
      // Alternate which goes first, so that neither always follows the other.
      for (int turn = 0; turn < 2; ++turn) {
        const bool realTurn = (round + turn) % 2 == 0;
        const auto run =
            RunProcess({realTurn ? program.string() : BRIMWELL_BARE_WINDOW}, environment.Plain());
        if (!run)
          status = 1;
        else
          (realTurn ? real : bare).push_back(*run);
      }
    }
  } else {
    status = 1;
  }
  fs::remove_all(folder);
  if (status != 0) return status;

  DeclareFigure(kStartup, kBareStartup, Target::RatioAtMost(1.05));
  DeclareFigure(kStartupCpu, kBareStartupCpu, Target::RatioAtMost(1.05));
  DeclareFigure(kPeak, kBarePeak, Target::RatioAtMost(1.05));
  RecordValue(kStartup, MedianOf(real, &Run::nanoseconds));
  RecordValue(kBareStartup, MedianOf(bare, &Run::nanoseconds));
  RecordValue(kStartupCpu, MedianOf(real, &Run::cpuNanoseconds));
  RecordValue(kBareStartupCpu, MedianOf(bare, &Run::cpuNanoseconds));
  RecordValue(kPeak, MedianOf(real, &Run::peakKibibytes), Unit::Kibibytes);
  RecordValue(kBarePeak, MedianOf(bare, &Run::peakKibibytes), Unit::Kibibytes);
  std::printf("start-up: medians of %d interleaved runs each\n", runs);
  return PrintFigureTable() ? 0 : 1;
}

}  // namespace
}  // namespace brimwell::bench

int main(int argc, char** argv) {
  return brimwell::bench::RunsMain(argc, argv, 21, brimwell::bench::Measure);
}
