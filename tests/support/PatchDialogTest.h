#pragma once

// A fixture that drives a patch dialog through its real widgets on the offscreen platform, over
// a document that has opened an image that looks like the untouched game.

#include <gtest/gtest.h>

#include "PatchDialogDriver.h"
#include "TestDocument.h"

namespace brimwell::testing {

template <typename Dialog>
class PatchDialogTest : public ::testing::Test, public PatchDialogDriver {
 protected:
  // The driver only keeps a reference to the dialog, which is built after it.
  explicit PatchDialogTest(const char* groupListName) : PatchDialogDriver(dialog, groupListName) {}

  TestDocument rom;
  RomImage& image = rom.document.Image();
  Dialog dialog{rom.document};
};

}  // namespace brimwell::testing
