#pragma once

#include <QMenuBar>

#include "menuactions.h"

class QAction;
class QKeySequence;
class QMenu;

// The program's one menu bar, File, Edit and Help, shared by the application
// object and the window. Exit quits through Qt; the window connects the
// items that menuActions() hands it to its handlers and its listing.
class MainMenuBar final : public QMenuBar {
  Q_OBJECT

 public:
  // The shared bar, built on the first call. Needs a QApplication.
  static MainMenuBar* instance();

  // The items, each filled in as the menus are built.
  const MenuActions& menuActions() const { return mActions; }

 private:
  MainMenuBar();

  void Untitled0();
  void Untitled1();
  void Untitled2();

  void appendMenu(const QString& name, const QString& text);
  QAction* appendItem(const QString& menuName, const QString& name, const QString& text,
                      const QKeySequence& shortcut);
  void appendSeparator(const QString& menuName, const QString& name);
  QMenu* child(const QString& menuName) const;

  MenuActions mActions;
};
