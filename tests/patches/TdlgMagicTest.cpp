// The magic dialog driven through its real widgets on the offscreen platform, editing a ROM
// that a document opened from disk, as the main window hands it over.

#include "patches/TdlgMagic.h"

#include <gtest/gtest.h>

#include <QAccessible>
#include <QApplication>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include "PatchDialogDriver.h"
#include "RecordingPlatform.h"
#include "TestRom.h"
#include "rom/RomDocument.h"

namespace brimwell {
namespace {

using testing::MakeTestRom;
using testing::RecordingPlatform;
using testing::ScratchFolder;
using testing::Slice;
using testing::ToggleAsUser;
using testing::UserToggle;

const char* const kFamilyBoxes[] = {"ckTypeUnknown", "ckTypeDragon", "ckTypeGiant", "ckTypeUndead",
                                    "ckTypeWere",    "ckTypeWater",  "ckTypeMage",  "ckTypeRegen"};

const std::vector<Byte> kFixApplied = {0x46, 0xF0, 0x17, 0xEA};
const std::vector<Byte> kHalfBonus = {0x4E, 0x59, 0x68, 0x6E, 0x58, 0x68, 0x20, 0x7B, 0xAE};
const std::vector<Byte> kFullBonus = {0xEA, 0xEA, 0xEA, 0xEA, 0xEA, 0xEA, 0x20, 0x7B, 0xAE};

class MagicDialogTest : public ::testing::Test, public testing::PatchDialogDriver {
 protected:
  MagicDialogTest()
      : PatchDialogDriver(dialog, "lbMagicType"), document(platform), dialog(document) {
    Open(MakeTestRom());
  }

  // Opens the bytes from a file, as the main window does, and hands the image to the dialog.
  void Open(const std::vector<Byte>& bytes) {
    document.SetRomPath(folder.Write("game.nes", bytes));
    ASSERT_EQ(document.Open(), OpenOutcome::Opened);
  }

  std::vector<Byte> Image() const { return document.Image().Contents(); }
  Byte& At(std::size_t offset) { return document.Image()[offset]; }

  // 0x33833, then 0x33A5E..0x33A60.
  std::vector<Byte> FixBytes() const {
    std::vector<Byte> bytes = {Image()[0x33833]};
    for (Byte b : Slice(Image(), 0x33A5E, 3)) bytes.push_back(b);
    return bytes;
  }
  // 0x338D9..0x338DE, then 0x338E5..0x338E7.
  std::vector<Byte> BonusBytes() const {
    std::vector<Byte> bytes = Slice(Image(), 0x338D9, 6);
    for (Byte b : Slice(Image(), 0x338E5, 3)) bytes.push_back(b);
    return bytes;
  }

  QList<QRadioButton*> WeakBonusEntries() {
    return Find<QGroupBox>("rgWeakBonus")->findChildren<QRadioButton*>();
  }
  int CheckedWeakBonus() {
    const auto entries = WeakBonusEntries();
    for (int i = 0; i < entries.size(); ++i)
      if (entries[i]->isChecked()) return i;
    return -1;
  }
  std::vector<bool> FamilyChecks() {
    std::vector<bool> checks;
    for (const char* box : kFamilyBoxes) checks.push_back(Find<QCheckBox>(box)->isChecked());
    return checks;
  }

  void Click(QAbstractButton* button) { ToggleAsUser(button, UserToggle::Click); }

  ScratchFolder folder;
  RecordingPlatform platform;
  RomDocument document;
  TdlgMagic dialog;
};

TEST_F(MagicDialogTest, FirstShowingSelectsBugfixAndFillsEveryPage) {
  At(0x33922) = 0x08;
  Show();

  EXPECT_EQ(dialog.windowTitle(), "Magic additions");
  QListWidget* list = GroupList();
  const QStringList entries = {"Bug-fix", "\"# of hits up\"", "\"Damage undead\"", "Magic Damage",
                               "\"Neg. Effect 2\""};
  ASSERT_EQ(list->count(), entries.size());
  for (int row = 0; row < list->count(); ++row) EXPECT_EQ(list->item(row)->text(), entries[row]);
  EXPECT_EQ(list->currentRow(), 0);
  EXPECT_EQ(VisiblePage(), "tsBugfix");

  EXPECT_FALSE(Find<QCheckBox>("ckFixLOCK")->isChecked());
  EXPECT_EQ(Find("eHitMultiplier")->text(), "2");
  EXPECT_EQ(FamilyChecks(),
            (std::vector<bool>{false, false, false, true, false, false, false, false}));
  EXPECT_EQ(CheckedWeakBonus(), 1);
  EXPECT_EQ(Find("eNeg2HPLimit")->text(), "300");
}

TEST_F(MagicDialogTest, EachEntryShowsItsPage) {
  Show();
  const char* pages[] = {"tsBugfix", "tsFAST", "tsDamageFamily", "tsMagicDMG", "TabSheet1"};
  for (int row : {4, 2, 0, 3, 1}) {
    PickGroup(row);
    EXPECT_EQ(VisiblePage(), pages[row]);
  }
}

TEST_F(MagicDialogTest, PagesCarryTheirCaptionsAndTexts) {
  Show();  // the widgets are built at the first showing
  const std::pair<const char*, QStringList> pages[] = {
      {"tsBugfix",
       {"The \"Evade Down\" spell effect-type is broken in the original game.  If this box "
        "isn't checked, then that magic type won't work.",
        "To fix LOK2, the effect type should be changed to \"evade down\" and this fix should be "
        "applied."}},
      {"tsFAST",
       {"Multiplier limit",
        "This value is originally 2, for a 2x hit limit.  If increased, then spells using this "
        "magic type can be cast more than once (they become stackable).  Each time the spell is "
        "cast on a character, the multiplier will increase."}},
      {"tsDamageFamily", {"Select monster types to be affected by \"HARM\" type spells."}},
      {"tsMagicDMG",
       {"Damage range: no different", "Damage range: 1.5x normal", "Damage range: 2x normal",
        "Damage range: 3x normal"}},
      {"TabSheet1",
       {"HP Limit", "(FF1 = 300; Range is 1...999)",
        "If the target has this amount of HP or more, then these types of spells will always "
        "fail.  Below this, the spell should always work, unless the target is resistant to the "
        "spell's element."}},
  };
  for (const auto& [page, texts] : pages) {
    QStringList shown;
    for (QLabel* label : Find<QWidget>(page)->findChildren<QLabel*>()) shown << label->text();
    EXPECT_EQ(shown, texts) << page;
  }

  EXPECT_EQ(Find<QCheckBox>("ckFixLOCK")->text(), "Fix \"Evade Down\" (used by LOCK)");
  const char* families[] = {"Unknown", "Dragon", "Giant", "Undead",
                            "Were",    "Water",  "Mage",  "Regenerative"};
  for (int bit = 0; bit < 8; ++bit)
    EXPECT_EQ(Find<QCheckBox>(kFamilyBoxes[bit])->text(), families[bit]);
  EXPECT_EQ(Find<QGroupBox>("rgWeakBonus")->title(), "Elemental weakness damage BONUS:");
  QStringList radioTexts;
  for (QRadioButton* entry : WeakBonusEntries()) radioTexts << entry->text();
  EXPECT_EQ(radioTexts, (QStringList{"No bonus", "1/2 Effectivity (FF1)", "Full Effectivity",
                                     "Double Effectivity"}));
  EXPECT_EQ(Find<QPushButton>("btnOK")->text(), "&OK");
  EXPECT_EQ(Find<QPushButton>("btnCancel")->text(), "&Cancel");
}

TEST_F(MagicDialogTest, OnlyTheFixAndTheHPLimitHaveHints) {
  Show();  // the widgets are built at the first showing
  EXPECT_EQ(Find<QWidget>("ckFixLOCK")->toolTip(),
            "Check this box to fix this type of magic spell.");
  EXPECT_EQ(Find<QWidget>("eNeg2HPLimit")->toolTip(),
            "HP limit at which this type of magic won't work.");
  std::vector<QWidget*> silent = {Find<QWidget>("eHitMultiplier"), Find<QWidget>("rgWeakBonus"),
                                  GroupList(), Find<QWidget>("btnOK"), Find<QWidget>("btnCancel")};
  for (const char* box : kFamilyBoxes) silent.push_back(Find<QWidget>(box));
  for (QRadioButton* entry : WeakBonusEntries()) silent.push_back(entry);
  for (QWidget* widget : silent)
    EXPECT_TRUE(widget->toolTip().isNull()) << widget->objectName().toStdString();
}

TEST_F(MagicDialogTest, ScreenReadersNameTheFieldsAndReadTheDamageRanges) {
  Show();
  const std::pair<const char*, const char*> names[] = {{"eHitMultiplier", "Multiplier limit"},
                                                       {"eNeg2HPLimit", "HP Limit"}};
  for (const auto& [edit, caption] : names) {
    QAccessibleInterface* field = QAccessible::queryAccessibleInterface(Find(edit));
    ASSERT_NE(field, nullptr) << edit;
    EXPECT_EQ(field->text(QAccessible::Name), caption) << edit;
    EXPECT_EQ(field->text(QAccessible::Description), Find(edit)->toolTip()) << edit;
  }
  QAccessibleInterface* full = QAccessible::queryAccessibleInterface(WeakBonusEntries()[2]);
  EXPECT_EQ(full->text(QAccessible::Name), "Full Effectivity");
  EXPECT_EQ(full->text(QAccessible::Description), "Damage range: 2x normal");
}

TEST_F(MagicDialogTest, FamilyBoxesFollowTheByteAndGiveItBack) {
  const std::pair<Byte, std::vector<bool>> cases[] = {
      {0x00, std::vector<bool>(8, false)},
      {0xFF, std::vector<bool>(8, true)},
      {0xA5, {true, false, true, false, false, true, false, true}},
  };
  for (const auto& [byte, checks] : cases) {
    SCOPED_TRACE(int(byte));
    At(0x33922) = Byte(~byte);
    Show();
    PickGroup(2);
    // Click the boxes that differ from the wanted pattern.
    for (int bit = 0; bit < 8; ++bit) {
      auto* box = Find<QCheckBox>(kFamilyBoxes[bit]);
      if (box->isChecked() != checks[bit]) Click(box);
    }
    EXPECT_EQ(FamilyChecks(), checks);
    Press("btnOK");
    EXPECT_EQ(Image()[0x33922], byte);

    Show();
    EXPECT_EQ(FamilyChecks(), checks);
    Press("btnCancel");
  }
}

TEST_F(MagicDialogTest, TabRunsDownTheLeftColumnOfFamiliesThenDownTheRight) {
  Show();
  PickGroup(2);
  dialog.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
  Find<QCheckBox>(kFamilyBoxes[0])->setFocus();
  for (int bit = 1; bit < 8; ++bit) {
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget()->objectName(), kFamilyBoxes[bit]);
  }
}

struct BonusCase {
  std::vector<Byte> call;  // at 0x338E5
  Byte first;              // at 0x338D9
  int entry;
};

TEST_F(MagicDialogTest, TheWeakBonusEntryComesFromTheCallThenTheFirstByte) {
  const std::vector<Byte> call = {0x20, 0x7B, 0xAE};
  const BonusCase cases[] = {
      {{0xEA, 0xEA, 0xEA}, 0x0E, 0},
      {call, 0x4E, 1},
      {call, 0xEA, 2},
      {call, 0x0E, 3},
      {call, 0x33, 1},
      {{0x20, 0x00, 0xAE}, 0x4E, 0},
  };
  for (const BonusCase& c : cases) {
    SCOPED_TRACE(::testing::Message() << int(c.call[1]) << " " << int(c.first));
    std::copy(c.call.begin(), c.call.end(), document.Image().Bytes().begin() + 0x338E5);
    At(0x338D9) = c.first;
    Show();
    EXPECT_EQ(CheckedWeakBonus(), c.entry);
    Press("btnCancel");
  }
}

TEST_F(MagicDialogTest, PickedWeakBonusEntriesWriteTheirSequences) {
  At(0x338D9) = 0x33;  // foreign code, shown as the original halving
  Show();
  PickGroup(3);
  Press("btnOK");
  EXPECT_EQ(BonusBytes(), kHalfBonus);

  const std::pair<int, std::vector<Byte>> picks[] = {
      {0, std::vector<Byte>(9, 0xEA)},
      {2, kFullBonus},  // the call comes back
      {3, {0x0E, 0x58, 0x68, 0x2E, 0x59, 0x68, 0x20, 0x7B, 0xAE}},
      {1, kHalfBonus},
  };
  for (const auto& [entry, bytes] : picks) {
    Show();
    Click(WeakBonusEntries()[entry]);
    EXPECT_EQ(CheckedWeakBonus(), entry);
    Press("btnOK");
    EXPECT_EQ(BonusBytes(), bytes);
  }
}

// A click, Space, arrow keys and a screen reader's toggle action all end in the same store.
TEST_F(MagicDialogTest, BoxesAndEntriesWorkByMouseKeyboardAndAccessibility) {
  const auto accessibleToggle = [](QWidget* button) {
    QAccessibleInterface* control = QAccessible::queryAccessibleInterface(button);
    ASSERT_NE(control->actionInterface(), nullptr);
    control->actionInterface()->doAction(QAccessibleActionInterface::toggleAction());
  };
  const auto space = [](QWidget* button) {
    button->setFocus();
    QTest::keyClick(button, Qt::Key_Space);
  };
  const std::pair<const char*, std::function<void(QWidget*)>> ways[] = {
      {"click", [this](QWidget* button) { Click(qobject_cast<QAbstractButton*>(button)); }},
      {"Space", space},
      {"accessible toggle", accessibleToggle},
  };
  for (const auto& [way, operate] : ways) {
    SCOPED_TRACE(way);
    Open(MakeTestRom());
    Show();
    dialog.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
    PickGroup(0);
    operate(Find<QCheckBox>("ckFixLOCK"));
    PickGroup(2);
    operate(Find<QCheckBox>("ckTypeMage"));
    PickGroup(3);
    operate(WeakBonusEntries()[2]);
    Press("btnOK");
    EXPECT_EQ(FixBytes(), kFixApplied);
    EXPECT_EQ(Image()[0x33922], MakeTestRom()[0x33922] ^ 0x40);
    EXPECT_EQ(BonusBytes(), kFullBonus);
  }
}

TEST_F(MagicDialogTest, ArrowKeysMoveTheWeakBonusChoice) {
  Show();
  dialog.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
  PickGroup(3);
  QRadioButton* half = WeakBonusEntries()[1];
  half->setFocus();
  QTest::keyClick(half, Qt::Key_Down);
  EXPECT_EQ(CheckedWeakBonus(), 2);
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Up);
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Up);
  EXPECT_EQ(CheckedWeakBonus(), 0);
  Press("btnOK");
  EXPECT_EQ(BonusBytes(), std::vector<Byte>(9, 0xEA));
}

TEST_F(MagicDialogTest, RemovingTheFixRestoresTheByteTheFileHeldWhenOpened) {
  At(0x33833) = 0x00;  // edits since the open do not change what removal restores
  const Byte atOpen = document.LockByteAtOpen();
  ASSERT_NE(atOpen, 0x46);
  Show();
  Click(Find<QCheckBox>("ckFixLOCK"));
  Press("btnOK");
  EXPECT_EQ(FixBytes(), kFixApplied);

  Show();
  EXPECT_TRUE(Find<QCheckBox>("ckFixLOCK")->isChecked());
  Click(Find<QCheckBox>("ckFixLOCK"));
  Press("btnOK");
  EXPECT_EQ(FixBytes(), (std::vector<Byte>{atOpen, 0x4C, 0x67, 0xBA}));
}

TEST_F(MagicDialogTest, AFileOpenedWithTheFixKeepsItsLockByteWhenTheFixIsRemoved) {
  std::vector<Byte> fixed = MakeTestRom();
  std::copy(kFixApplied.begin(), kFixApplied.begin() + 1, fixed.begin() + 0x33833);
  std::copy(kFixApplied.begin() + 1, kFixApplied.end(), fixed.begin() + 0x33A5E);
  Open(fixed);
  Show();
  ASSERT_TRUE(Find<QCheckBox>("ckFixLOCK")->isChecked());
  Click(Find<QCheckBox>("ckFixLOCK"));
  Press("btnOK");
  EXPECT_EQ(FixBytes(), (std::vector<Byte>{0x46, 0x4C, 0x67, 0xBA}));
  Show();
  EXPECT_FALSE(Find<QCheckBox>("ckFixLOCK")->isChecked());
}

struct TypedCase {
  const char* edit;
  const char* typed;
  std::vector<Byte> stored;  // at the two offsets; empty: rejected, both bytes stay
};

TEST_F(MagicDialogTest, TypedLimitsAreWrittenOrSilentlySkipped) {
  const std::pair<std::size_t, std::size_t> hitBytes = {0x33A2A, 0x33A33};
  const std::pair<std::size_t, std::size_t> hpBytes = {0x33AF0, 0x33AF5};
  const TypedCase cases[] = {
      {"eHitMultiplier", "2", {0x03, 0x02}},
      {"eHitMultiplier", "254", {0xFF, 0xFE}},
      {"eHitMultiplier", "255", {}},
      {"eHitMultiplier", "1", {}},
      {"eHitMultiplier", "0", {}},
      {"eHitMultiplier", "-1", {}},
      {"eHitMultiplier", "", {}},
      {"eNeg2HPLimit", "300", {0x2C, 0x01}},
      {"eNeg2HPLimit", "999", {0xE7, 0x03}},
      {"eNeg2HPLimit", "1", {0x01, 0x00}},
      {"eNeg2HPLimit", "0", {}},
      {"eNeg2HPLimit", "$FF", {0xFF, 0x00}},
  };
  for (const TypedCase& c : cases) {
    SCOPED_TRACE(std::string(c.edit) + " '" + c.typed + "'");
    const bool hit = std::string_view(c.edit) == "eHitMultiplier";
    const auto [low, high] = hit ? hitBytes : hpBytes;
    At(low) = 0x12;
    At(high) = 0x34;
    Show();
    Type(c.edit, c.typed);
    Type(hit ? "eNeg2HPLimit" : "eHitMultiplier", "77");  // the rest of the OK goes on
    Press("btnOK");
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    const std::vector<Byte> expected = c.stored.empty() ? std::vector<Byte>{0x12, 0x34} : c.stored;
    EXPECT_EQ((std::vector<Byte>{Image()[low], Image()[high]}), expected);
    EXPECT_EQ(hit ? Image()[0x33AF0] : Image()[0x33A33], 77);
  }
  EXPECT_TRUE(platform.events.empty());
}

TEST_F(MagicDialogTest, OutOfFieldValuesShowWholeAndOkLeavesThem) {
  At(0x33A2A) = 0x00;
  At(0x33A33) = 0x55;
  At(0x33AF0) = 0xFF;
  At(0x33AF5) = 0xFF;
  const std::vector<Byte> before = Image();
  Show();
  EXPECT_EQ(Find("eHitMultiplier")->text(), "-1");
  EXPECT_EQ(Find("eNeg2HPLimit")->text(), "65535");  // five characters in a three-character field
  Press("btnOK");
  EXPECT_EQ(Image(), before);
}

TEST_F(MagicDialogTest, TypingStopsAtThreeCharacters) {
  Show();
  for (const char* edit : {"eHitMultiplier", "eNeg2HPLimit"}) {
    Type(edit, "12345");
    EXPECT_EQ(Find(edit)->text(), "123") << edit;
  }
}

TEST_F(MagicDialogTest, CancelEscOrCloseBoxAfterEditingEverythingWritesNothing) {
  for (const char* way : {"Cancel", "Esc", "close box"}) {
    SCOPED_TRACE(way);
    const std::vector<Byte> before = Image();
    Show();
    Click(Find<QCheckBox>("ckFixLOCK"));
    PickGroup(1);
    Type("eHitMultiplier", "9");
    PickGroup(2);
    for (const char* box : kFamilyBoxes) Click(Find<QCheckBox>(box));
    PickGroup(3);
    Click(WeakBonusEntries()[3]);
    PickGroup(4);
    Type("eNeg2HPLimit", "5");
    if (std::string_view(way) == "Cancel")
      Press("btnCancel");
    else if (std::string_view(way) == "Esc")
      QTest::keyClick(Find("eNeg2HPLimit"), Qt::Key_Escape);
    else
      dialog.close();
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(dialog.result(), QDialog::Rejected);
    EXPECT_EQ(Image(), before);

    Show();  // and nothing typed survives to the next showing
    EXPECT_EQ(Find("eHitMultiplier")->text(), "2");
    EXPECT_EQ(CheckedWeakBonus(), 1);
    Press("btnCancel");
  }
}

TEST_F(MagicDialogTest, OkWithoutEditingChangesNothingOnAnUntouchedGame) {
  const std::vector<Byte> before = Image();
  Show();
  Press("btnOK");
  EXPECT_EQ(dialog.result(), QDialog::Accepted);
  EXPECT_EQ(Image(), before);
}

}  // namespace
}  // namespace brimwell
