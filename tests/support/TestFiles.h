#pragma once

// What the file tests need from the operating system, on POSIX and Windows alike: another
// program's hold on a file, a named pipe and a device, a symbolic link, a file's permissions,
// and a child process whose writes fail part-way. Where a system cannot give one, the helper
// says why, for the test to skip with that reason.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "TestRom.h"

namespace brimwell::testing {

enum class HeldFor {
  Reading,  // lets others read too, as a program does that reads the file
  Writing,  // as a program that has it open to write
};

// A second open of the file, which stands for another program holding it: POSIX advisory locks
// (shared for reading, exclusive for writing), Windows share modes. Throws when it cannot.
class FileHeldOpen {
 public:
  FileHeldOpen(const std::string& path, HeldFor use);
  ~FileHeldOpen();
  FileHeldOpen(const FileHeldOpen&) = delete;
  FileHeldOpen& operator=(const FileHeldOpen&) = delete;

 private:
  std::intptr_t handle_;
};

// A named pipe that nobody writes to, in the folder on POSIX, in the pipe namespace on Windows.
class NamedPipe {
 public:
  explicit NamedPipe(const ScratchFolder& folder);
  ~NamedPipe();
  NamedPipe(const NamedPipe&) = delete;
  NamedPipe& operator=(const NamedPipe&) = delete;

  const std::string& Path() const { return path_; }

 private:
  std::string path_;
  std::intptr_t handle_ = -1;
};

// A device that opens like a file but is none: one that never ends where the system has one.
extern const char* const kDeviceFile;

// A symbolic link to target, where this system lets the user make one, removed at the end.
class SymbolicLink {
 public:
  SymbolicLink(const std::string& target, const std::string& link);
  ~SymbolicLink();
  SymbolicLink(const SymbolicLink&) = delete;
  SymbolicLink& operator=(const SymbolicLink&) = delete;

  // Why no link could be made, or empty when it was.
  const std::string& Unavailable() const { return unavailable_; }

 private:
  std::string link_;
  std::string unavailable_;
};

// Permissions that a newly made file would not have (POSIX: mode 0640; Windows: hidden), and
// the file's permissions as a number to compare (mode bits; attributes).
void SetUncommonPermissions(const std::string& path);
std::uint32_t PermissionsOf(const std::string& path);

bool RunsAsSuperuser();

// Runs a command line through the system's shell (sh, or cmd on Windows); the program's exit
// code, or -1 when it did not end by itself.
int RunThroughShell(const std::string& commandLine);

// Runs work in a child process, so that its limits stay out of the test runner: its writes
// fail at fileSizeLimit bytes into a file, as on a full disk, unless that is 0; and it runs as
// the unprivileged user "nobody" when asNobody is set and the tests run as the superuser.
// Returns work's result, or std::nullopt where the system has no such limits (Windows), and
// kNoLimitedChildProcess says so.
struct ChildLimits {
  std::uint64_t fileSizeLimit = 0;
  bool asNobody = false;
};
std::optional<bool> RunInLimitedChildProcess(const ChildLimits& limits,
                                             const std::function<bool()>& work);
extern const char* const kNoLimitedChildProcess;

}  // namespace brimwell::testing
