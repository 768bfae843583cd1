#pragma once

// The main window: owner of the open ROM, the Quillon data and its name lists, and the five
// editor dialogs. It opens and saves the ROM, makes a patch of it against the original game,
// applies a patch to it, and shows one editor per button. A ".nes" file dropped on it is opened.

#include <QMainWindow>

#include "CommandLine.h"
#include "platform/PlatformDialogs.h"
#include "rom/QuillonData.h"
#include "rom/RomDocument.h"

class QAction;
class QLabel;
class QPushButton;

namespace brimwell {

class EditorDialog;
class PathLabel;

class TfmMain : public QMainWindow {
  Q_OBJECT

 public:
  // The options may name the ROM to open at start-up and the Quillon data file to read.
  TfmMain(PlatformDialogs& dialogs, PlatformFiles& files, StartOptions options = {},
          QWidget* parent = nullptr);
  // Destroys the editors first: they refer to the document and the name lists.
  ~TfmMain() override;

  // Creates the editor dialogs, each once and hidden, in the program's start order.
  void CreateEditorDialogs();

  const RomDocument& Document() const { return document_; }
  RomDocument& Document() { return document_; }
  bool DataLoaded() const { return dataLoaded_; }
  const SpriteNameList& SpriteNames() const { return spriteNames_; }
  const DialogueNameList& DialogueNames() const { return dialogueNames_; }

 protected:
  void showEvent(QShowEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dropEvent(QDropEvent* event) override;

 private:
  void FormCreate();
  void FormShow();
  void CreateWidgets();
  void CreateMenu();
  void CreateLayout();
  void ConnectWidgets();

  void mFileOpenClick();
  void mFileSaveClick();
  void mFileCreatePatchClick();
  void mFileApplyPatchClick();
  void mFileExitClick();

  void OpenRom(bool skipDialog);
  void SaveRom();
  void CreatePatch();
  bool OpenOriginalRom(RomDocument& original);
  void ApplyPatchFile();
  void ShowRomPath();
  void SetRomControlsEnabled(bool on);
  void Complain(SystemSound sound, MessageKind kind, const char* text);
  void ShowEditor(EditorDialog* dialog);

  PlatformDialogs& dialogs_;
  PlatformFiles& files_;
  StartOptions startOptions_;
  RomDocument document_;
  QuillonRecord quillon_;
  bool dataLoaded_ = false;
  bool autoOpenPending_ = false;
  SpriteNameList spriteNames_;
  DialogueNameList dialogueNames_;

  QAction* mFileOpen = nullptr;
  QAction* mFileSave = nullptr;
  QAction* mFileCreatePatch = nullptr;
  QAction* mFileApplyPatch = nullptr;
  QAction* mFileExit = nullptr;
  QLabel* Label4 = nullptr;
  QLabel* Label1 = nullptr;
  QLabel* Label2 = nullptr;
  PathLabel* lblGameFile = nullptr;
  QPushButton* btnLimits = nullptr;
  QPushButton* btnBattle = nullptr;
  QPushButton* btnMagic = nullptr;
  QPushButton* btnSprites = nullptr;
  QPushButton* btnMisc = nullptr;
  QLabel* Label3 = nullptr;
  QLabel* lblError = nullptr;

  // The patch editors work on the document's image itself; the sprite editor on a copy of it.
  EditorDialog* dlgMagic = nullptr;
  EditorDialog* dlgBattle = nullptr;
  EditorDialog* dlgMisc = nullptr;
  EditorDialog* dlgSprites = nullptr;
  EditorDialog* dlgLimits = nullptr;
};

}  // namespace brimwell
