// Brimwell: an editor for the rules of Final Fantasy in its NES ROM image.

#include <QApplication>

#include "fmMain.h"
#include "platform/QtPlatform.h"

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  // The program names its windows itself; an empty display name keeps Qt from appending one
  // to every caption.
  QGuiApplication::setApplicationDisplayName(QString());

  brimwell::QtPlatform platform;
  brimwell::TfmMain fmMain(platform);
  fmMain.CreateEditorDialogs();
  fmMain.show();
  return application.exec();
}
