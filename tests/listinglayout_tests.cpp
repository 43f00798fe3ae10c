// Cutting statements into listing lines and the lines into pages.

#include <gtest/gtest.h>

#include <numeric>

#include "conversiontesting.h"

using quillomat::SyntaxCursorGprint;
using quillomat::SyntaxData;
using quillomat::SyntaxDefb;
using quillomat::SyntaxGprint;

namespace {

struct Converted {
  quillomat::ConversionState state;
  RecordingView view;
};

Converted convertFile(const std::vector<std::string>& rows, std::int64_t mode) {
  Converted result;
  result.state.Mode = mode;
  holdFile(result.state, rows);
  quillomat::DoShowGprint(result.state, result.view);
  return result;
}

std::vector<std::string> listingLines(const quillomat::ConversionState& state) {
  return linesOf(quillomat::ListingText(state));
}

std::vector<std::size_t> pageLineCounts(const quillomat::ConversionState& state) {
  std::vector<std::size_t> counts;
  for (std::int64_t i = 0; i <= state.DruckSeiten; ++i) counts.push_back(linesOf(state.OutPutString(i)).size());
  return counts;
}

// One band whose column x holds the byte first + x.
std::vector<std::string> countingColumns(std::size_t width, unsigned first = 0, std::size_t bands = 1,
                                         unsigned bandStep = 0) {
  return gridOfColumnBytes(width, bands, [=](std::size_t x, std::size_t band) {
    return (first + bandStep * band + x) & 0xFFU;
  });
}

std::vector<std::string> withThreeEmptyLines(std::vector<std::string> lines) {
  lines.insert(lines.end(), 3, "");
  return lines;
}

struct GprintCut {
  std::string name;
  std::size_t width;
  std::vector<std::string> lines;  // without the three empty lines at the end
};

void PrintTo(const GprintCut& c, std::ostream* os) { *os << c.name; }

class GprintCuts : public testing::TestWithParam<GprintCut> {};

// A GPRINT line longer than 76 characters is cut after 76: the piece gets
// its closing quote and a semicolon, the rest goes on after "GPRINT" and a
// quote, even when nothing but the closing quote is left.
TEST_P(GprintCuts, AroundTheCut) {
  const auto run = convertFile(countingColumns(GetParam().width), SyntaxGprint);
  EXPECT_EQ(listingLines(run.state), withThreeEmptyLines(GetParam().lines));
  EXPECT_EQ(run.state.DruckSeiten, 0);
}

const std::string CutAt76 = R"(GPRINT "000102030405060708090A0B0C0D0E0F101112131415161718191A1B1C1D1E1F2021";)";

INSTANTIATE_TEST_SUITE_P(
    Widths, GprintCuts,
    testing::Values(
        GprintCut{"ThirtyThreeColumnsFitOnOneLine",
                  33,
                  {R"(GPRINT "000102030405060708090A0B0C0D0E0F101112131415161718191A1B1C1D1E1F20")"}},
        GprintCut{"OneCharacterOverTheCutLeavesTheQuoteAlone", 34, {CutAt76, R"(GPRINT "")"}},
        GprintCut{"OneColumnPastTheCut", 35, {CutAt76, R"(GPRINT "22")"}},
        GprintCut{"SixColumnsPastTheCut", 40, {CutAt76, R"(GPRINT "222324252627")"}}),
    [](const auto& param) { return param.param.name; });

TEST(StringLayout, CursorStatementsFromTheThirdAreCutAt77) {
  const auto run = convertFile(countingColumns(30, 16, 3, 16), SyntaxCursorGprint);
  EXPECT_EQ(listingLines(run.state),
            withThreeEmptyLines({R"(1 GCURSOR 0,0: GPRINT "101112131415161718191A1B1C1D1E1F202122232425262728292";)",
                                 R"(GPRINT "A2B2C2D")", "",
                                 R"(2 GCURSOR 0,8: GPRINT "202122232425262728292A2B2C2D2E2F303132333435363738393";)",
                                 R"(GPRINT "A3B3C3D")", "",
                                 R"(3 GCURSOR 0,16: GPRINT "303132333435363738393A3B3C3D3E3F404142434445464748494";)",
                                 R"(GPRINT "A4B4C4D")"}));
}

TEST(StringLayout, CursorStatementsAtTheirCutWidths) {
  const auto run = convertFile(countingColumns(26, 0, 16, 0), SyntaxCursorGprint);
  const auto lines = listingLines(run.state);
  std::vector<std::vector<std::string>> statements(1);
  for (const auto& line : lines) {
    if (line.empty()) {
      if (!statements.back().empty()) statements.emplace_back();
    } else {
      statements.back().push_back(line);
    }
  }
  statements.pop_back();
  ASSERT_EQ(statements.size(), 16U);
  for (std::size_t i = 0; i < 9; ++i) {
    ASSERT_EQ(statements[i].size(), 1U) << i;
    EXPECT_EQ(statements[i][0].size(), i < 2 ? 76U : 77U) << i;
  }
  for (std::size_t i = 9; i < 13; ++i) {
    ASSERT_EQ(statements[i].size(), 2U) << i;
    EXPECT_EQ(statements[i][0].size(), 79U);
    EXPECT_EQ(statements[i][1], R"(GPRINT "")");
  }
  for (std::size_t i = 13; i < 16; ++i) {
    ASSERT_EQ(statements[i].size(), 2U) << i;
    EXPECT_EQ(statements[i][0].substr(76), "1\";");  // the last byte is 19
    EXPECT_EQ(statements[i][1], R"(GPRINT "9")");
  }
}

TEST(DataLayout, ListIsCutBetweenItemsAndDropsTheComma) {
  const auto run = convertFile(gridOfColumnBytes(40, 1, [](std::size_t x, std::size_t) { return (x / 10) * 16 + x % 10; }),
                               SyntaxData);
  EXPECT_EQ(listingLines(run.state),
            withThreeEmptyLines({"DATA &00,&01,&02,&03,&04,&05,&06,&07,&08,&09,&10,&11,&12,&13,&14,&15,&16,&17",
                                 "DATA &18,&19,&20,&21,&22,&23,&24,&25,&26,&27,&28,&29,&30,&31,&32,&33,&34,&35",
                                 "DATA &36,&37,&38,&39"}));
  EXPECT_EQ(run.state.DruckSeiten, 0);
}

TEST(DataLayout, ItemCountsAroundTheCut) {
  struct Row {
    std::size_t items;
    std::vector<std::size_t> lineLengths;  // lines of the statement, without its separator
  };
  for (const Row& row : {Row{18, {76}}, Row{19, {76, 8}}, Row{36, {76, 76}}, Row{37, {76, 76, 8}},
                         Row{624, std::vector<std::size_t>(34, 76)}}) {
    auto expected = row.lineLengths;
    if (row.items == 624) expected.push_back(52);
    const auto lines = listingLines(convertFile(countingColumns(row.items), SyntaxData).state);
    ASSERT_EQ(lines.size(), expected.size() + 3) << row.items;
    for (std::size_t i = 0; i < expected.size(); ++i) {
      EXPECT_EQ(lines[i].size(), expected[i]) << row.items << " items, line " << i;
      EXPECT_NE(lines[i].back(), ',');
      EXPECT_EQ(lines[i].rfind("DATA &", 0), 0U);
    }
  }
}

TEST(DataLayout, DefbIsDataWithAnotherKeyword) {
  const auto rows = pixelGrid(100, 50, [](std::size_t x, std::size_t y) { return (x * y) % 7 == 1; });
  const auto data = convertFile(rows, SyntaxData);
  const auto defb = convertFile(rows, SyntaxDefb);
  ASSERT_EQ(data.state.DruckSeiten, defb.state.DruckSeiten);
  for (std::int64_t page = 0; page <= data.state.DruckSeiten; ++page) {
    const auto dataLines = linesOf(data.state.OutPutString(page));
    const auto defbLines = linesOf(defb.state.OutPutString(page));
    ASSERT_EQ(dataLines.size(), defbLines.size());
    for (std::size_t i = 0; i < dataLines.size(); ++i) {
      auto line = dataLines[i];
      if (!line.empty()) line.replace(0, 4, "DEFB");
      EXPECT_EQ(defbLines[i], line);
    }
  }
}

struct PagingCase {
  std::string name;
  std::size_t width;
  std::size_t height;
  std::int64_t mode;
  std::vector<std::size_t> pageLines;
};

void PrintTo(const PagingCase& c, std::ostream* os) { *os << c.name; }

class Paging : public testing::TestWithParam<PagingCase> {};

TEST_P(Paging, PagesBreakWhereTheCountReaches54) {
  const PagingCase& c = GetParam();
  const auto rows = pixelGrid(c.width, c.height, [](std::size_t x, std::size_t y) { return (x + y) % 2 == 0; });
  const auto run = convertFile(rows, c.mode);
  EXPECT_EQ(pageLineCounts(run.state), c.pageLines);
  EXPECT_EQ(run.state.DruckSeiten, static_cast<std::int64_t>(c.pageLines.size()) - 1);
  for (std::int64_t i = run.state.DruckSeiten + 1; i <= 20; ++i) EXPECT_EQ(run.state.OutPutString(i), "");
}

INSTANTIATE_TEST_SUITE_P(
    Examples, Paging,
    testing::Values(PagingCase{"GprintWidestPicture", 624, 128, SyntaxGprint, {55, 57, 57, 57, 57, 39}},
                    PagingCase{"CursorWidestPictureBreaksAlike", 624, 128, SyntaxCursorGprint, {55, 57, 57, 57, 57, 39}},
                    PagingCase{"GprintEndsWithEmptyPage", 408, 32, SyntaxGprint, {58, 0}},
                    PagingCase{"DataOf160Columns", 160, 128, SyntaxData, {60, 60, 42}},
                    PagingCase{"DataWidestPicture", 624, 128, SyntaxData, {54, 56, 55, 56, 55, 56, 55, 56, 55, 56, 24}},
                    PagingCase{"DefbWidestPicture", 624, 128, SyntaxDefb, {54, 56, 55, 56, 55, 56, 55, 56, 55, 56, 24}},
                    PagingCase{"DataEndsWithEmptyPage", 55, 104, SyntaxData, {67, 0}},
                    PagingCase{"DataOf40ColumnsFitsOnePage", 40, 128, SyntaxData, {66}},
                    PagingCase{"UncutDataFitsOnePage", 18, 128, SyntaxData, {34}}),
    [](const auto& param) { return param.param.name; });

TEST(Paging, CutPieceCounted54thOpensTheNextPage) {
  const auto run = convertFile(pixelGrid(624, 128, [](auto, auto) { return true; }), SyntaxGprint);
  const auto page0 = linesOf(run.state.OutPutString(0));
  const auto page1 = linesOf(run.state.OutPutString(1));
  EXPECT_EQ(page0.back().size(), 78U);
  EXPECT_EQ(page1.front().size(), 78U);
  EXPECT_EQ(page1.front().rfind("GPRINT \"", 0), 0U);
}

TEST(Format, EveryListingEndsWithThreeEmptyLinesAndLoneCarriageReturns) {
  const auto rows = pixelGrid(77, 17, [](std::size_t x, std::size_t y) { return x % (y + 1) == 0; });
  for (std::int64_t mode = 0; mode <= 3; ++mode) {
    const auto run = convertFile(rows, mode);
    const auto text = quillomat::ListingText(run.state);
    EXPECT_EQ(text.find('\n'), std::string::npos);
    // The last statement's line end, then three empty lines.
    ASSERT_GE(text.size(), 5U);
    EXPECT_NE(text[text.size() - 5], '\r');
    EXPECT_EQ(text.substr(text.size() - 4), "\r\r\r\r");
    EXPECT_EQ(run.view.listingText, text);
  }
}

TEST(Format, IsRepeatableAndLeavesTheStatementsAlone) {
  auto run = convertFile(pixelGrid(300, 90, [](std::size_t x, std::size_t y) { return (x * 3 + y) % 4 == 0; }),
                         SyntaxCursorGprint);
  const auto statements = run.state.Zeile;
  const auto count = run.state.AnzahlZeilen;
  const auto pages = run.state.OutPutString;
  const auto lastPage = run.state.DruckSeiten;
  quillomat::DoFormatGprint(run.state);
  quillomat::DoFormatGprint(run.state);
  EXPECT_EQ(run.state.OutPutString, pages);
  EXPECT_EQ(run.state.DruckSeiten, lastPage);
  EXPECT_EQ(run.state.Zeile, statements);
  EXPECT_EQ(run.state.AnzahlZeilen, count);
}

TEST(Format, NoStatementsOrAnUnknownModeLayOutNothing) {
  auto run = convertFile(pixelGrid(624, 128, [](auto, auto) { return true; }), SyntaxData);
  ASSERT_GT(run.state.DruckSeiten, 0);
  const auto statements = run.state.Zeile;

  run.state.Mode = 9;
  quillomat::DoFormatGprint(run.state);
  EXPECT_EQ(run.state.DruckSeiten, 0);
  for (const auto& page : run.state.OutPutString) EXPECT_EQ(page, "");
  EXPECT_EQ(run.state.Zeile, statements);

  run.state.Mode = SyntaxData;
  run.state.AnzahlZeilen = 0;
  quillomat::DoFormatGprint(run.state);
  EXPECT_EQ(run.state.DruckSeiten, 0);
  for (const auto& page : run.state.OutPutString) EXPECT_EQ(page, "");
}

TEST(Format, CountPastTheStatementsThrowsWithEmptyPages) {
  auto run = convertFile(pixelGrid(8, 8, [](auto, auto) { return true; }), SyntaxGprint);
  run.state.AnzahlZeilen = 21;
  EXPECT_THROW(quillomat::DoFormatGprint(run.state), std::out_of_range);
  for (const auto& page : run.state.OutPutString) EXPECT_EQ(page, "");
}

TEST(Format, ShorterListingAfterALongerOneLeavesNoOldPages) {
  quillomat::ConversionState state;
  RecordingView view;
  holdFile(state, pixelGrid(624, 128, [](auto, auto) { return true; }));
  quillomat::DoShowGprint(state, view);
  ASSERT_EQ(state.DruckSeiten, 5);
  holdFile(state, pixelGrid(10, 5, [](auto, auto) { return true; }));
  quillomat::DoShowGprint(state, view);
  EXPECT_EQ(state.DruckSeiten, 0);
  EXPECT_EQ(state.AnzahlZeilen, 2);
  for (std::int64_t k = 2; k <= 20; ++k) EXPECT_EQ(state.Zeile(k), "") << k;
  for (std::int64_t i = 1; i <= 20; ++i) EXPECT_EQ(state.OutPutString(i), "") << i;
  EXPECT_EQ(view.listingText, "GPRINT \"1F1F1F1F1F1F1F1F1F1F\"\r\r\r\r");
}

}  // namespace
