#pragma once

// Constant tables shared by the editors. They stay data: each table sits beside a note on
// what the game's code does with it.

#include <array>
#include <cstdint>

namespace brimwell::BrimwellConst {

// The first four bytes of a current-layout "Quillon.dat".
inline constexpr std::array<std::uint8_t, 4> kQuillonSignature = {'Q', 'W', 'L', '1'};

}  // namespace brimwell::BrimwellConst
