#include <array>
#include <cstring>
#include <string_view>

#include "conversion.h"

namespace quillomat {

namespace {

// A short fixed text in front of or behind a line's body, kept in a padded
// array so that it is copied with one fixed-size move.
struct Affix {
  std::array<char, 8> text{};
  std::size_t size = 0;

  constexpr Affix() = default;
  constexpr explicit Affix(std::string_view value) : size(value.size()) {
    for (std::size_t i = 0; i < value.size(); ++i) text[i] = value[i];
  }
};

constexpr Affix GprintContinuationPrefix("GPRINT \"");
constexpr Affix ContinuationMarker("\";");
constexpr Affix DataPrefix("DATA ");
constexpr Affix DefbPrefix("DEFB ");

// Copies a line's body with fixed-size moves, which the compiler keeps
// inline; a call to memcpy for every line costs more than the copy itself.
void copyBody(char* out, std::string_view body) {
  const char* in = body.data();
  const std::size_t n = body.size();
  if (n >= 16) {
    for (std::size_t i = 0; i + 16 <= n; i += 16) std::memcpy(out + i, in + i, 16);
    std::memcpy(out + n - 16, in + n - 16, 16);
  } else if (n >= 8) {
    std::memcpy(out, in, 8);
    std::memcpy(out + n - 8, in + n - 8, 8);
  } else {
    for (std::size_t i = 0; i < n; ++i) out[i] = in[i];
  }
}

// The current page and its line counter. Lines are gathered in a buffer and
// written to the page in large pieces: a listing has hundreds of short lines.
class PageWriter {
 public:
  explicit PageWriter(ConversionState& state) : state_(state) {}

  // Adds prefix, body, suffix and a line end to the current page. No
  // listing line is longer than 80 characters.
  void appendLine(std::string_view body, const Affix& prefix = {}, const Affix& suffix = {}) {
    (void)state_.OutPutString(state_.DruckSeiten);  // a page past the last one fails here
    // Affixes are copied whole, past their end; the slack keeps that inside.
    if (used_ + body.size() + 2 * sizeof(Affix::text) + 1 > buffer_.size()) flush();
    char* out = buffer_.data() + used_;
    std::memcpy(out, prefix.text.data(), sizeof prefix.text);
    out += prefix.size;
    copyBody(out, body);
    out += body.size();
    std::memcpy(out, suffix.text.data(), sizeof suffix.text);
    out += suffix.size;
    *out++ = ListingLineEnd;
    used_ = static_cast<std::size_t>(out - buffer_.data());
  }

  // A page ends when its 54th line is counted; whatever comes next, even
  // nothing, goes to the next page.
  void countLine() {
    if (++pageLineCount_ == LinesPerPage) {
      flush();
      ++state_.DruckSeiten;
      pageLineCount_ = 0;
    }
  }

  // Writes what is gathered to the current page.
  void flush() {
    if (used_ == 0) return;
    state_.OutPutString(state_.DruckSeiten).append(buffer_.data(), used_);
    used_ = 0;
  }

 private:
  ConversionState& state_;
  std::int64_t pageLineCount_ = 0;
  std::array<char, 8192> buffer_;
  std::size_t used_ = 0;
};

// The statements are cut by position rather than in a working copy that is
// shortened after every cut; the lines are the same, without the copying.

// A string statement too long for its line is cut every cutWidth characters;
// each piece closes its string with '";' and the rest goes on after the
// prefix 'GPRINT "'. The pieces are counted before they are written, the
// last line of the statement never.
void layOutStringStatement(PageWriter& pages, std::string_view statement, std::size_t cutWidth) {
  if (statement.size() <= cutWidth) {
    pages.appendLine(statement);
    pages.countLine();
    return;
  }
  pages.countLine();
  pages.appendLine(statement.substr(0, cutWidth), {}, ContinuationMarker);
  std::string_view rest = statement.substr(cutWidth);
  const std::size_t restPerLine = cutWidth - GprintContinuationPrefix.size;
  while (GprintContinuationPrefix.size + rest.size() > cutWidth) {
    pages.countLine();
    pages.appendLine(rest.substr(0, restPerLine), GprintContinuationPrefix, ContinuationMarker);
    rest = rest.substr(restPerLine);
  }
  pages.appendLine(rest, GprintContinuationPrefix);
}

// A data list is cut after 76 characters, which is always after an item; the
// comma that follows is dropped and the rest goes on after the keyword.
void layOutDataStatement(PageWriter& pages, std::string_view statement, const Affix& prefix) {
  const auto cutWidth = static_cast<std::size_t>(MaxLineLength);
  if (statement.size() <= cutWidth) {
    pages.appendLine(statement);
    pages.countLine();
    return;
  }
  pages.countLine();
  pages.appendLine(statement.substr(0, cutWidth));
  std::string_view rest = statement.substr(cutWidth + 1);
  const std::size_t restPerLine = cutWidth - prefix.size;
  while (prefix.size + rest.size() > cutWidth) {
    pages.countLine();
    pages.appendLine(rest.substr(0, restPerLine), prefix);
    rest = rest.substr(restPerLine + 1);
  }
  pages.appendLine(rest, prefix);
}

std::size_t stringCutWidth(std::int64_t mode, std::int64_t statementIndex) {
  const std::int64_t extra = (mode == SyntaxCursorGprint && statementIndex >= 3) ? 1 : 0;
  return static_cast<std::size_t>(MaxLineLength + extra);
}

}  // namespace

void DoFormatGprint(ConversionState& state) {
  state.DruckSeiten = 0;
  for (std::string& page : state.OutPutString) page.clear();
  // Every statement is taken before anything is laid out, so a count past
  // Zeile's upper bound fails here, with all pages empty.
  for (std::int64_t k = 1; k <= state.AnzahlZeilen; ++k) (void)state.Zeile(k);

  const std::int64_t mode = state.Mode;
  if (mode < SyntaxGprint || mode > SyntaxDefb) return;

  PageWriter pages(state);
  for (std::int64_t k = 1; k <= state.AnzahlZeilen; ++k) {
    const std::string& statement = state.Zeile(k);
    if (mode == SyntaxGprint || mode == SyntaxCursorGprint) {
      layOutStringStatement(pages, statement, stringCutWidth(mode, k));
    } else {
      layOutDataStatement(pages, statement, mode == SyntaxData ? DataPrefix : DefbPrefix);
    }
    pages.appendLine({});
    pages.countLine();
  }
  pages.flush();
}

std::span<const std::string> ListingPages(const ConversionState& state) {
  const std::string& last = state.OutPutString(state.DruckSeiten);  // a page past the array fails here
  return {&state.OutPutString(0), &last + 1};
}

std::string ListingText(const ConversionState& state) {
  const std::span<const std::string> pages = ListingPages(state);
  std::size_t length = 0;
  for (const std::string& page : pages) length += page.size();
  std::string text;
  text.reserve(length);
  for (const std::string& page : pages) text += page;
  return text;
}

}  // namespace quillomat
