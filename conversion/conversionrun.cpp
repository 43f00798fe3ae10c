#include <span>

#include "bitmapreader.h"
#include "conversion.h"
#include "pixelbands.h"
#include "statementforms.h"

namespace quillomat {

namespace {

// The work arrays of one run, all zero when it starts.
struct WorkArrays {
  WorkArray PackedRows{};
  WorkArray TopDownRows{};
  WorkArray ColumnBytes{};
};

void clearStatements(ConversionState& state) {
  for (std::int64_t k = 1; k <= StateArrayUpperBound; ++k) state.Zeile(k).clear();
}

// One statement per band, top band first, in Zeile(1) onwards; AnzahlZeilen
// ends at the index of the empty statement after the last. A picture of at
// most 8 rows is one band, and its cursor form carries no row.
void convertBands(ConversionState& state, const FileGeometry& geometry, WorkArrays& work) {
  const bool multiBand = geometry.FileHeight > 8;
  const std::int64_t bands = multiBand ? geometry.BandCount : 1;
  const std::int64_t bandStride = 8 * geometry.BytesPerRow;
  state.AnzahlZeilen = 1;
  for (std::int64_t band = 0; band < bands; ++band) {
    GatherBand(work.TopDownRows, geometry, band, work.ColumnBytes);
    const std::span<const std::uint8_t> columns(work.ColumnBytes.data() + band * bandStride,
                                                static_cast<std::size_t>(geometry.FileWidth));
    BuildStatement(state.Zeile(state.AnzahlZeilen), state.Mode, state.AnzahlZeilen, multiBand, columns);
    ++state.AnzahlZeilen;
  }
}

}  // namespace

void DoShowGprint(ConversionState& state, ConversionView& view) {
  WorkArrays work;
  view.clearListing();
  clearStatements(state);

  if (const auto failure = FirstFailedCheck(state)) {
    view.showMessage(std::string(*failure));
    view.clearListing();
    return;
  }
  view.setListingEnabled(true);

  const FileGeometry geometry = ReadGeometry(state.OutputSharp);
  ReadRows(state.OutputSharp, geometry, work.PackedRows, work.TopDownRows);
  convertBands(state, geometry, work);

  view.clearListing();
  DoFormatGprint(state);
  view.showListing(ListingPages(state));
}

}  // namespace quillomat
