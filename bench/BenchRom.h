#pragma once

// The ROM image and Quillon data file that the benchmarks work on, made up here: no real
// ROM or data file is used.

#include <string>
#include <vector>

#include "platform/PlatformFiles.h"
#include "rom/QuillonData.h"
#include "rom/RomDocument.h"
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

// What the main window holds after opening MakeBenchRom() from a file: the document and the
// name lists that the editors are given.
class BenchDocument {
 public:
  BenchDocument();

  RomDocument& Document() { return document_; }
  RomImage& Image() { return document_.Image(); }
  const BenchNames& Names() const { return names_; }

 private:
  PlatformFiles files_;
  RomDocument document_{files_};
  BenchNames names_;
};

}  // namespace brimwell::bench
