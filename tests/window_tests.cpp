// The main window as the user meets it: its frame, its controls, the shared
// menu bar, the menu actions and the Edit menu on the listing.

#include <memory>
#include <optional>

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QLine>
#include <QMessageBox>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPointer>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QUrl>
#include <QWindow>

#include "apptestmain.h"
#include "bmpfixture.h"
#include "fakedialogs.h"
#include "windowfixture.h"
#include "imagecanvas.h"
#include "mainmenubar.h"
#include "window1.h"

namespace {

const QColor WindowGrey(0x6C, 0x6C, 0x6C);
const QColor ListingGrey(0xD0, 0xCE, 0xD0);

// The menu bar's item of that name, as the user finds it.
QAction* menuItem(const char* name) { return MainMenuBar::instance()->findChild<QAction*>(name); }

// The enabled Edit items, in menu order, e.g. "Copy SelectAll".
QString enabledEditItems() {
  QStringList enabled;
  for (const char* name : {"EditUndo", "EditCut", "EditCopy", "EditPaste", "EditClear", "EditSelectAll"}) {
    if (menuItem(name)->isEnabled()) enabled.append(QString(name).mid(4));
  }
  return enabled.join(' ');
}

void choose(const char* itemName) { menuItem(itemName)->trigger(); }

// The colour of a grab at logical pixel p: the device pixel at its centre, so
// that the same rows hold at any display scale.
QColor colourAt(const QImage& grab, QPoint p) {
  const qreal ratio = grab.devicePixelRatio();
  return grab.pixelColor(static_cast<int>((p.x() + 0.5) * ratio), static_cast<int>((p.y() + 0.5) * ratio));
}

// Every logical pixel of the row is of that colour, or none is.
void expectColour(const QImage& grab, const QLine& pixels, const QColor& colour, bool is) {
  const QPoint step((pixels.dx() > 0) - (pixels.dx() < 0), (pixels.dy() > 0) - (pixels.dy() < 0));
  for (QPoint p = pixels.p1();; p += step) {
    const QColor seen = colourAt(grab, p);
    QVERIFY2((seen == colour) == is, qPrintable(QString("%1 at %2, %3").arg(seen.name()).arg(p.x()).arg(p.y())));
    if (p == pixels.p2()) break;
  }
}

void expectBlack(const QImage& grab, const QLine& pixels, bool black) {
  expectColour(grab, pixels, QColor(Qt::black), black);
}

}  // namespace

class WindowTests final : public QObject {
  Q_OBJECT

 private slots:
  void init();
  void cleanup();

  void windowFrame();
  void cannotBeResized();
  void colours_data();
  void colours();
  void controls_data();
  void controls();
  void tabOrder();
  void listingIsReadOnly();
  void previewFrame_data();
  void previewFrame();
  void canvasFrame_data();
  void canvasFrame();
  void menuBarIsShared();
  void saveAndPrintDoNothingWithoutListing_data();
  void saveAndPrintDoNothingWithoutListing();
  void exitQuits();
  void aboutText();
  void messageBoxCarriesTheProgramsName();
  void editMenuOnListing();
  void editMenuFollowsTheListing();

 private:
  QWidget* content() const { return mWindow->centralWidget(); }
  template <typename T>
  T* control(const QString& name) const {
    return mWindow->findChild<T*>(name);
  }
  QImage grabContent() const { return content()->grab().toImage(); }
  bool activate();

  std::optional<Window1> mWindow;
  FakeDialogs* mDialogs = nullptr;
};

void WindowTests::init() {
  mDialogs = showWindowWithFakeDialogs(mWindow);
  QVERIFY(QTest::qWaitForWindowExposed(&*mWindow));
}

void WindowTests::cleanup() { mWindow.reset(); }

bool WindowTests::activate() {
  mWindow->activateWindow();
  return QTest::qWaitForWindowActive(&*mWindow);
}

void WindowTests::windowFrame() {
  const QWidget* bar = mWindow->menuWidget();
  QVERIFY(bar != nullptr);
  QVERIFY(bar->isVisible());
  // The content area sits right below the menu bar and fills the window.
  QCOMPARE(content()->size(), QSize(690, 432));
  QCOMPARE(content()->geometry().topLeft(), QPoint(0, bar->height()));
  QCOMPARE(mWindow->size(), QSize(690, 432 + bar->height()));

  const Qt::WindowFlags flags = mWindow->windowFlags();
  QVERIFY(flags.testFlag(Qt::WindowMinimizeButtonHint));
  QVERIFY(flags.testFlag(Qt::WindowCloseButtonHint));
  QVERIFY(!flags.testFlag(Qt::WindowMaximizeButtonHint));
  QVERIFY(!flags.testFlag(Qt::WindowFullscreenButtonHint));
  QCOMPARE(mWindow->windowTitle(), QString("Quillomat"));
}

void WindowTests::cannotBeResized() {
  const QSize size = mWindow->size();
  QCOMPARE(mWindow->minimumSize(), size);
  QCOMPARE(mWindow->maximumSize(), size);
  mWindow->resize(900, 700);
  QCoreApplication::processEvents();
  QCOMPARE(mWindow->size(), size);
}

void WindowTests::colours_data() {
  QTest::addColumn<QPoint>("where");
  QTest::addColumn<QColor>("colour");
  QTest::newRow("top left corner") << QPoint(2, 2) << WindowGrey;
  QTest::newRow("bottom right corner") << QPoint(687, 429) << WindowGrey;
  QTest::newRow("between the pop-ups and the canvas") << QPoint(160, 100) << WindowGrey;
  QTest::newRow("below the text area") << QPoint(345, 420) << WindowGrey;
  QTest::newRow("inside the text area") << QPoint(300, 300) << ListingGrey;
  // No backdrop lies beside this test program: the canvas is transparent.
  QTest::newRow("canvas without a backdrop") << QPoint(180 + 100, 45 + 20) << WindowGrey;
}

void WindowTests::colours() {
  QFETCH(QPoint, where);
  QTEST(colourAt(grabContent(), where), "colour");
}

void WindowTests::controls_data() {
  QTest::addColumn<QString>("className");
  QTest::addColumn<QString>("parentName");
  QTest::addColumn<QRect>("place");  // in window (content) coordinates
  QTest::addColumn<QString>("text");
  QTest::addColumn<int>("pixelSize");  // 0: the platform's default font
  // A line's rectangle includes both end points.
  QTest::newRow("PopupMenu1") << "QComboBox" << "Content" << QRect(20, 116, 119, 20) << "" << 0;
  QTest::newRow("LabelFile") << "QLabel" << "Content" << QRect(189, 7, 312, 33)
                             << "Drag one .BMP File into the Window" << 16;
  QTest::newRow("ImageCanvas") << "ImageCanvas" << "Content" << QRect(180, 45, 436, 146) << "" << 0;
  QTest::newRow("Line1") << "QWidget" << "ImageCanvas" << QRect(QPoint(231, 80), QPoint(543, 80)) << "" << 0;
  QTest::newRow("Line2") << "QWidget" << "ImageCanvas" << QRect(QPoint(231, 80), QPoint(231, 146)) << "" << 0;
  QTest::newRow("Line3") << "QWidget" << "Content" << QRect(QPoint(231, 146), QPoint(543, 146)) << "" << 0;
  QTest::newRow("Line4") << "QWidget" << "Content" << QRect(QPoint(543, 80), QPoint(543, 146)) << "" << 0;
  QTest::newRow("PopupMenu2") << "QComboBox" << "Content" << QRect(20, 62, 119, 20) << "" << 0;
  QTest::newRow("Label1") << "QLabel" << "Content" << QRect(20, 41, 119, 20) << "Show Picture" << 0;
  QTest::newRow("Label2") << "QLabel" << "Content" << QRect(20, 95, 119, 20) << "Choose Code" << 0;
  QTest::newRow("TextArea1") << "QPlainTextEdit" << "Content" << QRect(20, 226, 650, 186) << "" << 0;
  QTest::newRow("Label3") << "QLabel" << "Content" << QRect(239, 203, 213, 20) << "Pocket Computer Bitmap Code"
                          << 0;
}

void WindowTests::controls() {
  const QString name = QTest::currentDataTag();
  QFETCH(QString, text);
  QFETCH(int, pixelSize);

  const QList<QWidget*> named = mWindow->findChildren<QWidget*>(name);
  QCOMPARE(named.size(), 1);
  QWidget* widget = named.first();
  QTEST(QString(widget->metaObject()->className()), "className");
  QTEST(widget->parentWidget()->objectName(), "parentName");
  QTEST(QRect(widget->mapTo(content(), QPoint(0, 0)), widget->size()), "place");
  QVERIFY(widget->isVisible());
  QVERIFY(widget->isEnabled());

  if (auto* label = qobject_cast<QLabel*>(widget)) {
    QCOMPARE(label->text(), text);
    QCOMPARE(label->alignment(), Qt::AlignCenter);
    // The whole text fits into the label: nothing is cut off.
    QVERIFY(label->fontMetrics().horizontalAdvance(text) <= label->width());
  }
  if (pixelSize != 0) {
    QCOMPARE(widget->font().pixelSize(), pixelSize);
  } else {
    QCOMPARE(widget->font(), QApplication::font(widget));
  }
}

void WindowTests::tabOrder() {
  // The focus-taking controls in the order of their tab indexes; labels and
  // the canvas take no focus.
  auto* popup1 = control<QComboBox>("PopupMenu1");
  auto* popup2 = control<QComboBox>("PopupMenu2");
  auto* listing = control<QPlainTextEdit>("TextArea1");
  QVERIFY(activate());
  popup1->setFocus(Qt::TabFocusReason);
  QTRY_COMPARE(QApplication::focusWidget(), popup1);

  const QList<QWidget*> expected = {popup2, listing, popup1};
  for (QWidget* next : expected) {
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), next);
  }
  for (const char* name : {"LabelFile", "Label1", "Label2", "Label3", "ImageCanvas"}) {
    QCOMPARE(control<QWidget>(name)->focusPolicy(), Qt::NoFocus);
  }
}

void WindowTests::listingIsReadOnly() {
  auto* listing = control<QPlainTextEdit>("TextArea1");
  QVERIFY(activate());
  listing->setFocus();
  QTRY_COMPARE(QApplication::focusWidget(), listing);
  QTest::keyClicks(listing, "typed");
  QTest::keyClick(listing, Qt::Key_Return);
  QCOMPARE(listing->toPlainText(), QString());
  // Long lines are not wrapped, and both scroll bars are there from the start.
  QCOMPARE(listing->lineWrapMode(), QPlainTextEdit::NoWrap);
  QVERIFY(listing->horizontalScrollBar()->isVisible());
  QVERIFY(listing->verticalScrollBar()->isVisible());
}

// Rows of logical pixels, in content coordinates, that are black or not.
void WindowTests::previewFrame_data() {
  QTest::addColumn<QLine>("pixels");
  QTest::addColumn<bool>("black");
  QTest::newRow("top side") << QLine(231, 80, 543, 80) << true;
  QTest::newRow("bottom side") << QLine(231, 146, 543, 146) << true;
  QTest::newRow("left side") << QLine(231, 80, 231, 146) << true;
  QTest::newRow("right side") << QLine(543, 80, 543, 146) << true;
  QTest::newRow("left of the left side") << QLine(230, 80, 230, 146) << false;
  QTest::newRow("right of the right side") << QLine(544, 80, 544, 146) << false;
  QTest::newRow("above the top side") << QLine(231, 79, 543, 79) << false;
  QTest::newRow("below the bottom side") << QLine(231, 147, 543, 147) << false;
  QTest::newRow("inside, along the top") << QLine(232, 81, 542, 81) << false;
  QTest::newRow("inside, along the bottom") << QLine(232, 145, 542, 145) << false;
  QTest::newRow("inside, along the left") << QLine(232, 81, 232, 145) << false;
  QTest::newRow("inside, along the right") << QLine(542, 81, 542, 145) << false;
}

void WindowTests::previewFrame() {
  QFETCH(QLine, pixels);
  QFETCH(bool, black);
  expectBlack(grabContent(), pixels, black);
}

// The canvas's own 2-pixel frame, drawn once a picture is shown: black, and
// white while a drag hovers over the window.
void WindowTests::canvasFrame_data() {
  QTest::addColumn<bool>("dragInside");
  QTest::newRow("black") << false;
  QTest::newRow("white while a drag hovers") << true;
}

void WindowTests::canvasFrame() {
  QFETCH(bool, dragInside);
  QTemporaryDir folder;
  const QString path = folder.filePath("dot.bmp");
  QFile file(path);
  QVERIFY(file.open(QIODevice::WriteOnly));
  const std::string bytes = makeMonochromeBmp({"X.", ".X"});
  file.write(bytes.data(), static_cast<qint64>(bytes.size()));
  file.close();
  QMimeData mime;
  mime.setUrls({QUrl::fromLocalFile(path)});
  QVERIFY(sendDragEnter(*mWindow, mime));
  QVERIFY(sendDrop(*mWindow, mime));
  QTRY_COMPARE(mWindow->windowTitle(), QString("dot.bmp"));
  if (dragInside) QVERIFY(sendDragEnter(*mWindow, mime));

  auto* canvas = control<ImageCanvas>("ImageCanvas");
  const QImage shown = canvas->grab().toImage();
  const int right = canvas->width() - 1;
  const int bottom = canvas->height() - 1;
  const QColor frame = dragInside ? QColor(Qt::white) : QColor(Qt::black);
  for (const QLine& band : {QLine(0, 0, right, 0), QLine(0, 1, right, 1), QLine(0, bottom - 1, right, bottom - 1),
                            QLine(0, bottom, right, bottom), QLine(0, 0, 0, bottom), QLine(1, 0, 1, bottom),
                            QLine(right - 1, 0, right - 1, bottom), QLine(right, 0, right, bottom)}) {
    expectColour(shown, band, frame, true);
  }
  for (const QLine& inside : {QLine(2, 2, right - 2, 2), QLine(2, bottom - 2, right - 2, bottom - 2),
                              QLine(2, 2, 2, bottom - 2), QLine(right - 2, 2, right - 2, bottom - 2)}) {
    expectColour(shown, inside, frame, false);
  }
  QVERIFY(mDialogs->calls.isEmpty());
}

void WindowTests::menuBarIsShared() {
  QPointer<MainMenuBar> bar = MainMenuBar::instance();
  QCOMPARE(mWindow->menuWidget(), bar.data());
  QCOMPARE(static_cast<App*>(qApp)->menuBar(), bar.data());
  QCOMPARE(bar->findChildren<QMenu*>().size(), 3);

  // A window that goes hands the bar back: it is neither deleted nor built again.
  mWindow.reset();
  QVERIFY(bar != nullptr);
  QVERIFY(bar->parent() == nullptr);
  std::optional<Window1> again;
  makeWindow(again);
  QCOMPARE(again->menuWidget(), bar.data());
  QCOMPARE(MainMenuBar::instance(), bar.data());
  QCOMPARE(bar->findChildren<QMenu*>().size(), 3);
}

void WindowTests::saveAndPrintDoNothingWithoutListing_data() {
  QTest::addColumn<QString>("item");
  QTest::newRow("Save As") << "FileSaveAs";
  QTest::newRow("Print") << "FilePrint";
}

void WindowTests::saveAndPrintDoNothingWithoutListing() {
  QFETCH(QString, item);
  const bool handled = item == "FileSaveAs" ? mWindow->_FileSaveAs_Action() : mWindow->_FilePrint_Action();
  QVERIFY(handled);
  choose(qPrintable(item));
  QVERIFY2(mDialogs->calls.isEmpty(), qPrintable(mDialogs->calls.join(", ")));
}

void WindowTests::exitQuits() {
  // The handler declines; the item's own action, Qt's quit, ends the loop.
  QVERIFY(!mWindow->_FileQuit_Action());
  QTimer giveUp;
  giveUp.setSingleShot(true);
  connect(&giveUp, &QTimer::timeout, [] { QCoreApplication::exit(99); });
  giveUp.start(10000);
  QTimer::singleShot(0, qApp, [] { choose("FileQuit"); });
  QCOMPARE(QCoreApplication::exec(), 0);
}

void WindowTests::aboutText() {
  const QString expected =
      "Converts a .bmp data format image\n"
      "into a Sharp pocket computer image format.\n"
      "Simply drag and drop a file into the program window.\n"
      "\n"
      "Runs on Mac OS 10.7 or higher and Win7 or higher.";
  choose("About");
  QCOMPARE(mDialogs->messages, QStringList{expected});
  QVERIFY(mWindow->_About_Action());
  QCOMPARE(mDialogs->messages.size(), 2);
}

void WindowTests::messageBoxCarriesTheProgramsName() {
  mWindow->setDialogs(std::make_unique<QtDialogs>());
  QString title;
  QString shownTitle;
  QTimer answer;
  answer.setInterval(10);
  connect(&answer, &QTimer::timeout, [&] {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    if (box == nullptr) return;
    title = box->windowTitle();
    shownTitle = box->windowHandle()->title();
    box->accept();
  });
  answer.start();
  choose("About");
  answer.stop();
  QCOMPARE(title, QString("Quillomat"));
  QCOMPARE(shownTitle, QString("Quillomat"));
}

void WindowTests::editMenuOnListing() {
  auto* listing = control<QPlainTextEdit>("TextArea1");
  const QString text = "10 GPRINT \"0102\"\n\n";
  listing->setPlainText(text);
  QApplication::clipboard()->setText("on the clipboard");
  QVERIFY(activate());
  listing->setFocus();
  QTRY_COMPARE(QApplication::focusWidget(), listing);

  // Read-only: nothing selected yet, so only Select All can act.
  QCOMPARE(enabledEditItems(), QString("SelectAll"));
  choose("EditSelectAll");
  QCOMPARE(listing->textCursor().selectedText(), QString("10 GPRINT \"0102\"") + QChar::ParagraphSeparator +
                                                     QChar::ParagraphSeparator);
  QCOMPARE(enabledEditItems(), QString("Copy SelectAll"));
  choose("EditCopy");
  QCOMPARE(QApplication::clipboard()->text(), text);

  // The disabled items do not act even when triggered.
  choose("EditPaste");
  choose("EditClear");
  choose("EditCut");
  QCOMPARE(listing->toPlainText(), text);

  // Keyboard shortcuts reach the listing too.
  QApplication::clipboard()->setText("other");
  listing->moveCursor(QTextCursor::Start);
  QCOMPARE(enabledEditItems(), QString("SelectAll"));
  QTest::keyClick(listing, Qt::Key_A, Qt::ControlModifier);
  QTest::keyClick(listing, Qt::Key_C, Qt::ControlModifier);
  QCOMPARE(QApplication::clipboard()->text(), text);
}

// The Edit items follow the listing wherever the focus is; the items that
// would change it never act.
void WindowTests::editMenuFollowsTheListing() {
  auto* listing = control<QPlainTextEdit>("TextArea1");
  QCOMPARE(enabledEditItems(), QString());
  listing->setPlainText("listing");
  QCOMPARE(enabledEditItems(), QString("SelectAll"));
  control<QComboBox>("PopupMenu1")->setFocus();
  choose("EditSelectAll");
  QCOMPARE(listing->textCursor().selectedText(), QString("listing"));
  QCOMPARE(enabledEditItems(), QString("Copy SelectAll"));
  listing->clear();
  QCOMPARE(enabledEditItems(), QString());
}

QUILLOMAT_APP_TEST_MAIN(WindowTests)
#include "window_tests.moc"
