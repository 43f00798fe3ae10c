#include "droppedfile.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <optional>

#include <QByteArray>
#include <QByteArrayView>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QRgb>
#include <QList>
#include <QUrl>

#include "headerfields.h"

namespace {

const QString ChangedWhileRead = QStringLiteral("the file changed while it was read");

DropFailure unreadable(const QString& path, const QString& reason) {
  return {QStringLiteral("The file \"%1\" could not be read:\n%2").arg(QDir::toNativeSeparators(path), reason)};
}

// How Qt 6.4's BMP reader takes an information header of each size, tried
// out on files with every size from 0 to 1024.
struct InfoHeaderLayout {
  std::uint32_t size;
  std::size_t sizeFieldBytes;  // of the width at 18 and the height right after it
  std::size_t bitCountAt;
  bool hasCompression;                // compression at 30, colours used at 46
  std::uint64_t bitFieldMasksAfter;   // bytes of colour masks after it, with bit-field compression
  std::uint64_t paletteEntryBytes;
};

constexpr std::array<InfoHeaderLayout, 5> InfoHeaderLayouts{{
    {12, 2, 24, false, 0, 3},  // OS/2 core header
    {40, 4, 28, true, 12, 4},
    {64, 4, 28, true, 12, 4},  // OS/2 2.x
    {108, 4, 28, true, 0, 4},
    {124, 4, 28, true, 0, 4},
}};
// Qt reads every other size as a core header, with 4-byte palette entries.
constexpr InfoHeaderLayout OtherInfoHeaderLayout{0, 2, 24, false, 0, 4};

constexpr std::uint64_t NeverWhole = UINT64_MAX;

// Where the last stored row of a BMP ends as Qt reads its headers, or
// nothing for a file that isn't a BMP. NeverWhole when no length of file
// would give Qt every pixel it shows: a header cut short, a picture Qt
// decodes to nothing, or run-length coding, whose left-out pixels Qt fills
// with whatever memory held. Qt takes the pixels from the header's offset,
// or from the palette's end if that is later.
std::optional<std::uint64_t> storedPictureEnd(const std::string& bytes) {
  constexpr std::size_t FileHeaderSize = 14;
  constexpr std::uint64_t Uncompressed = 0;
  constexpr std::uint64_t BitFields = 3;
  if (bytes.size() < 2 || bytes[0] != 'B' || bytes[1] != 'M') {
    return std::nullopt;  // another decoder's business
  }
  if (bytes.size() < FileHeaderSize + 4) {
    return NeverWhole;
  }
  const auto headerSize = static_cast<std::uint32_t>(quillomat::UnsignedFieldAt(bytes, FileHeaderSize, 4));
  const auto known = std::find_if(InfoHeaderLayouts.begin(), InfoHeaderLayouts.end(),
                                  [headerSize](const InfoHeaderLayout& layout) { return layout.size == headerSize; });
  const InfoHeaderLayout& layout = known != InfoHeaderLayouts.end() ? *known : OtherInfoHeaderLayout;
  if (bytes.size() < (layout.hasCompression ? 50 : layout.bitCountAt + 2)) {
    return NeverWhole;
  }

  const std::int64_t width = quillomat::SignedFieldAt(bytes, 18, layout.sizeFieldBytes);
  const std::int64_t height = quillomat::SignedFieldAt(bytes, 18 + layout.sizeFieldBytes, layout.sizeFieldBytes);
  const std::uint64_t bitCount = quillomat::UnsignedFieldAt(bytes, layout.bitCountAt, 2);
  const std::uint64_t compression = layout.hasCompression ? quillomat::UnsignedFieldAt(bytes, 30, 4) : Uncompressed;
  if (compression != Uncompressed && compression != BitFields) {
    return NeverWhole;
  }
  if (width <= 0 || height == 0 || bitCount == 0) {
    return NeverWhole;  // nothing Qt would decode anyway
  }

  const std::uint64_t coloursUsed = layout.hasCompression ? quillomat::UnsignedFieldAt(bytes, 46, 4) : 0;
  const std::uint64_t colours = bitCount > 8 ? 0 : coloursUsed != 0 ? coloursUsed : std::uint64_t{1} << bitCount;
  // A header that claims fewer than 12 bytes still has the core fields read.
  const std::uint64_t paletteEnd = FileHeaderSize + std::max<std::uint64_t>(headerSize, 12) +
                                   (compression == BitFields ? layout.bitFieldMasksAfter : 0) +
                                   colours * layout.paletteEntryBytes;
  const std::uint64_t pixelStart = std::max(quillomat::UnsignedFieldAt(bytes, 10, 4), paletteEnd);
  const auto rows = static_cast<std::uint64_t>(height < 0 ? -height : height);
  const std::uint64_t rowStride = (static_cast<std::uint64_t>(width) * bitCount + 31U) / 32U * 4U;
  // Checked by division: rows * stride may not fit in 64 bits.
  if (rows > (NeverWhole - pixelStart) / rowStride) {
    return NeverWhole;
  }
  return pixelStart + rows * rowStride;
}

// Qt is handed only bytes from which it takes every pixel it shows. Of a
// file above the cap nothing but a BMP's whole picture is held; its first
// bytes alone may be a part of some other kind of picture.
bool qtMayDecode(const std::string& bytes, bool wholeFile) {
  const std::optional<std::uint64_t> end = storedPictureEnd(bytes);
  return end ? *end <= bytes.size() : wholeFile;
}

// A 1-bit picture whose palette has a single entry leaves Qt to draw its
// other pixels white, so that on a white entry they vanish from the preview
// while the conversion keeps them. They get the colour opposite the entry.
void completeTwoColourTable(QImage& image) {
  if (image.depth() != 1 || image.colorCount() != 1) {
    return;
  }
  const QRgb entry = image.color(0);
  const QRgb opposite = qGray(entry) >= 128 ? qRgb(0, 0, 0) : qRgb(255, 255, 255);
  image.setColorTable({entry, opposite});
}

// Appends the file's next bytes, read in pieces of ReadChunkSize, until its
// end or until bytes holds limit of them. Gives the reason when a read fails.
std::optional<QString> readInPieces(QFile& file, std::size_t limit, std::string& bytes) {
  do {
    const auto wanted = static_cast<qint64>(std::min<std::size_t>(ReadChunkSize, limit - bytes.size()));
    const QByteArray piece = file.read(wanted);
    if (piece.isEmpty() && file.error() != QFileDevice::NoError) {
      return file.errorString();
    }
    if (piece.isEmpty() && !file.atEnd()) {
      return ChangedWhileRead;  // no progress: it shrank
    }
    bytes.append(piece.constData(), static_cast<std::size_t>(piece.size()));
  } while (!file.atEnd() && bytes.size() < limit);
  return std::nullopt;
}

// Of a file above the cap, its headers and, where they describe a picture
// that fits under the cap, its stored rows; whatever follows is not read.
std::optional<QString> readPictureOfLargeFile(QFile& file, std::string& bytes) {
  if (auto failure = readInPieces(file, HeaderBytesOfLargeFile, bytes)) {
    return failure;
  }
  if (bytes.size() != HeaderBytesOfLargeFile) {
    return ChangedWhileRead;
  }
  const std::optional<std::uint64_t> end = storedPictureEnd(bytes);
  if (!end || *end > MaxDroppedFileSize) {
    return std::nullopt;  // the headers say why it can't be converted
  }
  if (*end <= bytes.size()) {
    bytes.resize(*end);  // a small picture in a compact layout
    return std::nullopt;
  }
  if (auto failure = readInPieces(file, *end, bytes)) {
    return failure;
  }
  return bytes.size() == *end ? std::nullopt : std::optional<QString>(ChangedWhileRead);
}

// Reads the whole file; one byte more than its size is asked for, so that a
// file that grows while it is read is noticed.
std::optional<QString> readWholeFile(QFile& file, std::string& bytes) {
  const auto size = static_cast<std::size_t>(file.size());
  bytes.reserve(size);
  if (auto failure = readInPieces(file, size + 1, bytes)) {
    return failure;
  }
  return bytes.size() == size ? std::nullopt : std::optional<QString>(ChangedWhileRead);
}

}  // namespace

DropReadResult readDroppedFile(const QString& localPath) {
  const QFileInfo info(localPath);
  if (info.exists() && !info.isFile()) {
    return unreadable(localPath, QStringLiteral("it is not a file"));
  }
  QFile file(localPath);
  if (!file.open(QIODevice::ReadOnly)) {
    return unreadable(localPath, file.errorString());
  }
  DroppedFile dropped;
  const bool wholeFile = file.size() <= MaxDroppedFileSize;
  const std::optional<QString> failure =
      wholeFile ? readWholeFile(file, dropped.bytes) : readPictureOfLargeFile(file, dropped.bytes);
  if (failure) {
    return unreadable(localPath, *failure);
  }
  file.close();

  if (qtMayDecode(dropped.bytes, wholeFile)) {
    dropped.image = QImage::fromData(
        QByteArrayView(dropped.bytes.data(), static_cast<qsizetype>(dropped.bytes.size())));
    completeTwoColourTable(dropped.image);
  }
  dropped.fileName = info.fileName();
  return dropped;
}

DropReadResult readDrop(const QList<QUrl>& urls) {
  if (urls.isEmpty() || !urls.first().isLocalFile()) {
    return DropFailure{QStringLiteral("The dropped item holds no file on this computer to convert.")};
  }
  // Only the file is used, not a picture that the drag may carry as well: the
  // preview must show the very bytes that are converted.
  return readDroppedFile(urls.first().toLocalFile());
}
