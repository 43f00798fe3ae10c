#include "filetypes.h"

#include <QStringList>

QString FileType::nameFilter() const {
  QStringList patterns;
  for (const QString& entry : QString::fromLatin1(Extensions).split(u';', Qt::SkipEmptyParts)) {
    patterns.append(entry.startsWith(u'.') ? u'*' + entry : entry);
  }
  return QString::fromLatin1(Name) + QStringLiteral(" (") + patterns.join(u' ') + u')';
}
