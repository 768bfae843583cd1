#include "fmMain.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFrame>
#include <QGridLayout>
#include <QLabel>
#include <QMenuBar>
#include <QMimeData>
#include <QPushButton>
#include <QVBoxLayout>

#include "Labels.h"
#include "PathLabel.h"
#include "cli/SettingChanges.h"
#include "patches/TdlgBattle.h"
#include "patches/TdlgLimits.h"
#include "patches/TdlgMagic.h"
#include "patches/TdlgMisc.h"
#include "rom/PatchFile.h"
#include "sprites/TdlgSprites.h"

namespace brimwell {
namespace {

const QString kTitle = QStringLiteral("Brimwell");
const QString kTitlePrefix = QStringLiteral("Brimwell - ");

const char kQuillonMissing[] = "Quillon Dat file not found.. sprite-dialog editing disabled.";
const char kNothingLoaded[] = "No FF1 NES ROM file has been loaded.";

const std::vector<FileFilter> kRomFilters = {
    {"Final Fantasy 1 ROMs", "*.NES"},
    {"Any files", "*.*"},
};

const char kChooseOriginal[] = "Choose the unmodified original ROM";
const char kSavePatchAs[] = "Save the patch as";
const char kCannotReadOriginal[] = "Could not read the original ROM.";
const char kOriginalNotFinalFantasy[] = "The original ROM is not based on Final Fantasy 1 NES.";
const char kNothingToPatch[] =
    "The ROM in memory is the same as the original: a patch would hold nothing.";

// In the order of the save dialog's filters: BPS, which checks that it is applied to the right
// ROM, comes first and is chosen unless the user picks IPS.
const std::vector<FileFilter> kPatchFilters = {
    {"BPS patches", "*.bps"},
    {"IPS patches", "*.ips"},
};
constexpr PatchFormat kPatchFilterFormats[] = {PatchFormat::Bps, PatchFormat::Ips};

// The format the name's extension gives, or else the chosen filter's, whose extension the name
// then gets.
PatchFormat TakePatchFormat(ChosenFile& chosen) {
  if (const auto named = PatchFormatOfFileName(chosen.path)) return *named;
  const std::size_t filter = chosen.filter < std::size(kPatchFilterFormats) ? chosen.filter : 0;
  chosen.path += kPatchFilters[filter].pattern.substr(1);
  return kPatchFilterFormats[filter];
}

const char kChoosePatch[] = "Choose the patch to apply";
const char kCannotReadPatch[] = "Could not read the patch file.";
const char kPatchChangesNothing[] = "The patch changes nothing in this ROM.";
const std::vector<FileFilter> kPatchesToApply = {
    {"IPS and BPS patches", "*.ips *.bps"},
    {"Any files", "*.*"},
};
// The settings that a box lists before it only counts the rest.
constexpr std::size_t kListedSettingChanges = 15;
// A rightwards arrow, in UTF-8 as message boxes take their text.
const char kChangesTo[] = " \xE2\x86\x92 ";

// The same file with the extension of a patch, as the save dialog's suggestion.
std::string PatchNameFor(const std::string& romPath) {
  const auto dot = romPath.find_last_of('.');
  const auto slash = romPath.find_last_of("/\\");
  const bool hasExtension = dot != std::string::npos && (slash == std::string::npos || dot > slash);
  return (hasExtension ? romPath.substr(0, dot) : romPath) + ".bps";
}

std::string PatchWritten(const std::string& path, std::size_t differing) {
  return "The patch " + path + " was written: " + std::to_string(differing) +
         (differing == 1 ? " byte differs" : " bytes differ") + " from the original.";
}

// What an applied patch changed, in the editors' settings, as far as a message box holds them,
// and how many bytes it changed besides.
std::string PatchApplied(const cli::ImageChanges& changes) {
  if (changes.settings.empty() && changes.otherBytes.empty()) return kPatchChangesNothing;
  std::string text =
      "The patch was applied to the ROM in memory; \"Save ROM\" writes it to the file.\n\n";
  text += changes.settings.empty() ? "No setting changed.\n" : "Settings changed:\n";
  const std::size_t listed = std::min(changes.settings.size(), kListedSettingChanges);
  for (std::size_t i = 0; i < listed; ++i) {
    const cli::SettingChange& change = changes.settings[i];
    text += change.Key() + ": " + cli::ValueText(change.before) + kChangesTo +
            cli::ValueText(change.after) + "\n";
  }
  if (changes.settings.size() > listed)
    text += "and " + std::to_string(changes.settings.size() - listed) + " more\n";
  const std::size_t otherBytes = changes.OtherByteCount();
  if (otherBytes == 0) return text + "\nNo other byte changed.";
  return text + "\n" + std::to_string(otherBytes) +
         (otherBytes == 1 ? " other byte" : " other bytes") + " changed, outside every setting.";
}

// The one local file a drag carries, when it is a ".nes" file in any letter case.
std::optional<QString> DraggedRom(const QMimeData* data) {
  if (!data->hasUrls() || data->urls().size() != 1 || !data->urls().front().isLocalFile())
    return std::nullopt;
  const QString path = data->urls().front().toLocalFile();
  if (!path.endsWith(QStringLiteral(".nes"), Qt::CaseInsensitive)) return std::nullopt;
  return QDir::toNativeSeparators(path);
}

// Qt reads "[*]" in a caption as the place of its modified marker and drops it; doubled, it
// shows as written.
QString LiteralCaption(QString caption) {
  return caption.replace(QStringLiteral("[*]"), QStringLiteral("[*][*]"));
}

QPushButton* MakeButton(const char* name, const QString& text) {
  auto* button = new QPushButton(text);
  button->setObjectName(QString::fromLatin1(name));
  button->setEnabled(false);
  return button;
}

QFrame* MakeRule() {
  auto* rule = new QFrame;
  rule->setFrameShape(QFrame::HLine);
  rule->setFrameShadow(QFrame::Sunken);
  return rule;
}

}  // namespace

TfmMain::TfmMain(PlatformDialogs& dialogs, PlatformFiles& files, StartOptions options,
                 QWidget* parent)
    : QMainWindow(parent),
      dialogs_(dialogs),
      files_(files),
      startOptions_(std::move(options)),
      document_(files) {
  setObjectName(QStringLiteral("fmMain"));
  CreateWidgets();
  CreateMenu();
  CreateLayout();
  ConnectWidgets();
  setAcceptDrops(true);
  FormCreate();
}

TfmMain::~TfmMain() {
  for (EditorDialog* editor : {dlgMagic, dlgBattle, dlgMisc, dlgSprites, dlgLimits}) delete editor;
}

void TfmMain::FormCreate() {
  setWindowTitle(LiteralCaption(kTitle));
  const std::string dataFile =
      startOptions_.dataFile ? *startOptions_.dataFile : QuillonFileBesideExecutable(files_);
  switch (LoadQuillonData(files_, dataFile, quillon_)) {
    case QuillonLoadResult::Loaded:
      dataLoaded_ = true;
      autoOpenPending_ = true;
      break;
    case QuillonLoadResult::NotFound:
      lblError->setText(QString::fromLatin1(kQuillonMissing));
      break;
    case QuillonLoadResult::InvalidSignature:
      dialogs_.ShowMessage(MessageKind::Warning, kQuillonInvalidMessage);
      break;
  }
  // A ROM the user named is opened whether or not the data file could be read.
  if (startOptions_.romPath) autoOpenPending_ = true;
}

void TfmMain::CreateEditorDialogs() {
  // The start order of the editors; each is created once here and lives until the program ends.
  dlgMagic = new TdlgMagic(document_, this);
  dlgBattle = new TdlgBattle(document_, this);
  dlgMisc = new TdlgMisc(document_, this);
  dlgSprites = new TdlgSprites(document_, spriteNames_, dialogueNames_, this);
  dlgLimits = new TdlgLimits(document_, this);
}

void TfmMain::CreateWidgets() {
  Label4 = NewPlainLabel(QStringLiteral("Do not use Quillon at the same time, unless editing a "
                                        "different ROM.  Otherwise, you could lose your changes "
                                        "when saving in either program."),
                         "Label4");
  Label4->setWordWrap(true);
  Embolden(Label4);

  Label1 = NewPlainLabel(QStringLiteral("Brimwell %1, a rules editor for Final Fantasy "
                                        "on the NES (December 2026)")
                             .arg(QStringLiteral(BRIMWELL_VERSION)),
                         "Label1");
  Label1->setAlignment(Qt::AlignCenter);
  SetTextColour(Label1, Qt::darkBlue);

  Label2 = NewPlainLabel(QStringLiteral("Editing:"), "Label2");
  lblGameFile = new PathLabel;
  lblGameFile->setObjectName(QStringLiteral("lblGameFile"));
  lblGameFile->ShowText(QStringLiteral("(no ROM opened yet)"));
  SetTextColour(lblGameFile, Qt::blue);

  btnLimits = MakeButton("btnLimits", QStringLiteral("&Limits..."));
  btnBattle = MakeButton("btnBattle", QStringLiteral("&Battle..."));
  btnMagic = MakeButton("btnMagic", QStringLiteral("&Magic..."));
  btnSprites = MakeButton("btnSprites", QStringLiteral("&Sprites..."));
  btnMisc = MakeButton("btnMisc", QStringLiteral("Mis&c..."));

  Label3 =
      NewPlainLabel(QStringLiteral("Note:  Send bug reports to: brimwell@example.org"), "Label3");
  Embolden(Label3);
  lblError = NewPlainLabel(QString(), "lblError");
}

void TfmMain::CreateMenu() {
  menuBar()->setObjectName(QStringLiteral("MainMenu1"));
  QMenu* mFile = menuBar()->addMenu(QStringLiteral("&File"));
  mFile->setObjectName(QStringLiteral("mFile"));
  mFileOpen = mFile->addAction(QStringLiteral("&Open ROM..."));
  mFileOpen->setObjectName(QStringLiteral("mFileOpen"));
  mFileOpen->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_O));
  mFileSave = mFile->addAction(QStringLiteral("&Save ROM"));
  mFileSave->setObjectName(QStringLiteral("mFileSave"));
  mFileSave->setEnabled(false);
  mFileCreatePatch = mFile->addAction(QStringLiteral("Create &Patch..."));
  mFileCreatePatch->setObjectName(QStringLiteral("mFileCreatePatch"));
  mFileCreatePatch->setEnabled(false);
  mFileApplyPatch = mFile->addAction(QStringLiteral("&Apply Patch..."));
  mFileApplyPatch->setObjectName(QStringLiteral("mFileApplyPatch"));
  mFileApplyPatch->setEnabled(false);
  mFile->addSeparator()->setObjectName(QStringLiteral("N1"));
  mFileExit = mFile->addAction(QStringLiteral("E&xit"));
  mFileExit->setObjectName(QStringLiteral("mFileExit"));
}

void TfmMain::CreateLayout() {
  auto* editing = new QHBoxLayout;
  editing->addWidget(Label2);
  editing->addWidget(lblGameFile, 1);

  auto* buttons = new QGridLayout;
  buttons->addWidget(btnLimits, 0, 0);
  buttons->addWidget(btnBattle, 0, 1);
  buttons->addWidget(btnMagic, 0, 2);
  buttons->addWidget(btnSprites, 0, 3);
  buttons->addWidget(btnMisc, 1, 0);

  auto* central = new QWidget;
  auto* layout = new QVBoxLayout(central);
  layout->addWidget(MakeRule());
  layout->addWidget(Label4);
  layout->addWidget(Label1);
  layout->addLayout(editing);
  layout->addWidget(MakeRule());
  layout->addLayout(buttons);
  layout->addWidget(Label3);
  layout->addWidget(lblError);
  setCentralWidget(central);

  setTabOrder(btnLimits, btnBattle);
  setTabOrder(btnBattle, btnMagic);
  setTabOrder(btnMagic, btnSprites);
  setTabOrder(btnSprites, btnMisc);

  // A fixed single border: no resizing, no maximise box, and a long path does not widen it.
  Label4->setFixedWidth(460);
  QMainWindow::layout()->setSizeConstraint(QLayout::SetFixedSize);
  setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                 Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                 Qt::WindowCloseButtonHint);
}

void TfmMain::ConnectWidgets() {
  connect(mFileOpen, &QAction::triggered, this, &TfmMain::mFileOpenClick);
  connect(mFileSave, &QAction::triggered, this, &TfmMain::mFileSaveClick);
  connect(mFileCreatePatch, &QAction::triggered, this, &TfmMain::mFileCreatePatchClick);
  connect(mFileApplyPatch, &QAction::triggered, this, &TfmMain::mFileApplyPatchClick);
  connect(mFileExit, &QAction::triggered, this, &TfmMain::mFileExitClick);
  connect(btnLimits, &QPushButton::clicked, this, [this] { ShowEditor(dlgLimits); });
  connect(btnBattle, &QPushButton::clicked, this, [this] { ShowEditor(dlgBattle); });
  connect(btnMagic, &QPushButton::clicked, this, [this] { ShowEditor(dlgMagic); });
  connect(btnSprites, &QPushButton::clicked, this, [this] { ShowEditor(dlgSprites); });
  connect(btnMisc, &QPushButton::clicked, this, [this] { ShowEditor(dlgMisc); });
}

void TfmMain::showEvent(QShowEvent* event) {
  QMainWindow::showEvent(event);
  FormShow();
}

// The start-up open, made once, at the first showing: of the ROM named on the command line, or
// else of the one that Quillon had open last.
void TfmMain::FormShow() {
  if (!autoOpenPending_) return;
  document_.SetRomPath(startOptions_.romPath ? *startOptions_.romPath : LastRomPath(quillon_));
  OpenRom(true);
  autoOpenPending_ = false;
}

void TfmMain::mFileOpenClick() {
  OpenRom(autoOpenPending_);
}

void TfmMain::mFileSaveClick() {
  SaveRom();
}

void TfmMain::mFileCreatePatchClick() {
  CreatePatch();
}

void TfmMain::mFileApplyPatchClick() {
  ApplyPatchFile();
}

void TfmMain::mFileExitClick() {
  close();
}

void TfmMain::OpenRom(bool skipDialog) {
  if (!skipDialog) {
    auto chosen = dialogs_.ChooseFileToOpen(std::string(), kRomFilters, document_.RomPath());
    if (!chosen) return;
    document_.SetRomPath(std::move(*chosen));
  }
  switch (document_.Open()) {
    case OpenOutcome::TooShort:
      SetRomControlsEnabled(false);
      Complain(SystemSound::Exclamation, MessageKind::Warning, kNotFinalFantasyMessage);
      return;
    case OpenOutcome::LoadError:
      SetRomControlsEnabled(false);
      Complain(SystemSound::Hand, MessageKind::Error, kCannotLoadMessage);
      return;
    case OpenOutcome::Opened:
      ShowRomPath();
      FillNameLists(quillon_, document_.Image().Bytes(), spriteNames_, dialogueNames_);
      SetRomControlsEnabled(true);
      return;
  }
}

void TfmMain::SaveRom() {
  switch (document_.Save()) {
    case SaveOutcome::Saved:
      return;
    case SaveOutcome::NothingLoaded:
      Complain(SystemSound::Asterisk, MessageKind::Information, kNothingLoaded);
      return;
    case SaveOutcome::WriteFailed:
      Complain(SystemSound::Exclamation, MessageKind::Warning, kCannotSaveMessage);
      return;
  }
}

// The difference between the original game and the image in memory, saved or not, as a patch
// file that others apply to their own copy. Nothing is written unless the whole patch is made.
void TfmMain::CreatePatch() {
  if (!document_.RomLoaded()) return;
  RomDocument original(files_);
  if (!OpenOriginalRom(original)) return;
  const ConstRomBytes edited = document_.Image().Bytes();
  const std::size_t differing = CountDifferingBytes(original.Image().Bytes(), edited);
  if (differing == 0) {
    Complain(SystemSound::Asterisk, MessageKind::Information, kNothingToPatch);
    return;
  }
  std::optional<ChosenFile> chosen =
      dialogs_.ChooseFileToSave(kSavePatchAs, kPatchFilters, PatchNameFor(document_.RomPath()));
  if (!chosen) return;
  const PatchFormat format = TakePatchFormat(*chosen);
  const PatchResult patch = brimwell::CreatePatch(format, original.Image().Bytes(), edited);
  if (!patch.Ok()) {
    Complain(SystemSound::Exclamation, MessageKind::Warning, patch.error.c_str());
    return;
  }
  if (!files_.ReplaceFileContents(chosen->path, patch.bytes)) {
    Complain(SystemSound::Exclamation, MessageKind::Warning, kCannotWritePatchMessage);
    return;
  }
  Complain(SystemSound::Asterisk, MessageKind::Information,
           PatchWritten(chosen->path, differing).c_str());
}

// Asks for the original game and opens it by the same rules as the ROM; false when the user
// cancels or the file will not do, which the user has then been told.
bool TfmMain::OpenOriginalRom(RomDocument& original) {
  auto path = dialogs_.ChooseFileToOpen(kChooseOriginal, kRomFilters, std::string());
  if (!path) return false;
  original.SetRomPath(std::move(*path));
  switch (original.Open()) {
    case OpenOutcome::Opened:
      return true;
    case OpenOutcome::TooShort:
      Complain(SystemSound::Exclamation, MessageKind::Warning, kOriginalNotFinalFantasy);
      return false;
    case OpenOutcome::LoadError:
      Complain(SystemSound::Exclamation, MessageKind::Warning, kCannotReadOriginal);
      return false;
  }
  return false;
}

// A patch from someone else, applied to the image in memory as an editor's OK would change it:
// only Save ROM writes it to the file. A patch that cannot be applied changes nothing.
void TfmMain::ApplyPatchFile() {
  if (!document_.RomLoaded()) return;
  const auto path = dialogs_.ChooseFileToOpen(kChoosePatch, kPatchesToApply, std::string());
  if (!path) return;
  const auto patch = files_.ReadFileDenyingWriters(*path, kMaxPatchFileLength);
  if (!patch) {
    Complain(SystemSound::Exclamation, MessageKind::Warning, kCannotReadPatch);
    return;
  }
  RomImage& image = document_.Image();
  const std::vector<Byte> before = image.Contents();
  const std::string refusal = ApplyPatchToImage(*patch, image.Bytes());
  if (!refusal.empty()) {
    Complain(SystemSound::Exclamation, MessageKind::Warning, refusal.c_str());
    return;
  }
  Complain(SystemSound::Asterisk, MessageKind::Information,
           PatchApplied(cli::DescribeChanges(before, image.Bytes())).c_str());
}

void TfmMain::dragEnterEvent(QDragEnterEvent* event) {
  if (DraggedRom(event->mimeData())) event->acceptProposedAction();
}

// As "&Open ROM..." with the dropped file chosen in its dialog.
void TfmMain::dropEvent(QDropEvent* event) {
  const std::optional<QString> path = DraggedRom(event->mimeData());
  if (!path) return;
  event->acceptProposedAction();
  document_.SetRomPath(path->toStdString());
  OpenRom(true);
}

void TfmMain::ShowRomPath() {
  const QString path = QString::fromStdString(document_.RomPath());
  lblGameFile->ShowText(path);
  setWindowTitle(LiteralCaption(kTitlePrefix + path));
}

void TfmMain::SetRomControlsEnabled(bool on) {
  for (QPushButton* button : {btnLimits, btnMisc, btnBattle, btnMagic}) button->setEnabled(on);
  mFileSave->setEnabled(on);
  mFileCreatePatch->setEnabled(on);
  mFileApplyPatch->setEnabled(on);
  btnSprites->setEnabled(on && dataLoaded_);
}

void TfmMain::Complain(SystemSound sound, MessageKind kind, const char* text) {
  dialogs_.Beep(sound);
  dialogs_.ShowMessage(kind, text);
}

// The dialog has written to the image, or not, by the time it closes; its result is not needed.
void TfmMain::ShowEditor(EditorDialog* dialog) {
  if (dialog) dialog->exec();
}

}  // namespace brimwell
