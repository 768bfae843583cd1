// IPS: "PATCH", records of a three-byte offset and a two-byte size (both most significant byte
// first) followed by that many bytes, or by a two-byte count and one value to repeat when the
// size is zero; then "EOF", and the length to cut the file to when the patched file is shorter.

#include <algorithm>
#include <optional>

#include "rom/PatchCommon.h"

namespace brimwell {
namespace {

using patch_detail::ChangedSpan;
using patch_detail::ReadBigEndian;
using patch_detail::Refusal;

constexpr std::string_view kEndMarker = "EOF";
// A record at this offset would begin with the bytes "EOF", and every reader stops there.
constexpr std::size_t kEndMarkerOffset = 0x454F46;
constexpr std::size_t kOffsetLength = 3;
constexpr std::size_t kSizeLength = 2;
constexpr std::size_t kHeaderLength = kOffsetLength + kSizeLength;
constexpr std::size_t kRunRecordLength = kHeaderLength + kSizeLength + 1;
constexpr std::size_t kMaxRecordSize = 0xFFFF;
// Offsets and the cut length have three bytes.
constexpr std::size_t kOffsetLimit = std::size_t{1} << 24;

class IpsWriter {
 public:
  explicit IpsWriter(ConstRomBytes edited) : edited_(edited) {
    patch_.assign(patch_detail::kIpsMagic.begin(), patch_detail::kIpsMagic.end());
  }

  // Writes one span as records of bytes and runs, none of which starts at kEndMarkerOffset.
  // The byte before a span is never part of an earlier one (spans are apart by more than a
  // header), so a span starting there can take it in.
  void WriteSpan(ChangedSpan span) {
    std::size_t at = span.begin == kEndMarkerOffset ? span.begin - 1 : span.begin;
    while (at < span.end) {
      const std::size_t run = RunLength(at, span.end);
      const bool isRun = RunPays(run, false, at + run == span.end);
      std::size_t size = isRun ? run : BytesRecordSize(at, at + run, span.end);
      // The next record would start at the marker's offset: a record of bytes takes that byte
      // in too, unless it is full; a run, or a full record, leaves the byte before it out.
      if (at + size < span.end && at + size == kEndMarkerOffset) {
        if (!isRun && size < kMaxRecordSize) {
          ++size;
        } else {
          --size;
        }
      }
      if (isRun) {
        PutRunRecord(at, size);
      } else {
        PutBytesRecord(at, size);
      }
      at += size;
    }
  }

  std::vector<Byte> Finish(std::optional<std::size_t> cutLength) {
    patch_.insert(patch_.end(), kEndMarker.begin(), kEndMarker.end());
    if (cutLength) PutNumber(*cutLength, kOffsetLength);
    return std::move(patch_);
  }

 private:
  // How many bytes from `at` on repeat the byte there, up to `end` and one record's size.
  std::size_t RunLength(std::size_t at, std::size_t end) const {
    const std::size_t limit = std::min(end, at + kMaxRecordSize);
    std::size_t past = at + 1;
    while (past < limit && edited_[past] == edited_[at]) ++past;
    return past - at;
  }

  // Whether a run record makes the patch shorter than keeping the run in a record of bytes:
  // after a record of bytes, it ends that record, and unless it reaches the span's end, the
  // bytes after it need a new header.
  static bool RunPays(std::size_t run, bool afterBytes, bool reachesEnd) {
    const std::size_t asRun = kRunRecordLength + (reachesEnd ? 0 : kHeaderLength);
    const std::size_t asBytes = run + (afterBytes ? 0 : kHeaderLength);
    return asRun < asBytes;
  }

  // The size of a record of bytes from `at`: up to the next run that pays, given that the
  // bytes from `at` to `next` form a run that does not.
  std::size_t BytesRecordSize(std::size_t at, std::size_t next, std::size_t end) const {
    while (next < end && next - at < kMaxRecordSize) {
      const std::size_t run = RunLength(next, end);
      if (RunPays(run, true, next + run == end)) break;
      next += run;
    }
    return std::min(next - at, kMaxRecordSize);
  }

  void PutBytesRecord(std::size_t offset, std::size_t size) {
    PutNumber(offset, kOffsetLength);
    PutNumber(size, kSizeLength);
    const auto bytes = edited_.subspan(offset, size);
    patch_.insert(patch_.end(), bytes.begin(), bytes.end());
  }

  void PutRunRecord(std::size_t offset, std::size_t count) {
    PutNumber(offset, kOffsetLength);
    PutNumber(0, kSizeLength);
    PutNumber(count, kSizeLength);
    patch_.push_back(edited_[offset]);
  }

  void PutNumber(std::size_t value, std::size_t length) {
    for (std::size_t shift = 8 * length; shift > 0;) patch_.push_back(Byte(value >> (shift -= 8)));
  }

  ConstRomBytes edited_;
  std::vector<Byte> patch_;
};

struct IpsRecord {
  std::size_t offset = 0;
  std::size_t size = 0;
  std::size_t data = 0;  // where its bytes, or the value it repeats, start in the patch
  bool isRun = false;
};

// The records of a patch and the length of the file they make from one of originalLength.
struct IpsContents {
  std::vector<IpsRecord> records;
  std::size_t length = 0;
  std::string_view error;
};

IpsContents ReadIpsContents(ConstRomBytes patch, std::size_t originalLength) {
  IpsContents contents{{}, originalLength, {}};
  std::size_t at = patch_detail::kIpsMagic.size();
  const auto has = [&](std::size_t count) { return patch.size() - at >= count; };
  while (true) {
    if (!has(kEndMarker.size())) return {{}, 0, kPatchCutShortError};
    if (patch_detail::StartsWith(patch.subspan(at), kEndMarker)) break;
    if (!has(kHeaderLength)) return {{}, 0, kPatchCutShortError};
    IpsRecord record{ReadBigEndian(patch, at, kOffsetLength),
                     ReadBigEndian(patch, at + kOffsetLength, kSizeLength), at + kHeaderLength};
    at += kHeaderLength;
    if (record.size == 0) {
      if (!has(kSizeLength + 1)) return {{}, 0, kPatchCutShortError};
      record = {record.offset, ReadBigEndian(patch, at, kSizeLength), at + kSizeLength, true};
      at += kSizeLength + 1;
    } else {
      if (!has(record.size)) return {{}, 0, kPatchCutShortError};
      at += record.size;
    }
    contents.length = std::max(contents.length, record.offset + record.size);
    contents.records.push_back(record);
  }
  at += kEndMarker.size();
  const std::size_t trailing = patch.size() - at;
  if (trailing == 0) return contents;
  if (trailing != kOffsetLength) return {{}, 0, kPatchDamagedError};
  const std::size_t cutLength = ReadBigEndian(patch, at, kOffsetLength);
  // A cut to more than the patched length was made for a longer file.
  if (cutLength > contents.length) return {{}, 0, kPatchForOtherRomError};
  contents.length = cutLength;
  return contents;
}

}  // namespace

PatchResult CreateIpsPatch(ConstRomBytes original, ConstRomBytes edited) {
  if (edited.size() > kMaxPatchedLength) return Refusal(kPatchTooLargeError);
  const bool cut = edited.size() < original.size();
  if (cut && edited.size() >= kOffsetLimit) return Refusal(kIpsOutOfReachError);
  IpsWriter writer(edited);
  // More than a header apart, as WriteSpan needs.
  for (const ChangedSpan& span : patch_detail::ChangedSpans(original, edited, kHeaderLength))
    writer.WriteSpan(span);
  return {writer.Finish(cut ? std::optional(edited.size()) : std::nullopt), {}};
}

PatchResult ApplyIpsPatch(ConstRomBytes patch, ConstRomBytes original) {
  if (!patch_detail::StartsWith(patch, patch_detail::kIpsMagic)) return Refusal(kNotAPatchError);
  const IpsContents contents = ReadIpsContents(patch, original.size());
  if (!contents.error.empty()) return Refusal(contents.error);
  if (contents.length > kMaxPatchedLength) return Refusal(kPatchTooLargeError);

  // Bytes between the original's end and a record past it stay zero.
  std::vector<Byte> patched(contents.length);
  std::copy_n(original.begin(), std::min(original.size(), patched.size()), patched.begin());
  for (const IpsRecord& record : contents.records) {
    if (record.offset >= patched.size()) continue;
    const std::size_t size = std::min(record.size, patched.size() - record.offset);
    const auto to = patched.begin() + std::ptrdiff_t(record.offset);
    if (record.isRun) {
      std::fill_n(to, size, patch[record.data]);
    } else {
      std::copy_n(patch.begin() + std::ptrdiff_t(record.data), size, to);
    }
  }
  return {std::move(patched), {}};
}

}  // namespace brimwell
