#pragma once

// Stretches of the image by file offset: the bytes that one setting is kept in, or bytes that
// changed.

#include <cstddef>
#include <span>
#include <vector>

namespace brimwell {

struct ByteRange {
  std::size_t offset = 0;
  std::size_t length = 0;

  std::size_t End() const { return offset + length; }
  bool operator==(const ByteRange&) const = default;
};

// The bytes that hold one setting: what a store of it alone may write, and what a change in them
// is put down to. Ranges come in no particular order and may overlap.
class Footprint {
 public:
  Footprint& Add(std::size_t offset, std::size_t length = 1) {
    if (length > 0) ranges_.push_back({offset, length});
    return *this;
  }
  // Bytes apart, one at each offset: a value whose bytes are operands of separate instructions.
  Footprint& Add(std::span<const std::size_t> offsets) {
    for (std::size_t offset : offsets) Add(offset);
    return *this;
  }
  Footprint& Add(const Footprint& other) {
    ranges_.insert(ranges_.end(), other.ranges_.begin(), other.ranges_.end());
    return *this;
  }

  const std::vector<ByteRange>& Ranges() const { return ranges_; }

 private:
  std::vector<ByteRange> ranges_;
};

}  // namespace brimwell
