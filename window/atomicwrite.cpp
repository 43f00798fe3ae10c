#include "atomicwrite.h"

#include <QSaveFile>

namespace {

// Writes all of bytes, going on after a short write; false once the device
// refuses, with the reason in its errorString().
bool writeAll(QIODevice& device, QByteArrayView bytes) {
  while (!bytes.isEmpty()) {
    const qint64 written = device.write(bytes.data(), bytes.size());
    if (written <= 0) return false;
    bytes = bytes.sliced(written);
  }
  return true;
}

}  // namespace

std::optional<QString> writeFileAtomically(const QString& path, QByteArrayView bytes) {
  QSaveFile file(path);
  // Unbuffered: a write that the disk cuts short must show here. Left in Qt's
  // buffer it would fail only inside commit(), which then still puts the
  // truncated file in place.
  if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) return file.errorString();
  if (!writeAll(file, bytes)) return file.errorString();
  // Whatever the writes reported, the file must hold every byte.
  if (file.size() != bytes.size()) {
    return QStringLiteral("Only %1 of %2 bytes reached the disk.").arg(file.size()).arg(bytes.size());
  }
  if (!file.commit()) return file.errorString();
  return std::nullopt;
}
