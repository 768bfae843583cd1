// The command-line program: every key shown, set and shown again; each kind of refusal; show
// fed back into set; diff; and the built program's exit codes and streams.

#include <gtest/gtest.h>
#include <zlib.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <random>
#include <set>
#include <sstream>

#include "TestFiles.h"
#include "TestQuillon.h"
#include "TestRom.h"
#include "cli/CliApp.h"
#include "cli/SettingKeys.h"
#include "rom/PatchFile.h"
#include "rom/RomDocument.h"

namespace brimwell::cli {
namespace {

struct Result {
  int exitCode;
  std::string out;
  std::string err;
};

Result RunCli(std::vector<std::string> arguments) {
  arguments.insert(arguments.begin(), "brimwell-cli");
  std::vector<const char*> argv;
  for (const std::string& argument : arguments) argv.push_back(argument.c_str());
  std::ostringstream out, err;
  const int exitCode = RunCommandLine(int(argv.size()), argv.data(), {out, err});
  return {exitCode, out.str(), err.str()};
}

// Sprites 0 to 41 run catalogue entry i, so that each routine's own bytes belong to one sprite;
// sprite 100 runs a routine outside the catalogue, every other sprite "Nothing".
std::vector<Byte> MakeCliRom() {
  std::vector<Byte> image = testing::MakeTestRom();
  HandlerAddressList addresses;
  addresses.fill(HandlerCatalogue[23].address);
  for (std::size_t entry = 0; entry < kHandlerCount; ++entry)
    addresses[entry] = HandlerCatalogue[entry].address;
  addresses[100] = 0x1234;
  WriteHandlerAddresses(image, addresses);
  return image;
}

// The member of a show --json document that holds a key's value.
Json& At(Json& shown, const std::string& key) {
  const std::size_t dot = key.find('.');
  const std::string editor = key.substr(0, dot);
  if (editor != "sprites") return shown[editor][key.substr(dot + 1)];
  const std::size_t second = key.find('.', dot + 1);
  return shown[editor][key.substr(dot + 1, second - dot - 1)]["settings"][key.substr(second + 1)];
}

class CliTest : public ::testing::Test {
 protected:
  Json Shown() {
    const Result shown = RunCli({"show", rom_, "--json"});
    EXPECT_EQ(shown.exitCode, 0) << shown.err;
    return Json::parse(shown.out);
  }

  // Sets every value that show prints, the read-only ones too, each between blanks.
  Result SetEverythingShown() {
    std::vector<std::string> everything = {"set", rom_};
    const auto add = [&](const std::string& key, const Json& value) {
      everything.push_back(key + "= \t" + ValueText(value) + " ");
    };
    const Json shown = Shown();
    for (const auto& [editor, fields] : shown.items()) {
      for (const auto& [field, value] : fields.items()) {
        if (editor != "sprites") {
          add(editor + "." + field, value);
          continue;
        }
        for (const char* group : {"settings", "readOnly"}) {
          const Json settings = value.value(group, Json::object());
          for (const auto& [setting, settingValue] : settings.items())
            add("sprites." + field + "." + setting, settingValue);
        }
      }
    }
    EXPECT_GE(everything.size(), 2u + PatchKeys().size() + BrimwellConst::kSpriteCount);
    return RunCli(everything);
  }

  testing::ScratchFolder folder_;
  const std::vector<Byte> original_ = MakeCliRom();
  const std::string rom_ = folder_.Write("game.nes", original_);
};

struct KeyCase {
  std::string key;
  std::string value;
  Json shown;
};

// Every key, each value in another of the forms that set takes.
const std::vector<KeyCase> kKeyCases = {
    {"limits.HPlimit", "9999", 9999},
    {"limits.LimitMP", "false", false},
    {"limits.LimitFiTh", "0", 0},
    {"limits.LimitOther", "$FF", 255},
    {"limits.MaxMPInc", "1", 1},
    {"limits.ExpGold", "9999999", 9999999},
    {"battle.FixRun", "true", true},
    {"battle.FixWeapon", "true", true},
    {"battle.FixMonsterFight", "true", true},
    {"battle.BaseHits", "3", 3},
    {"battle.HitPct", "4 % (8x)", "4 % (8x)"},
    {"battle.WeaponBonus", "0", 0},
    {"magic.FixLOCK", "true", true},
    {"magic.HitMultiplier", "254", 254},
    {"magic.DamageFamily", "Dragon, Undead", Json::array({"Dragon", "Undead"})},
    {"magic.WeakBonus", "3", "Double Effectivity"},
    {"magic.Neg2HPLimit", "999", 999},
    {"misc.ShipGameEnabled", "false", false},
    {"misc.ShipGameAnywhere", "true", true},
    {"misc.ShipGold", "0", 0},
    {"misc.ShipBtnPresses", "255", 255},
    {"misc.AirshipLanding", "Any Walkable", "Any Walkable"},
    {"sprites.40.Handler", "Simple Text", "Simple Text"},
    {"sprites.42.Handler", "$94AA", "Battle (Configurable)"},
    {"sprites.30.Text1", "7", 7},
    {"sprites.33.Text2", "x10", 16},
    {"sprites.8.Text3", "200", 200},
    {"sprites.24.PlotEvent", "TOF Plate (removed?)", "TOF Plate (removed?)"},
    {"sprites.30.Item", "1", "LUTE"},
    {"sprites.28.AuxValue", "42", "$2A"},
    {"sprites.8.AuxText", "$2A", 42},
};

TEST_F(CliTest, EveryKeyIsShownSetAndShownAgain) {
  const Json before = Shown();
  std::set<std::string> covered;
  for (const KeyCase& row : kKeyCases) {
    SCOPED_TRACE(row.key);
    folder_.Write("game.nes", original_);
    const Result set = RunCli({"set", rom_, row.key + "=" + row.value});
    ASSERT_EQ(set.exitCode, 0) << set.err;
    EXPECT_EQ(set.out + set.err, "");

    Json after = Shown();
    EXPECT_EQ(At(after, row.key), row.shown);
    // Nothing else changed; a sprite with a new handler type shows that type's settings.
    Json expected = before;
    At(expected, row.key) = row.shown;
    const std::string sprite = row.key.substr(8, row.key.find('.', 8) - 8);
    if (row.key.ends_with(".Handler")) expected["sprites"][sprite] = after["sprites"][sprite];
    EXPECT_EQ(after, expected);
    covered.insert(row.key.starts_with("sprites.")
                       ? "sprites.ID" + row.key.substr(row.key.rfind('.'))
                       : row.key);
  }
  for (const PatchKey& key : PatchKeys()) EXPECT_TRUE(covered.contains(key.Name())) << key.Name();
  for (const SpriteKey& key : SpriteKeys())
    EXPECT_EQ(covered.contains(key.Name(0).replace(8, 1, "ID")), key.writable) << key.Name(0);
}

TEST_F(CliTest, SetOfEverythingShownChangesNoByte) {
  // Values that the editors themselves would not take: HP bytes 00 00 (-1), multiplier byte 00
  // (-1), "Neg. Effect 2" FF FF (65535), base hits 0, a landing byte that is neither choice.
  std::vector<Byte> unusual = original_;
  for (std::size_t offset : {0x2D9B6, 0x2D9B7, 0x33A2A, 0x32D81}) unusual[offset] = 0x00;
  unusual[0x33AF0] = unusual[0x33AF5] = 0xFF;
  unusual[0x3C6EB] = 0x33;
  folder_.Write("game.nes", unusual);

  const Json shown = Shown();
  EXPECT_EQ(shown["misc"]["AirshipLanding"], nullptr);
  EXPECT_EQ(shown["sprites"]["100"]["settings"]["Handler"], "$1234");
  const Result set = SetEverythingShown();
  EXPECT_EQ(set.exitCode, 0) << set.err;
  EXPECT_EQ(folder_.Read("game.nes"), unusual);
}

// Images whose handler addresses the catalogue mostly does not know, one of them below its
// size ($000A, which is no entry index). A set that changes no byte does not write the ROM, so
// a read-only one is no failure.
TEST_F(CliTest, AnyImageTakesBackWhatItShowsWithoutBeingWritten) {
  std::mt19937 random(26);
  std::vector<Byte> noise(kMinRomLength);
  for (Byte& byte : noise) byte = Byte(random());
  std::vector<Byte> lowAddress = original_;
  lowAddress[BrimwellConst::kSpriteHandlerTable + 2 * 42] = 0x0A;
  lowAddress[BrimwellConst::kSpriteHandlerTable + 2 * 42 + 1] = 0x00;
  for (const std::vector<Byte>& image : {std::vector<Byte>(kMinRomLength), noise, lowAddress}) {
    folder_.Write("game.nes", image);
    std::filesystem::permissions(rom_, std::filesystem::perms::owner_read);
    const Result set = SetEverythingShown();
    EXPECT_EQ(set.exitCode, 0) << set.err;
    std::filesystem::permissions(rom_, std::filesystem::perms::owner_all);
    EXPECT_EQ(folder_.Read("game.nes"), image);
  }
  EXPECT_EQ(Shown()["sprites"]["42"]["settings"]["Handler"], "$000A");
}

struct RefusalCase {
  std::string assignment;
  std::string says;
};

TEST_F(CliTest, RefusesAndThenWritesNothing) {
  const int nextSprite = original_[BrimwellConst::kSpriteTalkParameters + 4 * 26 + 3];
  const RefusalCase refusals[] = {
      {"limits.HPlimit=10000", "takes a number from 99 to 9999"},
      {"magic.HitMultiplier=255", "takes a number from 2 to 254"},
      {"battle.HitPct=32 %", "or its index 0 to 5"},
      {"limits.Bogus=1", "no such key"},
      {"sprites.208.Text1=1", "no such key"},
      {"sprites.25.Text2=1", "\"Simple Text\" has no such setting"},
      {"sprites.100.Text1=1", "the handler at $1234 has no such setting"},
      {"sprites.5.Handler=Simple Text", "this sprite's handler is fixed"},
      {"sprites.26.NextSprite=" + std::to_string((nextSprite + 1) % 208), "read-only"},
      {"misc.ShipGold=7", "the key is given twice"},
  };
  for (const RefusalCase& row : refusals) {
    SCOPED_TRACE(row.assignment);
    const Result set = RunCli({"set", rom_, "misc.ShipGold=500", row.assignment});
    EXPECT_EQ(set.exitCode, kExitRefused);
    EXPECT_EQ(set.out, "");
    EXPECT_TRUE(set.err.starts_with("brimwell-cli: refused " + row.assignment + ": ")) << set.err;
    EXPECT_NE(set.err.find(row.says), std::string::npos) << set.err;
    EXPECT_EQ(folder_.Read("game.nes"), original_);
  }
}

struct HostileCase {
  std::vector<std::string> arguments;  // {ROM}, {PATCH}, {CUT}, {LIMIT} and {BIG} are files
  int exitCode;
  std::string says;
};

// Each writes nothing at all.
TEST_F(CliTest, RefusesCarelessOrHostileUse) {
  const std::string patch = folder_.Write("hack.ips", testing::MakeTestRom(64));
  const std::string cut =
      folder_.Write("cut.ips", {'P', 'A', 'T', 'C', 'H', 'E', 'O', 'F', 0, 0, 16});
  const std::string limit = folder_.Write("limit.nes", original_);
  const std::string big = folder_.Write("big.nes", original_);
  std::filesystem::resize_file(limit, kMaxRomLength);
  std::filesystem::resize_file(big, kMaxRomLength + 1);
  const std::string nowhere = folder_.File("none/x.nes");
  const HostileCase cases[] = {
      {{"set", "{ROM}", "limits.HPlimit=777", "-o", ""}, kExitRefused, "an empty path"},
      {{"show", ""}, kExitRefused, "an empty path"},
      {{"set", "{ROM}", "sprites.2.Disappears=false"}, kExitRefused, "read-only: it stays true"},
      {{"set", "{ROM}", "magic.DamageFamily=Dragon,"}, kExitRefused, "takes a list"},
      {{"set", "{ROM}", "magic.DamageFamily= , "}, kExitRefused, "takes a list"},
      {{"patch", "apply", "{PATCH}", "{ROM}", "{PATCH}"}, kExitRefused, "is the patch"},
      {{"patch", "apply", "{CUT}", "{ROM}", "{LIMIT}"}, kExitFileError, "16 bytes, too short"},
      {{"patch", "create", "{ROM}", "{ROM}", folder_.File("no.bps")}, 0, "no byte differs"},
      {{"show", "{BIG}"}, kExitFileError, "file. (Larger than 16 MiB)"},
      {{"show", "{LIMIT}", "limits"}, 0, ""},
      {{"show", nowhere}, kExitFileError, "file. ("},
      {{"set", "{ROM}", "-o", nowhere, "limits.HPlimit=500"}, kExitFileError, "program. ("},
  };
  std::map<std::string, std::vector<Byte>> files;
  for (const std::string& name : folder_.Entries()) files[name] = folder_.Read(name);
  for (HostileCase row : cases) {
    for (std::string& argument : row.arguments)
      for (const auto& [name, path] : {std::pair{"{ROM}", rom_},
                                       {"{PATCH}", patch},
                                       {"{CUT}", cut},
                                       {"{LIMIT}", limit},
                                       {"{BIG}", big}})
        if (argument == name) argument = path;
    SCOPED_TRACE(row.arguments[0] + " " + row.arguments[1] + " " + row.arguments.back());
    const Result result = RunCli(row.arguments);
    EXPECT_EQ(result.exitCode, row.exitCode);
    EXPECT_NE(result.err.find(row.says), std::string::npos) << result.err;
    for (const auto& [name, bytes] : files) EXPECT_TRUE(folder_.Read(name) == bytes) << name;
    EXPECT_EQ(folder_.Entries().size(), files.size());
  }
}

TEST_F(CliTest, ResultsThatCannotBeWrittenAreAFailure) {
  std::ostringstream out, err;
  out.setstate(std::ios::badbit);
  const char* const argv[] = {"brimwell-cli", "show", rom_.c_str()};
  EXPECT_EQ(RunCommandLine(3, argv, {out, err}), kExitFileError);
  EXPECT_EQ(err.str(), "brimwell-cli: standard output: the results could not be written\n");
}

TEST_F(CliTest, DryRunPrintsTheBytesAndWritesNothing) {
  const Result dry = RunCli({"set", rom_, "--dry-run", "limits.HPlimit=9999"});
  EXPECT_EQ(dry.exitCode, 0);
  EXPECT_EQ(dry.out, "0x02D9B6 E8 10\n0x02D9B7 03 27\n");
  EXPECT_EQ(folder_.Read("game.nes"), original_);
}

TEST_F(CliTest, KeepsTheEditorsMends) {
  std::vector<Byte> rom = original_;
  rom[0x32D81] = 0;  // base hits that the edit field would reject
  rom[kEvadeLockOffset] = 0x46;
  std::copy_n("\xF0\x17\xEA", 3, rom.begin() + 0x33A5E);  // the "Evade Down" fix applied
  folder_.Write("game.nes", rom);
  ASSERT_EQ(RunCli({"set", rom_, "battle.FixWeapon=true", "magic.FixLOCK=false"}).exitCode, 0);
  const std::vector<Byte> after = folder_.Read("game.nes");
  EXPECT_EQ(after[0x32D78], 0);              // carried into the fixed layout, not the block's 1
  EXPECT_EQ(after[kEvadeLockOffset], 0x46);  // the byte as the file held it
  EXPECT_EQ(testing::Slice(after, 0x33A5E, 3), (std::vector<Byte>{0x4C, 0x67, 0xBA}));
}

TEST_F(CliTest, DiffNamesOnlyWhatDiffers) {
  EXPECT_EQ(RunCli({"diff", rom_, rom_}).out, "");
  EXPECT_EQ(RunCli({"diff", rom_, rom_, "--json"}).out, "{}\n");
  ASSERT_EQ(RunCli({"set", rom_, "-o", folder_.File("b.nes"), "limits.HPlimit=9999",
                    "sprites.40.Handler=25"})
                .exitCode,
            0);
  const Result diff = RunCli({"diff", rom_, folder_.File("b.nes"), "--json"});
  Json expected = Json::parse(R"({"limits": {"HPlimit": {"a": 999, "b": 9999}},
      "sprites": {"40": {"Handler": {"a": "Check for AIRSHIP", "b": "Simple Text"},
                         "Text2": {"a": 0, "b": null}}}})");
  expected["sprites"]["40"]["Text2"]["a"] =
      original_[BrimwellConst::kSpriteTalkParameters + 4 * 40 + 2];
  EXPECT_EQ(Json::parse(diff.out), expected);
}

TEST_F(CliTest, PatchesMadeApplyToTheOriginalAndNoOtherRom) {
  const std::string edited = folder_.File("edited.nes");
  ASSERT_EQ(RunCli({"set", rom_, "-o", edited, "limits.HPlimit=9999"}).exitCode, 0);
  EXPECT_EQ(testing::DifferingOffsets(original_, folder_.Read("edited.nes")),
            (std::vector<std::size_t>{0x2D9B6, 0x2D9B7}));
  for (const std::string name : {"hack.ips", "hack.BPS"}) {
    SCOPED_TRACE(name);
    const std::string patch = folder_.File(name);
    ASSERT_EQ(RunCli({"patch", "create", rom_, edited, patch}).exitCode, 0);
    const Result apply = RunCli({"patch", "apply", patch, rom_, folder_.File("out.nes")});
    EXPECT_EQ(apply.exitCode, 0) << apply.err;
    EXPECT_EQ(folder_.Read("out.nes"), folder_.Read("edited.nes"));
  }
  // A BPS patch knows the ROM it was made for.
  const Result other = RunCli({"patch", "apply", folder_.File("hack.BPS"), edited, rom_});
  EXPECT_EQ(other.exitCode, kExitFileError);
  EXPECT_NE(other.err.find(kPatchForOtherRomError), std::string::npos) << other.err;
  EXPECT_EQ(folder_.Read("game.nes"), original_);
  EXPECT_EQ(RunCli({"patch", "create", rom_, edited, folder_.File("hack.txt")}).exitCode,
            kExitRefused);
}

TEST_F(CliTest, DataFileNamesSpritesAndDialogueStrings) {
  std::vector<Byte> rom = original_;
  rom[0x395E5 + 4 * 25 + 1] = 7;  // sprite 25's Text1
  folder_.Write("game.nes", rom);
  const std::string data = folder_.Write(
      "Q.dat", testing::MakeCurrentQuillonFile(
                   {.spriteNames = {{25, "Old man"}}, .dialogueNames = {{7, "Hello there"}}}));
  const Result show = RunCli({"show", rom_, "sprites", "--json", "--data", data});
  ASSERT_EQ(show.exitCode, 0) << show.err;
  const Json sprite = Json::parse(show.out)["sprites"]["25"];
  EXPECT_EQ(sprite["name"], "Old man");
  EXPECT_EQ(sprite["names"], Json({{"Text1", "Hello there"}}));
}

// The editors' own stores made the hack: every editor, a text, an aux value, and new handler types,
// one "Linked Sprites", whose store links to the next id; the weapon fix moves the hits along.
// The records of the sprites edited are in their types' layout, as in the game: the sprite
// editor's OK rewrites that layout, which set leaves as it stands.
TEST_F(CliTest, ChangedSettingsSetFromTheirFileGiveTheEditedImageByteForByte) {
  std::vector<Byte> edited = original_;
  RomSettings settings = RomSettings::LoadFromRom(edited);
  for (std::size_t id : {28, 30}) StoreSprite(edited, id, settings.sprites[id]);
  folder_.Write("game.nes", edited);
  for (const KeyCase& row : kKeyCases)
    for (const PatchKey& key : PatchKeys())
      if (key.Name() == row.key) key.put(settings, *ParseValue(key.form, row.value, 0));
  settings.limits.StoreToRom(edited);
  settings.battle.StoreToRom(edited);
  settings.magic.StoreToRom(edited, edited[kEvadeLockOffset]);
  settings.misc.StoreToRom(edited);
  settings.handlers[60] =
      std::ranges::find(HandlerCatalogue, "Linked Sprites", &HandlerType::entry)->address;
  settings.handlers[61] = HandlerCatalogue[25].address;
  WriteHandlerAddresses(edited, settings.handlers);
  for (std::size_t id : {60, 61})
    StoreSprite(edited, id, LoadSprite(edited, id, settings.handlers[id]));
  settings.sprites[30].Text1 = 7;
  settings.sprites[28].AuxValue = 42;
  for (std::size_t id : {28, 30}) StoreSprite(edited, id, settings.sprites[id]);
  const std::string editedRom = folder_.Write("edited.nes", edited);

  const Result changed = RunCli({"show", editedRom, "--json", "--changed-from", rom_});
  ASSERT_EQ(changed.exitCode, 0) << changed.err;
  const Json hack = Json::parse(changed.out);
  EXPECT_EQ(hack["sprites"].size(), 4u);
  EXPECT_EQ(hack["sprites"]["60"]["settings"]["NextSprite"], 61);
  const std::string file = folder_.Write("hack.json", {changed.out.begin(), changed.out.end()});
  const Result set = RunCli({"set", rom_, "--from", file, "-o", folder_.File("out.nes")});
  ASSERT_EQ(set.exitCode, 0) << set.err;
  EXPECT_TRUE(folder_.Read("out.nes") == edited);
  EXPECT_EQ(RunCli({"show", folder_.File("out.nes"), "--changed-from", editedRom}).out, "");
}

TEST_F(CliTest, SettingsFilesAreCheckedWholeAndRefusedWithThePlace) {
  const std::pair<std::string, std::string> refusals[] = {
      {R"({"limits": {"HPlimit": 999,}})", "not JSON: line 1, column 28"},
      {R"({"sprites": {"42": {"setings": {}}}})", "/sprites/42/setings: expected \"settings\""},
      {R"({"limits": {"Bogus": 1}})", "/limits/Bogus: refused limits.Bogus=1: no such key"},
      {R"({"misc": {"ShipGold": 7}, "limits": {"HPlimit": 10000}})",
       "/limits/HPlimit: refused limits.HPlimit=10000: takes a number"},
  };
  for (const auto& [text, says] : refusals) {
    SCOPED_TRACE(text);
    const std::string file = folder_.Write("hack.json", {text.begin(), text.end()});
    const Result set = RunCli({"set", rom_, "--from", file});
    EXPECT_EQ(set.exitCode, kExitRefused);
    EXPECT_NE(set.err.find("hack.json: " + says), std::string::npos) << set.err;
    EXPECT_EQ(folder_.Read("game.nes"), original_);
  }
  // An argument replaces the file's value of its key.
  ASSERT_EQ(
      RunCli({"set", rom_, "--from", folder_.File("hack.json"), "limits.HPlimit=500"}).exitCode, 0);
  EXPECT_EQ(Shown()["limits"]["HPlimit"], 500);
  EXPECT_EQ(Shown()["misc"]["ShipGold"], 7);
}

TEST_F(CliTest, PatchDescribeNamesSettingsOtherBytesFormatAndChecksums) {
  std::vector<Byte> edited = original_;
  edited[0x2D9B6] = 0x10;  // maximum HP 9999, stored + 1
  edited[0x2D9B7] = 0x27;
  edited[0x20000] ^= 1;
  edited[0x20001] ^= 1;
  for (const auto format : {PatchFormat::Ips, PatchFormat::Bps}) {
    const std::string patch =
        folder_.Write("hack.patch", CreatePatch(format, original_, edited).bytes);
    const Result described = RunCli({"patch", "describe", patch, rom_, "--json"});
    ASSERT_EQ(described.exitCode, 0) << described.err;
    const Json json = Json::parse(described.out);
    EXPECT_EQ(json["settings"], Json::parse(R"({"limits": {"HPlimit": {"a": 999, "b": 9999}}})"));
    EXPECT_EQ(json["otherBytes"], Json::parse(R"([{"offset": 131072, "length": 2}])"));
    EXPECT_EQ(json["format"], format == PatchFormat::Ips ? "IPS" : "BPS");
    if (format == PatchFormat::Ips) {
      EXPECT_EQ(json["checksums"], "none");
      EXPECT_NE(RunCli({"patch", "describe", patch, rom_}).out.find("other bytes 0x020000 2\n"),
                std::string::npos);
      continue;
    }
    char source[9];
    std::snprintf(source, sizeof source, "%08lX", crc32(0, original_.data(), original_.size()));
    EXPECT_EQ(json["checksums"]["source"],
              Json({{"stored", source}, {"actual", source}, {"matches", true}}));
    for (const char* checksum : {"target", "patch"})
      EXPECT_EQ(json["checksums"][checksum]["matches"], true);
    const Result other = RunCli({"patch", "describe", patch, folder_.Write("e.nes", edited)});
    EXPECT_EQ(other.exitCode, kExitFileError);
    EXPECT_NE(other.err.find(kPatchForOtherRomError), std::string::npos) << other.err;
  }
  EXPECT_EQ(folder_.Read("game.nes"), original_);
}

// ---- the built program ----

struct ProgramCase {
  const char* name;
  std::string arguments;  // for the shell: {ROM} and {SHORT} are files, {NOWHERE} is none
  int exitCode;
  std::string outHolds;  // empty: nothing may be printed there
  std::string errHolds;
};

void PrintTo(const ProgramCase& param, std::ostream* out) {
  *out << param.name;
}

class Program : public ::testing::TestWithParam<ProgramCase> {};

TEST_P(Program, AnswersOnTheRightStreamWithItsExitCode) {
  const testing::ScratchFolder folder;
  const std::pair<std::string, std::string> files[] = {
      {"{ROM}", folder.Write("game.nes", MakeCliRom())},
      {"{SHORT}", folder.Write("short.nes", {1, 2})},
      {"{NOWHERE}", folder.File("none/x.nes")}};
  std::string command = GetParam().arguments;
  for (const auto& [name, path] : files)
    if (const auto at = command.find(name); at != std::string::npos)
      command.replace(at, name.size(), path);
  const std::string program =
      std::filesystem::path(BRIMWELL_CLI_EXECUTABLE).make_preferred().string();
  EXPECT_EQ(testing::RunThroughShell(program + " " + command + " >" + folder.File("out") + " 2>" +
                                     folder.File("err")),
            GetParam().exitCode);
  for (const auto& [stream, holds] :
       {std::pair{"out", GetParam().outHolds}, std::pair{"err", GetParam().errHolds}}) {
    const std::vector<Byte> bytes = folder.Read(stream);
    std::string printed(bytes.begin(), bytes.end());
    std::erase(printed, '\r');  // Windows ends the lines of text with "\r\n"
    EXPECT_TRUE(holds.empty() ? printed.empty() : printed.find(holds) != std::string::npos)
        << stream << ": " << printed;
  }
}

INSTANTIATE_TEST_SUITE_P(
    Arguments, Program,
    ::testing::Values(
        ProgramCase{"Version", "--version", 0, "brimwell-cli " BRIMWELL_VERSION "\n", ""},
        ProgramCase{"CommandHelp", "set --help", 0, "Usage: brimwell-cli set", ""},
        ProgramCase{"Show", "show {ROM} limits", 0, "limits.HPlimit     999\n", ""},
        ProgramCase{"NoCommand", "", 2, "", "A subcommand is required"},
        ProgramCase{"UnknownEditor", "show {ROM} spells", 2, "", "spells not in"},
        ProgramCase{"Refused", "set {ROM} misc.ShipGold=-1", 2, "", "refused misc.ShipGold"},
        ProgramCase{"Unreadable", "show {NOWHERE}", 1, "", "Could not load the specified"},
        ProgramCase{"NotFinalFantasy", "diff {ROM} {SHORT}", 1, "", "not based on Final"},
        ProgramCase{"Unwritable", "set {ROM} -o {NOWHERE} limits.HPlimit=500", 1, "",
                    "Could not save the ROM data."}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace brimwell::cli
