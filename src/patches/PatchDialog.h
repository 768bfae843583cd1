#pragma once

// The frame that the limits, battle, magic and misc editors share: a list of rule groups on
// the left, the chosen group's page on the right, OK and Cancel below. Each showing reloads
// every field from the image; OK stores the fields of all pages; Cancel stores nothing.

#include "EditorDialog.h"

class QListWidget;
class QStackedWidget;

namespace brimwell {

class PatchDialog : public EditorDialog {
  Q_OBJECT

 protected:
  PatchDialog(RomDocument& document, const char* name, const char* caption,
              const char* groupListName, QWidget* parent);

  // Adds a group's list entry and its page in one step, so that entry i always shows page i.
  QWidget* AddPage(const char* entry, const char* pageName);

  // The editor's own widgets and pages, built with the frame at the first showing.
  virtual void CreatePages() = 0;
  // Puts the editor's settings into the controls.
  virtual void LoadControls(ConstRomBytes image) = 0;

 private:
  void CreateContents() override;
  void CreateLayout();
  void FormShow(ConstRomBytes image) override;
  void GroupListClick();
  void SelectFirstGroup();

  const char* groupListName_;
  QListWidget* groupList_ = nullptr;
  QStackedWidget* PageControl1 = nullptr;
};

}  // namespace brimwell
