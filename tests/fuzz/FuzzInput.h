#pragma once

// A fuzz input read as a stream of values, and its mirror image that writes seed inputs in the
// same form. Reading never fails: past the end every value is zero, so any byte string is a
// valid input.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "rom/RomImage.h"

namespace brimwell::fuzz {

class FuzzInput {
 public:
  explicit FuzzInput(std::span<const Byte> data) : rest_(data) {}

  Byte TakeByte() {
    if (rest_.empty()) return 0;
    const Byte value = rest_.front();
    rest_ = rest_.subspan(1);
    return value;
  }
  bool TakeBool() { return (TakeByte() & 1) != 0; }
  // Little-endian, as SeedWriter puts them.
  std::uint16_t TakeUint16() { return static_cast<std::uint16_t>(TakeUnsigned(2)); }
  std::int32_t TakeInt32() { return static_cast<std::int32_t>(TakeUnsigned(4)); }
  // Fewer bytes when the input ends first.
  std::span<const Byte> TakeBytes(std::size_t count) {
    const auto taken = rest_.first(std::min(count, rest_.size()));
    rest_ = rest_.subspan(taken.size());
    return taken;
  }
  std::span<const Byte> TakeRest() { return TakeBytes(rest_.size()); }
  std::string_view TakeRestAsText() {
    const auto bytes = TakeRest();
    return {reinterpret_cast<const char*>(bytes.data()), bytes.size()};
  }

 private:
  std::uint32_t TakeUnsigned(int byteCount) {
    std::uint32_t value = 0;
    for (int i = 0; i < byteCount; ++i) value |= std::uint32_t{TakeByte()} << (8 * i);
    return value;
  }

  std::span<const Byte> rest_;
};

class SeedWriter {
 public:
  SeedWriter& PutByte(Byte value) {
    bytes_.push_back(value);
    return *this;
  }
  SeedWriter& PutBool(bool value) { return PutByte(value ? 1 : 0); }
  SeedWriter& PutUint16(std::uint16_t value) { return PutUnsigned(value, 2); }
  SeedWriter& PutInt32(std::int32_t value) {
    return PutUnsigned(static_cast<std::uint32_t>(value), 4);
  }
  SeedWriter& PutBytes(std::span<const Byte> bytes) {
    bytes_.insert(bytes_.end(), bytes.begin(), bytes.end());
    return *this;
  }
  SeedWriter& PutText(std::string_view text) {
    bytes_.insert(bytes_.end(), text.begin(), text.end());
    return *this;
  }

  const std::vector<Byte>& Bytes() const { return bytes_; }

 private:
  SeedWriter& PutUnsigned(std::uint32_t value, int byteCount) {
    for (int i = 0; i < byteCount; ++i) bytes_.push_back(static_cast<Byte>(value >> (8 * i)));
    return *this;
  }

  std::vector<Byte> bytes_;
};

}  // namespace brimwell::fuzz
