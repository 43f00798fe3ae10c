// Pixel bands, column bytes and the four statement forms, from built files.

#include <gtest/gtest.h>

#include <cstdio>

#include "conversiontesting.h"

using quillomat::SyntaxCursorGprint;
using quillomat::SyntaxData;
using quillomat::SyntaxDefb;
using quillomat::SyntaxGprint;

namespace {

struct StatementCase {
  std::string name;
  std::vector<std::string> rows;
  std::int64_t mode;
  BmpOptions options;
  std::vector<std::string> statements;
};

void PrintTo(const StatementCase& c, std::ostream* os) { *os << c.name; }

std::vector<std::string> leftColumnAndDiagonal() {
  return pixelGrid(8, 8, [](std::size_t x, std::size_t y) { return x == 0 || x == y; });
}

std::vector<std::string> frameTopLeftBottom() {
  return pixelGrid(16, 20, [](std::size_t x, std::size_t y) { return y == 0 || x == 0 || y == 19; });
}

// Pixels 0, 1 and 11 of every row; the file also sets the four spare bits.
std::vector<std::string> twoColumnsAndOne(std::size_t height) {
  return pixelGrid(12, height, [](std::size_t x, std::size_t) { return x == 0 || x == 1 || x == 11; });
}

BmpOptions withSpareBits() {
  BmpOptions options;
  options.spareBitsSet = true;
  return options;
}

const std::vector<StatementCase>& statementCases() {
  static const std::vector<StatementCase> cases = {
      {"GprintOfLeftColumnAndDiagonal", leftColumnAndDiagonal(), SyntaxGprint, {},
       {R"(GPRINT "FF02040810204080")"}},
      {"PlainCursorFormForOneBand", leftColumnAndDiagonal(), SyntaxCursorGprint, {},
       {R"(1 GCURSOR: GPRINT "FF02040810204080")"}},
      {"DataListOfOneBand", leftColumnAndDiagonal(), SyntaxData, {}, {"DATA &FF,&02,&04,&08,&10,&20,&40,&80"}},
      {"DefbListOfOneBand", leftColumnAndDiagonal(), SyntaxDefb, {}, {"DEFB &FF,&02,&04,&08,&10,&20,&40,&80"}},
      {"PositionedCursorFormForThreeBands", frameTopLeftBottom(), SyntaxCursorGprint, {},
       {R"(1 GCURSOR 0,0: GPRINT "FF010101010101010101010101010101")",
        R"(2 GCURSOR 0,8: GPRINT "FF000000000000000000000000000000")",
        R"(3 GCURSOR 0,16: GPRINT "0F080808080808080808080808080808")"}},
      {"DataListsOfThreeBands", frameTopLeftBottom(), SyntaxData, {},
       {"DATA &FF,&01,&01,&01,&01,&01,&01,&01,&01,&01,&01,&01,&01,&01,&01,&01",
        "DATA &FF,&00,&00,&00,&00,&00,&00,&00,&00,&00,&00,&00,&00,&00,&00,&00",
        "DATA &0F,&08,&08,&08,&08,&08,&08,&08,&08,&08,&08,&08,&08,&08,&08,&08"}},
      {"SpareBitsNeverReachAStatement", twoColumnsAndOne(9), SyntaxGprint, withSpareBits(),
       {R"(GPRINT "FFFF000000000000000000FF")", R"(GPRINT "010100000000000000000001")"}},
      {"NineRowsTakeThePositionedCursorForm", twoColumnsAndOne(9), SyntaxCursorGprint, withSpareBits(),
       {R"(1 GCURSOR 0,0: GPRINT "FFFF000000000000000000FF")",
        R"(2 GCURSOR 0,8: GPRINT "010100000000000000000001")"}},
      {"TenRowsWithSpareBitsSet", twoColumnsAndOne(10), SyntaxGprint, withSpareBits(),
       {R"(GPRINT "FFFF000000000000000000FF")", R"(GPRINT "030300000000000000000003")"}},
      {"OnePixelWideGprint", {"X", ".", ".", ".", ".", ".", ".", "X"}, SyntaxGprint, {}, {R"(GPRINT "81")"}},
      {"OnePixelWideDataHasNoComma", {"X", ".", ".", ".", ".", ".", ".", "X"}, SyntaxData, {}, {"DATA &81"}},
      {"ThreeRowsLeaveBlankBits", {"X......X", ".X....X.", "..XXXX.."}, SyntaxGprint, {},
       {R"(GPRINT "0102040404040201")"}},
      {"PatternTwiceSideBySide",
       pixelGrid(16, 8, [](std::size_t x, std::size_t y) { return x % 8 == 0 || x % 8 == y; }), SyntaxGprint, {},
       {R"(GPRINT "FF02040810204080FF02040810204080")"}},
      {"NinthRowGoesToBitZeroOfBandTwo", pixelGrid(8, 9, [](std::size_t, std::size_t) { return true; }),
       SyntaxGprint, {}, {R"(GPRINT "FFFFFFFFFFFFFFFF")", R"(GPRINT "0101010101010101")"}},
      {"BottomRightPixelIsBitSeven", pixelGrid(8, 8, [](std::size_t x, std::size_t y) { return x == 7 && y == 7; }),
       SyntaxGprint, {}, {R"(GPRINT "0000000000000080")"}},
      {"TopLeftPixelIsBitZero", pixelGrid(8, 8, [](std::size_t x, std::size_t y) { return x == 0 && y == 0; }),
       SyntaxGprint, {}, {R"(GPRINT "0100000000000000")"}},
      {"SmallBytesGetTheirLeadingZero", gridOfColumnBytes(4, 1, [](std::size_t x, std::size_t) {
         return std::array<unsigned, 4>{0, 15, 16, 255}[x];
       }),
       SyntaxData, {}, {"DATA &00,&0F,&10,&FF"}},
      {"ModeOutsideTheFormsWritesNothing", twoColumnsAndOne(9), 4, {}, {"", ""}},
  };
  return cases;
}

class StatementForms : public testing::TestWithParam<StatementCase> {};

TEST_P(StatementForms, GiveTheExpectedStatements) {
  const StatementCase& c = GetParam();
  EXPECT_EQ(convert(c.rows, c.mode, c.options), c.statements);
}

INSTANTIATE_TEST_SUITE_P(Examples, StatementForms, testing::ValuesIn(statementCases()),
                         [](const auto& param) { return param.param.name; });

// The length of every form at the widest picture, and the digits that stand
// before the first hex digit in each cursor statement.
TEST(StatementForms, LengthsAtTheWidestPicture) {
  const auto rows = pixelGrid(624, 128, [](std::size_t x, std::size_t y) { return (x * 7 + y * 3) % 5 == 0; });
  for (const auto& statement : convert(rows, SyntaxGprint)) EXPECT_EQ(statement.size(), 1257U);
  for (const auto& statement : convert(rows, SyntaxData)) EXPECT_EQ(statement.size(), 2500U);
  for (const auto& statement : convert(rows, SyntaxDefb)) EXPECT_EQ(statement.size(), 2500U);

  const auto cursor = convert(rows, SyntaxCursorGprint);
  ASSERT_EQ(cursor.size(), 16U);
  for (std::size_t i = 0; i < cursor.size(); ++i) {
    const std::size_t number = i + 1;
    const std::size_t expected = number <= 2 ? 1272 : number <= 9 ? 1273 : number <= 13 ? 1274 : 1275;
    EXPECT_EQ(cursor[i].size(), expected) << "statement " << number;
    EXPECT_EQ(cursor[i].rfind(std::to_string(number) + " GCURSOR 0," + std::to_string(8 * i) + ": GPRINT \"", 0), 0U);
  }
  const auto oneBand = convert(pixelGrid(624, 8, [](std::size_t, std::size_t) { return false; }), SyntaxCursorGprint);
  ASSERT_EQ(oneBand.size(), 1U);
  EXPECT_EQ(oneBand[0].size(), 1268U);
}

// Every byte value, written in blocks and one by one (a width that is not a
// multiple of sixteen), against an independent formatter.
TEST(StatementForms, EveryByteValueGivesItsHexPair) {
  constexpr std::size_t width = 16 * 16 + 7;
  const auto byteAt = [](std::size_t x) { return static_cast<unsigned>((x * 7 + 3) & 0xFF); };
  const auto rows = gridOfColumnBytes(width, 1, [&](std::size_t x, std::size_t) { return byteAt(x); });
  std::string digits;
  std::string items;
  for (std::size_t x = 0; x < width; ++x) {
    char pair[3];
    std::snprintf(pair, sizeof pair, "%02X", byteAt(x));
    digits += pair;
    items += (x == 0 ? "&" : ",&") + std::string(pair);
  }
  EXPECT_EQ(convert(rows, SyntaxGprint), std::vector<std::string>{"GPRINT \"" + digits + "\""});
  EXPECT_EQ(convert(rows, SyntaxCursorGprint),
            std::vector<std::string>{"1 GCURSOR: GPRINT \"" + digits + "\""});
  EXPECT_EQ(convert(rows, SyntaxData), std::vector<std::string>{"DATA " + items});
  EXPECT_EQ(convert(rows, SyntaxDefb), std::vector<std::string>{"DEFB " + items});
}

TEST(StatementForms, NoStatementHoldsALineEnd) {
  const auto rows = pixelGrid(200, 40, [](std::size_t x, std::size_t y) { return (x ^ y) % 3 == 0; });
  for (std::int64_t mode = 0; mode <= 3; ++mode) {
    for (const auto& statement : convert(rows, mode)) {
      EXPECT_EQ(statement.find_first_of("\r\n"), std::string::npos);
    }
  }
}

}  // namespace
