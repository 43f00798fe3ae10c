#pragma once

#include <QPoint>
#include <QSize>

// Left and top that centre a window of windowSize on a screen of screenSize:
// half the difference, truncated toward zero (so -45.5 gives -45).
QPoint centredWindowPosition(QSize screenSize, QSize windowSize);
