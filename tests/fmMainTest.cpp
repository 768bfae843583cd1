// The main window driven through its real widgets on the offscreen platform, with the platform
// seam recording every sound, box and file dialog.

#include "fmMain.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <iostream>
#include <optional>

#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>
#include <QWindow>

#include "BrimwellConst.h"
#include "PatchDialogDriver.h"
#include "RecordingPlatform.h"
#include "TestFiles.h"
#include "TestQuillon.h"
#include "TestRom.h"
#include "rom/PatchFile.h"

namespace brimwell {
namespace {

using testing::MakeTestRom;
using testing::RecordingPlatform;
using testing::ScratchFolder;
using testing::ShownEvent;
using testing::ToggleAsUser;
using testing::UserToggle;

const char kCannotLoad[] = "Could not load the specified file.";
const char kNotFinalFantasy[] = "This ROM image is not based on Final Fantasy 1 NES.";

class MainWindowTest : public ::testing::Test {
 protected:
  MainWindowTest() { platform.executableFolder = folder.Path().string() + "/"; }

  // Starts the program as main() does: window, editor dialogs, first showing.
  void Start(StartOptions options = {}) {
    window = std::make_unique<TfmMain>(platform, platform, std::move(options));
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

  // Enabled states of Save, Create Patch, Apply Patch, Limits, Battle, Magic, Misc and Sprites.
  std::vector<bool> RomControls() const {
    std::vector<bool> states = {Find<QAction>("mFileSave")->isEnabled(),
                                Find<QAction>("mFileCreatePatch")->isEnabled(),
                                Find<QAction>("mFileApplyPatch")->isEnabled()};
    for (const char* name : {"btnLimits", "btnBattle", "btnMagic", "btnMisc", "btnSprites"})
      states.push_back(Find<QPushButton>(name)->isEnabled());
    return states;
  }

  void ChooseInOpenDialog(std::optional<std::string> answer) {
    platform.fileDialogAnswers.push_back(std::move(answer));
    Find<QAction>("mFileOpen")->trigger();
  }

  // Starts the program and opens a test ROM from disk; returns the file's bytes.
  std::vector<Byte> StartWithRomOnDisk() {
    Start();
    const std::vector<Byte> bytes = MakeTestRom();
    ChooseInOpenDialog(folder.Write("game.nes", bytes));
    return bytes;
  }

  // Presses an editor's button and lets edit work in its dialog, which must be shown modally
  // with the caption (any caption, when it is empty).
  void EditInEditor(const char* button, const char* caption,
                    const std::function<void(QDialog&)>& edit) {
    bool shownModal = false;
    QTimer::singleShot(0, [&] {
      auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
      if (!dialog) return;
      shownModal = true;
      if (*caption) {
        EXPECT_EQ(dialog->windowTitle(), caption);
      }
      edit(*dialog);
    });
    QTest::mouseClick(Find<QPushButton>(button), Qt::LeftButton);
    EXPECT_TRUE(shownModal) << button;
  }

  // Opens a test ROM from disk and edits it in one editor; the file stays as it was opened,
  // which is returned.
  std::vector<Byte> EditOpenedRom(const char* button, const char* caption,
                                  const std::function<void(QDialog&)>& edit) {
    const std::vector<Byte> bytes = StartWithRomOnDisk();
    EditInEditor(button, caption, edit);
    EXPECT_EQ(folder.Read("game.nes"), bytes);
    return bytes;
  }

  // The caption as the window system shows it.
  QString Caption() const { return window->windowHandle()->title(); }
  QString GameFile() const { return Find<QLabel>("lblGameFile")->text(); }

  ScratchFolder folder;
  RecordingPlatform platform;
  std::unique_ptr<TfmMain> window;
};

const std::vector<bool> kAllDisabled(8, false);
const std::vector<bool> kAllButSprites = {true, true, true, true, true, true, true, false};
const std::vector<bool> kAllEnabled(8, true);

TEST_F(MainWindowTest, WithoutDataFileTheWindowSaysSoAndOpensNothing) {
  Start();
  EXPECT_EQ(Find<QLabel>("lblError")->text(),
            "Quillon Dat file not found.. sprite-dialog editing disabled.");
  EXPECT_TRUE(platform.events.empty());
  EXPECT_EQ(Caption(), "Brimwell");
  EXPECT_EQ(RomControls(), kAllDisabled);

  const std::string rom = folder.Write("game.NES", MakeTestRom());
  ChooseInOpenDialog(rom);

  EXPECT_EQ(platform.Messages(), std::vector<ShownEvent>{});
  EXPECT_EQ(RomControls(), kAllButSprites);
  EXPECT_EQ(Caption(), QString::fromStdString("Brimwell - " + rom));
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

// A ROM named on the command line is opened instead of Quillon's last one, also without a data
// file; the data file still gives the names.
TEST_F(MainWindowTest, RomNamedOnTheCommandLineIsOpenedAtFirstShowing) {
  for (bool withDataFile : {false, true}) {
    SCOPED_TRACE(withDataFile ? "with data file" : "without data file");
    const auto bytes = MakeTestRom();
    const std::string rom = folder.Write("named.nes", bytes);
    if (withDataFile)
      testing::PlaceQuillonFile(folder,
                                testing::MakeCurrentQuillonFile(
                                    {.lastRomPath = folder.Write("last.nes", MakeTestRom(512)),
                                     .spriteNames = {{0, "Bat"}}}));
    Start({.romPath = rom});

    EXPECT_TRUE(platform.events.empty());
    EXPECT_EQ(RomControls(), withDataFile ? kAllEnabled : kAllButSprites);
    EXPECT_EQ(Caption(), QString::fromStdString("Brimwell - " + rom));
    EXPECT_EQ(GameFile(), QString::fromStdString(rom));
    EXPECT_EQ(window->Document().Image().Contents(), bytes);
    EXPECT_EQ(window->SpriteNames().front().name, withDataFile ? "Bat" : "");
    EXPECT_EQ(Find<QLabel>("lblError")->text().isEmpty(), withDataFile);
  }
}

TEST_F(MainWindowTest, RomNamedOnTheCommandLineThatCannotBeOpenedFailsAsTheOpenMenuDoes) {
  struct Case {
    const char* name;
    std::string rom;
    std::vector<ShownEvent> shown;
  };
  const std::vector<Case> cases = {
      {"missing",
       folder.File("missing.nes"),
       {ShownEvent::Beep(SystemSound::Hand), ShownEvent::Box(MessageKind::Error, kCannotLoad)}},
      {"too short",
       folder.Write("short.nes", MakeTestRom(kMinRomLength - 1)),
       {ShownEvent::Beep(SystemSound::Exclamation),
        ShownEvent::Box(MessageKind::Warning, kNotFinalFantasy)}},
  };
  WriteDataFileNaming(folder.Write("last.nes", MakeTestRom()));
  for (const Case& test : cases) {
    SCOPED_TRACE(test.name);
    platform.events.clear();
    Start({.romPath = test.rom});

    EXPECT_EQ(platform.Messages(), test.shown);
    EXPECT_EQ(platform.FileDialogCount(), 0);
    EXPECT_EQ(RomControls(), kAllDisabled);
    EXPECT_EQ(Caption(), "Brimwell");
    EXPECT_TRUE(window->Document().Image().Empty());
    ChooseInOpenDialog(std::nullopt);
    EXPECT_EQ(platform.events.back().text, test.rom);
  }
}

// --data replaces the file beside the executable, which here would be refused if it were read.
TEST_F(MainWindowTest, DataFileNamedOnTheCommandLineIsReadInsteadWithTheSameRules) {
  struct Case {
    const char* name;
    std::optional<std::vector<Byte>> file;
    bool heldOpenElsewhere;
    bool loaded;
    std::vector<ShownEvent> shown;
  };
  const std::string rom = folder.Write("game.nes", MakeTestRom());
  const std::vector<Case> cases = {
      {"readable", testing::MakeCurrentQuillonFile({.lastRomPath = rom}), false, true, {}},
      {"missing", std::nullopt, false, false, {}},
      {"held open", testing::MakeCurrentQuillonFile({.lastRomPath = rom}), true, false, {}},
      {"bad signature",
       std::vector<Byte>{'Q', 'W', 'L', '0'},
       false,
       false,
       {ShownEvent::Box(MessageKind::Warning, "Invalid Quillon data file")}},
  };
  folder.Write("Quillon.dat", {'n', 'o', 'p', 'e'});
  ScratchFolder elsewhere;
  for (const Case& test : cases) {
    SCOPED_TRACE(test.name);
    platform.events.clear();
    const std::string dataFile = elsewhere.File("names.dat");
    std::filesystem::remove(dataFile);
    if (test.file) elsewhere.Write("names.dat", *test.file);
    std::optional<testing::FileHeldOpen> holder;
    if (test.heldOpenElsewhere) holder.emplace(dataFile, testing::HeldFor::Reading);
    Start({.dataFile = dataFile});
    holder.reset();

    EXPECT_EQ(platform.events, test.shown);
    EXPECT_EQ(window->DataLoaded(), test.loaded);
    EXPECT_EQ(RomControls(), test.loaded ? kAllEnabled : kAllDisabled);
    const bool notFound = !test.file || test.heldOpenElsewhere;
    EXPECT_EQ(Find<QLabel>("lblError")->text().isEmpty(), !notFound);
  }
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

// Every editor reads the image of the last successful open, however many opens failed between.
TEST_F(MainWindowTest, EditorsAfterAFailedOpenEditTheNextOpenedRom) {
  WriteDataFileNaming(folder.Write("first.nes", MakeTestRom()));
  Start();
  ChooseInOpenDialog(folder.Write("short.nes", MakeTestRom(512)));
  std::vector<Byte> next = MakeTestRom(kMinRomLength + 16);
  next[0x2D9B6] = 0xC5;  // maximum HP 2500
  next[0x2D9B7] = 0x09;
  ChooseInOpenDialog(folder.Write("next.nes", next));
  ASSERT_EQ(RomControls(), kAllEnabled);

  for (const char* button : {"btnMagic", "btnBattle", "btnMisc", "btnSprites"})
    EditInEditor(button, "", [](QDialog& dialog) {
      QTest::mouseClick(dialog.findChild<QPushButton*>("btnOK"), Qt::LeftButton);
    });
  EXPECT_EQ(window->Document().Image().Contents(), next);  // OK stored what was shown

  EditInEditor("btnLimits", "Game Parameter Limits", [](QDialog& dialog) {
    testing::PatchDialogDriver ui(dialog, "lbLimitType");
    EXPECT_EQ(ui.Find("eHPlimit")->text(), "2500");
    ui.Type("eHPlimit", "3000");
    ui.Press("btnOK");
  });
  EXPECT_EQ(window->Document().Image()[0x2D9B6], 0xB9);  // 3001
  EXPECT_EQ(window->Document().Image().Length(), next.size());
}

// The editors exist from start-up, in the start order, but their widgets appear at the first
// showing and stay for every later one.
TEST_F(MainWindowTest, EditorsBuildTheirWidgetsAtTheirFirstShowingAndKeepThem) {
  WriteDataFileNaming(folder.Write("game.nes", MakeTestRom()));
  Start();
  QStringList editors;
  for (QDialog* dialog : window->findChildren<QDialog*>(Qt::FindDirectChildrenOnly)) {
    editors << dialog->objectName();
    EXPECT_TRUE(dialog->findChildren<QWidget*>().isEmpty()) << dialog->objectName().toStdString();
  }
  EXPECT_EQ(editors, (QStringList{"dlgMagic", "dlgBattle", "dlgMisc", "dlgSprites", "dlgLimits"}));

  for (const char* button : {"btnLimits", "btnBattle", "btnMagic", "btnSprites", "btnMisc"}) {
    QList<QWidget*> firstShowing;
    for (int showing = 0; showing < 2; ++showing)
      EditInEditor(button, "", [&](QDialog& dialog) {
        const QList<QWidget*> widgets = dialog.findChildren<QWidget*>();
        if (showing == 0) firstShowing = widgets;
        EXPECT_FALSE(widgets.isEmpty()) << button;
        EXPECT_EQ(widgets, firstShowing) << button;
        dialog.reject();
      });
  }
}

// The editors refer to the document and the name lists, so they go while those still exist.
TEST_F(MainWindowTest, EditorsAreDestroyedBeforeTheDocument) {
  Start();
  QObject* whole = window.get();
  std::vector<bool> windowStillWhole;
  for (QDialog* dialog : window->findChildren<QDialog*>(Qt::FindDirectChildrenOnly))
    QObject::connect(dialog, &QObject::destroyed, [&, whole] {
      // Once the window's own destructor has run, it is no longer a TfmMain.
      windowStillWhole.push_back(qobject_cast<TfmMain*>(whole) != nullptr);
    });
  window.reset();
  EXPECT_EQ(windowStillWhole, std::vector<bool>(5, true));
}

// A ROM in a folder named beyond ASCII opens from the open dialog's answer and from the
// command line, and saves back to that same file.
TEST_F(MainWindowTest, RomNamedBeyondAsciiOpensAndSaves) {
  const std::string name = "Ærø ROMs/ファイナル.nes";
  std::filesystem::create_directory(testing::Utf8Path(folder.File("Ærø ROMs")));
  const std::string rom = folder.Write(name, MakeTestRom());
  for (const bool fromCommandLine : {false, true}) {
    SCOPED_TRACE(fromCommandLine ? "command line" : "open dialog");
    if (fromCommandLine) {
      Start(ParseCommandLine({QStringLiteral("brimwell"), QString::fromStdString(rom)}).options);
    } else {
      Start();
      ChooseInOpenDialog(rom);
    }
    ASSERT_TRUE(window->Document().RomLoaded());
    EXPECT_TRUE(window->windowTitle().endsWith(QString::fromUtf8("ファイナル.nes")));
    window->Document().Image()[0x2D9B6] ^= 0xFF;
    Find<QAction>("mFileSave")->trigger();
    EXPECT_EQ(folder.Read(name), window->Document().Image().Contents());
  }
}

TEST_F(MainWindowTest, SaveWritesTheImageAndWarnsWhenTheFileCannotBeWritten) {
  Start();
  const auto original = MakeTestRom();
  const std::string rom = folder.Write("game.nes", original);
  ChooseInOpenDialog(rom);
  window->Document().Image()[0x2D9B6] = 0x10;
  const auto edited = window->Document().Image().Contents();

  namespace fs = std::filesystem;
  const fs::perms writable =
      fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write;
  fs::permissions(rom, writable, fs::perm_options::remove);
  Find<QAction>("mFileSave")->trigger();
  EXPECT_EQ(platform.Messages(),
            (std::vector<ShownEvent>{ShownEvent::Beep(SystemSound::Exclamation),
                                     ShownEvent::Box(MessageKind::Warning,
                                                     "Could not save the ROM data.  The ROM file "
                                                     "may be in use by another program.")}));
  EXPECT_EQ(folder.Read("game.nes"), original);
  EXPECT_EQ(window->Document().Image().Contents(), edited);
  EXPECT_EQ(RomControls(), kAllButSprites);

  fs::permissions(rom, fs::perms::owner_write, fs::perm_options::add);
  Find<QAction>("mFileSave")->trigger();
  EXPECT_EQ(platform.Messages().size(), 2u);
  EXPECT_EQ(folder.Read("game.nes"), edited);
}

// The patch holds the image in memory against the original the user names; applied to that
// original it gives the image back. The format follows the name, else the chosen filter.
TEST_F(MainWindowTest, CreatePatchWritesTheDifferenceFromTheOriginal) {
  const std::vector<Byte> original = StartWithRomOnDisk();
  const auto createPatch = [&](std::string original, std::optional<ChosenFile> saveAs) {
    platform.events.clear();
    platform.fileDialogAnswers = {std::move(original)};
    platform.saveDialogAnswers = {std::move(saveAs)};
    Find<QAction>("mFileCreatePatch")->trigger();
  };
  createPatch(folder.File("game.nes"), ChosenFile{folder.File("none.bps"), 0});
  EXPECT_EQ(platform.FileDialogCount(), 1) << "no difference: nothing to save";
  EXPECT_EQ(platform.Messages().back().kind, MessageKind::Information);

  RomImage& image = window->Document().Image();
  image[0x2D9B6] = 0xC5;
  image[image.Length() - 1] ^= 0xFF;
  const struct {
    ChosenFile saveAs;
    const char* written;
    const char* magic;
  } cases[] = {{{folder.File("hack.IPS"), 0}, "hack.IPS", "PATCH"},
               {{folder.File("hack"), 1}, "hack.ips", "PATCH"},
               {{folder.File("hack"), 0}, "hack.bps", "BPS1"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.written);
    createPatch(folder.File("game.nes"), c.saveAs);
    const std::vector<Byte> patch = folder.Read(c.written);
    ASSERT_GT(patch.size(), std::strlen(c.magic)) << platform.Messages().back().text;
    EXPECT_EQ(std::string(patch.begin(), patch.begin() + std::strlen(c.magic)), c.magic);
    EXPECT_EQ(ApplyPatch(patch, original).bytes, image.Contents());
    EXPECT_EQ(platform.Messages().back().kind, MessageKind::Information);
    EXPECT_NE(platform.Messages().back().text.find(folder.File(c.written)), std::string::npos);
  }

  const auto entries = folder.Entries();
  createPatch(folder.Write("short.nes", MakeTestRom(512)), ChosenFile{folder.File("x.bps"), 0});
  EXPECT_EQ(platform.Messages().back().kind, MessageKind::Warning);
  EXPECT_EQ(platform.FileDialogCount(), 1) << "a short original asks for no patch file";
  EXPECT_EQ(folder.Entries().size(), entries.size() + 1);  // only short.nes is new
}

// A patch changes the image in memory, as an editor's OK does, and the box says what it changed in
// settings; one that cannot be applied to this image changes nothing.
TEST_F(MainWindowTest, ApplyPatchChangesTheImageInMemoryOrNothing) {
  const std::vector<Byte> original = StartWithRomOnDisk();
  std::vector<Byte> edited = original;
  edited[0x2D9B6] = 0x10;  // maximum HP 9999, stored + 1
  edited[0x2D9B7] = 0x27;
  edited[0x20000] ^= 1;
  std::vector<Byte> otherRom = original;
  otherRom[0x10] ^= 1;
  std::vector<Byte> longer = edited;
  longer.push_back(0);
  const auto applyPatch = [&](const std::string& name, const PatchResult& patch) {
    platform.events.clear();
    platform.fileDialogAnswers = {folder.Write(name, patch.bytes)};
    Find<QAction>("mFileApplyPatch")->trigger();
    return platform.Messages().back();
  };
  EXPECT_EQ(applyPatch("other.bps", CreatePatch(PatchFormat::Bps, otherRom, edited)),
            ShownEvent::Box(MessageKind::Warning, std::string(kPatchForOtherRomError)));
  EXPECT_EQ(applyPatch("longer.ips", CreatePatch(PatchFormat::Ips, original, longer)),
            ShownEvent::Box(MessageKind::Warning, std::string(kPatchChangesLengthError)));
  EXPECT_EQ(window->Document().Image().Contents(), original);

  const ShownEvent applied =
      applyPatch("hack.bps", CreatePatch(PatchFormat::Bps, original, edited));
  EXPECT_EQ(applied.kind, MessageKind::Information);
  EXPECT_NE(applied.text.find("limits.HPlimit: 999 \xE2\x86\x92 9999\n"), std::string::npos)
      << applied.text;
  EXPECT_NE(applied.text.find("1 other byte changed"), std::string::npos) << applied.text;
  EXPECT_EQ(window->Document().Image().Contents(), edited);
  EXPECT_EQ(folder.Read("game.nes"), original);
}

// A ".nes" file dropped on the window opens as if chosen in the open dialog; other files do not.
TEST_F(MainWindowTest, DroppingANesFileOpensIt) {
  Start();
  const auto drop = [&](const std::string& path) {
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(QString::fromStdString(path))});
    // Qt hands a drop to the widget that took the drag when it entered.
    QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &data, Qt::LeftButton, {});
    QApplication::sendEvent(window.get(), &enter);
    QDropEvent event(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, {});
    QApplication::sendEvent(window.get(), &event);
  };
  drop(folder.Write("notes.txt", MakeTestRom()));
  EXPECT_EQ(RomControls(), kAllDisabled);
  const std::string rom = folder.Write("game.NES", MakeTestRom());
  drop(rom);
  EXPECT_EQ(RomControls(), kAllButSprites);
  EXPECT_EQ(window->Document().RomPath(), rom);
  EXPECT_EQ(platform.FileDialogCount(), 0);
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
  std::optional<testing::FileHeldOpen> other(std::in_place, rom, testing::HeldFor::Writing);
  Start();
  ChooseInOpenDialog(rom);
  other.reset();
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
  QStringList menu;
  for (const QAction* entry : Find<QMenu>("mFile")->actions()) menu << entry->text();
  EXPECT_EQ(menu, (QStringList{"&Open ROM...", "&Save ROM", "Create &Patch...", "&Apply Patch...",
                               "", "E&xit"}));
  const std::vector<std::pair<const char*, const char*>> buttons = {{"btnLimits", "&Limits..."},
                                                                    {"btnBattle", "&Battle..."},
                                                                    {"btnMagic", "&Magic..."},
                                                                    {"btnSprites", "&Sprites..."},
                                                                    {"btnMisc", "Mis&c..."}};
  for (const auto& [name, text] : buttons) EXPECT_EQ(Find<QPushButton>(name)->text(), text);
}

// The limits editor on a ROM opened from disk: the edit reaches the file only through Save.
TEST_F(MainWindowTest, LimitsEditorEditsTheOpenedRomWhichSaveWritesBack) {
  const std::vector<Byte> bytes =
      EditOpenedRom("btnLimits", "Game Parameter Limits", [](QDialog& dialog) {
        testing::PatchDialogDriver ui(dialog, "lbLimitType");
        ui.Type("eHPlimit", "2500");
        ui.Press("btnOK");
      });

  Find<QAction>("mFileSave")->trigger();
  std::vector<Byte> expected = bytes;
  expected[0x2D9B6] = 0xC5;  // 2501
  expected[0x2D9B7] = 0x09;
  EXPECT_EQ(folder.Read("game.nes"), expected);
  EXPECT_TRUE(platform.Messages().empty());
}

// The misc editor on a ROM opened from disk: the edit reaches the file only through Save.
TEST_F(MainWindowTest, MiscEditorEditsTheOpenedRomWhichSaveWritesBack) {
  const std::vector<Byte> bytes =
      EditOpenedRom("btnMisc", "Miscellaneous additions", [](QDialog& dialog) {
        testing::PatchDialogDriver ui(dialog, "lbMagicType");
        ToggleAsUser(ui.Find<QCheckBox>("ckShipGameEnabled"), UserToggle::Click);
        ui.Type("eShipGold", "70000");
        ui.PickGroup(1);
        ToggleAsUser(ui.Find<QRadioButton>("rbLandWalk"), UserToggle::Click);
        ui.Press("btnOK");
      });

  Find<QAction>("mFileSave")->trigger();
  std::vector<Byte> expected = bytes;
  expected[0x3C279] = 0xA9;  // the ship game switched off
  expected[0x3C8B5] = 0x70;  // 70000 gold
  expected[0x3C8B9] = 0x11;
  expected[0x3C8BD] = 0x01;
  expected[0x3C6EB] = 0x01;  // the airship lands on any walkable tile
  EXPECT_EQ(folder.Read("game.nes"), expected);
  EXPECT_TRUE(platform.Messages().empty());
}

// The magic editor on a ROM opened from disk: removing the fix puts back the byte that the file
// held when it was opened, also after a save of the fixed image.
TEST_F(MainWindowTest, MagicEditorEditsTheOpenedRomWhichSaveWritesBack) {
  const std::vector<Byte> bytes = EditOpenedRom("btnMagic", "Magic additions", [](QDialog& dialog) {
    testing::PatchDialogDriver ui(dialog, "lbMagicType");
    ToggleAsUser(ui.Find<QCheckBox>("ckFixLOCK"), UserToggle::Click);
    ui.Type("eNeg2HPLimit", "512");
    ui.Press("btnOK");
  });
  ASSERT_NE(bytes[0x33833], 0x46);

  Find<QAction>("mFileSave")->trigger();
  std::vector<Byte> expected = bytes;
  expected[0x33833] = 0x46;
  expected[0x33A5E] = 0xF0;
  expected[0x33A5F] = 0x17;
  expected[0x33A60] = 0xEA;
  expected[0x33AF0] = 0x00;  // 512
  expected[0x33AF5] = 0x02;
  EXPECT_EQ(folder.Read("game.nes"), expected);

  EditInEditor("btnMagic", "Magic additions", [](QDialog& dialog) {
    testing::PatchDialogDriver ui(dialog, "lbMagicType");
    ToggleAsUser(ui.Find<QCheckBox>("ckFixLOCK"), UserToggle::Click);
    ui.Press("btnOK");
  });
  Find<QAction>("mFileSave")->trigger();
  expected[0x33833] = bytes[0x33833];
  expected[0x33A5E] = 0x4C;
  expected[0x33A5F] = 0x67;
  expected[0x33A60] = 0xBA;
  EXPECT_EQ(folder.Read("game.nes"), expected);
  EXPECT_TRUE(platform.Messages().empty());
}

// The battle editor on a ROM opened from disk: switching the weapon fix on moves the hits into
// the fixed code, and the file changes only through Save.
TEST_F(MainWindowTest, BattleEditorEditsTheOpenedRomWhichSaveWritesBack) {
  const std::vector<Byte> bytes =
      EditOpenedRom("btnBattle", "Battle additions", [](QDialog& dialog) {
        testing::PatchDialogDriver ui(dialog, "lbBattleType");
        ToggleAsUser(ui.Find<QCheckBox>("ckFixWeapon"), UserToggle::Space);
        ui.Type("eBaseHits", "7");
        auto* hitPct = ui.Find<QComboBox>("cbHitPct");
        hitPct->setFocus();
        QTest::keyClick(hitPct, Qt::Key_Down);  // "16 % (2x)": four shifts
        ui.Press("btnOK");
      });

  Find<QAction>("mFileSave")->trigger();
  std::vector<Byte> expected = bytes;
  expected[0x31332] = 0xF2;
  std::ranges::copy(BrimwellConst::WeaponFixPatched, expected.begin() + 0x32CF1);
  expected[0x32D75] = 0xEA;
  expected[0x32D78] = 7;
  EXPECT_EQ(folder.Read("game.nes"), expected);
  EXPECT_TRUE(platform.Messages().empty());
}

// A path is text, not markup, and "[*]" in it is not Qt's modified marker; a long path is
// elided in the label, whole in its tool tip, and never widens the fixed window.
TEST_F(MainWindowTest, PathsShowAsWrittenAndTheWindowKeepsItsFixedSize) {
  Start();
  const QSize size = window->size();
  EXPECT_EQ(window->minimumSize(), window->maximumSize());
  EXPECT_FALSE(window->windowFlags().testFlag(Qt::WindowMaximizeButtonHint));

  for (const std::string& name : {std::string("<b>bold[*].nes"), std::string(200, 'r') + ".nes"}) {
    SCOPED_TRACE(name);
    std::string rom;
    try {
      rom = folder.Write(name, MakeTestRom());
    } catch (const std::runtime_error& error) {
      // Windows' file names cannot hold "<", ">" or "*", so no path shows markup there.
      std::cout << "Not tried on this system: " << error.what() << '\n';
      continue;
    }
    ChooseInOpenDialog(rom);
    QApplication::processEvents();
    const QString path = QString::fromStdString(rom);
    EXPECT_EQ(Caption(), "Brimwell - " + path);
    auto* label = Find<QLabel>("lblGameFile");
    EXPECT_EQ(label->textFormat(), Qt::PlainText);
    EXPECT_EQ(label->toolTip(), path);
    EXPECT_EQ(QAccessible::queryAccessibleInterface(label)->text(QAccessible::Name), path);
    if (name.size() < 30)
      EXPECT_EQ(GameFile(), path);
    else
      EXPECT_TRUE(GameFile().contains(QChar(0x2026)));  // elided
    EXPECT_EQ(window->size(), size);
  }
}

TEST_F(MainWindowTest, EveryMnemonicOpensItsEditorOrItsMenu) {
  WriteDataFileNaming(folder.Write("game.nes", MakeTestRom()));
  // A mnemonic presses its button as a click does, a moment later, and the editor then runs
  // modally. Each key goes to a freshly started window, as the first key a user presses would.
  const std::pair<Qt::Key, const char*> mnemonics[] = {
      {Qt::Key_L, "Game Parameter Limits"},   {Qt::Key_B, "Battle additions"},
      {Qt::Key_M, "Magic additions"},         {Qt::Key_S, "Sprite Dialog Properties editor"},
      {Qt::Key_C, "Miscellaneous additions"},
  };
  for (const auto& [key, caption] : mnemonics) {
    SCOPED_TRACE(caption);
    Start();
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    QString shown;
    QTimer closer;
    QObject::connect(&closer, &QTimer::timeout, [&] {
      if (QWidget* dialog = QApplication::activeModalWidget()) {
        shown = dialog->windowTitle();
        dialog->close();
      }
    });
    closer.start(20);
    QTest::keyClick(window.get(), key, Qt::AltModifier);
    EXPECT_TRUE(QTest::qWaitFor([&] { return !shown.isEmpty(); }, 2000));
    EXPECT_EQ(shown, caption);
  }

  Start();
  auto* fileMenu = Find<QMenu>("mFile");
  window->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
  QTest::keyClick(window.get(), Qt::Key_F, Qt::AltModifier);
  EXPECT_TRUE(QTest::qWaitFor([&] { return fileMenu->isVisible(); }, 1000));
  fileMenu->close();
}

TEST_F(MainWindowTest, TabOrderRunsLimitsBattleMagicSpritesMisc) {
  Start();
  const char* order[] = {"btnLimits", "btnBattle", "btnMagic", "btnSprites", "btnMisc"};
  for (std::size_t i = 0; i + 1 < std::size(order); ++i)
    EXPECT_EQ(Find<QPushButton>(order[i])->nextInFocusChain(), Find<QPushButton>(order[i + 1]))
        << order[i];
}

}  // namespace
}  // namespace brimwell
