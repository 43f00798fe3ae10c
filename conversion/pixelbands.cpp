#include "pixelbands.h"

#include <bit>
#include <cstddef>
#include <cstring>

namespace quillomat {

namespace {

// For a stored byte, a word whose byte j holds the byte's pixel j (bit 7 - j)
// in its bit 0. Shifting it by a band row r and or-ing the eight rows together
// transposes an 8 x 8 block of pixels in one go.
constexpr std::array<std::uint64_t, 256> makeSpreadTable() {
  std::array<std::uint64_t, 256> table{};
  for (std::size_t value = 0; value < table.size(); ++value) {
    for (std::size_t pixel = 0; pixel < 8; ++pixel) {
      if ((value >> (7 - pixel)) & 1U) table[value] |= std::uint64_t{1} << (8 * pixel);
    }
  }
  return table;
}

constexpr std::array<std::uint64_t, 256> SpreadTable = makeSpreadTable();

// Byte j of columns is pixel column j of the block.
void storeColumns(std::uint8_t* out, std::uint64_t columns) {
  if constexpr (std::endian::native == std::endian::little) {
    std::memcpy(out, &columns, sizeof columns);
  } else {
    for (std::size_t pixel = 0; pixel < 8; ++pixel) out[pixel] = static_cast<std::uint8_t>(columns >> (8 * pixel));
  }
}

}  // namespace

void GatherBand(const WorkArray& topDownRows, const FileGeometry& geometry, std::int64_t band,
                WorkArray& columnBytes) {
  const auto bytesPerRow = static_cast<std::size_t>(geometry.BytesPerRow);
  const std::size_t firstRow = 8 * static_cast<std::size_t>(band);
  std::size_t write = 8 * bytesPerRow * static_cast<std::size_t>(band);
  for (std::size_t m = 0; m < bytesPerRow; ++m) {
    const std::uint8_t* rows = &topDownRows[firstRow * bytesPerRow + 1 + m];
    std::uint64_t columns = 0;
    columns |= SpreadTable[rows[0 * bytesPerRow]];
    columns |= SpreadTable[rows[1 * bytesPerRow]] << 1;
    columns |= SpreadTable[rows[2 * bytesPerRow]] << 2;
    columns |= SpreadTable[rows[3 * bytesPerRow]] << 3;
    columns |= SpreadTable[rows[4 * bytesPerRow]] << 4;
    columns |= SpreadTable[rows[5 * bytesPerRow]] << 5;
    columns |= SpreadTable[rows[6 * bytesPerRow]] << 6;
    columns |= SpreadTable[rows[7 * bytesPerRow]] << 7;
    storeColumns(&columnBytes[write], columns);
    write += 8;
  }
}

}  // namespace quillomat
