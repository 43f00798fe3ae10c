#pragma once

#include <cstdint>
#include <optional>

#include <QString>

class QPrinter;
class QWidget;

// Every modal box and dialog the window opens goes through this seam, so that
// tests can answer them without a person.
class UserDialogs {
 public:
  struct SaveRequest {
    QString folder;
    QString prompt;
    QString suggestedName;
    QString title;
    QString filter;
  };

  virtual ~UserDialogs() = default;

  // A modal message box titled "Quillomat" with an OK button; returns once it
  // is closed.
  virtual void showMessage(QWidget* parent, const QString& text) = 0;
  // The chosen file's path, or nothing when the user cancelled.
  virtual std::optional<QString> askSaveFileName(QWidget* parent, const SaveRequest& request) = 0;
  // The page-setup dialog; what the user chooses there is not used.
  virtual void showPageSetup(QPrinter& printer) = 0;
  // The print dialog for a listing of pageCount pages; false when the user
  // cancelled.
  virtual bool askPrinter(QWidget* parent, QPrinter& printer, std::int64_t pageCount) = 0;

 protected:
  UserDialogs() = default;
  UserDialogs(const UserDialogs&) = default;
  UserDialogs& operator=(const UserDialogs&) = default;
};

// The real dialogs, from Qt.
class QtDialogs final : public UserDialogs {
 public:
  void showMessage(QWidget* parent, const QString& text) override;
  std::optional<QString> askSaveFileName(QWidget* parent, const SaveRequest& request) override;
  void showPageSetup(QPrinter& printer) override;
  bool askPrinter(QWidget* parent, QPrinter& printer, std::int64_t pageCount) override;
};
