// Brimwell: an editor for the rules of Final Fantasy in its NES ROM image.

#include <QApplication>

#include "CommandLine.h"
#include "fmMain.h"
#include "platform/QtPlatform.h"

int main(int argc, char** argv) {
  const brimwell::CommandLine commandLine = brimwell::ReadCommandLine(argc, argv);
  if (commandLine.exitCode) return *commandLine.exitCode;

  QApplication application(argc, argv);
  // The program names its windows itself; an empty display name keeps Qt from appending one
  // to every caption. The desktop entry's name lets the desktop show the launcher's icon.
  QGuiApplication::setApplicationDisplayName(QString());
  QGuiApplication::setDesktopFileName(QStringLiteral("brimwell"));

  brimwell::QtPlatform dialogs;
  brimwell::PlatformFiles files;
  brimwell::TfmMain fmMain(dialogs, files, commandLine.options);
  fmMain.CreateEditorDialogs();
  fmMain.show();
  return application.exec();
}
