#pragma once

// The program's one seam to the operating system: message boxes with the sound that precedes
// them, the open-file dialog, and file access with the sharing rules the editor relies on.
// The interface holds no Qt types, so the model layer can use its file half; the desktop build
// supplies the dialog half (QtPlatform), and tests substitute a recorder for it.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace brimwell {

// The system sounds of the Windows MessageBeep call, with its values.
enum class SystemSound : unsigned {
  Hand = 0x10,         // MB_ICONHAND
  Exclamation = 0x30,  // MB_ICONEXCLAMATION
  Asterisk = 0x40,     // MB_ICONASTERISK
};

enum class MessageKind { Warning, Error, Information };

// The caption of a message box of the given kind: "Warning", "Error" or "Information".
const char* MessageTitle(MessageKind kind);

struct FileFilter {
  std::string description;  // "Final Fantasy 1 ROMs"
  std::string pattern;      // "*.NES"
};

class Platform {
 public:
  virtual ~Platform() = default;

  // --- user interface half -------------------------------------------------------------
  virtual void Beep(SystemSound sound) = 0;
  // A modal box with one OK button, the title of its kind and the platform's icon for it.
  virtual void ShowMessage(MessageKind kind, const std::string& text) = 0;
  // The open-file dialog; the chosen file must exist. Returns nothing when cancelled.
  virtual std::optional<std::string> ChooseFileToOpen(const std::vector<FileFilter>& filters,
                                                      const std::string& suggestedFile) = 0;

  // --- file half ---------------------------------------------------------------------
  // Reads a whole regular file while other programs may read it but not write it.
  virtual std::optional<std::vector<std::uint8_t>> ReadFileDenyingWriters(const std::string& path);
  // Reads at most maxBytes of a file opened with no sharing at all; fails when another program
  // has it open. A read that stops early returns what it got.
  virtual std::optional<std::vector<std::uint8_t>> ReadFileExclusively(const std::string& path,
                                                                       std::size_t maxBytes);
  // Replaces the file at path with bytes in one step: the old content stays untouched unless
  // the whole new content reached the disk. Refuses a read-only target.
  virtual bool ReplaceFileContents(const std::string& path, const std::vector<std::uint8_t>& bytes);
  // The folder of the running executable, with its trailing separator.
  virtual std::string ExecutableFolder();
};

}  // namespace brimwell
