#pragma once

// The frame that the limits, battle, magic and misc editors share: a list of rule groups on
// the left, the chosen group's page on the right, OK and Cancel below. Each showing reloads
// every field from the image; OK stores the fields of all pages; Cancel stores nothing.

#include <QDialog>

#include <functional>

#include "rom/RomImage.h"

class QAbstractButton;
class QListWidget;
class QPushButton;
class QStackedWidget;

namespace brimwell {

class PatchDialog : public QDialog {
  Q_OBJECT

 public:
  // The image that the last successful open produced; the dialog edits it in place.
  void SetImage(RomBytes image) { image_ = image; }

 protected:
  PatchDialog(const char* caption, const char* groupListName, QWidget* parent);

  // Adds a group's list entry and its page in one step, so that entry i always shows page i.
  QWidget* AddPage(const char* entry, const char* pageName);

  // Runs handler after every change of a check box or radio button that the user makes: a
  // click, Space, an arrow key in a radio group, or a screen reader's toggle action. Loading
  // the controls runs no handler; LoadControls applies what depends on the loaded state itself.
  void OnUserToggle(QAbstractButton* button, std::function<void()> handler);

  // Puts the editor's settings into the controls, and back into the image.
  virtual void LoadControls(ConstRomBytes image) = 0;
  virtual void StoreControls(RomBytes image) = 0;

  void showEvent(QShowEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  void CreateWidgets(const char* groupListName);
  void CreateLayout();
  void ConnectWidgets();

  bool HasImage() const;
  void FormShow();
  void GroupListClick();
  void SelectFirstGroup();
  void btnOKClick();

  RomBytes image_;
  bool loading_ = false;
  QListWidget* groupList_ = nullptr;
  QStackedWidget* PageControl1 = nullptr;
  QPushButton* btnOK = nullptr;
  QPushButton* btnCancel = nullptr;
};

}  // namespace brimwell
