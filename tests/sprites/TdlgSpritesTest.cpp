// The sprite dialogue window driven through its real widgets on the offscreen platform, on a
// synthetic image in which the sprites run every handler type.

#include "sprites/TdlgSprites.h"

#include <gtest/gtest.h>

#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include "RecordingPlatform.h"
#include "TestDocument.h"
#include "TestQuillon.h"
#include "TestRom.h"
#include "fmMain.h"

namespace brimwell {
namespace {

using testing::DifferingOffsets;
using testing::MakeTestRom;
using testing::Slice;

constexpr std::size_t kPointerTable = 0x390E3;
constexpr std::size_t kParameterTable = 0x395E5;

// Handler positions used by name below.
constexpr std::size_t kKing = 0, kFightGarland = 1, kPrincessRescued = 2, kElfDoctor = 4,
                      kBlacksmith = 8, kNothing = 23, kLinked = 26, kBattle = 28, kPlotItem = 30,
                      kCanoe = 36;

const char* const kTextDropDowns[] = {"cbText1", "cbText2", "cbText3", "cbTextAux"};

std::size_t Record(std::size_t sprite) {
  return kParameterTable + 4 * sprite;
}

// Sprite 42 + t runs handler type t; none of those has a fixed handler.
std::size_t SpriteOfType(std::size_t entry) {
  return 42 + entry;
}

SpriteNameList MakeSpriteNames() {
  SpriteNameList names(208);
  for (std::size_t i = 0; i < names.size(); ++i) names[i].name = "Sprite " + std::to_string(i);
  return names;
}

DialogueNameList MakeDialogueNames() {
  DialogueNameList names(256);
  for (std::size_t i = 0; i < names.size(); ++i) names[i] = "Text " + std::to_string(i);
  return names;
}

QColor Blue() {
  return QColor(0, 0, 255);
}

QColor Grey() {
  return QApplication::palette().color(QPalette::Disabled, QPalette::WindowText);
}

class SpriteWindowTest : public ::testing::Test {
 protected:
  SpriteWindowTest() {
    for (std::size_t sprite = 0; sprite < 208; ++sprite)
      SetHandler(sprite, HandlerCatalogue[sprite % 42].address);
    rom[Record(0)] = 0;  // sprite 0 is stored on leaving it; let that write what is there
  }

  void SetHandler(std::size_t sprite, std::uint16_t address) {
    rom[kPointerTable + 2 * sprite] = static_cast<Byte>(address);
    rom[kPointerTable + 2 * sprite + 1] = static_cast<Byte>(address >> 8);
  }
  std::uint16_t Handler(std::size_t sprite) const {
    return static_cast<std::uint16_t>(rom[kPointerTable + 2 * sprite] |
                                      rom[kPointerTable + 2 * sprite + 1] << 8);
  }
  std::vector<Byte> RecordOf(std::size_t sprite) const {
    return Slice(rom.Bytes(), Record(sprite), 4);
  }

  void Show() {
    dialog.show();
    QApplication::processEvents();
  }

  template <typename T = QComboBox>
  T* Find(const char* name) {
    auto* found = dialog.findChild<T*>(QString::fromLatin1(name));
    EXPECT_NE(found, nullptr) << name;
    return found;
  }
  QListView* List() { return Find<QListView>("lbSprites"); }
  QString Caption(const char* label) { return Find<QLabel>(label)->text(); }
  QColor ColourOf(const char* label) {
    return Find<QLabel>(label)->palette().color(QPalette::WindowText);
  }
  bool Enabled(const char* control) { return Find<QWidget>(control)->isEnabled(); }

  // A click on the sprite's entry, as the user makes it.
  void PickSprite(std::size_t sprite) {
    QListView* list = List();
    const QModelIndex entry = list->model()->index(static_cast<int>(sprite), 0);
    list->scrollTo(entry);
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualRect(entry).center());
    ASSERT_EQ(list->currentIndex().row(), static_cast<int>(sprite));
  }

  // Opens the drop-down's list and takes the entry with Enter, as the user would.
  void Pick(const char* name, int entry) {
    QComboBox* box = Find(name);
    box->showPopup();
    box->view()->setCurrentIndex(box->model()->index(entry, 0));
    QTest::keyClick(box->view(), Qt::Key_Return);
    ASSERT_EQ(box->currentIndex(), entry) << name;
  }

  void TypeAuxValue(const QString& text) {
    auto* field = Find<QLineEdit>("eAuxValue");
    field->setFocus();
    field->selectAll();
    QTest::keyClick(field, Qt::Key_Backspace);
    QTest::keyClicks(field, text);
  }

  void Press(const char* button) { QTest::mouseClick(Find<QPushButton>(button), Qt::LeftButton); }

  SpriteNameList spriteNames = MakeSpriteNames();
  DialogueNameList dialogueNames = MakeDialogueNames();
  testing::TestDocument file;
  RomImage& rom = file.document.Image();
  TdlgSprites dialog{file.document, spriteNames, dialogueNames};
};

TEST_F(SpriteWindowTest, ShowingFillsEveryListAndStartsAtSpriteZero) {
  Show();
  EXPECT_EQ(dialog.windowTitle(), "Sprite Dialog Properties editor");
  QListView* list = List();
  ASSERT_EQ(list->model()->rowCount(), 208);
  EXPECT_EQ(list->model()->index(207, 0).data().toString(), "Sprite 207");
  EXPECT_EQ(list->currentIndex().row(), 0);
  EXPECT_TRUE(list->selectionModel()->isRowSelected(0, {}));
  EXPECT_EQ(dialog.focusWidget(), list);

  QComboBox* handler = Find("cbHandlerType");
  ASSERT_EQ(handler->count(), 42);
  EXPECT_EQ(handler->itemText(0), "Plot:  King - Build bridge");
  EXPECT_EQ(handler->itemText(41), "Check for Earth ORB lit, Fire ORB dark");
  EXPECT_EQ(handler->currentIndex(), static_cast<int>(kKing));
  EXPECT_FALSE(handler->isEnabled());
  for (const char* name : kTextDropDowns) {
    ASSERT_EQ(Find(name)->count(), 256) << name;
    EXPECT_EQ(Find(name)->itemText(255), "Text 255") << name;
  }
  EXPECT_EQ(Find("cbLoc10Plot")->count(), 25);
  EXPECT_EQ(Find("cbLoc10Plot")->itemText(24), "<< UNKNOWN >>");
  EXPECT_EQ(Find("cbLoc10Item")->count(), 23);
  EXPECT_EQ(Find("cbLoc10Item")->itemText(17), "CANOE (doesn't work)");

  EXPECT_EQ(Find("cbText1")->currentIndex(), rom[Record(0) + 1]);
  EXPECT_EQ(Find("cbText3")->currentIndex(), rom[Record(0) + 3]);
  EXPECT_EQ(Caption("lblLoc12"), "Condition met (Build Bridge):");
  EXPECT_EQ(Caption("lblAuxValue"), "n/a");
  EXPECT_EQ(Caption("lblAuxMessage"), "n/a");
  EXPECT_EQ(Caption("lblTypeDesc"),
            "Choose the dialogue string(s) to be displayed for this sprite and the appropriate "
            "conditions for displaying them:");
  EXPECT_EQ(Find<QCheckBox>("ckDisappear")->text(), "Disappears when condition is met.");
  EXPECT_EQ(Find<QPushButton>("btnOK")->text(), "&OK");
  EXPECT_EQ(Find<QPushButton>("btnCancel")->text(), "&Cancel");
}

TEST_F(SpriteWindowTest, OkAtOnceRewritesOnlySpriteZerosRecordByItsStoreRule) {
  rom[Record(0)] = 0x77;  // King: byte 0 is stored as 0
  const std::vector<Byte> before = rom.Contents();
  Show();
  Press("btnOK");
  EXPECT_FALSE(dialog.isVisible());
  EXPECT_EQ(dialog.result(), QDialog::Accepted);
  EXPECT_EQ(DifferingOffsets(before, rom.Contents()), std::vector<std::size_t>{Record(0)});
  EXPECT_EQ(rom[Record(0)], 0);
}

TEST_F(SpriteWindowTest, WalkingAndEditingThenCancelEscOrCloseBoxLeavesTheImageAlone) {
  for (const char* how : {"Cancel", "Esc", "close box"}) {
    SCOPED_TRACE(how);
    const std::vector<Byte> before = rom.Contents();
    Show();
    List()->setFocus();
    for (int step = 0; step < 120; ++step) QTest::keyClick(List(), Qt::Key_Down);
    EXPECT_EQ(List()->currentIndex().row(), 120);
    PickSprite(SpriteOfType(kFightGarland));
    TypeAuxValue("$10");
    Pick("cbText1", 3);
    PickSprite(SpriteOfType(kBattle));
    Pick("cbHandlerType", static_cast<int>(kCanoe));
    PickSprite(40);

    if (how == std::string("Cancel"))
      Press("btnCancel");
    else if (how == std::string("Esc"))
      QTest::keyClick(Find("cbText1"), Qt::Key_Escape);
    else
      dialog.close();
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(dialog.result(), QDialog::Rejected);
    EXPECT_EQ(rom.Contents(), before);
  }
  // A new showing starts again from the image.
  Show();
  PickSprite(SpriteOfType(kFightGarland));
  EXPECT_EQ(Find<QLineEdit>("eAuxValue")->text(),
            QString::fromStdString(FormatAuxValue(rom[0x392C7])));
}

TEST_F(SpriteWindowTest, WalkingThenOkStoresEachVisitedSpriteAndNoHandlerChange) {
  const std::vector<Byte> before = rom.Contents();
  Show();
  List()->setFocus();
  for (int step = 1; step < 208; ++step) QTest::keyClick(List(), Qt::Key_Down);
  EXPECT_EQ(List()->currentIndex().row(), 207);
  Press("btnOK");
  // The program's own selections ran no handler: the pointer table is as it was.
  EXPECT_EQ(Slice(rom.Bytes(), kPointerTable, 416), Slice(before, kPointerTable, 416));
  for (std::size_t offset : DifferingOffsets(before, rom.Contents())) {
    ASSERT_GE(offset, kParameterTable) << std::hex << offset;
    ASSERT_LT(offset, Record(208)) << std::hex << offset;
  }
}

TEST_F(SpriteWindowTest, HandlerDropDownIsFixedForTheGamesOwnSprites) {
  Show();
  for (std::size_t sprite : {0, 30, 31, 100, 186, 187, 188, 202, 203, 207}) {
    SCOPED_TRACE(sprite);
    PickSprite(sprite);
    const bool fixed = sprite <= 30 || sprite == 187 || sprite == 202;
    EXPECT_EQ(Enabled("cbHandlerType"), !fixed);
    EXPECT_EQ(Find("cbHandlerType")->currentIndex(), static_cast<int>(sprite % 42));
    // The setting controls follow the type as for any sprite.
    EXPECT_EQ(Enabled("cbText1"), HandlerCatalogue[sprite % 42].active.Has(TalkSetting::Text1));
  }
}

TEST_F(SpriteWindowTest, DisabledDropDownsStayShutEvenForAScreenReader) {
  Show();
  PickSprite(kPrincessRescued);  // the game's own princess: the handler is fixed
  for (const char* name : {"cbHandlerType", "cbLoc10Plot", "cbText2"}) {
    QComboBox* box = Find(name);
    ASSERT_FALSE(box->isEnabled()) << name;
    QAccessibleActionInterface* actions =
        QAccessible::queryAccessibleInterface(box)->actionInterface();
    for (const QString& action : actions->actionNames()) {
      actions->doAction(action);
      EXPECT_FALSE(box->view()->isVisible()) << name << " " << action.toStdString();
    }
  }
  Find("cbText1")->showPopup();
  EXPECT_TRUE(Find("cbText1")->view()->isVisible());
  Find("cbText1")->hidePopup();
}

TEST_F(SpriteWindowTest, ChangingTypeShowsTheStoredBytesNotTheEdits) {
  const std::size_t sprite = SpriteOfType(kElfDoctor);
  Show();
  PickSprite(sprite);
  Pick("cbText2", 200);
  Pick("cbHandlerType", static_cast<int>(kBattle));
  EXPECT_EQ(Caption("lblLoc11"), "Pre-Fight Text:");
  EXPECT_EQ(Caption("lblAuxValue"), "Fight #:");
  EXPECT_EQ(Find<QLineEdit>("eAuxValue")->text(),
            QString::fromStdString(FormatAuxValue(rom[Record(sprite) + 3])));
  Pick("cbHandlerType", static_cast<int>(kElfDoctor));
  EXPECT_EQ(Find("cbText2")->currentIndex(), rom[Record(sprite) + 2]);
  EXPECT_EQ(Caption("lblLoc12"), "Condition met (Give HERB):");
}

TEST_F(SpriteWindowTest, ChosenTypeReachesThePointerTableOnlyOnOk) {
  const std::size_t sprite = SpriteOfType(kKing);
  for (bool ok : {false, true}) {
    SCOPED_TRACE(ok ? "OK" : "Cancel");
    Show();
    PickSprite(sprite);
    Pick("cbHandlerType", static_cast<int>(kCanoe));
    Press(ok ? "btnOK" : "btnCancel");
    EXPECT_EQ(Handler(sprite),
              ok ? HandlerCatalogue[kCanoe].address : HandlerCatalogue[kKing].address);
  }
  EXPECT_EQ(RecordOf(sprite)[0], 0x11);
}

TEST_F(SpriteWindowTest, NothingChangesOnlyThePointerEntry) {
  const std::size_t sprite = SpriteOfType(kBlacksmith);
  const std::vector<Byte> before = rom.Contents();
  Show();
  PickSprite(sprite);
  Pick("cbHandlerType", static_cast<int>(kNothing));
  for (const char* label : {"lblLoc11", "lblLoc12", "lblLoc13", "lblAuxValue", "lblAuxText"})
    EXPECT_EQ(Caption(label), "n/a") << label;
  Press("btnOK");
  EXPECT_EQ(DifferingOffsets(before, rom.Contents()),
            (std::vector<std::size_t>{kPointerTable + 2 * sprite, kPointerTable + 2 * sprite + 1}));
  EXPECT_EQ(Handler(sprite), 0x9296);
}

TEST_F(SpriteWindowTest, AddressOutsideTheCatalogueShowsNothingAndIsKept) {
  const std::size_t sprite = 120;
  SetHandler(sprite, 0x1234);
  const std::vector<Byte> before = rom.Contents();
  Show();
  PickSprite(sprite);
  EXPECT_EQ(Find("cbHandlerType")->currentIndex(), -1);
  EXPECT_EQ(Find("cbHandlerType")->currentText(), "");
  EXPECT_TRUE(Enabled("cbHandlerType"));
  for (const char* control : {"cbText1", "cbText2", "cbText3", "cbLoc10Plot", "cbLoc10Item",
                              "eAuxValue", "ckDisappear", "cbTextAux", "lblAuxMessage"})
    EXPECT_FALSE(Enabled(control)) << control;
  for (const char* label :
       {"lblLoc11", "lblLoc12", "lblLoc13", "lblAuxValue", "lblAuxText", "lblAuxMessage"})
    EXPECT_EQ(Caption(label), "n/a") << label;
  EXPECT_EQ(Caption("lblLoc10Plot"), "Plot event (or condition):");
  EXPECT_EQ(Find<QLineEdit>("eAuxValue")->text(), "$00");

  PickSprite(0);
  PickSprite(sprite);
  Press("btnOK");
  EXPECT_EQ(rom.Contents(), before);
}

TEST_F(SpriteWindowTest, PrincessRescuedShowsItsPlotEventReadOnlyAndItsTeleportEditable) {
  rom[0x392D4] = 0x12;
  rom[0x392D9] = 0x0B;
  Show();
  PickSprite(SpriteOfType(kPrincessRescued));
  EXPECT_EQ(Find("cbLoc10Plot")->currentText(), "Princess (rescued?)");
  EXPECT_FALSE(Enabled("cbLoc10Plot"));
  EXPECT_EQ(ColourOf("lblLoc10Plot"), Grey());
  EXPECT_TRUE(Enabled("eAuxValue"));
  EXPECT_EQ(Caption("lblAuxValue"), "Teleport #:");
  EXPECT_EQ(ColourOf("lblAuxValue"), Blue());
  EXPECT_EQ(Find<QLineEdit>("eAuxValue")->text(), "$0B");
  EXPECT_TRUE(Find<QCheckBox>("ckDisappear")->isChecked());
  EXPECT_FALSE(Enabled("ckDisappear"));

  TypeAuxValue("$2C");
  Press("btnOK");
  EXPECT_EQ(rom[0x392D9], 0x2C);
  EXPECT_EQ(rom[0x392D4], 0x12);
}

TEST_F(SpriteWindowTest, LinkedSpritesNameTheNextSpriteAtTheNextShowing) {
  SetHandler(5, HandlerCatalogue[kLinked].address);
  Show();
  PickSprite(5);
  EXPECT_FALSE(Enabled("cbHandlerType"));
  Pick("cbText1", 9);
  PickSprite(6);
  Press("btnOK");
  EXPECT_EQ(RecordOf(5), (std::vector<Byte>{0x05, 0x09, 0x00, 0x06}));

  Show();
  PickSprite(5);
  EXPECT_EQ(Caption("lblAuxMessage"), "Next Sprite = \"Sprite 6\"");
  EXPECT_TRUE(Enabled("lblAuxMessage"));
  EXPECT_EQ(ColourOf("lblAuxMessage"), Blue());
}

TEST_F(SpriteWindowTest, LabelColoursFollowTheEnabledStateOfTheirControls) {
  using enum TalkSetting;
  const struct {
    const char* label;
    const char* control;
    TalkSetting setting;
  } follows[] = {
      {"lblLoc11", "cbText1", Text1},         {"lblLoc12", "cbText2", Text2},
      {"lblLoc13", "cbText3", Text3},         {"lblLoc10Plot", "cbLoc10Plot", PlotEvent},
      {"lblLoc10Value", "cbLoc10Item", Item}, {"lblAuxValue", "eAuxValue", AuxValue},
      {"lblAuxText", "cbTextAux", AuxText},   {"lblAuxMessage", "lblAuxMessage", NextSprite},
  };
  ASSERT_NE(Blue(), Grey());
  Show();
  for (std::size_t entry = 0; entry < 42; ++entry) {
    SCOPED_TRACE(HandlerCatalogue[entry].entry);
    PickSprite(SpriteOfType(entry));
    for (const auto& [label, control, setting] : follows) {
      const bool active = HandlerCatalogue[entry].active.Has(setting);
      EXPECT_EQ(Enabled(control), active) << control;
      EXPECT_EQ(ColourOf(label), active ? Blue() : Grey()) << label;
    }
  }
}

TEST_F(SpriteWindowTest, AuxValueIsReadAsANumberClampedToAByte) {
  const std::pair<const char*, Byte> typed[] = {
      {"$1F", 0x1F}, {"31", 0x1F}, {"300", 0xFF}, {"-5", 0x00},
      {"abc", 0x00}, {"", 0x00},   {"x1f", 0x1F}, {"255", 0xFF},
  };
  for (const auto& [text, stored] : typed) {
    SCOPED_TRACE(text);
    Show();
    PickSprite(SpriteOfType(kFightGarland));
    TypeAuxValue(QString::fromLatin1(text));
    EXPECT_EQ(Find<QLineEdit>("eAuxValue")->text(), text);
    Press("btnOK");
    EXPECT_EQ(rom[0x392C7], stored);
    Show();
    PickSprite(SpriteOfType(kFightGarland));
    EXPECT_EQ(Find<QLineEdit>("eAuxValue")->text(), QString::fromStdString(FormatAuxValue(stored)));
  }
  TypeAuxValue("12345");
  EXPECT_EQ(Find<QLineEdit>("eAuxValue")->text(), "123");
}

TEST_F(SpriteWindowTest, ItemByteThatNamesNoEntryShowsBlank) {
  rom[0x3931C] = 0x1F;  // the elf doctor's item operand, below the first item
  Show();
  PickSprite(SpriteOfType(kElfDoctor));
  EXPECT_EQ(Find("cbLoc10Item")->currentIndex(), -1);
  EXPECT_EQ(Find("cbLoc10Item")->currentText(), "");
  Press("btnCancel");
  rom[0x3931C] = 0x21;
  Show();
  PickSprite(SpriteOfType(kElfDoctor));
  EXPECT_EQ(Find("cbLoc10Item")->currentText(), "LUTE");
}

TEST_F(SpriteWindowTest, PlotItemStoresThePickedItemAndUnknownKeepsTheByte) {
  const std::size_t sprite = SpriteOfType(kPlotItem);
  rom[Record(sprite)] = 0x40;
  Show();
  PickSprite(sprite);
  EXPECT_EQ(Find("cbLoc10Item")->currentText(), "<< UNKNOWN >>");
  EXPECT_TRUE(Enabled("cbLoc10Item"));
  PickSprite(0);
  Press("btnOK");
  EXPECT_EQ(rom[Record(sprite)], 0x40);

  Show();
  PickSprite(sprite);
  Pick("cbLoc10Item", 1);
  Press("btnOK");
  EXPECT_EQ(rom[Record(sprite)], 0x01);
}

TEST_F(SpriteWindowTest, AfterOkTheNextShowingReadsEverythingAgainFromTheImage) {
  const std::size_t sprite = SpriteOfType(kKing);
  Show();
  PickSprite(sprite);
  Pick("cbHandlerType", static_cast<int>(kBlacksmith));
  Pick("cbTextAux", 77);
  Pick("cbText3", 5);
  PickSprite(40);
  PickSprite(sprite);  // stored, then shown again from the working image
  EXPECT_EQ(Find("cbTextAux")->currentIndex(), 77);
  Press("btnOK");
  EXPECT_EQ(rom[0x393A6], 77);

  rom[Record(sprite) + 3] = 6;  // another change to the image meanwhile
  Show();
  EXPECT_EQ(List()->currentIndex().row(), 0);
  PickSprite(sprite);
  EXPECT_EQ(Find("cbHandlerType")->currentIndex(), static_cast<int>(kBlacksmith));
  EXPECT_EQ(Find("cbTextAux")->currentIndex(), 77);
  EXPECT_EQ(Find("cbText3")->currentIndex(), 6);
}

TEST_F(SpriteWindowTest, ScreenReadersFindEveryCaptionAndNoStrayHint) {
  Show();
  const std::pair<const char*, const char*> buddies[] = {
      {"cbHandlerType", "Sprite dialogue handler type:"},
      {"cbText1", "Initial:"},
      {"cbText2", "Condition met (Build Bridge):"},
      {"cbText3", "Final:"},
      {"cbLoc10Plot", "Plot event (or condition):"},
      {"cbLoc10Item", "Choose the Item condition:"},
      {"eAuxValue", "n/a"},
      {"cbTextAux", "n/a"},
  };
  for (const auto& [control, caption] : buddies) {
    QAccessibleInterface* access = QAccessible::queryAccessibleInterface(Find<QWidget>(control));
    ASSERT_NE(access, nullptr) << control;
    const auto labels = access->relations(QAccessible::Label);
    ASSERT_EQ(labels.size(), 1) << control;
    EXPECT_EQ(labels.front().first->text(QAccessible::Name), caption) << control;
  }
  QAccessibleInterface* list = QAccessible::queryAccessibleInterface(List());
  EXPECT_EQ(list->text(QAccessible::Name), "Sprite List:");

  auto* aux = Find<QLineEdit>("eAuxValue");
  EXPECT_TRUE(aux->toolTip().isEmpty());
  EXPECT_TRUE(aux->accessibleDescription().isEmpty());
  EXPECT_TRUE(QAccessible::queryAccessibleInterface(aux)->text(QAccessible::Description).isEmpty());
}

TEST_F(SpriteWindowTest, ScreenReaderSelectionMovesTheSpriteAndStoresTheOneLeft) {
  const std::size_t sprite = SpriteOfType(kFightGarland);
  Show();
  PickSprite(sprite);
  TypeAuxValue("$44");
  QAccessibleTableInterface* table =
      QAccessible::queryAccessibleInterface(List())->tableInterface();
  ASSERT_NE(table, nullptr);
  ASSERT_TRUE(table->selectRow(SpriteOfType(kBattle)));
  EXPECT_EQ(Find("cbHandlerType")->currentIndex(), static_cast<int>(kBattle));
  EXPECT_EQ(table->selectedRows(), QList<int>{static_cast<int>(SpriteOfType(kBattle))});
  Press("btnOK");
  EXPECT_EQ(rom[0x392C7], 0x44);
}

TEST_F(SpriteWindowTest, OneSpriteStaysSelectedWhateverDeselects) {
  Show();
  PickSprite(50);
  QListView* list = List();
  const QRect entry = list->visualRect(list->model()->index(50, 0));
  QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::ControlModifier, entry.center());
  EXPECT_TRUE(list->selectionModel()->isRowSelected(50, {}));
  QTest::keyClick(list, Qt::Key_Space, Qt::ControlModifier);
  EXPECT_TRUE(list->selectionModel()->isRowSelected(50, {}));
  QAccessible::queryAccessibleInterface(list)->tableInterface()->unselectRow(50);
  EXPECT_EQ(list->selectionModel()->selectedRows().size(), 1);
  EXPECT_TRUE(list->selectionModel()->isRowSelected(50, {}));
}

TEST_F(SpriteWindowTest, KeyboardOrderAndEnterFollowTheWindowsRules) {
  Show();
  PickSprite(SpriteOfType(kBlacksmith));
  const char* const order[] = {"lbSprites",   "cbHandlerType", "cbText1",     "cbText2",
                               "cbText3",     "cbLoc10Plot",   "cbLoc10Item", "eAuxValue",
                               "ckDisappear", "cbTextAux",     "btnOK",       "btnCancel"};
  // The focus chain holds every widget; the controls must come in this order within it.
  std::vector<QString> chain;
  QWidget* widget = Find<QWidget>(order[0]);
  do {
    if (std::find(std::begin(order), std::end(order), widget->objectName()) != std::end(order))
      chain.push_back(widget->objectName());
    widget = widget->nextInFocusChain();
  } while (widget != Find<QWidget>(order[0]));
  EXPECT_EQ(chain, std::vector<QString>(std::begin(order), std::end(order)));

  TypeAuxValue("$05");
  QTest::keyClick(Find<QLineEdit>("eAuxValue"), Qt::Key_Return);
  QTest::keyClick(Find("cbText1"), Qt::Key_Return);
  EXPECT_TRUE(dialog.isVisible());
  auto* ok = Find<QPushButton>("btnOK");
  ok->setFocus();
  QTest::keyClick(ok, Qt::Key_Return);
  EXPECT_FALSE(dialog.isVisible());
  EXPECT_EQ(rom[0x39394], 0x05);
}

// The whole path in the real program: a ROM opened from disk, edited here, saved back.
TEST(SpriteWindowInTheProgram, SpritesButtonEditsTheOpenedRomWhichSaveWritesBack) {
  testing::ScratchFolder folder;
  testing::RecordingPlatform platform;
  platform.executableFolder = testing::FolderWithSeparator(folder);
  std::vector<Byte> bytes = MakeTestRom();
  bytes[kPointerTable] = 0x97;  // sprite 0 runs the king's routine, $9297
  bytes[kPointerTable + 1] = 0x92;
  bytes[Record(0)] = 0;
  const std::string rom = folder.Write("game.nes", bytes);
  testing::PlaceQuillonFile(
      folder, testing::MakeCurrentQuillonFile({.lastRomPath = rom, .dialogueNames = {{4, "HI"}}}));
  TfmMain window(platform, platform);
  window.CreateEditorDialogs();
  window.show();
  QApplication::processEvents();

  bool shown = false;
  QTimer::singleShot(0, [&] {
    auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
    ASSERT_NE(dialog, nullptr);
    shown = true;
    EXPECT_EQ(dialog->windowTitle(), "Sprite Dialog Properties editor");
    auto* text1 = dialog->findChild<QComboBox*>("cbText1");
    EXPECT_EQ(text1->itemText(4), "HI");
    text1->showPopup();
    text1->view()->setCurrentIndex(text1->model()->index(4, 0));
    QTest::keyClick(text1->view(), Qt::Key_Return);
    QTest::mouseClick(dialog->findChild<QPushButton*>("btnOK"), Qt::LeftButton);
  });
  QTest::mouseClick(window.findChild<QPushButton*>("btnSprites"), Qt::LeftButton);
  ASSERT_TRUE(shown);
  EXPECT_EQ(folder.Read("game.nes"), bytes);

  window.findChild<QAction*>("mFileSave")->trigger();
  const std::vector<Byte> saved = folder.Read("game.nes");
  EXPECT_EQ(saved[Record(0) + 1], 4);
  for (std::size_t offset : DifferingOffsets(bytes, saved))
    EXPECT_TRUE(offset >= Record(0) && offset < Record(1)) << std::hex << offset;
}

}  // namespace
}  // namespace brimwell
