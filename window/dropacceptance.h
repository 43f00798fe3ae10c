#pragma once

class QMimeData;
class QString;

// Whether the window takes this drag: it must carry a local file of the type
// pictureType ("image/bmp") or "image/jpeg", by Qt's MIME database (name and
// content); a picture it may carry as well counts for nothing. Only the first
// file counts, since the drop reads only that one.
bool isAcceptableDrop(const QMimeData* data, const QString& pictureType);
