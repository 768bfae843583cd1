// The limits dialog driven through its real widgets on the offscreen platform.

#include "patches/TdlgLimits.h"

#include <gtest/gtest.h>

#include <QAccessible>
#include <QApplication>
#include <QCheckBox>
#include <QFrame>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QStackedWidget>
#include <QTest>

#include "PatchDialogTest.h"

namespace brimwell {
namespace {

using testing::MakeTestRom;
using testing::Slice;

const char* const kEdits[] = {"eHPlimit", "eLimitFiTh", "eLimitOther", "eMaxMPInc", "eExpGold"};

class LimitsDialogTest : public testing::PatchDialogTest<TdlgLimits> {
 protected:
  LimitsDialogTest() : PatchDialogTest("lbLimitType") {}
};

TEST_F(LimitsDialogTest, FirstShowingSelectsMaxHPAndFillsEveryField) {
  image[0x2DCAA] = 12;
  image[0x2DCA6] = 0;
  image[0x2DC91] = 255;
  Show();

  EXPECT_EQ(dialog.windowTitle(), "Game Parameter Limits");
  QListWidget* list = GroupList();
  ASSERT_EQ(list->count(), 3);
  EXPECT_EQ(list->item(0)->text(), "Max. HP");
  EXPECT_EQ(list->item(1)->text(), "Max. MP");
  EXPECT_EQ(list->item(2)->text(), "Exp and Gold");
  EXPECT_EQ(list->currentRow(), 0);
  EXPECT_EQ(VisiblePage(), "tsMaxHP");

  EXPECT_EQ(Find("eHPlimit")->text(), "999");
  EXPECT_TRUE(Find<QCheckBox>("ckLimitMP")->isChecked());
  EXPECT_TRUE(Find<QFrame>("panLimits")->isEnabled());
  EXPECT_EQ(Find("eLimitFiTh")->text(), "12");
  EXPECT_EQ(Find("eLimitOther")->text(), "0");
  EXPECT_EQ(Find("eMaxMPInc")->text(), "255");
  EXPECT_EQ(Find("eExpGold")->text(), "999999");
}

TEST_F(LimitsDialogTest, SelectionIsKeptAcrossShowingsWhileValuesComeFreshFromTheImage) {
  Show();
  PickGroup(2);
  EXPECT_EQ(VisiblePage(), "tsExpGold");
  Type("eExpGold", "12345");
  QTest::keyClick(&dialog, Qt::Key_Escape);
  EXPECT_FALSE(dialog.isVisible());
  EXPECT_EQ(dialog.result(), QDialog::Rejected);

  image[0x2D9B3] = 0x41;  // another editor changed the image meanwhile
  Show();
  EXPECT_EQ(GroupList()->currentRow(), 2);
  EXPECT_EQ(VisiblePage(), "tsExpGold");
  EXPECT_EQ(Find("eExpGold")->text(), "1000000");
}

TEST_F(LimitsDialogTest, KeyboardPicksInTheListShowTheirPage) {
  Show();
  GroupList()->setFocus();
  QTest::keyClick(GroupList(), Qt::Key_Down);
  EXPECT_EQ(VisiblePage(), "tsMaxMP");
  QTest::keyClick(GroupList(), Qt::Key_End);
  EXPECT_EQ(VisiblePage(), "tsExpGold");
}

TEST_F(LimitsDialogTest, OkWritesAcceptedFieldsAndSilentlySkipsRejectedOnes) {
  Show();
  Type("eHPlimit", "98");
  Type("eMaxMPInc", "$10");
  const std::vector<Byte> before = image.Contents();
  Press("btnOK");

  EXPECT_FALSE(dialog.isVisible());
  EXPECT_EQ(dialog.result(), QDialog::Accepted);
  EXPECT_EQ(Slice(image.Bytes(), 0x2D9B6, 2), Slice(before, 0x2D9B6, 2));
  EXPECT_EQ(image[0x2DC91], 0x10);
}

TEST_F(LimitsDialogTest, OkWithEveryFieldRejectedStillClosesWithOk) {
  Show();
  for (const char* edit : kEdits) Type(edit, "x");
  const std::vector<Byte> before = image.Contents();
  Press("btnOK");
  EXPECT_EQ(dialog.result(), QDialog::Accepted);
  EXPECT_EQ(image.Contents(), before);  // the MP switch is rewritten with the byte it already held
}

TEST_F(LimitsDialogTest, CancelOrCloseBoxAfterTypingEverywhereWritesNothing) {
  for (bool closeBox : {false, true}) {
    SCOPED_TRACE(closeBox ? "close box" : "Cancel");
    const std::vector<Byte> before = image.Contents();
    Show();
    Type("eHPlimit", "5000");
    Type("eLimitFiTh", "1");
    Type("eLimitOther", "2");
    Type("eMaxMPInc", "3");
    Type("eExpGold", "50000");
    PickGroup(1);
    QTest::mouseClick(Find<QCheckBox>("ckLimitMP"), Qt::LeftButton);
    if (closeBox)
      dialog.close();
    else
      Press("btnCancel");
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(dialog.result(), QDialog::Rejected);
    EXPECT_EQ(image.Contents(), before);
  }
}

TEST_F(LimitsDialogTest, PanelFollowsTheCheckBoxAndHiddenLimitsAreStillStored) {
  image[0x2DCB7] = 0x00;  // neither opcode: reads as unlimited
  Show();
  auto* limitMP = Find<QCheckBox>("ckLimitMP");
  auto* panel = Find<QFrame>("panLimits");
  EXPECT_FALSE(limitMP->isChecked());
  EXPECT_FALSE(panel->isEnabled());

  PickGroup(1);
  QTest::mouseClick(limitMP, Qt::LeftButton);
  EXPECT_TRUE(panel->isEnabled());
  Type("eLimitFiTh", "40");
  QTest::mouseClick(limitMP, Qt::LeftButton);
  EXPECT_FALSE(panel->isEnabled());
  EXPECT_EQ(Find("eLimitFiTh")->text(), "40");

  Press("btnOK");
  EXPECT_EQ(image[0x2DCB7], 0xB1);
  EXPECT_EQ(image[0x2DCAA], 40);
}

TEST_F(LimitsDialogTest, LongerLoadedValueShowsWholeAndTheMaximumLengthOnlyStopsTyping) {
  image[0x2D9B3] = image[0x2D9B4] = image[0x2D9B5] = 0xFF;
  Show();
  QLineEdit* expGold = Find("eExpGold");
  EXPECT_EQ(expGold->text(), "16777214");  // eight characters in a seven-character field

  expGold->setFocus();
  expGold->end(false);
  QTest::keyClick(expGold, Qt::Key_5);
  EXPECT_EQ(expGold->text(), "16777214");
  QTest::keyClick(expGold, Qt::Key_Backspace);
  EXPECT_EQ(expGold->text(), "1677721");
  QTest::keyClick(expGold, Qt::Key_9);
  EXPECT_EQ(expGold->text(), "1677721");

  Press("btnOK");
  EXPECT_EQ(Slice(image.Bytes(), 0x2D9B3, 3), (std::vector<Byte>{0x9A, 0x99, 0x19}));  // 1677722
}

TEST_F(LimitsDialogTest, WholeOverlongTextIsJudgedOnOk) {
  image[0x2D9B3] = image[0x2D9B4] = image[0x2D9B5] = 0xFF;
  Show();
  Press("btnOK");
  EXPECT_EQ(Slice(image.Bytes(), 0x2D9B3, 3), (std::vector<Byte>{0xFF, 0xFF, 0xFF}));
}

TEST_F(LimitsDialogTest, TypingStopsAtEachFieldsMaximumLength) {
  Show();
  const std::pair<const char*, int> limits[] = {
      {"eHPlimit", 5}, {"eLimitFiTh", 3}, {"eLimitOther", 3}, {"eMaxMPInc", 3}, {"eExpGold", 7}};
  for (const auto& [edit, maxLength] : limits) {
    Type(edit, "1234567890");
    EXPECT_EQ(Find(edit)->text(), QString("1234567890").left(maxLength)) << edit;
  }
}

TEST_F(LimitsDialogTest, EnterInAFieldKeepsTheDialogOpenButPressesAFocusedButton) {
  Show();
  Type("eHPlimit", "2000");
  QTest::keyClick(Find("eHPlimit"), Qt::Key_Return);
  EXPECT_TRUE(dialog.isVisible());
  EXPECT_EQ(Slice(image.Bytes(), 0x2D9B6, 2), (std::vector<Byte>{0xE8, 0x03}));

  auto* ok = Find<QPushButton>("btnOK");
  EXPECT_FALSE(ok->isDefault());
  EXPECT_FALSE(Find<QPushButton>("btnCancel")->isDefault());
  ok->setFocus();
  QTest::keyClick(ok, Qt::Key_Return);
  EXPECT_FALSE(dialog.isVisible());
  EXPECT_EQ(dialog.result(), QDialog::Accepted);
  EXPECT_EQ(Slice(image.Bytes(), 0x2D9B6, 2), (std::vector<Byte>{0xD1, 0x07}));
}

TEST_F(LimitsDialogTest, EnterOnAFocusedCancelCancels) {
  Show();
  Type("eHPlimit", "2000");
  auto* cancel = Find<QPushButton>("btnCancel");
  cancel->setFocus();
  QTest::keyClick(cancel, Qt::Key_Enter, Qt::KeypadModifier);
  EXPECT_FALSE(dialog.isVisible());
  EXPECT_EQ(dialog.result(), QDialog::Rejected);
  EXPECT_EQ(Slice(image.Bytes(), 0x2D9B6, 2), (std::vector<Byte>{0xE8, 0x03}));
}

TEST_F(LimitsDialogTest, CtrlClickOrCtrlSpaceCannotLeaveTheListWithoutASelection) {
  Show();
  QListWidget* list = GroupList();
  list->setFocus();
  QTest::keyClick(list, Qt::Key_Down);
  const auto selectedRows = [list] {
    std::vector<int> rows;
    for (QListWidgetItem* item : list->selectedItems()) rows.push_back(list->row(item));
    return rows;
  };

  const QRect entry = list->visualItemRect(list->item(1));
  QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::ControlModifier, entry.center());
  EXPECT_EQ(selectedRows(), std::vector<int>{1});
  QTest::keyClick(list, Qt::Key_Space, Qt::ControlModifier);
  EXPECT_EQ(selectedRows(), std::vector<int>{1});
  EXPECT_EQ(VisiblePage(), "tsMaxMP");
}

// Paste goes through QLineEdit::insert, as it does here.
TEST_F(LimitsDialogTest, PastedTextIsCutToTheRoomLeftInTheField) {
  Show();
  QLineEdit* hp = Find("eHPlimit");
  const struct {
    const char* shown;
    int selectFrom, selectLength;
    const char* pasted;
    const char* expected;
  } cases[] = {
      {"", 0, 0, "1234567", "12345"},
      {"12", 1, 0, "98765", "19872"},     // into the middle: the tail is kept
      {"999", 0, 3, "8888888", "88888"},  // over a selection
      {"12345", 5, 0, "6", "12345"},      // no room at all
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.pasted);
    Type("eHPlimit", c.shown);
    hp->setSelection(c.selectFrom, c.selectLength);
    if (c.selectLength == 0) hp->setCursorPosition(c.selectFrom);
    hp->insert(QString::fromLatin1(c.pasted));
    EXPECT_EQ(hp->text(), c.expected);
  }

  image[0x2D9B3] = image[0x2D9B4] = image[0x2D9B5] = 0xFF;
  Show();
  QLineEdit* expGold = Find("eExpGold");
  expGold->selectAll();
  expGold->insert(QStringLiteral("1234567890"));
  EXPECT_EQ(expGold->text(), "1234567");
}

TEST_F(LimitsDialogTest, RejectedTextsLeaveTheirBytesAsTheyWere) {
  struct Case {
    const char* edit;
    std::size_t offset, length;
    const char* typed;
  };
  const Case cases[] = {
      {"eHPlimit", 0x2D9B6, 2, "98"}, {"eHPlimit", 0x2D9B6, 2, "10000"},
      {"eHPlimit", 0x2D9B6, 2, ""},   {"eExpGold", 0x2D9B3, 3, "9998"},
      {"eMaxMPInc", 0x2DC91, 1, "0"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.edit) + " " + c.typed);
    const std::vector<Byte> before = Slice(image.Bytes(), c.offset, c.length);
    Show();
    Type(c.edit, c.typed);
    EXPECT_EQ(Find(c.edit)->text(), c.typed);
    Press("btnOK");
    EXPECT_EQ(Slice(image.Bytes(), c.offset, c.length), before);
  }
}

TEST_F(LimitsDialogTest, ZeroTablesShowMinusOneWhichOkLeavesAlone) {
  for (std::size_t offset : {0x2D9B3, 0x2D9B4, 0x2D9B5, 0x2D9B6, 0x2D9B7}) image[offset] = 0;
  const std::vector<Byte> before = image.Contents();
  Show();
  EXPECT_EQ(Find("eHPlimit")->text(), "-1");
  EXPECT_EQ(Find("eExpGold")->text(), "-1");
  Press("btnOK");
  EXPECT_EQ(image.Contents(), before);
}

TEST_F(LimitsDialogTest, EscAfterTypingEverywhereWritesNothing) {
  const std::vector<Byte> before = image.Contents();
  Show();
  for (const char* edit : kEdits) Type(edit, "42");
  QTest::keyClick(Find("eExpGold"), Qt::Key_Escape);
  EXPECT_FALSE(dialog.isVisible());
  EXPECT_EQ(image.Contents(), before);
}

TEST_F(LimitsDialogTest, FieldsCarryTheirHintsAndTheFrameCarriesNone) {
  Show();  // the widgets are built at the first showing
  const std::pair<const char*, const char*> hints[] = {
      {"eHPlimit", "Maximum HP allowed."},
      {"ckLimitMP", "Choose whether or not to limit Maximum MP"},
      {"eLimitFiTh", "Limit value +1 for Fighter/Thief Spell Points"},
      {"eLimitOther", "Limit value +1 for other class' Spell Points"},
      {"eMaxMPInc",
       "The amount that the Maximum MP will increase at level-up for each appropriate spell "
       "level."},
      {"eExpGold", "Maximum amount of Exp. and Gold."},
  };
  for (const auto& [name, hint] : hints) EXPECT_EQ(Find<QWidget>(name)->toolTip(), hint) << name;
  for (const char* name : {"lbLimitType", "btnOK", "btnCancel"})
    EXPECT_TRUE(Find<QWidget>(name)->toolTip().isEmpty()) << name;
  EXPECT_EQ(Find<QPushButton>("btnOK")->text(), "&OK");
  EXPECT_EQ(Find<QPushButton>("btnCancel")->text(), "&Cancel");
}

TEST_F(LimitsDialogTest, ScreenReadersNameEachFieldByItsCaption) {
  Show();
  const std::pair<const char*, const char*> names[] = {
      {"eHPlimit", "Maximum HP limit"},
      {"eLimitFiTh", "Fighter/Thief"},
      {"eLimitOther", "Others"},
      {"eMaxMPInc", "Max MP Increase"},
      {"eExpGold", "Maximum Exp. and Gold"},
  };
  for (const auto& [edit, caption] : names) {
    QAccessibleInterface* field = QAccessible::queryAccessibleInterface(Find(edit));
    ASSERT_NE(field, nullptr) << edit;
    EXPECT_EQ(field->text(QAccessible::Name), caption) << edit;
    EXPECT_EQ(field->text(QAccessible::Description), Find(edit)->toolTip()) << edit;
  }
}

// However the box changes (a click, Space, a screen reader's toggle action), the panel follows.
TEST_F(LimitsDialogTest, PanelFollowsEveryWayOfTogglingTheCheckBox) {
  Show();
  PickGroup(1);
  auto* limitMP = Find<QCheckBox>("ckLimitMP");
  auto* panel = Find<QFrame>("panLimits");
  const std::pair<const char*, std::function<void()>> ways[] = {
      {"toggle()", [&] { limitMP->toggle(); }},
      {"Space",
       [&] {
         limitMP->setFocus();
         QTest::keyClick(limitMP, Qt::Key_Space);
       }},
      {"accessible toggle action",
       [&] {
         QAccessibleInterface* box = QAccessible::queryAccessibleInterface(limitMP);
         ASSERT_NE(box->actionInterface(), nullptr);
         box->actionInterface()->doAction(QAccessibleActionInterface::toggleAction());
       }},
  };
  for (const auto& [way, toggle] : ways) {
    for (bool checked : {false, true}) {
      SCOPED_TRACE(way);
      toggle();
      ASSERT_EQ(limitMP->isChecked(), checked);
      EXPECT_EQ(panel->isEnabled(), checked);
    }
  }
}

TEST_F(LimitsDialogTest, AltMnemonicsPressOkAndCancel) {
  for (const auto& [key, result] :
       {std::pair{Qt::Key_O, QDialog::Accepted}, std::pair{Qt::Key_C, QDialog::Rejected}}) {
    Show();
    dialog.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
    Type("eMaxMPInc", "77");
    QTest::keyClick(Find("eMaxMPInc"), key, Qt::AltModifier);
    // A mnemonic presses its button as a click does: visibly, a moment later.
    EXPECT_TRUE(QTest::qWaitFor([&] { return !dialog.isVisible(); }));
    EXPECT_EQ(dialog.result(), result);
    EXPECT_EQ(image[0x2DC91], 77);  // Cancel after OK keeps what OK wrote
  }
}

// A typed character that equals the one after the cursor is an insertion all the same.
TEST_F(LimitsDialogTest, TypingIntoTheMiddleOfAFullFieldIsRefused) {
  Show();
  QLineEdit* increase = Find("eMaxMPInc");
  const struct {
    const char* shown;
    int cursor;
    Qt::Key key;
  } cases[] = {{"100", 0, Qt::Key_1}, {"100", 1, Qt::Key_0}, {"123", 2, Qt::Key_3}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.shown);
    Type("eMaxMPInc", c.shown);
    increase->setCursorPosition(c.cursor);
    QTest::keyClick(increase, c.key);
    EXPECT_EQ(increase->text(), c.shown);
  }
}

}  // namespace
}  // namespace brimwell
