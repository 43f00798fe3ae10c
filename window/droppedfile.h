#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <variant>

#include <QImage>
#include <QList>
#include <QString>
#include <QUrl>

// Bytes asked for in each read of a dropped file.
inline constexpr std::int64_t ReadChunkSize = 255;
// Of a larger file only its headers and the stored rows they describe are
// read, and only where those fit under this cap: the largest picture that
// can be converted needs about 10 KB, and the headers alone are enough to
// tell why a larger one can't be converted. Bytes after the last stored row
// play no part, nor do bytes between the palette and rows that lie past the
// cap.
inline constexpr std::int64_t MaxDroppedFileSize = 16 * 1024 * 1024;
// The headers read first of a file above the cap: as many as a file in the
// 62-byte layout has (file header, information header, two-colour palette),
// enough for every field that says where its stored rows are.
inline constexpr std::size_t HeaderBytesOfLargeFile = 62;

// One read of a dropped file, which serves the preview and the conversion.
struct DroppedFile {
  // The file's raw bytes, one char per byte (OutputSharp). Of a file above
  // MaxDroppedFileSize: a BMP's headers and stored rows, where they fit
  // under the cap (rows that start past it follow right after the palette,
  // the pixel-data offset set to match); else its first
  // HeaderBytesOfLargeFile bytes.
  std::string bytes;
  // The picture decoded from those bytes (mImage), a BMP in a layout that Qt
  // misreads decoded from the same picture in the plain layout; null when Qt
  // can't decode it, when the bytes lack pixels that Qt would show, for a
  // BMP whose header size the format doesn't define or whose rows are coded
  // in runs, and when of a file above MaxDroppedFileSize only the first bytes
  // are held.
  QImage image;
  // The file's name without its folder, for the window title.
  QString fileName;
};

// Why a drop gives nothing; the window then changes nothing but shows message.
struct DropFailure {
  QString message;
};

using DropReadResult = std::variant<DroppedFile, DropFailure>;

// Reads the file at localPath in pieces of ReadChunkSize bytes and decodes
// its picture from the same bytes. All or nothing: either the whole file (or
// what is held of a large one), or a failure whose message names the file
// and the reason.
DropReadResult readDroppedFile(const QString& localPath);

// The drop as the window takes it, from the URLs the drag carried: the first
// must be a local file, which is read as readDroppedFile does. A drag with
// no local file (only a picture, say) is refused.
DropReadResult readDrop(const QList<QUrl>& urls);
