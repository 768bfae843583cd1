#pragma once

// The dialog half of the platform seam on the desktop: message boxes, sounds and the open-file
// and save dialogs through Qt (and MessageBeep on Windows).

#include "platform/PlatformDialogs.h"

class QWidget;

namespace brimwell {

class QtPlatform : public PlatformDialogs {
 public:
  void Beep(SystemSound sound) override;
  void ShowMessage(MessageKind kind, const std::string& text) override;
  std::optional<std::string> ChooseFileToOpen(const std::string& title,
                                              const std::vector<FileFilter>& filters,
                                              const std::string& suggestedFile) override;
  std::optional<ChosenFile> ChooseFileToSave(const std::string& title,
                                             const std::vector<FileFilter>& filters,
                                             const std::string& suggestedFile) override;
};

}  // namespace brimwell
