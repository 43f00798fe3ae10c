#pragma once

#include <functional>

class QWidget;

// The program's start-up: high-resolution support, the file types, the
// application object, the window, the event loop.
class Startup {
 public:
  // Runs the program; the result is the process exit code. whenShown, if
  // given, is called with the window once it is shown (the start-up probe).
  static int run(int& argc, char** argv, const std::function<void(QWidget&)>& whenShown = {});
};
