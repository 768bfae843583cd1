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

// Bank 0x0C, CPU $BA4E: the "Evade Down" spell effect jumps past itself unconditionally (JMP
// $BA67), so spells of that type do nothing. The fix makes the jump conditional (BEQ $BA67, then
// a NOP), taken only when the zero flag is set, and puts 0x46 at $B823 (0x33833).
inline constexpr std::array<std::uint8_t, 3> EvadeDownFixPatched = {0xF0, 0x17, 0xEA};
inline constexpr std::array<std::uint8_t, 3> EvadeDownFixUnpatched = {0x4C, 0x67, 0xBA};
inline constexpr std::uint8_t EvadeDownFixLockByte = 0x46;

// Bank 0x0C, CPU $B8C9 and $B8D5: the elemental weakness bonus of spell damage. Six bytes
// adjust the 16-bit bonus at $6858..$6859, then JSR $AE7B applies it. Halving (LSR $6859, ROR
// $6858) is the original game, for 1.5x damage; six NOPs keep the bonus whole (2x); ASL $6858,
// ROL $6859 double it (3x); three NOPs in place of the call drop it. None and Full are two
// choices that happen to share their six bytes.
inline constexpr std::array<std::uint8_t, 6> WeakBonusNone = {0xEA, 0xEA, 0xEA, 0xEA, 0xEA, 0xEA};
inline constexpr std::array<std::uint8_t, 6> WeakBonusHalf = {0x4E, 0x59, 0x68, 0x6E, 0x58, 0x68};
inline constexpr std::array<std::uint8_t, 6> WeakBonusFull = {0xEA, 0xEA, 0xEA, 0xEA, 0xEA, 0xEA};
inline constexpr std::array<std::uint8_t, 6> WeakBonusDouble = {0x0E, 0x58, 0x68, 0x2E, 0x59, 0x68};
inline constexpr std::array<std::uint8_t, 3> WeakBonusCall = {0x20, 0x7B, 0xAE};
inline constexpr std::array<std::uint8_t, 3> WeakBonusNoCall = {0xEA, 0xEA, 0xEA};

}  // namespace brimwell::BrimwellConst
