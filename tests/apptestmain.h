#pragma once

#include <QTest>

#include "app.h"

// Like QTEST_MAIN, but with the program's own application object, so that
// the tests see its menu bar and its handling of escaped exceptions.
#define QUILLOMAT_APP_TEST_MAIN(TestClass)          \
  int main(int argc, char* argv[]) {                \
    App app(argc, argv);                            \
    App::setAttribute(Qt::AA_Use96Dpi, true);       \
    TestClass test;                                 \
    QTEST_SET_MAIN_SOURCE_PATH                      \
    return QTest::qExec(&test, argc, argv);         \
  }
