#pragma once

// Checks of a held file and the reading of its pixel rows, top row first.

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "conversionstate.h"

namespace quillomat {

// Every work array of a run has the indexes 0 to 10302: 62 + 80 x 128, the
// length of a 62-byte-layout file holding the largest picture that passes.
inline constexpr std::int64_t WorkArrayUpperBound = 10302;
using WorkArray = std::array<std::uint8_t, WorkArrayUpperBound + 1>;

// The pixel data of a file in the 62-byte layout starts here; files in
// other layouts say where theirs starts in their header.
inline constexpr std::int64_t PixelDataOffset = 62;

// Sizes taken from the file's header, read in the layout of its size (see
// headerlayout.h). A negative height marks a file stored top row first, and
// FileHeight is then its absolute value.
struct FileGeometry {
  std::int64_t FileWidth = 0;
  std::int64_t FileHeight = 0;
  bool TopDown = false;
  std::int64_t BytesPerRow = 0;
  std::int64_t RowStride = 0;
  std::int64_t BandCount = 0;
  // Where the stored rows start, as the header's pixel-data offset says.
  std::int64_t PixelDataStart = 0;
  // Where the information header and the palette it declares end.
  std::int64_t HeadersEnd = 0;
};

// The message of the first check that the held file fails, or nothing when
// the file may be converted. Checks, in order:
//  1. the file begins with "BM": else the bit-count message, for byte 28 of
//     any other kind of file means nothing;
//  2. its information header has a size the format defines: else the
//     damaged-file message;
//  3. the file has the low byte of its bit count and it is 1: else the
//     bit-count message;
//  4. the header's width is at most 624 and its height at most 128 (decoded
//     or not: Qt gives no picture for a large enough file): else "Image too
//     large !";
//  5. so is the decoded picture's: else "Image too large !";
//  6. there is a decoded picture and the file can be read whole: rows not
//     compressed, width above 0, header size equal to the decoded picture's,
//     pixel data starting at or after the end of the headers and palette,
//     every stored row present. Else the damaged-file message.
// Reads no byte past the file's end.
std::optional<std::string_view> FirstFailedCheck(const ConversionState& state);

// The header's sizes. Header bytes past the file's end read as 0; the sizes
// are only meaningful once the checks have passed (all 0 for a file that
// isn't a BMP or whose header size the format doesn't define).
FileGeometry ReadGeometry(std::string_view file);

// Copies the stored rows (in file order, padding dropped) into packedRows
// from index 1, then into topDownRows top row first: reversed for a file
// stored bottom row first, as they are for one stored top row first. Both
// arrays must be all zero; entries past the picture stay zero.
void ReadRows(std::string_view file, const FileGeometry& geometry, WorkArray& packedRows,
              WorkArray& topDownRows);

}  // namespace quillomat
