#include "bitmapreader.h"

#include <algorithm>
#include <cstring>

namespace quillomat {

namespace {

constexpr std::size_t BitCountOffset = 28;
// The file header's 14 bytes come before the information header.
constexpr std::int64_t FileHeaderSize = 14;

std::uint8_t byteAt(std::string_view file, std::size_t offset) {
  return static_cast<std::uint8_t>(file[offset]);
}

std::uint32_t unsigned32At(std::string_view file, std::size_t offset) {
  std::uint32_t value = 0;
  for (std::size_t i = 4; i-- > 0;) value = (value << 8U) | byteAt(file, offset + i);
  return value;
}

std::int64_t signed32At(std::string_view file, std::size_t offset) {
  return static_cast<std::int32_t>(unsigned32At(file, offset));
}

std::int64_t roundedUpEighth(std::int64_t value) { return value / 8 + (value % 8 != 0 ? 1 : 0); }

bool tooLarge(std::int64_t width, std::int64_t height) {
  return width > MaxPictureWidth || height > MaxPictureHeight;
}

// A file whose header disagrees with what the conversion can read would
// otherwise be converted from bytes that aren't its pixels, or past its end.
bool fileCanBeReadWhole(std::string_view file, const PictureSize& decoded) {
  const FileGeometry geometry = ReadGeometry(file);
  if (geometry.FileWidth <= 0) return false;
  if (geometry.FileWidth != decoded.width || geometry.FileHeight != decoded.height) return false;
  // An offset inside the headers would take header or palette bytes for pixels.
  const std::int64_t headersEnd = std::max(PixelDataOffset, FileHeaderSize + geometry.InfoHeaderSize);
  if (geometry.PixelDataStart < headersEnd) return false;
  const auto fileSize = static_cast<std::int64_t>(file.size());
  const std::int64_t pixelBytes = geometry.PixelDataStart < fileSize ? fileSize - geometry.PixelDataStart : 0;
  return pixelBytes >= geometry.FileHeight * geometry.RowStride;
}

}  // namespace

std::optional<std::string_view> FirstFailedCheck(const ConversionState& state) {
  const std::string_view file = state.OutputSharp;
  if (file.size() <= BitCountOffset || byteAt(file, BitCountOffset) != 1) return BitCountMessage;
  // The header is the only size there is when Qt refused a picture too
  // large for it, or when only the headers of a huge file are held.
  const FileGeometry header = ReadGeometry(file);
  if (tooLarge(header.FileWidth, header.FileHeight)) return TooLargeMessage;
  const std::optional<PictureSize>& decoded = state.DecodedPicture;
  if (decoded && tooLarge(decoded->width, decoded->height)) return TooLargeMessage;
  if (!decoded || !fileCanBeReadWhole(file, *decoded)) return DamagedMessage;
  return std::nullopt;
}

FileGeometry ReadGeometry(std::string_view file) {
  FileGeometry geometry;
  geometry.FileWidth = signed32At(file, 18);
  const std::int64_t height = signed32At(file, 22);
  geometry.TopDown = height < 0;
  geometry.FileHeight = geometry.TopDown ? -height : height;
  geometry.BytesPerRow = roundedUpEighth(geometry.FileWidth);
  geometry.RowStride = 4 * ((geometry.BytesPerRow - 1) / 4) + 4;
  geometry.BandCount = roundedUpEighth(geometry.FileHeight);
  geometry.PixelDataStart = unsigned32At(file, 10);
  geometry.InfoHeaderSize = unsigned32At(file, 14);
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
  // Pass 2: most files store the bottom row first; a top-down one is in
  // picture order already.
  for (std::size_t r = 0; r < height; ++r) {
    const std::size_t pictureRow = geometry.TopDown ? r : height - 1 - r;
    std::memcpy(&topDownRows[1 + pictureRow * bytesPerRow], &packedRows[1 + r * bytesPerRow], bytesPerRow);
  }
}

}  // namespace quillomat
