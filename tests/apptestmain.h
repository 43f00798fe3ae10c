#pragma once

#include <csignal>
#include <cstdio>

#include <QPointer>
#include <QTest>

#include "app.h"
#include "mainmenubar.h"

// A file-size limit ends the process unless SIGXFSZ is ignored.
inline void defaultFileSizeSignal() {
#ifdef SIGXFSZ
  std::signal(SIGXFSZ, SIG_DFL);
#endif
}

// Like QTEST_MAIN, but with the program's own application object, so that
// the tests see its menu bar and its handling of escaped exceptions. Also
// fails when the shared menu bar outlives the application object: nothing
// else would delete it. SIGXFSZ starts at its default, which ends the
// process, so that the tests see what the application object makes of it.
#define QUILLOMAT_APP_TEST_MAIN(TestClass)                                                 \
  int main(int argc, char* argv[]) {                                                       \
    defaultFileSizeSignal();                                                               \
    QPointer<MainMenuBar> bar;                                                             \
    int result = 0;                                                                        \
    {                                                                                      \
      App app(argc, argv);                                                                 \
      App::setAttribute(Qt::AA_Use96Dpi, true);                                            \
      bar = app.menuBar();                                                                 \
      TestClass test;                                                                      \
      QTEST_SET_MAIN_SOURCE_PATH                                                           \
      result = QTest::qExec(&test, argc, argv);                                            \
    }                                                                                      \
    if (bar) {                                                                             \
      std::fputs("FAIL!  : the shared menu bar outlived the application object\n", stderr); \
      return 1;                                                                            \
    }                                                                                      \
    return result;                                                                         \
  }
