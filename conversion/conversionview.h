#pragma once

#include <string>

namespace quillomat {

// What the conversion needs of the window: a modal message and the text area.
class ConversionView {
 public:
  virtual ~ConversionView() = default;

  // Shows text in a modal message box; returns once the user has closed it.
  virtual void showMessage(const std::string& text) = 0;
  // Replaces the text area's text; lines in text end with a lone '\r'.
  virtual void setListingText(const std::string& text) = 0;
  virtual void setListingEnabled(bool enabled) = 0;

 protected:
  ConversionView() = default;
  ConversionView(const ConversionView&) = default;
  ConversionView& operator=(const ConversionView&) = default;
};

}  // namespace quillomat
