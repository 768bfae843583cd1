#pragma once

// Quillon's data file "Quillon.dat", read once at start-up and never written: it names the
// game's map sprites and dialogue strings for the sprite editor, and holds the path of the ROM
// that Quillon had open last. Two layouts exist; the older one is converted into the current one.

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "platform/PlatformFiles.h"
#include "rom/RomImage.h"

namespace brimwell {

inline constexpr char kQuillonFileName[] = "Quillon.dat";
inline constexpr std::size_t kQuillonRecordSize = 34709;

// The current layout without its signature. Bytes the file does not supply are zero; the bytes
// this program does not interpret are carried along untouched.
struct QuillonRecord {
  std::array<Byte, kQuillonRecordSize> bytes{};
};

// The full path of the ROM that Quillon had open last, as UTF-8; empty for the older layout.
std::string LastRomPath(const QuillonRecord& record);

struct SpriteName {
  std::string name;                  // UTF-8
  std::uint16_t handlerAddress = 0;  // CPU address of the sprite's talk handler
};
using SpriteNameList = std::vector<SpriteName>;     // 208 after FillNameLists
using DialogueNameList = std::vector<std::string>;  // 256 after FillNameLists, UTF-8

enum class QuillonLoadResult { Loaded, NotFound, InvalidSignature };
// What the user is told about a data file of neither layout.
inline constexpr char kQuillonInvalidMessage[] = "Invalid Quillon data file";

// Reads a data file's contents, in either layout, into record; a file shorter than its layout
// leaves the rest zero. Unless the result is Loaded, the record is all zero.
QuillonLoadResult ParseQuillonData(std::span<const Byte> file, QuillonRecord& record);

// Where the data file is read from unless the user names another: "Quillon.dat" in the
// executable's folder.
std::string QuillonFileBesideExecutable(PlatformFiles& files);

// Reads the data file at path without sharing it. NotFound when it is missing or another program
// has it open.
QuillonLoadResult LoadQuillonData(PlatformFiles& files, const std::string& path,
                                  QuillonRecord& record);

// Rebuilds both lists from the record, and the sprites' handler addresses from the image's
// sprite handler table. An image too short to hold the sprite tables gives addresses of 0.
void FillNameLists(const QuillonRecord& record, ConstRomBytes image, SpriteNameList& sprites,
                   DialogueNameList& dialogues);

}  // namespace brimwell
