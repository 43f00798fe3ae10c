#pragma once

#include <QList>
#include <QMetaObject>
#include <QObject>
#include <QPointer>

class QAction;
class QLineEdit;
class QPlainTextEdit;
class QWidget;

// Qt's standard edit operations for the Edit menu: each item acts on the
// focused text widget (QPlainTextEdit or QLineEdit) and is enabled only while
// it can act there. Enablement follows focus changes, the target's selection,
// undo state and text, and the clipboard.
class EditCommands final : public QObject {
  Q_OBJECT

 public:
  struct Items {
    QAction* undo = nullptr;
    QAction* cut = nullptr;
    QAction* copy = nullptr;
    QAction* paste = nullptr;
    QAction* clear = nullptr;
    QAction* selectAll = nullptr;
  };

  EditCommands(const Items& items, QObject* parent);

  void undo();
  void cut();
  void copy();
  void paste();
  void clear();
  void selectAll();

 private:
  void follow(QWidget* focused);
  void update();

  Items mItems;
  QPointer<QPlainTextEdit> mPlain;
  QPointer<QLineEdit> mLine;
  QList<QMetaObject::Connection> mTargetConnections;
};
