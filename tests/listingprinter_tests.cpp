#include <algorithm>
#include <cstdio>
#include <string>

#include <QAbstractPrintDialog>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFont>
#include <QFontMetricsF>
#include <QPageSetupDialog>
#include <QPageSize>
#include <QPrintDialog>
#include <QPrinter>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include "failingpdfwriter.h"
#include "fakedialogs.h"
#include "pdftext.h"
#include "listingfixtures.h"
#include "listingprinter.h"

using namespace listingfixtures;

namespace {

void printToPdf(QPrinter& printer, const QString& path) {
  printer.setOutputFormat(QPrinter::PdfFormat);
  printer.setOutputFileName(path);
}

struct Word {
  double xMin = 0, yMin = 0, yMax = 0;
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
      "<word xMin=\"([\\d.]+)\" yMin=\"([\\d.]+)\" xMax=\"[\\d.]+\" yMax=\"([\\d.]+)\">"));
  for (const QRegularExpressionMatch& m : word.globalMatch(html))
    page.words.append(
        {m.captured(1).toDouble(), m.captured(2).toDouble(), m.captured(3).toDouble()});
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

// One line spacing of the printed font, in points.
double fontLineSpacingPoints(QPrinter& printer) {
  QFont font(QStringLiteral("Helvetica"), 10);
  font.setStyleHint(QFont::SansSerif);
  return QFontMetricsF(font, &printer).lineSpacing() * 72 / printer.logicalDpiY();
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
  void sheetTooShortForAPageGivesAMessage();
  void printerThatCannotStartGivesAMessage();
  void sheetThatCannotStartStopsTheDrawing();
  void printFlow_data();
  void printFlow();
  void cancelledPageSetupStillLeadsToThePrintDialog();
};

void ListingPrinterTests::initTestCase() {
  for (const char* tool : {"pdfinfo", "pdftotext"})
    QVERIFY2(!QStandardPaths::findExecutable(QString::fromLatin1(tool)).isEmpty(),
             "pdfinfo and pdftotext are needed: install poppler-utils");
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
  QPrinter printer(QPrinter::HighResolution);
  FakeDialogs dialogs;
  printToPdf(printer, pdf);
  QVERIFY(printPages(nullptr, dialogs, printer, state));
  QVERIFY(dialogs.calls.isEmpty());

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
  // The second line starts at the same x, one line spacing of a 10 point font lower.
  QVERIFY(qAbs(words[2].xMin - words[0].xMin) < 0.5);
  const double spacing = words[2].yMin - words[0].yMin;
  QVERIFY2(spacing > 10 && spacing < 13.5, qPrintable(QString::number(spacing)));
}

void ListingPrinterTests::longPagesStayOnTheSheet_data() {
  QTest::addColumn<int>("lines");
  QTest::addColumn<bool>("cursorForm");
  QTest::addColumn<QPageSize>("paper");
  QTest::addColumn<bool>("fontSpacing");  // true: lines one font line spacing apart
  const QPageSize letter(QPageSize::Letter);
  const QPageSize a4(QPageSize::A4);
  QTest::newRow("69 GC.GPRINT lines on Letter") << 69 << true << letter << false;
  QTest::newRow("69 GC.GPRINT lines on A4") << 69 << true << a4 << false;
  QTest::newRow("67 GPRINT lines on Letter") << 67 << false << letter << false;
  QTest::newRow("67 GPRINT lines on A4 keep the font's spacing") << 67 << false << a4 << true;
  QTest::newRow("40 lines on Letter keep the font's spacing") << 40 << true << letter << true;
}

void ListingPrinterTests::longPagesStayOnTheSheet() {
  QFETCH(int, lines);
  QFETCH(bool, cursorForm);
  QFETCH(QPageSize, paper);
  QFETCH(bool, fontSpacing);
  const std::string page = longListingPage(lines, cursorForm);
  QCOMPARE(listingPageLines(page).size(), lines);
  QTemporaryDir dir;
  const QString pdf = dir.filePath(QStringLiteral("listing.pdf"));
  QPrinter printer(QPrinter::HighResolution);
  printToPdf(printer, pdf);
  QVERIFY(printer.setPageSize(paper));
  FakeDialogs dialogs;
  QVERIFY(printPages(nullptr, dialogs, printer, listingOfPages({page})));
  QVERIFY(dialogs.calls.isEmpty());

  // Every line comes back, in order: none fell off the sheet.
  QCOMPARE(pdftext::pageCount(pdf), 1);
  QCOMPARE(pdftext::pageLines(pdf).value(0), pdftext::nonEmptyLines(listingPageLines(page)));

  // The lowest text, the last line's, ends inside the printable area (give
  // or take the rounding of the PDF's coordinates).
  const PdfPage sheet = firstPdfPage(pdf);
  QVERIFY(!sheet.words.isEmpty());
  const double bottom = printer.pageRect(QPrinter::Point).bottom();
  QVERIFY2(bottom <= sheet.height, qPrintable(QString::number(sheet.height)));
  double lowest = 0;
  QList<double> tops;
  for (const Word& word : sheet.words) {
    lowest = std::max(lowest, word.yMax);
    tops.append(word.yMin);
  }
  QVERIFY2(lowest <= bottom + 0.05, qPrintable(QStringLiteral("%1 > %2").arg(lowest).arg(bottom)));

  std::sort(tops.begin(), tops.end());
  tops.erase(std::unique(tops.begin(), tops.end()), tops.end());
  const double secondLineBelowFirst = tops.value(1) - tops.value(0);
  const double fontSpacingPoints = fontLineSpacingPoints(printer);
  const QByteArray spacings =
      QStringLiteral("%1 vs %2").arg(secondLineBelowFirst).arg(fontSpacingPoints).toLatin1();
  if (fontSpacing)
    QVERIFY2(qAbs(secondLineBelowFirst - fontSpacingPoints) < 0.05, spacings.constData());
  else
    QVERIFY2(secondLineBelowFirst < fontSpacingPoints - 0.05, spacings.constData());
}

void ListingPrinterTests::sheetTooShortForAPageGivesAMessage() {
  QTemporaryDir dir;
  const QString pdf = dir.filePath(QStringLiteral("listing.pdf"));
  QPrinter printer(QPrinter::HighResolution);
  printToPdf(printer, pdf);
  // 4 x 6 inches: 20 lines fit, 69 would overlap.
  QVERIFY(printer.setPageSize(
      QPageSize(QSizeF(4, 6), QPageSize::Inch, QString(), QPageSize::ExactMatch)));
  const std::string shortPage = longListingPage(20, true);
  FakeDialogs dialogs;

  QVERIFY(!printPages(nullptr, dialogs, printer,
                      listingOfPages({shortPage, longListingPage(69, true), shortPage})));

  QCOMPARE(dialogs.messages.size(), 1);
  const QString& message = dialogs.messages[0];
  for (const QString& part : {QDir::toNativeSeparators(pdf), QStringLiteral("Sheet 2 of 3"),
                              QStringLiteral("69 lines"), QStringLiteral("4in x 6in")})
    QVERIFY2(message.contains(part), qPrintable(message));
  // Nothing is printed, not even the sheets that would fit.
  QVERIFY(QDir(dir.path()).isEmpty());
}

void ListingPrinterTests::printerThatCannotStartGivesAMessage() {
  QTemporaryDir dir;
  const QString pdf = dir.filePath(QStringLiteral("missing/listing.pdf"));
  QPrinter printer;
  FakeDialogs dialogs;

  printToPdf(printer, pdf);
  QVERIFY(!printPages(nullptr, dialogs, printer, listingOfPages(gprintPages(2))));

  QCOMPARE(dialogs.messages.size(), 1);
  QVERIFY2(dialogs.messages[0].contains(QDir::toNativeSeparators(pdf)), qPrintable(dialogs.messages[0]));
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
  bool pageRangeOffered = true;
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
      pageRangeOffered = print->testOption(QAbstractPrintDialog::PrintPageRange);
      print->reject();
    }
  });
  answer.start();

  QtDialogs dialogs;
  quillomat::ConversionState state = oneStatementListing();
  printListing(nullptr, dialogs, state, true);
  answer.stop();

  QCOMPARE(seen, (QStringList{"pageSetup", "printer"}));
  QVERIFY(!pageRangeOffered);
}

QTEST_MAIN(ListingPrinterTests)
#include "listingprinter_tests.moc"
