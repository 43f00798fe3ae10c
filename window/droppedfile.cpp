#include "droppedfile.h"

#include <algorithm>
#include <array>
#include <cstdint>

#include <QByteArray>
#include <QByteArrayView>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QList>
#include <QUrl>

namespace {

DropFailure unreadable(const QString& path, const QString& reason) {
  return {QStringLiteral("The file \"%1\" could not be read:\n%2").arg(QDir::toNativeSeparators(path), reason)};
}

std::uint64_t unsignedAt(const std::string& bytes, std::size_t offset, std::size_t size) {
  std::uint64_t value = 0;
  for (std::size_t i = size; i-- > 0;) {
    value = (value << 8U) | static_cast<unsigned char>(bytes[offset + i]);
  }
  return value;
}

std::int64_t signedAt(const std::string& bytes, std::size_t offset, std::size_t size) {
  const std::uint64_t value = unsignedAt(bytes, offset, size);
  return size == 2 ? std::int64_t{static_cast<std::int16_t>(value)} : std::int64_t{static_cast<std::int32_t>(value)};
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

// Qt decodes a BMP whose pixel data stops short without complaint and fills
// the missing rows with whatever memory held. It does the same with every
// pixel that a run-length-coded file leaves out, which only a full decode
// can tell, so such a file isn't handed to Qt either. Qt takes the pixels
// from the header's offset, or from the palette's end if that is later.
bool lacksPixelsQtWouldShow(const std::string& bytes) {
  constexpr std::size_t FileHeaderSize = 14;
  constexpr std::uint64_t Uncompressed = 0;
  constexpr std::uint64_t BitFields = 3;
  if (bytes.size() < 2 || bytes[0] != 'B' || bytes[1] != 'M') {
    return false;  // not a BMP: another decoder's business
  }
  if (bytes.size() < FileHeaderSize + 4) {
    return true;
  }
  const auto headerSize = static_cast<std::uint32_t>(unsignedAt(bytes, FileHeaderSize, 4));
  const auto known = std::find_if(InfoHeaderLayouts.begin(), InfoHeaderLayouts.end(),
                                  [headerSize](const InfoHeaderLayout& layout) { return layout.size == headerSize; });
  const InfoHeaderLayout& layout = known != InfoHeaderLayouts.end() ? *known : OtherInfoHeaderLayout;
  if (bytes.size() < (layout.hasCompression ? 50 : layout.bitCountAt + 2)) {
    return true;
  }

  const std::int64_t width = signedAt(bytes, 18, layout.sizeFieldBytes);
  const std::int64_t height = signedAt(bytes, 18 + layout.sizeFieldBytes, layout.sizeFieldBytes);
  const std::uint64_t bitCount = unsignedAt(bytes, layout.bitCountAt, 2);
  const std::uint64_t compression = layout.hasCompression ? unsignedAt(bytes, 30, 4) : Uncompressed;
  if (compression != Uncompressed && compression != BitFields) {
    return true;
  }
  if (width <= 0 || height == 0 || bitCount == 0) {
    return true;  // nothing Qt would decode anyway
  }

  const std::uint64_t coloursUsed = layout.hasCompression ? unsignedAt(bytes, 46, 4) : 0;
  const std::uint64_t colours = bitCount > 8 ? 0 : coloursUsed != 0 ? coloursUsed : std::uint64_t{1} << bitCount;
  // A header that claims fewer than 12 bytes still has the core fields read.
  const std::uint64_t paletteEnd = FileHeaderSize + std::max<std::uint64_t>(headerSize, 12) +
                                   (compression == BitFields ? layout.bitFieldMasksAfter : 0) +
                                   colours * layout.paletteEntryBytes;
  const std::uint64_t pixelOffset = unsignedAt(bytes, 10, 4);
  const std::uint64_t pixelStart = std::max(pixelOffset, paletteEnd);
  if (pixelStart > bytes.size()) {
    return true;
  }
  const auto rows = static_cast<std::uint64_t>(height < 0 ? -height : height);
  const std::uint64_t rowStride = (static_cast<std::uint64_t>(width) * bitCount + 31U) / 32U * 4U;
  // Compared by division: rows * stride may not fit in 64 bits.
  return rows > (bytes.size() - pixelStart) / rowStride;
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
  const qint64 size = file.size();
  const QString changed = QStringLiteral("the file changed while it was read");
  if (size > MaxDroppedFileSize) {
    // Too large to convert: its headers say why, and Qt gets no picture.
    const QByteArray headers = file.read(HeaderBytesOfLargeFile);
    if (headers.size() != HeaderBytesOfLargeFile) {
      return unreadable(localPath, file.error() != QFileDevice::NoError ? file.errorString() : changed);
    }
    DroppedFile dropped;
    dropped.bytes.assign(headers.constData(), static_cast<std::size_t>(headers.size()));
    dropped.fileName = info.fileName();
    return dropped;
  }

  DroppedFile dropped;
  dropped.bytes.reserve(static_cast<std::size_t>(size));
  do {
    const QByteArray piece = file.read(ReadChunkSize);
    if (piece.isEmpty() && file.error() != QFileDevice::NoError) {
      return unreadable(localPath, file.errorString());
    }
    if (piece.isEmpty() && !file.atEnd()) {
      return unreadable(localPath, changed);  // no progress: it shrank
    }
    dropped.bytes.append(piece.constData(), static_cast<std::size_t>(piece.size()));
    if (dropped.bytes.size() > static_cast<std::size_t>(size)) {
      return unreadable(localPath, changed);  // it grew, or its size lies
    }
  } while (!file.atEnd());
  file.close();
  if (dropped.bytes.size() != static_cast<std::size_t>(size)) {
    return unreadable(localPath, changed);
  }

  if (!lacksPixelsQtWouldShow(dropped.bytes)) {
    dropped.image = QImage::fromData(
        QByteArrayView(dropped.bytes.data(), static_cast<qsizetype>(dropped.bytes.size())));
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
