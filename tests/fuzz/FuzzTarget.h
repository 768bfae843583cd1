#pragma once

// What every fuzz target defines, and what it may use. A target is one source file with
// TestOneInput, which checks the program's invariants on one input through FUZZ_CHECK, and
// Seeds, the well-formed inputs its corpus starts from. The same file builds into the libFuzzer
// executable (clang, BRIMWELL_FUZZ=ON) and into a replay driver that runs the seeds and the
// checked-in corpus as an ordinary test in every build.

#include <string>
#include <vector>

#include "FuzzInput.h"
#include "rom/RomImage.h"

namespace brimwell::fuzz {

struct Seed {
  std::string name;  // the file name in the target's corpus folder
  std::vector<Byte> bytes;
};

// Defined by each target.
void TestOneInput(FuzzInput& input);
std::vector<Seed> Seeds();

// Reports a broken invariant and aborts, which libFuzzer records as a finding and which fails
// the replay test.
[[noreturn]] void Fail(const char* condition, const char* file, int line, const std::string& what);

// MakeTestRom() of the minimum length, built once: the fixed filler makes a stray write show.
const std::vector<Byte>& TestRomImage();

}  // namespace brimwell::fuzz

#define FUZZ_CHECK(condition, what)                                                   \
  do {                                                                                \
    if (!(condition)) ::brimwell::fuzz::Fail(#condition, __FILE__, __LINE__, (what)); \
  } while (false)
