#pragma once

// Settings files: a hack kept as text, in the shape that show --json prints, read into the same
// assignments that set takes as KEY=VALUE.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace brimwell::cli {

// One setting to change: its key and its value as set takes them.
struct Assignment {
  std::string key;
  std::string value;
  // "hack.json: /limits/HPlimit" for a value from a settings file; empty for the command line.
  std::string where;

  std::string Text() const { return key + "=" + value; }
};

// No settings file comes near this; a larger one is refused by its size, before it is read.
inline constexpr std::size_t kMaxSettingsFileLength = std::size_t{16} << 20;

struct SettingsFileContents {
  std::vector<Assignment> assignments;  // in the file's order
  // Why the file is no settings file, with the place: "/sprites/42: expected an object ...".
  std::string error;
};

// Reads {"EDITOR": {"FIELD": VALUE, ...}, "sprites": {"ID": {"settings": {...}, "readOnly":
// {...}}}} with any subset of editors, fields and sprites. What show prints only to inform (a
// sprite's "address", "name" and "names") is passed over. Values are checked later, by set's rules.
SettingsFileContents ReadSettingsFile(std::string_view text, std::string_view fileName);

}  // namespace brimwell::cli
