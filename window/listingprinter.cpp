#include "listingprinter.h"

#include <algorithm>

#include <QDir>
#include <QFont>
#include <QFontMetricsF>
#include <QPageLayout>
#include <QPageSize>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPointF>
#include <QPrinter>

#include "conversion.h"
#include "conversionlimits.h"
#include "userdialogs.h"

namespace {

constexpr qreal TextLeftPoints = 30;
constexpr qreal FirstBaselinePoints = 40;
constexpr int TextPointSize = 10;
constexpr qreal PointsPerInch = 72;
// Below this, as a share of the font's height, the lines would overlap.
constexpr qreal TightestLineStep = 0.8;

// How the printer is named in a message: the output file when there is one.
QString printerDescription(const QPrinter& printer) {
  if (!printer.outputFileName().isEmpty())
    return QStringLiteral("\"%1\"").arg(QDir::toNativeSeparators(printer.outputFileName()));
  if (!printer.printerName().isEmpty()) return QStringLiteral("\"%1\"").arg(printer.printerName());
  return QStringLiteral("the printer");
}

}  // namespace

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
  if (!dialogs.askPrinter(nullptr, printer)) return;
  printPages(parent, dialogs, printer, state);
}

bool printPages(QWidget* parent, UserDialogs& dialogs, QPrinter& printer,
                const quillomat::ConversionState& state) {
  std::optional<QString> failure = drawListing(printer, state);
  if (!failure && printer.printerState() == QPrinter::Error)
    failure = QStringLiteral("The printer reported an error; the printout may be incomplete.");
  if (!failure) return true;
  dialogs.showMessage(parent, QStringLiteral("The listing could not be printed on %1.\n%2")
                                  .arg(printerDescription(printer), *failure));
  return false;
}

std::optional<QString> drawListing(QPagedPaintDevice& device,
                                   const quillomat::ConversionState& state) {
  QFont font(QStringLiteral("Helvetica"), TextPointSize);
  font.setStyleHint(QFont::SansSerif);
  font.setBold(false);
  font.setItalic(false);

  // The device works in pixels; the point size of the font already follows
  // the device's resolution, the two positions are scaled here.
  const QFontMetricsF metrics(font, &device);
  const qreal left = TextLeftPoints * device.logicalDpiX() / PointsPerInch;
  const qreal firstBaseline = FirstBaselinePoints * device.logicalDpiY() / PointsPerInch;

  // A page of cut statements can hold more lines than a short sheet has room
  // for at the font's own spacing; its lines move closer together so that the
  // last one stays on the sheet.
  const qreal room = device.height() - firstBaseline - metrics.descent();
  const auto lineStep = [&](qsizetype lines) {
    return lines > 1 ? std::min(metrics.lineSpacing(), room / static_cast<qreal>(lines - 1))
                     : metrics.lineSpacing();
  };
  // All pages are checked before the printer starts, so a sheet too short
  // leaves no partial printout.
  const qreal tightestStep = TightestLineStep * metrics.height();
  const std::int64_t sheets = state.DruckSeiten + 1;
  for (std::int64_t i = 0; i < sheets; ++i) {
    const qsizetype lines = listingPageLines(state.OutPutString(i)).size();
    if (lines == 0 || (room >= 0 && lineStep(lines) >= tightestStep)) continue;
    return QStringLiteral("Sheet %1 of %2 needs room for %3 lines, but \"%4\" paper has room "
                          "for %5 only. Choose a larger paper size.")
        .arg(i + 1)
        .arg(sheets)
        .arg(lines)
        .arg(device.pageLayout().pageSize().name())
        .arg(room < 0 ? 0 : static_cast<qsizetype>(room / tightestStep) + 1);
  }

  QPainter painter;
  if (!painter.begin(&device)) return QStringLiteral("The printer could not be started.");
  painter.setFont(font);
  for (std::int64_t i = 0; i < sheets; ++i) {
    if (i > 0 && !device.newPage()) {
      painter.end();
      return QStringLiteral("The printer could not start sheet %1 of %2.").arg(i + 1).arg(sheets);
    }
    const QStringList lines = listingPageLines(state.OutPutString(i));
    const qreal step = lineStep(lines.size());
    qreal baseline = firstBaseline;
    for (const QString& line : lines) {
      painter.drawText(QPointF(left, baseline), line);
      baseline += step;
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
