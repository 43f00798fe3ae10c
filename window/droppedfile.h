#pragma once

#include <cstdint>
#include <string>
#include <variant>

#include <QImage>
#include <QList>
#include <QString>
#include <QUrl>

// Bytes asked for in each read of a dropped file.
inline constexpr std::int64_t ReadChunkSize = 255;
// Of a larger file only the headers are read: the largest picture that can
// be converted needs about 10 KB, and the headers are enough to tell why
// such a file can't be converted.
inline constexpr std::int64_t MaxDroppedFileSize = 16 * 1024 * 1024;
// The headers of a file in the 62-byte layout: file header, information
// header and a two-colour palette.
inline constexpr std::int64_t HeaderBytesOfLargeFile = 62;

// One read of a dropped file, which serves the preview and the conversion.
struct DroppedFile {
  // The file's raw bytes, one char per byte (OutputSharp); of a file above
  // MaxDroppedFileSize only its first HeaderBytesOfLargeFile bytes.
  std::string bytes;
  // The picture decoded from those bytes (mImage); null when Qt can't decode
  // it, when the file lacks pixels that Qt would show, and for a file above
  // MaxDroppedFileSize.
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
// a large file's headers), or a failure whose message names the file and
// the reason.
DropReadResult readDroppedFile(const QString& localPath);

// The drop as the window takes it, from the URLs the drag carried: the first
// must be a local file, which is read as readDroppedFile does. A drag with
// no local file (only a picture, say) is refused.
DropReadResult readDrop(const QList<QUrl>& urls);
