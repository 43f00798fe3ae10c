#pragma once

// A recording stand-in for the window, and helpers to run the conversion on
// built files.

#include <string>
#include <vector>

#include "bmpfixture.h"
#include "conversion.h"

class RecordingView final : public quillomat::ConversionView {
 public:
  void showMessage(const std::string& text) override {
    messages.push_back(text);
    calls.push_back("message");
  }
  void clearListing() override {
    listingText.clear();
    calls.push_back("clear");
  }
  void showListing(std::span<const std::string> pages) override {
    listingText.clear();
    for (const std::string& page : pages) listingText += page;
    calls.push_back("show");
  }
  void setListingEnabled(bool enabled) override {
    listingEnabled = enabled;
    calls.push_back(enabled ? "enable" : "disable");
  }

  std::vector<std::string> messages;
  std::vector<std::string> calls;
  std::string listingText = "not set";
  bool listingEnabled = false;
};

// Holds a file as the window does after a drop: its bytes and, as Qt would
// decode it, the size of its picture.
inline void holdFile(quillomat::ConversionState& state, const std::vector<std::string>& rows,
                     const BmpOptions& options = {}) {
  state.OutputSharp = makeMonochromeBmp(rows, options);
  state.DecodedPicture = quillomat::PictureSize{
      static_cast<std::int64_t>(rows.empty() ? 0 : rows.front().size()), static_cast<std::int64_t>(rows.size())};
}

// The statements of a conversion, Zeile(1) to Zeile(AnzahlZeilen - 1).
inline std::vector<std::string> statementsOf(const quillomat::ConversionState& state) {
  std::vector<std::string> statements;
  for (std::int64_t k = 1; k < state.AnzahlZeilen; ++k) statements.push_back(state.Zeile(k));
  return statements;
}

inline std::vector<std::string> convert(const std::vector<std::string>& rows, std::int64_t mode,
                                        const BmpOptions& options = {}) {
  quillomat::ConversionState state;
  state.Mode = mode;
  holdFile(state, rows, options);
  RecordingView view;
  quillomat::DoShowGprint(state, view);
  return statementsOf(state);
}

// The lines of a page or listing, each without its carriage return. Text
// after the last carriage return would be an unterminated line; it is
// returned as a last line so that tests see it.
inline std::vector<std::string> linesOf(const std::string& text) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  for (std::size_t end; (end = text.find('\r', start)) != std::string::npos; start = end + 1) {
    lines.push_back(text.substr(start, end - start));
  }
  if (start < text.size()) lines.push_back(text.substr(start) + "<no line end>");
  return lines;
}
