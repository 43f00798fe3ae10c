#pragma once

class QAction;

// The menu items that the window works with, handed over by whoever builds the
// menus. Typed pointers rather than names: an item that goes missing or is
// renamed fails to compile instead of failing when the window is made.
struct MenuActions {
  QAction* FileSaveAs = nullptr;
  QAction* FilePrint = nullptr;
  QAction* FileQuit = nullptr;
  QAction* EditUndo = nullptr;
  QAction* EditCut = nullptr;
  QAction* EditCopy = nullptr;
  QAction* EditPaste = nullptr;
  QAction* EditClear = nullptr;
  QAction* EditSelectAll = nullptr;
  QAction* About = nullptr;
};
