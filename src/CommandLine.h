#pragma once

// The program's command line: "brimwell [--data FILE] [ROM]". A ROM named there is opened at
// start-up instead of the one Quillon had open last; --data names the Quillon data file to read
// instead of the one beside the executable.

#include <optional>
#include <string>

#include <QStringList>

namespace brimwell {

// What the main window starts from in place of its defaults. Paths are absolute, UTF-8.
struct StartOptions {
  std::optional<std::string> romPath{};
  std::optional<std::string> dataFile{};
};

// Either the options to start the window with, or the end of the program without a window:
// help and version on standard output (exit code 0), a usage error on standard error (2).
struct CommandLine {
  StartOptions options;
  std::optional<int> exitCode;
  std::string standardOutput;
  std::string standardError;
};

inline constexpr int kUsageErrorExitCode = 2;

// Parses the arguments, the program's own path first, as the running program received them.
CommandLine ParseCommandLine(const QStringList& arguments);

// Parses argv before any window system is touched, so that --help also works without a display,
// and prints what the parse says to print.
CommandLine ReadCommandLine(int& argc, char** argv);

}  // namespace brimwell
