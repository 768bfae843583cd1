#pragma once

// The frame that every editor window shares. It edits the image of the document's last
// successful open, taking it from the document at each showing and at OK, and keeps no view
// of it in between. Its widgets are built when it is first shown, so an editor costs the
// program's start-up only its own object. Each showing reloads the controls; OK stores them
// and closes; Cancel, Esc and the close box close without storing. Neither button is the
// default: Enter presses a button only when that button has the focus. Qt centres the window
// over the main window, its parent.

#include <QDialog>

#include "rom/RomImage.h"

class QLayout;
class QPushButton;

namespace brimwell {

class RomDocument;

class EditorDialog : public QDialog {
  Q_OBJECT

 public:
  void setVisible(bool visible) override;

 protected:
  EditorDialog(RomDocument& document, const char* name, const char* caption, QWidget* parent);

  const RomDocument& Document() const { return document_; }

  // Builds the window's widgets, once, before its first showing. OK and Cancel exist by then.
  virtual void CreateContents() = 0;
  // Puts the image's values into the controls at each showing; the image is empty while no
  // ROM is loaded.
  virtual void FormShow(ConstRomBytes image) = 0;
  // OK's work, before the window closes; runs only while a ROM is loaded.
  virtual void StoreControls(RomBytes image) = 0;

  // OK and Cancel side by side at the right, for the bottom of the window.
  QLayout* NewButtonRow() const;

  void showEvent(QShowEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

  QPushButton* btnOK = nullptr;
  QPushButton* btnCancel = nullptr;

 private:
  void CreateButtons();
  void btnOKClick();

  RomDocument& document_;
};

}  // namespace brimwell
