// The battle dialog driven through its real widgets on the offscreen platform.

#include "patches/TdlgBattle.h"

#include <gtest/gtest.h>

#include <QAccessible>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QStackedWidget>
#include <QTest>

#include "BrimwellConst.h"
#include "PatchDialogTest.h"

namespace brimwell {
namespace {

using testing::MakeTestRom;
using testing::Slice;

constexpr std::size_t kWeaponEntry = 0x31332;
constexpr std::size_t kWeaponBlock = 0x32CF1;
constexpr std::size_t kPatchedSlot = 0x32D71;
constexpr std::size_t kPatchedBase = 0x32D78;
constexpr std::size_t kUnpatchedSlot = 0x32D7A;
constexpr std::size_t kUnpatchedBase = 0x32D81;
constexpr std::size_t kWeaponBonus = 0x32705;

const char* const kCheckBoxes[] = {"ckFixRun", "ckFixWeapon", "ckFixMonsterFight"};

class BattleDialogTest : public testing::PatchDialogTest<TdlgBattle> {
 protected:
  BattleDialogTest() : PatchDialogTest("lbBattleType") {}

  QCheckBox* Box(const char* name) { return Find<QCheckBox>(name); }
  QComboBox* HitPct() { return Find<QComboBox>("cbHitPct"); }
  // Moves the drop-down's selection with the arrow keys, as a keyboard user picks.
  void PickHitPct(int index) {
    QComboBox* list = HitPct();
    list->setFocus();
    QTest::keyClick(list, Qt::Key_Home);
    for (int i = 0; i < index; ++i) QTest::keyClick(list, Qt::Key_Down);
  }

  // Clicks the box's indicator: a check box spans the page, but only its indicator and caption
  // take clicks.
  static void Click(QCheckBox* box) {
    QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(box->height() / 2, box->height() / 2));
  }

  bool HasLabel(const QString& text) {
    for (QLabel* label : dialog.findChildren<QLabel*>())
      if (label->text() == text) return true;
    return false;
  }

  // Puts the weapon fix into the image with base hits 3 and two shifts.
  void ApplyWeaponFix() {
    image[kWeaponEntry] = 0xF2;
    std::ranges::copy(BrimwellConst::WeaponFixPatched, image.Bytes().begin() + kWeaponBlock);
    std::ranges::copy(std::vector<Byte>{0x4A, 0x4A, 0xEA, 0xEA, 0xEA},
                      image.Bytes().begin() + kPatchedSlot);
    image[kPatchedBase] = 3;
  }
};

TEST_F(BattleDialogTest, FirstShowingSelectsBugFixAndShowsTheUntouchedGame) {
  Show();
  EXPECT_EQ(dialog.windowTitle(), "Battle additions");
  QListWidget* list = GroupList();
  ASSERT_EQ(list->count(), 3);
  EXPECT_EQ(list->item(0)->text(), "Bug fix");
  EXPECT_EQ(list->item(1)->text(), "Hits");
  EXPECT_EQ(list->item(2)->text(), "Weapon Bonus");
  EXPECT_EQ(list->currentRow(), 0);
  EXPECT_EQ(VisiblePage(), "tsBugfix");
  PickGroup(1);
  EXPECT_EQ(VisiblePage(), "tsHits");
  PickGroup(2);
  EXPECT_EQ(VisiblePage(), "tsWeaponBonus");

  for (const char* box : kCheckBoxes) EXPECT_FALSE(Box(box)->isChecked()) << box;
  EXPECT_EQ(Find("eBaseHits")->text(), "1");
  EXPECT_EQ(HitPct()->currentText(), "32 % (FF1)");
  EXPECT_EQ(Find("eWeaponBonus")->text(), "4");
}

TEST_F(BattleDialogTest, EachShowingReadsTheFixesAndHitsAgain) {
  Show();
  Press("btnCancel");
  ApplyWeaponFix();
  image[0x323FF] = 0x82;
  image[kWeaponBonus] = 255;
  Show();
  EXPECT_TRUE(Box("ckFixRun")->isChecked());
  EXPECT_TRUE(Box("ckFixWeapon")->isChecked());
  EXPECT_FALSE(Box("ckFixMonsterFight")->isChecked());
  EXPECT_EQ(Find("eBaseHits")->text(), "3");
  EXPECT_EQ(HitPct()->currentText(), "4 % (8x)");
  EXPECT_EQ(Find("eWeaponBonus")->text(), "255");
}

TEST_F(BattleDialogTest, PagesCarryTheirCaptionsTextsAndHints) {
  Show();  // the widgets are built at the first showing
  const std::pair<const char*, const char*> captions[] = {
      {"ckFixRun", "Fix running ability."},
      {"ckFixWeapon", "Fix weapon data bugs (critical hit %, species, and element)"},
      {"ckFixMonsterFight", "Fix monster attack bugs"},
  };
  for (const auto& [box, caption] : captions) {
    EXPECT_EQ(Box(box)->text(), caption);
    EXPECT_EQ(Box(box)->toolTip(), "Check this box to fix this bug.");
  }
  EXPECT_EQ(Find("eBaseHits")->toolTip(), "The base number of hits inflicted in battle.");
  EXPECT_EQ(HitPct()->toolTip(), "Select the Hit % multiple for each extra hit.");
  EXPECT_EQ(Find("eWeaponBonus")->toolTip(),
            "The damage bonus given when weapon's species or element match monster's species or "
            "weakness.");
  for (const char* name : {"lbBattleType", "btnOK", "btnCancel"})
    EXPECT_TRUE(Find<QWidget>(name)->toolTip().isEmpty()) << name;

  for (const char* text :
       {"The calculation of ability to run from battle has a flaw that keeps it from working "
        "correctly.",
        "These pieces of data were not being used correctly or at all.",
        "Base number of hits:", "FF1 = 1", "Hit % needed for each extra hit:",
        "If the number of hits goes above 255, it will roll over to 0.  You may, therefore, want "
        "to consider the FAST and the BB/MA class bonuses.  Each will double the maximum number.",
        "Weapon Species/Element damage bonus:", "FF1 = 4",
        "If this number causes the base damage value to exceed 255, the base damage value will "
        "be limited to 255.  Note that this will not have any visible effect unless the weapon "
        "bug-fix has been applied!  (See the \"Bug fix\" page)"})
    EXPECT_TRUE(HasLabel(QString::fromLatin1(text))) << text;
}

TEST_F(BattleDialogTest, HitPctOffersItsSixEntriesAndNoFreeText) {
  Show();
  QComboBox* list = HitPct();
  EXPECT_FALSE(list->isEditable());
  const QStringList entries = {"32 % (FF1)", "16 % (2x)", "8 % (4x)",
                               "4 % (8x)",   "2 % (16x)", "1 % (32x)"};
  ASSERT_EQ(list->count(), entries.size());
  for (int i = 0; i < list->count(); ++i) EXPECT_EQ(list->itemText(i), entries[i]);

  list->setFocus();
  QTest::keyClicks(list, "77");
  EXPECT_EQ(list->count(), entries.size());
}

TEST_F(BattleDialogTest, EachHitPctPickWritesItsShifts) {
  const std::vector<Byte> shiftSlots[] = {
      {0x4A, 0x4A, 0x4A, 0x4A, 0x4A}, {0x4A, 0x4A, 0x4A, 0x4A, 0xEA},
      {0x4A, 0x4A, 0x4A, 0xEA, 0xEA}, {0x4A, 0x4A, 0xEA, 0xEA, 0xEA},
      {0x4A, 0xEA, 0xEA, 0xEA, 0xEA}, {0xEA, 0xEA, 0xEA, 0xEA, 0xEA},
  };
  for (int index = 0; index < 6; ++index) {
    Show();
    PickGroup(1);
    PickHitPct(index);
    Press("btnOK");
    EXPECT_EQ(Slice(image.Bytes(), kUnpatchedSlot, 5), shiftSlots[index]) << index;
  }
}

// Base hits "0" is rejected and keeps the base hits the image had, now in the patched layout;
// the accepted bonus 0 and the new fix are written in the same OK.
TEST_F(BattleDialogTest, OkWritesAcceptedFieldsAndKeepsRejectedBaseHits) {
  image[kUnpatchedBase] = 3;
  Show();
  Click(Box("ckFixWeapon"));
  PickGroup(1);
  Type("eBaseHits", "0");
  PickHitPct(3);
  PickGroup(2);
  Type("eWeaponBonus", "0");
  Press("btnOK");

  EXPECT_FALSE(dialog.isVisible());
  EXPECT_EQ(dialog.result(), QDialog::Accepted);
  std::vector<Byte> expected = MakeTestRom();
  expected[kWeaponEntry] = 0xF2;
  std::ranges::copy(BrimwellConst::WeaponFixPatched, expected.begin() + kWeaponBlock);
  std::ranges::copy(std::vector<Byte>{0x4A, 0x4A, 0xEA, 0xEA, 0xEA},
                    expected.begin() + kPatchedSlot);
  expected[kPatchedBase] = 3;
  expected[kWeaponBonus] = 0;
  EXPECT_EQ(image.Contents(), expected);
}

TEST_F(BattleDialogTest, RejectedTextsLeaveTheirBytesAsTheyWere) {
  const struct {
    const char* edit;
    std::size_t offset;
    const char* typed;
  } cases[] = {
      {"eBaseHits", kUnpatchedBase, "256"}, {"eBaseHits", kUnpatchedBase, ""},
      {"eBaseHits", kUnpatchedBase, "x"},   {"eWeaponBonus", kWeaponBonus, "256"},
      {"eWeaponBonus", kWeaponBonus, "-1"},
  };
  image[kUnpatchedBase] = 9;
  image[kWeaponBonus] = 7;
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.edit) + " " + c.typed);
    const std::vector<Byte> before = image.Contents();
    Show();
    Type(c.edit, c.typed);
    Press("btnOK");
    EXPECT_EQ(image.Contents(), before);
  }
}

TEST_F(BattleDialogTest, UncheckingTheWeaponFixMovesTheHitsBack) {
  ApplyWeaponFix();
  Show();
  Click(Box("ckFixWeapon"));
  Press("btnOK");
  EXPECT_EQ(image[kWeaponEntry], 0xEB);
  EXPECT_EQ(Slice(image.Bytes(), kUnpatchedSlot, 5),
            (std::vector<Byte>{0x4A, 0x4A, 0xEA, 0xEA, 0xEA}));
  EXPECT_EQ(image[kUnpatchedBase], 3);
  EXPECT_EQ(image[kWeaponBonus], 4);
}

TEST_F(BattleDialogTest, CancelEscOrCloseBoxAfterEditingEverythingWritesNothing) {
  for (int way = 0; way < 3; ++way) {
    SCOPED_TRACE(way);
    const std::vector<Byte> before = image.Contents();
    Show();
    for (const char* box : kCheckBoxes) Click(Box(box));
    PickGroup(1);
    Type("eBaseHits", "12");
    PickHitPct(4);
    PickGroup(2);
    Type("eWeaponBonus", "99");
    if (way == 0) Press("btnCancel");
    if (way == 1) QTest::keyClick(Find("eWeaponBonus"), Qt::Key_Escape);
    if (way == 2) dialog.close();
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(dialog.result(), QDialog::Rejected);
    EXPECT_EQ(image.Contents(), before);
  }
}

TEST_F(BattleDialogTest, ThreeDigitValuesShowWholeAndTypingStopsAtThree) {
  ApplyWeaponFix();
  image[kPatchedBase] = 255;
  image[kWeaponBonus] = 200;
  Show();
  EXPECT_EQ(Find("eBaseHits")->text(), "255");
  EXPECT_EQ(Find("eWeaponBonus")->text(), "200");
  for (const char* edit : {"eBaseHits", "eWeaponBonus"}) {
    Type(edit, "12345");
    EXPECT_EQ(Find(edit)->text(), "123") << edit;
  }
}

// A caption is the label of its field (on Linux, a drop-down's name is its current entry and its
// label comes through the labelled-by relation); the hint is the description.
TEST_F(BattleDialogTest, ScreenReadersNameEachFieldByItsCaption) {
  Show();
  const std::pair<const char*, const char*> captions[] = {
      {"eBaseHits", "Base number of hits:"},
      {"cbHitPct", "Hit % needed for each extra hit:"},
      {"eWeaponBonus", "Weapon Species/Element damage bonus:"},
  };
  for (const auto& [name, caption] : captions) {
    QWidget* field = Find<QWidget>(name);
    QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(field);
    ASSERT_NE(accessible, nullptr) << name;
    const auto labels = accessible->relations(QAccessible::Label);
    ASSERT_EQ(labels.size(), 1) << name;
    EXPECT_EQ(labels.front().first->text(QAccessible::Name), caption) << name;
    if (qobject_cast<QLineEdit*>(field)) {
      EXPECT_EQ(accessible->text(QAccessible::Name), caption) << name;
    }
    EXPECT_EQ(accessible->text(QAccessible::Description), field->toolTip()) << name;
  }
}

// Each fix is stored however its box was changed: a click, Space, or a screen reader's toggle.
TEST_F(BattleDialogTest, EveryWayOfTogglingABoxIsStored) {
  const std::pair<const char*, std::function<void(QCheckBox*)>> ways[] = {
      {"click", [](QCheckBox* box) { Click(box); }},
      {"Space",
       [](QCheckBox* box) {
         box->setFocus();
         QTest::keyClick(box, Qt::Key_Space);
       }},
      {"accessible toggle action",
       [](QCheckBox* box) {
         QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(box);
         ASSERT_NE(accessible->actionInterface(), nullptr);
         accessible->actionInterface()->doAction(QAccessibleActionInterface::toggleAction());
       }},
  };
  for (const auto& [way, toggle] : ways) {
    SCOPED_TRACE(way);
    rom.Open(MakeTestRom());
    Show();
    for (const char* box : kCheckBoxes) toggle(Box(box));
    Press("btnOK");
    EXPECT_EQ(image[0x323FF], 0x82);
    EXPECT_EQ(image[kWeaponEntry], 0xF2);
    EXPECT_EQ(image[0x325C6], 0x0E);

    Show();
    for (const char* box : kCheckBoxes) toggle(Box(box));
    Press("btnOK");
    EXPECT_EQ(image.Contents(), MakeTestRom());
  }
}

}  // namespace
}  // namespace brimwell
