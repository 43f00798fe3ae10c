#include "mainmenubar.h"

#include <stdexcept>

#include <QAction>
#include <QCoreApplication>
#include <QKeySequence>
#include <QMenu>
#include <QPointer>

namespace {

QPointer<MainMenuBar>& sharedBar() {
  static QPointer<MainMenuBar> bar;
  return bar;
}

void deleteSharedBar() { delete sharedBar().data(); }

}  // namespace

MainMenuBar* MainMenuBar::instance() {
  if (!sharedBar()) {
    // Parentless on purpose: on macOS a parentless QMenuBar is the
    // application-wide bar. A window that shows it only borrows it; the bar
    // goes when the application object does, before its widgets are torn down.
    sharedBar() = new MainMenuBar;
    qAddPostRoutine(deleteSharedBar);
  }
  return sharedBar();
}

MainMenuBar::MainMenuBar() : QMenuBar(nullptr) {
  setObjectName(QStringLiteral("MainMenuBar"));
  Untitled0();
  Untitled1();
  Untitled2();
}

void MainMenuBar::Untitled0() {
  appendMenu(QStringLiteral("FileMenu"), QStringLiteral("&File"));
  mActions.FileSaveAs =
      appendItem(QStringLiteral("FileMenu"), QStringLiteral("FileSaveAs"), QStringLiteral("Save As"), {});
  appendSeparator(QStringLiteral("FileMenu"), QStringLiteral("UntitledSeparator0"));
  mActions.FilePrint = appendItem(QStringLiteral("FileMenu"), QStringLiteral("FilePrint"), QStringLiteral("Print"), {});
  appendSeparator(QStringLiteral("FileMenu"), QStringLiteral("UntitledSeparator"));
  QAction* quit =
      appendItem(QStringLiteral("FileMenu"), QStringLiteral("FileQuit"), QStringLiteral("E&xit"), {});
  mActions.FileQuit = quit;
  // The item's own action: quitting is Qt's. The window's handler for it
  // declines the command and leaves it to this.
  quit->setMenuRole(QAction::QuitRole);
  connect(quit, &QAction::triggered, this, [] { QCoreApplication::quit(); });
}

void MainMenuBar::Untitled1() {
  const QString menu = QStringLiteral("EditMenu");
  appendMenu(menu, QStringLiteral("&Edit"));
  mActions.EditUndo =
      appendItem(menu, QStringLiteral("EditUndo"), QStringLiteral("&Undo"), QKeySequence(QStringLiteral("Ctrl+Z")));
  appendSeparator(menu, QStringLiteral("EditSeparator1"));
  mActions.EditCut =
      appendItem(menu, QStringLiteral("EditCut"), QStringLiteral("Cu&t"), QKeySequence(QStringLiteral("Ctrl+X")));
  mActions.EditCopy =
      appendItem(menu, QStringLiteral("EditCopy"), QStringLiteral("&Copy"), QKeySequence(QStringLiteral("Ctrl+C")));
  mActions.EditPaste =
      appendItem(menu, QStringLiteral("EditPaste"), QStringLiteral("&Paste"), QKeySequence(QStringLiteral("Ctrl+V")));
  mActions.EditClear = appendItem(menu, QStringLiteral("EditClear"), QStringLiteral("&Delete"), {});
  appendSeparator(menu, QStringLiteral("EditSeparator2"));
  mActions.EditSelectAll = appendItem(menu, QStringLiteral("EditSelectAll"), QStringLiteral("Select &All"),
                                      QKeySequence(QStringLiteral("Ctrl+A")));
}

void MainMenuBar::Untitled2() {
  appendMenu(QStringLiteral("Help"), QStringLiteral("Help"));
  mActions.About = appendItem(QStringLiteral("Help"), QStringLiteral("About"), QStringLiteral("About"), {});
}

void MainMenuBar::appendMenu(const QString& name, const QString& text) {
  QMenu* menu = addMenu(text);
  menu->setObjectName(name);
  menu->menuAction()->setObjectName(name);
}

QAction* MainMenuBar::appendItem(const QString& menuName, const QString& name, const QString& text,
                                 const QKeySequence& shortcut) {
  QAction* action = child(menuName)->addAction(text);
  action->setObjectName(name);
  action->setShortcut(shortcut);
  return action;
}

void MainMenuBar::appendSeparator(const QString& menuName, const QString& name) {
  child(menuName)->addSeparator()->setObjectName(name);
}

QMenu* MainMenuBar::child(const QString& menuName) const {
  QMenu* menu = findChild<QMenu*>(menuName, Qt::FindDirectChildrenOnly);
  if (menu == nullptr) throw std::logic_error("no menu named " + menuName.toStdString());
  return menu;
}
