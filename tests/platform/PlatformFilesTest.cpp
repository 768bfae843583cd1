// The file half of the platform seam: sharing rules, and a save that never leaves a damaged ROM.

#include <gtest/gtest.h>

#include <filesystem>

#ifndef _WIN32
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#endif

#include "RecordingPlatform.h"
#include "TestFiles.h"
#include "TestRom.h"

namespace brimwell {
namespace {

namespace fs = std::filesystem;
using testing::FileHeldOpen;
using testing::HeldFor;
using testing::MakeTestRom;
using testing::RecordingPlatform;
using testing::ScratchFolder;

TEST(PlatformFiles, ReadingDenyingWritersFailsWhileAWriterHoldsTheFile) {
  ScratchFolder folder;
  RecordingPlatform platform;
  const std::string path = folder.Write("game.nes", {1, 2, 3});
  {
    FileHeldOpen writer(path, HeldFor::Writing);
    EXPECT_FALSE(platform.ReadFileDenyingWriters(path, kMaxRomLength));
  }
  FileHeldOpen reader(path, HeldFor::Reading);
  EXPECT_EQ(platform.ReadFileDenyingWriters(path, kMaxRomLength), (std::vector<Byte>{1, 2, 3}));
}

TEST(PlatformFiles, ExclusiveReadFailsWhileAnyoneHoldsTheFileAndStopsAtTheLimit) {
  ScratchFolder folder;
  RecordingPlatform platform;
  const std::string path = folder.Write("Quillon.dat", {9, 8, 7, 6});
  EXPECT_EQ(platform.ReadFileExclusively(path, 3), (std::vector<Byte>{9, 8, 7}));
  EXPECT_EQ(platform.ReadFileExclusively(path, 10), (std::vector<Byte>{9, 8, 7, 6}));
  FileHeldOpen reader(path, HeldFor::Reading);
  EXPECT_FALSE(platform.ReadFileExclusively(path, 10));
}

TEST(PlatformFiles, ReplaceKeepsTheFilesPermissions) {
  ScratchFolder folder;
  RecordingPlatform platform;
  const std::string target = folder.Write("game.nes", {1});
  testing::SetUncommonPermissions(target);
  const auto permissions = testing::PermissionsOf(target);

  ASSERT_TRUE(platform.ReplaceFileContents(target, {4, 5}));

  EXPECT_EQ(folder.Read("game.nes"), (std::vector<Byte>{4, 5}));
  EXPECT_EQ(testing::PermissionsOf(target), permissions);
}

TEST(PlatformFiles, ReplaceThroughASymbolicLinkWritesTheFileItNames) {
  ScratchFolder folder;
  RecordingPlatform platform;
  const std::string target = folder.Write("game.nes", {1});
  const std::string link = folder.File("link.nes");
  const testing::SymbolicLink made(target, link);
  if (!made.Unavailable().empty()) GTEST_SKIP() << made.Unavailable();

  ASSERT_TRUE(platform.ReplaceFileContents(link, {4, 5}));

  EXPECT_EQ(folder.Read("game.nes"), (std::vector<Byte>{4, 5}));
  // Still a link: it shows what the file it names holds now.
  folder.Write("game.nes", {6});
  EXPECT_EQ(folder.Read("link.nes"), std::vector<Byte>{6});
  EXPECT_EQ(folder.Entries(), (std::vector<std::string>{"game.nes", "link.nes"}));
}

TEST(PlatformFiles, ReplaceRefusesAReadOnlyFileAndLeavesItAlone) {
  ScratchFolder folder;
  RecordingPlatform platform;
  const auto original = MakeTestRom();
  const std::string target = folder.Write("game.nes", original);
  const auto readOnly = fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read;
  fs::permissions(target, readOnly);

  EXPECT_FALSE(platform.ReplaceFileContents(target, std::vector<Byte>(original.size(), 0)));

  EXPECT_EQ(folder.Read("game.nes"), original);
  EXPECT_EQ(fs::status(target).permissions(), readOnly);
  EXPECT_EQ(folder.Entries(), std::vector<std::string>{"game.nes"});
}

TEST(PlatformFiles, ReplaceFailsWhileAnotherProgramHoldsTheFile) {
  ScratchFolder folder;
  RecordingPlatform platform;
  const std::string target = folder.Write("game.nes", {1, 2});
  {
    FileHeldOpen other(target, HeldFor::Reading);
    EXPECT_FALSE(platform.ReplaceFileContents(target, {3}));
    EXPECT_EQ(folder.Read("game.nes"), (std::vector<Byte>{1, 2}));
    EXPECT_EQ(folder.Entries(), std::vector<std::string>{"game.nes"});
  }
  EXPECT_TRUE(platform.ReplaceFileContents(target, {3}));
  EXPECT_EQ(folder.Read("game.nes"), std::vector<Byte>{3});
}

TEST(PlatformFiles, ReplaceFailsIntoAMissingFolderOrOverAFolder) {
  ScratchFolder folder;
  RecordingPlatform platform;
  EXPECT_FALSE(platform.ReplaceFileContents(folder.File("no/such/game.nes"), {1}));
  fs::create_directory(folder.Path() / "sub");
  EXPECT_FALSE(platform.ReplaceFileContents(folder.File("sub"), {1}));
  EXPECT_TRUE(fs::is_directory(folder.Path() / "sub"));
  EXPECT_EQ(folder.Entries(), std::vector<std::string>{"sub"});
}

// A save that crashed on Windows leaves its temporary file behind, under the name the next save
// tries first; read-only, or still held by a program that scans new files, it must not keep
// later saves from working.
TEST(PlatformFiles, ATemporaryFileLeftByACrashedSaveDoesNotStopLaterSaves) {
  ScratchFolder folder;
  RecordingPlatform platform;
  const std::string target = folder.Write("game.nes", {1});
  const std::string leftover = folder.Write("~game.nes.brimwell-tmp", {9});
  fs::permissions(leftover, fs::perms::owner_read);
  FileHeldOpen scanner(leftover, HeldFor::Reading);

  for (const Byte value : {2, 3}) {
    ASSERT_TRUE(platform.ReplaceFileContents(target, {value}));
    EXPECT_EQ(folder.Read("game.nes"), std::vector<Byte>{value});
  }
  EXPECT_EQ(folder.Read("~game.nes.brimwell-tmp"), std::vector<Byte>{9});
  EXPECT_EQ(folder.Entries(), (std::vector<std::string>{"game.nes", "~game.nes.brimwell-tmp"}));
}

// A disk that fills up part-way through the write, simulated with a file size limit in a child
// process so the test runner itself keeps its limits.
TEST(PlatformFiles, AWriteThatFailsPartWayLeavesTheOldFileIntact) {
  ScratchFolder folder;
  const auto original = MakeTestRom();
  const std::string target = folder.Write("game.nes", original);

  const auto saved = testing::RunInLimitedChildProcess({.fileSizeLimit = 0x10000}, [&] {
    RecordingPlatform platform;
    return platform.ReplaceFileContents(target, std::vector<Byte>(original.size(), 0xAA));
  });
  if (!saved) GTEST_SKIP() << testing::kNoLimitedChildProcess;
  EXPECT_FALSE(*saved) << "the save reported success";

  EXPECT_EQ(folder.Read("game.nes"), original);
  EXPECT_EQ(folder.Entries(), std::vector<std::string>{"game.nes"});
}

// SIGTERM part-way through a save: the child's write past its file size limit raises SIGXFSZ,
// whose handler sends it.
TEST(PlatformFiles, ASaveEndedByASignalTakesItsTemporaryFileAlong) {
#ifdef _WIN32
  GTEST_SKIP() << testing::kNoLimitedChildProcess;
#else
  ScratchFolder folder;
  const auto original = MakeTestRom();
  const std::string target = folder.Write("game.nes", original);
  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    signal(SIGXFSZ, [](int) { raise(SIGTERM); });
    const rlimit limit{0x10000, 0x10000};
    setrlimit(RLIMIT_FSIZE, &limit);
    RecordingPlatform platform;
    _exit(platform.ReplaceFileContents(target, std::vector<Byte>(original.size(), 0xAA)));
  }
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGTERM) << status;
  EXPECT_EQ(folder.Read("game.nes"), original);
  EXPECT_EQ(folder.Entries(), std::vector<std::string>{"game.nes"});
#endif
}

// A shared folder where the user owns only the ROM: no temporary file can be made beside it, so
// the ROM is overwritten in place. Run as an unprivileged user in a child process, since the
// superuser may create files in any folder; a nonzero limit caps the size of the files it
// writes. Whether the save reported success, where the system can run such a child.
std::optional<bool> SavedInPlace(const ScratchFolder& folder, const std::vector<Byte>& bytes,
                                 std::uint64_t fileSizeLimit = 0) {
  const bool root = testing::RunsAsSuperuser();
  fs::permissions(folder.Path(), fs::perms(root ? 0755 : 0555));
  fs::permissions(folder.File("game.nes"), fs::perms(root ? 0666 : 0644));
  const auto saved = testing::RunInLimitedChildProcess({fileSizeLimit, true}, [&] {
    RecordingPlatform platform;
    return platform.ReplaceFileContents(folder.File("game.nes"), bytes);
  });
  fs::permissions(folder.Path(), fs::perms(0755));
  return saved;
}

TEST(PlatformFiles, AFolderThatTakesNoNewFileStillSavesAWritableRomInPlace) {
  ScratchFolder folder;
  folder.Write("game.nes", MakeTestRom());
  const std::vector<Byte> saved(kMinRomLength, 0x5C);
  const auto reported = SavedInPlace(folder, saved);
  if (!reported) GTEST_SKIP() << testing::kNoLimitedChildProcess;
  EXPECT_TRUE(*reported) << "the save failed";
  EXPECT_EQ(folder.Read("game.nes"), saved);
  EXPECT_EQ(folder.Entries(), std::vector<std::string>{"game.nes"});

  const std::vector<Byte> shorter(kMinRomLength - 0x1000, 0x3A);
  EXPECT_EQ(SavedInPlace(folder, shorter), true);
  EXPECT_EQ(folder.Read("game.nes"), shorter);
}

// A disk that fills up while the ROM is overwritten in place: the old bytes go back, and a
// longer image that had grown the file is cut back to the old length.
TEST(PlatformFiles, AnInPlaceWriteThatFailsPartWayPutsTheOldRomBack) {
  const auto original = MakeTestRom(kMinRomLength + 0x100);
  struct Case {
    std::size_t length;
    std::uint64_t limit;
  };
  for (const Case& c :
       {Case{original.size(), 0x10000}, Case{original.size() + 0x3000, original.size() + 0x1000}}) {
    SCOPED_TRACE(c.length);
    ScratchFolder folder;
    folder.Write("game.nes", original);
    const auto reported = SavedInPlace(folder, std::vector<Byte>(c.length, 0xAA), c.limit);
    if (!reported) GTEST_SKIP() << testing::kNoLimitedChildProcess;
    EXPECT_FALSE(*reported) << "the save reported success";
    EXPECT_EQ(folder.Read("game.nes"), original);
    EXPECT_EQ(folder.Entries(), std::vector<std::string>{"game.nes"});
  }
}

}  // namespace
}  // namespace brimwell
