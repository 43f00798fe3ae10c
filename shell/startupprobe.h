#pragma once

class QWidget;

// A hook for the start-up test and the benchmark, off unless the environment
// variable QUILLOMAT_PROBE is set: once the window is shown and the event
// loop is idle, prints one line describing the window and quits. With
// QUILLOMAT_PROBE_GRAB set to a file name it also saves a picture of the
// window there.
class StartupProbe {
 public:
  static void arm(QWidget& window);
};
