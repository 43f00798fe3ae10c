#include "startupprobe.h"

#include <cstdio>

#include <QApplication>
#include <QMainWindow>
#include <QPixmap>
#include <QScreen>
#include <QSizeF>
#include <QTimer>
#include <QWidget>
#include <QWindow>

namespace {

void report(QWidget& window, const QString& grabFile) {
  int shownWindows = 0;
  for (const QWidget* widget : QApplication::topLevelWidgets()) {
    if (widget->isVisible()) ++shownWindows;
  }
  const auto* main = qobject_cast<const QMainWindow*>(&window);
  const QWidget* content = main != nullptr ? main->centralWidget() : &window;
  std::printf("shown visible=%d exposed=%d windows=%d content=%dx%d title=%s icon=%d at=%d,%d\n",
              window.isVisible() ? 1 : 0, window.windowHandle()->isExposed() ? 1 : 0, shownWindows,
              content->width(), content->height(), qUtf8Printable(window.windowTitle()),
              window.windowIcon().availableSizes().isEmpty() ? 0 : 1, window.geometry().x(), window.geometry().y());
  std::fflush(stdout);

  if (!grabFile.isEmpty()) {
    // The screen's picture of the window where the platform has one (X11),
    // else Qt's own rendering of it.
    QPixmap shot = window.screen()->grabWindow(window.winId());
    const QSize devicePixels = (QSizeF(window.size()) * window.devicePixelRatio()).toSize();
    if (shot.isNull() || shot.size() != devicePixels) shot = window.grab();
    if (!shot.save(grabFile)) std::fprintf(stderr, "could not save %s\n", qUtf8Printable(grabFile));
  }
}

}  // namespace

void StartupProbe::arm(QWidget& window, const QString& grabFile) {
  // Polls from the idle event loop until the platform has exposed the window
  // (or a second has gone by), so the report comes from a window on screen.
  auto* poll = new QTimer(&window);
  auto* deadline = new QTimer(&window);
  deadline->setSingleShot(true);
  deadline->start(1000);
  QObject::connect(poll, &QTimer::timeout, &window, [&window, poll, deadline, grabFile] {
    if (!window.windowHandle()->isExposed() && deadline->isActive()) return;
    poll->stop();
    report(window, grabFile);
    QCoreApplication::quit();
  });
  poll->start(0);
}
