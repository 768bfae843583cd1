#pragma once

// The user-interface half of the program's seam to the operating system: message boxes with the
// sound that precedes them, and the open-file dialog. The interface holds no Qt types; the
// desktop build supplies it through Qt (QtPlatform), and tests substitute a recorder for it.

#include <cstddef>
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

struct FileFilter {
  std::string description;  // "Final Fantasy 1 ROMs"
  std::string pattern;      // "*.NES"
};

struct ChosenFile {
  std::string path;
  std::size_t filter = 0;  // the index of the filter in force when the user chose
};

class PlatformDialogs {
 public:
  virtual ~PlatformDialogs() = default;

  virtual void Beep(SystemSound sound) = 0;
  // A modal box with one OK button, the title of its kind and the platform's icon for it.
  virtual void ShowMessage(MessageKind kind, const std::string& text) = 0;
  // The open-file dialog; the chosen file must exist. An empty title leaves the dialog's own.
  // Returns nothing when cancelled.
  virtual std::optional<std::string> ChooseFileToOpen(const std::string& title,
                                                      const std::vector<FileFilter>& filters,
                                                      const std::string& suggestedFile) = 0;
  // The save-file dialog, with the first filter in force; it asks before an existing file is
  // replaced. Returns nothing when cancelled.
  virtual std::optional<ChosenFile> ChooseFileToSave(const std::string& title,
                                                     const std::vector<FileFilter>& filters,
                                                     const std::string& suggestedFile) = 0;
};

}  // namespace brimwell
