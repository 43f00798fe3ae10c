// The main window as the user meets it: its frame, its controls, the shared
// menu bar, the menu actions and the Edit menu on the listing.

#include <memory>
#include <optional>

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QFrame>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPointer>
#include <QScrollBar>
#include <QTest>
#include <QTimer>

#include "apptestmain.h"
#include "fakedialogs.h"
#include "windowfixture.h"
#include "imagecanvas.h"
#include "mainmenubar.h"
#include "window1.h"

namespace {

const QColor WindowGrey(0x6C, 0x6C, 0x6C);
const QColor ListingGrey(0xD0, 0xCE, 0xD0);

// The enabled Edit items, in menu order, e.g. "Copy SelectAll".
QString enabledEditItems() {
  QStringList enabled;
  for (const char* name : {"EditUndo", "EditCut", "EditCopy", "EditPaste", "EditClear", "EditSelectAll"}) {
    if (MainMenuBar::instance()->item(name)->isEnabled()) enabled.append(QString(name).mid(4));
  }
  return enabled.join(' ');
}

void choose(const char* itemName) { MainMenuBar::instance()->item(itemName)->trigger(); }

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
  void menuBarIsShared();
  void saveAndPrintDoNothingWithoutListing_data();
  void saveAndPrintDoNothingWithoutListing();
  void exitQuits();
  void aboutText();
  void editMenuOnListing();
  void editMenuFollowsFocus();

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
}

void WindowTests::colours() {
  QFETCH(QPoint, where);
  QTEST(grabContent().pixelColor(where), "colour");
}

void WindowTests::controls_data() {
  QTest::addColumn<QString>("className");
  QTest::addColumn<QString>("parentName");
  QTest::addColumn<QRect>("place");  // in window (content) coordinates
  QTest::addColumn<QString>("text");
  QTest::addColumn<int>("pixelSize");  // 0: the platform's default font
  // Lines are drawn as QFrames whose rectangle includes both end points.
  QTest::newRow("PopupMenu1") << "QComboBox" << "Content" << QRect(20, 116, 119, 20) << "" << 0;
  QTest::newRow("LabelFile") << "QLabel" << "Content" << QRect(189, 7, 312, 33)
                             << "Drag one .BMP File into the Window" << 16;
  QTest::newRow("ImageCanvas") << "ImageCanvas" << "Content" << QRect(180, 45, 436, 146) << "" << 0;
  QTest::newRow("Line1") << "QFrame" << "ImageCanvas" << QRect(QPoint(231, 80), QPoint(543, 80)) << "" << 0;
  QTest::newRow("Line2") << "QFrame" << "ImageCanvas" << QRect(QPoint(231, 80), QPoint(231, 146)) << "" << 0;
  QTest::newRow("Line3") << "QFrame" << "Content" << QRect(QPoint(231, 146), QPoint(543, 146)) << "" << 0;
  QTest::newRow("Line4") << "QFrame" << "Content" << QRect(QPoint(543, 80), QPoint(543, 146)) << "" << 0;
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

void WindowTests::previewFrame_data() {
  QTest::addColumn<QPoint>("where");
  QTest::addColumn<bool>("black");
  QTest::newRow("top left corner") << QPoint(231, 80) << true;
  QTest::newRow("top right corner") << QPoint(543, 80) << true;
  QTest::newRow("bottom left corner") << QPoint(231, 146) << true;
  QTest::newRow("bottom right corner") << QPoint(543, 146) << true;
  QTest::newRow("top side") << QPoint(400, 80) << true;
  QTest::newRow("bottom side") << QPoint(400, 146) << true;
  QTest::newRow("left side") << QPoint(231, 113) << true;
  QTest::newRow("right side") << QPoint(543, 113) << true;
  QTest::newRow("left of the left side") << QPoint(230, 113) << false;
  QTest::newRow("right of the right side") << QPoint(544, 113) << false;
  QTest::newRow("above the top side") << QPoint(400, 79) << false;
  QTest::newRow("below the bottom side") << QPoint(400, 147) << false;
  QTest::newRow("past the top right corner") << QPoint(544, 80) << false;
  QTest::newRow("below the bottom left corner") << QPoint(231, 147) << false;
  QTest::newRow("inside, by the top left corner") << QPoint(232, 81) << false;
  QTest::newRow("inside, by the bottom right corner") << QPoint(542, 145) << false;
}

void WindowTests::previewFrame() {
  QFETCH(QPoint, where);
  QFETCH(bool, black);
  const QColor colour = grabContent().pixelColor(where);
  QVERIFY2((colour == QColor(Qt::black)) == black, qPrintable(colour.name()));
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
  Window1 again;
  QCOMPARE(again.menuWidget(), bar.data());
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
  QVERIFY(!mWindow->_FileQuit_Action());
  QTimer giveUp;
  giveUp.setSingleShot(true);
  connect(&giveUp, &QTimer::timeout, [] { QCoreApplication::exit(99); });
  giveUp.start(500);
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

void WindowTests::editMenuFollowsFocus() {
  auto* listing = control<QPlainTextEdit>("TextArea1");
  listing->setPlainText("listing");
  auto* field = new QLineEdit(content());
  field->setGeometry(600, 10, 80, 20);
  field->show();
  QApplication::clipboard()->setText("pasted");
  QVERIFY(activate());

  field->setFocus();
  QTRY_COMPARE(QApplication::focusWidget(), field);
  QCOMPARE(enabledEditItems(), QString("Paste"));
  choose("EditPaste");
  QCOMPARE(field->text(), QString("pasted"));
  QCOMPARE(enabledEditItems(), QString("Undo Paste SelectAll"));
  choose("EditSelectAll");
  QCOMPARE(enabledEditItems(), QString("Undo Cut Copy Paste Clear SelectAll"));
  choose("EditClear");
  QCOMPARE(field->text(), QString());
  choose("EditUndo");
  QCOMPARE(field->text(), QString("pasted"));

  // Back on the read-only listing: nothing that would change it is enabled.
  listing->setFocus();
  QTRY_COMPARE(QApplication::focusWidget(), listing);
  QCOMPARE(enabledEditItems(), QString("SelectAll"));

  // A control that edits no text: nothing in the Edit menu can act.
  control<QComboBox>("PopupMenu1")->setFocus();
  QTRY_COMPARE(QApplication::focusWidget(), control<QWidget>("PopupMenu1"));
  QCOMPARE(enabledEditItems(), QString());
}

QUILLOMAT_APP_TEST_MAIN(WindowTests)
#include "window_tests.moc"
