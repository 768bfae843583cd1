#pragma once

// The whole ROM file in memory, byte for byte, header included: every ROM location in the
// program is an index into it. Its length and storage only change when a new file is opened,
// so the views that the editors hold stay valid until then.

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace brimwell {

using Byte = std::uint8_t;
using RomBytes = std::span<Byte>;
using ConstRomBytes = std::span<const Byte>;

// A 16-byte iNES header plus 256 KiB of program ROM.
inline constexpr std::size_t kMinRomLength = 0x40010;
// Far more than any NES image holds: a longer file is refused by its size, before it is read.
inline constexpr std::size_t kMaxRomLength = 16 * 1024 * 1024;

// The offsets of a value's bytes, least significant first. The game keeps some values with
// their bytes apart, as operands of separate instructions.
using ByteOffsets = std::span<const std::size_t>;

// Count offsets in a row from first, for a value whose bytes lie together.
template <std::size_t Count>
constexpr std::array<std::size_t, Count> ConsecutiveOffsets(std::size_t first) {
  std::array<std::size_t, Count> offsets{};
  for (std::size_t i = 0; i < Count; ++i) offsets[i] = first + i;
  return offsets;
}

inline std::uint32_t ReadLittleEndian(std::span<const Byte> bytes, ByteOffsets offsets) {
  std::uint32_t value = 0;
  for (std::size_t i = 0; i < offsets.size(); ++i)
    value |= std::uint32_t{bytes[offsets[i]]} << (8 * i);
  return value;
}

inline void WriteLittleEndian(std::span<Byte> bytes, ByteOffsets offsets, std::uint32_t value) {
  for (std::size_t i = 0; i < offsets.size(); ++i)
    bytes[offsets[i]] = static_cast<Byte>(value >> (8 * i));
}

class RomImage {
 public:
  std::size_t Length() const { return bytes_.size(); }
  bool Empty() const { return bytes_.empty(); }

  RomBytes Bytes() { return bytes_; }
  ConstRomBytes Bytes() const { return bytes_; }
  const std::vector<Byte>& Contents() const { return bytes_; }

  Byte& operator[](std::size_t offset) { return bytes_[offset]; }
  Byte operator[](std::size_t offset) const { return bytes_[offset]; }

  // Releases the storage; any view handed out before is dead from here on.
  void Clear() { std::vector<Byte>().swap(bytes_); }
  void Assign(std::vector<Byte>&& bytes) { bytes_ = std::move(bytes); }

 private:
  std::vector<Byte> bytes_;
};

}  // namespace brimwell
