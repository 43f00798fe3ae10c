#pragma once

#include <optional>

#include <QByteArrayView>
#include <QString>

// Puts bytes in place as the whole content of the file at path, or changes
// nothing. They go to a temporary file beside it first, every write checked,
// and replace the file only once all of them are on disk. Returns the reason
// when that fails; no temporary file is left behind then.
std::optional<QString> writeFileAtomically(const QString& path, QByteArrayView bytes);
