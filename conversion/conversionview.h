#pragma once

#include <span>
#include <string>

namespace quillomat {

// What the conversion needs of the window: a modal message and the text area.
class ConversionView {
 public:
  virtual ~ConversionView() = default;

  // Shows text in a modal message box; returns once the user has closed it.
  virtual void showMessage(const std::string& text) = 0;
  // Empties the text area.
  virtual void clearListing() = 0;
  // Shows the listing in the text area: the pages joined in order, with
  // nothing between them; every line ends with a lone '\r'.
  virtual void showListing(std::span<const std::string> pages) = 0;
  virtual void setListingEnabled(bool enabled) = 0;

 protected:
  ConversionView() = default;
  ConversionView(const ConversionView&) = default;
  ConversionView& operator=(const ConversionView&) = default;
};

}  // namespace quillomat
