#pragma once

// Both halves of the platform seam for tests: real files, but sounds, message boxes and the
// open-file dialog are recorded instead of shown, and the dialog's answers are scripted.

#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "platform/PlatformDialogs.h"
#include "platform/PlatformFiles.h"

namespace brimwell::testing {

// One thing the user would have seen or heard, in order.
struct ShownEvent {
  enum class Type { Sound, Message, FileDialog } type;
  SystemSound sound{};              // Sound
  MessageKind kind{};               // Message
  std::string text;                 // Message text, or the file the dialog suggested
  std::vector<FileFilter> filters;  // FileDialog

  static ShownEvent Beep(SystemSound sound) { return {Type::Sound, sound, {}, {}, {}}; }
  static ShownEvent Box(MessageKind kind, std::string text) {
    return {Type::Message, {}, kind, std::move(text), {}};
  }
  bool operator==(const ShownEvent& other) const {
    return type == other.type && sound == other.sound && kind == other.kind && text == other.text;
  }
};

class RecordingPlatform : public PlatformFiles, public PlatformDialogs {
 public:
  void Beep(SystemSound sound) override { events.push_back(ShownEvent::Beep(sound)); }
  void ShowMessage(MessageKind kind, const std::string& text) override {
    events.push_back(ShownEvent::Box(kind, text));
  }
  std::optional<std::string> ChooseFileToOpen(const std::string&,
                                              const std::vector<FileFilter>& filters,
                                              const std::string& suggestedFile) override {
    events.push_back({ShownEvent::Type::FileDialog, {}, {}, suggestedFile, filters});
    return NextAnswer(fileDialogAnswers);
  }
  std::optional<ChosenFile> ChooseFileToSave(const std::string&,
                                             const std::vector<FileFilter>& filters,
                                             const std::string& suggestedFile) override {
    events.push_back({ShownEvent::Type::FileDialog, {}, {}, suggestedFile, filters});
    return NextAnswer(saveDialogAnswers);
  }
  std::string ExecutableFolder() override {
    return executableFolder ? *executableFolder : PlatformFiles::ExecutableFolder();
  }

  // Only the message boxes and sounds, without the file dialogs.
  std::vector<ShownEvent> Messages() const {
    std::vector<ShownEvent> shown;
    for (const auto& event : events)
      if (event.type != ShownEvent::Type::FileDialog) shown.push_back(event);
    return shown;
  }
  int FileDialogCount() const {
    int count = 0;
    for (const auto& event : events) count += event.type == ShownEvent::Type::FileDialog;
    return count;
  }

  std::vector<ShownEvent> events;
  // Each open (or save) dialog takes the next answer; an empty answer, or none left, cancels it.
  std::deque<std::optional<std::string>> fileDialogAnswers;
  std::deque<std::optional<ChosenFile>> saveDialogAnswers;
  std::optional<std::string> executableFolder;

 private:
  template <typename Answer>
  static std::optional<Answer> NextAnswer(std::deque<std::optional<Answer>>& answers) {
    if (answers.empty()) return std::nullopt;
    auto answer = std::move(answers.front());
    answers.pop_front();
    return answer;
  }
};

}  // namespace brimwell::testing
