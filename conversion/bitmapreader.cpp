#include "bitmapreader.h"

#include <algorithm>
#include <cstring>

#include "headerfields.h"

namespace quillomat {

namespace {

// The file header's 14 bytes come before the information header.
constexpr std::int64_t FileHeaderSize = 14;
constexpr std::int64_t CoreHeaderSize = 12;
constexpr std::int64_t WindowsHeaderSize = 40;
// A 1-bit picture's palette has two entries unless the header counts others.
constexpr std::int64_t MonochromeColours = 2;

// Where an information header keeps the fields the conversion reads.
struct HeaderFields {
  std::size_t heightAt;
  std::size_t sizeFieldBytes;  // of the width at 18 and of the height
  std::size_t bitCountAt;
  std::int64_t minimumHeaderSize;
  std::int64_t paletteEntryBytes;
  bool countsColours;  // colours used at 46; a core header has no such field
};

constexpr HeaderFields CoreFields{20, 2, 24, CoreHeaderSize, 3, false};
constexpr HeaderFields WindowsFields{22, 4, 28, WindowsHeaderSize, 4, true};

std::int64_t infoHeaderSize(std::string_view file) {
  return static_cast<std::int64_t>(UnsignedFieldAt(file, FileHeaderSize, 4));
}

const HeaderFields& fieldsOf(std::string_view file) {
  return infoHeaderSize(file) == CoreHeaderSize ? CoreFields : WindowsFields;
}

std::int64_t roundedUpEighth(std::int64_t value) { return value / 8 + (value % 8 != 0 ? 1 : 0); }

bool tooLarge(std::int64_t width, std::int64_t height) {
  return width > MaxPictureWidth || height > MaxPictureHeight;
}

// A file whose header disagrees with what the conversion can read would
// otherwise be converted from bytes that aren't its pixels, or past its end.
bool fileCanBeReadWhole(std::string_view file, const FileGeometry& geometry, const PictureSize& decoded) {
  if (geometry.FileWidth <= 0) return false;
  if (geometry.FileWidth != decoded.width || geometry.FileHeight != decoded.height) return false;
  // An offset inside the headers or the palette would take them for pixels.
  if (geometry.PixelDataStart < geometry.HeadersEnd) return false;
  const auto fileSize = static_cast<std::int64_t>(file.size());
  if (geometry.PixelDataStart > fileSize) return false;
  return fileSize - geometry.PixelDataStart >= geometry.FileHeight * geometry.RowStride;
}

}  // namespace

std::optional<std::string_view> FirstFailedCheck(const ConversionState& state) {
  const std::string_view file = state.OutputSharp;
  const std::size_t bitCountAt = fieldsOf(file).bitCountAt;
  if (file.size() <= bitCountAt || static_cast<std::uint8_t>(file[bitCountAt]) != 1) return BitCountMessage;
  // The header is the only size there is when Qt refused a picture too
  // large for it, or when only the headers of a huge file are held.
  const FileGeometry header = ReadGeometry(file);
  if (tooLarge(header.FileWidth, header.FileHeight)) return TooLargeMessage;
  const std::optional<PictureSize>& decoded = state.DecodedPicture;
  if (decoded && tooLarge(decoded->width, decoded->height)) return TooLargeMessage;
  if (!decoded || !fileCanBeReadWhole(file, header, *decoded)) return DamagedMessage;
  return std::nullopt;
}

FileGeometry ReadGeometry(std::string_view file) {
  const HeaderFields& fields = fieldsOf(file);
  FileGeometry geometry;
  geometry.FileWidth = SignedFieldAt(file, 18, fields.sizeFieldBytes);
  const std::int64_t height = SignedFieldAt(file, fields.heightAt, fields.sizeFieldBytes);
  geometry.TopDown = height < 0;
  geometry.FileHeight = geometry.TopDown ? -height : height;
  geometry.BytesPerRow = roundedUpEighth(geometry.FileWidth);
  geometry.RowStride = 4 * ((geometry.BytesPerRow - 1) / 4) + 4;
  geometry.BandCount = roundedUpEighth(geometry.FileHeight);
  geometry.PixelDataStart = static_cast<std::int64_t>(UnsignedFieldAt(file, 10, 4));

  const std::int64_t coloursUsed = fields.countsColours ? static_cast<std::int64_t>(UnsignedFieldAt(file, 46, 4)) : 0;
  const std::int64_t colours = coloursUsed != 0 ? coloursUsed : MonochromeColours;
  geometry.HeadersEnd = FileHeaderSize + std::max(infoHeaderSize(file), fields.minimumHeaderSize) +
                        colours * fields.paletteEntryBytes;
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
