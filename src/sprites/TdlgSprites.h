#pragma once

// "Sprite Dialog Properties editor": for each map sprite, its talk routine and that routine's
// dialogue strings, conditions and values. Each showing edits a private copy of the image; OK
// copies the copy back over the image, Cancel drops it.

#include <array>
#include <optional>
#include <vector>

#include "EditorDialog.h"
#include "rom/QuillonData.h"
#include "rom/RomImage.h"
#include "sprites/SpriteTalk.h"

class QCheckBox;
class QComboBox;
class QFrame;
class QItemSelection;
class QLabel;
class QLineEdit;
class QStringListModel;

namespace brimwell {

class TdlgSprites : public EditorDialog {
  Q_OBJECT

 public:
  // The name lists belong to the main window and are rebuilt at each open; the window reads
  // them at each showing.
  TdlgSprites(RomDocument& document, const SpriteNameList& spriteNames,
              const DialogueNameList& dialogueNames, QWidget* parent = nullptr);
  ~TdlgSprites() override;

 private:
  class SpriteList;

  // A setting shown as a drop-down, and the label whose caption the handler type gives it.
  struct ChoiceControl {
    TalkSetting setting;
    QComboBox* box;
  };
  struct CaptionedSetting {
    TalkSetting setting;
    QLabel* label;
  };

  void CreateContents() override;
  void CreateWidgets();
  void CreateLayout();
  void ConnectWidgets();

  void FormShow(ConstRomBytes image) override;
  void StoreControls(RomBytes image) override;
  void lbSpritesSelectionChanged(const QItemSelection& selected);
  void lbSpritesClick(std::size_t sprite);
  void cbHandlerTypeSelect(int index);

  void SetControlsEnabled(bool enabled, std::uint16_t mask);
  void ResetControls();
  void ShowSprite();
  void ShowLabels(const HandlerType* type);
  void ShowSettings(const SpriteTalk& talk);
  void StoreCurrentSprite();
  void SelectSpriteRow(std::size_t sprite);

  const SpriteNameList& spriteNames_;
  const DialogueNameList& dialogueNames_;
  std::vector<Byte> workingImage_;
  HandlerAddressList handlerAddresses_{};  // the working handler table, one per list entry
  std::optional<std::size_t> currentSprite_;

  QStringListModel* spriteNameModel_ = nullptr;
  QStringListModel* dialogueNameModel_ = nullptr;  // shared by the four text drop-downs

  QLabel* Label1 = nullptr;
  SpriteList* lbSprites = nullptr;
  QLabel* Label3 = nullptr;
  QComboBox* cbHandlerType = nullptr;
  QFrame* Panel1 = nullptr;
  QLabel* lblTypeDesc = nullptr;
  QLabel* lblLoc11 = nullptr;
  QLabel* lblLoc12 = nullptr;
  QLabel* lblLoc13 = nullptr;
  QComboBox* cbText1 = nullptr;
  QComboBox* cbText2 = nullptr;
  QComboBox* cbText3 = nullptr;
  QLabel* lblLoc10Plot = nullptr;
  QComboBox* cbLoc10Plot = nullptr;
  QLabel* lblLoc10Value = nullptr;
  QComboBox* cbLoc10Item = nullptr;
  QLabel* lblAuxValue = nullptr;
  QLineEdit* eAuxValue = nullptr;
  QCheckBox* ckDisappear = nullptr;
  QLabel* lblAuxText = nullptr;
  QComboBox* cbTextAux = nullptr;
  QLabel* lblAuxMessage = nullptr;

  std::array<ChoiceControl, 6> choices_{};
  std::array<CaptionedSetting, 5> captions_{};
  std::array<QWidget*, 9> maskControls_{};  // bit i of the enable mask is setting i
  std::array<std::pair<QLabel*, QWidget*>, 8> labelFollows_{};
};

}  // namespace brimwell
