// The file half of the platform seam: sharing rules, and a save that never leaves a damaged ROM.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>

#include "RecordingPlatform.h"
#include "TestRom.h"

namespace brimwell {
namespace {

using testing::MakeTestRom;
using testing::RecordingPlatform;
using testing::ScratchFolder;

class HeldLock {
 public:
  HeldLock(const std::string& path, int kind) : fd_(open(path.c_str(), O_RDONLY)) {
    EXPECT_EQ(flock(fd_, kind | LOCK_NB), 0);
  }
  ~HeldLock() { close(fd_); }

 private:
  int fd_;
};

mode_t ModeOf(const std::string& path) {
  struct stat info {};
  EXPECT_EQ(stat(path.c_str(), &info), 0);
  return info.st_mode & 07777;
}

TEST(PlatformFiles, ReadingDenyingWritersFailsWhileAWriterHoldsTheFile) {
  ScratchFolder folder;
  RecordingPlatform platform;
  const std::string path = folder.Write("game.nes", {1, 2, 3});
  {
    HeldLock writer(path, LOCK_EX);
    EXPECT_FALSE(platform.ReadFileDenyingWriters(path));
  }
  HeldLock reader(path, LOCK_SH);
  EXPECT_EQ(platform.ReadFileDenyingWriters(path), (std::vector<Byte>{1, 2, 3}));
}

TEST(PlatformFiles, ExclusiveReadFailsWhileAnyoneHoldsTheFileAndStopsAtTheLimit) {
  ScratchFolder folder;
  RecordingPlatform platform;
  const std::string path = folder.Write("Quillon.dat", {9, 8, 7, 6});
  EXPECT_EQ(platform.ReadFileExclusively(path, 3), (std::vector<Byte>{9, 8, 7}));
  EXPECT_EQ(platform.ReadFileExclusively(path, 10), (std::vector<Byte>{9, 8, 7, 6}));
  HeldLock reader(path, LOCK_SH);
  EXPECT_FALSE(platform.ReadFileExclusively(path, 10));
}

TEST(PlatformFiles, ReplaceKeepsPermissionBitsAndFollowsLinks) {
  ScratchFolder folder;
  RecordingPlatform platform;
  const std::string target = folder.Write("game.nes", {1});
  ASSERT_EQ(chmod(target.c_str(), 0640), 0);
  const std::string link = folder.File("link.nes");
  std::filesystem::create_symlink(target, link);

  ASSERT_TRUE(platform.ReplaceFileContents(link, {4, 5}));

  EXPECT_EQ(folder.Read("game.nes"), (std::vector<Byte>{4, 5}));
  EXPECT_TRUE(std::filesystem::is_symlink(link));
  EXPECT_EQ(ModeOf(target), 0640u);
  EXPECT_EQ(folder.Entries(), (std::vector<std::string>{"game.nes", "link.nes"}));
}

TEST(PlatformFiles, ReplaceRefusesAReadOnlyFileAndLeavesItAlone) {
  ScratchFolder folder;
  RecordingPlatform platform;
  const auto original = MakeTestRom();
  const std::string target = folder.Write("game.nes", original);
  ASSERT_EQ(chmod(target.c_str(), 0444), 0);

  EXPECT_FALSE(platform.ReplaceFileContents(target, std::vector<Byte>(original.size(), 0)));

  EXPECT_EQ(folder.Read("game.nes"), original);
  EXPECT_EQ(ModeOf(target), 0444u);
  EXPECT_EQ(folder.Entries(), std::vector<std::string>{"game.nes"});
}

TEST(PlatformFiles, ReplaceFailsWhileAnotherProgramHoldsTheFile) {
  ScratchFolder folder;
  RecordingPlatform platform;
  const std::string target = folder.Write("game.nes", {1, 2});
  {
    HeldLock other(target, LOCK_SH);
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
  std::filesystem::create_directory(folder.Path() / "sub");
  EXPECT_FALSE(platform.ReplaceFileContents(folder.File("sub"), {1}));
  EXPECT_TRUE(std::filesystem::is_directory(folder.Path() / "sub"));
  EXPECT_EQ(folder.Entries(), std::vector<std::string>{"sub"});
}

// A disk that fills up part-way through the write, simulated with a file size limit in a child
// process so the test runner itself keeps its limits.
TEST(PlatformFiles, AWriteThatFailsPartWayLeavesTheOldFileIntact) {
  ScratchFolder folder;
  const auto original = MakeTestRom();
  const std::string target = folder.Write("game.nes", original);

  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    signal(SIGXFSZ, SIG_IGN);
    const rlimit limit{0x10000, 0x10000};
    setrlimit(RLIMIT_FSIZE, &limit);
    RecordingPlatform platform;
    const bool saved =
        platform.ReplaceFileContents(target, std::vector<Byte>(original.size(), 0xAA));
    _exit(saved ? 1 : 0);
  }
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0) << "the save reported success";

  EXPECT_EQ(folder.Read("game.nes"), original);
  EXPECT_EQ(folder.Entries(), std::vector<std::string>{"game.nes"});
}

// A shared folder where the user owns only the ROM: no temporary file can be made beside it, so
// the ROM is overwritten in place. Run as an unprivileged user in a child process, since the
// superuser may create files in any folder; a nonzero limit caps the size of the files it
// writes. True when the save reported success.
bool SavedInPlace(const ScratchFolder& folder, const std::vector<Byte>& bytes,
                  rlim_t fileSizeLimit = 0) {
  const bool root = geteuid() == 0;
  EXPECT_EQ(chmod(folder.Path().c_str(), root ? 0755 : 0555), 0);
  EXPECT_EQ(chmod(folder.File("game.nes").c_str(), root ? 0666 : 0644), 0);
  const pid_t child = fork();
  if (child < 0) ADD_FAILURE() << "cannot start a child process";
  if (child == 0) {
    constexpr uid_t kNobody = 65534;
    if (root && (setgid(kNobody) != 0 || setuid(kNobody) != 0)) _exit(2);
    signal(SIGXFSZ, SIG_IGN);
    const rlimit limit{fileSizeLimit, fileSizeLimit};
    if (fileSizeLimit != 0 && setrlimit(RLIMIT_FSIZE, &limit) != 0) _exit(2);
    RecordingPlatform platform;
    _exit(platform.ReplaceFileContents(folder.File("game.nes"), bytes) ? 0 : 1);
  }
  int status = 0;
  EXPECT_EQ(waitpid(child, &status, 0), child);
  chmod(folder.Path().c_str(), 0755);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) != 2) << "the child could not set up";
  return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

TEST(PlatformFiles, AFolderThatTakesNoNewFileStillSavesAWritableRomInPlace) {
  ScratchFolder folder;
  folder.Write("game.nes", MakeTestRom());
  const std::vector<Byte> saved(kMinRomLength, 0x5C);
  EXPECT_TRUE(SavedInPlace(folder, saved)) << "the save failed";
  EXPECT_EQ(folder.Read("game.nes"), saved);
  EXPECT_EQ(folder.Entries(), std::vector<std::string>{"game.nes"});

  const std::vector<Byte> shorter(kMinRomLength - 0x1000, 0x3A);
  EXPECT_TRUE(SavedInPlace(folder, shorter));
  EXPECT_EQ(folder.Read("game.nes"), shorter);
}

// A disk that fills up while the ROM is overwritten in place: the old bytes go back, and a
// longer image that had grown the file is cut back to the old length.
TEST(PlatformFiles, AnInPlaceWriteThatFailsPartWayPutsTheOldRomBack) {
  const auto original = MakeTestRom(kMinRomLength + 0x100);
  struct Case {
    std::size_t length;
    rlim_t limit;
  };
  for (const Case& c :
       {Case{original.size(), 0x10000}, Case{original.size() + 0x3000, original.size() + 0x1000}}) {
    SCOPED_TRACE(c.length);
    ScratchFolder folder;
    folder.Write("game.nes", original);
    EXPECT_FALSE(SavedInPlace(folder, std::vector<Byte>(c.length, 0xAA), c.limit))
        << "the save reported success";
    EXPECT_EQ(folder.Read("game.nes"), original);
    EXPECT_EQ(folder.Entries(), std::vector<std::string>{"game.nes"});
  }
}

}  // namespace
}  // namespace brimwell
