#pragma once

// "Battle additions": three fixes of the game's battle code, the hits a character gets, and
// the damage bonus for a weapon that matches the monster.

#include "patches/PatchDialog.h"

class QCheckBox;
class QComboBox;

namespace brimwell {

class IntegerEdit;

class TdlgBattle : public PatchDialog {
  Q_OBJECT

 public:
  explicit TdlgBattle(RomDocument& document, QWidget* parent = nullptr);

 protected:
  void CreatePages() override;
  void LoadControls(ConstRomBytes image) override;
  void StoreControls(RomBytes image) override;

 private:
  void CreateWidgets();
  void CreateBugfixPage();
  void CreateHitsPage();
  void CreateWeaponBonusPage();

  QCheckBox* ckFixRun = nullptr;
  QCheckBox* ckFixWeapon = nullptr;
  QCheckBox* ckFixMonsterFight = nullptr;
  IntegerEdit* eBaseHits = nullptr;
  QComboBox* cbHitPct = nullptr;
  IntegerEdit* eWeaponBonus = nullptr;
};

}  // namespace brimwell
