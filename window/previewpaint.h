#pragma once

#include <QSizeF>

#include "previewgeometry.h"

class QImage;
class QPainter;

// Pen width of the CanvasFrame.
inline constexpr double CanvasFrameWidth = 2.0;

// Draws the picture as geometry says, pixels kept crisp, then the
// CanvasFrame round the whole canvas: white while a drag hovers
// (mDragInside), black otherwise. Without a picture it draws nothing at all,
// not even the frame. The painter's state is left as it was.
void paintPreview(QPainter& painter, const QImage& mImage, const PreviewGeometry& geometry,
                  QSizeF canvasSize, bool mDragInside);
