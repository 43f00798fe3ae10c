#pragma once

#include <QCoreApplication>
#include <QString>

// Path of a file in the program's resource folder, which ships beside the
// executable (not built into it).
inline QString resourceFile(const QString& name) {
  return QCoreApplication::applicationDirPath() + QStringLiteral("/resources/") + name;
}
