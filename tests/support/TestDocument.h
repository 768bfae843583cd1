#pragma once

// A document that has opened a ROM from a scratch file, as the main window's open does, for the
// editors to be handed.

#include <gtest/gtest.h>

#include "RecordingPlatform.h"
#include "TestRom.h"
#include "rom/RomDocument.h"

namespace brimwell::testing {

struct TestDocument {
  explicit TestDocument(const std::vector<Byte>& bytes = MakeTestRom()) { Open(bytes); }

  // Replaces the open ROM with these bytes through a new open.
  void Open(const std::vector<Byte>& bytes) {
    document.SetRomPath(folder.Write("game.nes", bytes));
    EXPECT_EQ(document.Open(), OpenOutcome::Opened);
  }

  ScratchFolder folder;
  RecordingPlatform platform;
  RomDocument document{platform};
};

}  // namespace brimwell::testing
