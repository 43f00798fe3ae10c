#include "headerlayout.h"

#include "headerfields.h"

namespace quillomat {

namespace {

constexpr std::int64_t Os2HeaderSizeMin = 16;
constexpr std::int64_t Os2HeaderSizeMax = 64;
constexpr std::int64_t V4HeaderSize = 108;
constexpr std::int64_t V5HeaderSize = 124;
constexpr std::int64_t BitFields = 3;
// A 40-byte header with bit-field compression is followed by three masks.
constexpr std::int64_t ColourMasksBytes = 12;

bool sizeIsDefined(std::int64_t size) {
  return size == CoreHeaderSize || (size >= Os2HeaderSizeMin && size <= Os2HeaderSizeMax) || size == V4HeaderSize ||
         size == V5HeaderSize;
}

// A field at a file offset that the information header holds whole.
bool holds(std::int64_t infoHeaderSize, std::size_t at, std::size_t size) {
  return static_cast<std::int64_t>(at + size) <= FileHeaderSize + infoHeaderSize;
}

bool windowsHeaderWithMasks(const HeaderLayout& layout) {
  const std::int64_t size = layout.InfoHeaderSize;
  return layout.Compression == BitFields && (layout.BitCount == 16 || layout.BitCount == 32) &&
         (size == PlainHeaderSize || size == 52 || size == 56 || size == V4HeaderSize || size == V5HeaderSize);
}

void putField(std::string& file, std::size_t at, std::size_t size, std::uint64_t value) {
  for (std::size_t i = 0; i < size; ++i) file[at + i] = static_cast<char>((value >> (8 * i)) & 0xFFU);
}

}  // namespace

std::optional<std::int64_t> HeaderLayout::StoredRowsEnd() const {
  if (!StoredRowsSize) return std::nullopt;
  return PixelDataStart + *StoredRowsSize;
}

bool HeaderLayout::RowsUncoded() const { return Compression == Uncompressed || windowsHeaderWithMasks(*this); }

bool IsBmp(std::string_view file) { return file.size() >= 2 && file[0] == 'B' && file[1] == 'M'; }

std::optional<HeaderLayout> ReadHeaderLayout(std::string_view file) {
  if (!IsBmp(file)) return std::nullopt;
  HeaderLayout layout;
  layout.InfoHeaderSize = static_cast<std::int64_t>(UnsignedFieldAt(file, FileHeaderSize, 4));
  if (!sizeIsDefined(layout.InfoHeaderSize)) return std::nullopt;

  const bool core = layout.InfoHeaderSize == CoreHeaderSize;
  std::int64_t height = 0;
  if (core) {
    layout.Width = static_cast<std::int64_t>(UnsignedFieldAt(file, 18, 2));
    height = static_cast<std::int64_t>(UnsignedFieldAt(file, 20, 2));
    layout.BitCountAt = 24;
    layout.PaletteEntryBytes = 3;
  } else {
    layout.Width = SignedFieldAt(file, 18, 4);
    height = SignedFieldAt(file, 22, 4);
    layout.BitCountAt = 28;
    layout.PaletteEntryBytes = 4;
    if (holds(layout.InfoHeaderSize, 30, 4)) layout.Compression = static_cast<std::int64_t>(UnsignedFieldAt(file, 30, 4));
    if (holds(layout.InfoHeaderSize, 46, 4)) layout.ColoursUsed = static_cast<std::int64_t>(UnsignedFieldAt(file, 46, 4));
  }
  layout.TopDown = height < 0;
  layout.Height = layout.TopDown ? -height : height;
  layout.BitCount = static_cast<std::int64_t>(UnsignedFieldAt(file, layout.BitCountAt, 1));

  layout.Colours = layout.BitCount > 8 ? 0 : layout.ColoursUsed != 0 ? layout.ColoursUsed : std::int64_t{1} << layout.BitCount;
  layout.PaletteStart = FileHeaderSize + layout.InfoHeaderSize +
                        (layout.InfoHeaderSize == PlainHeaderSize && windowsHeaderWithMasks(layout) ? ColourMasksBytes : 0);
  layout.PaletteEnd = layout.PaletteStart + layout.Colours * layout.PaletteEntryBytes;
  layout.PixelDataStart = static_cast<std::int64_t>(UnsignedFieldAt(file, 10, 4));

  if (layout.Width > 0) {
    layout.RowStride = (layout.Width * layout.BitCount + 31) / 32 * 4;
    // Width, height and bit count fit in 32, 32 and 8 bits: only an empty
    // row can make the product overflow, and that is held as 0.
    constexpr std::int64_t Largest = INT64_MAX / 2;
    if (layout.RowStride == 0 || layout.Height <= Largest / layout.RowStride) {
      layout.StoredRowsSize = layout.Height * layout.RowStride;
    }
  }
  return layout;
}

std::string WithRowsAfterPalette(std::string_view file, const HeaderLayout& layout, std::string_view rows) {
  std::string joined(file.substr(0, static_cast<std::size_t>(layout.PaletteEnd)));
  joined.resize(static_cast<std::size_t>(layout.PaletteEnd), '\0');
  putField(joined, 10, 4, static_cast<std::uint64_t>(layout.PaletteEnd));
  joined.append(rows);
  return joined;
}

std::optional<std::string> InPlainLayout(std::string_view file, const HeaderLayout& layout) {
  const std::optional<std::int64_t> rowsEnd = layout.StoredRowsEnd();
  const auto fileSize = static_cast<std::int64_t>(file.size());
  if (layout.Compression != Uncompressed || !rowsEnd || *rowsEnd > fileSize || layout.PaletteEnd > fileSize ||
      layout.PixelDataStart < layout.PaletteEnd) {
    return std::nullopt;
  }
  const auto colours = static_cast<std::size_t>(layout.Colours);
  const auto rowsSize = static_cast<std::size_t>(*layout.StoredRowsSize);
  constexpr std::size_t PlainPaletteStart = FileHeaderSize + PlainHeaderSize;
  const std::size_t pixelStart = PlainPaletteStart + 4 * colours;

  std::string plain(pixelStart, '\0');
  plain[0] = 'B';
  plain[1] = 'M';
  putField(plain, 2, 4, pixelStart + rowsSize);
  putField(plain, 10, 4, pixelStart);
  putField(plain, 14, 4, PlainHeaderSize);
  putField(plain, 18, 4, static_cast<std::uint64_t>(layout.Width));
  putField(plain, 22, 4, static_cast<std::uint64_t>(layout.TopDown ? -layout.Height : layout.Height));
  const std::size_t planesAt = layout.BitCountAt - 2;
  putField(plain, 26, 2, UnsignedFieldAt(file, planesAt, 2));
  putField(plain, 28, 2, UnsignedFieldAt(file, layout.BitCountAt, 2));
  putField(plain, 34, 4, rowsSize);
  putField(plain, 46, 4, static_cast<std::uint64_t>(layout.ColoursUsed));
  const auto entryBytes = static_cast<std::size_t>(layout.PaletteEntryBytes);
  for (std::size_t i = 0; i < colours; ++i) {
    // Blue, green, red; the fourth byte of a 4-byte entry stays 0.
    const std::size_t from = static_cast<std::size_t>(layout.PaletteStart) + i * entryBytes;
    plain.replace(PlainPaletteStart + 4 * i, 3, file.substr(from, 3));
  }
  plain.append(file.substr(static_cast<std::size_t>(layout.PixelDataStart), rowsSize));
  return plain;
}

}  // namespace quillomat
