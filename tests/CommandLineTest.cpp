// The command line: its parse, and the built program's answers to --help, --version and a
// wrong option, run without any display.

#include "CommandLine.h"

#include <gtest/gtest.h>
#include <QDir>
#include <QProcess>
#include <QProcessEnvironment>

namespace brimwell {
namespace {

struct ParseCase {
  const char* name;
  QStringList arguments;  // after the program's path
  std::optional<int> exitCode;
  std::optional<QString> romPath;  // as typed; expected made absolute
  std::optional<QString> dataFile;
  QString standardOutputHolds;  // empty: nothing may be printed there
  QString standardErrorHolds;
};

void PrintTo(const ParseCase& param, std::ostream* out) {
  *out << param.name;
}

std::optional<std::string> Absolute(const std::optional<QString>& path) {
  if (!path) return std::nullopt;
  return QDir::toNativeSeparators(QDir::current().absoluteFilePath(*path)).toStdString();
}

void ExpectHolds(const std::string& printed, const QString& expected) {
  if (expected.isEmpty())
    EXPECT_EQ(printed, "");
  else
    EXPECT_TRUE(QString::fromStdString(printed).contains(expected)) << printed;
}

class CommandLineParse : public ::testing::TestWithParam<ParseCase> {};

TEST_P(CommandLineParse, GivesTheStartOptionsOrWhatToPrint) {
  const ParseCase& param = GetParam();
  const CommandLine parsed =
      ParseCommandLine(QStringList{QStringLiteral("brimwell")} + param.arguments);
  EXPECT_EQ(parsed.exitCode, param.exitCode);
  EXPECT_EQ(parsed.options.romPath, Absolute(param.romPath));
  EXPECT_EQ(parsed.options.dataFile, Absolute(param.dataFile));
  ExpectHolds(parsed.standardOutput, param.standardOutputHolds);
  ExpectHolds(parsed.standardError, param.standardErrorHolds);
}

// The usage line names the running program, here the test program.
const QString kUsage = QStringLiteral(" [options] [ROM]\n");
const QString kVersion = QStringLiteral("Brimwell " BRIMWELL_VERSION "\n");

INSTANTIATE_TEST_SUITE_P(
    Arguments, CommandLineParse,
    ::testing::Values(
        ParseCase{"Nothing", {}, std::nullopt, std::nullopt, std::nullopt, {}, {}},
        ParseCase{"RelativeRom", {"game.nes"}, std::nullopt, "game.nes", std::nullopt, {}, {}},
        ParseCase{"AbsoluteRom", {"/roms/ff.NES"}, std::nullopt, "/roms/ff.NES", {}, {}, {}},
        ParseCase{"RomThatLooksLikeAnOption", {"--", "-ff.nes"}, {}, "-ff.nes", {}, {}, {}},
        ParseCase{"Data", {"--data", "q/Quillon.dat"}, {}, {}, "q/Quillon.dat", {}, {}},
        ParseCase{"DataAndRom", {"g.nes", "--data=/d/Q.dat"}, {}, "g.nes", "/d/Q.dat", {}, {}},
        ParseCase{"Help", {"--help"}, 0, {}, {}, kUsage, {}},
        ParseCase{"ShortHelp", {"-h", "game.nes"}, 0, {}, {}, "--data <FILE>", {}},
        ParseCase{"Version", {"--version"}, 0, {}, {}, kVersion, {}},
        ParseCase{"ShortVersion", {"-v"}, 0, {}, {}, kVersion, {}},
        ParseCase{"UnknownOption", {"--bogus", "g.nes"}, 2, {}, {}, {}, "Unknown option 'bogus'."},
        ParseCase{"UsageFollowsTheError", {"-x"}, 2, {}, {}, {}, kUsage},
        ParseCase{"SingleDashWord", {"-style", "x"}, 2, {}, {}, {}, "Unknown option 'style'."},
        ParseCase{"DataWithoutFile", {"--data"}, 2, {}, {}, {}, "Missing value after '--data'."},
        ParseCase{"TwoRoms", {"a.nes", "b.nes"}, 2, {}, {}, {}, "Only one ROM can be opened."}),
    [](const auto& info) { return std::string(info.param.name); });

struct RunCase {
  const char* name;
  QStringList arguments;
  int exitCode;
  QString standardOutputStarts;  // empty: nothing may be printed there
  QString standardErrorStarts;
};

void PrintTo(const RunCase& param, std::ostream* out) {
  *out << param.name;
}

class ProgramRun : public ::testing::TestWithParam<RunCase> {};

// Without a display, any attempt to open a window would end the program with a different code.
TEST_P(ProgramRun, AnswersWithoutADisplayOrAWindow) {
  const RunCase& param = GetParam();
  QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
  for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
    environment.remove(QString::fromLatin1(name));
  QProcess program;
  program.setProcessEnvironment(environment);
  program.start(QStringLiteral(BRIMWELL_EXECUTABLE), param.arguments);
  ASSERT_TRUE(program.waitForFinished(30000));

  EXPECT_EQ(program.exitStatus(), QProcess::NormalExit);
  EXPECT_EQ(program.exitCode(), param.exitCode);
  // Windows ends printed lines with "\r\n" and shows the program's path with its own separators.
  const auto printed = [](QByteArray bytes) {
    return QString::fromUtf8(bytes.replace("\r\n", "\n"));
  };
  const auto expected = [](QString text) {
    const QString path = QStringLiteral(BRIMWELL_EXECUTABLE);
    return text.replace(path, QDir::toNativeSeparators(path));
  };
  const QString output = printed(program.readAllStandardOutput());
  const QString error = printed(program.readAllStandardError());
  EXPECT_TRUE(param.standardOutputStarts.isEmpty()
                  ? output.isEmpty()
                  : output.startsWith(expected(param.standardOutputStarts)))
      << output.toStdString();
  EXPECT_TRUE(param.standardErrorStarts.isEmpty()
                  ? error.isEmpty()
                  : error.startsWith(expected(param.standardErrorStarts)))
      << error.toStdString();
}

INSTANTIATE_TEST_SUITE_P(
    Arguments, ProgramRun,
    ::testing::Values(
        RunCase{"Help", {"--help"}, 0, "Usage: " BRIMWELL_EXECUTABLE " [options] [ROM]\n", {}},
        RunCase{"Version", {"--version"}, 0, kVersion, {}},
        RunCase{"UnknownOption",
                {"--frobnicate"},
                kUsageErrorExitCode,
                {},
                "Unknown option 'frobnicate'.\nUsage: "}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace brimwell
