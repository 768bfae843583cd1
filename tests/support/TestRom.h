#pragma once

// Builders for the files the tests need: synthetic ROM images and scratch folders. No real
// ROM or data file is ever used.

#include <cstddef>
#include <filesystem>
#include <string>
#include <vector>

#include "rom/RomImage.h"

namespace brimwell::testing {

// A ROM image of the given length: a fixed pseudo-random filler, so that a stray write shows
// up in a whole-image comparison, with the original game's bytes at the locations that the
// editors read and write.
std::vector<Byte> MakeTestRom(std::size_t length = kMinRomLength);

// The bytes at [offset, offset + count) of an image, for compact expectations.
std::vector<Byte> Slice(ConstRomBytes image, std::size_t offset, std::size_t count);

// The offsets at which two images of one length differ.
std::vector<std::size_t> DifferingOffsets(ConstRomBytes before, ConstRomBytes after);

// A fresh folder under the system's temporary folder, removed with everything in it.
class ScratchFolder {
 public:
  ScratchFolder();
  ~ScratchFolder();
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;

  const std::filesystem::path& Path() const { return path_; }
  std::string File(const std::string& name) const { return (path_ / name).string(); }
  std::string Write(const std::string& name, const std::vector<Byte>& bytes) const;
  std::vector<Byte> Read(const std::string& name) const;
  // The names of every entry in the folder, sorted.
  std::vector<std::string> Entries() const;

 private:
  std::filesystem::path path_;
};

}  // namespace brimwell::testing
