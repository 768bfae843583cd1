#include "patches/TdlgMagic.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QRadioButton>
#include <QVBoxLayout>

#include "patches/IntegerEdit.h"
#include "patches/MagicSettings.h"
#include "patches/PageWidgets.h"
#include "rom/RomDocument.h"

namespace brimwell {
namespace {

// The family boxes in the bit order of the flag byte; the first four make the left column.
constexpr std::array<const char*, kDamageFamilyNames.size()> kFamilyBoxNames = {
    "ckTypeUnknown", "ckTypeDragon", "ckTypeGiant", "ckTypeUndead",
    "ckTypeWere",    "ckTypeWater",  "ckTypeMage",  "ckTypeRegen",
};
constexpr int kFamilyColumnLength = 4;

// Beside each weakness bonus entry, in the order of WeakBonusChoice.
constexpr std::array<const char*, kWeakBonusEntries.size()> kDamageRanges = {
    "Damage range: no different",
    "Damage range: 1.5x normal",
    "Damage range: 2x normal",
    "Damage range: 3x normal",
};

}  // namespace

TdlgMagic::TdlgMagic(RomDocument& document, QWidget* parent)
    : PatchDialog(document, "dlgMagic", "Magic additions", "lbMagicType", parent) {}

void TdlgMagic::CreatePages() {
  CreateWidgets();
  CreateBugfixPage();
  CreateFASTPage();
  CreateDamageFamilyPage();
  CreateMagicDMGPage();
  CreateNeg2Page();
}

void TdlgMagic::CreateWidgets() {
  ckFixLOCK = NewCheckBox("ckFixLOCK", "Fix \"Evade Down\" (used by LOCK)",
                          "Check this box to fix this type of magic spell.");
  eHitMultiplier = new IntegerEdit("eHitMultiplier", 3, nullptr);
  for (std::size_t bit = 0; bit < familyBoxes_.size(); ++bit)
    familyBoxes_[bit] = NewCheckBox(kFamilyBoxNames[bit], kDamageFamilyNames[bit], nullptr);
  rgWeakBonus = new QGroupBox(QStringLiteral("Elemental weakness damage BONUS:"));
  rgWeakBonus->setObjectName(QStringLiteral("rgWeakBonus"));
  weakBonusEntries_ = new QButtonGroup(rgWeakBonus);
  eNeg2HPLimit =
      new IntegerEdit("eNeg2HPLimit", 3, "HP limit at which this type of magic won't work.");
}

void TdlgMagic::CreateBugfixPage() {
  QLabel* above = NewParagraph(
      "The \"Evade Down\" spell effect-type is broken in the original game.  If "
      "this box isn't checked, then that magic type won't work.");
  QLabel* below = NewParagraph(
      "To fix LOK2, the effect type should be changed to \"evade down\" and this "
      "fix should be applied.");
  // The box is explained from both sides; a screen reader reads both with it.
  ckFixLOCK->setAccessibleDescription(above->text() + QLatin1Char(' ') + below->text());

  auto* page = new QVBoxLayout(AddPage("Bug-fix", "tsBugfix"));
  page->addWidget(above);
  page->addWidget(ckFixLOCK);
  page->addWidget(below);
  page->addStretch();
}

void TdlgMagic::CreateFASTPage() {
  auto* page = new QVBoxLayout(AddPage("\"# of hits up\"", "tsFAST"));
  page->addLayout(NewCaptionedField("Multiplier limit", eHitMultiplier));
  page->addWidget(
      NewParagraph("This value is originally 2, for a 2x hit limit.  If increased, then spells "
                   "using this magic type can be cast more than once (they become stackable).  "
                   "Each time the spell is cast on a character, the multiplier will increase."));
  page->addStretch();
}

void TdlgMagic::CreateDamageFamilyPage() {
  auto* boxes = new QGridLayout;
  for (int bit = 0; bit < int(familyBoxes_.size()); ++bit)
    boxes->addWidget(familyBoxes_[bit], bit % kFamilyColumnLength, bit / kFamilyColumnLength);
  boxes->setColumnStretch(2, 1);

  auto* page = new QVBoxLayout(AddPage("\"Damage undead\"", "tsDamageFamily"));
  page->addWidget(NewLabel("Select monster types to be affected by \"HARM\" type spells."));
  page->addLayout(boxes);
  page->addStretch();

  // Down the left column, then down the right one.
  for (std::size_t bit = 1; bit < familyBoxes_.size(); ++bit)
    setTabOrder(familyBoxes_[bit - 1], familyBoxes_[bit]);
}

void TdlgMagic::CreateMagicDMGPage() {
  auto* entries = new QGridLayout(rgWeakBonus);
  for (int index = 0; index < int(kWeakBonusEntries.size()); ++index) {
    auto* button = new QRadioButton(QString::fromLatin1(kWeakBonusEntries[index]));
    // The damage range stands beside the entry; a screen reader reads it with the entry.
    button->setAccessibleDescription(QString::fromLatin1(kDamageRanges[index]));
    weakBonusEntries_->addButton(button, index);
    entries->addWidget(button, index, 0);
    entries->addWidget(NewLabel(kDamageRanges[index]), index, 1);
  }
  entries->setColumnStretch(2, 1);

  auto* page = new QVBoxLayout(AddPage("Magic Damage", "tsMagicDMG"));
  page->addWidget(rgWeakBonus);
  page->addStretch();
}

void TdlgMagic::CreateNeg2Page() {
  auto* page = new QVBoxLayout(AddPage("\"Neg. Effect 2\"", "TabSheet1"));
  page->addLayout(NewCaptionedField("HP Limit", eNeg2HPLimit, "(FF1 = 300; Range is 1...999)"));
  page->addWidget(
      NewParagraph("If the target has this amount of HP or more, then these types of spells will "
                   "always fail.  Below this, the spell should always work, unless the target is "
                   "resistant to the spell's element."));
  page->addStretch();
}

void TdlgMagic::ShowDamageFamily(Byte flags) {
  for (std::size_t bit = 0; bit < familyBoxes_.size(); ++bit)
    familyBoxes_[bit]->setChecked((flags >> bit) & 1);
}

Byte TdlgMagic::CheckedDamageFamily() const {
  Byte flags = 0;
  for (std::size_t bit = 0; bit < familyBoxes_.size(); ++bit)
    if (familyBoxes_[bit]->isChecked()) flags |= Byte(1u << bit);
  return flags;
}

void TdlgMagic::LoadControls(ConstRomBytes image) {
  const MagicSettings settings = MagicSettings::LoadFromRom(image);
  ckFixLOCK->setChecked(settings.FixLOCK);
  eHitMultiplier->ShowValue(*settings.HitMultiplier);
  ShowDamageFamily(settings.DamageFamily);
  weakBonusEntries_->button(static_cast<int>(settings.WeakBonus))->setChecked(true);
  eNeg2HPLimit->ShowValue(*settings.Neg2HPLimit);
}

void TdlgMagic::StoreControls(RomBytes image) {
  MagicSettings settings;
  settings.FixLOCK = ckFixLOCK->isChecked();
  settings.HitMultiplier = eHitMultiplier->Value(kHitMultiplierRange);
  settings.DamageFamily = CheckedDamageFamily();
  settings.WeakBonus = static_cast<WeakBonusChoice>(weakBonusEntries_->checkedId());
  settings.Neg2HPLimit = eNeg2HPLimit->Value(kNeg2HPLimitRange);
  settings.StoreToRom(image, Document().LockByteAtOpen());
}

}  // namespace brimwell
