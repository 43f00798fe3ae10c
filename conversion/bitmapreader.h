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

// The pixel data of a file in the 62-byte layout starts here; files with
// a longer header or palette say so in their header.
inline constexpr std::int64_t PixelDataOffset = 62;

// Sizes taken from the file's header.
struct FileGeometry {
  std::int64_t FileWidth = 0;
  std::int64_t FileHeight = 0;
  std::int64_t BytesPerRow = 0;
  std::int64_t RowStride = 0;
  std::int64_t BandCount = 0;
  std::int64_t PixelDataStart = 0;
};

// The message of the first check that the held file fails, or nothing when
// the file may be converted. Checks, in order: a bit-count byte exists and
// is 1; there is a decoded picture; its width and height are within the
// limits; the file can be read whole (header sizes within the limits and
// equal to the decoded picture's, pixel data offset at least 62, every
// stored row present).
std::optional<std::string_view> FirstFailedCheck(const ConversionState& state);

// The header's sizes; only meaningful once the checks have passed.
FileGeometry ReadGeometry(std::string_view file);

// Copies the stored rows (bottom row first, padding dropped) into
// packedRows from index 1, then into topDownRows top row first. Both arrays
// must be all zero; entries past the picture stay zero.
void ReadRows(std::string_view file, const FileGeometry& geometry, WorkArray& packedRows,
              WorkArray& topDownRows);

}  // namespace quillomat
