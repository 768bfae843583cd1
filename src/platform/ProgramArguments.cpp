#include "platform/ProgramArguments.h"

#ifdef _WIN32
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
// shellapi.h needs windows.h first.
#include <shellapi.h>

#include "platform/WindowsText.h"
#endif

namespace brimwell {

#ifdef _WIN32

std::vector<std::string> ProgramArguments(int, char**) {
  int count = 0;
  wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &count);
  std::vector<std::string> arguments;
  if (!wide) return arguments;
  for (int index = 0; index < count; ++index) arguments.push_back(Narrow(wide[index]));
  LocalFree(wide);
  return arguments;
}

void PrintUtf8ToConsole() {
  SetConsoleOutputCP(CP_UTF8);
}

#else

std::vector<std::string> ProgramArguments(int argc, char** argv) {
  return {argv, argv + argc};
}

void PrintUtf8ToConsole() {}

#endif

}  // namespace brimwell
