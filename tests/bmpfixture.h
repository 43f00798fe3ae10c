#pragma once

// 1-bit BMP files built from a small pixel grid, for tests.

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

struct BmpOptions {
  // 12 (OS/2 core), 16 to 64 (OS/2 2.x; 40, 52 and 56 Windows'), 108 (V4)
  // or 124 (V5); another size gets the 32-bit layout too. Only the fields
  // that fit in it are written.
  std::uint32_t infoHeaderSize = 40;
  bool topDown = false;                // stored top row first, negative height
  bool spareBitsSet = false;           // bits past the width and the row padding
  std::array<std::uint32_t, 2> palette{0x00FFFFFF, 0x00000000};
  std::uint16_t bitCount = 1;          // written into the header only
  std::size_t trailingBytes = 0;       // extra bytes after the last row
  // Palette entries stored (1 or 2) and, where the header has the field,
  // counted in the colours-used field; then a gap of unused bytes before
  // the pixels.
  std::size_t paletteEntries = 2;
  std::size_t gapBeforePixels = 0;
  // Header fields that disagree with the pixels stored: the pixel-data
  // offset, and width and height (height with its sign, as stored).
  std::optional<std::uint32_t> pixelDataOffset = std::nullopt;
  std::optional<std::int32_t> headerWidth = std::nullopt;
  std::optional<std::int32_t> headerHeight = std::nullopt;
};

namespace bmpfixture_detail {
inline void put16(std::string& out, std::size_t at, std::uint32_t value) {
  out[at] = static_cast<char>(value & 0xFF);
  out[at + 1] = static_cast<char>((value >> 8) & 0xFF);
}
inline void put32(std::string& out, std::size_t at, std::uint32_t value) {
  put16(out, at, value & 0xFFFF);
  put16(out, at + 2, value >> 16);
}
}  // namespace bmpfixture_detail

// Bytes one stored row occupies for a picture of the given width.
inline std::size_t monochromeRowStride(std::size_t width) { return (width + 31) / 32 * 4; }

// rows: top row first, 'X' a set pixel (stored bit 1), anything else clear.
// All rows have the picture's width.
inline std::string makeMonochromeBmp(const std::vector<std::string>& rows, const BmpOptions& options = {}) {
  using namespace bmpfixture_detail;
  const std::size_t width = rows.empty() ? 0 : rows.front().size();
  const std::size_t height = rows.size();
  const std::size_t stride = monochromeRowStride(width);
  // The OS/2 core header has 16-bit sizes and 3-byte palette entries.
  const bool core = options.infoHeaderSize == 12;
  const std::size_t paletteEntry = core ? 3 : 4;
  const std::size_t paletteStart = 14 + options.infoHeaderSize;
  const std::size_t offset = paletteStart + options.paletteEntries * paletteEntry + options.gapBeforePixels;
  std::string file(offset + stride * height + options.trailingBytes, '\0');

  file[0] = 'B';
  file[1] = 'M';
  put32(file, 2, static_cast<std::uint32_t>(file.size()));
  put32(file, 10, options.pixelDataOffset.value_or(static_cast<std::uint32_t>(offset)));
  put32(file, 14, options.infoHeaderSize);
  const auto storedHeight = static_cast<std::int32_t>(height);
  const auto headerWidth = static_cast<std::uint32_t>(options.headerWidth.value_or(static_cast<std::int32_t>(width)));
  const auto headerHeight =
      static_cast<std::uint32_t>(options.headerHeight.value_or(options.topDown ? -storedHeight : storedHeight));
  if (core) {
    put16(file, 18, headerWidth & 0xFFFF);
    put16(file, 20, headerHeight & 0xFFFF);
    put16(file, 22, 1);
    put16(file, 24, options.bitCount);
  } else {
    // Fields at file offsets, each written where the header holds it.
    const auto held = [&](std::size_t at) { return at + 4 <= paletteStart; };
    put32(file, 18, headerWidth);
    put32(file, 22, headerHeight);
    put16(file, 26, 1);
    put16(file, 28, options.bitCount);
    if (held(34)) put32(file, 34, static_cast<std::uint32_t>(stride * height));
    if (held(38)) put32(file, 38, 2835);  // 72 dpi
    if (held(42)) put32(file, 42, 2835);
    if (held(46)) put32(file, 46, static_cast<std::uint32_t>(options.paletteEntries));
    if (held(50)) put32(file, 50, static_cast<std::uint32_t>(options.paletteEntries));
  }
  if (options.infoHeaderSize >= 108) {
    put32(file, 14 + 56, 0x73524742);  // 'sRGB' after the four colour masks
    if (options.infoHeaderSize >= 124) put32(file, 14 + 108, 4);  // intent: pictures
  }
  for (std::size_t i = 0; i < options.paletteEntries; ++i) {
    for (std::size_t b = 0; b < paletteEntry; ++b) {
      file[paletteStart + i * paletteEntry + b] = static_cast<char>((options.palette[i] >> (8 * b)) & 0xFF);
    }
  }

  for (std::size_t y = 0; y < height; ++y) {
    const std::size_t storedRow = options.topDown ? y : height - 1 - y;
    const std::size_t rowStart = offset + storedRow * stride;
    for (std::size_t x = 0; x < stride * 8; ++x) {
      const bool set = x < width ? rows[y][x] == 'X' : options.spareBitsSet;
      if (set) file[rowStart + x / 8] = static_cast<char>(file[rowStart + x / 8] | (0x80 >> (x % 8)));
    }
  }
  return file;
}

// A width x height grid whose pixel (x, y) is set where isSet(x, y) holds.
template <typename Predicate>
std::vector<std::string> pixelGrid(std::size_t width, std::size_t height, Predicate isSet) {
  std::vector<std::string> rows(height, std::string(width, '.'));
  for (std::size_t y = 0; y < height; ++y) {
    for (std::size_t x = 0; x < width; ++x) {
      if (isSet(x, y)) rows[y][x] = 'X';
    }
  }
  return rows;
}

// A grid whose column byte at pixel column x of band b is columnByte(x, b):
// bit r of that byte is the pixel in row 8b + r.
template <typename ColumnByte>
std::vector<std::string> gridOfColumnBytes(std::size_t width, std::size_t bands, ColumnByte columnByte) {
  return pixelGrid(width, 8 * bands, [&](std::size_t x, std::size_t y) {
    return ((columnByte(x, y / 8) >> (y % 8)) & 1U) != 0;
  });
}

// A 16 x 8 netpbm picture whose comment holds what a 40-byte header of a
// 16 x 8 1-bit picture would, pixel-data offset and all: read as a BMP, its
// rows would come from the comment.
inline std::string netpbmWithHeaderInComment() {
  std::string comment(96, '\0');
  comment[10 - 4] = 62;
  comment[14 - 4] = 40;
  comment[18 - 4] = 16;
  comment[22 - 4] = 8;
  comment[26 - 4] = 1;
  comment[28 - 4] = 1;
  return "P4\n#" + comment + "\n16 8\n" + std::string(16, '\x55');
}
