#pragma once

#include <functional>

#include <QImage>
#include <QWidget>

class QPainter;
class QRegion;

// The preview canvas: draws its backdrop picture, then hands the painter to
// the paint handler that its window attached. It takes no focus and fills no
// background of its own, so the window shows through where the backdrop is
// transparent.
class ImageCanvas final : public QWidget {
  Q_OBJECT

 public:
  // Draws over the backdrop; given the canvas, its painter and the areas to
  // repaint.
  using PaintHandler = std::function<void(ImageCanvas& canvas, QPainter& g, const QRegion& areas)>;

  explicit ImageCanvas(QWidget* parent);

  void setBackdrop(const QImage& backdrop);

  void attachPaint(PaintHandler handler);

  // The backdrop picture "Anzeige_Leer1.png", a file beside the program (in
  // the folder of its executable), read on the first call that finds it and
  // kept from then on; a null image while it cannot be read.
  static QImage Anzeige_Leer1();

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  QImage mBackdrop;
  PaintHandler mPaint;
};
