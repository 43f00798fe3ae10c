#include "droppedfile.h"

#include <cstdlib>

#include <QByteArray>
#include <QByteArrayView>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QList>
#include <QUrl>

namespace {

DropFailure unreadable(const QString& path, const QString& reason) {
  return {DropFailure::Kind::Unreadable,
          QStringLiteral("The file \"%1\" could not be read:\n%2")
              .arg(QDir::toNativeSeparators(path), reason)};
}

std::uint32_t littleEndian32(const std::string& bytes, std::size_t offset) {
  std::uint32_t value = 0;
  for (std::size_t i = 4; i-- > 0;) {
    value = (value << 8U) | static_cast<unsigned char>(bytes[offset + i]);
  }
  return value;
}

// Qt decodes a BMP whose pixel data stops short without complaint and fills
// the missing rows with whatever memory held, so such a file is measured here.
bool isTruncatedBmp(const std::string& bytes) {
  constexpr std::size_t FieldsEnd = 34;  // up to and including the compression
  constexpr std::uint32_t InfoHeaderSize = 40;
  constexpr std::uint32_t Uncompressed = 0;
  constexpr std::uint32_t BitFields = 3;
  if (bytes.size() < FieldsEnd || bytes[0] != 'B' || bytes[1] != 'M') {
    return false;
  }
  if (littleEndian32(bytes, 14) < InfoHeaderSize) {
    return false;  // the old core header has other fields; leave it to Qt
  }
  const std::uint32_t compression = littleEndian32(bytes, 30);
  if (compression != Uncompressed && compression != BitFields) {
    return false;  // compressed rows have no fixed length
  }
  const std::uint64_t pixelOffset = littleEndian32(bytes, 10);
  const auto width = static_cast<std::int32_t>(littleEndian32(bytes, 18));
  const auto height = static_cast<std::int32_t>(littleEndian32(bytes, 22));
  const std::uint64_t bitCount = littleEndian32(bytes, 28) & 0xFFFFU;
  if (width <= 0) {
    return false;  // Qt refuses these itself
  }
  const std::uint64_t rows = static_cast<std::uint64_t>(std::llabs(height));
  const std::uint64_t rowStride = (static_cast<std::uint64_t>(width) * bitCount + 31U) / 32U * 4U;
  if (bytes.size() < pixelOffset) {
    return true;
  }
  // Compared by division: offset + rows * stride may not fit in 64 bits.
  return rowStride != 0 && rows > (bytes.size() - pixelOffset) / rowStride;
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

  if (!isTruncatedBmp(dropped.bytes)) {
    dropped.image = QImage::fromData(
        QByteArrayView(dropped.bytes.data(), static_cast<qsizetype>(dropped.bytes.size())));
  }
  dropped.fileName = info.fileName();
  return dropped;
}

DropReadResult readDrop(const QList<QUrl>& urls) {
  if (urls.isEmpty() || !urls.first().isLocalFile()) {
    return DropFailure{DropFailure::Kind::NoLocalFile,
                       QStringLiteral("The dropped item holds no file on this computer to convert.")};
  }
  // Only the file is used, not a picture that the drag may carry as well: the
  // preview must show the very bytes that are converted.
  return readDroppedFile(urls.first().toLocalFile());
}
