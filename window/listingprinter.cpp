#include "listingprinter.h"

#include <QDir>
#include <QFont>
#include <QFontMetricsF>
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
  QPainter painter;
  if (!painter.begin(&device)) return QStringLiteral("The printer could not be started.");

  QFont font(QStringLiteral("Helvetica"), TextPointSize);
  font.setStyleHint(QFont::SansSerif);
  font.setBold(false);
  font.setItalic(false);
  painter.setFont(font);

  // The painter works in device pixels; the point size of the font already
  // follows the device's resolution, the two positions are scaled here.
  const qreal left = TextLeftPoints * device.logicalDpiX() / PointsPerInch;
  const qreal firstBaseline = FirstBaselinePoints * device.logicalDpiY() / PointsPerInch;
  const qreal lineSpacing = QFontMetricsF(painter.font(), &device).lineSpacing();

  for (std::int64_t i = 0; i <= state.DruckSeiten; ++i) {
    if (i > 0 && !device.newPage()) {
      painter.end();
      return QStringLiteral("The printer could not start sheet %1 of %2.")
          .arg(i + 1)
          .arg(state.DruckSeiten + 1);
    }
    qreal baseline = firstBaseline;
    for (const QString& line : listingPageLines(state.OutPutString(i))) {
      painter.drawText(QPointF(left, baseline), line);
      baseline += lineSpacing;
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
