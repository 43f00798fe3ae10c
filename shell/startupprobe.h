#pragma once

#include <QString>

class QWidget;

// The start-up test's and the benchmark's view of a started program: once the
// window is shown and the event loop is idle, prints one line describing the
// window and quits; with a file name it also saves a picture of the window.
// Only the test program quillomat_probe arms it.
class StartupProbe {
 public:
  static void arm(QWidget& window, const QString& grabFile);
};
