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

// Paths as the program keeps them, in UTF-8 on every system; a std::string would be taken in
// the ANSI code page on Windows.
std::filesystem::path Utf8Path(const std::string& utf8);
std::string Utf8Text(const std::filesystem::path& path);

// A fresh folder under the system's temporary folder, removed with everything in it. Names and
// the paths it returns are UTF-8.
class ScratchFolder {
 public:
  ScratchFolder();
  ~ScratchFolder();
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;

  const std::filesystem::path& Path() const { return path_; }
  std::string File(const std::string& name) const { return Utf8Text(path_ / Utf8Path(name)); }
  std::string Write(const std::string& name, const std::vector<Byte>& bytes) const;
  std::vector<Byte> Read(const std::string& name) const;
  // The names of every entry in the folder, sorted.
  std::vector<std::string> Entries() const;

 private:
  std::filesystem::path path_;
};

}  // namespace brimwell::testing
