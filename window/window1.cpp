#include "window1.h"

#include <array>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <variant>

#include <QAction>
#include <QComboBox>
#include <QDragEnterEvent>
#include <QDragLeaveEvent>
#include <QDropEvent>
#include <QFont>
#include <QGuiApplication>
#include <QLabel>
#include <QLayout>
#include <QLatin1StringView>
#include <QList>
#include <QMenuBar>
#include <QMetaObject>
#include <QMimeData>
#include <QMouseEvent>
#include <QPalette>
#include <QPlainTextEdit>
#include <QRect>
#include <QScopeGuard>
#include <QScreen>
#include <QShowEvent>
#include <QSignalBlocker>
#include <QSizeF>
#include <QTextDocument>
#include <QUrl>

#include "conversion.h"
#include "dropacceptance.h"
#include "droppedfile.h"
#include "imagecanvas.h"
#include "listingprinter.h"
#include "listingsaver.h"
#include "previewgeometry.h"
#include "previewpaint.h"
#include "windowcentring.h"

namespace {

constexpr int ContentWidth = 690;
constexpr int ContentHeight = 432;
const QColor BackgroundColor(0x6C, 0x6C, 0x6C);
const QColor ListingBackgroundColor(0xD0, 0xCE, 0xD0);

constexpr std::array<std::string_view, 5> AboutText = {
    "Converts a .bmp data format image",
    "into a Sharp pocket computer image format.",
    "Simply drag and drop a file into the program window.",
    "",
    "Runs on Mac OS 10.7 or higher and Win7 or higher.",
};

QLabel* makeLabel(QWidget* parent, const QString& name, const QString& text, const QRect& place) {
  auto* label = new QLabel(text, parent);
  label->setObjectName(name);
  label->setGeometry(place);
  label->setAlignment(Qt::AlignCenter);
  QPalette palette = label->palette();
  palette.setColor(QPalette::WindowText, Qt::black);
  label->setPalette(palette);
  return label;
}

QComboBox* makePopup(QWidget* parent, const QString& name, const QRect& place) {
  auto* popup = new QComboBox(parent);
  popup->setObjectName(name);
  popup->setGeometry(place);
  return popup;
}

// A 1-pixel black line from (x1, y1) to (x2, y2), both ends included, in the
// parent's coordinates. It fills its whole rectangle: a styled frame line is
// drawn centred on the widget's edge and vanishes at display scales such as
// 125 % and 150 %.
QWidget* makeLine(QWidget* parent, const QString& name, int x1, int y1, int x2, int y2) {
  auto* line = new QWidget(parent);
  line->setObjectName(name);
  line->setAutoFillBackground(true);
  QPalette palette = line->palette();
  palette.setColor(QPalette::Window, Qt::black);
  line->setPalette(palette);
  line->setGeometry(QRect(QPoint(x1, y1), QPoint(x2, y2)));
  return line;
}

// The dropped file is only read: a drag source that offers to move it is
// told it was copied, so it never deletes its file. One that offers no copy
// is refused.
bool offersCopy(const QDropEvent& event) { return event.possibleActions().testFlag(Qt::CopyAction); }

void takeAsCopy(QDropEvent& event) {
  event.setDropAction(Qt::CopyAction);
  event.accept();
}

}  // namespace

Window1::Window1(QMenuBar& menuBar, const MenuActions& menuActions, QString pictureType, QString saveFilter,
                 QWidget* parent)
    : QMainWindow(parent),
      mDialogs(std::make_unique<QtDialogs>()),
      mPictureType(std::move(pictureType)),
      mSaveFilter(std::move(saveFilter)) {
  setObjectName(QStringLiteral("Window1"));
  Layout(menuBar);
  CreateControls();
  AddMenuHandlers(menuActions);
}

Window1::~Window1() {
  // The shared bar outlives this window: hand it back instead of letting the
  // window delete it with its children.
  if (QWidget* bar = menuWidget()) bar->setParent(nullptr);
}

void Window1::setDialogs(std::unique_ptr<UserDialogs> dialogs) { mDialogs = std::move(dialogs); }

void Window1::Layout(QMenuBar& menuBar) {
  setMenuBar(&menuBar);

  mContent = new QWidget(this);
  mContent->setObjectName(QStringLiteral("Content"));
  mContent->setFixedSize(ContentWidth, ContentHeight);
  mContent->setAutoFillBackground(true);
  QPalette palette = mContent->palette();
  palette.setColor(QPalette::Window, BackgroundColor);
  mContent->setPalette(palette);
  setCentralWidget(mContent);

  setWindowTitle(QStringLiteral("Quillomat"));
  setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                 Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
  // Content plus menu bar, and nothing else: the window can't be resized.
  layout()->setSizeConstraint(QLayout::SetFixedSize);
}

void Window1::CreateControls() { _CreateControls0(); }

void Window1::_CreateControls0() {
  PopupMenu1 = makePopup(mContent, QStringLiteral("PopupMenu1"), QRect(20, 116, 119, 20));
  connect(PopupMenu1, &QComboBox::currentIndexChanged, this, [this] { PopupMenu1_Change(*PopupMenu1); });

  LabelFile = makeLabel(mContent, QStringLiteral("LabelFile"), QStringLiteral("Drag one .BMP File into the Window"),
                        QRect(189, 7, 312, 33));
  // 16 in the layout's own unit, the pixel: 16 points would be 21 pixels on a
  // 96-dpi screen and cut the text off at both ends of its 312-pixel label.
  QFont fileFont = LabelFile->font();
  fileFont.setPixelSize(16);
  LabelFile->setFont(fileFont);

  ImageCanvas0 = new ImageCanvas(mContent);
  ImageCanvas0->setObjectName(QStringLiteral("ImageCanvas"));
  ImageCanvas0->setBackdrop(ImageCanvas::Anzeige_Leer1());
  ImageCanvas0->setGeometry(180, 45, 436, 146);
  // The canvas lies inside the window, so it never paints once the window has gone.
  ImageCanvas0->attachPaint(std::bind_front(&Window1::ImageCanvas_Paint, this));

  // The frame around the preview: the top and left sides belong to the
  // canvas, the bottom and right sides to the window; together one rectangle
  // from (231, 80) to (543, 146) in window coordinates.
  Line1 = makeLine(ImageCanvas0, QStringLiteral("Line1"), 231 - 180, 80 - 45, 543 - 180, 80 - 45);
  Line2 = makeLine(ImageCanvas0, QStringLiteral("Line2"), 231 - 180, 80 - 45, 231 - 180, 146 - 45);
  Line3 = makeLine(mContent, QStringLiteral("Line3"), 231, 146, 543, 146);
  Line4 = makeLine(mContent, QStringLiteral("Line4"), 543, 80, 543, 146);

  PopupMenu2 = makePopup(mContent, QStringLiteral("PopupMenu2"), QRect(20, 62, 119, 20));
  connect(PopupMenu2, &QComboBox::currentIndexChanged, this, [this] { PopupMenu2_Change(*PopupMenu2); });

  Label1 = makeLabel(mContent, QStringLiteral("Label1"), QStringLiteral("Show Picture"), QRect(20, 41, 119, 20));
  Label2 = makeLabel(mContent, QStringLiteral("Label2"), QStringLiteral("Choose Code"), QRect(20, 95, 119, 20));

  TextArea1 = new QPlainTextEdit(mContent);
  TextArea1->setObjectName(QStringLiteral("TextArea1"));
  TextArea1->setGeometry(20, 226, 650, 186);
  TextArea1->setReadOnly(true);
  TextArea1->setLineWrapMode(QPlainTextEdit::NoWrap);
  TextArea1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  TextArea1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  TextArea1->setTabChangesFocus(true);
  QPalette listing = TextArea1->palette();
  listing.setColor(QPalette::Base, ListingBackgroundColor);
  listing.setColor(QPalette::Text, Qt::black);
  TextArea1->setPalette(listing);

  Label3 = makeLabel(mContent, QStringLiteral("Label3"), QStringLiteral("Pocket Computer Bitmap Code"),
                     QRect(239, 203, 213, 20));

  // Of the controls in tab order only these three take the focus.
  setTabOrder(PopupMenu1, PopupMenu2);
  setTabOrder(PopupMenu2, TextArea1);
}

void Window1::AddMenuHandlers(const MenuActions& menuActions) {
  // A handler that returns false leaves the command to the item's own action:
  // for Exit, Qt's quit, which the menu bar connects.
  connect(menuActions.FilePrint, &QAction::triggered, this, &Window1::_FilePrint_Action);
  connect(menuActions.FileSaveAs, &QAction::triggered, this, &Window1::_FileSaveAs_Action);
  connect(menuActions.FileQuit, &QAction::triggered, this, &Window1::_FileQuit_Action);
  connect(menuActions.About, &QAction::triggered, this, &Window1::_About_Action);

  // The Edit items act on the listing, the window's only text. It is
  // read-only, so only Copy and Select All ever can.
  for (QAction* item : {menuActions.EditUndo, menuActions.EditCut, menuActions.EditPaste, menuActions.EditClear}) {
    item->setEnabled(false);
  }
  QAction* copy = menuActions.EditCopy;
  QAction* selectAll = menuActions.EditSelectAll;
  copy->setEnabled(false);
  selectAll->setEnabled(false);
  connect(copy, &QAction::triggered, TextArea1, &QPlainTextEdit::copy);
  connect(TextArea1, &QPlainTextEdit::copyAvailable, copy, &QAction::setEnabled);
  connect(selectAll, &QAction::triggered, TextArea1, &QPlainTextEdit::selectAll);
  connect(TextArea1, &QPlainTextEdit::textChanged, selectAll,
          [this, selectAll] { selectAll->setEnabled(!TextArea1->document()->isEmpty()); });
}

void Window1::showEvent(QShowEvent* event) {
  QMainWindow::showEvent(event);
  if (mOpened || event->spontaneous()) return;
  mOpened = true;
  Event_Open();
  PopupMenu1_Open(*PopupMenu1);
  PopupMenu2_Open(*PopupMenu2);
}

void Window1::dragEnterEvent(QDragEnterEvent* event) {
  // Only a drag with a BMP or JPEG file gets as far as the handler: one that
  // carries a picture alone would be refused on the drop anyway.
  if (!offersCopy(*event) || !isAcceptableDrop(event->mimeData(), mPictureType) || Event_DragEnter(*event)) {
    event->ignore();
    return;
  }
  takeAsCopy(*event);
}

void Window1::dragLeaveEvent(QDragLeaveEvent* event) {
  QMainWindow::dragLeaveEvent(event);
  Event_DragExit();
}

void Window1::dropEvent(QDropEvent* event) {
  if (!offersCopy(*event)) {
    event->ignore();
    return;
  }
  takeAsCopy(*event);
  mDragInside = false;
  ImageCanvas0->update();
  // The drag source waits until this returns (Explorer's DoDragDrop, X11's
  // XdndFinished), so reading, converting and any message box come later,
  // from the event loop, with the URLs copied out of the drag's data.
  const QMimeData* mime = event->mimeData();
  mPendingDrops.append(mime != nullptr ? mime->urls() : QList<QUrl>());
  QMetaObject::invokeMethod(this, &Window1::takePendingDrops, Qt::QueuedConnection);
}

void Window1::takePendingDrops() {
  // A message box of a drop runs an event loop of its own, which may call
  // this again for a drop that came just after; that one waits its turn here.
  if (mTakingDrops) return;
  mTakingDrops = true;
  // A failure that escapes a drop must not leave the later ones waiting.
  const auto takingEnds = qScopeGuard([this] { mTakingDrops = false; });
  while (!mPendingDrops.isEmpty()) Event_DropObject(mPendingDrops.takeFirst());
}

void Window1::mousePressEvent(QMouseEvent* event) {
  const QPoint where = mContent->mapFrom(this, event->position().toPoint());
  if (Event_MouseDown(where.x(), where.y())) {
    event->accept();
  } else {
    QMainWindow::mousePressEvent(event);
  }
}

void Window1::PopupMenu1_Open(QComboBox& popup) {
  // Filling the rows would report a change of row; nothing is held to
  // convert yet, and Mode is set here anyway.
  const QSignalBlocker quiet(popup);
  popup.addItems({QStringLiteral("GPRINT"), QStringLiteral("GC.GPRINT"), QStringLiteral("DATA"),
                  QStringLiteral("DEFB")});
  popup.setCurrentIndex(0);
  Mode = quillomat::SyntaxGprint;
}

void Window1::PopupMenu1_Change(QComboBox& popup) {
  const int row = popup.currentIndex();
  if (row == -1) return;
  Mode = row;
  if (!OutputSharp.empty()) DoShowGprint();
}

void Window1::ImageCanvas_Paint(ImageCanvas& canvas, QPainter& g, const QRegion&) {
  if (mImage.isNull()) return;
  const QSizeF canvasSize = canvas.size();
  const PreviewGeometry geometry =
      previewGeometry(mImage.width(), mImage.height(), canvasSize.width(), canvasSize.height(), Einpassen);
  Faktor = geometry.Faktor;
  paintPreview(g, mImage, geometry, canvasSize, mDragInside);
}

void Window1::PopupMenu2_Change(QComboBox& popup) {
  const int row = popup.currentIndex();
  if (row == -1) return;
  Einpassen = row;
  ImageCanvas0->repaint();
}

void Window1::PopupMenu2_Open(QComboBox& popup) {
  const QSignalBlocker quiet(popup);
  popup.addItems({QStringLiteral("Original"), QStringLiteral("Fit to screen")});
  popup.setCurrentIndex(0);
  Einpassen = ViewOriginal;
}

void Window1::Event_Open() {
  setAcceptDrops(true);
  // The listing is read-only and would refuse a dropped file itself; a file
  // dropped on it goes to the window like anywhere else.
  TextArea1->setAcceptDrops(false);
  TextArea1->viewport()->setAcceptDrops(false);

  // Centred by the window's own size, the content area without the menu bar,
  // and placed as Qt's geometry holds it: the area below any title bar.
  const QList<QScreen*> screens = QGuiApplication::screens();
  if (screens.isEmpty()) return;
  const QRect screen = screens.first()->geometry();
  const QPoint place = screen.topLeft() + centredWindowPosition(screen.size(), QSize(ContentWidth, ContentHeight));
  setGeometry(QRect(place, size()));
}

void Window1::Event_DragExit() {
  mDragInside = false;
  ImageCanvas0->update();
}

void Window1::Event_DropObject(const QList<QUrl>& urls) {
  // mDragInside was cleared when the drop came, so the highlight went at once
  // and a drag that has entered since keeps its own.
  // Read first and change nothing until the file (or a huge file's headers)
  // is in: a drop that fails leaves the picture, the title, the bytes and the
  // listing as they were.
  DropReadResult read = readDrop(urls);
  if (const auto* failure = std::get_if<DropFailure>(&read)) {
    mDialogs->showMessage(this, failure->message);
    return;
  }

  DroppedFile& dropped = std::get<DroppedFile>(read);
  mImage = std::move(dropped.image);
  ImageCanvas0->update();
  // "[*]" in a title stands for the modified mark; a file name shows as it is.
  setWindowTitle(QString(dropped.fileName).replace(QStringLiteral("[*]"), QStringLiteral("[*][*]")));
  // Only the name is kept: readDrop has read the file and closed it.
  Stream.setFileName(urls.constFirst().toLocalFile());
  OutputSharp = std::move(dropped.bytes);
  TextArea1->clear();
  DoShowGprint();
}

bool Window1::Event_DragEnter(QDragEnterEvent&) {
  mDragInside = true;
  ImageCanvas0->update();
  return false;
}

bool Window1::Event_MouseDown(int, int) { return true; }

bool Window1::_FilePrint_Action() {
  DoPrinting();
  return true;
}

bool Window1::_FileSaveAs_Action() {
  DoSaveAS();
  return true;
}

bool Window1::_FileQuit_Action() { return false; }

bool Window1::_About_Action() {
  std::string text;
  for (std::size_t i = 0; i < AboutText.size(); ++i) {
    if (i > 0) text += quillomat::EndOfLine;
    text += AboutText[i];
  }
  mDialogs->showMessage(this, QString::fromStdString(text));
  return true;
}

void Window1::DoShowGprint() {
  DecodedPicture = mImage.isNull()
                       ? std::nullopt
                       : std::optional(quillomat::PictureSize{mImage.width(), mImage.height()});
  quillomat::DoShowGprint(*this, *this);
}

void Window1::DoPrinting() { printListing(this, *mDialogs, *this, listingShown()); }

void Window1::DoSaveAS() { saveListing(this, *mDialogs, *this, listingShown(), mSaveFilter); }

bool Window1::listingShown() const { return !TextArea1->document()->isEmpty(); }

void Window1::showMessage(const std::string& text) { mDialogs->showMessage(this, QString::fromStdString(text)); }

void Window1::clearListing() { TextArea1->clear(); }

void Window1::showListing(std::span<const std::string> pages) {
  qsizetype length = 0;
  for (const std::string& page : pages) length += static_cast<qsizetype>(page.size());
  QString shown;
  shown.reserve(length);
  for (const std::string& page : pages) shown += QLatin1StringView(page.data(), static_cast<qsizetype>(page.size()));
  // The listing's lines end in a lone '\r'; Qt's text widgets break at '\n'.
  shown.replace(u'\r', u'\n');
  TextArea1->setPlainText(shown);
}

void Window1::setListingEnabled(bool enabled) { TextArea1->setEnabled(enabled); }
