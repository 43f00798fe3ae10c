#include "editcommands.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QLineEdit>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QTextCursor>
#include <QTextDocument>

EditCommands::EditCommands(const Items& items, QObject* parent) : QObject(parent), mItems(items) {
  connect(qApp, &QApplication::focusChanged, this,
          [this](QWidget*, QWidget* now) { follow(now); });
  connect(QApplication::clipboard(), &QClipboard::dataChanged, this, &EditCommands::update);
  follow(QApplication::focusWidget());
}

void EditCommands::undo() {
  if (mPlain) mPlain->undo();
  else if (mLine) mLine->undo();
}

void EditCommands::cut() {
  if (mPlain) mPlain->cut();
  else if (mLine) mLine->cut();
}

void EditCommands::copy() {
  if (mPlain) mPlain->copy();
  else if (mLine) mLine->copy();
}

void EditCommands::paste() {
  if (mPlain) mPlain->paste();
  else if (mLine) mLine->paste();
}

void EditCommands::clear() {
  // A text cursor edits even a read-only document, so the guard is ours.
  if (mPlain && !mPlain->isReadOnly()) {
    QTextCursor cursor = mPlain->textCursor();
    cursor.removeSelectedText();
    mPlain->setTextCursor(cursor);
  } else if (mLine && !mLine->isReadOnly() && mLine->hasSelectedText()) {
    mLine->del();
  }
}

void EditCommands::selectAll() {
  if (mPlain) mPlain->selectAll();
  else if (mLine) mLine->selectAll();
}

void EditCommands::follow(QWidget* focused) {
  for (const QMetaObject::Connection& connection : std::as_const(mTargetConnections)) {
    disconnect(connection);
  }
  mTargetConnections.clear();
  mPlain = qobject_cast<QPlainTextEdit*>(focused);
  mLine = qobject_cast<QLineEdit*>(focused);

  if (mPlain) {
    mTargetConnections = {
        connect(mPlain, &QPlainTextEdit::copyAvailable, this, &EditCommands::update),
        connect(mPlain, &QPlainTextEdit::undoAvailable, this, &EditCommands::update),
        connect(mPlain, &QPlainTextEdit::selectionChanged, this, &EditCommands::update),
        connect(mPlain, &QPlainTextEdit::textChanged, this, &EditCommands::update),
    };
  } else if (mLine) {
    mTargetConnections = {
        connect(mLine, &QLineEdit::selectionChanged, this, &EditCommands::update),
        connect(mLine, &QLineEdit::textChanged, this, &EditCommands::update),
    };
  }
  update();
}

void EditCommands::update() {
  bool canUndo = false;
  bool canCut = false;
  bool canCopy = false;
  bool canPaste = false;
  bool canSelectAll = false;

  const QMimeData* clip = QApplication::clipboard()->mimeData();
  const bool clipHasText = clip != nullptr && clip->hasText();

  if (mPlain) {
    const bool editable = !mPlain->isReadOnly();
    const bool selected = mPlain->textCursor().hasSelection();
    canUndo = editable && mPlain->document()->isUndoAvailable();
    canCopy = selected;
    canCut = editable && selected;
    canPaste = editable && mPlain->canPaste();
    canSelectAll = !mPlain->document()->isEmpty();
  } else if (mLine) {
    const bool editable = !mLine->isReadOnly();
    const bool shown = mLine->echoMode() == QLineEdit::Normal;
    const bool selected = mLine->hasSelectedText();
    canUndo = editable && mLine->isUndoAvailable();
    canCopy = selected && shown;
    canCut = editable && selected && shown;
    canPaste = editable && clipHasText;
    canSelectAll = !mLine->text().isEmpty();
  }

  mItems.undo->setEnabled(canUndo);
  mItems.cut->setEnabled(canCut);
  mItems.copy->setEnabled(canCopy);
  mItems.paste->setEnabled(canPaste);
  mItems.clear->setEnabled(canCut);
  mItems.selectAll->setEnabled(canSelectAll);
}
