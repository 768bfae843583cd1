#pragma once

// The command line of brimwell-cli: its commands, their options and help, and the exit codes.

#include "cli/Commands.h"

namespace brimwell::cli {

// Parses the arguments (the program's path first) and runs the command they name. Help and
// version go to out with exit code 0; a usage error goes to err with exit code 2.
int RunCommandLine(int argc, const char* const* argv, Streams streams);

}  // namespace brimwell::cli
