#pragma once

// The program's start-up: high-resolution support, the file types, the
// application object, the window, the event loop.
class Startup {
 public:
  // Runs the program; the result is the process exit code.
  static int run(int& argc, char** argv);
};
