#pragma once

// "Magic additions": the "Evade Down" fix, the "# of hits up" limit, the monster families that
// HARM spells hurt, the elemental weakness bonus and the "Neg. Effect 2" HP limit.

#include <array>

#include "patches/PatchDialog.h"

class QButtonGroup;
class QCheckBox;
class QGroupBox;

namespace brimwell {

class IntegerEdit;

class TdlgMagic : public PatchDialog {
  Q_OBJECT

 public:
  // Removing the "Evade Down" fix puts back the byte that the document's file held when it was
  // opened, so the dialog reads that byte from the document at each OK.
  explicit TdlgMagic(RomDocument& document, QWidget* parent = nullptr);

 protected:
  void CreatePages() override;
  void LoadControls(ConstRomBytes image) override;
  void StoreControls(RomBytes image) override;

 private:
  void CreateWidgets();
  void CreateBugfixPage();
  void CreateFASTPage();
  void CreateDamageFamilyPage();
  void CreateMagicDMGPage();
  void CreateNeg2Page();

  void ShowDamageFamily(Byte flags);
  Byte CheckedDamageFamily() const;

  QCheckBox* ckFixLOCK = nullptr;
  IntegerEdit* eHitMultiplier = nullptr;
  // In bit order: ckTypeUnknown (bit 0) to ckTypeRegen (bit 7).
  std::array<QCheckBox*, 8> familyBoxes_{};
  QGroupBox* rgWeakBonus = nullptr;
  QButtonGroup* weakBonusEntries_ = nullptr;
  IntegerEdit* eNeg2HPLimit = nullptr;
};

}  // namespace brimwell
