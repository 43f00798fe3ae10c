#pragma once

#include <functional>

#include <QHash>
#include <QMenuBar>
#include <QPointer>
#include <QString>

class EditCommands;
class QAction;
class QKeySequence;
class QMenu;

// The program's one menu bar, File, Edit and Help, shared by the application
// object and the window. Chosen items run the handler bound to their name
// first; a handler that returns false (or none) lets the item's own action
// run: the framework's quit for Exit, Qt's standard edit operations for the
// Edit items.
class MainMenuBar final : public QMenuBar {
  Q_OBJECT

 public:
  // The shared bar, built on the first call. Needs a QApplication.
  static MainMenuBar* instance();

  // The item (or a menu's own action) with that object name, or null.
  QAction* item(const QString& name) const;

  // Binds the item named itemName to receiver's handler while receiver lives;
  // the handler returns true when it has handled the command.
  template <typename Receiver>
  void addMenuHandler(const QString& itemName, Receiver* receiver, bool (Receiver::*handler)()) {
    bind(itemName, receiver, [receiver, handler] { return (receiver->*handler)(); });
  }

 private:
  struct Binding {
    QPointer<QObject> receiver;
    std::function<bool()> handler;
  };

  MainMenuBar();

  void Untitled0();
  void Untitled1();
  void Untitled2();

  void appendMenu(const QString& name, const QString& text);
  QAction* appendItem(const QString& menuName, const QString& name, const QString& text,
                      const QKeySequence& shortcut);
  void appendSeparator(const QString& menuName, const QString& name);
  QMenu* child(const QString& menuName) const;

  void bind(const QString& itemName, QObject* receiver, std::function<bool()> handler);
  void runCommand(QAction& item);

  QHash<QString, Binding> mHandlers;
  QHash<const QAction*, std::function<void()>> mOwnActions;
  EditCommands* mEdit = nullptr;
};
