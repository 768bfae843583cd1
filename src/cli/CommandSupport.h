#pragma once

// What the commands share: reading a ROM as the window does, naming editors, printing tables
// and messages, writing files.

#include <optional>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "cli/SettingChanges.h"
#include "cli/SettingKeys.h"
#include "platform/PlatformFiles.h"
#include "rom/QuillonData.h"
#include "rom/RomDocument.h"

namespace brimwell::cli {

inline constexpr std::string_view kProgram = "brimwell-cli";

// "brimwell-cli: SUBJECT: MESSAGE" on err.
void Complain(std::ostream& err, std::string_view subject, std::string_view message);
// The window's message with the system's reason after it, when it gave one.
std::string WithReason(std::string_view message, const std::string& reason);

// Whether two paths name one file: the same text, or one existing file by other names or links.
bool SameFile(const std::string& first, const std::string& second);

// Reads the ROM at path as the window opens it: whole, and only when it can be a Final Fantasy
// image.
bool OpenRom(RomDocument& document, const std::string& path, std::ostream& err);

struct NameLists {
  SpriteNameList sprites;
  DialogueNameList dialogues;
};

std::string_view NameOf(Editor editor);

// One line of a table: the key, its value as set takes it, and a remark.
struct Row {
  std::string key;
  std::string value;
  std::string remark;
};
void PrintTable(const std::vector<Row>& rows, std::ostream& out);

// Changed settings as diff prints them: KEY A B lines, or {"limits": {"HPlimit": {"a": 999, "b":
// 9999}}, "sprites": {"42": {"Text1": {...}}}}.
Json ChangesJson(const std::vector<SettingChange>& changes);
void PrintChanges(const std::vector<SettingChange>& changes, bool json, std::ostream& out);

// Writes bytes over path in one step, or says why not.
bool Write(PlatformFiles& files, const std::string& path, const std::vector<Byte>& bytes,
           std::string_view failure, std::ostream& err);

}  // namespace brimwell::cli
