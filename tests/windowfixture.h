#pragma once

// The window as the window tests use it: made as the start-up makes it, shown,
// its dialogs answered by a fake.

#include <memory>
#include <optional>

#include <QCoreApplication>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>

#include "fakedialogs.h"
#include "filetypes.h"
#include "mainmenubar.h"
#include "window1.h"

// Makes the window with what the start-up hands it.
inline void makeWindow(std::optional<Window1>& window) {
  MainMenuBar& menuBar = *MainMenuBar::instance();
  window.emplace(menuBar, menuBar.menuActions(), PictureTypes::Bmp.Name, FileTypes1::ApplicationText.nameFilter());
}

// Makes and shows the window; returns the fake that answers its dialogs,
// which the window owns.
inline FakeDialogs* showWindowWithFakeDialogs(std::optional<Window1>& window) {
  makeWindow(window);
  auto dialogs = std::make_unique<FakeDialogs>();
  FakeDialogs* fake = dialogs.get();
  window->setDialogs(std::move(dialogs));
  window->show();
  return fake;
}

// A drag of mime entering the window, as Qt delivers it; true when the
// window takes it as a copy.
inline bool sendDragEnter(Window1& window, const QMimeData& mime,
                          Qt::DropActions actions = Qt::CopyAction | Qt::MoveAction) {
  QDragEnterEvent event(QPoint(400, 120), actions, &mime, Qt::LeftButton, Qt::NoModifier);
  QCoreApplication::sendEvent(&window, &event);
  return event.isAccepted() && event.dropAction() == Qt::CopyAction;
}

// The drop of mime on the window; true when the window takes it as a copy.
// The window reads the dropped file only once the event loop runs again.
inline bool sendDrop(Window1& window, const QMimeData& mime) {
  QDropEvent event(QPointF(400, 120), Qt::CopyAction | Qt::MoveAction, &mime, Qt::LeftButton, Qt::NoModifier);
  QCoreApplication::sendEvent(&window, &event);
  return event.isAccepted() && event.dropAction() == Qt::CopyAction;
}
