#include "fakedialogs.h"

#include <QPrinter>

void FakeDialogs::showMessage(QWidget*, const QString& text) {
  calls.append(QStringLiteral("message"));
  messages.append(text);
}

std::optional<QString> FakeDialogs::askSaveFileName(QWidget*, const SaveRequest& request) {
  calls.append(QStringLiteral("save"));
  saveRequest = request;
  return saveAnswer;
}

void FakeDialogs::showPageSetup(QPrinter& printer) {
  calls.append(QStringLiteral("pageSetup"));
  printer.setPageOrientation(QPageLayout::Landscape);
}

bool FakeDialogs::askPrinter(QWidget*, QPrinter& printer, std::int64_t) {
  calls.append(QStringLiteral("printer"));
  printerOrientation = printer.pageLayout().orientation();
  if (!printAnswer) return false;
  printer.setOutputFormat(QPrinter::PdfFormat);
  printer.setOutputFileName(*printAnswer);
  return true;
}
