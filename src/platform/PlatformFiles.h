#pragma once

// The file half of the program's seam to the operating system: whole-file reads with the sharing
// rules the editor relies on, the replacing save, and the executable's folder. No user interface
// here, so the model layer and the command-line program use it as they are; tests substitute a
// double that records or scripts what they need.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace brimwell {

class PlatformFiles {
 public:
  virtual ~PlatformFiles() = default;

  // Reads a whole regular file while other programs may read it but not write it. A file longer
  // than maxLength is refused by its size, before any of it is read.
  virtual std::optional<std::vector<std::uint8_t>> ReadFileDenyingWriters(const std::string& path,
                                                                          std::uint64_t maxLength);
  // Reads at most maxBytes of a file opened with no sharing at all; fails when another program
  // has it open. A read that stops early returns what it got.
  virtual std::optional<std::vector<std::uint8_t>> ReadFileExclusively(const std::string& path,
                                                                       std::size_t maxBytes);
  // Replaces the file at path with bytes in one step: the old content stays untouched unless
  // the whole new content reached the disk. Refuses a read-only target. On POSIX systems, the
  // temporary file that it writes first goes with the program if a signal ends it meanwhile.
  virtual bool ReplaceFileContents(const std::string& path, const std::vector<std::uint8_t>& bytes);
  // The folder of the running executable, with its trailing separator.
  virtual std::string ExecutableFolder();

  // Why the last of the reads and the replace above failed, in the system's words where it has
  // them ("No such file or directory"); empty after a success, or when the system gave none.
  const std::string& FailureReason() const { return failureReason_; }

 private:
  bool Fail(std::string reason) {
    failureReason_ = std::move(reason);
    return false;
  }

  std::string failureReason_;
};

}  // namespace brimwell
