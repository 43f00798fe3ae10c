#include "filetype.h"

QString FileType::text() {
  if (!mRegistered) {
    mRegistered = true;
    registry().append(Name);
  }
  return Name;
}

QString FileType::nameFilter() const {
  QStringList patterns;
  for (const QString& entry : Extensions.split(u';', Qt::SkipEmptyParts)) {
    patterns.append(entry.startsWith(u'.') ? u'*' + entry : entry);
  }
  return Name + QStringLiteral(" (") + patterns.join(u' ') + u')';
}

const QStringList& FileType::registeredNames() { return registry(); }

QStringList& FileType::registry() {
  static QStringList names;
  return names;
}
