#include "app.h"

#include <csignal>
#include <exception>

#include <QIcon>

#include "mainmenubar.h"

App::App(int& argc, char** argv) : QApplication(argc, argv), mDialogs(std::make_unique<QtDialogs>()) {
  setApplicationVersion(QStringLiteral("1.0.0"));
#ifdef SIGXFSZ
  // A file that would grow past the size limit (RLIMIT_FSIZE) must fail its
  // write with EFBIG, which Save As and Print report, not end the program.
  std::signal(SIGXFSZ, SIG_IGN);
#endif
  mMenuBar = MainMenuBar::instance();
  // Built into the program; a test build without it keeps Qt's icon.
  const QIcon icon(QStringLiteral(":/quillomat.ico"));
  if (!icon.availableSizes().isEmpty()) setWindowIcon(icon);
}

App::~App() = default;

MainMenuBar* App::menuBar() const { return mMenuBar; }

void App::setDialogs(std::unique_ptr<UserDialogs> dialogs) { mDialogs = std::move(dialogs); }

void App::reportUnhandled(const QString& what) {
  mDialogs->showMessage(activeWindow(),
                        QStringLiteral("Something went wrong, and the last action was not finished:\n") + what +
                            QStringLiteral("\n\nQuillomat will now close."));
}

void App::reportStartupFailure(const QString& what) {
  mDialogs->showMessage(nullptr, QStringLiteral("Quillomat could not start:\n") + what);
}

bool App::notify(QObject* receiver, QEvent* event) {
  // Qt must not be unwound by an exception; this is the last frame where one
  // can still be stopped.
  QString what;
  try {
    return QApplication::notify(receiver, event);
  } catch (const std::exception& error) {
    what = QString::fromLocal8Bit(error.what());
  } catch (...) {
    what = QStringLiteral("An unknown error.");
  }
  try {
    reportUnhandled(what);
  } catch (...) {
    qCritical("Quillomat: %s", qUtf8Printable(what));
  }
  // The failing handler may have left its work half done: the run ends
  // instead of going on with it.
  mUnhandledError = true;
  exit(UnhandledErrorExitStatus);
  return false;
}

int App::runEventLoop() {
  // exit() is lost on a loop that is not running yet.
  if (mUnhandledError) return UnhandledErrorExitStatus;
  return exec();
}
