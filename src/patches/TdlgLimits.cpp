#include "patches/TdlgLimits.h"

#include <QCheckBox>
#include <QFrame>
#include <QGridLayout>
#include <QLabel>
#include <QVBoxLayout>

#include "patches/IntegerEdit.h"
#include "patches/LimitsSettings.h"
#include "patches/PageWidgets.h"

namespace brimwell {

TdlgLimits::TdlgLimits(RomDocument& document, QWidget* parent)
    : PatchDialog(document, "dlgLimits", "Game Parameter Limits", "lbLimitType", parent) {}

void TdlgLimits::CreatePages() {
  CreateWidgets();
  CreateMaxHPPage();
  CreateMaxMPPage();
  CreateExpGoldPage();
  ConnectWidgets();
}

void TdlgLimits::CreateWidgets() {
  eHPlimit = new IntegerEdit("eHPlimit", 5, "Maximum HP allowed.");
  ckLimitMP = NewCheckBox("ckLimitMP", "Limit Max MP (originally yes)",
                          "Choose whether or not to limit Maximum MP");
  panLimits = new QFrame;
  panLimits->setObjectName(QStringLiteral("panLimits"));
  panLimits->setFrameShape(QFrame::StyledPanel);
  eLimitFiTh = new IntegerEdit("eLimitFiTh", 3, "Limit value +1 for Fighter/Thief Spell Points");
  eLimitOther = new IntegerEdit("eLimitOther", 3, "Limit value +1 for other class' Spell Points");
  eMaxMPInc = new IntegerEdit("eMaxMPInc", 3,
                              "The amount that the Maximum MP will increase at level-up for "
                              "each appropriate spell level.");
  eExpGold = new IntegerEdit("eExpGold", 7, "Maximum amount of Exp. and Gold.");
}

void TdlgLimits::CreateMaxHPPage() {
  auto* page = new QVBoxLayout(AddPage("Max. HP", "tsMaxHP"));
  page->addLayout(NewCaptionedField("Maximum HP limit", eHPlimit, "FF1 = 999"));
  page->addLayout(
      NewNote("The value can be higher than 999, but such values will not be displayed properly "
              "except during level-up.  This is because the game is not programmed to display "
              "more digits in such cases."));
  page->addStretch();
}

void TdlgLimits::CreateMaxMPPage() {
  auto* limits = new QGridLayout(panLimits);
  limits->addWidget(NewBuddyLabel("Fighter/Thief", eLimitFiTh), 0, 0);
  limits->addWidget(NewBuddyLabel("Others", eLimitOther), 0, 1);
  limits->addWidget(eLimitFiTh, 1, 0);
  limits->addWidget(eLimitOther, 1, 1);
  limits->addWidget(NewLabel("Limits used in the game are -1 from those here.", Qt::darkBlue), 2, 0,
                    1, 2);

  auto* page = new QVBoxLayout(AddPage("Max. MP", "tsMaxMP"));
  page->addWidget(ckLimitMP);
  page->addWidget(panLimits);
  page->addLayout(NewCaptionedField("Max MP Increase", eMaxMPInc));
  page->addStretch();
}

void TdlgLimits::CreateExpGoldPage() {
  auto* page = new QVBoxLayout(AddPage("Exp and Gold", "tsExpGold"));
  page->addLayout(NewCaptionedField("Maximum Exp. and Gold", eExpGold, "FF1 = 999999"));
  page->addLayout(
      NewNote("The value can be higher than 999999, but such values will not be displayed "
              "properly except during level-up.  This is because the game is not programmed to "
              "display more digits."));
  page->addStretch();
}

void TdlgLimits::ConnectWidgets() {
  connect(ckLimitMP, &QCheckBox::toggled, this, &TdlgLimits::ckLimitMPClick);
}

void TdlgLimits::ckLimitMPClick() {
  panLimits->setEnabled(ckLimitMP->isChecked());
}

void TdlgLimits::LoadControls(ConstRomBytes image) {
  const LimitsSettings settings = LimitsSettings::LoadFromRom(image);
  eHPlimit->ShowValue(*settings.HPlimit);
  ckLimitMP->setChecked(settings.LimitMP);
  ckLimitMPClick();
  eLimitFiTh->ShowValue(*settings.LimitFiTh);
  eLimitOther->ShowValue(*settings.LimitOther);
  eMaxMPInc->ShowValue(*settings.MaxMPInc);
  eExpGold->ShowValue(*settings.ExpGold);
}

void TdlgLimits::StoreControls(RomBytes image) {
  LimitsSettings settings;
  settings.HPlimit = eHPlimit->Value(kHPlimitRange);
  settings.LimitMP = ckLimitMP->isChecked();
  settings.LimitFiTh = eLimitFiTh->Value(kMPLimitRange);
  settings.LimitOther = eLimitOther->Value(kMPLimitRange);
  settings.MaxMPInc = eMaxMPInc->Value(kMaxMPIncRange);
  settings.ExpGold = eExpGold->Value(kExpGoldRange);
  settings.StoreToRom(image);
}

}  // namespace brimwell
