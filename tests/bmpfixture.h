#pragma once

// Builds small 1-bit BMP files for tests: 14-byte file header, a 40-byte
// (or 124-byte) information header, a two-entry palette (0 white, 1 black),
// then the pixel rows, each padded to a multiple of 4 bytes.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

struct MonochromeBmpOptions {
  // Sets the bits past the picture's width and the row padding to 1.
  bool spareBitsSet = false;
  // 40 (BITMAPINFOHEADER) or 124 (BITMAPV5HEADER).
  std::uint32_t infoHeaderSize = 40;
  // Negative height: rows stored top row first.
  bool topDown = false;
};

// Bytes one stored row occupies for a picture of the given width.
inline std::size_t monochromeRowStride(std::size_t width) {
  return (width + 31) / 32 * 4;
}

// rows: one string per pixel row, top row first; 'X' a set bit (black),
// anything else a clear bit. All rows have the first row's length.
inline std::string makeMonochromeBmp(const std::vector<std::string>& rows,
                                     const MonochromeBmpOptions& options = {}) {
  const std::size_t width = rows.empty() ? 0 : rows.front().size();
  const std::size_t height = rows.size();
  const std::size_t stride = monochromeRowStride(width);
  const std::size_t paletteSize = 8;
  const std::size_t pixelOffset = 14 + options.infoHeaderSize + paletteSize;
  const std::size_t fileSize = pixelOffset + stride * height;

  std::string bytes;
  const auto put16 = [&bytes](std::uint32_t value) {
    bytes.push_back(static_cast<char>(value & 0xFFU));
    bytes.push_back(static_cast<char>((value >> 8U) & 0xFFU));
  };
  const auto put32 = [&put16](std::uint32_t value) {
    put16(value & 0xFFFFU);
    put16(value >> 16U);
  };
  const auto heightField = static_cast<std::uint32_t>(
      options.topDown ? -static_cast<std::int32_t>(height) : static_cast<std::int32_t>(height));

  bytes += "BM";
  put32(static_cast<std::uint32_t>(fileSize));
  put32(0);
  put32(static_cast<std::uint32_t>(pixelOffset));

  put32(options.infoHeaderSize);
  put32(static_cast<std::uint32_t>(width));
  put32(heightField);
  put16(1);   // planes
  put16(1);   // bits per pixel
  put32(0);   // uncompressed
  put32(static_cast<std::uint32_t>(stride * height));
  put32(2835);  // 72 dpi
  put32(2835);
  put32(2);   // colours used
  put32(2);   // colours important
  if (options.infoHeaderSize == 124) {
    for (int i = 0; i < 4; ++i) put32(0);  // colour masks
    put32(0x73524742);                     // 'sRGB'
    for (int i = 0; i < 9; ++i) put32(0);  // end points
    for (int i = 0; i < 3; ++i) put32(0);  // gamma
    put32(4);                              // intent: pictures
    for (int i = 0; i < 3; ++i) put32(0);  // profile data, size, reserved
  }

  put32(0x00FFFFFF);  // 0: white
  put32(0x00000000);  // 1: black

  for (std::size_t i = 0; i < height; ++i) {
    const std::string& row = rows[options.topDown ? i : height - 1 - i];
    std::string stored(stride, options.spareBitsSet ? '\xFF' : '\0');
    for (std::size_t x = 0; x < width; ++x) {
      const unsigned bit = 0x80U >> (x % 8);
      auto byte = static_cast<unsigned char>(stored[x / 8]);
      byte = static_cast<unsigned char>(row[x] == 'X' ? (byte | bit) : (byte & ~bit));
      stored[x / 8] = static_cast<char>(byte);
    }
    bytes += stored;
  }
  return bytes;
}
