#include "listingsaver.h"

#include <optional>
#include <string_view>

#include <QDir>
#include <QSaveFile>
#include <QStandardPaths>

#include "conversion.h"
#include "userdialogs.h"

namespace {

// Writes all of bytes, going on after a short write; false once the device
// refuses, with the reason in its errorString().
bool writeAll(QIODevice& device, std::string_view bytes) {
  while (!bytes.empty()) {
    const qint64 written = device.write(bytes.data(), static_cast<qint64>(bytes.size()));
    if (written <= 0) return false;
    bytes.remove_prefix(static_cast<std::size_t>(written));
  }
  return true;
}

// The reason the pages could not be written, or nothing once they are in
// place. The temporary file is gone again when this returns.
std::optional<QString> writePages(const QString& path, const quillomat::ConversionState& state) {
  QSaveFile file(path);
  // Unbuffered: a write that the disk cuts short must show here. Left in Qt's
  // buffer it would fail only inside commit(), which then still puts the
  // truncated file in place.
  if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) return file.errorString();
  if (!writeAll(file, quillomat::ListingText(state))) return file.errorString();
  if (!file.commit()) return file.errorString();
  return std::nullopt;
}

}  // namespace

void saveListing(QWidget* parent, UserDialogs& dialogs, quillomat::ConversionState& state,
                 bool listingShown, const QString& filter) {
  if (!listingShown) return;

  const UserDialogs::SaveRequest request{
      QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation),
      QStringLiteral("Save GPRINT File"),
      QStringLiteral("Image.txt"),
      QStringLiteral("Title Property"),
      filter,
  };
  const std::optional<QString> path = dialogs.askSaveFileName(parent, request);
  quillomat::DoFormatGprint(state);
  if (!path) return;
  writeListing(parent, dialogs, state, *path);
}

bool writeListing(QWidget* parent, UserDialogs& dialogs, const quillomat::ConversionState& state,
                  const QString& path) {
  const std::optional<QString> failure = writePages(path, state);
  if (!failure) return true;
  dialogs.showMessage(parent, QStringLiteral("The listing could not be saved as \"%1\".\n%2")
                                  .arg(QDir::toNativeSeparators(path), *failure));
  return false;
}
