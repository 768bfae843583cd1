#pragma once

// Text in the 8-bit Windows ANSI code page, as Quillon writes it into its data file, turned into
// the UTF-8 that the rest of the program uses.

#include <span>
#include <string>

#include "rom/RomImage.h"

namespace brimwell {

// Decodes every byte as one Windows-1252 character, so that no byte is lost or merged: the five
// bytes that code page leaves undefined (0x81, 0x8D, 0x8F, 0x90, 0x9D) become the C1 control
// characters of the same value. Quillon writes in the system's ANSI code page; Western systems
// use Windows-1252, so the one table serves on every platform.
std::string DecodeWindows1252(std::span<const Byte> text);

}  // namespace brimwell
