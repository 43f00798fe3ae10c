#pragma once

#include <optional>

#include <QPageLayout>
#include <QString>
#include <QStringList>

#include "userdialogs.h"

// Answers the window's dialogs as a test tells it to and records what was
// asked, in order: "message", "save", "pageSetup", "printer".
class FakeDialogs final : public UserDialogs {
 public:
  // The save dialog's answer; nothing means the user cancelled.
  std::optional<QString> saveAnswer;
  // The PDF file the print dialog prints to; nothing means the user cancelled.
  std::optional<QString> printAnswer;

  QStringList calls;
  QStringList messages;
  SaveRequest saveRequest;
  // The orientation of the printer the print dialog was given. The page setup
  // always turns its printer to landscape, as a user might.
  std::optional<QPageLayout::Orientation> printerOrientation;

  void showMessage(QWidget* parent, const QString& text) override;
  std::optional<QString> askSaveFileName(QWidget* parent, const SaveRequest& request) override;
  void showPageSetup(QPrinter& printer) override;
  bool askPrinter(QWidget* parent, QPrinter& printer, std::int64_t pageCount) override;
};
