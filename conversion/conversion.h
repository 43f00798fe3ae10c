#pragma once

// The conversion engine: a held 1-bit BMP file becomes the paged listing.
// It links no Qt; the window reaches it through ConversionState and
// ConversionView.

#include <span>
#include <string>

#include "conversionstate.h"
#include "conversionview.h"

namespace quillomat {

// Converts the held file (state.OutputSharp, state.DecodedPicture) into one
// statement per band of 8 pixel rows in the form state.Mode selects, lays
// them out as the listing and shows it in the view.
//
// A file that fails a check shows one message (the bit-count message,
// "Image too large !" or the damaged-file message; see FirstFailedCheck),
// leaves the text area and Zeile(1..20) empty and keeps AnzahlZeilen,
// OutPutString and DruckSeiten as they were.
void DoShowGprint(ConversionState& state, ConversionView& view);

// Lays Zeile(1..AnzahlZeilen) out as pages 0..DruckSeiten of OutPutString,
// per state.Mode. Reads nothing else and writes nothing else, so calling it
// again gives the same pages. An AnzahlZeilen above 20 or a listing of more
// than 21 pages throws std::out_of_range.
void DoFormatGprint(ConversionState& state);

// Pages 0 to DruckSeiten joined with nothing between them: the text that is
// shown, saved and printed.
std::string ListingText(const ConversionState& state);

// Pages 0 to DruckSeiten of OutPutString.
std::span<const std::string> ListingPages(const ConversionState& state);

}  // namespace quillomat
