// The checks of a held file, their order and what a failed check leaves.

#include <gtest/gtest.h>

#include <functional>

#include "bitmapreader.h"
#include "headerlayout.h"
#include "conversiontesting.h"

using quillomat::BitCountMessage;
using quillomat::DamagedMessage;
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

// A 1-bit file whose header gives width x height over a picture of 1 x 1:
// what is held of a file too large for Qt, or too large to be read whole.
void holdHeaderOf(quillomat::ConversionState& state, std::int32_t width, std::int32_t height) {
  state.OutputSharp = makeMonochromeBmp({"X"}, {.headerWidth = width, .headerHeight = height});
  state.DecodedPicture.reset();
}

// The start of a 100 x 20 PNG, interlaced: its interlace byte lies at 28.
std::string interlacedPngStart() {
  return std::string("\x89PNG\r\n\x1a\n\0\0\0\x0dIHDR\0\0\0\x64\0\0\0\x14\x01\0\0\0\x01", 29) +
         std::string(40, '\0');
}

// A 1-bit file with an information header of that size.
void holdWithHeaderSize(quillomat::ConversionState& state, std::uint32_t size) {
  holdFile(state, smallPicture, {.infoHeaderSize = size});
}

const std::string BitCount(BitCountMessage);
const std::string TooLarge(TooLargeMessage);
const std::string Damaged(DamagedMessage);

const std::vector<CheckCase>& checkCases() {
  static const std::vector<CheckCase> cases = {
      {"ValidFileConverts", holdSmallPicture, ""},
      {"TopDownFileConverts", [](auto& s) { holdFile(s, smallPicture, {.topDown = true}); }, ""},
      {"CoreHeaderFileConverts", [](auto& s) { holdFile(s, smallPicture, {.infoHeaderSize = 12}); }, ""},
      // In a core header the 32-bit width at 18 would take in the height.
      {"CoreHeader16x8WhosePaletteHoldsA1AtOffset28Converts",
       [](auto& s) {
         holdFile(s, pixelGrid(16, 8, [](auto x, auto y) { return x == y; }),
                  {.infoHeaderSize = 12, .palette = {0x00010000, 0x00FFFFFF}});
       },
       ""},
      {"OnePaletteEntryConverts", [](auto& s) { holdFile(s, smallPicture, {.paletteEntries = 1}); }, ""},
      {"GapBeforePixelsConverts", [](auto& s) { holdFile(s, smallPicture, {.gapBeforePixels = 9}); }, ""},
      {"UpperBitCountByteIsNotRead",
       [](auto& s) {
         holdSmallPicture(s);
         setByte(s.OutputSharp, 29, 7);
       },
       ""},

      {"Os2Header16Converts", [](auto& s) { holdWithHeaderSize(s, 16); }, ""},
      {"Os2Header19Converts", [](auto& s) { holdWithHeaderSize(s, 19); }, ""},
      {"Os2Header64Converts", [](auto& s) { holdWithHeaderSize(s, 64); }, ""},
      {"V2Header52Converts", [](auto& s) { holdWithHeaderSize(s, 52); }, ""},
      {"V3Header56Converts", [](auto& s) { holdWithHeaderSize(s, 56); }, ""},
      // The palette of a short header lies where a longer one has its
      // compression and colours used.
      {"Os2Header20WhosePixelsAreWhereColoursUsedWouldBe", [](auto& s) { holdWithHeaderSize(s, 20); }, ""},
      {"Os2Header16WhosePaletteIsWhereCompressionWouldBe",
       [](auto& s) { holdFile(s, smallPicture, {.infoHeaderSize = 16, .palette = {0x00000001, 0}}); },
       ""},

      // Byte 28 of a file that is not a BMP is no bit count.
      {"FileNotBeginningWithBM",
       [](auto& s) {
         holdSmallPicture(s);
         s.OutputSharp[0] = '\xFF';
         s.OutputSharp[1] = '\xD8';
       },
       BitCount},
      {"InterlacedPngWhoseSizeFieldsReadAsTooLarge",
       [](auto& s) {
         s.OutputSharp = interlacedPngStart();
         s.DecodedPicture = PictureSize{100, 20};
       },
       BitCount},
      {"NetpbmWhoseCommentLooksLikeA1BitHeader",
       [](auto& s) {
         s.OutputSharp = netpbmWithHeaderInComment();
         s.DecodedPicture = PictureSize{16, 8};
       },
       BitCount},
      {"JustBM",
       [](auto& s) {
         holdSmallPicture(s);
         s.OutputSharp.resize(2);
       },
       Damaged},

      // The colour-depth advice: no bit count of 1.
      {"EmptyFileHasNoBitCount",
       [](auto& s) {
         holdSmallPicture(s);
         s.OutputSharp.clear();
       },
       BitCount},
      {"FileEndingBeforeTheBitCount",
       [](auto& s) {
         holdSmallPicture(s);
         s.OutputSharp.resize(28);
       },
       BitCount},
      {"TwentyFourBitFile",
       [](auto& s) {
         holdSmallPicture(s);
         setByte(s.OutputSharp, 28, 24);
       },
       BitCount},
      {"CoreHeaderFourBitFileWhosePaletteHoldsA1AtOffset28",
       [](auto& s) {
         holdFile(s, smallPicture, {.infoHeaderSize = 12, .palette = {0x00010000, 0}, .bitCount = 4});
       },
       BitCount},
      {"CoreHeaderFileEndingBeforeTheBitCount",
       [](auto& s) {
         holdFile(s, smallPicture, {.infoHeaderSize = 12});
         s.OutputSharp.resize(24);
       },
       BitCount},
      {"BitCountIsCheckedBeforeTheDecodedSize",
       [](auto& s) {
         holdSmallPicture(s);
         setByte(s.OutputSharp, 28, 24);
         s.DecodedPicture = PictureSize{640, 480};
       },
       BitCount},
      {"BitCountIsCheckedBeforeTheHeaderSize",
       [](auto& s) {
         holdHeaderOf(s, 8000, 8000);
         setByte(s.OutputSharp, 28, 24);
       },
       BitCount},

      // Too large, by the header or by the decoded picture.
      {"Width625", [](auto& s) { holdFile(s, pixelGrid(625, 1, [](auto, auto) { return false; })); }, TooLarge},
      {"Height129", [](auto& s) { holdFile(s, pixelGrid(1, 129, [](auto, auto) { return false; })); }, TooLarge},
      {"LargestPicturePasses", [](auto& s) { holdFile(s, pixelGrid(624, 128, [](auto, auto) { return true; })); }, ""},
      {"TopDownHeight129",
       [](auto& s) { holdFile(s, pixelGrid(1, 129, [](auto, auto) { return false; }), {.topDown = true}); },
       TooLarge},
      {"TopDownLargestPicturePasses",
       [](auto& s) { holdFile(s, pixelGrid(624, 128, [](auto x, auto y) { return x == y; }), {.topDown = true}); },
       ""},
      {"HeaderWidth625NoDecodedPicture", [](auto& s) { holdHeaderOf(s, 625, 1); }, TooLarge},
      {"HeaderHeight129NoDecodedPicture", [](auto& s) { holdHeaderOf(s, 1, 129); }, TooLarge},
      {"Header8000x8000NoDecodedPicture", [](auto& s) { holdHeaderOf(s, 8000, 8000); }, TooLarge},
      {"HeadersOnlyOfHugeFile",
       [](auto& s) {
         holdHeaderOf(s, 20000, 7000);
         s.OutputSharp.resize(62);
       },
       TooLarge},
      {"HeaderTooWideThoughDecodedPictureFits",
       [](auto& s) {
         holdSmallPicture(s);
         setByte(s.OutputSharp, 19, 3);  // 9 + 768
       },
       TooLarge},
      {"CoreHeaderWidth625",
       [](auto& s) { holdFile(s, pixelGrid(625, 1, [](auto, auto) { return false; }), {.infoHeaderSize = 12}); },
       TooLarge},
      {"CoreHeaderHeight129NoDecodedPicture",
       [](auto& s) {
         holdFile(s, {"X"}, {.infoHeaderSize = 12, .headerHeight = 129});
         s.DecodedPicture.reset();
       },
       TooLarge},
      // Core sizes are unsigned: Qt, reading them signed, gives no picture.
      {"CoreHeader40000WideNoDecodedPicture",
       [](auto& s) {
         holdFile(s, {"X"}, {.infoHeaderSize = 12, .headerWidth = 40000});
         s.DecodedPicture.reset();
       },
       TooLarge},
      {"CoreHeaderHeightWithTheTopBitSet",
       [](auto& s) { holdFile(s, smallPicture, {.infoHeaderSize = 12, .topDown = true}); },
       TooLarge},
      {"Os2Header16Width625",
       [](auto& s) { holdFile(s, pixelGrid(625, 1, [](auto, auto) { return false; }), {.infoHeaderSize = 16}); },
       TooLarge},
      {"CoreHeaderLargestPicturePasses",
       [](auto& s) { holdFile(s, pixelGrid(624, 128, [](auto x, auto) { return x % 3 == 0; }), {.infoHeaderSize = 12}); },
       ""},
      {"DecodedPictureTooWideAndTooHighGivesOneMessage",
       [](auto& s) {
         holdSmallPicture(s);
         s.DecodedPicture = PictureSize{700, 200};
       },
       TooLarge},

      // A 1-bit file that can't be read whole.
      {"HeaderSize0", [](auto& s) { holdWithHeaderSize(s, 0); }, Damaged},
      {"HeaderSize15", [](auto& s) { holdWithHeaderSize(s, 15); }, Damaged},
      {"HeaderSize65", [](auto& s) { holdWithHeaderSize(s, 65); }, Damaged},
      {"HeaderSize100", [](auto& s) { holdWithHeaderSize(s, 100); }, Damaged},
      {"HeaderSize125", [](auto& s) { holdWithHeaderSize(s, 125); }, Damaged},
      {"RunLengthCompression",
       [](auto& s) {
         holdSmallPicture(s);
         setByte(s.OutputSharp, 30, 1);
       },
       Damaged},
      {"Os2Header64HuffmanCompression",
       [](auto& s) {
         holdWithHeaderSize(s, 64);
         setByte(s.OutputSharp, 30, 3);
       },
       Damaged},
      {"V3Header56BitFieldCompression",
       [](auto& s) {
         holdWithHeaderSize(s, 56);
         setByte(s.OutputSharp, 30, 3);
       },
       Damaged},
      {"FileEndingAfterTheBitCount",
       [](auto& s) {
         holdSmallPicture(s);
         s.OutputSharp.resize(29);
       },
       Damaged},
      {"NoDecodedPictureWithValidSizes",
       [](auto& s) {
         holdSmallPicture(s);
         s.DecodedPicture.reset();
       },
       Damaged},
      {"HeaderSizeUnlikeDecodedSize",
       [](auto& s) {
         holdSmallPicture(s);
         s.DecodedPicture = PictureSize{9, 2};
       },
       Damaged},
      {"NegativeHeaderWidth", [](auto& s) { holdFile(s, smallPicture, {.headerWidth = -9}); }, Damaged},
      {"PixelDataOffsetAtThePalette", [](auto& s) { holdFile(s, smallPicture, {.pixelDataOffset = 54}); }, Damaged},
      {"PixelDataOffsetInsideTheOneEntryPalette",
       [](auto& s) { holdFile(s, smallPicture, {.paletteEntries = 1, .pixelDataOffset = 56}); },
       Damaged},
      {"CoreHeaderPixelDataOffsetAtThePalette",
       [](auto& s) { holdFile(s, smallPicture, {.infoHeaderSize = 12, .pixelDataOffset = 26}); },
       Damaged},
      {"CoreHeaderLastStoredRowOneByteShort",
       [](auto& s) {
         holdFile(s, smallPicture, {.infoHeaderSize = 12});
         s.OutputSharp.pop_back();
       },
       Damaged},
      {"PixelDataOffsetInsideAV5Header",
       [](auto& s) { holdFile(s, smallPicture, {.infoHeaderSize = 124, .pixelDataOffset = 100}); },
       Damaged},
      {"PixelDataOffsetPastTheEnd",
       [](auto& s) {
         holdSmallPicture(s);
         setByte(s.OutputSharp, 13, 0x80);
       },
       Damaged},
      {"LastStoredRowOneByteShort",
       [](auto& s) {
         holdSmallPicture(s);
         s.OutputSharp.pop_back();
       },
       Damaged},
      {"TopDownLastStoredRowOneByteShort",
       [](auto& s) {
         holdFile(s, smallPicture, {.topDown = true});
         s.OutputSharp.pop_back();
       },
       Damaged},
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

TEST(FileChecks, MessagesOfTwoLinesAreJoinedByTheLineEnd) {
  const std::string lineEnd(quillomat::EndOfLine);
  EXPECT_EQ(std::string(BitCountMessage), "Incorrect image format !" + lineEnd + "Use color depth 1 Bit Monochrome");
  EXPECT_EQ(std::string(DamagedMessage), "Damaged image file !" + lineEnd + "Part of the file is missing or wrong");
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

std::vector<std::string> convertHeld(const std::string& file, PictureSize decoded, std::int64_t mode) {
  quillomat::ConversionState state;
  state.Mode = mode;
  state.OutputSharp = file;
  state.DecodedPicture = decoded;
  RecordingView view;
  quillomat::DoShowGprint(state, view);
  EXPECT_TRUE(view.messages.empty()) << view.messages.front();
  return statementsOf(state);
}

// Files that store the same pixels differently convert alike: extra bytes at
// the end, another palette or one of a single entry, a gap before the pixels,
// a longer, shorter or core information header (pixels read from the offset
// the header gives), rows stored top row first. So do the same picture in
// the plain layout, as the preview hands it to Qt, and the file with its
// rows moved up to the palette, as a large file's are held.
TEST_P(FileLayoutVariants, ConvertLikeThePlainFile) {
  const auto rows = pixelGrid(21, 11, [](auto x, auto y) { return (x + 2 * y) % 3 == 0; });
  const std::string file = makeMonochromeBmp(rows, GetParam().options);
  const auto layout = quillomat::ReadHeaderLayout(file);
  ASSERT_TRUE(layout);
  const auto plain = quillomat::InPlainLayout(file, *layout);
  ASSERT_TRUE(plain);
  EXPECT_EQ(quillomat::ReadHeaderLayout(*plain)->InfoHeaderSize, 40);
  const std::string storedRows = file.substr(static_cast<std::size_t>(layout->PixelDataStart),
                                             static_cast<std::size_t>(*layout->StoredRowsSize));
  const std::string joined = quillomat::WithRowsAfterPalette(file, *layout, storedRows);
  const PictureSize decoded{21, 11};
  for (std::int64_t mode = 0; mode <= 3; ++mode) {
    SCOPED_TRACE(mode);
    const auto twin = convert(rows, mode);
    EXPECT_EQ(convert(rows, mode, GetParam().options), twin);
    EXPECT_EQ(convertHeld(*plain, decoded, mode), twin);
    EXPECT_EQ(convertHeld(joined, decoded, mode), twin);
  }
  EXPECT_EQ(convert(rows, 0)[1], R"(GPRINT "020401020401020401020401020401020401020401")");
}

INSTANTIATE_TEST_SUITE_P(Cases, FileLayoutVariants,
                         testing::Values(Variant{"TwoExtraBytes", {.trailingBytes = 2}},
                                         Variant{"InvertedPalette", {.palette = {0, 0x00FFFFFF}}},
                                         Variant{"V4InfoHeader", {.infoHeaderSize = 108}},
                                         Variant{"V5InfoHeader", {.infoHeaderSize = 124}},
                                         Variant{"TopDown", {.topDown = true}},
                                         Variant{"CoreInfoHeader", {.infoHeaderSize = 12}},
                                         Variant{"Os2Header16", {.infoHeaderSize = 16}},
                                         Variant{"Os2Header36", {.infoHeaderSize = 36}},
                                         Variant{"Os2Header64", {.infoHeaderSize = 64}},
                                         Variant{"V2Header52", {.infoHeaderSize = 52}},
                                         Variant{"V3Header56", {.infoHeaderSize = 56}},
                                         Variant{"TopDownV3Header56", {.infoHeaderSize = 56, .topDown = true}},
                                         Variant{"V3Header56OnePaletteEntry", {.infoHeaderSize = 56, .paletteEntries = 1}},
                                         Variant{"TopDownOs2Header16", {.infoHeaderSize = 16, .topDown = true}},
                                         Variant{"OnePaletteEntry", {.paletteEntries = 1}},
                                         Variant{"GapBeforePixels", {.gapBeforePixels = 3}},
                                         Variant{"TopDownV5InfoHeader", {.infoHeaderSize = 124, .topDown = true}}),
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
  const std::vector<int> expectedTopDown = {0xFF, 0x00, 0x80, 0x80, 0x80, 0xC0, 0x00, 0xFF, 0xE0};
  struct Stored {
    bool topDown;
    std::vector<int> packed;  // file order
  };
  for (const Stored& stored : {Stored{false, {0x00, 0xFF, 0xE0, 0x80, 0x80, 0xC0, 0xFF, 0x00, 0x80}},
                               Stored{true, expectedTopDown}}) {
    SCOPED_TRACE(stored.topDown ? "top-down" : "bottom-up");
    const auto file = makeMonochromeBmp(rows, {.topDown = stored.topDown});
    const auto geometry = quillomat::ReadGeometry(file);
    EXPECT_EQ(geometry.TopDown, stored.topDown);
    EXPECT_EQ(geometry.FileWidth, 20);
    EXPECT_EQ(geometry.FileHeight, 3);
    quillomat::WorkArray packed{}, topDown{};
    quillomat::ReadRows(file, geometry, packed, topDown);
    for (std::size_t i = 0; i < 9; ++i) {
      EXPECT_EQ(packed[i + 1], stored.packed[i]) << i;
      EXPECT_EQ(topDown[i + 1], expectedTopDown[i]) << i;
    }
    EXPECT_EQ(topDown[0], 0);
    EXPECT_EQ(topDown[10], 0);
  }
}

}  // namespace
