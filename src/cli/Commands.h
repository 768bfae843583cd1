#pragma once

// The command-line program's commands over files. Each prints its results to out and its
// messages to err, and returns the program's exit code.

#include <optional>
#include <ostream>
#include <string>
#include <vector>

namespace brimwell::cli {

inline constexpr int kExitSuccess = 0;
inline constexpr int kExitFileError = 1;  // a file could not be read or written
inline constexpr int kExitRefused = 2;    // a usage error or a value that was not taken

struct Streams {
  std::ostream& out;
  std::ostream& err;
};

struct ShowRequest {
  std::string rom;
  std::optional<std::string> changedFrom;  // shows only the settings that differ from this ROM's
  std::optional<std::string> dataFile;     // names the sprites and dialogue strings
  std::vector<std::string> editors;        // empty: every editor
  bool json = false;
};
int Show(const ShowRequest& request, Streams streams);

struct SetRequest {
  std::string rom;
  std::optional<std::string> settingsFile;  // a file of the shape that show --json prints
  std::vector<std::string> assignments;     // KEY=VALUE, which replace the file's values
  std::optional<std::string> output;        // none: the ROM itself
  bool dryRun = false;
};
// Checks every assignment before anything is written; one refused assignment writes nothing.
int Set(const SetRequest& request, Streams streams);

struct DiffRequest {
  std::string first;
  std::string second;
  bool json = false;
};
int Diff(const DiffRequest& request, Streams streams);

// The format follows the output's extension, ".ips" or ".bps".
struct PatchCreateRequest {
  std::string original;
  std::string edited;
  std::string output;
};
int CreatePatchFile(const PatchCreateRequest& request, Streams streams);

struct PatchApplyRequest {
  std::string patch;
  std::string original;
  std::string output;
};
// A patch that its reader refuses (damaged, or made for another ROM) writes nothing.
int ApplyPatchFile(const PatchApplyRequest& request, Streams streams);

struct PatchDescribeRequest {
  std::string patch;
  std::string original;
  bool json = false;
};
// What the patch would change in the original, applied in memory: settings, other bytes, and
// its format and checksums. Writes nothing.
int DescribePatchFile(const PatchDescribeRequest& request, Streams streams);

}  // namespace brimwell::cli
