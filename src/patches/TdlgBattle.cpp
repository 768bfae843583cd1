#include "patches/TdlgBattle.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QVBoxLayout>

#include "patches/BattleSettings.h"
#include "patches/IntegerEdit.h"
#include "patches/PageWidgets.h"

namespace brimwell {
namespace {

const char kFixHint[] = "Check this box to fix this bug.";

}  // namespace

TdlgBattle::TdlgBattle(RomDocument& document, QWidget* parent)
    : PatchDialog(document, "dlgBattle", "Battle additions", "lbBattleType", parent) {}

void TdlgBattle::CreatePages() {
  CreateWidgets();
  CreateBugfixPage();
  CreateHitsPage();
  CreateWeaponBonusPage();
}

void TdlgBattle::CreateWidgets() {
  ckFixRun = NewCheckBox("ckFixRun", "Fix running ability.", kFixHint);
  ckFixWeapon = NewCheckBox(
      "ckFixWeapon", "Fix weapon data bugs (critical hit %, species, and element)", kFixHint);
  ckFixMonsterFight = NewCheckBox("ckFixMonsterFight", "Fix monster attack bugs", kFixHint);
  eBaseHits = new IntegerEdit("eBaseHits", 3, "The base number of hits inflicted in battle.");
  // One entry per HitPct, from five shifts of the hit % down to none.
  cbHitPct =
      NewDropDown("cbHitPct", kHitPctEntries, "Select the Hit % multiple for each extra hit.");
  eWeaponBonus = new IntegerEdit("eWeaponBonus", 3,
                                 "The damage bonus given when weapon's species or element match "
                                 "monster's species or weakness.");
}

void TdlgBattle::CreateBugfixPage() {
  auto* page = new QVBoxLayout(AddPage("Bug fix", "tsBugfix"));
  page->addLayout(NewExplainedCheckBox(ckFixRun,
                                       "The calculation of ability to run from battle has a flaw "
                                       "that keeps it from working correctly."));
  page->addLayout(NewExplainedCheckBox(
      ckFixWeapon, "These pieces of data were not being used correctly or at all."));
  page->addWidget(ckFixMonsterFight);
  page->addStretch();
}

void TdlgBattle::CreateHitsPage() {
  auto* page = new QVBoxLayout(AddPage("Hits", "tsHits"));
  page->addLayout(NewCaptionedField("Base number of hits:", eBaseHits, "FF1 = 1"));
  page->addLayout(NewCaptionedField("Hit % needed for each extra hit:", cbHitPct));
  page->addWidget(
      NewParagraph("If the number of hits goes above 255, it will roll over to 0.  You may, "
                   "therefore, want to consider the FAST and the BB/MA class bonuses.  Each will "
                   "double the maximum number."));
  page->addStretch();
}

void TdlgBattle::CreateWeaponBonusPage() {
  auto* page = new QVBoxLayout(AddPage("Weapon Bonus", "tsWeaponBonus"));
  page->addLayout(
      NewCaptionedField("Weapon Species/Element damage bonus:", eWeaponBonus, "FF1 = 4"));
  page->addWidget(NewParagraph(
      "If this number causes the base damage value to exceed 255, the base damage value will be "
      "limited to 255.  Note that this will not have any visible effect unless the weapon "
      "bug-fix has been applied!  (See the \"Bug fix\" page)"));
  page->addStretch();
}

void TdlgBattle::LoadControls(ConstRomBytes image) {
  const BattleSettings settings = BattleSettings::LoadFromRom(image);
  ckFixRun->setChecked(settings.FixRun);
  ckFixWeapon->setChecked(settings.FixWeapon);
  ckFixMonsterFight->setChecked(settings.FixMonsterFight);
  eBaseHits->ShowValue(*settings.BaseHits);
  cbHitPct->setCurrentIndex(settings.HitPct);
  eWeaponBonus->ShowValue(*settings.WeaponBonus);
}

void TdlgBattle::StoreControls(RomBytes image) {
  BattleSettings settings;
  settings.FixRun = ckFixRun->isChecked();
  settings.FixWeapon = ckFixWeapon->isChecked();
  settings.FixMonsterFight = ckFixMonsterFight->isChecked();
  settings.BaseHits = eBaseHits->Value(kBaseHitsRange);
  settings.HitPct = cbHitPct->currentIndex();
  settings.WeaponBonus = eWeaponBonus->Value(kWeaponBonusRange);
  settings.StoreToRom(image);
}

}  // namespace brimwell
