#pragma once

#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

#include <QString>
#include <QStringList>

#include "conversionstate.h"

class QPagedPaintDevice;
class QPrinter;
class QWidget;
class UserDialogs;

// What the print dialog chose that the program applies itself. Pages are
// the listing's, counted from 1.
struct PrintChoices {
  // 0 and 0: every page.
  std::int64_t fromPage = 0;
  std::int64_t toPage = 0;
  int copies = 1;
  bool collateCopies = true;
  bool lastPageFirst = false;
};

// The printer's page range, copies and page order. A printer that makes the
// copies itself gets one copy to draw, or they would double.
PrintChoices printChoices(const QPrinter& printer);

// The listing pages, counted from 0, in the order their sheets are printed:
// the chosen range (cut to the listing), in reverse for last page first, with
// every copy of the range in turn when collated and every page's copies in a
// row when not.
std::vector<std::int64_t> sheetOrder(std::int64_t pageCount, const PrintChoices& choices);

// Print. Does nothing while no listing is shown. Otherwise shows the
// page-setup dialog on a printer of its own (what is chosen there is not
// used), rebuilds the pages with DoFormatGprint, asks for a printer on a fresh
// QPrinter with the listing's pages as the bounds of its page range, and
// prints with printPages. A cancelled print dialog prints nothing.
void printListing(QWidget* parent, UserDialogs& dialogs, quillomat::ConversionState& state,
                  bool listingShown);

// Prints pages 0 to DruckSeiten on a printer that is set up already, one sheet
// per page, with the printer's page range, copies and page order. A printer
// that writes a PDF file replaces that file only once the whole printout is
// written, as Save As does; until then the file that was there stays as it
// was. A printer or a file that fails gives a message naming it and the
// reason; returns true only when every sheet was printed.
bool printPages(QWidget* parent, UserDialogs& dialogs, QPrinter& printer,
                const quillomat::ConversionState& state);

// Draws the sheets of sheetOrder(DruckSeiten + 1, choices) on device,
// newPage() between two sheets only. Each page's lines are drawn in Helvetica
// 10 (not bold, not italic), starting at x 30, with the first baseline at y 40
// and every further line one font line spacing lower. 30 and 40 are points
// (1/72 inch) from the top left of the device's paint area, so the text sits
// in the same place at any resolution. A page that would run off its sheet
// has its lines moved closer, down to 0.8 of the font's height apart; where
// that is not enough, it is drawn at the largest smaller size, down to 6
// points in quarter points, at which its lines fit across the sheet and down
// it. When a chosen page fits at no such size, nothing is printed and the
// message names the page and what would make every chosen page fit: a larger
// paper size, and the other orientation or the device's smallest margins
// when that alone would, as found by fitting the pages with the device set
// to that layout for a moment. Returns what went wrong, or nothing when every
// sheet was drawn.
std::optional<QString> drawListing(QPagedPaintDevice& device, const quillomat::ConversionState& state,
                                   const PrintChoices& choices = {});

// The lines of a listing page, split at its carriage returns. The carriage
// return that ends the last line starts no further line; an empty page has no
// lines.
QStringList listingPageLines(std::string_view page);
