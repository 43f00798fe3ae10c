#pragma once

// Listings built by hand for the saving and printing tests.

#include <cstdio>
#include <string>
#include <vector>

#include <QTest>

#include "conversion.h"

namespace listingfixtures {

// A listing whose pages are exactly these (DruckSeiten = pages - 1).
inline quillomat::ConversionState listingOfPages(const std::vector<std::string>& pages) {
  quillomat::ConversionState state;
  for (std::size_t i = 0; i < pages.size(); ++i)
    state.OutPutString(static_cast<std::int64_t>(i)) = pages[i];
  state.DruckSeiten = static_cast<std::int64_t>(pages.size()) - 1;
  return state;
}

inline std::string joined(const std::vector<std::string>& pages) {
  std::string text;
  for (const std::string& page : pages) text += page;
  return text;
}

// A page laid out like a GPRINT listing: statements cut into 78-character
// pieces, each followed by its remainder and an empty line. The first hex
// digits of every line hold its page and line number, so every line differs.
inline std::string gprintPage(int page, int statements) {
  std::string text;
  int line = 0;
  const auto tag = [&] {
    char digits[5];
    std::snprintf(digits, sizeof digits, "%02X%02X", page & 0xFF, line++ & 0xFF);
    return std::string(digits);
  };
  for (int s = 0; s < statements; ++s) {
    const std::string opening = s == 0 ? "1 GCURSOR 0,0: GPRINT \"" : "GPRINT \"";
    text += opening + tag() + std::string(72 - opening.size(), 'F') + "\";\r";
    for (int piece = 0; piece < 2; ++piece) text += "GPRINT \"" + tag() + std::string(64, '0') + "\";\r";
    text += "GPRINT \"" + tag() + "0F0F\"\r";
    text += "\r";
  }
  return text;
}

inline std::vector<std::string> gprintPages(int count) {
  std::vector<std::string> pages;
  for (int p = 0; p < count; ++p) pages.push_back(gprintPage(p, 11));
  return pages;
}

// The rows of a page-count table: one page, three pages, and two pages whose
// last is empty (a listing whose last count closed its page).
inline void addPageCountRows() {
  QTest::addColumn<int>("pageCount");
  QTest::addColumn<bool>("lastPageEmpty");
  QTest::newRow("one page") << 1 << false;
  QTest::newRow("three pages") << 3 << false;
  QTest::newRow("empty last page") << 2 << true;
}

// The GPRINT pages of a page-count row.
inline std::vector<std::string> gprintPagesOfRow(int pageCount, bool lastPageEmpty) {
  std::vector<std::string> pages = gprintPages(pageCount);
  if (lastPageEmpty) pages.back().clear();
  return pages;
}

// A listing of exactly these pages whose element after the last page holds
// text: elements above DruckSeiten are no part of the listing.
inline quillomat::ConversionState listingWithTextPastItsEnd(const std::vector<std::string>& pages) {
  quillomat::ConversionState state = listingOfPages(pages);
  state.OutPutString(state.DruckSeiten + 1) = "NOT IN THE LISTING\r";
  return state;
}

// One statement, with its page laid out as the engine lays it out, and two
// stale pages from an earlier, longer listing. Rebuilding the pages leaves
// page 0 alone and drops the stale ones.
inline quillomat::ConversionState oneStatementListing() {
  quillomat::ConversionState state;
  state.Mode = quillomat::SyntaxGprint;
  state.Zeile(1) = "GPRINT \"FF02040810204080\"";
  state.AnzahlZeilen = 2;
  state.OutPutString(0) = "GPRINT \"FF02040810204080\"\r\r\r\r";
  state.OutPutString(1) = "STALE PAGE 1\r";
  state.OutPutString(2) = "STALE PAGE 2\r";
  state.DruckSeiten = 2;
  return state;
}

inline const std::string OneStatementPage = "GPRINT \"FF02040810204080\"\r\r\r\r";

}  // namespace listingfixtures
