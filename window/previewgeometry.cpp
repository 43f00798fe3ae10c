#include "previewgeometry.h"

#include <cmath>

namespace {

std::int64_t truncated(double value) {
  return static_cast<std::int64_t>(std::trunc(value));
}

}  // namespace

PreviewGeometry previewGeometry(int W, int H, double GW, double GH, std::int64_t Einpassen) {
  PreviewGeometry geometry;
  geometry.Faktor = truncated(GW / static_cast<double>(DisplayWidth));

  const double x = PreviewArea.x();
  const double y = PreviewArea.y();
  const double w = static_cast<double>(W);
  const double h = static_cast<double>(H);
  const auto draw = [&](QRectF target, QRectF source) {
    geometry.drawsPicture = true;
    geometry.target = target;
    geometry.source = source;
  };

  // An empty picture has nothing to scale; a canvas narrower than the display
  // leaves no factor to divide by.
  if (W <= 0 || H <= 0) {
    return geometry;
  }
  const bool canDivide = geometry.Faktor > 0;

  // Four separate tests in this order; their conditions never overlap.
  if (W > DisplayWidth && Einpassen == ViewFitToScreen && canDivide) {
    const auto f = static_cast<double>(geometry.Faktor);
    draw(PreviewArea, QRectF(0.0, 0.0, w / f, h / f));
  }
  if (W > DisplayWidth && Einpassen == ViewOriginal && canDivide) {
    const auto f = static_cast<double>(geometry.Faktor);
    draw(PreviewArea, QRectF(0.0, 0.0, GW / f, GH / f));
  }
  if (W <= DisplayWidth && Einpassen == ViewOriginal) {
    draw(QRectF(x, y, 2.0 * w, 2.0 * h), QRectF(0.0, 0.0, w, h));
  }
  if (W <= DisplayWidth && H <= DisplayHeight && Einpassen == ViewFitToScreen) {
    geometry.Faktor = truncated(static_cast<double>(DisplayHeight) / h * 2.0);
    const auto width = static_cast<double>(static_cast<std::int64_t>(W) * geometry.Faktor);
    const auto height = static_cast<double>(static_cast<std::int64_t>(H) * geometry.Faktor);
    draw(QRectF(x, y, width, height), QRectF(0.0, 0.0, w, h));
  }
  return geometry;
}
