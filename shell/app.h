#pragma once

#include <memory>

#include <QApplication>
#include <QPointer>
#include <QString>

#include "userdialogs.h"

class MainMenuBar;

// The application object: version 1.0.0, the shared menu bar, and the one
// place where an exception that escapes an event handler is caught, shown
// and survived.
class App final : public QApplication {
  Q_OBJECT

 public:
  App(int& argc, char** argv);
  ~App() override;

  // The shared menu bar, which the window shows as well.
  MainMenuBar* menuBar() const;

  // Replaces the dialogs (tests answer them without a person).
  void setDialogs(std::unique_ptr<UserDialogs> dialogs);

  // Shows what went wrong in a modal box; the program goes on.
  void reportUnhandled(const QString& what);
  // Shows why the program could not start.
  void reportStartupFailure(const QString& what);

  bool notify(QObject* receiver, QEvent* event) override;

 private:
  std::unique_ptr<UserDialogs> mDialogs;
  QPointer<MainMenuBar> mMenuBar;
};
