#pragma once

#include <optional>

#include <QString>
#include <QStringList>

#include "userdialogs.h"

// Answers every dialog at once and records what was asked.
class FakeDialogs final : public UserDialogs {
 public:
  QStringList messages;
  int saveAsks = 0;
  int pageSetups = 0;
  int printerAsks = 0;

  void showMessage(QWidget*, const QString& text) override { messages.append(text); }
  std::optional<QString> askSaveFileName(QWidget*, const SaveRequest&) override {
    ++saveAsks;
    return std::nullopt;
  }
  void showPageSetup(QPrinter&) override { ++pageSetups; }
  bool askPrinter(QWidget*, QPrinter&) override {
    ++printerAsks;
    return false;
  }
  int dialogsShown() const { return static_cast<int>(messages.size()) + saveAsks + pageSetups + printerAsks; }
};
