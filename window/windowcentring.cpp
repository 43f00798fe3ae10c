#include "windowcentring.h"

namespace {

int centredStart(int screenLength, int windowLength) {
  // The conversion to int truncates toward zero.
  return static_cast<int>(screenLength / 2.0 - windowLength / 2.0);
}

}  // namespace

QPoint centredWindowPosition(QSize screenSize, QSize windowSize) {
  return {centredStart(screenSize.width(), windowSize.width()),
          centredStart(screenSize.height(), windowSize.height())};
}
