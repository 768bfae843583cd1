// brimwell-cli: every editor's settings without a window, for scripts and build pipelines.

#include <iostream>

#include "cli/CliApp.h"

int main(int argc, char** argv) {
  return brimwell::cli::RunCommandLine(argc, argv, {std::cout, std::cerr});
}
