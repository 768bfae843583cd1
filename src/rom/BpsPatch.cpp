// BPS: "BPS1", the source, target and metadata sizes, the metadata, then actions that build
// the target in order, and last the CRC-32 of the source, of the target and of the patch before
// that checksum, each least significant byte first. Numbers have seven bits a byte, the lowest
// first, the last byte marked by its top bit, and one is added after each byte that is not
// the last (so that every number has one spelling). An action's number holds its kind in the
// low two bits and its length less one above them; the copies then give an offset relative to
// where the previous copy of the same kind ended, as twice its distance plus one if backwards.

#include <zlib.h>

#include <algorithm>
#include <cstdint>

#include "rom/PatchCommon.h"

namespace brimwell {
namespace {

using patch_detail::ChangedSpan;
using patch_detail::Refusal;

enum Action : std::uint64_t { kSourceRead = 0, kTargetRead = 1, kSourceCopy = 2, kTargetCopy = 3 };
constexpr std::uint64_t kActionBits = 2;
constexpr std::uint64_t kActionMask = 3;

constexpr std::size_t kChecksumLength = 4;
constexpr std::size_t kChecksumsLength = 3 * kChecksumLength;
// The magic, three one-byte numbers and the checksums.
constexpr std::size_t kShortestPatch = patch_detail::kBpsMagic.size() + 3 + kChecksumsLength;

constexpr Byte kLastByteOfNumber = 0x80;
constexpr Byte kNumberBits = 0x7F;
constexpr unsigned kBitsPerNumberByte = 7;
// No size or offset that a patch may hold needs more: past it, the number is damage.
constexpr std::uint64_t kLargestNumberWeight = std::uint64_t{1} << 49;

// A source read between two target reads costs about two bytes of headers, as much as a gap of
// two equal bytes written out.
constexpr std::size_t kShortestSourceRead = 3;

std::uint32_t StoredChecksumAt(ConstRomBytes patch, std::size_t at) {
  return ReadLittleEndian(patch, ConsecutiveOffsets<kChecksumLength>(at));
}

std::uint32_t Checksum(ConstRomBytes bytes) {
  return static_cast<std::uint32_t>(crc32_z(0, bytes.data(), bytes.size()));
}

void PutNumber(std::vector<Byte>& patch, std::uint64_t value) {
  while (true) {
    const Byte low = value & kNumberBits;
    value >>= kBitsPerNumberByte;
    if (value == 0) {
      patch.push_back(kLastByteOfNumber | low);
      return;
    }
    patch.push_back(low);
    --value;
  }
}

// How many bytes PutNumber writes for value.
std::size_t NumberLength(std::uint64_t value) {
  std::size_t length = 1;
  for (value >>= kBitsPerNumberByte; value != 0; value >>= kBitsPerNumberByte) {
    --value;
    ++length;
  }
  return length;
}

std::uint64_t ActionNumber(Action action, std::size_t length) {
  return (std::uint64_t(length) - 1) << kActionBits | action;
}

void PutAction(std::vector<Byte>& patch, Action action, std::size_t length) {
  PutNumber(patch, ActionNumber(action, length));
}

// A copy's offset relative to where the previous copy of its kind ended.
std::uint64_t RelativeOffset(std::uint64_t from, std::uint64_t previousEnd) {
  return from < previousEnd ? (previousEnd - from) << 1 | 1 : (from - previousEnd) << 1;
}

// Writes the bytes of the edited file's changed spans: a run of one repeated byte as a target
// copy of the byte before it, which the copy repeats as it goes, and the rest as they are.
class BpsSpanWriter {
 public:
  BpsSpanWriter(ConstRomBytes edited, std::vector<Byte>& patch) : edited_(edited), patch_(patch) {}

  void Write(ChangedSpan span) {
    std::size_t unwritten = span.begin;
    for (std::size_t at = span.begin; at < span.end;) {
      const std::size_t end = RunEnd(at, span.end);
      // The byte before the run is already in the target when it repeats the run's byte
      // (where the span starts); otherwise the run's first byte is written out first.
      const std::size_t copyStart = at > 0 && edited_[at - 1] == edited_[at] ? at : at + 1;
      if (copyStart < end && CopyPays(copyStart, end - copyStart, end < span.end)) {
        PutTargetRead(unwritten, copyStart);
        PutAction(patch_, kTargetCopy, end - copyStart);
        PutNumber(patch_, RelativeOffset(copyStart - 1, copiedEnd_));
        copiedEnd_ = end - 1;
        unwritten = end;
      }
      at = end;
    }
    PutTargetRead(unwritten, span.end);
  }

 private:
  std::size_t RunEnd(std::size_t at, std::size_t end) const {
    std::size_t past = at + 1;
    while (past < end && edited_[past] == edited_[at]) ++past;
    return past;
  }

  // Whether the copy, and the header of the bytes after it, cost less than its bytes.
  bool CopyPays(std::size_t start, std::size_t length, bool bytesFollow) const {
    const std::size_t cost = NumberLength(ActionNumber(kTargetCopy, length)) +
                             NumberLength(RelativeOffset(start - 1, copiedEnd_)) + bytesFollow;
    return cost < length;
  }

  void PutTargetRead(std::size_t from, std::size_t to) {
    if (from == to) return;
    PutAction(patch_, kTargetRead, to - from);
    patch_.insert(patch_.end(), edited_.begin() + std::ptrdiff_t(from),
                  edited_.begin() + std::ptrdiff_t(to));
  }

  ConstRomBytes edited_;
  std::vector<Byte>& patch_;
  std::uint64_t copiedEnd_ = 0;  // where the last target copy read its last byte, plus one
};

void PutChecksum(std::vector<Byte>& patch, std::uint32_t checksum) {
  for (std::size_t i = 0; i < kChecksumLength; ++i) patch.push_back(Byte(checksum >> (8 * i)));
}

// Applies one patch whose own checksum has been checked. Every failure leaves error_ set.
class BpsReader {
 public:
  BpsReader(ConstRomBytes patch, ConstRomBytes source)
      : patch_(patch),
        source_(source),
        at_(patch_detail::kBpsMagic.size()),
        end_(patch.size() - kChecksumsLength) {}

  PatchResult Apply() {
    std::uint64_t sourceSize = 0, targetSize = 0, metadataSize = 0;
    if (!TakeNumber(sourceSize) || !TakeNumber(targetSize) || !TakeNumber(metadataSize))
      return Refusal(error_);
    if (metadataSize > end_ - at_) return Refusal(kPatchCutShortError);
    at_ += metadataSize;
    if (sourceSize != source_.size() || Checksum(source_) != StoredChecksum(0))
      return Refusal(kPatchForOtherRomError);
    if (targetSize > kMaxPatchedLength) return Refusal(kPatchTooLargeError);

    target_.resize(targetSize);
    while (at_ < end_)
      if (!TakeAction()) return Refusal(error_);
    if (written_ != target_.size()) return Refusal(kPatchDamagedError);
    if (Checksum(target_) != StoredChecksum(1)) return Refusal(kPatchChecksumError);
    return {std::move(target_), {}};
  }

 private:
  std::uint32_t StoredChecksum(std::size_t index) const {
    return StoredChecksumAt(patch_, end_ + index * kChecksumLength);
  }

  bool Fail(std::string_view error) {
    error_ = error;
    return false;
  }

  bool TakeNumber(std::uint64_t& value) {
    value = 0;
    for (std::uint64_t weight = 1;; weight <<= kBitsPerNumberByte) {
      if (at_ == end_) return Fail(kPatchCutShortError);
      if (weight > kLargestNumberWeight) return Fail(kPatchDamagedError);
      const Byte byte = patch_[at_++];
      value += (byte & kNumberBits) * weight;
      if (byte & kLastByteOfNumber) return true;
      value += weight << kBitsPerNumberByte;
    }
  }

  // Moves a copy's offset by the relative distance that comes next.
  bool TakeOffset(std::uint64_t& offset) {
    std::uint64_t relative = 0;
    if (!TakeNumber(relative)) return false;
    const std::uint64_t distance = relative >> 1;
    if (relative & 1) {
      if (distance > offset) return Fail(kPatchDamagedError);
      offset -= distance;
    } else {
      offset += distance;
    }
    return true;
  }

  bool TakeAction() {
    std::uint64_t number = 0;
    if (!TakeNumber(number)) return false;
    const std::uint64_t length = (number >> kActionBits) + 1;
    if (length > target_.size() - written_) return Fail(kPatchDamagedError);
    Byte* to = target_.data() + written_;
    switch (number & kActionMask) {
      case kSourceRead:
        if (!FitsSource(written_, length)) return Fail(kPatchDamagedError);
        std::copy_n(source_.begin() + std::ptrdiff_t(written_), length, to);
        break;
      case kTargetRead:
        if (length > end_ - at_) return Fail(kPatchCutShortError);
        std::copy_n(patch_.begin() + std::ptrdiff_t(at_), length, to);
        at_ += length;
        break;
      case kSourceCopy:
        if (!TakeOffset(sourceOffset_)) return false;
        if (!FitsSource(sourceOffset_, length)) return Fail(kPatchDamagedError);
        std::copy_n(source_.begin() + std::ptrdiff_t(sourceOffset_), length, to);
        sourceOffset_ += length;
        break;
      case kTargetCopy:
        if (!TakeOffset(targetOffset_)) return false;
        // Only bytes already made; byte by byte, since a copy may repeat what it has just made.
        if (targetOffset_ >= written_) return Fail(kPatchDamagedError);
        for (std::uint64_t i = 0; i < length; ++i) to[i] = target_[targetOffset_ + i];
        targetOffset_ += length;
        break;
    }
    written_ += length;
    return true;
  }

  bool FitsSource(std::uint64_t offset, std::uint64_t length) const {
    return offset <= source_.size() && length <= source_.size() - offset;
  }

  ConstRomBytes patch_;
  ConstRomBytes source_;
  std::size_t at_;
  std::size_t end_;  // where the actions end and the checksums begin
  std::vector<Byte> target_;
  std::uint64_t written_ = 0;
  std::uint64_t sourceOffset_ = 0;
  std::uint64_t targetOffset_ = 0;
  std::string_view error_;
};

}  // namespace

PatchResult CreateBpsPatch(ConstRomBytes original, ConstRomBytes edited) {
  if (edited.size() > kMaxPatchedLength) return Refusal(kPatchTooLargeError);
  std::vector<Byte> patch(patch_detail::kBpsMagic.begin(), patch_detail::kBpsMagic.end());
  PutNumber(patch, original.size());
  PutNumber(patch, edited.size());
  PutNumber(patch, 0);
  std::size_t made = 0;
  BpsSpanWriter writer(edited, patch);
  for (const ChangedSpan& span :
       patch_detail::ChangedSpans(original, edited, kShortestSourceRead)) {
    if (span.begin > made) PutAction(patch, kSourceRead, span.begin - made);
    writer.Write(span);
    made = span.end;
  }
  if (edited.size() > made) PutAction(patch, kSourceRead, edited.size() - made);
  PutChecksum(patch, Checksum(original));
  PutChecksum(patch, Checksum(edited));
  PutChecksum(patch, Checksum(patch));
  return {std::move(patch), {}};
}

PatchResult ApplyBpsPatch(ConstRomBytes patch, ConstRomBytes original) {
  if (!patch_detail::StartsWith(patch, patch_detail::kBpsMagic)) return Refusal(kNotAPatchError);
  if (patch.size() < kShortestPatch) return Refusal(kPatchCutShortError);
  // Checked first: nothing in a damaged patch, not even the source it names, can be trusted.
  const std::size_t checked = patch.size() - kChecksumLength;
  if (Checksum(patch.first(checked)) != StoredChecksumAt(patch, checked))
    return Refusal(kPatchChecksumError);
  return BpsReader(patch, original).Apply();
}

std::optional<BpsChecksums> CheckBpsChecksums(ConstRomBytes patch, ConstRomBytes source,
                                              ConstRomBytes target) {
  if (!patch_detail::StartsWith(patch, patch_detail::kBpsMagic) || patch.size() < kShortestPatch)
    return std::nullopt;
  const std::size_t checksums = patch.size() - kChecksumsLength;
  const auto check = [&](std::size_t index, ConstRomBytes bytes) {
    return ChecksumCheck{StoredChecksumAt(patch, checksums + index * kChecksumLength),
                         Checksum(bytes)};
  };
  return BpsChecksums{check(0, source), check(1, target),
                      check(2, patch.first(patch.size() - kChecksumLength))};
}

}  // namespace brimwell
