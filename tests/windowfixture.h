#pragma once

// The window as the window tests use it: shown, its dialogs answered by a fake.

#include <memory>
#include <optional>

#include "fakedialogs.h"
#include "window1.h"

// Makes and shows the window; returns the fake that answers its dialogs,
// which the window owns.
inline FakeDialogs* showWindowWithFakeDialogs(std::optional<Window1>& window) {
  window.emplace();
  auto dialogs = std::make_unique<FakeDialogs>();
  FakeDialogs* fake = dialogs.get();
  window->setDialogs(std::move(dialogs));
  window->show();
  return fake;
}
