#pragma once

// The one reading of a BMP file's headers, which the checks, the reading of
// the rows, the drop's reading of a large file and the preview share.
//
// Each information-header size that the format defines has its own layout:
//  - 12 bytes, the OS/2 core header: unsigned 16-bit width and height at 18
//    and 20, bit count at 24, 3-byte palette entries;
//  - 16 to 64 bytes (OS/2 2.x, holding only the fields that fit; 40, 52 and
//    56 are Windows' own), 108 and 124 bytes: signed 32-bit width and height
//    at 18 and 22, bit count at 28, compression at 30 and colours used at 46
//    where the header holds them, 4-byte palette entries.
// The palette follows the information header (and a 40-byte header's three
// colour masks, where it has them); the rows start at the file header's
// pixel-data offset.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace quillomat {

inline constexpr std::int64_t FileHeaderSize = 14;
inline constexpr std::int64_t CoreHeaderSize = 12;
inline constexpr std::int64_t PlainHeaderSize = 40;
inline constexpr std::int64_t Uncompressed = 0;

struct HeaderLayout {
  std::int64_t InfoHeaderSize = 0;
  std::int64_t Width = 0;
  // The number of rows; a negative height in the header marks a file
  // stored top row first.
  std::int64_t Height = 0;
  bool TopDown = false;
  // Where the bit count lies, and its low byte: no bit count that a BMP
  // may have needs the high byte.
  std::size_t BitCountAt = 0;
  std::int64_t BitCount = 0;
  // Uncompressed where the header holds no compression field.
  std::int64_t Compression = Uncompressed;
  // The header's colours-used field, 0 where it holds none.
  std::int64_t ColoursUsed = 0;
  // Palette entries: the colours used, else 2 to the bit count; none above
  // 8 bits.
  std::int64_t Colours = 0;
  std::int64_t PaletteEntryBytes = 0;
  std::int64_t PaletteStart = 0;
  std::int64_t PaletteEnd = 0;
  // The file header's pixel-data offset.
  std::int64_t PixelDataStart = 0;
  // Bytes of one stored row (rounded up to whole 4-byte words) and of all
  // of them; 0 when the width is not above 0, and StoredRowsSize is nothing
  // when no file could hold that many.
  std::int64_t RowStride = 0;
  std::optional<std::int64_t> StoredRowsSize;

  // Where the last stored row ends, when the rows start at the offset.
  std::optional<std::int64_t> StoredRowsEnd() const;
  // Rows stored as they are, with or without colour masks (16 and 32 bits
  // in a Windows header): no run-length or other coding.
  bool RowsUncoded() const;
};

// The file begins with "BM".
bool IsBmp(std::string_view file);

// The headers of a BMP file whose information-header size the format
// defines; nothing for any other file. Header bytes past the file's end
// read as 0.
std::optional<HeaderLayout> ReadHeaderLayout(std::string_view file);

// The file's headers and palette (its first layout.PaletteEnd bytes)
// followed at once by rows, the pixel-data offset set to where they now
// start: the same picture without whatever lay between the palette and the
// rows.
std::string WithRowsAfterPalette(std::string_view file, const HeaderLayout& layout, std::string_view rows);

// The same picture in the plain layout, with a 40-byte header: the same
// width, height, planes, bit count and colours used, the palette in 4-byte
// entries and the stored rows. Nothing for compressed rows (any compression
// but none), for a file that lacks a part of its palette or rows, and for
// one whose rows start inside the headers or the palette.
std::optional<std::string> InPlainLayout(std::string_view file, const HeaderLayout& layout);

}  // namespace quillomat
