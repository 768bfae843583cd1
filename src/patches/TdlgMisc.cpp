#include "patches/TdlgMisc.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QLabel>
#include <QRadioButton>
#include <QVBoxLayout>

#include "patches/IntegerEdit.h"
#include "patches/MiscSettings.h"
#include "patches/PageWidgets.h"

namespace brimwell {

TdlgMisc::TdlgMisc(RomDocument& document, QWidget* parent)
    : PatchDialog(document, "dlgMisc", "Miscellaneous additions", "lbMagicType", parent) {}

void TdlgMisc::CreatePages() {
  CreateWidgets();
  CreateShipGamePage();
  CreateAirshipPage();
}

void TdlgMisc::CreateWidgets() {
  ckShipGameEnabled = NewCheckBox("ckShipGameEnabled", "Ship Game Accessible (FF1 = YES)",
                                  "Shows whether ship game is available.");
  ckShipGameAnywhere = NewCheckBox("ckShipGameAnywhere", "Access anywhere on Map (FF1 = NO)",
                                   "Shows whether ship game is available.");
  eShipGold = new IntegerEdit("eShipGold", 6, "Amount of prize for winning.");
  eShipBtnPresses =
      new IntegerEdit("eShipBtnPresses", 3, "Number of times to press A + B buttons to activate");
  rbLandWalk = NewRadioButton("rbLandWalk", kAirshipLandingEntries[int(LandingTerrain::LandWalk)]);
  rbLandOnly = NewRadioButton("rbLandOnly", kAirshipLandingEntries[int(LandingTerrain::LandOnly)]);
  rgAirshipLanding = new QButtonGroup(this);
  rgAirshipLanding->addButton(rbLandWalk, int(LandingTerrain::LandWalk));
  rgAirshipLanding->addButton(rbLandOnly, int(LandingTerrain::LandOnly));
}

void TdlgMisc::CreateShipGamePage() {
  auto* page = new QVBoxLayout(AddPage("Ship Game", "tsShipGame"));
  page->addWidget(ckShipGameEnabled);
  page->addWidget(ckShipGameAnywhere);
  page->addLayout(NewCaptionedField("Gold for solving:", eShipGold, "FF1 = 100"));
  page->addLayout(
      NewCaptionedField("Number of A+B button presses to activate:", eShipBtnPresses, "FF1 = 55"));
  page->addStretch();
}

void TdlgMisc::CreateAirshipPage() {
  auto* page = new QVBoxLayout(AddPage("Airship", "TabSheet1"));
  page->addWidget(NewLabel("Type of terrain Airship can be landed on:"));
  page->addLayout(NewExplainedChoice(rbLandWalk,
                                     "All airship landable, plus all walkable tiles.  Includes "
                                     "desert, marsh, ship port, forest, and teleport entrances."));
  page->addLayout(NewExplainedChoice(rbLandOnly, "Same as tiles marked as landable in Quillon."));
  page->addStretch();
}

void TdlgMisc::LoadControls(ConstRomBytes image) {
  const MiscSettings settings = MiscSettings::LoadFromRom(image);
  ckShipGameEnabled->setChecked(settings.ShipGameEnabled);
  ckShipGameAnywhere->setChecked(settings.ShipGameAnywhere);
  eShipGold->ShowValue(*settings.ShipGold);
  eShipBtnPresses->ShowValue(*settings.ShipBtnPresses);
  ShowChoice(rgAirshipLanding, int(settings.AirshipLanding));
}

void TdlgMisc::StoreControls(RomBytes image) {
  MiscSettings settings;
  settings.ShipGameEnabled = ckShipGameEnabled->isChecked();
  settings.ShipGameAnywhere = ckShipGameAnywhere->isChecked();
  settings.ShipGold = eShipGold->Value(kShipGoldRange);
  settings.ShipBtnPresses = eShipBtnPresses->Value(kShipBtnPressesRange);
  // With neither button checked the game keeps to the landable tiles.
  settings.AirshipLanding =
      rbLandWalk->isChecked() ? LandingTerrain::LandWalk : LandingTerrain::LandOnly;
  settings.StoreToRom(image);
}

}  // namespace brimwell
