// The main window driven through its real widgets on the offscreen platform, with the platform
// seam recording every sound, box and file dialog.

#include "fmMain.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include "RecordingPlatform.h"
#include "TestQuillon.h"
#include "TestRom.h"

namespace brimwell {
namespace {

using testing::MakeTestRom;
using testing::RecordingPlatform;
using testing::ScratchFolder;
using testing::ShownEvent;

const char kCannotLoad[] = "Could not load the specified file.";
const char kNotFinalFantasy[] = "This ROM image is not based on Final Fantasy 1 NES.";

class MainWindowTest : public ::testing::Test {
 protected:
  MainWindowTest() { platform.executableFolder = folder.Path().string() + "/"; }

  // Starts the program as main() does: window, editor dialogs, first showing.
  void Start() {
    window = std::make_unique<TfmMain>(platform);
    window->CreateEditorDialogs();
    window->show();
    QApplication::processEvents();
  }

  void WriteDataFileNaming(const std::string& romPath) {
    testing::PlaceQuillonFile(folder, testing::MakeCurrentQuillonFile({.lastRomPath = romPath}));
  }

  template <typename T>
  T* Find(const char* name) const {
    auto* found = window->findChild<T*>(QString::fromLatin1(name));
    EXPECT_NE(found, nullptr) << name;
    return found;
  }

  // Enabled states of Save, Limits, Battle, Magic, Misc and Sprites.
  std::vector<bool> RomControls() const {
    std::vector<bool> states = {Find<QAction>("mFileSave")->isEnabled()};
    for (const char* name : {"btnLimits", "btnBattle", "btnMagic", "btnMisc", "btnSprites"})
      states.push_back(Find<QPushButton>(name)->isEnabled());
    return states;
  }

  void ChooseInOpenDialog(std::optional<std::string> answer) {
    platform.fileDialogAnswers.push_back(std::move(answer));
    Find<QAction>("mFileOpen")->trigger();
  }

  // Presses an editor's button and, while its dialog is shown modally, lets edit work on it.
  void EditInEditor(const char* button, const std::function<void(QDialog&)>& edit) {
    bool shownModal = false;
    QTimer::singleShot(0, [&] {
      auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
      ASSERT_NE(dialog, nullptr);
      shownModal = true;
      edit(*dialog);
    });
    QTest::mouseClick(Find<QPushButton>(button), Qt::LeftButton);
    EXPECT_TRUE(shownModal) << button;
  }

  static void TypeIn(QDialog& dialog, const char* edit, const char* text) {
    auto* field = dialog.findChild<QLineEdit*>(QString::fromLatin1(edit));
    ASSERT_NE(field, nullptr) << edit;
    field->selectAll();
    QTest::keyClicks(field, text);
  }

  static void ClickIn(QDialog& dialog, const char* button) {
    auto* found = dialog.findChild<QAbstractButton*>(QString::fromLatin1(button));
    ASSERT_NE(found, nullptr) << button;
    QTest::mouseClick(found, Qt::LeftButton);
  }

  QString Caption() const { return window->windowTitle(); }
  QString GameFile() const { return Find<QLabel>("lblGameFile")->text(); }

  ScratchFolder folder;
  RecordingPlatform platform;
  std::unique_ptr<TfmMain> window;
};

const std::vector<bool> kAllDisabled(6, false);
const std::vector<bool> kAllButSprites = {true, true, true, true, true, false};
const std::vector<bool> kAllEnabled(6, true);

TEST_F(MainWindowTest, WithoutDataFileTheWindowSaysSoAndOpensNothing) {
  Start();
  EXPECT_EQ(Find<QLabel>("lblError")->text(),
            "Quillon Dat file not found.. sprite-dialog editing disabled.");
  EXPECT_TRUE(platform.events.empty());
  EXPECT_EQ(Caption(), "Brimwell");
  EXPECT_EQ(window->ApplicationTitle(), "Brimwell");
  EXPECT_EQ(RomControls(), kAllDisabled);

  const std::string rom = folder.Write("game.NES", MakeTestRom());
  ChooseInOpenDialog(rom);

  EXPECT_EQ(platform.Messages(), std::vector<ShownEvent>{});
  EXPECT_EQ(RomControls(), kAllButSprites);
  EXPECT_EQ(Caption(), QString::fromStdString("Brimwell - " + rom));
  EXPECT_EQ(window->ApplicationTitle(), Caption());
  EXPECT_EQ(GameFile(), QString::fromStdString(rom));
  EXPECT_EQ(window->SpriteNames().size(), 208u);
  EXPECT_EQ(window->DialogueNames().size(), 256u);
}

TEST_F(MainWindowTest, OpenDialogOffersTheRomFiltersAndTheLastPath) {
  Start();
  ChooseInOpenDialog(std::nullopt);
  ASSERT_EQ(platform.FileDialogCount(), 1);
  const auto& filters = platform.events.back().filters;
  ASSERT_EQ(filters.size(), 2u);
  EXPECT_EQ(filters[0].description, "Final Fantasy 1 ROMs");
  EXPECT_EQ(filters[0].pattern, "*.NES");
  EXPECT_EQ(filters[1].description, "Any files");
  EXPECT_EQ(filters[1].pattern, "*.*");
  EXPECT_EQ(platform.events.back().text, "");

  const std::string rom = folder.Write("game.nes", MakeTestRom());
  ChooseInOpenDialog(rom);
  ChooseInOpenDialog(std::nullopt);
  EXPECT_EQ(platform.events.back().text, rom);
}

TEST_F(MainWindowTest, DataFileNamingARomOpensItAtFirstShowingWithoutADialog) {
  const auto bytes = MakeTestRom();
  const std::string rom = folder.Write("game.nes", bytes);
  WriteDataFileNaming(rom);
  Start();

  EXPECT_TRUE(platform.events.empty());
  EXPECT_EQ(RomControls(), kAllEnabled);
  EXPECT_EQ(Caption(), QString::fromStdString("Brimwell - " + rom));
  EXPECT_EQ(GameFile(), QString::fromStdString(rom));
  EXPECT_EQ(window->Document().Image().Contents(), bytes);
  EXPECT_TRUE(Find<QLabel>("lblError")->text().isEmpty());

  // A later showing does not open again, and the menu asks for a file again.
  window->hide();
  window->Document().SetRomPath(folder.File("elsewhere.nes"));
  window->show();
  QApplication::processEvents();
  EXPECT_TRUE(platform.events.empty());
  ChooseInOpenDialog(std::nullopt);
  EXPECT_EQ(platform.FileDialogCount(), 1);
}

TEST_F(MainWindowTest, StaleOrEmptyPathGivesTheLoadErrorOnceAndIsSuggestedNext) {
  for (const std::string& stale : {std::string("/no/such/folder/game.nes"), std::string()}) {
    SCOPED_TRACE(stale);
    platform.events.clear();
    WriteDataFileNaming(stale);
    Start();
    EXPECT_EQ(platform.Messages(),
              (std::vector<ShownEvent>{ShownEvent::Beep(SystemSound::Hand),
                                       ShownEvent::Box(MessageKind::Error, kCannotLoad)}));
    EXPECT_EQ(platform.FileDialogCount(), 0);
    EXPECT_EQ(RomControls(), kAllDisabled);
    EXPECT_EQ(Caption(), "Brimwell");

    ChooseInOpenDialog(std::nullopt);
    EXPECT_EQ(platform.events.back().text, stale);
    EXPECT_EQ(platform.Messages().size(), 2u);
  }
}

TEST_F(MainWindowTest, ShortRomNamedByTheDataFileGivesTheLengthWarning) {
  WriteDataFileNaming(folder.Write("short.nes", MakeTestRom(kMinRomLength - 1)));
  Start();
  EXPECT_EQ(platform.Messages(),
            (std::vector<ShownEvent>{ShownEvent::Beep(SystemSound::Exclamation),
                                     ShownEvent::Box(MessageKind::Warning, kNotFinalFantasy)}));
  EXPECT_EQ(RomControls(), kAllDisabled);
}

TEST_F(MainWindowTest, InvalidDataFileWarnsWithoutSoundAndDisablesSprites) {
  folder.Write("Quillon.dat", {'Q', 'W', 'L', '2', 0, 0});
  Start();
  EXPECT_EQ(platform.events, (std::vector<ShownEvent>{ShownEvent::Box(
                                 MessageKind::Warning, "Invalid Quillon data file")}));
  EXPECT_TRUE(Find<QLabel>("lblError")->text().isEmpty());

  ChooseInOpenDialog(folder.Write("game.nes", MakeTestRom()));
  EXPECT_EQ(RomControls(), kAllButSprites);
}

TEST_F(MainWindowTest, CancellingTheOpenDialogKeepsTheLoadedRomAndItsEdits) {
  const std::string rom = folder.Write("game.nes", MakeTestRom());
  WriteDataFileNaming(rom);
  Start();
  window->Document().Image()[0x1234] ^= 0x5A;
  const auto edited = window->Document().Image().Contents();

  QApplication::setActiveWindow(window.get());
  platform.fileDialogAnswers.push_back(std::nullopt);
  QTest::keyClick(window.get(), Qt::Key_O, Qt::ControlModifier);

  EXPECT_EQ(platform.FileDialogCount(), 1);
  EXPECT_EQ(window->Document().Image().Contents(), edited);
  EXPECT_TRUE(window->Document().RomLoaded());
  EXPECT_EQ(RomControls(), kAllEnabled);
  EXPECT_EQ(Caption(), QString::fromStdString("Brimwell - " + rom));
}

TEST_F(MainWindowTest, FailedOpenAfterASuccessKeepsCaptionsButDisablesEverything) {
  Start();
  const std::string good = folder.Write("good.nes", MakeTestRom());
  ChooseInOpenDialog(good);
  ASSERT_EQ(RomControls(), kAllButSprites);

  ChooseInOpenDialog(folder.Write("short.nes", MakeTestRom(512)));
  EXPECT_EQ(platform.Messages(),
            (std::vector<ShownEvent>{ShownEvent::Beep(SystemSound::Exclamation),
                                     ShownEvent::Box(MessageKind::Warning, kNotFinalFantasy)}));
  EXPECT_EQ(RomControls(), kAllDisabled);
  EXPECT_EQ(Caption(), QString::fromStdString("Brimwell - " + good));
  EXPECT_EQ(window->ApplicationTitle(), Caption());
  EXPECT_EQ(GameFile(), QString::fromStdString(good));
  EXPECT_TRUE(window->Document().Image().Empty());

  platform.events.clear();
  ChooseInOpenDialog(folder.File("missing.nes"));
  EXPECT_EQ(platform.Messages(),
            (std::vector<ShownEvent>{ShownEvent::Beep(SystemSound::Hand),
                                     ShownEvent::Box(MessageKind::Error, kCannotLoad)}));
  EXPECT_EQ(RomControls(), kAllDisabled);
  EXPECT_EQ(GameFile(), QString::fromStdString(good));
}

TEST_F(MainWindowTest, SaveWritesTheImageAndWarnsWhenTheFileCannotBeWritten) {
  Start();
  const auto original = MakeTestRom();
  const std::string rom = folder.Write("game.nes", original);
  ChooseInOpenDialog(rom);
  window->Document().Image()[0x2D9B6] = 0x10;
  const auto edited = window->Document().Image().Contents();

  ASSERT_EQ(chmod(rom.c_str(), 0444), 0);
  Find<QAction>("mFileSave")->trigger();
  EXPECT_EQ(platform.Messages(),
            (std::vector<ShownEvent>{ShownEvent::Beep(SystemSound::Exclamation),
                                     ShownEvent::Box(MessageKind::Warning,
                                                     "Could not save the ROM data.  The ROM file "
                                                     "may be in use by another program.")}));
  EXPECT_EQ(folder.Read("game.nes"), original);
  EXPECT_EQ(window->Document().Image().Contents(), edited);
  EXPECT_EQ(RomControls(), kAllButSprites);

  ASSERT_EQ(chmod(rom.c_str(), 0644), 0);
  Find<QAction>("mFileSave")->trigger();
  EXPECT_EQ(platform.Messages().size(), 2u);
  EXPECT_EQ(folder.Read("game.nes"), edited);
}

TEST_F(MainWindowTest, ExitOrTheCloseBoxClosesAtOnceWithoutAskingOrSaving) {
  for (bool closeBox : {false, true}) {
    SCOPED_TRACE(closeBox ? "close box" : "Exit");
    const auto original = MakeTestRom();
    WriteDataFileNaming(folder.Write("game.nes", original));
    Start();
    window->Document().Image()[0x10] ^= 1;
    if (closeBox)
      window->close();
    else
      Find<QAction>("mFileExit")->trigger();
    EXPECT_FALSE(window->isVisible());
    EXPECT_TRUE(platform.events.empty());
    EXPECT_EQ(folder.Read("game.nes"), original);
  }
}

// Save is disabled without a ROM; should it ever run, it says so instead of writing anything.
TEST_F(MainWindowTest, SaveWithoutARomTellsTheUserAndWritesNothing) {
  Start();
  Find<QAction>("mFileSave")->setEnabled(true);
  Find<QAction>("mFileSave")->trigger();
  EXPECT_EQ(platform.Messages(),
            (std::vector<ShownEvent>{ShownEvent::Beep(SystemSound::Asterisk),
                                     ShownEvent::Box(MessageKind::Information,
                                                     "No FF1 NES ROM file has been loaded.")}));
}

TEST_F(MainWindowTest, CtrlOOpensTheDialogAlsoWithoutARom) {
  Start();
  const std::string rom = folder.Write("game.nes", MakeTestRom());
  QApplication::setActiveWindow(window.get());
  platform.fileDialogAnswers.push_back(rom);
  QTest::keyClick(window.get(), Qt::Key_O, Qt::ControlModifier);
  EXPECT_EQ(platform.FileDialogCount(), 1);
  EXPECT_EQ(RomControls(), kAllButSprites);
}

// The older layout has no place for the last ROM, so the start-up open has nothing to open.
TEST_F(MainWindowTest, OlderDataFileLoadsNamesButItsStartUpOpenFails) {
  testing::PlaceQuillonFile(folder, testing::MakeOlderQuillonFile({.spriteNames = {{0, "Bat"}}}));
  Start();
  EXPECT_EQ(platform.Messages(),
            (std::vector<ShownEvent>{ShownEvent::Beep(SystemSound::Hand),
                                     ShownEvent::Box(MessageKind::Error, kCannotLoad)}));
  EXPECT_TRUE(window->DataLoaded());

  ChooseInOpenDialog(folder.Write("game.nes", MakeTestRom()));
  EXPECT_EQ(RomControls(), kAllEnabled);
  EXPECT_EQ(window->SpriteNames().front().name, "Bat");
}

TEST_F(MainWindowTest, RomHeldOpenForWritingByAnotherProgramGivesTheLoadError) {
  const std::string rom = folder.Write("game.nes", MakeTestRom());
  const int other = open(rom.c_str(), O_RDWR);
  ASSERT_GE(other, 0);
  ASSERT_EQ(flock(other, LOCK_EX | LOCK_NB), 0);
  Start();
  ChooseInOpenDialog(rom);
  close(other);
  EXPECT_EQ(platform.Messages(),
            (std::vector<ShownEvent>{ShownEvent::Beep(SystemSound::Hand),
                                     ShownEvent::Box(MessageKind::Error, kCannotLoad)}));
  EXPECT_EQ(RomControls(), kAllDisabled);
}

TEST_F(MainWindowTest, MenuAndButtonsCarryTheirTextsAndShortcut) {
  Start();
  EXPECT_EQ(window->menuBar()->objectName(), "MainMenu1");
  EXPECT_EQ(Find<QAction>("mFileOpen")->text(), "&Open ROM...");
  EXPECT_EQ(Find<QAction>("mFileOpen")->shortcut(), QKeySequence(QStringLiteral("Ctrl+O")));
  EXPECT_EQ(Find<QAction>("mFileSave")->text(), "&Save ROM");
  EXPECT_TRUE(Find<QAction>("mFileSave")->shortcut().isEmpty());
  EXPECT_EQ(Find<QAction>("mFileExit")->text(), "E&xit");
  const std::vector<std::pair<const char*, const char*>> buttons = {{"btnLimits", "&Limits..."},
                                                                    {"btnBattle", "&Battle..."},
                                                                    {"btnMagic", "&Magic..."},
                                                                    {"btnSprites", "&Sprites..."},
                                                                    {"btnMisc", "Mis&c..."}};
  for (const auto& [name, text] : buttons) EXPECT_EQ(Find<QPushButton>(name)->text(), text);
}

// The limits editor on a ROM opened from disk: the edit reaches the file only through Save.
TEST_F(MainWindowTest, LimitsEditorEditsTheOpenedRomWhichSaveWritesBack) {
  Start();
  const auto bytes = MakeTestRom();
  const std::string rom = folder.Write("game.nes", bytes);
  ChooseInOpenDialog(rom);

  EditInEditor("btnLimits", [](QDialog& dialog) {
    EXPECT_EQ(dialog.windowTitle(), "Game Parameter Limits");
    TypeIn(dialog, "eHPlimit", "2500");
    ClickIn(dialog, "btnOK");
  });
  EXPECT_EQ(folder.Read("game.nes"), bytes);

  Find<QAction>("mFileSave")->trigger();
  std::vector<Byte> expected = bytes;
  expected[0x2D9B6] = 0xC5;  // 2501
  expected[0x2D9B7] = 0x09;
  EXPECT_EQ(folder.Read("game.nes"), expected);
  EXPECT_TRUE(platform.Messages().empty());
}

// The magic editor on a ROM opened from disk: removing the fix puts back the byte that the file
// held when it was opened, also after a save of the fixed image.
TEST_F(MainWindowTest, MagicEditorEditsTheOpenedRomWhichSaveWritesBack) {
  Start();
  const auto bytes = MakeTestRom();
  ASSERT_NE(bytes[0x33833], 0x46);
  const std::string rom = folder.Write("game.nes", bytes);
  ChooseInOpenDialog(rom);

  EditInEditor("btnMagic", [](QDialog& dialog) {
    EXPECT_EQ(dialog.windowTitle(), "Magic additions");
    ClickIn(dialog, "ckFixLOCK");
    TypeIn(dialog, "eNeg2HPLimit", "512");
    ClickIn(dialog, "btnOK");
  });
  EXPECT_EQ(folder.Read("game.nes"), bytes);

  Find<QAction>("mFileSave")->trigger();
  std::vector<Byte> expected = bytes;
  expected[0x33833] = 0x46;
  expected[0x33A5E] = 0xF0;
  expected[0x33A5F] = 0x17;
  expected[0x33A60] = 0xEA;
  expected[0x33AF0] = 0x00;  // 512
  expected[0x33AF5] = 0x02;
  EXPECT_EQ(folder.Read("game.nes"), expected);

  EditInEditor("btnMagic", [](QDialog& dialog) {
    ClickIn(dialog, "ckFixLOCK");
    ClickIn(dialog, "btnOK");
  });
  Find<QAction>("mFileSave")->trigger();
  expected[0x33833] = bytes[0x33833];
  expected[0x33A5E] = 0x4C;
  expected[0x33A5F] = 0x67;
  expected[0x33A60] = 0xBA;
  EXPECT_EQ(folder.Read("game.nes"), expected);
  EXPECT_TRUE(platform.Messages().empty());
}

}  // namespace
}  // namespace brimwell
