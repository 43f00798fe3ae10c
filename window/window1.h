#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include <QFile>
#include <QImage>
#include <QList>
#include <QMainWindow>
#include <QUrl>

#include "conversionstate.h"
#include "conversionview.h"
#include "menuactions.h"
#include "userdialogs.h"

class ImageCanvas;
class QComboBox;
class QDragEnterEvent;
class QDragLeaveEvent;
class QDropEvent;
class QLabel;
class QMenuBar;
class QMouseEvent;
class QPainter;
class QPlainTextEdit;
class QRegion;
class QShowEvent;

// The program's one window. It owns all of the program's state: the
// conversion's part through ConversionState (Mode, OutputSharp, Zeile,
// AnzahlZeilen, OutPutString, DruckSeiten) and the preview's and the drop's
// here. Its controls stand at fixed places in a content area of 690 x 432
// below the menu bar.
class Window1 final : public QMainWindow, public quillomat::ConversionState, private quillomat::ConversionView {
  Q_OBJECT

 public:
  // menuBar is the program's shared bar, which the window borrows while it
  // lives, and menuActions its items; pictureType names the picture files it
  // takes, besides JPEG; saveFilter is the save dialog's file-type filter.
  Window1(QMenuBar& menuBar, const MenuActions& menuActions, QString pictureType, QString saveFilter,
          QWidget* parent = nullptr);
  ~Window1() override;

  // Replaces the dialogs (tests answer them without a person).
  void setDialogs(std::unique_ptr<UserDialogs> dialogs);

  // The preview's scale factor, worked out anew by every paint.
  std::int64_t Faktor = 0;
  // The preview's view mode: the row of PopupMenu2.
  std::int64_t Einpassen = 0;
  // The last dropped file by name; no name before the first drop. The drop
  // reads the file through a QFile of its own, so this one is never opened.
  QFile Stream;

  // Handlers of the controls' events.
  void PopupMenu1_Open(QComboBox& popup);
  void PopupMenu1_Change(QComboBox& popup);
  void ImageCanvas_Paint(ImageCanvas& canvas, QPainter& g, const QRegion& areas);
  void PopupMenu2_Change(QComboBox& popup);
  void PopupMenu2_Open(QComboBox& popup);

  // The window's own events.
  void Event_Open();
  void Event_DragExit();
  // Takes a drop from the URLs its drag carried; runs after the drag is over.
  void Event_DropObject(const QList<QUrl>& urls);
  bool Event_DragEnter(QDragEnterEvent& obj);
  bool Event_MouseDown(int x, int y);

  // Menu actions: true when the command is handled, false to let the item's
  // own action run.
  bool _FilePrint_Action();
  bool _FileSaveAs_Action();
  bool _FileQuit_Action();
  bool _About_Action();

  // Converts the held file and shows the listing.
  void DoShowGprint();
  void DoPrinting();
  void DoSaveAS();

 protected:
  void showEvent(QShowEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dragLeaveEvent(QDragLeaveEvent* event) override;
  void dropEvent(QDropEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;

 private:
  void Layout(QMenuBar& menuBar);
  void CreateControls();
  void _CreateControls0();
  void AddMenuHandlers(const MenuActions& menuActions);

  // Takes the drops that wait, one after the other in the order they came.
  void takePendingDrops();

  // A listing is shown: Save As and Print have something to work on.
  bool listingShown() const;

  // The conversion's view of the window.
  void showMessage(const std::string& text) override;
  void clearListing() override;
  void showListing(std::span<const std::string> pages) override;
  void setListingEnabled(bool enabled) override;

  // The dropped picture as Qt decoded it; null before the first drop.
  QImage mImage;
  // True while a drag hovers over the window.
  bool mDragInside = false;
  // Drops accepted but not yet taken: the URLs each drag carried.
  QList<QList<QUrl>> mPendingDrops;
  // A drop is being taken; one that comes meanwhile waits for it to end.
  bool mTakingDrops = false;

  std::unique_ptr<UserDialogs> mDialogs;
  const QString mPictureType;
  const QString mSaveFilter;
  bool mOpened = false;

  QWidget* mContent = nullptr;
  QComboBox* PopupMenu1 = nullptr;
  QLabel* LabelFile = nullptr;
  ImageCanvas* ImageCanvas0 = nullptr;
  QWidget* Line1 = nullptr;
  QWidget* Line2 = nullptr;
  QWidget* Line3 = nullptr;
  QWidget* Line4 = nullptr;
  QComboBox* PopupMenu2 = nullptr;
  QLabel* Label1 = nullptr;
  QLabel* Label2 = nullptr;
  QPlainTextEdit* TextArea1 = nullptr;
  QLabel* Label3 = nullptr;
};
