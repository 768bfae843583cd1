// The built program as a user's shell starts it, with names and values beyond ASCII: each name
// reaches its own file on every system, and a value is read alike everywhere.

#include <gtest/gtest.h>

#include <filesystem>

#include "TestFiles.h"
#include "TestRom.h"

namespace brimwell::cli {
namespace {

constexpr std::size_t kHpLimitOffset = 0x2D9B6;

std::vector<Byte> HpLimitBytes(const testing::ScratchFolder& folder, const std::string& name) {
  return testing::Slice(folder.Read(name), kHpLimitOffset, 2);
}

TEST(ProgramArguments, NamesAndValuesBeyondAsciiAreTakenAsTyped) {
  const testing::ScratchFolder folder;
  std::filesystem::create_directory(testing::Utf8Path(folder.File("Ærø ROMs")));
  const std::vector<std::string> names = {"Ærø ROMs/ファイナル.nes", "rom.nes", "ｒｏｍ.nes"};
  for (const std::string& name : names) folder.Write(name, testing::MakeTestRom());
  const std::vector<Byte> unchanged = HpLimitBytes(folder, "rom.nes");
  const std::vector<Byte> hp700 = {0xBD, 0x02};  // 700 + 1, little-endian

  struct Case {
    std::string arguments;  // {} stands for the quoted path of the file named
    std::string file;
    int exitCode;
    std::string changedFile;  // the one file whose HP limit is then 700
  };
  const Case cases[] = {
      {"set {} limits.HPlimit=700", names[0], 0, names[0]},
      // Windows' best-fit mapping would turn the full-width name into "rom.nes".
      {"set {} limits.HPlimit=700", names[2], 0, names[2]},
      {"set {} misc.ShipGold=１２３", names[1], 2, ""},
      // CLI11 on Windows would take a leading "/" for an option's mark.
      {"show /nonexistent/game.nes", "", 1, ""},
  };
  const std::string program =
      std::filesystem::path(BRIMWELL_CLI_EXECUTABLE).make_preferred().string();
  for (const Case& test : cases) {
    SCOPED_TRACE(test.arguments + " " + test.file);
    for (const std::string& name : names) folder.Write(name, testing::MakeTestRom());
    std::string arguments = test.arguments;
    if (const auto at = arguments.find("{}"); at != std::string::npos)
      arguments.replace(at, 2, "\"" + folder.File(test.file) + "\"");
    EXPECT_EQ(testing::RunThroughShell(program + " " + arguments + " 2>" + folder.File("err")),
              test.exitCode);
    for (const std::string& name : names)
      EXPECT_EQ(HpLimitBytes(folder, name), name == test.changedFile ? hp700 : unchanged) << name;
  }
}

}  // namespace
}  // namespace brimwell::cli
