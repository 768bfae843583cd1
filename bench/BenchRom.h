#pragma once

// The ROM image and Quillon data file that the benchmarks work on, made up here: no real
// ROM or data file is used.

#include <string>
#include <vector>

#include "rom/QuillonData.h"
#include "rom/RomImage.h"

namespace brimwell::bench {

// An image of the smallest accepted length: filler bytes, and a talk-routine table in which
// sprite i runs catalogue routine i mod 42, so that every routine's settings are read and
// written.
std::vector<Byte> MakeBenchRom();

// A data file of the current layout that names romPath as Quillon's last ROM and gives every
// sprite and dialogue string a name of ordinary length.
std::vector<Byte> MakeBenchQuillonFile(const std::string& romPath);

// The name lists that an open of MakeBenchRom() builds from MakeBenchQuillonFile().
struct BenchNames {
  SpriteNameList sprites;
  DialogueNameList dialogues;
};
BenchNames MakeBenchNames(ConstRomBytes image);

}  // namespace brimwell::bench
