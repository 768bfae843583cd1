#pragma once

// Constant tables shared by the editors. They stay data: each table sits beside a note on
// what the game's code does with it.

#include <array>
#include <cstddef>
#include <cstdint>

namespace brimwell::BrimwellConst {

// The first four bytes of a current-layout "Quillon.dat".
inline constexpr std::array<std::uint8_t, 4> kQuillonSignature = {'Q', 'W', 'L', '1'};

// The game's map sprites (map objects), ids 0 to 207.
inline constexpr std::size_t kSpriteCount = 208;

// Bank 0x0E, CPU $90D3: the CPU address of each sprite's talk routine, low byte first.
inline constexpr std::size_t kSpriteHandlerTable = 0x390E3;

// Bank 0x0E, CPU $95D5: four talk parameter bytes per sprite, which its routine interprets.
inline constexpr std::size_t kSpriteTalkParameters = 0x395E5;

// The CPU addresses (bank 0x0E) of the 42 talk routines that the sprite editor knows, in the
// order of its handler list. The game jumps through the sprite's pointer table entry to one of
// them when the player speaks to the sprite.
inline constexpr std::array<std::uint16_t, 42> kHandlerAddresses = {
    0x9297, 0x92B1, 0x92BE, 0x92D0, 0x9301, 0x931E, 0x9338, 0x9352, 0x936C, 0x9398, 0x93BA,
    0x93D7, 0x93E4, 0x93FB, 0x9428, 0x9438, 0x9448, 0x9458, 0x9468, 0x947D, 0x9502, 0x9586,
    0x9594, 0x9296, 0x941B, 0x9492, 0x9495, 0x94A2, 0x94AA, 0x94B7, 0x94B8, 0x94C5, 0x94D7,
    0x94E2, 0x94F0, 0x951F, 0x9533, 0x953E, 0x9549, 0x9559, 0x956B, 0x9576,
};

// The sprite window's label colours: blue over a setting that the sprite's talk routine uses,
// the desktop's grey-text colour over one that it does not. The grey is the system's own, so it
// follows the user's theme; the blue is fixed.
struct LabelColour {
  bool systemGrayText = false;
  std::uint8_t red = 0;
  std::uint8_t green = 0;
  std::uint8_t blue = 0;
};
inline constexpr LabelColour clBlue = {.red = 0x00, .green = 0x00, .blue = 0xFF};
inline constexpr LabelColour clGrayText = {.systemGrayText = true};

}  // namespace brimwell::BrimwellConst
