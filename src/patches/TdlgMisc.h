#pragma once

// "Miscellaneous additions": the ship game and the terrain on which the airship can land.

#include "patches/PatchDialog.h"

class QButtonGroup;
class QCheckBox;
class QRadioButton;

namespace brimwell {

class IntegerEdit;

class TdlgMisc : public PatchDialog {
  Q_OBJECT

 public:
  explicit TdlgMisc(RomDocument& document, QWidget* parent = nullptr);

 protected:
  void CreatePages() override;
  void LoadControls(ConstRomBytes image) override;
  void StoreControls(RomBytes image) override;

 private:
  void CreateWidgets();
  void CreateShipGamePage();
  void CreateAirshipPage();

  QCheckBox* ckShipGameEnabled = nullptr;
  QCheckBox* ckShipGameAnywhere = nullptr;
  IntegerEdit* eShipGold = nullptr;
  IntegerEdit* eShipBtnPresses = nullptr;
  QRadioButton* rbLandWalk = nullptr;
  QRadioButton* rbLandOnly = nullptr;
  // The two landing buttons exclude each other; neither is checked for a landing byte of
  // neither kind. Button ids are LandingTerrain values.
  QButtonGroup* rgAirshipLanding = nullptr;
};

}  // namespace brimwell
