#include "dropacceptance.h"

#include <QList>
#include <QMimeData>
#include <QMimeDatabase>
#include <QMimeType>
#include <QString>
#include <QUrl>

bool isAcceptableDrop(const QMimeData* data, const QString& pictureType) {
  // A picture that comes without a file is refused however it comes: the
  // conversion needs the file's own bytes.
  if (data == nullptr) {
    return false;
  }
  const QList<QUrl> urls = data->urls();
  if (urls.isEmpty() || !urls.first().isLocalFile()) {
    return false;
  }
  const QMimeType type = QMimeDatabase().mimeTypeForFile(urls.first().toLocalFile());
  return type.inherits(pictureType) || type.inherits(QStringLiteral("image/jpeg"));
}
