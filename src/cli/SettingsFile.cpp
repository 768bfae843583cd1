#include "cli/SettingsFile.h"

#include <algorithm>
#include <array>

#include "cli/SettingKeys.h"

namespace brimwell::cli {
namespace {

constexpr std::string_view kSprites = "sprites";
// The members of a sprite whose settings set takes; the others only inform.
constexpr std::array<std::string_view, 2> kSettingGroups = {"settings", "readOnly"};
constexpr std::array<std::string_view, 3> kInformation = {"address", "name", "names"};

// A member's place as a JSON pointer: "~" and "/" in its name escaped.
std::string Pointer(const std::string& parent, const std::string& name) {
  std::string place = parent + "/";
  for (char c : name) {
    if (c == '~')
      place += "~0";
    else if (c == '/')
      place += "~1";
    else
      place += c;
  }
  return place;
}

bool Holds(auto names, std::string_view name) {
  return std::ranges::find(names, name) != names.end();
}

class SettingsFileReader {
 public:
  explicit SettingsFileReader(std::string_view fileName) : fileName_(fileName) {}

  SettingsFileContents Read(const Json& document) {
    if (!ReadEditors(document)) contents_.assignments.clear();
    return std::move(contents_);
  }

 private:
  bool Fail(const std::string& place, std::string_view message) {
    contents_.error = (place.empty() ? std::string("the top level") : place) + ": ";
    contents_.error += message;
    return false;
  }

  bool ReadEditors(const Json& document) {
    if (!document.is_object())
      return Fail("", "expected an object of editors, as show --json prints");
    for (const auto& [editor, fields] : document.items()) {
      const std::string place = Pointer("", editor);
      if (!Holds(kEditorNames, editor))
        return Fail(place, "no such editor; expected limits, battle, magic, misc or sprites");
      if (!fields.is_object()) return Fail(place, "expected an object of settings");
      if (!(editor == kSprites ? ReadSprites(fields, place) : ReadSettings(fields, place, editor)))
        return false;
    }
    return true;
  }

  // Each member a setting under prefix: "limits" or "sprites.42".
  bool ReadSettings(const Json& settings, const std::string& place, const std::string& prefix) {
    for (const auto& [name, value] : settings.items()) {
      const std::string at = Pointer(place, name);
      if (value.is_object()) return Fail(at, "expected a value, not an object");
      contents_.assignments.push_back(
          {prefix + "." + name, ValueText(value), std::string(fileName_) + ": " + at});
    }
    return true;
  }

  bool ReadSprites(const Json& sprites, const std::string& place) {
    for (const auto& [id, sprite] : sprites.items()) {
      const std::string at = Pointer(place, id);
      if (!sprite.is_object()) return Fail(at, "expected an object, as show --json prints");
      for (const auto& [member, value] : sprite.items()) {
        const std::string memberAt = Pointer(at, member);
        if (Holds(kInformation, member)) continue;
        if (!Holds(kSettingGroups, member))
          return Fail(memberAt,
                      "expected \"settings\" or \"readOnly\" (\"address\", \"name\" and "
                      "\"names\" are passed over)");
        if (!value.is_object()) return Fail(memberAt, "expected an object of settings");
        if (!ReadSettings(value, memberAt, std::string(kSprites) + "." + id)) return false;
      }
    }
    return true;
  }

  std::string_view fileName_;
  SettingsFileContents contents_;
};

// nlohmann's message without its own prefix: "line 3, column 7: syntax error ...".
std::string ParseFailure(const Json::parse_error& error) {
  const std::string message = error.what();
  constexpr std::string_view kPrefix = "parse error at ";
  const std::size_t at = message.find(kPrefix);
  return at == std::string::npos ? message : message.substr(at + kPrefix.size());
}

}  // namespace

SettingsFileContents ReadSettingsFile(std::string_view text, std::string_view fileName) {
  Json document;
  try {
    document = Json::parse(text);
  } catch (const Json::parse_error& error) {
    return {{}, "not JSON: " + ParseFailure(error)};
  }
  return SettingsFileReader(fileName).Read(document);
}

}  // namespace brimwell::cli
