#include "CommandLine.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <cstdio>

namespace brimwell {
namespace {

// Relative to the folder the program was started in; shown in the caption as the user knows it.
std::string AbsoluteNativePath(const QString& path) {
  return QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath()).toStdString();
}

CommandLine UsageError(const QString& problem, const QCommandLineParser& parser) {
  CommandLine result;
  result.exitCode = kUsageErrorExitCode;
  result.standardError = (problem + QLatin1Char('\n') + parser.helpText()).toStdString();
  return result;
}

}  // namespace

CommandLine ParseCommandLine(const QStringList& arguments) {
  QCommandLineParser parser;
  parser.setApplicationDescription(
      QStringLiteral("Brimwell, a rules editor for Final Fantasy on the NES."));
  // Own options rather than addHelpOption(): its --help-all lists Qt's window system options,
  // which are not read here.
  const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")},
                                QStringLiteral("Shows this help and ends."));
  const QCommandLineOption version({QStringLiteral("v"), QStringLiteral("version")},
                                   QStringLiteral("Shows the version and ends."));
  const QCommandLineOption data(
      QStringLiteral("data"),
      QStringLiteral("Reads this Quillon data file instead of Quillon.dat beside the program."),
      QStringLiteral("FILE"));
  parser.addOptions({help, version, data});
  // "-platform" is reported as one unknown option, not as eight unknown letters.
  parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
  parser.addPositionalArgument(
      QStringLiteral("ROM"),
      QStringLiteral("The ROM image to open at start-up instead of Quillon's last one."),
      QStringLiteral("[ROM]"));

  if (!parser.parse(arguments)) return UsageError(parser.errorText(), parser);
  if (parser.positionalArguments().size() > 1)
    return UsageError(QStringLiteral("Only one ROM can be opened."), parser);

  CommandLine result;
  if (parser.isSet(help)) {
    result.exitCode = 0;
    result.standardOutput = parser.helpText().toStdString();
  } else if (parser.isSet(version)) {
    result.exitCode = 0;
    result.standardOutput = "Brimwell " BRIMWELL_VERSION "\n";
  } else {
    if (parser.isSet(data)) result.options.dataFile = AbsoluteNativePath(parser.value(data));
    if (!parser.positionalArguments().isEmpty())
      result.options.romPath = AbsoluteNativePath(parser.positionalArguments().constFirst());
  }
  return result;
}

CommandLine ReadCommandLine(int& argc, char** argv) {
  // A core application only, for the duration of the parse: it decodes argv as the platform
  // does and gives the usage line the program's name, and needs no display.
  QCoreApplication reader(argc, argv);
  CommandLine result = ParseCommandLine(QCoreApplication::arguments());
  std::fputs(result.standardOutput.c_str(), stdout);
  std::fputs(result.standardError.c_str(), stderr);
  return result;
}

}  // namespace brimwell
