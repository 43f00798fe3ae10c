#include "listingsaver.h"

#include <optional>

#include <QDir>
#include <QStandardPaths>

#include "atomicwrite.h"
#include "conversion.h"
#include "userdialogs.h"

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
  const std::optional<QString> failure = writeFileAtomically(path, quillomat::ListingText(state));
  if (!failure) return true;
  dialogs.showMessage(parent, QStringLiteral("The listing could not be saved as \"%1\".\n%2")
                                  .arg(QDir::toNativeSeparators(path), *failure));
  return false;
}
