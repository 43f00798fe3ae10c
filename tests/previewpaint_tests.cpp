#include <string>
#include <vector>

#include <QByteArrayView>
#include <QColor>
#include <QImage>
#include <QPainter>

#include <gtest/gtest.h>

#include "bmpfixture.h"
#include "previewgeometry.h"
#include "previewpaint.h"

namespace {

constexpr int CanvasWidth = 436;
constexpr int CanvasHeight = 146;
const QColor Backdrop(128, 128, 128);

QImage freshCanvas() {
  QImage canvas(CanvasWidth, CanvasHeight, QImage::Format_RGB32);
  canvas.fill(Backdrop);
  return canvas;
}

QImage decoded(const std::vector<std::string>& rows) {
  const std::string bytes = makeMonochromeBmp(rows);
  return QImage::fromData(QByteArrayView(bytes.data(), static_cast<qsizetype>(bytes.size())));
}

// Paints as the canvas's paint handler does, into a canvas-sized image.
QImage painted(const QImage& picture, std::int64_t Einpassen, bool mDragInside) {
  QImage canvas = freshCanvas();
  QPainter painter(&canvas);
  const PreviewGeometry geometry =
      previewGeometry(picture.width(), picture.height(), CanvasWidth, CanvasHeight, Einpassen);
  paintPreview(painter, picture, geometry, QSizeF(CanvasWidth, CanvasHeight), mDragInside);
  painter.end();
  return canvas;
}

// Every picture pixel must cover a factor x factor block of exactly its colour.
void expectBlocks(const QImage& canvas, const QImage& picture, int factor) {
  for (int y = 0; y < picture.height(); ++y) {
    for (int x = 0; x < picture.width(); ++x) {
      const QRgb expected = picture.pixel(x, y);
      for (int dy = 0; dy < factor; ++dy) {
        for (int dx = 0; dx < factor; ++dx) {
          const int cx = 51 + x * factor + dx;
          const int cy = 37 + y * factor + dy;
          ASSERT_EQ(canvas.pixel(cx, cy), expected) << "picture " << x << "," << y << " canvas " << cx << "," << cy;
        }
      }
    }
  }
}

const std::vector<std::string> SmallPicture = {
    "X..X.",
    ".XX..",
    "X...X",
};

TEST(PreviewPaint, OriginalDoublesEveryPixelCrisply) {
  const QImage picture = decoded(SmallPicture);
  ASSERT_EQ(picture.size(), QSize(5, 3));
  const QImage canvas = painted(picture, ViewOriginal, false);
  expectBlocks(canvas, picture, 2);
  // Nothing of the picture past its doubled size.
  EXPECT_EQ(canvas.pixelColor(51 + 10, 37), Backdrop);
  EXPECT_EQ(canvas.pixelColor(51, 37 + 6), Backdrop);
  EXPECT_EQ(canvas.pixelColor(50, 37), Backdrop);
}

TEST(PreviewPaint, FitScalesSmallPictureWithoutBlending) {
  const QImage picture = decoded(SmallPicture);  // 3 rows: Faktor 21
  const QImage canvas = painted(picture, ViewFitToScreen, false);
  expectBlocks(canvas, picture, 21);
}

TEST(PreviewPaint, WidePictureShowsOnlyTheSourcePart) {
  // In fit mode a 624 x 128 picture shows its top-left 312 x 64 unscaled.
  QImage picture(624, 128, QImage::Format_RGB32);
  for (int y = 0; y < picture.height(); ++y) {
    for (int x = 0; x < picture.width(); ++x) {
      picture.setPixelColor(x, y, (x * 7 + y * 3) % 5 == 0 ? Qt::black : Qt::white);
    }
  }
  const QImage canvas = painted(picture, ViewFitToScreen, false);
  for (int y = 0; y < 64; ++y) {
    for (int x = 0; x < 312; ++x) {
      ASSERT_EQ(canvas.pixel(51 + x, 37 + y), picture.pixel(x, y)) << x << "," << y;
    }
  }
}

TEST(PreviewPaint, FrameIsWhiteWhileDraggingElseBlack) {
  const QImage picture = decoded(SmallPicture);
  for (const bool dragging : {true, false}) {
    SCOPED_TRACE(dragging ? "dragging" : "not dragging");
    const QColor frame = dragging ? QColor(Qt::white) : QColor(Qt::black);
    const QImage canvas = painted(picture, ViewOriginal, dragging);
    // Two pixels wide along every edge, corners included.
    for (const QPoint p : {QPoint(0, 0), QPoint(1, 1), QPoint(435, 0), QPoint(434, 1), QPoint(0, 145),
                           QPoint(1, 144), QPoint(435, 145), QPoint(434, 144), QPoint(218, 0),
                           QPoint(218, 1), QPoint(0, 73), QPoint(435, 73)}) {
      EXPECT_EQ(canvas.pixelColor(p), frame) << p.x() << "," << p.y();
    }
    for (const QPoint p : {QPoint(2, 2), QPoint(433, 143), QPoint(218, 2), QPoint(2, 73)}) {
      EXPECT_EQ(canvas.pixelColor(p), Backdrop) << p.x() << "," << p.y();
    }
  }
}

TEST(PreviewPaint, TooHighForFitDrawsOnlyTheFrame) {
  // 33 rows are too high for fit mode: no picture, but the frame all the same.
  const QImage picture = decoded(std::vector<std::string>(33, "X"));
  const QImage canvas = painted(picture, ViewFitToScreen, false);
  EXPECT_EQ(canvas.pixelColor(51, 37), Backdrop);
  EXPECT_EQ(canvas.pixelColor(0, 0), QColor(Qt::black));
}

TEST(PreviewPaint, NoPictureDrawsNothingNotEvenTheFrame) {
  for (const bool dragging : {true, false}) {
    EXPECT_EQ(painted(QImage(), ViewOriginal, dragging), freshCanvas()) << dragging;
  }
}

}  // namespace
