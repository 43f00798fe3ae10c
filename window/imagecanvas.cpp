#include "imagecanvas.h"

#include <utility>

#include <QCoreApplication>
#include <QDir>
#include <QPaintEvent>
#include <QPainter>

ImageCanvas::ImageCanvas(QWidget* parent) : QWidget(parent) { setFocusPolicy(Qt::NoFocus); }

void ImageCanvas::setBackdrop(const QImage& backdrop) {
  mBackdrop = backdrop;
  update();
}

void ImageCanvas::attachPaint(PaintHandler handler) {
  mPaint = std::move(handler);
  update();
}

QImage ImageCanvas::Anzeige_Leer1() {
  static QImage stored;
  if (stored.isNull()) {
    stored = QImage(QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("Anzeige_Leer1.png")));
  }
  return stored;
}

void ImageCanvas::paintEvent(QPaintEvent* event) {
  QPainter painter(this);
  if (!mBackdrop.isNull()) painter.drawImage(0, 0, mBackdrop);
  if (mPaint) mPaint(*this, painter, event->region());
}
