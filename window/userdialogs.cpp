#include "userdialogs.h"

#include <QFileDialog>
#include <QMessageBox>
#include <QPageSetupDialog>
#include <QPrintDialog>
#include <QPrinter>

void QtDialogs::showMessage(QWidget* parent, const QString& text) {
  QMessageBox box(parent);
  // Untitled, Qt would show the executable's name.
  box.setWindowTitle(QStringLiteral("Quillomat"));
  // Messages name files; a name with "<b>" or "&lt;" in it must not turn the
  // text into rich text, which would also drop its line breaks.
  box.setTextFormat(Qt::PlainText);
  box.setText(text);
  box.setStandardButtons(QMessageBox::Ok);
  box.exec();
}

std::optional<QString> QtDialogs::askSaveFileName(QWidget* parent, const SaveRequest& request) {
  QFileDialog dialog(parent, request.title, request.folder, request.filter);
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setFileMode(QFileDialog::AnyFile);
  dialog.setLabelText(QFileDialog::FileName, request.prompt);
  dialog.selectFile(request.suggestedName);
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
  return dialog.selectedFiles().constFirst();
}

void QtDialogs::showPageSetup(QPrinter& printer) {
  QPageSetupDialog dialog(&printer, nullptr);
  dialog.exec();
}

bool QtDialogs::askPrinter(QWidget* parent, QPrinter& printer, std::int64_t pageCount) {
  // Else choosing "Pages" shows 1 to 1. The dialog still opens on "All", and
  // printing all sets the printer back to every page.
  printer.setFromTo(1, static_cast<int>(pageCount));
  QPrintDialog dialog(&printer, parent);
  // The page range, copies and page order are applied when printing. A
  // listing has no current page and no selection, so those are not offered.
  dialog.setOption(QAbstractPrintDialog::PrintCurrentPage, false);
  dialog.setOption(QAbstractPrintDialog::PrintSelection, false);
  dialog.setOption(QAbstractPrintDialog::PrintCollateCopies, true);
  dialog.setMinMax(1, static_cast<int>(pageCount));
  return dialog.exec() == QDialog::Accepted;
}
