#include "cli/CommandSupport.h"

#include <algorithm>
#include <filesystem>

namespace brimwell::cli {

void Complain(std::ostream& err, std::string_view subject, std::string_view message) {
  err << kProgram << ": " << subject << ": " << message << '\n';
}

std::string WithReason(std::string_view message, const std::string& reason) {
  std::string text(message);
  if (!reason.empty()) text += " (" + reason + ")";
  return text;
}

bool SameFile(const std::string& first, const std::string& second) {
  if (first == second) return true;
  // Paths arrive as UTF-8 on every system.
  const auto path = [](const std::string& utf8) {
    return std::filesystem::path(std::u8string(utf8.begin(), utf8.end()));
  };
  std::error_code error;
  try {
    return std::filesystem::equivalent(path(first), path(second), error);
  } catch (const std::exception&) {
    return false;  // a name that is no UTF-8 names no file the other could be
  }
}

bool OpenRom(RomDocument& document, const std::string& path, std::ostream& err) {
  document.SetRomPath(path);
  switch (document.Open()) {
    case OpenOutcome::Opened:
      return true;
    case OpenOutcome::TooShort:
      Complain(err, path, kNotFinalFantasyMessage);
      return false;
    case OpenOutcome::LoadError:
      break;
  }
  Complain(err, path, WithReason(kCannotLoadMessage, document.FailureReason()));
  return false;
}

std::string_view NameOf(Editor editor) {
  return kEditorNames[static_cast<std::size_t>(editor)];
}

void PrintTable(const std::vector<Row>& rows, std::ostream& out) {
  std::size_t keyWidth = 0;
  std::size_t valueWidth = 0;
  for (const Row& row : rows) {
    keyWidth = std::max(keyWidth, row.key.size());
    if (!row.remark.empty()) valueWidth = std::max(valueWidth, row.value.size());
  }
  for (const Row& row : rows) {
    std::string line = row.key + std::string(keyWidth - row.key.size() + 2, ' ') + row.value;
    if (!row.remark.empty())
      line += std::string(valueWidth - row.value.size() + 2, ' ') + row.remark;
    out << line << '\n';
  }
}

Json ChangesJson(const std::vector<SettingChange>& changes) {
  Json all = Json::object();
  for (const SettingChange& change : changes) {
    Json& editor = all[std::string(NameOf(change.editor))];
    Json& holder = change.sprite ? editor[std::to_string(*change.sprite)] : editor;
    holder[std::string(change.setting)] = {{"a", change.before}, {"b", change.after}};
  }
  return all;
}

void PrintChanges(const std::vector<SettingChange>& changes, bool json, std::ostream& out) {
  if (json) {
    out << ChangesJson(changes).dump(2) << '\n';
    return;
  }
  std::vector<Row> rows;
  for (const SettingChange& change : changes)
    rows.push_back({change.Key(), ValueText(change.before), ValueText(change.after)});
  PrintTable(rows, out);
}

bool Write(PlatformFiles& files, const std::string& path, const std::vector<Byte>& bytes,
           std::string_view failure, std::ostream& err) {
  if (files.ReplaceFileContents(path, bytes)) return true;
  Complain(err, path, WithReason(failure, files.FailureReason()));
  return false;
}

}  // namespace brimwell::cli
