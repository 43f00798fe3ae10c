#include "previewpaint.h"

#include <QColor>
#include <QImage>
#include <QPainter>
#include <QPen>

void paintPreview(QPainter& painter, const QImage& mImage, const PreviewGeometry& geometry,
                  QSizeF canvasSize, bool mDragInside) {
  if (mImage.isNull()) {
    return;
  }
  painter.save();
  // Scaled display pixels must stay sharp squares, as on the pocket computer.
  painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
  painter.setRenderHint(QPainter::Antialiasing, false);
  if (geometry.drawsPicture) {
    painter.drawImage(geometry.target, mImage, geometry.source);
  }

  // Qt centres a pen on the outline; inset by half the pen so that the
  // whole 2-pixel frame lies on the canvas, from 0, 0 to its far edges.
  const QColor colour = mDragInside ? QColor(Qt::white) : QColor(Qt::black);
  painter.setPen(QPen(colour, CanvasFrameWidth, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
  painter.setBrush(Qt::NoBrush);
  const double inset = CanvasFrameWidth / 2.0;
  painter.drawRect(QRectF(inset, inset, canvasSize.width() - CanvasFrameWidth,
                          canvasSize.height() - CanvasFrameWidth));
  painter.restore();
}
