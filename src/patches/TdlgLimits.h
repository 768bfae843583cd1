#pragma once

// "Game Parameter Limits": the caps on HP, MP, experience and gold.

#include "patches/PatchDialog.h"

class QCheckBox;
class QFrame;

namespace brimwell {

class IntegerEdit;

class TdlgLimits : public PatchDialog {
  Q_OBJECT

 public:
  explicit TdlgLimits(RomDocument& document, QWidget* parent = nullptr);

 protected:
  void CreatePages() override;
  void LoadControls(ConstRomBytes image) override;
  void StoreControls(RomBytes image) override;

 private:
  void CreateWidgets();
  void CreateMaxHPPage();
  void CreateMaxMPPage();
  void CreateExpGoldPage();
  void ConnectWidgets();

  void ckLimitMPClick();

  IntegerEdit* eHPlimit = nullptr;
  QCheckBox* ckLimitMP = nullptr;
  QFrame* panLimits = nullptr;
  IntegerEdit* eLimitFiTh = nullptr;
  IntegerEdit* eLimitOther = nullptr;
  IntegerEdit* eMaxMPInc = nullptr;
  IntegerEdit* eExpGold = nullptr;
};

}  // namespace brimwell
