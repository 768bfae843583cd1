#include "sprites/TdlgSprites.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QSignalBlocker>
#include <QStringListModel>
#include <QStyle>
#include <QStyleOptionComboBox>
#include <QVBoxLayout>
#include <algorithm>

#include "BrimwellConst.h"
#include "Labels.h"

namespace brimwell {

// The sprite list passes on every change of its selection, however it comes about: mouse, keys,
// or a screen reader, which selects an entry without moving the current row. The program moves
// the selection itself under a blocker of the list's signals, so only the user's picks arrive.
class TdlgSprites::SpriteList : public QListView {
  Q_OBJECT

 signals:
  void SelectionMoved(const QItemSelection& selected);

 protected:
  void selectionChanged(const QItemSelection& selected, const QItemSelection& deselected) override {
    QListView::selectionChanged(selected, deselected);
    emit SelectionMoved(selected);
  }
};

namespace {

using enum TalkSetting;

const char kCaption[] = "Sprite Dialog Properties editor";
const char kTypeDescription[] =
    "Choose the dialogue string(s) to be displayed for this sprite and the appropriate "
    "conditions for displaying them:";
const char kNotYetShown[] = "-- --";

// Every bit of the enable mask: all nine setting controls.
constexpr std::uint16_t kEveryControl = 0x1FF;

QString Text(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

QLabel* MakeLabel(const char* name, std::string_view caption) {
  return NewPlainLabel(Text(caption), name);
}

// A choice-only drop-down list. A disabled one keeps its list shut also when a screen reader
// asks to open it, so nobody picks from it.
class DropDown : public QComboBox {
 public:
  void showPopup() override {
    if (isEnabled()) QComboBox::showPopup();
  }
};

QComboBox* MakeDropDown(const char* name) {
  auto* box = new DropDown;
  box->setObjectName(QString::fromLatin1(name));
  return box;
}

// A drop-down of the 256 dialogue strings, all four on one shared list of names. It is as wide
// as 24 characters, not measured from the names, so a new set of names costs no measuring. (Qt's
// own fixed-width policy would also build each pop-up list at start-up, before anyone opens it.)
class TextDropDown : public DropDown {
 public:
  QSize sizeHint() const override {
    constexpr int kCharacters = 24;
    QStyleOptionComboBox option;
    initStyleOption(&option);
    const QSize text(fontMetrics().horizontalAdvance(QLatin1Char('X')) * kCharacters,
                     fontMetrics().height());
    return style()->sizeFromContents(QStyle::CT_ComboBox, &option, text, this);
  }
  QSize minimumSizeHint() const override { return sizeHint(); }
};

QComboBox* MakeTextDropDown(const char* name, QStringListModel* names) {
  auto* box = new TextDropDown;
  box->setObjectName(QString::fromLatin1(name));
  box->setModel(names);
  return box;
}

template <std::size_t N>
void Fill(QComboBox* box, const std::array<std::string_view, N>& entries) {
  for (std::string_view entry : entries) box->addItem(Text(entry));
}

QColor ToColor(const BrimwellConst::LabelColour& colour) {
  if (colour.systemGrayText)
    return QApplication::palette().color(QPalette::Disabled, QPalette::WindowText);
  return QColor(colour.red, colour.green, colour.blue);
}

std::optional<std::size_t> SelectedEntry(const QComboBox* box) {
  if (box->currentIndex() < 0) return std::nullopt;
  return static_cast<std::size_t>(box->currentIndex());
}

// An entry that the drop-down does not hold selects nothing, and the drop-down shows blank.
void SelectEntry(QComboBox* box, std::optional<std::size_t> entry) {
  const bool held = entry && *entry < static_cast<std::size_t>(box->count());
  box->setCurrentIndex(held ? static_cast<int>(*entry) : -1);
}

}  // namespace

TdlgSprites::TdlgSprites(RomDocument& document, const SpriteNameList& spriteNames,
                         const DialogueNameList& dialogueNames, QWidget* parent)
    : EditorDialog(document, "dlgSprites", kCaption, parent),
      spriteNames_(spriteNames),
      dialogueNames_(dialogueNames) {}

TdlgSprites::~TdlgSprites() = default;

void TdlgSprites::CreateContents() {
  CreateWidgets();
  CreateLayout();
  ConnectWidgets();
  SetControlsEnabled(false, kEveryControl);
}

void TdlgSprites::CreateWidgets() {
  spriteNameModel_ = new QStringListModel(this);
  dialogueNameModel_ = new QStringListModel(this);

  Label1 = MakeLabel("Label1", "Sprite List:");
  lbSprites = new SpriteList;
  lbSprites->setObjectName(QStringLiteral("lbSprites"));
  lbSprites->setModel(spriteNameModel_);
  lbSprites->setEditTriggers(QAbstractItemView::NoEditTriggers);
  lbSprites->setSelectionMode(QAbstractItemView::SingleSelection);
  lbSprites->setUniformItemSizes(true);
  // A list finds no caption through a buddy label; it carries its own name.
  lbSprites->setAccessibleName(QStringLiteral("Sprite List:"));

  Label3 = MakeLabel("Label3", "Sprite dialogue handler type:");
  cbHandlerType = MakeDropDown("cbHandlerType");
  for (const HandlerType& type : HandlerCatalogue) cbHandlerType->addItem(Text(type.entry));

  Panel1 = new QFrame;
  Panel1->setObjectName(QStringLiteral("Panel1"));
  // A raised inner and a lowered outer bevel: an etched groove.
  Panel1->setFrameStyle(QFrame::Box | QFrame::Sunken);
  lblTypeDesc = MakeLabel("lblTypeDesc", kTypeDescription);
  lblTypeDesc->setWordWrap(true);

  lblLoc11 = MakeLabel("lblLoc11", kNotYetShown);
  lblLoc12 = MakeLabel("lblLoc12", kNotYetShown);
  lblLoc13 = MakeLabel("lblLoc13", kNotYetShown);
  cbText1 = MakeTextDropDown("cbText1", dialogueNameModel_);
  cbText2 = MakeTextDropDown("cbText2", dialogueNameModel_);
  cbText3 = MakeTextDropDown("cbText3", dialogueNameModel_);
  lblLoc10Plot = MakeLabel("lblLoc10Plot", kPlotEventLabel);
  cbLoc10Plot = MakeDropDown("cbLoc10Plot");
  Fill(cbLoc10Plot, kPlotEvents);
  lblLoc10Value = MakeLabel("lblLoc10Value", kItemLabel);
  cbLoc10Item = MakeDropDown("cbLoc10Item");
  Fill(cbLoc10Item, kItems);
  lblAuxValue = MakeLabel("lblAuxValue", "Aux. Value:");
  // No hint: the window never shows hints, and the old one spoke of battle hits.
  eAuxValue = new QLineEdit;
  eAuxValue->setObjectName(QStringLiteral("eAuxValue"));
  eAuxValue->setMaxLength(3);  // "$" and two digits: a shown value always fits whole
  eAuxValue->setMaximumWidth(eAuxValue->fontMetrics().horizontalAdvance(QStringLiteral("$WW")) +
                             16);
  ckDisappear = new QCheckBox(QStringLiteral("Disappears when condition is met."));
  ckDisappear->setObjectName(QStringLiteral("ckDisappear"));
  lblAuxText = MakeLabel("lblAuxText", kNotYetShown);
  cbTextAux = MakeTextDropDown("cbTextAux", dialogueNameModel_);
  lblAuxMessage = MakeLabel("lblAuxMessage", kNotYetShown);

  choices_ = {{{Text1, cbText1},
               {Text2, cbText2},
               {Text3, cbText3},
               {PlotEvent, cbLoc10Plot},
               {Item, cbLoc10Item},
               {AuxText, cbTextAux}}};
  captions_ = {{{Text1, lblLoc11},
                {Text2, lblLoc12},
                {Text3, lblLoc13},
                {AuxValue, lblAuxValue},
                {AuxText, lblAuxText}}};
  maskControls_ = {cbText1,   cbText2,     cbText3,   cbLoc10Plot,  cbLoc10Item,
                   eAuxValue, ckDisappear, cbTextAux, lblAuxMessage};
  labelFollows_ = {{{lblLoc11, cbText1},
                    {lblLoc12, cbText2},
                    {lblLoc13, cbText3},
                    {lblLoc10Plot, cbLoc10Plot},
                    {lblLoc10Value, cbLoc10Item},
                    {lblAuxValue, eAuxValue},
                    {lblAuxText, cbTextAux},
                    {lblAuxMessage, lblAuxMessage}}};

  // Screen readers name a drop-down by its entry and find its caption through the buddy.
  Label1->setBuddy(lbSprites);
  Label3->setBuddy(cbHandlerType);
  for (const auto& [label, control] : labelFollows_)
    if (label != control) label->setBuddy(control);
}

void TdlgSprites::CreateLayout() {
  auto* spriteColumn = new QVBoxLayout;
  spriteColumn->addWidget(Label1);
  spriteColumn->addWidget(lbSprites, 1);
  lbSprites->setMinimumWidth(180);

  // Text slots on the left; item, aux value and aux text on the right.
  auto* panel = new QGridLayout(Panel1);
  panel->addWidget(lblTypeDesc, 0, 0, 1, 2);
  const std::pair<QLabel*, QWidget*> left[] = {
      {lblLoc11, cbText1}, {lblLoc12, cbText2}, {lblLoc13, cbText3}};
  const std::pair<QLabel*, QWidget*> right[] = {
      {lblLoc10Value, cbLoc10Item}, {lblAuxValue, eAuxValue}, {lblAuxText, cbTextAux}};
  for (int i = 0; i < 3; ++i) {
    panel->addWidget(left[i].first, 1 + 2 * i, 0);
    panel->addWidget(left[i].second, 2 + 2 * i, 0);
    panel->addWidget(right[i].first, 1 + 2 * i, 1);
    panel->addWidget(right[i].second, 2 + 2 * i, 1, Qt::AlignLeft);
  }
  panel->addWidget(lblLoc10Plot, 7, 0, 1, 2);
  panel->addWidget(cbLoc10Plot, 8, 0, 1, 2);
  panel->addWidget(ckDisappear, 9, 0, 1, 2);
  panel->addWidget(lblAuxMessage, 10, 0, 1, 2);
  panel->setRowStretch(11, 1);

  auto* handlerColumn = new QVBoxLayout;
  handlerColumn->addWidget(Label3);
  handlerColumn->addWidget(cbHandlerType);
  handlerColumn->addWidget(Panel1, 1);

  auto* columns = new QHBoxLayout;
  columns->addLayout(spriteColumn);
  columns->addLayout(handlerColumn, 1);

  auto* layout = new QVBoxLayout(this);
  layout->addLayout(columns, 1);
  layout->addLayout(NewButtonRow());

  QWidget* const keyboardOrder[] = {lbSprites,   cbHandlerType, cbText1,     cbText2,
                                    cbText3,     cbLoc10Plot,   cbLoc10Item, eAuxValue,
                                    ckDisappear, cbTextAux,     btnOK,       btnCancel};
  for (std::size_t i = 1; i < std::size(keyboardOrder); ++i)
    setTabOrder(keyboardOrder[i - 1], keyboardOrder[i]);
}

void TdlgSprites::ConnectWidgets() {
  // Handlers run on the user's picks only: drop-downs report them through activated, and the
  // program changes the list's selection with the list's signals blocked.
  connect(lbSprites, &SpriteList::SelectionMoved, this, &TdlgSprites::lbSpritesSelectionChanged);
  connect(cbHandlerType, &QComboBox::activated, this, &TdlgSprites::cbHandlerTypeSelect);
}

// Each showing starts at sprite 0 from the image as it stands now.
void TdlgSprites::FormShow(ConstRomBytes image) {
  currentSprite_.reset();
  workingImage_.assign(image.begin(), image.end());

  QStringList sprites;
  const std::size_t spriteCount = std::min(spriteNames_.size(), BrimwellConst::kSpriteCount);
  for (std::size_t i = 0; i < spriteCount; ++i) sprites.append(Text(spriteNames_[i].name));
  spriteNameModel_->setStringList(sprites);
  QStringList dialogues;
  for (const std::string& name : dialogueNames_) dialogues.append(Text(name));
  dialogueNameModel_->setStringList(dialogues);
  handlerAddresses_ = ReadHandlerAddresses(workingImage_);

  if (sprites.isEmpty()) return;
  SelectSpriteRow(0);
  lbSprites->setFocus();
  lbSpritesClick(0);
}

// Whatever moved the selection, exactly one entry stays selected, as in a single-selection list
// box: a deselection (Ctrl+click, or a screen reader clearing it) puts it back.
void TdlgSprites::lbSpritesSelectionChanged(const QItemSelection& selected) {
  const std::optional<std::size_t> picked =
      selected.isEmpty() ? currentSprite_
                         : std::optional<std::size_t>(selected.indexes().front().row());
  if (!picked) return;
  SelectSpriteRow(*picked);
  if (picked != currentSprite_) lbSpritesClick(*picked);
}

void TdlgSprites::lbSpritesClick(std::size_t sprite) {
  StoreCurrentSprite();
  currentSprite_ = sprite;
  ShowSprite();
  cbHandlerType->setEnabled(!HasFixedHandler(sprite));
}

// The new type takes the sprite's bytes as they stand in the working image: edits made in the
// controls since the last store are dropped. The pointer table itself waits for OK.
void TdlgSprites::cbHandlerTypeSelect(int index) {
  if (!currentSprite_) return;
  if (index >= 0) handlerAddresses_[*currentSprite_] = HandlerCatalogue[index].address;
  ShowSprite();
}

// The whole working copy goes back over the image from offset 0, which keeps its length.
void TdlgSprites::StoreControls(RomBytes image) {
  StoreCurrentSprite();
  WriteHandlerAddresses(workingImage_, handlerAddresses_);
  if (image.size() == workingImage_.size()) std::ranges::copy(workingImage_, image.begin());
}

void TdlgSprites::SetControlsEnabled(bool enabled, std::uint16_t mask) {
  for (std::size_t bit = 0; bit < maskControls_.size(); ++bit)
    if (mask & (1u << bit)) maskControls_[bit]->setEnabled(enabled);
  for (const auto& [label, followed] : labelFollows_)
    SetTextColour(
        label, ToColor(followed->isEnabled() ? BrimwellConst::clBlue : BrimwellConst::clGrayText));
}

void TdlgSprites::ResetControls() {
  ShowLabels(nullptr);
  ShowSettings(SpriteTalk{});
}

// The sprite under the handler type now attached to it. Types without settings, and addresses
// that are no known routine, leave everything disabled and neutral.
void TdlgSprites::ShowSprite() {
  SetControlsEnabled(false, kEveryControl);
  ResetControls();
  if (!currentSprite_) return;
  const std::uint16_t address = handlerAddresses_[*currentSprite_];
  const std::optional<std::size_t> entry = FindHandlerEntry(address);
  SelectEntry(cbHandlerType, entry);
  if (!entry || HandlerCatalogue[*entry].Inert()) return;

  const HandlerType& type = HandlerCatalogue[*entry];
  SetControlsEnabled(true, type.active.Bits());
  ShowLabels(&type);
  ShowSettings(LoadSprite(workingImage_, *currentSprite_, address));
}

void TdlgSprites::ShowLabels(const HandlerType* type) {
  for (const auto& [setting, label] : captions_)
    label->setText(Text(type ? type->Label(setting) : kNotApplicable));
}

// Read-only settings are shown too: their drop-downs stay disabled.
void TdlgSprites::ShowSettings(const SpriteTalk& talk) {
  for (const auto& [setting, box] : choices_) SelectEntry(box, ListEntry(talk, setting));
  eAuxValue->setText(QString::fromStdString(FormatAuxValue(talk.AuxValue)));
  {
    const QSignalBlocker programChange(ckDisappear);
    ckDisappear->setChecked(talk.Disappears);
  }
  lblAuxMessage->setText(QString::fromStdString(NextSpriteLine(talk, spriteNames_)));
}

// The store rule of the sprite's type decides which of these values reach the image.
void TdlgSprites::StoreCurrentSprite() {
  if (!currentSprite_) return;
  SpriteTalk talk;
  talk.handlerAddress = handlerAddresses_[*currentSprite_];
  for (const auto& [setting, box] : choices_) SetListEntry(talk, setting, SelectedEntry(box));
  talk.AuxValue = ParseAuxValue(eAuxValue->text().toStdString());
  StoreSprite(workingImage_, *currentSprite_, talk);
}

void TdlgSprites::SelectSpriteRow(std::size_t sprite) {
  const QSignalBlocker programChange(lbSprites);
  lbSprites->selectionModel()->setCurrentIndex(spriteNameModel_->index(static_cast<int>(sprite)),
                                               QItemSelectionModel::ClearAndSelect);
}

}  // namespace brimwell

#include "TdlgSprites.moc"
