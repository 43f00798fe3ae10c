#include "conversion.h"

namespace quillomat {

void DoShowGprint(ConversionState&, ConversionView& view) { view.setListingText(""); }

void DoFormatGprint(ConversionState& state) { state.DruckSeiten = 0; }

std::string ListingText(const ConversionState& state) {
  std::string text;
  for (std::int64_t i = 0; i <= state.DruckSeiten; ++i) text += state.OutPutString(i);
  return text;
}

}  // namespace quillomat
