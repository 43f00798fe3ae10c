#include <algorithm>
#include <csignal>
#include <cstdio>
#include <string>
#include <utility>

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFont>
#include <QFontMetricsF>
#include <QMarginsF>
#include <QPageLayout>
#include <QPageSetupDialog>
#include <QPageSize>
#include <QPrintDialog>
#include <QPrinter>
#include <QRegularExpression>
#include <QSpinBox>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include "failingpdfwriter.h"
#include "fakedialogs.h"
#include "listingfixtures.h"
#include "listingprinter.h"
#include "pdftext.h"
#include "printdialogwidgets.h"
#include "writetrouble.h"

using namespace listingfixtures;

namespace {

void printToPdf(QPrinter& printer, const QString& path) {
  printer.setOutputFormat(QPrinter::PdfFormat);
  printer.setOutputFileName(path);
}

struct Word {
  double xMin = 0, yMin = 0, xMax = 0, yMax = 0;
};

struct PdfPage {
  double height = 0;
  QList<Word> words;  // with their boxes, in points from the page's top left
};

PdfPage firstPdfPage(const QString& pdf) {
  const QString html = QString::fromUtf8(pdftext::runTool(
      QStringLiteral("pdftotext"),
      {QStringLiteral("-bbox"), QStringLiteral("-f"), QStringLiteral("1"), QStringLiteral("-l"),
       QStringLiteral("1"), pdf, QStringLiteral("-")}));
  PdfPage page;
  page.height = QRegularExpression(QStringLiteral("<page width=\"[\\d.]+\" height=\"([\\d.]+)\">"))
                    .match(html)
                    .captured(1)
                    .toDouble();
  const QRegularExpression word(QStringLiteral(
      "<word xMin=\"([\\d.]+)\" yMin=\"([\\d.]+)\" xMax=\"([\\d.]+)\" yMax=\"([\\d.]+)\">"));
  for (const QRegularExpressionMatch& m : word.globalMatch(html))
    page.words.append({m.captured(1).toDouble(), m.captured(2).toDouble(), m.captured(3).toDouble(),
                       m.captured(4).toDouble()});
  return page;
}

// A page of `lines` lines shaped like a cut GC.GPRINT (cursorForm) or GPRINT
// listing: per statement a first piece, two continuations, a remainder and an
// empty line. The last line always holds text, so its place can be checked;
// the first hex digits of every line are its number, so every line differs.
std::string longListingPage(int lines, bool cursorForm) {
  std::string page;
  for (int i = 0; i < lines; ++i) {
    const int statement = i / 5 + 1;
    const int kind = i % 5;
    if (kind == 4 && i + 1 < lines) {
      page += '\r';
      continue;
    }
    std::string line = "GPRINT \"";
    if (kind == 0 && cursorForm) {
      line = std::to_string(statement) + " GCURSOR 0," + std::to_string(8 * (statement - 1)) +
             ": " + line;
    }
    char tag[3];
    std::snprintf(tag, sizeof tag, "%02X", i & 0xFF);
    line += tag;
    line += kind == 3 && i + 1 < lines ? std::string("F\"")
                                       : std::string(77 - line.size(), 'F') + "\";";
    page += line + '\r';
  }
  return page;
}

QFont listingFont(double pointSize) {
  QFont font(QStringLiteral("Helvetica"));
  font.setPointSizeF(pointSize);
  font.setStyleHint(QFont::SansSerif);
  return font;
}

// The printed font at one size as the printer measures it, in points; widest
// is the advance of the widest of lines.
struct FontPoints {
  double lineSpacing = 0, height = 0, descent = 0, widest = 0;
};

FontPoints fontPoints(QPrinter& printer, double pointSize, const QStringList& lines = {}) {
  const QFontMetricsF metrics(listingFont(pointSize), &printer);
  const double down = 72.0 / printer.logicalDpiY();
  FontPoints font{metrics.lineSpacing() * down, metrics.height() * down, metrics.descent() * down, 0};
  for (const QString& line : lines)
    font.widest = std::max(font.widest, metrics.horizontalAdvance(line) * 72.0 / printer.logicalDpiX());
  return font;
}

// How a page of lines fits the printer's sheet in the font at pointSize: at
// the font's own spacing, or with its lines at least 0.8 of its height apart.
struct Fit {
  bool atFontSpacing = false;
  bool atTightestSpacing = false;
  bool downAtTightestSpacing = false;  // whether or not its lines fit across
};

Fit fitOnSheet(QPrinter& printer, double pointSize, const QStringList& lines) {
  const FontPoints font = fontPoints(printer, pointSize, lines);
  const QRectF area = printer.pageRect(QPrinter::Point);
  // The first baseline is 40 points down; the last line's descent must stay
  // on the sheet.
  const double room = area.height() - 40 - font.descent;
  const auto gaps = static_cast<double>(lines.size() - 1);
  const bool across = 30 + font.widest <= area.width();
  const bool downAtTightest = gaps * 0.8 * font.height <= room;
  return {across && gaps * font.lineSpacing <= room, across && downAtTightest, downAtTightest};
}

// The fewest lines of a cut GC.GPRINT listing that don't fit down the sheet of
// layout even at 6 points: how many that is depends on the font.
int fewestLinesTooManyFor(const QPageLayout& layout) {
  QPrinter printer(QPrinter::HighResolution);
  printer.setOutputFormat(QPrinter::PdfFormat);
  if (!printer.setPageLayout(layout)) return 0;
  int lines = 2;
  while (fitOnSheet(printer, 6, listingPageLines(longListingPage(lines, true))).downAtTightestSpacing) ++lines;
  return lines;
}

}  // namespace

class ListingPrinterTests : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase();
  void splitsPagesAtCarriageReturns_data();
  void splitsPagesAtCarriageReturns();
  void printsOneSheetPerPage_data();
  void printsOneSheetPerPage();
  void textSitsAtTheSamePlaceAtAnyResolution_data();
  void textSitsAtTheSamePlaceAtAnyResolution();
  void longPagesStayOnTheSheet_data();
  void longPagesStayOnTheSheet();
  void sheetTooSmallForAPageGivesAMessage_data();
  void sheetTooSmallForAPageGivesAMessage();
  void pageLeftOutOfTheRangeNeedNotFit();
  void pdfTakesThePrintersSettings();
  void printToFileFailureKeepsTheOldFile_data();
  void printToFileFailureKeepsTheOldFile();
  void printerThatCannotStartDrawsNothing();
  void sheetThatCannotStartStopsTheDrawing();
  void printFlow_data();
  void printFlow();
  void cancelledPageSetupStillLeadsToThePrintDialog();
  void printDialogOffersNoChoiceThatIsNotPrinted_data();
  void printDialogOffersNoChoiceThatIsNotPrinted();

 private:
  // The height of a word's box in a PDF printed at 10 points: boxes are as
  // high as the font's size makes them.
  double mTenPointBoxHeight = 0;
};

void ListingPrinterTests::initTestCase() {
  for (const char* tool : {"pdfinfo", "pdftotext"})
    QVERIFY2(!QStandardPaths::findExecutable(QString::fromLatin1(tool)).isEmpty(),
             "pdfinfo and pdftotext are needed: install poppler-utils");
  // As the program's App does: a write past the file-size limit then fails
  // with EFBIG instead of ending the test.
  std::signal(SIGXFSZ, SIG_IGN);

  QTemporaryDir dir;
  const QString pdf = dir.filePath(QStringLiteral("ten.pdf"));
  QPrinter printer(QPrinter::HighResolution);
  printToPdf(printer, pdf);
  FakeDialogs dialogs;
  QVERIFY(printPages(nullptr, dialogs, printer, listingOfPages({"GPRINT \"0F\"\r"})));
  const PdfPage page = firstPdfPage(pdf);
  QVERIFY(!page.words.isEmpty());
  mTenPointBoxHeight = page.words[0].yMax - page.words[0].yMin;
  QVERIFY(mTenPointBoxHeight > 5);
}

void ListingPrinterTests::splitsPagesAtCarriageReturns_data() {
  QTest::addColumn<QByteArray>("page");
  QTest::addColumn<QStringList>("lines");
  QTest::newRow("empty page") << QByteArray() << QStringList{};
  QTest::newRow("one line") << QByteArray("GPRINT \"FF\"\r") << QStringList{"GPRINT \"FF\""};
  QTest::newRow("empty lines kept") << QByteArray("A\r\r\rB\r") << QStringList{"A", "", "", "B"};
  QTest::newRow("three empty lines") << QByteArray("\r\r\r") << QStringList{"", "", ""};
  QTest::newRow("no line end after last") << QByteArray("A\rB") << QStringList{"A", "B"};
}

void ListingPrinterTests::splitsPagesAtCarriageReturns() {
  QFETCH(QByteArray, page);
  QFETCH(QStringList, lines);
  QCOMPARE(listingPageLines(std::string_view(page.constData(), static_cast<std::size_t>(page.size()))),
           lines);
}

// An empty last page gives a blank sheet.
void ListingPrinterTests::printsOneSheetPerPage_data() { addPageCountRows(); }

void ListingPrinterTests::printsOneSheetPerPage() {
  QFETCH(int, pageCount);
  QFETCH(bool, lastPageEmpty);
  const std::vector<std::string> pages = gprintPagesOfRow(pageCount, lastPageEmpty);
  const quillomat::ConversionState state = listingWithTextPastItsEnd(pages);

  QTemporaryDir dir;
  const QString pdf = dir.filePath(QStringLiteral("listing.pdf"));
  // Over an earlier, longer file: none of it is left.
  QVERIFY(putFile(pdf, QByteArray(200000, 'x')));
  QPrinter printer(QPrinter::HighResolution);
  FakeDialogs dialogs;
  printToPdf(printer, pdf);
  QVERIFY(printPages(nullptr, dialogs, printer, state));
  QVERIFY(dialogs.calls.isEmpty());
  QVERIFY(fileBytes(pdf).startsWith("%PDF-"));
  QVERIFY(fileBytes(pdf).trimmed().endsWith("%%EOF"));
  QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("listing.pdf")});

  QCOMPARE(pdftext::pageCount(pdf), pageCount);
  const QStringList texts = pdftext::pageTexts(pdf);
  QCOMPARE(texts.size(), pageCount);
  for (int i = 0; i < pageCount; ++i) {
    QCOMPARE(pdftext::nonEmptyLines(texts[i].split(QLatin1Char('\n'))),
             pdftext::nonEmptyLines(listingPageLines(pages[static_cast<std::size_t>(i)])));
  }
}

void ListingPrinterTests::textSitsAtTheSamePlaceAtAnyResolution_data() {
  QTest::addColumn<int>("dotsPerInch");
  QTest::newRow("72 dpi") << 72;
  QTest::newRow("300 dpi") << 300;
  QTest::newRow("1200 dpi") << 1200;
}

void ListingPrinterTests::textSitsAtTheSamePlaceAtAnyResolution() {
  QFETCH(int, dotsPerInch);
  const quillomat::ConversionState state = listingOfPages({"GPRINT \"0F\"\rGPRINT \"F0\"\r"});
  QTemporaryDir dir;
  const QString pdf = dir.filePath(QStringLiteral("listing.pdf"));
  QPrinter printer;
  printToPdf(printer, pdf);
  printer.setResolution(dotsPerInch);
  FakeDialogs dialogs;
  QVERIFY(printPages(nullptr, dialogs, printer, state));

  const QRectF area = printer.pageRect(QPrinter::Point);
  const QList<Word> words = firstPdfPage(pdf).words;
  QCOMPARE(words.size(), 4);
  // x 30 and the first baseline at y 40, in points of the paint area; the
  // word box reaches a little below the baseline.
  QVERIFY2(qAbs(words[0].xMin - (area.left() + 30)) < 1.0, qPrintable(QString::number(words[0].xMin)));
  const double belowBaseline = words[0].yMax - (area.top() + 40);
  QVERIFY2(belowBaseline >= 0 && belowBaseline < 4, qPrintable(QString::number(belowBaseline)));
  // The second line starts at the same x, one line spacing of the font lower,
  // as the printer measures it at its resolution.
  QVERIFY(qAbs(words[2].xMin - words[0].xMin) < 0.5);
  const double spacing = words[2].yMin - words[0].yMin;
  const double fontSpacing = fontPoints(printer, 10).lineSpacing;
  QVERIFY2(qAbs(spacing - fontSpacing) < 0.05,
           qPrintable(QStringLiteral("%1 vs %2").arg(spacing).arg(fontSpacing)));
}

// Rows named for the pages that ran off the sheet or were refused with one
// font or another; whether a page fits at the font's spacing, with its lines
// closer or only in smaller text follows from the metrics of the font that
// stands in for Helvetica on this machine.
void ListingPrinterTests::longPagesStayOnTheSheet_data() {
  QTest::addColumn<int>("lines");
  QTest::addColumn<bool>("cursorForm");
  QTest::addColumn<QPageSize>("paper");
  // The page needs smaller text whatever the font.
  QTest::addColumn<bool>("mustShrink");
  const QPageSize letter(QPageSize::Letter);
  const QPageSize a4(QPageSize::A4);
  QTest::newRow("69 GC.GPRINT lines on Letter") << 69 << true << letter << false;
  QTest::newRow("69 GC.GPRINT lines on A4") << 69 << true << a4 << false;
  QTest::newRow("67 GPRINT lines on Letter") << 67 << false << letter << false;
  QTest::newRow("67 GPRINT lines on A4") << 67 << false << a4 << false;
  QTest::newRow("40 lines on Letter") << 40 << true << letter << false;
  QTest::newRow("69 lines on A5 in smaller text") << 69 << true << QPageSize(QPageSize::A5) << true;
}

void ListingPrinterTests::longPagesStayOnTheSheet() {
  QFETCH(int, lines);
  QFETCH(bool, cursorForm);
  QFETCH(QPageSize, paper);
  QFETCH(bool, mustShrink);
  const std::string page = longListingPage(lines, cursorForm);
  const QStringList pageLines = listingPageLines(page);
  QCOMPARE(pageLines.size(), lines);
  QTemporaryDir dir;
  const QString pdf = dir.filePath(QStringLiteral("listing.pdf"));
  QPrinter printer(QPrinter::HighResolution);
  printToPdf(printer, pdf);
  QVERIFY(printer.setPageSize(paper));
  const Fit fit = fitOnSheet(printer, 10, pageLines);
  if (mustShrink) QVERIFY(!fit.atTightestSpacing);
  FakeDialogs dialogs;
  QVERIFY2(printPages(nullptr, dialogs, printer, listingOfPages({page})), qPrintable(dialogs.messages.join(' ')));
  QVERIFY(dialogs.calls.isEmpty());

  // Every line comes back, in order: none fell off the sheet.
  QCOMPARE(pdftext::pageCount(pdf), 1);
  QCOMPARE(pdftext::pageLines(pdf).value(0), pdftext::nonEmptyLines(pageLines));

  // The lowest and the right-most text end inside the printable area (give
  // or take the rounding of the PDF's coordinates).
  const PdfPage sheet = firstPdfPage(pdf);
  QVERIFY(!sheet.words.isEmpty());
  const QRectF area = printer.pageRect(QPrinter::Point);
  QVERIFY2(area.bottom() <= sheet.height, qPrintable(QString::number(sheet.height)));
  double lowest = 0;
  double rightMost = 0;
  QList<double> tops;
  for (const Word& word : sheet.words) {
    lowest = std::max(lowest, word.yMax);
    rightMost = std::max(rightMost, word.xMax);
    tops.append(word.yMin);
  }
  QVERIFY2(lowest <= area.bottom() + 0.05, qPrintable(QStringLiteral("%1 > %2").arg(lowest).arg(area.bottom())));
  QVERIFY2(rightMost <= area.right() + 0.05, qPrintable(QStringLiteral("%1 > %2").arg(rightMost).arg(area.right())));

  // A page that fits at 10 points is printed at 10; one that doesn't, in
  // smaller text, but not below about 6 points.
  const double boxHeight = sheet.words[0].yMax - sheet.words[0].yMin;
  const QByteArray heights = QStringLiteral("box %1, at 10 points %2").arg(boxHeight).arg(mTenPointBoxHeight).toLatin1();
  if (fit.atTightestSpacing)
    QVERIFY2(qAbs(boxHeight - mTenPointBoxHeight) < 0.05, heights.constData());
  else
    QVERIFY2(boxHeight < mTenPointBoxHeight - 0.05 && boxHeight > 0.6 * mTenPointBoxHeight - 0.05, heights.constData());

  // Lines follow each other at the font's spacing where the page fits at it,
  // closer where it doesn't, and never so close that they overlap at the
  // size used. Empty lines leave no words, so the closest two tops are one
  // step apart.
  std::sort(tops.begin(), tops.end());
  tops.erase(std::unique(tops.begin(), tops.end(), [](double a, double b) { return qAbs(a - b) < 0.01; }),
             tops.end());
  QVERIFY(tops.size() > 1);
  double step = tops[1] - tops[0];
  for (qsizetype i = 2; i < tops.size(); ++i) step = std::min(step, tops[i] - tops[i - 1]);
  const double sizeUsed = 10 * boxHeight / mTenPointBoxHeight;
  const double fontSpacing = fontPoints(printer, 10).lineSpacing;
  const double tightest = 0.8 * fontPoints(printer, sizeUsed).height;
  const QByteArray steps = QStringLiteral("step %1, font's spacing %2, tightest %3 at %4 points")
                               .arg(step)
                               .arg(fontSpacing)
                               .arg(tightest)
                               .arg(sizeUsed)
                               .toLatin1();
  if (fit.atFontSpacing)
    QVERIFY2(qAbs(step - fontSpacing) < 0.05, steps.constData());
  else
    QVERIFY2(step < fontSpacing - 0.05, steps.constData());
  QVERIFY2(step >= tightest - 0.05, steps.constData());
}

// The line counts are worked out from the font's metrics, so that each row's
// paper is too small, and each remedy works or fails, in any font.
void ListingPrinterTests::sheetTooSmallForAPageGivesAMessage_data() {
  QTest::addColumn<QPageLayout>("layout");
  // The page's lines: GC.GPRINT lines of up to 79 characters.
  QTest::addColumn<int>("lines");
  // Too narrow for the page at 6 points; else too short.
  QTest::addColumn<bool>("tooNarrow");
  // What would make the page fit, named as the message's last sentence.
  QTest::addColumn<QString>("advice");
  const auto inches = [](double width, double height) {
    return QPageSize(QSizeF(width, height), QPageSize::Inch, QString(), QPageSize::ExactMatch);
  };
  const QMarginsF printersOwn(10, 10, 10, 10);  // a fresh QPrinter's, in points
  const QPageLayout threeByFive(inches(3, 5), QPageLayout::Portrait, printersOwn);
  const QPageLayout threeByFiveBare(inches(3, 5), QPageLayout::Portrait, QMarginsF());
  const QPageLayout threeByEleven(inches(3, 11), QPageLayout::Portrait, printersOwn);
  const QPageLayout a5Landscape(QPageSize(QPageSize::A5), QPageLayout::Landscape, printersOwn);
  const QPageLayout a5LandscapeBare(QPageSize(QPageSize::A5), QPageLayout::Landscape, QMarginsF());
  const QPageLayout letterWideMargins(QPageSize(QPageSize::Letter), QPageLayout::Portrait, QMarginsF(72, 216, 72, 216));
  // Smaller margins were named though margins of 0 left the page too short.
  QTest::newRow("too short even at 6 points") << threeByFive << fewestLinesTooManyFor(threeByFiveBare) << false
                                              << "Choose a larger paper size.";
  // Landscape was named though 69 lines are too many for a 3 inch high sheet.
  QTest::newRow("too narrow even at 6 points")
      << threeByEleven << 69 << true << "Choose a larger paper size.";
  QTest::newRow("too narrow, fits when turned")
      << threeByEleven << 5 << true << "Choose a larger paper size or landscape orientation.";
  QTest::newRow("margins not blamed when there are none")
      << threeByFiveBare << fewestLinesTooManyFor(threeByFiveBare) << false << "Choose a larger paper size.";
  // The paper was blamed alone, though it is the orientation or the margins
  // that leave too little room.
  QTest::newRow("landscape orientation leaves too little room")
      << a5Landscape << fewestLinesTooManyFor(a5LandscapeBare) << false
      << "Choose a larger paper size or portrait orientation.";
  QTest::newRow("orientation or margins would each do")
      << a5Landscape << fewestLinesTooManyFor(a5Landscape) << false
      << "Choose a larger paper size, portrait orientation or smaller margins.";
  QTest::newRow("large margins leave too little room")
      << letterWideMargins << fewestLinesTooManyFor(letterWideMargins) << false
      << "Choose a larger paper size or smaller margins.";
}

void ListingPrinterTests::sheetTooSmallForAPageGivesAMessage() {
  QFETCH(QPageLayout, layout);
  QFETCH(int, lines);
  QFETCH(bool, tooNarrow);
  QFETCH(QString, advice);
  QVERIFY(lines > 1);
  QTemporaryDir dir;
  const QString pdf = dir.filePath(QStringLiteral("listing.pdf"));
  QPrinter printer(QPrinter::HighResolution);
  printToPdf(printer, pdf);
  QVERIFY(printer.setPageLayout(layout));
  // Short lines, few of them: they fit on any sheet.
  const std::string shortPage = "GPRINT \"0F\"\rGPRINT \"F0\"\r";
  const std::string longPage = longListingPage(lines, true);
  const Fit fit = fitOnSheet(printer, 6, listingPageLines(longPage));
  QVERIFY(!fit.atTightestSpacing);
  QCOMPARE(fit.downAtTightestSpacing, tooNarrow);
  const quillomat::ConversionState listing = listingOfPages({shortPage, longPage, shortPage});
  FakeDialogs dialogs;

  QVERIFY(!printPages(nullptr, dialogs, printer, listing));

  QCOMPARE(dialogs.messages.size(), 1);
  const QString& message = dialogs.messages[0];
  const QString lacking = tooNarrow ? QStringLiteral("has lines of 79 characters")
                                    : QStringLiteral("needs room for %1 lines").arg(lines);
  for (const QString& part : {QDir::toNativeSeparators(pdf), QStringLiteral("Page 2 of 3 ") + lacking,
                              QStringLiteral("\"%1\" paper").arg(layout.pageSize().name())})
    QVERIFY2(message.contains(part), qPrintable(message));
  QVERIFY2(message.endsWith(QLatin1Char(' ') + advice), qPrintable(message));
  // Nothing is printed, not even the sheets that would fit.
  QVERIFY(QDir(dir.path()).isEmpty());

  // Each remedy prints when taken alone exactly when the message names it.
  const bool landscape = layout.orientation() == QPageLayout::Landscape;
  QPageLayout turned = layout;
  turned.setOrientation(landscape ? QPageLayout::Portrait : QPageLayout::Landscape);
  QPageLayout marginless = layout;
  QVERIFY(marginless.setMargins(QMarginsF()));
  const QList<std::pair<QString, QPageLayout>> remedies{
      {landscape ? QStringLiteral("portrait orientation") : QStringLiteral("landscape orientation"), turned},
      {QStringLiteral("smaller margins"), marginless}};
  for (const auto& [remedy, alone] : remedies) {
    QPrinter other(QPrinter::HighResolution);
    printToPdf(other, dir.filePath(QStringLiteral("remedy.pdf")));
    QVERIFY(other.setPageLayout(alone));
    FakeDialogs otherDialogs;
    const bool printed = printPages(nullptr, otherDialogs, other, listing);
    QVERIFY2(printed == advice.contains(remedy),
             qPrintable(QStringLiteral("%1 alone %2").arg(remedy, printed ? "printed" : "did not print")));
  }
}

// Only the chosen pages are printed, so only they need to fit: a page left
// out must not stop the printout.
void ListingPrinterTests::pageLeftOutOfTheRangeNeedNotFit() {
  QTemporaryDir dir;
  const QString pdf = dir.filePath(QStringLiteral("listing.pdf"));
  QPrinter printer(QPrinter::HighResolution);
  printToPdf(printer, pdf);
  QVERIFY(printer.setPageSize(QPageSize(QSizeF(3, 5), QPageSize::Inch, QString(), QPageSize::ExactMatch)));
  const std::string longPage = longListingPage(69, true);
  QVERIFY(!fitOnSheet(printer, 6, listingPageLines(longPage)).atTightestSpacing);
  printer.setPrintRange(QPrinter::PageRange);
  printer.setFromTo(3, 3);
  FakeDialogs dialogs;

  QVERIFY2(printPages(nullptr, dialogs, printer, listingOfPages({"GPRINT \"01\"\r", longPage, "GPRINT \"03\"\r"})),
           qPrintable(dialogs.messages.join(' ')));

  QCOMPARE(pdftext::pageLines(pdf), (QList<QStringList>{{QStringLiteral("GPRINT \"03\"")}}));
}

// The PDF is drawn apart from the printer: it must still come out as the
// printer would have written it.
void ListingPrinterTests::pdfTakesThePrintersSettings() {
  QTemporaryDir dir;
  const QString pdf = dir.filePath(QStringLiteral("listing.pdf"));
  QPrinter printer(QPrinter::HighResolution);
  printToPdf(printer, pdf);
  QVERIFY(printer.setPageLayout(QPageLayout(QPageSize(QPageSize::Letter), QPageLayout::Landscape,
                                            QMarginsF(72, 36, 18, 9), QPageLayout::Point)));
  printer.setResolution(600);
  printer.setDocName(QStringLiteral("Listing of a picture"));
  printer.setCreator(QStringLiteral("Quillomat test"));
  FakeDialogs dialogs;
  QVERIFY(printPages(nullptr, dialogs, printer, listingOfPages({"GPRINT \"0F\"\r"})));

  const QString info = QString::fromUtf8(pdftext::runTool(QStringLiteral("pdfinfo"), {pdf}));
  for (const QString& line : {QStringLiteral("Title:\\s+Listing of a picture\n"), QStringLiteral("Creator:\\s+Quillomat test\n"),
                              QStringLiteral("Page size:\\s+792 x 612 pts")})
    QVERIFY2(info.contains(QRegularExpression(line)), qPrintable(info));
  // x 30 and the first baseline at y 40 from the corner inside the margins.
  const QList<Word> words = firstPdfPage(pdf).words;
  QVERIFY(!words.isEmpty());
  QVERIFY2(qAbs(words[0].xMin - (72 + 30)) < 1.0, qPrintable(QString::number(words[0].xMin)));
  const double belowBaseline = words[0].yMax - (36 + 40);
  QVERIFY2(belowBaseline >= 0 && belowBaseline < 4, qPrintable(QString::number(belowBaseline)));
}

void ListingPrinterTests::printToFileFailureKeepsTheOldFile_data() {
  QTest::addColumn<int>("pages");
  QTest::addColumn<WriteTrouble>("trouble");
  QTest::addColumn<QString>("reason");
  // Qt's PDF writer, left to write the file itself, cut 6 pages off short
  // without a word, and failed 11 pages only once the old file was gone.
  QTest::newRow("6 pages on a full disk") << 6 << WriteTrouble::FullDisk << "No space left on device";
  QTest::newRow("11 pages on a full disk") << 11 << WriteTrouble::FullDisk << "No space left on device";
  QTest::newRow("6 pages past the file-size limit") << 6 << WriteTrouble::FileSizeLimit << "File too large";
  QTest::newRow("11 pages past the file-size limit") << 11 << WriteTrouble::FileSizeLimit << "File too large";
  QTest::newRow("folder does not exist") << 2 << WriteTrouble::MissingFolder << "No such file or directory";
}

void ListingPrinterTests::printToFileFailureKeepsTheOldFile() {
  QFETCH(int, pages);
  QFETCH(WriteTrouble, trouble);
  QFETCH(QString, reason);
  TroubledFolder folder(trouble, QStringLiteral("listing.pdf"));
  if (!folder.skipReason().isEmpty()) QSKIP(qPrintable(folder.skipReason()));
  QPrinter printer(QPrinter::HighResolution);
  printToPdf(printer, folder.path());
  const quillomat::ConversionState state = listingOfPages(gprintPages(pages));
  FakeDialogs dialogs;

  const bool printed = folder.whileTroubled([&] { return printPages(nullptr, dialogs, printer, state); });

  QVERIFY(!printed);
  // One message naming the file and the reason; no temporary or half-written file left.
  const QString problems = folder.failureProblems(dialogs.messages, reason);
  QVERIFY2(problems.isEmpty(), qPrintable(problems));
}

void ListingPrinterTests::printerThatCannotStartDrawsNothing() {
  QTemporaryDir dir;
  QPrinter printer;
  printToPdf(printer, dir.filePath(QStringLiteral("missing/listing.pdf")));

  const std::optional<QString> failure = drawListing(printer, listingOfPages(gprintPages(2)));

  QVERIFY(failure.has_value());
  QVERIFY2(failure->contains(QStringLiteral("could not be started")), qPrintable(*failure));
  QVERIFY(QDir(dir.path()).isEmpty());
}

void ListingPrinterTests::sheetThatCannotStartStopsTheDrawing() {
  QTemporaryDir dir;
  const QString pdf = dir.filePath(QStringLiteral("listing.pdf"));
  std::optional<QString> failure;
  {
    FailingPdfWriter writer(pdf);
    failure = drawListing(writer, listingOfPages(gprintPages(3)));
  }
  QVERIFY(failure.has_value());
  QVERIFY2(failure->contains(QStringLiteral("sheet 2 of 3")), qPrintable(*failure));
  QCOMPARE(pdftext::pageCount(pdf), 1);
}

void ListingPrinterTests::printFlow_data() {
  QTest::addColumn<bool>("listingShown");
  QTest::addColumn<bool>("printAccepted");
  QTest::addColumn<QStringList>("calls");
  QTest::addColumn<int>("sheets");  // 0: no PDF at all
  const QStringList bothDialogs{"pageSetup", "printer"};
  QTest::newRow("no listing shown asks nothing") << false << true << QStringList{} << 0;
  QTest::newRow("cancelled print dialog prints nothing") << true << false << bothDialogs << 0;
  QTest::newRow("printed after rebuilding the pages") << true << true << bothDialogs << 1;
}

void ListingPrinterTests::printFlow() {
  QFETCH(bool, listingShown);
  QFETCH(bool, printAccepted);
  QFETCH(QStringList, calls);
  QFETCH(int, sheets);
  QTemporaryDir dir;
  const QString pdf = dir.filePath(QStringLiteral("listing.pdf"));
  FakeDialogs dialogs;
  if (printAccepted) dialogs.printAnswer = pdf;
  // Three pages until the pages are rebuilt, then one.
  quillomat::ConversionState state = oneStatementListing();

  printListing(nullptr, dialogs, state, listingShown);

  QCOMPARE(dialogs.calls, calls);
  QCOMPARE(state.DruckSeiten, listingShown ? 0 : 2);
  if (listingShown) {
    // The print dialog gets a printer of its own, not the page setup's.
    QCOMPARE(dialogs.printerOrientation, std::optional(QPageLayout::Portrait));
  }
  if (sheets == 0) {
    QVERIFY(QDir(dir.path()).isEmpty());
    return;
  }
  QCOMPARE(pdftext::pageCount(pdf), sheets);
  QCOMPARE(pdftext::nonEmptyLines(pdftext::pageTexts(pdf).value(0).split(QLatin1Char('\n'))),
           QStringList{QStringLiteral("GPRINT \"FF02040810204080\"")});
}

void ListingPrinterTests::cancelledPageSetupStillLeadsToThePrintDialog() {
  QStringList seen;
  // Of the last page of the range the print dialog offers.
  std::pair<int, int> lastPageBounds;
  QTimer answer;
  answer.setInterval(20);
  QObject::connect(&answer, &QTimer::timeout, [&] {
    QWidget* modal = QApplication::activeModalWidget();
    if (!modal) return;
    if (auto* setup = qobject_cast<QPageSetupDialog*>(modal)) {
      seen.append(QStringLiteral("pageSetup"));
      setup->reject();
    } else if (auto* print = qobject_cast<QPrintDialog*>(modal)) {
      seen.append(QStringLiteral("printer"));
      if (const auto* to = print->findChild<QSpinBox*>(QStringLiteral("to")))
        lastPageBounds = {to->minimum(), to->maximum()};
      print->reject();
    }
  });
  answer.start();

  QtDialogs dialogs;
  quillomat::ConversionState state = oneStatementListing();
  printListing(nullptr, dialogs, state, true);
  answer.stop();

  QCOMPARE(seen, (QStringList{"pageSetup", "printer"}));
  // The pages of the rebuilt listing, not those it had before.
  QCOMPARE(lastPageBounds, std::make_pair(1, 1));
}

// Choices the printing doesn't apply: the print dialog must not let a person
// make them. Rows named for the choice; the widget is Qt's own.
void ListingPrinterTests::printDialogOffersNoChoiceThatIsNotPrinted_data() {
  QTest::addColumn<QString>("widget");
  // In the dialog of the printer's properties.
  QTest::addColumn<bool>("inProperties");
  QTest::newRow("current page") << "printCurrentPage" << false;
  QTest::newRow("selection") << "printSelection" << false;
  QTest::newRow("list of pages") << "pagesRadioButton" << false;
  QTest::newRow("odd or even pages") << "pageSetCombo" << false;
  QTest::newRow("pages per sheet") << "pagesPerSheetCombo" << true;
}

void ListingPrinterTests::printDialogOffersNoChoiceThatIsNotPrinted() {
  QFETCH(QString, widget);
  QFETCH(bool, inProperties);
  QString seen;
  bool propertiesAsked = false;
  QTimer answer;
  answer.setInterval(20);
  QObject::connect(&answer, &QTimer::timeout, [&] {
    auto* modal = qobject_cast<QDialog*>(QApplication::activeModalWidget());
    if (modal == nullptr) return;
    auto* print = qobject_cast<QPrintDialog*>(modal);
    if (print != nullptr && !seen.isEmpty()) {
      print->reject();
      return;
    }
    if (print != nullptr && inProperties) {
      if (!propertiesAsked) {
        propertiesAsked = true;
        // The properties dialog runs its own loop: not inside this timer's slot.
        if (auto* properties = print->findChild<QAbstractButton*>(QStringLiteral("properties")))
          QTimer::singleShot(0, properties, &QAbstractButton::click);
      }
      return;
    }
    if (print != nullptr && !printdialogwidgets::showOptions(*print)) {
      seen = QStringLiteral("no options");
    } else {
      auto* choice = modal->findChild<QWidget*>(widget);
      seen = choice == nullptr                               ? QStringLiteral("no such widget")
             : printdialogwidgets::personCanReach(*choice) ? QStringLiteral("offered")
                                                             : QStringLiteral("not offered");
    }
    modal->reject();
  });
  answer.start();

  QtDialogs dialogs;
  QPrinter printer(QPrinter::HighResolution);
  QVERIFY(!dialogs.askPrinter(nullptr, printer, 11));
  answer.stop();

  QCOMPARE(seen, QStringLiteral("not offered"));
}

QTEST_MAIN(ListingPrinterTests)
#include "listingprinter_tests.moc"
