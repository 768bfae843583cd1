// The misc dialog driven through its real widgets on the offscreen platform.

#include "patches/TdlgMisc.h"

#include <gtest/gtest.h>

#include <QAccessible>
#include <QCheckBox>
#include <QLabel>
#include <QRadioButton>

#include "MiscTestBytes.h"
#include "PatchDialogDriver.h"
#include "TestDocument.h"

namespace brimwell {
namespace {

using namespace testing;

const char kWalkText[] =
    "All airship landable, plus all walkable tiles.  Includes desert, marsh, ship port, forest, "
    "and teleport entrances.";
const char kOnlyText[] = "Same as tiles marked as landable in Quillon.";

class MiscDialogTest : public ::testing::Test {
 protected:
  MiscDialogTest() : ui(dialog, "lbMagicType") {}

  std::vector<Byte> Gold() const { return ShipGoldBytes(image.Bytes()); }
  QCheckBox* Box(const char* name) { return ui.Find<QCheckBox>(name); }
  QRadioButton* Walk() { return ui.Find<QRadioButton>("rbLandWalk"); }
  QRadioButton* Only() { return ui.Find<QRadioButton>("rbLandOnly"); }
  std::pair<bool, bool> Landing() { return {Walk()->isChecked(), Only()->isChecked()}; }

  testing::TestDocument rom;
  RomImage& image = rom.document.Image();
  TdlgMisc dialog{rom.document};
  testing::PatchDialogDriver ui;
};

TEST_F(MiscDialogTest, FirstShowingSelectsTheShipGameAndShowsTheOriginalGame) {
  ui.Show();
  EXPECT_EQ(dialog.windowTitle(), "Miscellaneous additions");
  QListWidget* list = ui.GroupList();
  ASSERT_EQ(list->count(), 2);
  EXPECT_EQ(list->item(0)->text(), "Ship Game");
  EXPECT_EQ(list->item(1)->text(), "Airship");
  EXPECT_EQ(list->currentRow(), 0);
  EXPECT_EQ(ui.VisiblePage(), "tsShipGame");

  EXPECT_TRUE(Box("ckShipGameEnabled")->isChecked());
  EXPECT_FALSE(Box("ckShipGameAnywhere")->isChecked());
  EXPECT_EQ(ui.Find("eShipGold")->text(), "100");
  EXPECT_EQ(ui.Find("eShipBtnPresses")->text(), "55");
  EXPECT_EQ(Landing(), std::pair(false, true));

  ui.PickGroup(1);
  EXPECT_EQ(ui.VisiblePage(), "TabSheet1");
}

TEST_F(MiscDialogTest, PagesCarryTheirTextsAndHints) {
  ui.Show();  // the widgets are built at the first showing
  EXPECT_EQ(Box("ckShipGameEnabled")->text(), "Ship Game Accessible (FF1 = YES)");
  EXPECT_EQ(Box("ckShipGameAnywhere")->text(), "Access anywhere on Map (FF1 = NO)");
  EXPECT_EQ(Walk()->text(), "Any Walkable");
  EXPECT_EQ(Only()->text(), "Flat, dry only (FF1)");

  QStringList labels;
  for (QLabel* label : dialog.findChildren<QLabel*>()) labels << label->text();
  for (const char* text :
       {"Gold for solving:", "FF1 = 100", "Number of A+B button presses to activate:", "FF1 = 55",
        "Type of terrain Airship can be landed on:", kWalkText, kOnlyText})
    EXPECT_TRUE(labels.contains(QString::fromLatin1(text))) << text;

  const std::pair<const char*, const char*> hints[] = {
      {"ckShipGameEnabled", "Shows whether ship game is available."},
      {"ckShipGameAnywhere", "Shows whether ship game is available."},
      {"eShipGold", "Amount of prize for winning."},
      {"eShipBtnPresses", "Number of times to press A + B buttons to activate"},
      {"rbLandWalk", ""},
      {"rbLandOnly", ""},
      {"lbMagicType", ""},
      {"btnOK", ""},
      {"btnCancel", ""},
  };
  for (const auto& [name, hint] : hints) EXPECT_EQ(ui.Find<QWidget>(name)->toolTip(), hint) << name;
  EXPECT_EQ(ui.Find<QPushButton>("btnOK")->text(), "&OK");
  EXPECT_EQ(ui.Find<QPushButton>("btnCancel")->text(), "&Cancel");
}

TEST_F(MiscDialogTest, ScreenReadersNameTheFieldsAndDescribeTheChoices) {
  ui.Show();
  const std::pair<const char*, const char*> names[] = {
      {"eShipGold", "Gold for solving:"},
      {"eShipBtnPresses", "Number of A+B button presses to activate:"},
  };
  for (const auto& [edit, caption] : names) {
    QAccessibleInterface* field = QAccessible::queryAccessibleInterface(ui.Find(edit));
    ASSERT_NE(field, nullptr) << edit;
    EXPECT_EQ(field->text(QAccessible::Name), caption) << edit;
    EXPECT_EQ(field->text(QAccessible::Description), ui.Find(edit)->toolTip()) << edit;
  }
  EXPECT_EQ(QAccessible::queryAccessibleInterface(Walk())->text(QAccessible::Description),
            kWalkText);
  EXPECT_EQ(QAccessible::queryAccessibleInterface(Only())->text(QAccessible::Description),
            kOnlyText);
}

// Each showing replaces the buttons' state from the image, also a state left by the user.
TEST_F(MiscDialogTest, LandingByteSelectsItsButtonOrNeitherAndOkWritesWalkOrOnly) {
  const struct {
    Byte stored;
    std::pair<bool, bool> shown;
    Byte written;
  } cases[] = {{0x01, {true, false}, 0x01},  {0x08, {false, true}, 0x08},
               {0x42, {false, false}, 0x08}, {0x00, {false, false}, 0x08},
               {0x09, {false, false}, 0x08}, {0x01, {true, false}, 0x01}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.stored);
    image[kAirshipLanding] = c.stored;
    ui.Show();
    EXPECT_EQ(Landing(), c.shown);
    ui.Press("btnOK");
    EXPECT_EQ(image[kAirshipLanding], c.written);
  }
}

TEST_F(MiscDialogTest, PicksAfterNeitherWasSelectedStillExcludeEachOther) {
  for (UserToggle way : kUserToggles) {
    SCOPED_TRACE(Describe(way));
    image[kAirshipLanding] = 0x42;
    ui.Show();
    ui.PickGroup(1);
    ASSERT_EQ(Landing(), std::pair(false, false));
    ToggleAsUser(Only(), way);
    EXPECT_EQ(Landing(), std::pair(false, true));
    ToggleAsUser(Walk(), way);
    EXPECT_EQ(Landing(), std::pair(true, false));
    ToggleAsUser(Walk(), way);  // a checked radio button stays checked
    EXPECT_EQ(Landing(), std::pair(true, false));
    ui.Press("btnOK");
    EXPECT_EQ(image[kAirshipLanding], 0x01);
  }
}

TEST_F(MiscDialogTest, ArrowKeysMoveTheChoiceBetweenTheButtons) {
  image[kAirshipLanding] = 0x42;
  ui.Show();
  ui.PickGroup(1);
  ToggleAsUser(Walk(), UserToggle::Space);
  QTest::keyClick(Walk(), Qt::Key_Down);
  EXPECT_EQ(Landing(), std::pair(false, true));
  EXPECT_TRUE(Only()->hasFocus());
  QTest::keyClick(Only(), Qt::Key_Up);
  EXPECT_EQ(Landing(), std::pair(true, false));
  ui.Press("btnOK");
  EXPECT_EQ(image[kAirshipLanding], 0x01);
}

TEST_F(MiscDialogTest, CheckBoxesStoreTheirStateHoweverTheyAreToggled) {
  image[kShipBtnPresses] = 0x0C;
  for (UserToggle way : kUserToggles) {
    for (bool on : {false, true}) {
      SCOPED_TRACE(std::string(Describe(way)) + (on ? " on" : " off"));
      ui.Show();
      ToggleAsUser(Box("ckShipGameEnabled"), way);
      ToggleAsUser(Box("ckShipGameAnywhere"), way);
      ASSERT_EQ(Box("ckShipGameEnabled")->isChecked(), on);
      ui.Press("btnOK");
      EXPECT_EQ(Slice(image.Bytes(), kShipGameOpcode, 2),
                (std::vector<Byte>{Byte(on ? 0xC9 : 0xA9), 0x0C}));
      EXPECT_EQ(image[kShipGameAnywhere], on ? 0x25 : 0x00);
    }
  }
}

TEST_F(MiscDialogTest, OkWritesEveryFieldAndNoOtherByte) {
  const std::vector<Byte> before = image.Contents();
  ui.Show();
  ToggleAsUser(Box("ckShipGameEnabled"), UserToggle::Click);
  ToggleAsUser(Box("ckShipGameAnywhere"), UserToggle::Click);
  ui.Type("eShipGold", "999999");
  ui.Type("eShipBtnPresses", "$FF");
  ui.PickGroup(1);
  ToggleAsUser(Walk(), UserToggle::Click);
  ui.Press("btnOK");

  EXPECT_FALSE(dialog.isVisible());
  EXPECT_EQ(dialog.result(), QDialog::Accepted);
  std::vector<Byte> expected = before;
  expected[kShipGameOpcode] = 0xA9;
  expected[kShipBtnPresses] = 0xFF;
  expected[kShipGameAnywhere] = 0x00;
  SetShipGoldBytes(expected, {0x3F, 0x42, 0x0F});
  expected[kAirshipLanding] = 0x01;
  EXPECT_EQ(DifferingOffsets(expected, image.Bytes()), std::vector<std::size_t>{});
}

TEST_F(MiscDialogTest, RejectedTextsLeaveTheirBytesAndTheRestIsStored) {
  const struct {
    const char* edit;
    const char* typed;
  } cases[] = {{"eShipGold", "-1"},       {"eShipGold", ""},          {"eShipGold", "12 "},
               {"eShipBtnPresses", "0"},  {"eShipBtnPresses", "256"}, {"eShipBtnPresses", "-1"},
               {"eShipBtnPresses", "abc"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.edit) + " '" + c.typed + "'");
    const std::vector<Byte> before = image.Contents();
    ui.Show();
    ui.Type(c.edit, c.typed);
    ASSERT_EQ(ui.Find(c.edit)->text(), c.typed);
    ui.Type(c.edit == std::string("eShipGold") ? "eShipBtnPresses" : "eShipGold", "7");
    ui.Press("btnOK");
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    if (c.edit == std::string("eShipGold")) {
      EXPECT_EQ(Gold(), ShipGoldBytes(before));
      EXPECT_EQ(image[kShipBtnPresses], 7);
    } else {
      EXPECT_EQ(image[kShipBtnPresses], before[kShipBtnPresses]);
      EXPECT_EQ(Gold(), (std::vector<Byte>{7, 0, 0}));
    }
  }
}

// A seven-digit prize cannot even be typed; the model rejects one all the same.
TEST_F(MiscDialogTest, TypingStopsAtTheMaximumLengths) {
  ui.Show();
  ui.Type("eShipGold", "1000000");
  EXPECT_EQ(ui.Find("eShipGold")->text(), "100000");
  ui.Type("eShipBtnPresses", "1234");
  EXPECT_EQ(ui.Find("eShipBtnPresses")->text(), "123");
  ui.Press("btnOK");
  EXPECT_EQ(Gold(), (std::vector<Byte>{0xA0, 0x86, 0x01}));
  EXPECT_EQ(image[kShipBtnPresses], 123);
}

TEST_F(MiscDialogTest, OddBytesShowTheirNearestSettingsAndOkWritesThoseForms) {
  SetShipGoldBytes(image.Bytes(), {0xFF, 0xFF, 0xFF});
  image[kShipBtnPresses] = 0x00;
  image[kShipGameOpcode] = 0xEA;
  image[kShipGameAnywhere] = 0x01;
  ui.Show();
  EXPECT_EQ(ui.Find("eShipGold")->text(), "999999");
  EXPECT_EQ(ui.Find("eShipBtnPresses")->text(), "0");
  EXPECT_FALSE(Box("ckShipGameEnabled")->isChecked());
  EXPECT_FALSE(Box("ckShipGameAnywhere")->isChecked());

  ui.Press("btnOK");
  EXPECT_EQ(Gold(), (std::vector<Byte>{0x3F, 0x42, 0x0F}));
  EXPECT_EQ(Slice(image.Bytes(), kShipGameOpcode, 2), (std::vector<Byte>{0xA9, 0x00}));
  EXPECT_EQ(image[kShipGameAnywhere], 0x25);
}

TEST_F(MiscDialogTest, CancelEscOrCloseBoxAfterEditingEverythingWritesNothing) {
  image[kAirshipLanding] = 0x42;
  const std::vector<Byte> before = image.Contents();
  for (const char* way : {"Cancel", "Esc", "close box"}) {
    SCOPED_TRACE(way);
    ui.Show();
    ui.PickGroup(0);
    ToggleAsUser(Box("ckShipGameEnabled"), UserToggle::Click);
    ToggleAsUser(Box("ckShipGameAnywhere"), UserToggle::Click);
    ui.Type("eShipGold", "5000");
    ui.Type("eShipBtnPresses", "9");
    ui.PickGroup(1);
    ToggleAsUser(Walk(), UserToggle::Click);
    if (way == std::string("Cancel"))
      ui.Press("btnCancel");
    else if (way == std::string("Esc"))
      QTest::keyClick(Walk(), Qt::Key_Escape);
    else
      dialog.close();
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(dialog.result(), QDialog::Rejected);
    EXPECT_EQ(image.Contents(), before);
  }
}

}  // namespace
}  // namespace brimwell
