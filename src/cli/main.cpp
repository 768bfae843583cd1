// brimwell-cli: every editor's settings without a window, for scripts and build pipelines.

#include <iostream>

#include "cli/CliApp.h"
#include "platform/ProgramArguments.h"

int main(int argc, char** argv) {
  const std::vector<std::string> arguments = brimwell::ProgramArguments(argc, argv);
  std::vector<const char*> pointers;
  for (const std::string& argument : arguments) pointers.push_back(argument.c_str());
  brimwell::PrintUtf8ToConsole();
  return brimwell::cli::RunCommandLine(int(pointers.size()), pointers.data(),
                                       {std::cout, std::cerr});
}
