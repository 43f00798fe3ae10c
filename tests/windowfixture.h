#pragma once

// The window as the window tests use it: made as the start-up makes it, shown,
// its dialogs answered by a fake.

#include <memory>
#include <optional>

#include "fakedialogs.h"
#include "filetypes.h"
#include "mainmenubar.h"
#include "window1.h"

// Makes the window with what the start-up hands it.
inline void makeWindow(std::optional<Window1>& window) {
  window.emplace(*MainMenuBar::instance(), PictureTypes::Bmp.Name, FileTypes1::ApplicationText.nameFilter());
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
