// The checks of a held file, their order and what a failed check leaves.

#include <gtest/gtest.h>

#include <functional>

#include "bitmapreader.h"
#include "conversiontesting.h"

using quillomat::BitCountMessage;
using quillomat::PictureSize;
using quillomat::TooLargeMessage;

namespace {

const std::vector<std::string> smallPicture = {"X.......X", ".X.....X.", "..X...X.."};

struct CheckCase {
  std::string name;
  std::function<void(quillomat::ConversionState&)> arrange;
  std::string message;  // empty: the file converts
};

void PrintTo(const CheckCase& c, std::ostream* os) { *os << c.name; }

void holdSmallPicture(quillomat::ConversionState& state) { holdFile(state, smallPicture); }

void setByte(std::string& file, std::size_t at, unsigned value) { file[at] = static_cast<char>(value); }

const std::vector<CheckCase>& checkCases() {
  static const std::vector<CheckCase> cases = {
      {"ValidFileConverts", holdSmallPicture, ""},
      {"EmptyFileHasNoBitCount",
       [](auto& s) {
         holdSmallPicture(s);
         s.OutputSharp.clear();
       },
       std::string(BitCountMessage)},
      {"FileEndingBeforeTheBitCount",
       [](auto& s) {
         holdSmallPicture(s);
         s.OutputSharp.resize(28);
       },
       std::string(BitCountMessage)},
      {"TwentyFourBitFile",
       [](auto& s) {
         holdSmallPicture(s);
         setByte(s.OutputSharp, 28, 24);
       },
       std::string(BitCountMessage)},
      {"UpperBitCountByteIsNotRead",
       [](auto& s) {
         holdSmallPicture(s);
         setByte(s.OutputSharp, 29, 7);
       },
       ""},
      {"NoDecodedPicture",
       [](auto& s) {
         holdSmallPicture(s);
         s.DecodedPicture.reset();
       },
       std::string(BitCountMessage)},
      {"BitCountIsCheckedBeforeTheSize",
       [](auto& s) {
         holdSmallPicture(s);
         setByte(s.OutputSharp, 28, 24);
         s.DecodedPicture = PictureSize{640, 480};
       },
       std::string(BitCountMessage)},
      {"DecodedWidth625", [](auto& s) {
         holdFile(s, pixelGrid(625, 1, [](auto, auto) { return false; }));
       }, std::string(TooLargeMessage)},
      {"DecodedHeight129", [](auto& s) {
         holdFile(s, pixelGrid(1, 129, [](auto, auto) { return false; }));
       }, std::string(TooLargeMessage)},
      {"LargestPicturePasses", [](auto& s) {
         holdFile(s, pixelGrid(624, 128, [](auto, auto) { return true; }));
       }, ""},
      {"TooWideAndTooHighGivesOneMessage",
       [](auto& s) {
         holdSmallPicture(s);
         s.DecodedPicture = PictureSize{700, 200};
       },
       std::string(TooLargeMessage)},
      {"HeaderWidthBeyondTheLimit",
       [](auto& s) {
         holdSmallPicture(s);
         setByte(s.OutputSharp, 19, 3);  // 9 + 768
       },
       std::string(BitCountMessage)},
      {"TopDownFileReadsAsHugeHeight",
       [](auto& s) {
         BmpOptions topDown;
         topDown.topDown = true;
         holdFile(s, smallPicture, topDown);
       },
       std::string(BitCountMessage)},
      {"HeaderSizeUnlikeDecodedSize",
       [](auto& s) {
         holdSmallPicture(s);
         s.DecodedPicture = PictureSize{9, 2};
       },
       std::string(BitCountMessage)},
      {"PixelDataOffsetInsideTheHeader",
       [](auto& s) {
         holdSmallPicture(s);
         setByte(s.OutputSharp, 10, 61);
       },
       std::string(BitCountMessage)},
      {"PixelDataOffsetPastTheEnd",
       [](auto& s) {
         holdSmallPicture(s);
         setByte(s.OutputSharp, 13, 0x80);
       },
       std::string(BitCountMessage)},
      {"LastStoredRowOneByteShort",
       [](auto& s) {
         holdSmallPicture(s);
         s.OutputSharp.pop_back();
       },
       std::string(BitCountMessage)},
  };
  return cases;
}

class FileChecks : public testing::TestWithParam<CheckCase> {};

TEST_P(FileChecks, ShowOnlyTheFirstFailuresMessage) {
  const CheckCase& c = GetParam();
  quillomat::ConversionState state;
  c.arrange(state);
  RecordingView view;
  quillomat::DoShowGprint(state, view);
  if (c.message.empty()) {
    EXPECT_TRUE(view.messages.empty());
    EXPECT_TRUE(view.listingEnabled);
    EXPECT_FALSE(view.listingText.empty());
  } else {
    EXPECT_EQ(view.messages, std::vector<std::string>{c.message});
    EXPECT_EQ(view.calls, (std::vector<std::string>{"clear", "message", "clear"}));
    EXPECT_EQ(view.listingText, "");
  }
}

INSTANTIATE_TEST_SUITE_P(Cases, FileChecks, testing::ValuesIn(checkCases()),
                         [](const auto& param) { return param.param.name; });

TEST(FileChecks, BitCountMessageHasTwoLines) {
  EXPECT_EQ(std::string(BitCountMessage),
            std::string("Incorrect image format !") + std::string(quillomat::EndOfLine) +
                "Use color depth 1 Bit Monochrome");
}

// A failed check empties the statements but keeps the last listing, which
// nothing shows while the text area is empty.
TEST(FileChecks, FailureAfterSuccessKeepsTheOldListing) {
  quillomat::ConversionState state;
  holdFile(state, pixelGrid(40, 20, [](auto x, auto y) { return x == y; }));
  RecordingView view;
  quillomat::DoShowGprint(state, view);
  const auto pages = state.OutPutString;
  const auto lastPage = state.DruckSeiten;
  ASSERT_EQ(state.AnzahlZeilen, 4);

  setByte(state.OutputSharp, 28, 8);
  RecordingView failed;
  quillomat::DoShowGprint(state, failed);
  EXPECT_EQ(failed.listingText, "");
  for (std::int64_t k = 1; k <= 20; ++k) EXPECT_EQ(state.Zeile(k), "") << k;
  EXPECT_EQ(state.AnzahlZeilen, 4);
  EXPECT_EQ(state.DruckSeiten, lastPage);
  EXPECT_EQ(state.OutPutString, pages);
}

struct Variant {
  std::string name;
  BmpOptions options;
};

void PrintTo(const Variant& v, std::ostream* os) { *os << v.name; }

class FileLayoutVariants : public testing::TestWithParam<Variant> {};

// Files that store the same pixels differently convert alike: extra bytes at
// the end, another palette, a longer information header (pixels read from the
// offset the header gives).
TEST_P(FileLayoutVariants, ConvertLikeThePlainFile) {
  const auto rows = pixelGrid(21, 11, [](auto x, auto y) { return (x + 2 * y) % 3 == 0; });
  for (std::int64_t mode = 0; mode <= 3; ++mode) {
    EXPECT_EQ(convert(rows, mode, GetParam().options), convert(rows, mode)) << "mode " << mode;
  }
  EXPECT_EQ(convert(rows, 0)[1], R"(GPRINT "020401020401020401020401020401020401020401")");
}

INSTANTIATE_TEST_SUITE_P(Cases, FileLayoutVariants,
                         testing::Values(Variant{"TwoExtraBytes", {.trailingBytes = 2}},
                                         Variant{"InvertedPalette", {.palette = {0, 0x00FFFFFF}}},
                                         Variant{"V4InfoHeader", {.infoHeaderSize = 108}},
                                         Variant{"V5InfoHeader", {.infoHeaderSize = 124}}),
                         [](const auto& param) { return param.param.name; });

TEST(FileGeometry, RowStrideRoundsBytesUpToWholeWords) {
  struct Row {
    int width;
    std::int64_t bytesPerRow;
    std::int64_t stride;
  };
  for (const Row row : {Row{1, 1, 4}, Row{8, 1, 4}, Row{9, 2, 4}, Row{32, 4, 4}, Row{33, 5, 8}, Row{64, 8, 8},
                        Row{609, 77, 80}, Row{624, 78, 80}}) {
    const auto file = makeMonochromeBmp(pixelGrid(static_cast<std::size_t>(row.width), 1, [](auto, auto) { return false; }));
    const auto geometry = quillomat::ReadGeometry(file);
    EXPECT_EQ(geometry.BytesPerRow, row.bytesPerRow) << row.width;
    EXPECT_EQ(geometry.RowStride, row.stride) << row.width;
  }
}

TEST(FileGeometry, RowsAreLaidOutTopRowFirst) {
  // 20 x 3: three bytes a row and one of padding.
  const std::vector<std::string> rows = {"XXXXXXXX........X...", "X.......X.......XX..", "........XXXXXXXXXXX."};
  const auto file = makeMonochromeBmp(rows);
  const auto geometry = quillomat::ReadGeometry(file);
  quillomat::WorkArray packed{}, topDown{};
  quillomat::ReadRows(file, geometry, packed, topDown);
  const std::vector<int> expectedPacked = {0x00, 0xFF, 0xE0, 0x80, 0x80, 0xC0, 0xFF, 0x00, 0x80};
  const std::vector<int> expectedTopDown = {0xFF, 0x00, 0x80, 0x80, 0x80, 0xC0, 0x00, 0xFF, 0xE0};
  for (std::size_t i = 0; i < 9; ++i) {
    EXPECT_EQ(packed[i + 1], expectedPacked[i]) << i;
    EXPECT_EQ(topDown[i + 1], expectedTopDown[i]) << i;
  }
  EXPECT_EQ(topDown[0], 0);
  EXPECT_EQ(topDown[10], 0);
}

}  // namespace
