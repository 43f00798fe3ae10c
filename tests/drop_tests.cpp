// The main road through the window's own event path: a file dragged onto the
// window and dropped, its conversion in each statement form, the preview, and
// Save As and Print of the listing it gives.

#include <algorithm>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QDir>
#include <QDragLeaveEvent>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QLineEdit>
#include <QMessageBox>
#include <QMimeData>
#include <QPageLayout>
#include <QPageSetupDialog>
#include <QPageSize>
#include <QPrintDialog>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QUrl>
#include <QWindow>

#include "apptestmain.h"
#include "bmpfixture.h"
#include "conversion.h"
#include "fakedialogs.h"
#include "windowfixture.h"
#include "pdftext.h"
#include "printdialogwidgets.h"
#include "imagecanvas.h"
#include "window1.h"
#include "writetrouble.h"

namespace {

using Bytes = std::string;

const QString BitCountMessage = QStringLiteral("Incorrect image format !\nUse color depth 1 Bit Monochrome");
const QString TooLargeMessage = QStringLiteral("Image too large !");
const QString DamagedMessage = QStringLiteral("Damaged image file !\nPart of the file is missing or wrong");
// Of a larger dropped file only its headers and stored rows are held, and
// only where they fit under this cap; else its first 62 bytes.
constexpr qint64 SizeCap = 16 * 1024 * 1024;

// 8 x 8: the left column and the diagonal, one band.
Bytes leftColumnAndDiagonal(const BmpOptions& options = {}) {
  return makeMonochromeBmp(pixelGrid(8, 8, [](std::size_t x, std::size_t y) { return x == 0 || x == y; }), options);
}

// The listing of leftColumnAndDiagonal() in each statement form: its one line,
// its empty line, and the trailing empty statement with its empty line.
const QStringList LeftColumnAndDiagonalListings = {
    "GPRINT \"FF02040810204080\"\r\r\r\r",
    "1 GCURSOR: GPRINT \"FF02040810204080\"\r\r\r\r",
    "DATA &FF,&02,&04,&08,&10,&20,&40,&80\r\r\r\r",
    "DEFB &FF,&02,&04,&08,&10,&20,&40,&80\r\r\r\r",
};

// A picture with no symmetry, so a flipped or shifted preview shows.
bool unevenPixel(std::size_t x, std::size_t y) { return (x + 3 * y) % 5 == 0 || (x == 11 && y < 3); }

Bytes largestPicture() {
  return makeMonochromeBmp(pixelGrid(624, 128, [](std::size_t x, std::size_t y) { return (7 * x + 3 * y) % 11 < 4; }));
}

// A BMP whose pixel rows stop half-way: Qt would decode it from stray memory.
Bytes truncatedBmp() {
  Bytes file = makeMonochromeBmp(pixelGrid(8, 8, [](std::size_t x, std::size_t) { return x == 3; }));
  file.resize(file.size() - 4 * 4);
  return file;
}

// The headers of a 1-bit picture of width x height, over one stored pixel.
Bytes monochromeHeaders(std::int32_t width, std::int32_t height) {
  return makeMonochromeBmp({"X"}, {.headerWidth = width, .headerHeight = height}).substr(0, 62);
}

// A file in the tests' data folder.
QByteArray dataFile(const QString& name) { return fileBytes(QFINDTESTDATA(QStringLiteral("data/") + name)); }

Bytes twentyFourBitBmp(const QString& folder) {
  QImage colour(8, 8, QImage::Format_RGB32);
  colour.fill(Qt::red);
  const QString path = folder + QStringLiteral("/colour.bmp");
  if (!colour.save(path, "BMP")) return {};
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return {};
  const QByteArray bytes = file.readAll();
  return Bytes(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

QStringList nonEmptyListingLines(const std::string& page) {
  QStringList kept;
  for (const QString& line : QString::fromLatin1(page.data(), static_cast<qsizetype>(page.size())).split(u'\r'))
    if (!line.isEmpty()) kept.append(line);
  return kept;
}

// Counts the paints a widget gets.
class PaintCounter final : public QObject {
 public:
  int paints = 0;

 protected:
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() == QEvent::Paint) ++paints;
    return false;
  }
};

// Answers every real message box that comes up while timer runs: look sees
// it first, then its OK button is clicked, as a user would.
void answerMessageBoxes(QTimer& timer, const std::function<void(QMessageBox&)>& look) {
  timer.setInterval(10);
  QObject::connect(&timer, &QTimer::timeout, &timer, [look] {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    if (box == nullptr) return;
    look(*box);
    if (QAbstractButton* ok = box->button(QMessageBox::Ok)) {
      ok->click();
    } else {
      box->reject();
    }
  });
  timer.start();
}

}  // namespace

class DropTests final : public QObject {
  Q_OBJECT

 private slots:
  void init();
  void cleanup();

  void opensCentredAndReadyForDrops();
  void dropConvertsInTheChosenForm_data();
  void dropConvertsInTheChosenForm();
  void changeOfFormConvertsTheHeldBytesAgain();
  void dragPictureGivesWayToTheFilesOwn();
  void dropReturnsBeforeTheDropIsTaken();
  void dropsBackToBackAreTakenInOrder_data();
  void dropsBackToBackAreTakenInOrder();
  void messageShowsTheFileNameAsItIs();
  void failedCheck_data();
  void failedCheck();
  void failedDropChangesNothing_data();
  void failedDropChangesNothing();
  void dragHighlight_data();
  void dragHighlight();
  void previewShowsThePictureInBothViews();
  void saveAsWritesTheListing();
  void otherLayoutsConvertLikeTheir40ByteTwin_data();
  void otherLayoutsConvertLikeTheir40ByteTwin();
  void printGivesOneSheetPerPage();
  void printThroughQtsDialogsKeepsEveryLine_data();
  void printThroughQtsDialogsKeepsEveryLine();
  void printHonoursTheDialogsChoices_data();
  void printHonoursTheDialogsChoices();
  void paperMessageNamesWhatPrints_data();
  void paperMessageNamesWhatPrints();
  void writeTroubleGivesAMessage_data();
  void writeTroubleGivesAMessage();

 private:
  QComboBox* statementForms() const { return mWindow->findChild<QComboBox*>("PopupMenu1"); }
  QComboBox* views() const { return mWindow->findChild<QComboBox*>("PopupMenu2"); }
  ImageCanvas* canvas() const { return mWindow->findChild<ImageCanvas*>("ImageCanvas"); }
  // TextArea1's text with its line ends turned back into the listing's.
  QString shownListing() const {
    return mWindow->findChild<QPlainTextEdit*>("TextArea1")->toPlainText().replace(u'\n', u'\r');
  }
  QString engineListing() const { return QString::fromLatin1(quillomat::ListingText(*mWindow)); }
  QString shownTitle() const { return mWindow->windowHandle()->title(); }
  QImage grabCanvas() const { return canvas()->grab().toImage(); }

  QString writeFile(const QString& name, const Bytes& bytes) const;
  // A drag of mime that enters the window; true when the window takes it.
  bool enter(const QMimeData& mime, Qt::DropActions actions = Qt::CopyAction | Qt::MoveAction);
  void leave();
  // Sends the drop; true when the window takes it as a copy. The window takes
  // the drop only once the event loop runs again.
  bool sendDrop(const QMimeData& mime);
  // Drops mime and lets the window take the drop.
  void drop(const QMimeData& mime);
  // Drags the file at path onto the window and drops it there.
  void dropFile(const QString& path);
  // The listing as Save As writes it to a file of that name.
  QByteArray savedListing(const QString& name);
  // Drops a picture of that size with a pattern in every band, to be
  // converted in that statement form.
  void dropPatternPicture(QSize picture, int form);

  // Makes choices in one of Qt's dialogs; returns what went wrong, or an
  // empty text.
  using DialogChoices = std::function<QString(QDialog&)>;
  // Prints through Qt's own dialogs, as a user would: accepts the page setup;
  // in the print dialog chooses the PDF printer, makes the choices of
  // chooseProperties in the printer's properties (when given) and of choose,
  // sets the file pdf and prints. Returns what was seen, " | " between:
  // "pageSetup", a message box's text, what a choice reports, "printer".
  QString printThroughQtsDialogs(const QString& pdf, const DialogChoices& choose,
                                 const DialogChoices& chooseProperties = {});
  // Paper, orientation and margins as the printer's properties offer them.
  struct PaperChoice {
    QPageSize paper;
    bool landscape = false;
    bool zeroMargins = false;  // else the dialog's own
  };
  // Prints the listing through Qt's dialogs on that paper, to a PDF file of
  // that name. Returns the message that printing gave, or an empty text when
  // every page was printed as chosen.
  QString printOnPaper(const PaperChoice& choice, const QString& name);

  std::optional<Window1> mWindow;
  std::optional<QTemporaryDir> mFolder;
  FakeDialogs* mDialogs = nullptr;
};

void DropTests::init() {
  mFolder.emplace();
  QVERIFY(mFolder->isValid());
  mDialogs = showWindowWithFakeDialogs(mWindow);
  QVERIFY(QTest::qWaitForWindowExposed(&*mWindow));
}

void DropTests::cleanup() {
  mWindow.reset();
  mFolder.reset();
}

QString DropTests::writeFile(const QString& name, const Bytes& bytes) const {
  const QString path = mFolder->filePath(name);
  QFile file(path);
  if (!file.open(QIODevice::WriteOnly)) return {};
  file.write(bytes.data(), static_cast<qint64>(bytes.size()));
  return path;
}

bool DropTests::enter(const QMimeData& mime, Qt::DropActions actions) {
  return sendDragEnter(*mWindow, mime, actions);
}

void DropTests::leave() {
  QDragLeaveEvent event;
  QCoreApplication::sendEvent(&*mWindow, &event);
}

bool DropTests::sendDrop(const QMimeData& mime) { return ::sendDrop(*mWindow, mime); }

void DropTests::drop(const QMimeData& mime) {
  QVERIFY(sendDrop(mime));
  QCoreApplication::processEvents();
}

void DropTests::dropFile(const QString& path) {
  QMimeData mime;
  mime.setUrls({QUrl::fromLocalFile(path)});
  QVERIFY(enter(mime));
  drop(mime);
}

QByteArray DropTests::savedListing(const QString& name) {
  const QString path = mFolder->filePath(name);
  mDialogs->saveAnswer = path;
  if (!mWindow->_FileSaveAs_Action()) return {};
  QFile saved(path);
  return saved.open(QIODevice::ReadOnly) ? saved.readAll() : QByteArray();
}

void DropTests::opensCentredAndReadyForDrops() {
  const QRect screen = QGuiApplication::screens().first()->geometry();
  QCOMPARE(mWindow->size(), QSize(690, 432 + mWindow->menuWidget()->height()));
  // Centred by its own 690 x 432, not by its size with the menu bar: half the
  // difference, truncated toward zero, is where Qt's geometry starts.
  QCOMPARE(mWindow->geometry().topLeft(),
           screen.topLeft() + QPoint(static_cast<int>(screen.width() / 2.0 - 345),
                                     static_cast<int>(screen.height() / 2.0 - 216)));

  // A drop anywhere goes to the window, over the listing too: Qt hands a drag
  // to the first widget under it, or above that, which accepts drops.
  for (const QPoint where : {QPoint(345, 350), QPoint(400, 120), QPoint(70, 130), QPoint(5, 5)}) {
    QWidget* target = mWindow->childAt(where);
    while (target != nullptr && !target->acceptDrops()) target = target->parentWidget();
    QCOMPARE(target == nullptr ? QStringLiteral("none") : target->objectName(), QStringLiteral("Window1"));
  }

  const QStringList forms = {"GPRINT", "GC.GPRINT", "DATA", "DEFB"};
  const QStringList viewModes = {"Original", "Fit to screen"};
  // Opening happens once: showing the window again adds no rows.
  mWindow->hide();
  mWindow->show();
  QVERIFY(QTest::qWaitForWindowExposed(&*mWindow));
  for (const auto& [popup, rows] : {std::pair(statementForms(), forms), std::pair(views(), viewModes)}) {
    QStringList texts;
    for (int i = 0; i < popup->count(); ++i) texts.append(popup->itemText(i));
    QCOMPARE(texts, rows);
    QCOMPARE(popup->currentIndex(), 0);
  }
  QCOMPARE(mWindow->Mode, 0);
  QCOMPARE(mWindow->Einpassen, 0);
  QVERIFY(mDialogs->calls.isEmpty());
}

void DropTests::dropConvertsInTheChosenForm_data() {
  QTest::addColumn<int>("form");
  QTest::addColumn<QString>("fileName");
  // Stored top row first: the same listing as the usual bottom-up file.
  QTest::addColumn<bool>("topDown");
  QTest::newRow("GPRINT") << 0 << "left column and diagonal.bmp" << false;
  QTest::newRow("GC.GPRINT chosen before the drop") << 1 << "diagonal.bmp" << false;
  QTest::newRow("DATA chosen before the drop") << 2 << "draft [*] 100%.bmp" << false;
  QTest::newRow("DEFB chosen before the drop") << 3 << "x.BMP" << false;
  QTest::newRow("GPRINT, top row stored first") << 0 << "top-down.bmp" << true;
  QTest::newRow("DEFB, top row stored first") << 3 << "top-down.bmp" << true;
}

void DropTests::dropConvertsInTheChosenForm() {
  QFETCH(int, form);
  QFETCH(QString, fileName);
  QFETCH(bool, topDown);
  const Bytes bytes = leftColumnAndDiagonal({.topDown = topDown});
  const QString path = writeFile(fileName, bytes);

  // Before any drop a change of form only sets Mode.
  statementForms()->setCurrentIndex(form);
  QCOMPARE(mWindow->Mode, form);
  QCOMPARE(shownListing(), QString());
  QCOMPARE(mWindow->AnzahlZeilen, 0);

  dropFile(path);
  QCOMPARE(shownTitle(), fileName);
  QCOMPARE(mWindow->OutputSharp, bytes);
  QCOMPARE(shownListing(), LeftColumnAndDiagonalListings[form]);
  QCOMPARE(engineListing(), shownListing());
  QCOMPARE(mWindow->Stream.fileName(), path);
  QVERIFY(!mWindow->Stream.isOpen());
  QVERIFY2(mDialogs->calls.isEmpty(), qPrintable(mDialogs->messages.join(" | ")));
}

void DropTests::changeOfFormConvertsTheHeldBytesAgain() {
  const QString path = writeFile("pattern.bmp", leftColumnAndDiagonal());
  dropFile(path);
  QCOMPARE(shownListing(), LeftColumnAndDiagonalListings[0]);
  // The held bytes are converted, not the file.
  QVERIFY(QFile::remove(path));
  for (int form : {3, 1, 2, 0}) {
    statementForms()->setCurrentIndex(form);
    QCOMPARE(mWindow->Mode, form);
    QCOMPARE(shownListing(), LeftColumnAndDiagonalListings[form]);
    QCOMPARE(engineListing(), shownListing());
  }
  QCOMPARE(shownTitle(), QString("pattern.bmp"));
  QVERIFY(mDialogs->calls.isEmpty());
}

void DropTests::dragPictureGivesWayToTheFilesOwn() {
  // As a file manager's drag may: the file and a picture of its own, of
  // another size than the file's picture.
  const QString path = writeFile("sample.bmp", leftColumnAndDiagonal());
  QMimeData mime;
  mime.setUrls({QUrl::fromLocalFile(path)});
  QImage dragPicture(48, 12, QImage::Format_RGB32);
  dragPicture.fill(Qt::red);
  mime.setImageData(dragPicture);
  QVERIFY(enter(mime));
  drop(mime);
  QVERIFY2(mDialogs->calls.isEmpty(), qPrintable(mDialogs->messages.join(" | ")));
  QCOMPARE(shownListing(), LeftColumnAndDiagonalListings[0]);
  const QImage withDragPicture = grabCanvas();

  // The same file dragged alone previews the same.
  dropFile(path);
  QCOMPARE(shownListing(), LeftColumnAndDiagonalListings[0]);
  QCOMPARE(withDragPicture, grabCanvas());
  QVERIFY(mDialogs->calls.isEmpty());
}

void DropTests::dropReturnsBeforeTheDropIsTaken() {
  // The drag source waits for the drop event to return: a message box shown
  // inside it would hold the source (Explorer hangs) until it is closed.
  const Bytes kept = leftColumnAndDiagonal();
  dropFile(writeFile("kept.bmp", kept));
  QMimeData mime;
  mime.setUrls({QUrl::fromLocalFile(writeFile("deep.bmp", twentyFourBitBmp(mFolder->path())))});
  QVERIFY(enter(mime));
  QCOMPARE(grabCanvas().pixelColor(0, 0), QColor(Qt::white));

  QVERIFY(sendDrop(mime));
  // Nothing read, shown or changed yet but the highlight, which goes at once.
  QVERIFY(mDialogs->calls.isEmpty());
  QCOMPARE(shownTitle(), QString("kept.bmp"));
  QCOMPARE(mWindow->OutputSharp, kept);
  QCOMPARE(shownListing(), LeftColumnAndDiagonalListings[0]);
  QCOMPARE(grabCanvas().pixelColor(0, 0), QColor(Qt::black));

  QCoreApplication::processEvents();
  QCOMPARE(mDialogs->messages, QStringList{BitCountMessage});
  QCOMPARE(shownTitle(), QString("deep.bmp"));
  QCOMPARE(shownListing(), QString());
}

void DropTests::dropsBackToBackAreTakenInOrder_data() {
  QTest::addColumn<QByteArray>("first");
  QTest::addColumn<bool>("firstGone");  // deleted before its drop is taken
  QTest::addColumn<QString>("message");  // a part of the first's message; empty: none
  // The title while the first's message box is up: the second drop waits.
  QTest::addColumn<QString>("titleWhileShown");
  const auto raw = [](const Bytes& bytes) { return QByteArray(bytes.data(), static_cast<qsizetype>(bytes.size())); };
  QTemporaryDir scratch;
  QTest::newRow("both convert") << raw(leftColumnAndDiagonal()) << false << QString() << QString();
  // The first's conversion empties the listing after its box: had the second
  // run inside the box's event loop, its listing would be lost.
  QTest::newRow("first fails a check") << raw(twentyFourBitBmp(scratch.path())) << false << BitCountMessage
                                       << "first.bmp";
  QTest::newRow("first can't be read") << raw(leftColumnAndDiagonal()) << true << "could not be read"
                                       << "Quillomat";
}

void DropTests::dropsBackToBackAreTakenInOrder() {
  QFETCH(QByteArray, first);
  QFETCH(bool, firstGone);
  QFETCH(QString, message);
  QFETCH(QString, titleWhileShown);
  // Real message boxes: their own event loop runs while they are up.
  mWindow->setDialogs(std::make_unique<QtDialogs>());
  mDialogs = nullptr;
  const Bytes second = makeMonochromeBmp(pixelGrid(12, 6, unevenPixel));
  const QString firstPath = writeFile("first.bmp", Bytes(first.constData(), static_cast<std::size_t>(first.size())));
  QMimeData one;
  one.setUrls({QUrl::fromLocalFile(firstPath)});
  QMimeData two;
  two.setUrls({QUrl::fromLocalFile(writeFile("second.bmp", second))});

  QStringList shown;
  QStringList titles;
  QTimer answerer;
  answerMessageBoxes(answerer, [&](QMessageBox& box) {
    shown.append(box.text());
    titles.append(shownTitle());
  });
  QVERIFY(enter(one));
  QVERIFY(sendDrop(one));
  QVERIFY(enter(two));
  QVERIFY(sendDrop(two));
  if (firstGone) QVERIFY(QFile::remove(firstPath));
  QCOMPARE(shownTitle(), QString("Quillomat"));
  QCoreApplication::processEvents();
  answerer.stop();

  QCOMPARE(shown.size(), message.isEmpty() ? 0 : 1);
  if (!message.isEmpty()) {
    QVERIFY2(shown.first().contains(message), qPrintable(shown.first()));
    QCOMPARE(titles, QStringList{titleWhileShown});
  }
  QCOMPARE(shownTitle(), QString("second.bmp"));
  QCOMPARE(mWindow->OutputSharp, second);
  QVERIFY(!shownListing().isEmpty());
  QCOMPARE(engineListing(), shownListing());
}

void DropTests::messageShowsTheFileNameAsItIs() {
  mWindow->setDialogs(std::make_unique<QtDialogs>());
  mDialogs = nullptr;
  // Gone, so that the message names it; the name looks like rich text.
  const QString path = mFolder->filePath("<b>draft</b> &lt;2&gt;.bmp");
  QMimeData mime;
  mime.setUrls({QUrl::fromLocalFile(path)});

  QStringList texts;
  QList<Qt::TextFormat> formats;
  QTimer answerer;
  answerMessageBoxes(answerer, [&](QMessageBox& box) {
    texts.append(box.text());
    formats.append(box.textFormat());
  });
  QVERIFY(enter(mime));
  drop(mime);
  answerer.stop();

  QCOMPARE(formats, QList<Qt::TextFormat>{Qt::PlainText});
  const QString start = QStringLiteral("The file \"%1\" could not be read:\n").arg(QDir::toNativeSeparators(path));
  QVERIFY2(texts.first().startsWith(start), qPrintable(texts.first()));
  QCOMPARE(shownTitle(), QString("Quillomat"));
}

void DropTests::failedCheck_data() {
  QTest::addColumn<QByteArray>("bytes");
  // The file's size when bytes are only its start, the rest zeros; 0: bytes
  // are the whole file.
  QTest::addColumn<qint64>("fileSize");
  QTest::addColumn<QString>("message");
  QTest::addColumn<bool>("previewed");
  // An empty file leaves nothing held, so a change of form converts nothing.
  QTest::addColumn<int>("messagesAfterChange");
  const auto raw = [](const Bytes& bytes) { return QByteArray(bytes.data(), static_cast<qsizetype>(bytes.size())); };
  QTemporaryDir scratch;
  QTest::newRow("24 bits per pixel") << raw(twentyFourBitBmp(scratch.path())) << qint64{0} << BitCountMessage << true
                                     << 2;
  QTest::newRow("625 x 1") << raw(makeMonochromeBmp(pixelGrid(625, 1, [](auto, auto) { return true; })))
                           << qint64{0} << TooLargeMessage << true << 2;
  QTest::newRow("8 x 129") << raw(makeMonochromeBmp(pixelGrid(8, 129, [](auto x, auto) { return x == 0; })))
                           << qint64{0} << TooLargeMessage << true << 2;
  // Whether Qt decodes a picture this large depends on its allocation limit.
  const qint64 largeFile = 62 + qint64{1000} * 8000;
  QByteArray large = raw(monochromeHeaders(8000, 8000));
  large.resize(largeFile, '\0');
  QTest::newRow("8000 x 8000, whole") << large << qint64{0} << TooLargeMessage << !QImage::fromData(large).isNull()
                                      << 2;
  // 17.5 MB: only its headers are read.
  QTest::newRow("20000 x 7000, over the size cap") << raw(monochromeHeaders(20000, 7000))
                                                   << qint64{62 + qint64{2500} * 7000} << TooLargeMessage << false
                                                   << 2;
  QTest::newRow("rows cut short, not previewed") << raw(truncatedBmp()) << qint64{0} << DamagedMessage << false << 2;
  // Qt reads the pixels from after the palette; the conversion won't guess.
  QTest::newRow("pixel offset inside the headers") << raw(leftColumnAndDiagonal({.pixelDataOffset = 54}))
                                                   << qint64{0} << DamagedMessage << true << 2;
  QTest::newRow("empty file") << QByteArray() << qint64{0} << BitCountMessage << false << 1;
  // Byte 28 of these is 1, and their bytes 18 to 25 read as huge sizes.
  QTest::newRow("JPEG, quality 95") << dataFile("imagemagick-100x20-q95.jpg") << qint64{0} << BitCountMessage << true
                                    << 2;
  QTest::newRow("JPEG, quality 100") << dataFile("imagemagick-100x20-q100.jpg") << qint64{0} << BitCountMessage
                                     << true << 2;
  QTest::newRow("interlaced PNG") << dataFile("imagemagick-100x20-interlaced.png") << qint64{0} << BitCountMessage
                                  << true << 2;
  QTest::newRow("netpbm whose comment looks like a 1-bit header") << QByteArray::fromStdString(netpbmWithHeaderInComment()) << qint64{0}
                                                                  << BitCountMessage << true << 2;
  // Qt reads a core header's sizes signed and alone would decode nothing.
  QTest::newRow("core header, 40000 wide")
      << raw(makeMonochromeBmp(pixelGrid(40000, 1, [](auto x, auto) { return x % 3 == 0; }), {.infoHeaderSize = 12}))
      << qint64{0} << TooLargeMessage << true << 2;
  QTest::newRow("header size the format doesn't define")
      << raw(leftColumnAndDiagonal({.infoHeaderSize = 100})) << qint64{0} << DamagedMessage << false << 2;
}

void DropTests::failedCheck() {
  QFETCH(QByteArray, bytes);
  QFETCH(qint64, fileSize);
  QFETCH(QString, message);
  QFETCH(bool, previewed);
  QFETCH(int, messagesAfterChange);
  const Bytes start(bytes.constData(), static_cast<std::size_t>(bytes.size()));
  QVERIFY(start.empty() || start.size() > 30);

  // A good listing first: the failed conversion must take it away.
  dropFile(writeFile("good.bmp", leftColumnAndDiagonal()));
  QCOMPARE(shownListing(), LeftColumnAndDiagonalListings[0]);

  const QString path = writeFile("bad.bmp", start);
  Bytes held = start;
  if (fileSize > 0) {
    QVERIFY(QFile::resize(path, fileSize));
    if (fileSize > SizeCap) {
      held = start.substr(0, 62);
    } else {
      held.resize(static_cast<std::size_t>(fileSize), '\0');
    }
  }
  dropFile(path);
  QCOMPARE(mDialogs->messages, QStringList{message});
  // Colour-depth advice would be wrong for a file that is 1-bit already.
  if (message == DamagedMessage) QVERIFY(!mDialogs->messages.first().contains(QStringLiteral("color")));
  QCOMPARE(shownListing(), QString());
  QCOMPARE(shownTitle(), QString("bad.bmp"));
  QVERIFY(mWindow->OutputSharp == held);
  // With a picture the frame is drawn round the canvas; without, nothing is.
  QCOMPARE(grabCanvas().pixelColor(0, 0) == QColor(Qt::black), previewed);

  // Nothing shown, so nothing to save or print.
  mDialogs->saveAnswer = mFolder->filePath("listing.txt");
  mDialogs->printAnswer = mFolder->filePath("listing.pdf");
  QVERIFY(mWindow->_FileSaveAs_Action());
  QVERIFY(mWindow->_FilePrint_Action());
  QCOMPARE(mDialogs->calls, QStringList{"message"});

  statementForms()->setCurrentIndex(2);
  QCOMPARE(mWindow->Mode, 2);
  QCOMPARE(mDialogs->messages.size(), messagesAfterChange);
  QCOMPARE(mDialogs->messages.last(), message);
  QCOMPARE(shownListing(), QString());
}

void DropTests::failedDropChangesNothing_data() {
  QTest::addColumn<QString>("what");  // a file name in the test's folder, or a URL
  // The drag also carries a picture, as a web browser's does.
  QTest::addColumn<bool>("withPicture");
  // A folder or a web address is refused as the drag enters, picture or not.
  QTest::addColumn<bool>("takenOnEnter");
  QTest::addColumn<QStringList>("messageHolds");
  QTest::newRow("file gone before the drop") << "gone.bmp" << false << true
                                             << QStringList{"gone.bmp\" could not be read", "No such file"};
  QTest::newRow("folder") << "folder.bmp" << true << false
                          << QStringList{"folder.bmp\" could not be read", "not a file"};
  QTest::newRow("picture from the web") << "https://example.org/picture.bmp" << true << false
                                        << QStringList{"holds no file on this computer"};
}

void DropTests::failedDropChangesNothing() {
  QFETCH(QString, what);
  QFETCH(bool, withPicture);
  QFETCH(bool, takenOnEnter);
  QFETCH(QStringList, messageHolds);
  QVERIFY(QDir(mFolder->path()).mkdir("folder.bmp"));
  const QUrl url = what.contains(u':') ? QUrl(what) : QUrl::fromLocalFile(mFolder->filePath(what));

  const Bytes bytes = leftColumnAndDiagonal();
  const QString path = writeFile("kept.bmp", bytes);
  dropFile(path);
  statementForms()->setCurrentIndex(2);
  const QString listing = shownListing();
  QCOMPARE(listing, LeftColumnAndDiagonalListings[2]);
  const QImage preview = grabCanvas();

  QMimeData mime;
  mime.setUrls({url});
  if (withPicture) {
    QImage picture(40, 20, QImage::Format_RGB32);
    picture.fill(Qt::red);
    mime.setImageData(picture);
  }
  QCOMPARE(enter(mime), takenOnEnter);
  if (takenOnEnter) {
    drop(mime);
  } else {
    // Qt sends no drop to a window that refused the drag; the handler guards
    // itself all the same.
    mWindow->Event_DropObject(mime.urls());
  }

  QCOMPARE(mDialogs->messages.size(), 1);
  for (const QString& part : messageHolds) {
    QVERIFY2(mDialogs->messages.first().contains(part), qPrintable(mDialogs->messages.first()));
  }
  QCOMPARE(shownTitle(), QString("kept.bmp"));
  QCOMPARE(mWindow->OutputSharp, bytes);
  QCOMPARE(shownListing(), listing);
  QCOMPARE(engineListing(), listing);
  QCOMPARE(mWindow->Stream.fileName(), path);
  // The same picture, not the dragged one, and the frame black again.
  QCOMPARE(grabCanvas(), preview);
}

void DropTests::dragHighlight_data() {
  QTest::addColumn<QString>("fileName");
  QTest::addColumn<Qt::DropActions>("offered");
  QTest::addColumn<bool>("taken");
  const Qt::DropActions copyOrMove = Qt::CopyAction | Qt::MoveAction;
  QTest::newRow("BMP file") << "other.bmp" << copyOrMove << true;
  // The file is only read: a source that would delete it after a move is refused.
  QTest::newRow("BMP file, move only") << "other.bmp" << Qt::DropActions(Qt::MoveAction) << false;
  QTest::newRow("text file") << "notes.txt" << copyOrMove << false;
  QTest::newRow("web address, no picture") << "https://example.org/picture.bmp" << copyOrMove << false;
  // Nothing to convert without the file's bytes.
  QTest::newRow("picture alone") << QString() << copyOrMove << false;
}

void DropTests::dragHighlight() {
  QFETCH(QString, fileName);
  QFETCH(Qt::DropActions, offered);
  QFETCH(bool, taken);
  dropFile(writeFile("shown.bmp", leftColumnAndDiagonal()));
  const QString listing = shownListing();
  PaintCounter counter;
  canvas()->installEventFilter(&counter);
  // Paints what the drop left to paint, so that only later requests count.
  canvas()->repaint();
  const int paintsBefore = counter.paints;

  QMimeData mime;
  if (fileName.isEmpty()) {
    QImage picture(40, 20, QImage::Format_RGB32);
    picture.fill(Qt::red);
    mime.setImageData(picture);
  } else if (fileName.contains(u':')) {
    mime.setUrls({QUrl(fileName)});
  } else {
    const QString path = writeFile(fileName, fileName.endsWith(".bmp") ? leftColumnAndDiagonal() : Bytes("text\n"));
    mime.setUrls({QUrl::fromLocalFile(path)});
  }
  QCOMPARE(enter(mime, offered), taken);
  if (taken) QTRY_VERIFY(counter.paints > paintsBefore);
  const QColor frameWhileHovering = taken ? QColor(Qt::white) : QColor(Qt::black);
  QCOMPARE(grabCanvas().pixelColor(0, 0), frameWhileHovering);
  QCOMPARE(grabCanvas().pixelColor(435, 145), frameWhileHovering);

  const int paintsInside = counter.paints;
  leave();
  if (taken) QTRY_VERIFY(counter.paints > paintsInside);
  QCOMPARE(grabCanvas().pixelColor(0, 0), QColor(Qt::black));
  QCOMPARE(shownTitle(), QString("shown.bmp"));
  QCOMPARE(shownListing(), listing);
  QVERIFY(mDialogs->calls.isEmpty());
}

void DropTests::previewShowsThePictureInBothViews() {
  constexpr int W = 12;
  constexpr int H = 6;
  dropFile(writeFile("uneven.bmp", makeMonochromeBmp(pixelGrid(W, H, unevenPixel))));
  const QString listing = shownListing();
  QVERIFY(!listing.isEmpty());

  // Original: every pixel doubled, from the preview area's corner at 51, 37.
  // Column 51 is under the frame's left line and is left out.
  QImage shown = grabCanvas();
  for (int y = 0; y < 2 * H; ++y) {
    for (int x = 1; x < 2 * W; ++x) {
      const QColor expected = unevenPixel(static_cast<std::size_t>(x / 2), static_cast<std::size_t>(y / 2))
                                  ? QColor(Qt::black)
                                  : QColor(Qt::white);
      QVERIFY2(shown.pixelColor(51 + x, 37 + y) == expected, qPrintable(QString("at %1, %2").arg(x).arg(y)));
    }
  }
  QCOMPARE(mWindow->Faktor, 2);
  QCOMPARE(shown.pixelColor(0, 0), QColor(Qt::black));

  // Fit to screen: 6 rows fill the display's 32 at 32 / 6 * 2, so 10 times.
  views()->setCurrentIndex(1);
  QCOMPARE(mWindow->Einpassen, 1);
  QCOMPARE(mWindow->Faktor, 10);
  shown = grabCanvas();
  for (int y = 0; y < H; ++y) {
    for (int x = 0; x < W; ++x) {
      const QColor expected = unevenPixel(static_cast<std::size_t>(x), static_cast<std::size_t>(y))
                                  ? QColor(Qt::black)
                                  : QColor(Qt::white);
      // The first and last canvas pixel of each 10 x 10 square.
      QCOMPARE(shown.pixelColor(51 + 10 * x + 1, 37 + 10 * y), expected);
      QCOMPARE(shown.pixelColor(51 + 10 * x + 9, 37 + 10 * y + 9), expected);
    }
  }
  QCOMPARE(shownListing(), listing);
  QVERIFY(mDialogs->calls.isEmpty());
}

void DropTests::saveAsWritesTheListing() {
  statementForms()->setCurrentIndex(2);
  dropFile(writeFile("largest.bmp", largestPicture()));
  QVERIFY2(mWindow->DruckSeiten >= 2, qPrintable(QString::number(mWindow->DruckSeiten)));
  QCOMPARE(engineListing(), shownListing());

  // Over an earlier file: all of it is replaced.
  const QString path = writeFile("saved.txt", Bytes(100000, 'x'));
  mDialogs->saveAnswer = path;
  QVERIFY(mWindow->_FileSaveAs_Action());
  QCOMPARE(mDialogs->calls, QStringList{"save"});
  QCOMPARE(mDialogs->saveRequest.filter, QString("application/text (*.1st *.nfo *.readme readme)"));
  QFile saved(path);
  QVERIFY(saved.open(QIODevice::ReadOnly));
  const QByteArray written = saved.readAll();
  QCOMPARE(written.toStdString(), quillomat::ListingText(*mWindow));
  QCOMPARE(QString::fromLatin1(written), shownListing());
}

// Written by ImageMagick from one 100 x 20 picture with -monochrome, as
// BMP2: (the OS/2 core header), BMP3: (the 40-byte header) and in its own
// default layout (a 108-byte header).
QByteArray imageMagickFile(const QString& layout) {
  return dataFile(QStringLiteral("imagemagick-100x20%1.bmp").arg(layout));
}

void DropTests::otherLayoutsConvertLikeTheir40ByteTwin_data() {
  QTest::addColumn<QByteArray>("bytes");
  // The file's size when bytes are only its start, the rest zeros; 0: bytes
  // are the whole file.
  QTest::addColumn<qint64>("fileSize");
  // The same picture in the 40-byte layout with a two-entry palette.
  QTest::addColumn<QByteArray>("twin");
  const auto raw = [](const Bytes& bytes) { return QByteArray(bytes.data(), static_cast<qsizetype>(bytes.size())); };
  const auto largest = pixelGrid(624, 128, [](std::size_t x, std::size_t y) { return (7 * x + 3 * y) % 11 < 4; });
  const auto small = pixelGrid(16, 8, unevenPixel);
  const QByteArray bmp3 = imageMagickFile("-bmp3");
  QTest::newRow("ImageMagick BMP2: core header") << imageMagickFile("-bmp2") << qint64{0} << bmp3;
  QTest::newRow("ImageMagick default: 108-byte header") << imageMagickFile("") << qint64{0} << bmp3;
  QTest::newRow("624 x 128, core header") << raw(makeMonochromeBmp(largest, {.infoHeaderSize = 12})) << qint64{0}
                                          << raw(makeMonochromeBmp(largest));
  QTest::newRow("palette of one entry") << raw(makeMonochromeBmp(small, {.paletteEntries = 1})) << qint64{0}
                                        << raw(makeMonochromeBmp(small));
  QTest::newRow("16 x 8 followed by 17 MiB of zeros") << raw(makeMonochromeBmp(small)) << qint64{17} * 1024 * 1024
                                                      << raw(makeMonochromeBmp(small));
  // Layouts that Qt alone misreads as a core header.
  QTest::newRow("16-byte OS/2 2.x header") << raw(makeMonochromeBmp(small, {.infoHeaderSize = 16})) << qint64{0}
                                           << raw(makeMonochromeBmp(small));
  QTest::newRow("52-byte header") << raw(makeMonochromeBmp(small, {.infoHeaderSize = 52})) << qint64{0}
                                  << raw(makeMonochromeBmp(small));
  QTest::newRow("56-byte header") << raw(makeMonochromeBmp(small, {.infoHeaderSize = 56})) << qint64{0}
                                  << raw(makeMonochromeBmp(small));
  QTest::newRow("56-byte header, 624 x 128, top down")
      << raw(makeMonochromeBmp(largest, {.infoHeaderSize = 56, .topDown = true})) << qint64{0}
      << raw(makeMonochromeBmp(largest));
  QTest::newRow("16 x 8 whose rows start 17 MiB into the file")
      << raw(makeMonochromeBmp(small, {.gapBeforePixels = std::size_t{17} * 1024 * 1024 - 62})) << qint64{0}
      << raw(makeMonochromeBmp(small));
}

// Each previews and converts, in a string form and a data-list form, exactly
// like the same picture in the 40-byte layout.
void DropTests::otherLayoutsConvertLikeTheir40ByteTwin() {
  QFETCH(QByteArray, bytes);
  QFETCH(qint64, fileSize);
  QFETCH(QByteArray, twin);
  QVERIFY(bytes.size() > 30 && twin.size() > 62);
  const QString twinPath = writeFile("twin.bmp", twin.toStdString());
  const QString path = writeFile("picture.bmp", bytes.toStdString());
  if (fileSize > 0) QVERIFY(QFile::resize(path, fileSize));

  for (const int form : {0, 3}) {
    statementForms()->setCurrentIndex(form);
    dropFile(twinPath);
    const QImage twinPreview = grabCanvas();
    QCOMPARE(twinPreview.pixelColor(0, 0), QColor(Qt::black));  // the frame of a shown picture
    const QByteArray twinListing = savedListing("twin.txt");
    QVERIFY(!twinListing.isEmpty());

    dropFile(path);
    QVERIFY2(mDialogs->messages.isEmpty(), qPrintable(mDialogs->messages.join(" | ")));
    QCOMPARE(shownTitle(), QString("picture.bmp"));
    QCOMPARE(grabCanvas(), twinPreview);
    QCOMPARE(savedListing("picture.txt"), twinListing);
  }
}

void DropTests::printGivesOneSheetPerPage() {
  statementForms()->setCurrentIndex(2);
  dropFile(writeFile("largest.bmp", largestPicture()));
  const std::int64_t pages = mWindow->DruckSeiten + 1;
  QVERIFY(pages >= 3);
  const QString pdf = mFolder->filePath("listing.pdf");
  mDialogs->printAnswer = pdf;

  QVERIFY(mWindow->_FilePrint_Action());
  QCOMPARE(mDialogs->calls, (QStringList{"pageSetup", "printer"}));
  QCOMPARE(pdftext::pageCount(pdf), pages);
  const QList<QStringList> printed = pdftext::pageLines(pdf);
  QCOMPARE(printed.size(), pages);
  for (std::int64_t i = 0; i < pages; ++i) {
    QCOMPARE(printed[i], nonEmptyListingLines(mWindow->OutPutString(i)));
  }
  QVERIFY(!shownListing().isEmpty());
}

void DropTests::dropPatternPicture(QSize picture, int form) {
  statementForms()->setCurrentIndex(form);
  const auto w = static_cast<std::size_t>(picture.width());
  const auto h = static_cast<std::size_t>(picture.height());
  dropFile(writeFile("picture.bmp", makeMonochromeBmp(pixelGrid(w, h, [](std::size_t x, std::size_t y) {
                       return (7 * x + 3 * y) % 11 < 4;
                     }))));
}

QString DropTests::printThroughQtsDialogs(const QString& pdf, const DialogChoices& choose,
                                          const DialogChoices& chooseProperties) {
  mWindow->setDialogs(std::make_unique<QtDialogs>());
  mDialogs = nullptr;
  QStringList seen;
  bool propertiesAsked = false;
  bool propertiesChosen = false;
  QTimer answer;
  answer.setInterval(20);
  QObject::connect(&answer, &QTimer::timeout, &answer, [&] {
    QWidget* modal = QApplication::activeModalWidget();
    if (modal == nullptr) return;
    if (auto* setup = qobject_cast<QPageSetupDialog*>(modal)) {
      seen.append("pageSetup");
      setup->accept();
    } else if (auto* box = qobject_cast<QMessageBox*>(modal)) {
      seen.append(box->text());
      box->accept();
    } else if (auto* print = qobject_cast<QPrintDialog*>(modal)) {
      auto* printers = print->findChild<QComboBox*>("printers");
      auto* properties = print->findChild<QPushButton*>("properties");
      auto* fileName = print->findChild<QLineEdit*>("filename");
      if (printers == nullptr || properties == nullptr || fileName == nullptr) {
        seen.append("print dialog without its printer, properties or file name");
        print->reject();
        return;
      }
      printers->setCurrentIndex(printers->findText("PDF", Qt::MatchContains));
      if (chooseProperties && !propertiesAsked) {
        propertiesAsked = true;
        // The properties dialog runs its own loop: not inside this timer's slot.
        QTimer::singleShot(0, properties, &QAbstractButton::click);
        return;
      }
      if (choose) seen.append(choose(*print));
      seen.append("printer");
      fileName->setText(pdf);
      print->accept();
    } else if (propertiesAsked && !propertiesChosen) {
      propertiesChosen = true;
      seen.append(chooseProperties(*static_cast<QDialog*>(modal)));
      static_cast<QDialog*>(modal)->accept();
    }
  });
  answer.start();
  const bool handled = mWindow->_FilePrint_Action();
  answer.stop();
  if (!handled) seen.append("Print not handled");
  seen.removeAll(QString());
  return seen.join(" | ");
}

void DropTests::printThroughQtsDialogsKeepsEveryLine_data() {
  QTest::addColumn<QSize>("picture");
  QTest::addColumn<int>("form");
  QTest::addColumn<int>("firstPageLines");
  QTest::addColumn<int>("sheets");
  // Refused on Letter with the URW fonts: its first page has 69 lines.
  QTest::newRow("95 x 120 GC.GPRINT on Letter") << QSize(95, 120) << 1 << 69 << 2;
  QTest::newRow("624 x 128 DEFB on 11 sheets") << QSize(624, 128) << 3 << 54 << 11;
}

void DropTests::printThroughQtsDialogsKeepsEveryLine() {
  QFETCH(QSize, picture);
  QFETCH(int, form);
  QFETCH(int, firstPageLines);
  QFETCH(int, sheets);
  dropPatternPicture(picture, form);
  QCOMPARE(mWindow->DruckSeiten + 1, sheets);
  const std::string& firstPage = mWindow->OutPutString(0);
  QCOMPARE(std::count(firstPage.begin(), firstPage.end(), '\r'), firstPageLines);

  // As a user would: accept the page setup; in the print dialog choose the
  // PDF printer, a file and, in its properties, Letter paper; print.
  const QString pdf = mFolder->filePath("printed.pdf");
  const QString seen = printThroughQtsDialogs(pdf, {}, [](QDialog& properties) {
    auto* sizes = properties.findChild<QComboBox*>("pageSizeCombo");
    const int letter = sizes ? sizes->findData(QVariant::fromValue(QPageSize(QPageSize::Letter))) : -1;
    if (letter >= 0) sizes->setCurrentIndex(letter);
    return letter >= 0 ? QString("Letter") : QString("no Letter among the paper sizes");
  });

  QCOMPARE(seen, QString("pageSetup | Letter | printer"));
  QCOMPARE(pdftext::pageSizePoints(pdf), QSizeF(612, 792));
  const QList<QStringList> printed = pdftext::pageLines(pdf);
  QCOMPARE(printed.size(), sheets);
  for (int i = 0; i < sheets; ++i) QCOMPARE(printed[i], nonEmptyListingLines(mWindow->OutPutString(i)));
}

// Rows named for the choice that was offered and then ignored: the PDF held
// all 11 pages once, in order.
void DropTests::printHonoursTheDialogsChoices_data() {
  QTest::addColumn<int>("fromPage");  // 0: every page
  QTest::addColumn<int>("toPage");
  QTest::addColumn<int>("copies");
  QTest::addColumn<bool>("collate");
  QTest::addColumn<bool>("reverse");
  // The listing pages, counted from 1, sheet by sheet.
  QTest::addColumn<QList<int>>("sheets");
  const QList<int> all{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11};
  QTest::newRow("pages 2 to 3") << 2 << 3 << 1 << true << false << QList<int>{2, 3};
  QTest::newRow("pages as the range opens") << 1 << 11 << 1 << true << false << all;
  QTest::newRow("2 collated copies") << 0 << 0 << 2 << true << false << all + all;
  QTest::newRow("2 uncollated copies") << 0 << 0 << 2 << false << false
                                       << QList<int>{1, 1, 2, 2, 3, 3, 4, 4, 5, 5, 6, 6, 7, 7, 8, 8, 9, 9, 10, 10, 11, 11};
  QTest::newRow("reverse") << 0 << 0 << 1 << true << true << QList<int>{11, 10, 9, 8, 7, 6, 5, 4, 3, 2, 1};
  QTest::newRow("pages 10 to 11 reversed, 2 uncollated copies")
      << 10 << 11 << 2 << false << true << QList<int>{11, 11, 10, 10};
  QTest::newRow("last page alone, 3 collated copies") << 11 << 11 << 3 << true << false << QList<int>{11, 11, 11};
}

void DropTests::printHonoursTheDialogsChoices() {
  QFETCH(int, fromPage);
  QFETCH(int, toPage);
  QFETCH(int, copies);
  QFETCH(bool, collate);
  QFETCH(bool, reverse);
  QFETCH(QList<int>, sheets);
  dropPatternPicture(QSize(624, 128), quillomat::SyntaxDefb);
  QCOMPARE(mWindow->DruckSeiten + 1, 11);

  // Each choice made in the dialog's own widgets, only where a person can
  // reach them.
  const QString pdf = mFolder->filePath("printed.pdf");
  const QString seen = printThroughQtsDialogs(pdf, [&](QDialog& print) {
    namespace widgets = printdialogwidgets;
    if (!widgets::showOptions(print)) return QString("no options in the print dialog");
    // It opens on every page; its range, once chosen, at the whole listing.
    auto* all = widgets::reachable<QAbstractButton>(print, "printAll");
    if (all == nullptr || !all->isChecked()) return QString("the dialog did not open on all pages");
    if (fromPage > 0) {
      if (!widgets::click(print, "printRange")) return QString("no page range to choose");
      const auto* from = widgets::reachable<QSpinBox>(print, "from");
      const auto* to = widgets::reachable<QSpinBox>(print, "to");
      if (from == nullptr || to == nullptr || from->value() != 1 || to->value() != 11)
        return QString("the range opened at %1 to %2").arg(from ? from->value() : 0).arg(to ? to->value() : 0);
    }
    if (fromPage > 0 && !(widgets::setValue(print, "to", toPage) && widgets::setValue(print, "from", fromPage)))
      return QString("pages %1 to %2 could not be chosen").arg(fromPage).arg(toPage);
    if (!widgets::setValue(print, "copies", copies) || !widgets::setChecked(print, "collate", collate))
      return QString("%1 copies, collated %2, could not be chosen").arg(copies).arg(collate);
    if (!widgets::setChecked(print, "reverse", reverse)) return QString("reverse order could not be chosen");
    return QString();
  });

  QCOMPARE(seen, QString("pageSetup | printer"));
  const QList<QStringList> printed = pdftext::pageLines(pdf);
  QCOMPARE(printed.size(), sheets.size());
  for (qsizetype i = 0; i < sheets.size(); ++i)
    QVERIFY2(printed[i] == nonEmptyListingLines(mWindow->OutPutString(sheets[i] - 1)),
             qPrintable(QString("sheet %1 is not page %2").arg(i + 1).arg(sheets[i])));
}

QString DropTests::printOnPaper(const PaperChoice& choice, const QString& name) {
  const QString pdf = mFolder->filePath(name);
  const QString seen = printThroughQtsDialogs(pdf, {}, [&](QDialog& properties) {
    namespace widgets = printdialogwidgets;
    if (!widgets::choose(properties, "pageSizeCombo", QVariant::fromValue(choice.paper)))
      return QString("no %1 among the paper sizes").arg(choice.paper.name());
    if (!widgets::click(properties, choice.landscape ? "landscape" : "portrait"))
      return QString("the orientation could not be chosen");
    for (const char* margin : {"topMargin", "leftMargin", "rightMargin", "bottomMargin"}) {
      if (choice.zeroMargins && !widgets::setDecimal(properties, margin, 0))
        return QString("the margins could not be set to 0");
    }
    return QString();
  });
  const QString printed = "pageSetup | printer";
  if (!seen.startsWith(printed)) return "not printed as chosen: " + seen;
  if (seen != printed) return seen.mid(printed.size() + 3);

  QSizeF expected = choice.paper.size(QPageSize::Point);
  if (choice.landscape) expected.transpose();
  const QSizeF size = pdftext::pageSizePoints(pdf);
  if (qAbs(size.width() - expected.width()) > 1 || qAbs(size.height() - expected.height()) > 1)
    return QString("printed on %1 x %2 points").arg(size.width()).arg(size.height());
  // The text starts 30 points inside the margins.
  const double left = pdftext::textLeftPoints(pdf);
  const double expectedLeft = choice.zeroMargins ? 30 : 40;
  if (qAbs(left - expectedLeft) > 1) return QString("text starts %1 points from the edge").arg(left);
  const QList<QStringList> pages = pdftext::pageLines(pdf);
  if (pages.size() != mWindow->DruckSeiten + 1) return QString("%1 sheets printed").arg(pages.size());
  for (qsizetype i = 0; i < pages.size(); ++i) {
    if (pages[i] != nonEmptyListingLines(mWindow->OutPutString(i))) return QString("page %1 not printed whole").arg(i + 1);
  }
  return QString();
}

// On A6 the message named the other orientation in portrait and in
// landscape, and smaller margins in both, though only a larger paper made the
// listing of a 624 x 128 picture fit. Whether a page fits depends on the font.
void DropTests::paperMessageNamesWhatPrints_data() {
  QTest::addColumn<QPageSize>("paper");
  QTest::addColumn<bool>("landscape");
  QTest::addColumn<bool>("zeroMargins");
  for (const QPageSize::PageSizeId paper : {QPageSize::A6, QPageSize::A5}) {
    for (const bool landscape : {false, true}) {
      for (const bool zeroMargins : {false, true}) {
        const QString name = QString("%1 %2, %3 margins")
                                 .arg(QPageSize::name(paper), landscape ? "landscape" : "portrait",
                                      zeroMargins ? "zero" : "default");
        QTest::newRow(qPrintable(name)) << QPageSize(paper) << landscape << zeroMargins;
      }
    }
  }
}

void DropTests::paperMessageNamesWhatPrints() {
  QFETCH(QPageSize, paper);
  QFETCH(bool, landscape);
  QFETCH(bool, zeroMargins);
  dropPatternPicture(QSize(624, 128), quillomat::SyntaxGprint);

  const QString message = printOnPaper({paper, landscape, zeroMargins}, "chosen.pdf");
  if (message.isEmpty()) return;
  QVERIFY2(message.startsWith("The listing could not be printed to ") && message.contains(" Choose a larger paper size"),
           qPrintable(message));
  // Each remedy, taken alone, prints exactly when the message names it; A4
  // stands for a larger paper.
  const QList<std::pair<QString, PaperChoice>> remedies{
      {landscape ? "portrait orientation" : "landscape orientation", {paper, !landscape, zeroMargins}},
      {"smaller margins", {paper, landscape, true}},
      {"a larger paper size", {QPageSize(QPageSize::A4), landscape, zeroMargins}}};
  for (const auto& [remedy, alone] : remedies) {
    const QString outcome = printOnPaper(alone, "remedy.pdf");
    QVERIFY2(outcome.isEmpty() || outcome.startsWith("The listing could not be printed to "), qPrintable(outcome));
    QVERIFY2(outcome.isEmpty() == message.contains(remedy),
             qPrintable(QString("%1 alone: %2\nafter: %3").arg(remedy, outcome.isEmpty() ? "printed" : outcome, message)));
  }
}

// A disk that fills up, and the file-size limit: SIGXFSZ is at its default
// here until the application object is made, so a program that left it there
// would end inside the write.
void DropTests::writeTroubleGivesAMessage_data() {
  QTest::addColumn<bool>("print");
  QTest::addColumn<int>("trouble");
  QTest::addColumn<QString>("reason");
  const int fullDisk = static_cast<int>(WriteTrouble::FullDisk);
  const int sizeLimit = static_cast<int>(WriteTrouble::FileSizeLimit);
  QTest::newRow("Save As onto a full disk") << false << fullDisk << "No space left on device";
  QTest::newRow("Print onto a full disk") << true << fullDisk << "No space left on device";
  QTest::newRow("Save As past the file-size limit") << false << sizeLimit << "File too large";
  QTest::newRow("Print past the file-size limit") << true << sizeLimit << "File too large";
}

void DropTests::writeTroubleGivesAMessage() {
  QFETCH(bool, print);
  QFETCH(int, trouble);
  QFETCH(QString, reason);
  statementForms()->setCurrentIndex(2);
  dropFile(writeFile("largest.bmp", largestPicture()));
  TroubledFolder folder(static_cast<WriteTrouble>(trouble), print ? "listing.pdf" : "Image.txt");
  if (!folder.skipReason().isEmpty()) QSKIP(qPrintable(folder.skipReason()));
  mDialogs->saveAnswer = folder.path();
  mDialogs->printAnswer = folder.path();

  const bool handled =
      folder.whileTroubled([&] { return print ? mWindow->_FilePrint_Action() : mWindow->_FileSaveAs_Action(); });

  QVERIFY(handled);
  const QString problems = folder.failureProblems(mDialogs->messages, reason);
  QVERIFY2(problems.isEmpty(), qPrintable(problems));
  QVERIFY(!shownListing().isEmpty());
}

QUILLOMAT_APP_TEST_MAIN(DropTests)
#include "drop_tests.moc"
