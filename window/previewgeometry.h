#pragma once

#include <cstdint>

#include <QRectF>

// The preview shows the picture in units of the pocket computer's display,
// at twice that size, in the PreviewArea of the 436 x 146 canvas.
inline constexpr int DisplayWidth = 156;
inline constexpr int DisplayHeight = 32;
inline constexpr QRectF PreviewArea{51.0, 37.0, 312.0, 64.0};

// View modes; the value is the row of the view pop-up.
inline constexpr std::int64_t ViewOriginal = 0;
inline constexpr std::int64_t ViewFitToScreen = 1;

// What one paint of the canvas draws of the picture.
struct PreviewGeometry {
  bool drawsPicture = false;
  // Where the picture goes on the canvas; always starts at PreviewArea's corner.
  QRectF target;
  // Which part of the picture is drawn; always starts at 0, 0.
  QRectF source;
  // The scale factor the paint ends with.
  std::int64_t Faktor = 0;
};

// Geometry for a W x H picture on a GW x GH canvas in view mode Einpassen.
// Wider pictures fill the PreviewArea with a part of the picture; narrower
// ones are drawn whole, doubled (ViewOriginal) or scaled up to fill the
// display's height (ViewFitToScreen, only up to DisplayHeight rows; a higher
// one draws nothing). Faktor is GW / DisplayWidth truncated, except where the
// height decides it. Works on sizes only: the caller draws nothing at all
// when there is no picture.
PreviewGeometry previewGeometry(int W, int H, double GW, double GH, std::int64_t Einpassen);
