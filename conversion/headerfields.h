#pragma once

// Little-endian fields of a file's header, as BMP files store them.

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace quillomat {

// The unsigned field of size bytes (at most 8) at offset; bytes past the
// file's end read as 0, so a short file never reads out of bounds.
inline std::uint64_t UnsignedFieldAt(std::string_view file, std::size_t offset, std::size_t size) {
  std::uint64_t value = 0;
  for (std::size_t i = size; i-- > 0;) {
    const std::size_t at = offset + i;
    value = (value << 8U) | (at < file.size() ? static_cast<std::uint8_t>(file[at]) : 0U);
  }
  return value;
}

// The signed 16-bit (size 2) or 32-bit (size 4) field at offset.
inline std::int64_t SignedFieldAt(std::string_view file, std::size_t offset, std::size_t size) {
  const std::uint64_t value = UnsignedFieldAt(file, offset, size);
  return size == 2 ? std::int64_t{static_cast<std::int16_t>(value)} : std::int64_t{static_cast<std::int32_t>(value)};
}

}  // namespace quillomat
