#include "startup.h"

#include <exception>
#include <iostream>
#include <optional>

#include <QGuiApplication>
#include <QString>

#include "app.h"
#include "filetypes.h"
#include "mainmenubar.h"
#include "window1.h"

namespace {

// Shows a start-up failure in a box when there is an application to show it,
// on stderr otherwise.
void reportStartupFailure(std::optional<App>& app, const QString& what) {
  std::cerr << "Quillomat could not start: " << what.toStdString() << '\n';
  if (app) app->reportStartupFailure(what);
}

}  // namespace

int Startup::run(int& argc, char** argv, const std::function<void(QWidget&)>& whenShown) {
  // Must be declared before the application object exists.
  QGuiApplication::setHighDpiScaleFactorRoundingPolicy(Qt::HighDpiScaleFactorRoundingPolicy::PassThrough);

  std::optional<App> app;
  try {
    app.emplace(argc, argv);

    MainMenuBar& menuBar = *app->menuBar();
    Window1 window(menuBar, menuBar.menuActions(), PictureTypes::Bmp.Name, FileTypes1::ApplicationText.nameFilter());
    window.show();
    if (whenShown) whenShown(window);
    return app->runEventLoop();
  } catch (const std::exception& error) {
    reportStartupFailure(app, QString::fromLocal8Bit(error.what()));
  } catch (...) {
    reportStartupFailure(app, QStringLiteral("An unknown error."));
  }
  return 1;
}
