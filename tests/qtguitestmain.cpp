#include <optional>

#include <QGuiApplication>

#include <gtest/gtest.h>

// Qt's picture and painting code wants an application object; listing the
// tests for CTest must work without one, and without a display.
int main(int argc, char** argv) {
  testing::InitGoogleTest(&argc, argv);
  std::optional<QGuiApplication> app;
  if (!GTEST_FLAG_GET(list_tests)) {
    app.emplace(argc, argv);
  }
  return RUN_ALL_TESTS();
}
