#include "cli/Commands.h"

#include "cli/CommandSupport.h"

namespace brimwell::cli {
namespace {

using BrimwellConst::kSpriteCount;

struct Difference {
  Editor editor;
  std::string sprite;  // the sprite's id, for sprite settings
  std::string setting;
  Json first;
  Json second;
};

std::vector<Difference> Differences(const RomSettings& first, const RomSettings& second) {
  std::vector<Difference> differences;
  for (const PatchKey& key : PatchKeys()) {
    Json a = FormatValue(key.form, key.get(first));
    Json b = FormatValue(key.form, key.get(second));
    if (a != b) differences.push_back({key.editor, "", std::string(key.field), a, b});
  }
  for (std::size_t id = 0; id < kSpriteCount; ++id) {
    const auto shown = [&](const SpriteKey& key, const SpriteTalk& talk) {
      return key.Of(talk) ? FormatValue(key.form, key.get(talk)) : Json();
    };
    for (const SpriteKey& key : SpriteKeys()) {
      Json a = shown(key, first.sprites[id]);
      Json b = shown(key, second.sprites[id]);
      if (a != b)
        differences.push_back(
            {Editor::Sprites, std::to_string(id), std::string(key.setting), a, b});
    }
  }
  return differences;
}

Json DifferencesJson(const std::vector<Difference>& differences) {
  Json all = Json::object();
  for (const Difference& difference : differences) {
    Json& editor = all[std::string(NameOf(difference.editor))];
    Json& holder = difference.sprite.empty() ? editor : editor[difference.sprite];
    holder[difference.setting] = {{"a", difference.first}, {"b", difference.second}};
  }
  return all;
}

}  // namespace

int Diff(const DiffRequest& request, Streams streams) {
  PlatformFiles files;
  RomDocument first(files);
  RomDocument second(files);
  if (!OpenRom(first, request.first, streams.err) || !OpenRom(second, request.second, streams.err))
    return kExitFileError;
  const std::vector<Difference> differences =
      Differences(RomSettings::LoadFromRom(first.Image().Bytes()),
                  RomSettings::LoadFromRom(second.Image().Bytes()));
  if (request.json) {
    streams.out << DifferencesJson(differences).dump(2) << '\n';
    return kExitSuccess;
  }
  std::vector<Row> rows;
  for (const Difference& difference : differences) {
    std::string key = std::string(NameOf(difference.editor)) + ".";
    if (!difference.sprite.empty()) key += difference.sprite + ".";
    rows.push_back(
        {key + difference.setting, ValueText(difference.first), ValueText(difference.second)});
  }
  PrintTable(rows, streams.out);
  return kExitSuccess;
}

}  // namespace brimwell::cli
