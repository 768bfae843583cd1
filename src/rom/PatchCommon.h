#pragma once

// What the IPS and BPS code share: where an edited file differs from its original, and the
// small pieces of reading and refusing.

#include <cstddef>
#include <string_view>
#include <vector>

#include "rom/PatchFile.h"

namespace brimwell::patch_detail {

inline constexpr std::string_view kIpsMagic = "PATCH";
inline constexpr std::string_view kBpsMagic = "BPS1";

// A stretch [begin, end) of the edited file that a patch writes out whole.
struct ChangedSpan {
  std::size_t begin = 0;
  std::size_t end = 0;
};

// The stretches that hold every differing byte and every byte past the original's end, in
// rising order and at least mergeGap bytes apart: a shorter run of equal bytes between two
// changes costs less written out than a new record would.
std::vector<ChangedSpan> ChangedSpans(ConstRomBytes original, ConstRomBytes edited,
                                      std::size_t mergeGap);

bool StartsWith(ConstRomBytes bytes, std::string_view magic);

// Reads count bytes at `at` as one number, most significant first.
std::size_t ReadBigEndian(ConstRomBytes bytes, std::size_t at, std::size_t count);

inline PatchResult Refusal(std::string_view reason) {
  return {{}, std::string(reason)};
}

}  // namespace brimwell::patch_detail
