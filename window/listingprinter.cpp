#include "listingprinter.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include <QBuffer>
#include <QByteArray>
#include <QDir>
#include <QFont>
#include <QFontMetricsF>
#include <QPageLayout>
#include <QPageSize>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPdfWriter>
#include <QPointF>
#include <QPrinter>

#include "atomicwrite.h"
#include "conversion.h"
#include "conversionlimits.h"
#include "userdialogs.h"

namespace {

constexpr qreal TextLeftPoints = 30;
constexpr qreal FirstBaselinePoints = 40;
constexpr qreal TextPointSize = 10;
// A page too long or too wide for its sheet is drawn smaller, in these steps,
// down to the smallest size that is still easy to read and type from.
constexpr qreal PointSizeStep = 0.25;
constexpr qreal SmallestPointSize = 6;
constexpr qreal PointsPerInch = 72;
// Below this, as a share of the font's height, the lines would overlap.
constexpr qreal TightestLineStep = 0.8;

QFont listingFont(qreal pointSize) {
  QFont font(QStringLiteral("Helvetica"));
  font.setPointSizeF(pointSize);
  font.setStyleHint(QFont::SansSerif);
  font.setBold(false);
  font.setItalic(false);
  return font;
}

// Where the text starts on every sheet, in the device's pixels.
struct TextOrigin {
  qreal left = 0;
  qreal firstBaseline = 0;
};

// A page's lines in the listing font at one size, measured on the device.
struct PageAtSize {
  qreal pointSize = 0;
  qsizetype widestLength = 0;  // in characters
  qreal lineStep = 0;          // baseline to baseline
  qreal tightestStep = 0;
  // From the first baseline down to the lowest one whose descent stays on
  // the sheet.
  qreal room = 0;
  bool fitsAcross = false;
  bool fitsDown = false;
};

PageAtSize measurePage(const QStringList& lines, qreal pointSize, QPaintDevice& device,
                       const TextOrigin& origin) {
  // Hinting keeps the metrics from scaling exactly with the size: each size
  // is measured as it will be drawn.
  const QFontMetricsF metrics(listingFont(pointSize), &device);
  PageAtSize page;
  page.pointSize = pointSize;
  qreal widest = 0;
  for (const QString& line : lines) {
    const qreal width = metrics.horizontalAdvance(line);
    if (width > widest) {
      widest = width;
      page.widestLength = line.size();
    }
  }
  page.room = device.height() - origin.firstBaseline - metrics.descent();
  page.tightestStep = TightestLineStep * metrics.height();
  page.lineStep = lines.size() > 1
                      ? std::min(metrics.lineSpacing(), page.room / static_cast<qreal>(lines.size() - 1))
                      : metrics.lineSpacing();
  page.fitsAcross = origin.left + widest <= device.width();
  page.fitsDown = lines.isEmpty() || (page.room >= 0 && page.lineStep >= page.tightestStep);
  return page;
}

// The page at the largest size at which it fits its sheet: at the font's own
// line spacing where there is room, with its lines closer where there is not.
// Nothing when it fits at no readable size.
std::optional<PageAtSize> fitPage(const QStringList& lines, QPaintDevice& device, const TextOrigin& origin) {
  const auto sizes = static_cast<int>(std::lround((TextPointSize - SmallestPointSize) / PointSizeStep));
  for (int i = 0; i <= sizes; ++i) {
    const PageAtSize page = measurePage(lines, TextPointSize - i * PointSizeStep, device, origin);
    if (page.fitsAcross && page.fitsDown) return page;
  }
  return std::nullopt;
}

// A chosen page of the listing, counted from 0, with its lines and the size
// and spacing it is drawn at.
struct ChosenPage {
  std::int64_t index = 0;
  QStringList lines;
  PageAtSize layout;
};

// Whether every page would fit, each as fitPage fits it, with the device set
// to layout. The device is set back as it was.
bool everyPageFitsOn(const QPageLayout& layout, QPagedPaintDevice& device, const std::vector<ChosenPage>& pages,
                     const TextOrigin& origin) {
  const QPageLayout own = device.pageLayout();
  const bool fits =
      device.setPageLayout(layout) && std::all_of(pages.begin(), pages.end(), [&](const ChosenPage& page) {
        return fitPage(page.lines, device, origin).has_value();
      });
  device.setPageLayout(own);
  return fits;
}

// What the user can change to make every page fit: a larger paper always;
// the other orientation, and margins as small as the printer takes, each only
// when it alone would do.
QString roomRemedies(QPagedPaintDevice& device, const std::vector<ChosenPage>& pages, const TextOrigin& origin) {
  const QPageLayout own = device.pageLayout();
  const bool landscape = own.orientation() == QPageLayout::Landscape;
  QStringList remedies{QStringLiteral("a larger paper size")};
  QPageLayout turned = own;
  turned.setOrientation(landscape ? QPageLayout::Portrait : QPageLayout::Landscape);
  if (everyPageFitsOn(turned, device, pages, origin))
    remedies.append(landscape ? QStringLiteral("portrait orientation") : QStringLiteral("landscape orientation"));
  QPageLayout marginless = own;
  if (marginless.setMargins(own.minimumMargins()) && everyPageFitsOn(marginless, device, pages, origin))
    remedies.append(QStringLiteral("smaller margins"));
  QString text = remedies.takeLast();
  if (!remedies.isEmpty()) text = remedies.join(QStringLiteral(", ")) + QStringLiteral(" or ") + text;
  return QStringLiteral("Choose %1.").arg(text);
}

// Names the page as the listing counts it, the same in any range, copies and
// order.
QString pageTooSmall(const ChosenPage& page, std::int64_t pageCount, QPagedPaintDevice& device,
                     const std::vector<ChosenPage>& pages, const TextOrigin& origin) {
  const PageAtSize smallest = measurePage(page.lines, SmallestPointSize, device, origin);
  const QString paper = device.pageLayout().pageSize().name();
  const QString remedies = roomRemedies(device, pages, origin);
  if (smallest.fitsDown) {
    return QStringLiteral("Page %1 of %2 has lines of %3 characters, but \"%4\" paper is too narrow for "
                          "them. %5")
        .arg(page.index + 1)
        .arg(pageCount)
        .arg(smallest.widestLength)
        .arg(paper, remedies);
  }
  const qsizetype room =
      smallest.room < 0 ? 0 : static_cast<qsizetype>(smallest.room / smallest.tightestStep) + 1;
  return QStringLiteral("Page %1 of %2 needs room for %3 lines, but \"%4\" paper has room for %5 only. %6")
      .arg(page.index + 1)
      .arg(pageCount)
      .arg(page.lines.size())
      .arg(paper)
      .arg(room)
      .arg(remedies);
}

// How the printer is named in a message: the output file when there is one.
QString printerDescription(const QPrinter& printer) {
  if (!printer.outputFileName().isEmpty())
    return QStringLiteral("\"%1\"").arg(QDir::toNativeSeparators(printer.outputFileName()));
  if (!printer.printerName().isEmpty()) return QStringLiteral("\"%1\"").arg(printer.printerName());
  return QStringLiteral("the printer");
}

bool printsToFile(const QPrinter& printer) {
  return printer.outputFormat() == QPrinter::PdfFormat && !printer.outputFileName().isEmpty();
}

// Qt's PDF writer goes on past a failed write and leaves a cut-off file where
// the old one was. So the PDF, set up as the printer would write it, is drawn
// in memory, and the file is replaced only once all of it is on disk.
std::optional<QString> printToFile(const QPrinter& printer, const quillomat::ConversionState& state,
                                   const PrintChoices& choices) {
  QByteArray pdf;
  {
    QBuffer buffer(&pdf);
    if (!buffer.open(QIODevice::WriteOnly)) return buffer.errorString();
    QPdfWriter writer(&buffer);
    writer.setPdfVersion(printer.pdfVersion());
    writer.setResolution(printer.resolution());
    writer.setTitle(printer.docName());
    writer.setCreator(printer.creator());
    if (!writer.setPageLayout(printer.pageLayout()))
      return QStringLiteral("The page layout of the printer could not be used.");
    if (std::optional<QString> failure = drawListing(writer, state, choices)) return failure;
  }
  return writeFileAtomically(printer.outputFileName(), pdf);
}

// The pages of the chosen range, cut to the listing and counted from 0, in
// the order they are printed.
std::vector<std::int64_t> chosenPages(std::int64_t pageCount, const PrintChoices& choices) {
  std::vector<std::int64_t> pages;
  if (pageCount < 1) return pages;
  const std::int64_t lastPage = pageCount - 1;
  const bool everyPage = choices.fromPage == 0 && choices.toPage == 0;
  const std::int64_t first = everyPage ? 0 : std::clamp<std::int64_t>(choices.fromPage - 1, 0, lastPage);
  const std::int64_t last =
      everyPage || choices.toPage == 0 ? lastPage : std::clamp<std::int64_t>(choices.toPage - 1, first, lastPage);
  for (std::int64_t page = first; page <= last; ++page) pages.push_back(page);
  if (choices.lastPageFirst) std::reverse(pages.begin(), pages.end());
  return pages;
}

}  // namespace

PrintChoices printChoices(const QPrinter& printer) {
  PrintChoices choices;
  if (printer.printRange() == QPrinter::PageRange) {
    choices.fromPage = printer.fromPage();
    choices.toPage = printer.toPage();
  }
  choices.copies = printer.supportsMultipleCopies() ? 1 : printer.copyCount();
  choices.collateCopies = printer.collateCopies();
  choices.lastPageFirst = printer.pageOrder() == QPrinter::LastPageFirst;
  return choices;
}

std::vector<std::int64_t> sheetOrder(std::int64_t pageCount, const PrintChoices& choices) {
  const std::vector<std::int64_t> pages = chosenPages(pageCount, choices);
  const int copies = std::max(1, choices.copies);
  std::vector<std::int64_t> sheets;
  if (choices.collateCopies) {
    for (int copy = 0; copy < copies; ++copy) sheets.insert(sheets.end(), pages.begin(), pages.end());
  } else {
    for (const std::int64_t page : pages) sheets.insert(sheets.end(), static_cast<std::size_t>(copies), page);
  }
  return sheets;
}

void printListing(QWidget* parent, UserDialogs& dialogs, quillomat::ConversionState& state,
                  bool listingShown) {
  if (!listingShown) return;
  {
    // The choices made here are not carried over: the print dialog below opens
    // on a fresh printer.
    QPrinter setup;
    dialogs.showPageSetup(setup);
  }
  quillomat::DoFormatGprint(state);

  QPrinter printer(QPrinter::HighResolution);
  if (!dialogs.askPrinter(nullptr, printer, state.DruckSeiten + 1)) return;
  printPages(parent, dialogs, printer, state);
}

bool printPages(QWidget* parent, UserDialogs& dialogs, QPrinter& printer,
                const quillomat::ConversionState& state) {
  const PrintChoices choices = printChoices(printer);
  std::optional<QString> failure;
  if (printsToFile(printer)) {
    failure = printToFile(printer, state, choices);
  } else {
    failure = drawListing(printer, state, choices);
    if (!failure && printer.printerState() == QPrinter::Error)
      failure = QStringLiteral("The printer reported an error; the printout may be incomplete.");
  }
  if (!failure) return true;
  dialogs.showMessage(parent, QStringLiteral("The listing could not be printed to %1.\n%2")
                                  .arg(printerDescription(printer), *failure));
  return false;
}

std::optional<QString> drawListing(QPagedPaintDevice& device, const quillomat::ConversionState& state,
                                   const PrintChoices& choices) {
  // The device works in pixels; the point size of the font already follows
  // the device's resolution, the two positions are scaled here.
  const TextOrigin origin{TextLeftPoints * device.logicalDpiX() / PointsPerInch,
                          FirstBaselinePoints * device.logicalDpiY() / PointsPerInch};

  // Every chosen page is laid out, once, before the printer starts, so a
  // sheet too small leaves no partial printout.
  const std::int64_t pageCount = state.DruckSeiten + 1;
  const std::vector<std::int64_t> sheets = sheetOrder(pageCount, choices);
  std::vector<ChosenPage> pages;
  // Where each listing page stands in pages.
  std::vector<std::optional<std::size_t>> chosenAt(static_cast<std::size_t>(std::max<std::int64_t>(pageCount, 0)));
  for (const std::int64_t i : sheets) {
    std::optional<std::size_t>& at = chosenAt[static_cast<std::size_t>(i)];
    if (at) continue;
    at = pages.size();
    pages.push_back({i, listingPageLines(state.OutPutString(i)), {}});
  }
  for (ChosenPage& page : pages) {
    const std::optional<PageAtSize> layout = fitPage(page.lines, device, origin);
    if (!layout) return pageTooSmall(page, pageCount, device, pages, origin);
    page.layout = *layout;
  }

  QPainter painter;
  if (!painter.begin(&device)) return QStringLiteral("The printer could not be started.");
  for (std::size_t i = 0; i < sheets.size(); ++i) {
    if (i > 0 && !device.newPage()) {
      painter.end();
      return QStringLiteral("The printer could not start sheet %1 of %2.").arg(i + 1).arg(sheets.size());
    }
    const ChosenPage& page = pages[*chosenAt[static_cast<std::size_t>(sheets[i])]];
    painter.setFont(listingFont(page.layout.pointSize));
    qreal baseline = origin.firstBaseline;
    for (const QString& line : page.lines) {
      painter.drawText(QPointF(origin.left, baseline), line);
      baseline += page.layout.lineStep;
    }
  }
  if (!painter.end()) return QStringLiteral("The printer could not finish the printout.");
  return std::nullopt;
}

QStringList listingPageLines(std::string_view page) {
  QStringList lines;
  while (!page.empty()) {
    const std::size_t end = page.find(quillomat::ListingLineEnd);
    const std::string_view line = page.substr(0, end);
    // A listing holds ASCII only; Latin-1 keeps any other byte as one character.
    lines.append(QString::fromLatin1(line.data(), static_cast<qsizetype>(line.size())));
    if (end == std::string_view::npos) break;
    page.remove_prefix(end + 1);
  }
  return lines;
}
