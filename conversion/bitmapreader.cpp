#include "bitmapreader.h"

#include <cstring>

namespace quillomat {

namespace {

constexpr std::size_t BitCountOffset = 28;

std::uint8_t byteAt(std::string_view file, std::size_t offset) {
  return static_cast<std::uint8_t>(file[offset]);
}

std::int64_t word16At(std::string_view file, std::size_t offset) {
  return byteAt(file, offset) + 256 * static_cast<std::int64_t>(byteAt(file, offset + 1));
}

std::int64_t word32At(std::string_view file, std::size_t offset) {
  return word16At(file, offset) + 65536 * word16At(file, offset + 2);
}

std::int64_t roundedUpEighth(std::int64_t value) { return value / 8 + (value % 8 != 0 ? 1 : 0); }

// A file whose header disagrees with what the conversion can read would
// otherwise be converted from bytes that aren't its pixels, or past its end.
bool fileCanBeReadWhole(std::string_view file, const PictureSize& decoded) {
  const FileGeometry geometry = ReadGeometry(file);
  if (geometry.FileWidth > MaxPictureWidth || geometry.FileHeight > MaxPictureHeight) return false;
  if (geometry.FileWidth != decoded.width || geometry.FileHeight != decoded.height) return false;
  if (geometry.PixelDataStart < PixelDataOffset) return false;
  const auto fileSize = static_cast<std::int64_t>(file.size());
  const std::int64_t pixelBytes = geometry.PixelDataStart < fileSize ? fileSize - geometry.PixelDataStart : 0;
  return pixelBytes >= geometry.FileHeight * geometry.RowStride;
}

}  // namespace

std::optional<std::string_view> FirstFailedCheck(const ConversionState& state) {
  const std::string_view file = state.OutputSharp;
  if (file.size() <= BitCountOffset || byteAt(file, BitCountOffset) != 1) return BitCountMessage;
  if (!state.DecodedPicture) return BitCountMessage;
  if (state.DecodedPicture->width > MaxPictureWidth) return TooLargeMessage;
  if (state.DecodedPicture->height > MaxPictureHeight) return TooLargeMessage;
  if (!fileCanBeReadWhole(file, *state.DecodedPicture)) return BitCountMessage;
  return std::nullopt;
}

FileGeometry ReadGeometry(std::string_view file) {
  FileGeometry geometry;
  geometry.FileWidth = word16At(file, 18);
  geometry.FileHeight = word16At(file, 22);
  geometry.BytesPerRow = roundedUpEighth(geometry.FileWidth);
  geometry.RowStride = 4 * ((geometry.BytesPerRow - 1) / 4) + 4;
  geometry.BandCount = roundedUpEighth(geometry.FileHeight);
  geometry.PixelDataStart = word32At(file, 10);
  return geometry;
}

void ReadRows(std::string_view file, const FileGeometry& geometry, WorkArray& packedRows,
              WorkArray& topDownRows) {
  const auto bytesPerRow = static_cast<std::size_t>(geometry.BytesPerRow);
  const auto height = static_cast<std::size_t>(geometry.FileHeight);
  const auto stride = static_cast<std::size_t>(geometry.RowStride);
  const auto start = static_cast<std::size_t>(geometry.PixelDataStart);

  // Pass 1: stored rows in file order, the padding of each row left out.
  for (std::size_t r = 0; r < height; ++r) {
    std::memcpy(&packedRows[1 + r * bytesPerRow], file.data() + start + r * stride, bytesPerRow);
  }
  // Pass 2: the file stores the bottom row first.
  for (std::size_t r = 0; r < height; ++r) {
    std::memcpy(&topDownRows[1 + (height - 1 - r) * bytesPerRow], &packedRows[1 + r * bytesPerRow],
                bytesPerRow);
  }
}

}  // namespace quillomat
