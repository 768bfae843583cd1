#include "rom/PatchFile.h"

#include <algorithm>
#include <bit>
#include <cctype>
#include <cstdint>
#include <cstring>

#include "rom/PatchCommon.h"

namespace brimwell {
namespace patch_detail {
namespace {

using Word = std::uint64_t;
constexpr std::size_t kWordLength = sizeof(Word);
// Equal stretches are skipped this many bytes at a time before a difference is looked for
// word by word: a patch is made by comparing every byte of two ROMs, mostly equal.
constexpr std::size_t kStrideWords = 4;
constexpr std::size_t kStrideLength = kStrideWords * kWordLength;

Word WordAt(const Byte* bytes) {
  Word word;
  std::memcpy(&word, bytes, kWordLength);
  return word;
}

// The index of the first byte in which two unequal words differ.
std::size_t FirstDifferingByte(Word a, Word b) {
  const Word differing = a ^ b;
  const int bit = std::endian::native == std::endian::little ? std::countr_zero(differing)
                                                             : std::countl_zero(differing);
  return std::size_t(bit) / 8;
}

// The first position in [from, to) where a and b differ, or `to`.
std::size_t FirstDifference(const Byte* a, const Byte* b, std::size_t from, std::size_t to) {
  while (to - from >= kStrideLength) {
    Word differing = 0;
    for (std::size_t word = 0; word < kStrideWords; ++word) {
      const std::size_t at = from + word * kWordLength;
      differing |= WordAt(a + at) ^ WordAt(b + at);
    }
    if (differing != 0) break;
    from += kStrideLength;
  }
  for (; to - from >= kWordLength; from += kWordLength) {
    const Word wordA = WordAt(a + from);
    const Word wordB = WordAt(b + from);
    if (wordA != wordB) return from + FirstDifferingByte(wordA, wordB);
  }
  while (from < to && a[from] == b[from]) ++from;
  return from;
}

}  // namespace

std::vector<ChangedSpan> ChangedSpans(ConstRomBytes original, ConstRomBytes edited,
                                      std::size_t mergeGap) {
  const std::size_t end = edited.size();
  const std::size_t common = std::min(original.size(), end);
  // The first position at or after `from` that a patch must write, or the end.
  const auto nextChange = [&](std::size_t from) {
    return from < common ? FirstDifference(original.data(), edited.data(), from, common) : from;
  };
  std::vector<ChangedSpan> spans;
  std::size_t next = nextChange(0);
  while (next < end) {
    ChangedSpan span{next, next + 1};
    next = nextChange(span.end);
    while (next < end && next - span.end < mergeGap) {
      span.end = next >= common ? end : next + 1;
      next = nextChange(span.end);
    }
    spans.push_back(span);
  }
  return spans;
}

bool StartsWith(ConstRomBytes bytes, std::string_view magic) {
  return bytes.size() >= magic.size() && std::equal(magic.begin(), magic.end(), bytes.begin());
}

std::size_t ReadBigEndian(ConstRomBytes bytes, std::size_t at, std::size_t count) {
  std::size_t value = 0;
  for (std::size_t i = 0; i < count; ++i) value = value << 8 | bytes[at + i];
  return value;
}

}  // namespace patch_detail

namespace {

bool EndsWithIgnoringCase(std::string_view text, std::string_view lowerSuffix) {
  if (text.size() < lowerSuffix.size()) return false;
  const std::string_view end = text.substr(text.size() - lowerSuffix.size());
  return std::equal(end.begin(), end.end(), lowerSuffix.begin(), [](char a, char b) {
    return std::tolower(static_cast<unsigned char>(a)) == b;
  });
}

}  // namespace

PatchResult CreatePatch(PatchFormat format, ConstRomBytes original, ConstRomBytes edited) {
  return format == PatchFormat::Ips ? CreateIpsPatch(original, edited)
                                    : CreateBpsPatch(original, edited);
}

PatchResult ApplyPatch(ConstRomBytes patch, ConstRomBytes original) {
  const std::optional<PatchFormat> format = PatchFormatOf(patch);
  if (!format) return patch_detail::Refusal(kNotAPatchError);
  return *format == PatchFormat::Ips ? ApplyIpsPatch(patch, original)
                                     : ApplyBpsPatch(patch, original);
}

std::string ApplyPatchToImage(ConstRomBytes patch, RomBytes image) {
  const PatchResult patched = ApplyPatch(patch, image);
  if (!patched.Ok()) return patched.error;
  if (patched.bytes.size() != image.size()) return std::string(kPatchChangesLengthError);
  std::ranges::copy(patched.bytes, image.begin());
  return {};
}

std::optional<PatchFormat> PatchFormatOf(ConstRomBytes patch) {
  if (patch_detail::StartsWith(patch, patch_detail::kIpsMagic)) return PatchFormat::Ips;
  if (patch_detail::StartsWith(patch, patch_detail::kBpsMagic)) return PatchFormat::Bps;
  return std::nullopt;
}

std::optional<PatchFormat> PatchFormatOfFileName(std::string_view fileName) {
  if (EndsWithIgnoringCase(fileName, ".ips")) return PatchFormat::Ips;
  if (EndsWithIgnoringCase(fileName, ".bps")) return PatchFormat::Bps;
  return std::nullopt;
}

std::size_t CountDifferingBytes(ConstRomBytes original, ConstRomBytes edited) {
  const std::size_t common = std::min(original.size(), edited.size());
  std::size_t count = std::max(original.size(), edited.size()) - common;
  for (std::size_t at = 0;; ++at, ++count) {
    at = patch_detail::FirstDifference(original.data(), edited.data(), at, common);
    if (at == common) return count;
  }
}

}  // namespace brimwell
