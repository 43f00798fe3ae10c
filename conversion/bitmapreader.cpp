#include "bitmapreader.h"

#include <cstring>

#include "headerlayout.h"

namespace quillomat {

namespace {

std::int64_t roundedUpEighth(std::int64_t value) { return value / 8 + (value % 8 != 0 ? 1 : 0); }

bool tooLarge(std::int64_t width, std::int64_t height) {
  return width > MaxPictureWidth || height > MaxPictureHeight;
}

// A file whose header disagrees with what the conversion can read would
// otherwise be converted from bytes that aren't its pixels, or past its end.
bool fileCanBeReadWhole(std::string_view file, const HeaderLayout& layout, const FileGeometry& geometry,
                        const PictureSize& decoded) {
  if (layout.Compression != Uncompressed) return false;  // coded rows are no rows
  if (geometry.FileWidth <= 0) return false;
  if (geometry.FileWidth != decoded.width || geometry.FileHeight != decoded.height) return false;
  // An offset inside the headers or the palette would take them for pixels.
  if (geometry.PixelDataStart < geometry.HeadersEnd) return false;
  const auto fileSize = static_cast<std::int64_t>(file.size());
  if (geometry.PixelDataStart > fileSize) return false;
  return fileSize - geometry.PixelDataStart >= geometry.FileHeight * geometry.RowStride;
}

FileGeometry geometryOf(const HeaderLayout& layout) {
  FileGeometry geometry;
  geometry.FileWidth = layout.Width;
  geometry.FileHeight = layout.Height;
  geometry.TopDown = layout.TopDown;
  geometry.BytesPerRow = roundedUpEighth(geometry.FileWidth);
  geometry.RowStride = 4 * ((geometry.BytesPerRow - 1) / 4) + 4;
  geometry.BandCount = roundedUpEighth(geometry.FileHeight);
  geometry.PixelDataStart = layout.PixelDataStart;
  geometry.HeadersEnd = layout.PaletteEnd;
  return geometry;
}

}  // namespace

std::optional<std::string_view> FirstFailedCheck(const ConversionState& state) {
  const std::string_view file = state.OutputSharp;
  // Byte 28 of another kind of file is no bit count, whatever it holds.
  if (!IsBmp(file)) return BitCountMessage;
  const std::optional<HeaderLayout> layout = ReadHeaderLayout(file);
  if (!layout) return DamagedMessage;  // a header size the format doesn't define
  if (file.size() <= layout->BitCountAt || layout->BitCount != 1) return BitCountMessage;
  // The header is the only size there is when Qt refused a picture too
  // large for it, or when only the headers of a huge file are held.
  const FileGeometry header = geometryOf(*layout);
  if (tooLarge(header.FileWidth, header.FileHeight)) return TooLargeMessage;
  const std::optional<PictureSize>& decoded = state.DecodedPicture;
  if (decoded && tooLarge(decoded->width, decoded->height)) return TooLargeMessage;
  if (!decoded || !fileCanBeReadWhole(file, *layout, header, *decoded)) return DamagedMessage;
  return std::nullopt;
}

FileGeometry ReadGeometry(std::string_view file) {
  const std::optional<HeaderLayout> layout = ReadHeaderLayout(file);
  return layout ? geometryOf(*layout) : FileGeometry{};
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
