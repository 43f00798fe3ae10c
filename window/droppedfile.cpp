#include "droppedfile.h"

#include <algorithm>
#include <cstdint>
#include <optional>
#include <string_view>

#include <QByteArray>
#include <QByteArrayView>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QRgb>
#include <QList>
#include <QUrl>

#include "headerlayout.h"

namespace {

const QString ChangedWhileRead = QStringLiteral("the file changed while it was read");

DropFailure unreadable(const QString& path, const QString& reason) {
  return {QStringLiteral("The file \"%1\" could not be read:\n%2").arg(QDir::toNativeSeparators(path), reason)};
}

// A BMP in a layout the format defines whose rows are stored as rows, not
// coded, and of a size a file can hold.
bool hasStoredRows(const std::optional<quillomat::HeaderLayout>& layout) {
  return layout && layout->RowsUncoded() && layout->StoredRowsSize;
}

// Qt 6.4 reads only these information-header sizes in their own layout and
// takes every other for a core header; it reads a core header's width and
// height as signed 16-bit numbers.
bool qtReadsLayoutOf(const quillomat::HeaderLayout& layout) {
  switch (layout.InfoHeaderSize) {
    case quillomat::CoreHeaderSize:
      return layout.Width <= INT16_MAX && layout.Height <= INT16_MAX;
    case quillomat::PlainHeaderSize:
    case 64:
    case 108:
    case 124:
      return true;
    default:
      return false;
  }
}

// Qt shows pixels it never read as whatever memory held: it is handed only
// bytes from which it takes every pixel it shows. Of a file above the cap
// nothing but a BMP's whole picture is held; its first bytes alone may be a
// part of some other kind of picture. A BMP in a layout Qt misreads is handed
// over as the same picture in the plain layout, so that the preview shows the
// pixels that are converted.
QImage decodedPreview(const std::string& bytes, bool wholeFile) {
  const auto decode = [](std::string_view picture) {
    return QImage::fromData(QByteArrayView(picture.data(), static_cast<qsizetype>(picture.size())));
  };
  if (!quillomat::IsBmp(bytes)) {
    return wholeFile ? decode(bytes) : QImage();
  }
  const std::optional<quillomat::HeaderLayout> layout = quillomat::ReadHeaderLayout(bytes);
  if (!hasStoredRows(layout)) {
    return {};  // no layout the format defines, or rows Qt may leave half-filled
  }
  if (!qtReadsLayoutOf(*layout)) {
    const std::optional<std::string> plain = quillomat::InPlainLayout(bytes, *layout);
    return plain ? decode(*plain) : QImage();
  }
  // Qt takes the rows from the pixel-data offset, or from the palette's end
  // if that is later.
  const std::int64_t rowsStart = std::max(layout->PixelDataStart, layout->PaletteEnd);
  const bool whole = rowsStart + *layout->StoredRowsSize <= static_cast<std::int64_t>(bytes.size());
  return whole ? decode(bytes) : QImage();
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

// Of a picture whose rows lie further into the file than the cap allows:
// its headers and palette, then its rows from the pixel-data offset, held
// right after the palette; what lies between is not read.
std::optional<QString> readRowsPastGap(QFile& file, const quillomat::HeaderLayout& layout, std::string& bytes) {
  const auto headersEnd = static_cast<std::size_t>(layout.PaletteEnd);
  if (headersEnd <= bytes.size()) {
    bytes.resize(headersEnd);
  } else if (auto failure = readInPieces(file, headersEnd, bytes)) {
    return failure;
  }
  if (bytes.size() != headersEnd) {
    return ChangedWhileRead;
  }
  const std::int64_t present = std::max<std::int64_t>(0, file.size() - layout.PixelDataStart);
  const auto wanted = static_cast<std::size_t>(std::min(*layout.StoredRowsSize, present));
  std::string rows;
  if (wanted > 0) {
    if (!file.seek(layout.PixelDataStart)) {
      return file.errorString();
    }
    if (auto failure = readInPieces(file, wanted, rows)) {
      return failure;
    }
    if (rows.size() != wanted) {
      return ChangedWhileRead;
    }
  }
  bytes = quillomat::WithRowsAfterPalette(bytes, layout, rows);
  return std::nullopt;
}

// Of a file above the cap, its headers and, where they describe a picture
// whose headers and rows fit under the cap, its stored rows; whatever
// follows is not read.
std::optional<QString> readPictureOfLargeFile(QFile& file, std::string& bytes) {
  if (auto failure = readInPieces(file, HeaderBytesOfLargeFile, bytes)) {
    return failure;
  }
  if (bytes.size() != HeaderBytesOfLargeFile) {
    return ChangedWhileRead;
  }
  const std::optional<quillomat::HeaderLayout> layout = quillomat::ReadHeaderLayout(bytes);
  if (!hasStoredRows(layout)) {
    return std::nullopt;  // the headers say why it can't be converted
  }
  const std::int64_t end = *layout->StoredRowsEnd();
  if (end > MaxDroppedFileSize) {
    const bool fitsWithoutGap = layout->PixelDataStart >= layout->PaletteEnd &&
                                layout->PaletteEnd + *layout->StoredRowsSize <= MaxDroppedFileSize;
    return fitsWithoutGap ? readRowsPastGap(file, *layout, bytes) : std::nullopt;
  }
  const auto wholeEnd = static_cast<std::size_t>(end);
  if (wholeEnd <= bytes.size()) {
    bytes.resize(wholeEnd);  // a small picture in a compact layout
    return std::nullopt;
  }
  if (auto failure = readInPieces(file, wholeEnd, bytes)) {
    return failure;
  }
  return bytes.size() == wholeEnd ? std::nullopt : std::optional<QString>(ChangedWhileRead);
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

  dropped.image = decodedPreview(dropped.bytes, wholeFile);
  completeTwoColourTable(dropped.image);
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
