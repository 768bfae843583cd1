#pragma once

// The program's arguments as UTF-8, the same on every system. Windows hands main() its
// arguments in the ANSI code page, which cannot hold most names and maps some characters to
// others (a full-width letter to its ASCII twin, so that one file's name reaches another), so
// there they are read again from the UTF-16 command line.

#include <string>
#include <vector>

namespace brimwell {

std::vector<std::string> ProgramArguments(int argc, char** argv);

// Sets a Windows console to show the UTF-8 that the program prints; nothing elsewhere.
void PrintUtf8ToConsole();

}  // namespace brimwell
