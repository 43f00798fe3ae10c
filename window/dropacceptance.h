#pragma once

class QMimeData;

// Whether the window takes this drag: a picture, or a local file of the type
// "image/bmp" or "image/jpeg" (by its name and content). Only the first file
// counts, since the drop reads only that one.
bool isAcceptableDrop(const QMimeData* data);
