#pragma once

#include <memory>

#include <QApplication>
#include <QPointer>
#include <QString>

#include "userdialogs.h"

class MainMenuBar;

// The application object: version 1.0.0, the shared menu bar, and the one
// place where an exception that escapes an event handler is caught and shown,
// after which the run ends.
class App final : public QApplication {
  Q_OBJECT

 public:
  App(int& argc, char** argv);
  ~App() override;

  // The shared menu bar, which the window shows as well.
  MainMenuBar* menuBar() const;

  // Replaces the dialogs (tests answer them without a person).
  void setDialogs(std::unique_ptr<UserDialogs> dialogs);

  // The exit status of a run that an unhandled error ended.
  static constexpr int UnhandledErrorExitStatus = 1;

  // Shows what went wrong in a modal box.
  void reportUnhandled(const QString& what);
  // Shows why the program could not start.
  void reportStartupFailure(const QString& what);

  // Reports an exception that escapes an event handler, then ends the event
  // loop (every one running, a dialog's too) with UnhandledErrorExitStatus.
  bool notify(QObject* receiver, QEvent* event) override;

  // Runs the event loop until the program quits; its exit status. An error
  // that escaped before the loop began ends the run without entering it.
  int runEventLoop();

 private:
  bool mUnhandledError = false;
  std::unique_ptr<UserDialogs> mDialogs;
  QPointer<MainMenuBar> mMenuBar;
};
