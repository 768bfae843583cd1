#include "rom/RomDocument.h"

#include <gtest/gtest.h>

#include "RecordingPlatform.h"
#include "TestFiles.h"
#include "TestRom.h"

namespace brimwell {
namespace {

using testing::MakeTestRom;
using testing::RecordingPlatform;
using testing::ScratchFolder;

struct OpenCase {
  const char* name;
  std::size_t length;
  OpenOutcome outcome;
};

class RomDocumentOpen : public ::testing::TestWithParam<OpenCase> {};

TEST_P(RomDocumentOpen, JudgesTheFileByItsLengthAlone) {
  ScratchFolder folder;
  RecordingPlatform platform;
  RomDocument document(platform);
  const auto bytes = MakeTestRom(GetParam().length);
  document.SetRomPath(folder.Write("game.nes", bytes));

  EXPECT_EQ(document.Open(), GetParam().outcome);

  const bool opened = GetParam().outcome == OpenOutcome::Opened;
  EXPECT_EQ(document.RomLoaded(), opened);
  if (opened)
    EXPECT_EQ(document.Image().Contents(), bytes);
  else
    EXPECT_TRUE(document.Image().Empty());
}

INSTANTIATE_TEST_SUITE_P(
    Lengths, RomDocumentOpen,
    ::testing::Values(OpenCase{"Empty", 0, OpenOutcome::TooShort},
                      OpenCase{"OneShort", kMinRomLength - 1, OpenOutcome::TooShort},
                      OpenCase{"Exact", kMinRomLength, OpenOutcome::Opened},
                      OpenCase{"Longer", kMinRomLength + 0x2000 + 3, OpenOutcome::Opened}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(RomDocument, PathsThatAreNoRegularFileEndInTheLoadError) {
  ScratchFolder folder;
  const testing::NamedPipe pipe(folder);
  for (const std::string& path : {std::string(), folder.File("missing.nes"), folder.Path().string(),
                                  pipe.Path(), std::string(testing::kDeviceFile)}) {
    RecordingPlatform platform;
    RomDocument document(platform);
    document.SetRomPath(path);
    EXPECT_EQ(document.Open(), OpenOutcome::LoadError) << path;
    EXPECT_FALSE(document.RomLoaded()) << path;
    EXPECT_TRUE(document.Image().Empty()) << path;
  }
}

TEST(RomDocument, FailedOpenAfterASuccessfulOneLeavesNothingLoaded) {
  ScratchFolder folder;
  RecordingPlatform platform;
  RomDocument document(platform);
  document.SetRomPath(folder.Write("good.nes", MakeTestRom()));
  ASSERT_EQ(document.Open(), OpenOutcome::Opened);

  document.SetRomPath(folder.Write("short.nes", MakeTestRom(100)));
  EXPECT_EQ(document.Open(), OpenOutcome::TooShort);
  EXPECT_FALSE(document.RomLoaded());
  EXPECT_TRUE(document.Image().Empty());
  EXPECT_EQ(document.Save(), SaveOutcome::NothingLoaded);
  EXPECT_EQ(folder.Read("short.nes").size(), 100u);
}

TEST(RomDocument, SaveWritesBackExactlyWhatWasReadPlusEdits) {
  ScratchFolder folder;
  RecordingPlatform platform;
  RomDocument document(platform);
  auto bytes = MakeTestRom(kMinRomLength + 17);
  document.SetRomPath(folder.Write("game.nes", bytes));
  ASSERT_EQ(document.Open(), OpenOutcome::Opened);

  ASSERT_EQ(document.Save(), SaveOutcome::Saved);
  EXPECT_EQ(folder.Read("game.nes"), bytes);

  document.Image()[0x2D9B6] = 0x10;
  bytes[0x2D9B6] = 0x10;
  ASSERT_EQ(document.Save(), SaveOutcome::Saved);
  EXPECT_EQ(folder.Read("game.nes"), bytes);
  EXPECT_EQ(folder.Entries(), std::vector<std::string>{"game.nes"});
}

TEST(RomDocument, LockByteComesFromTheLastOpenOnly) {
  ScratchFolder folder;
  RecordingPlatform platform;
  RomDocument document(platform);
  auto bytes = MakeTestRom();
  bytes[kEvadeLockOffset] = 0x46;
  document.SetRomPath(folder.Write("game.nes", bytes));
  ASSERT_EQ(document.Open(), OpenOutcome::Opened);
  EXPECT_EQ(document.LockByteAtOpen(), 0x46);

  document.Image()[kEvadeLockOffset] = 0x13;
  ASSERT_EQ(document.Save(), SaveOutcome::Saved);
  EXPECT_EQ(document.LockByteAtOpen(), 0x46);

  ASSERT_EQ(document.Open(), OpenOutcome::Opened);
  EXPECT_EQ(document.LockByteAtOpen(), 0x13);
}

TEST(RomDocument, ReopeningDiscardsUnsavedEdits) {
  ScratchFolder folder;
  RecordingPlatform platform;
  RomDocument document(platform);
  const auto bytes = MakeTestRom();
  document.SetRomPath(folder.Write("game.nes", bytes));
  ASSERT_EQ(document.Open(), OpenOutcome::Opened);
  document.Image()[0x100] ^= 0xFF;
  ASSERT_EQ(document.Open(), OpenOutcome::Opened);
  EXPECT_EQ(document.Image().Contents(), bytes);
}

}  // namespace
}  // namespace brimwell
