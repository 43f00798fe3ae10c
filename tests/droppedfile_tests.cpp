#include <ostream>
#include <string>
#include <variant>
#include <vector>

#include <QBuffer>
#include <QColor>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QMimeData>
#include <QTemporaryDir>
#include <QUrl>

#include <gtest/gtest.h>

#include "bmpfixture.h"
#include "conversion.h"
#include "conversiontesting.h"
#include "headerlayout.h"
#include "conversionlimits.h"
#include "droppedfile.h"

namespace {

class DroppedFileTest : public testing::Test {
 protected:
  QString write(const QString& name, const std::string& bytes) {
    const QString path = folder.filePath(name);
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes.data(), static_cast<qint64>(bytes.size()));
    return path;
  }

  // A file of the given size that begins with start and whose other
  // contents take no disk space.
  QString sparse(const QString& name, qint64 size, const std::string& start = {}) {
    const QString path = folder.filePath(name);
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(start.data(), static_cast<qint64>(start.size()));
    EXPECT_TRUE(file.resize(size));
    return path;
  }

  QTemporaryDir folder;
};

DroppedFile expectRead(const DropReadResult& result) {
  if (const auto* failure = std::get_if<DropFailure>(&result)) {
    ADD_FAILURE() << "refused: " << failure->message.toStdString();
    return {};
  }
  return std::get<DroppedFile>(result);
}

DropFailure expectFailure(const DropReadResult& result) {
  if (const auto* failure = std::get_if<DropFailure>(&result)) {
    return *failure;
  }
  ADD_FAILURE() << "read although it should be refused";
  return {};
}

std::string countingBytes(std::size_t size) {
  std::string bytes(size, '\0');
  for (std::size_t i = 0; i < size; ++i) {
    bytes[i] = static_cast<char>((i * 7 + i / 256) % 256);  // no two pieces alike
  }
  return bytes;
}

TEST_F(DroppedFileTest, ReadsWholeFileInOrderAcrossPieceBoundaries) {
  for (const std::size_t size : {std::size_t{1}, std::size_t{254}, std::size_t{255}, std::size_t{256},
                                 std::size_t{510}, std::size_t{600}}) {
    SCOPED_TRACE(size);
    const std::string bytes = countingBytes(size);
    const DroppedFile dropped = expectRead(readDroppedFile(write("data.bin", bytes)));
    EXPECT_EQ(dropped.bytes, bytes);
    EXPECT_TRUE(dropped.image.isNull());
    EXPECT_EQ(dropped.fileName, "data.bin");
  }
}

TEST_F(DroppedFileTest, EmptyFileIsReadAsNoBytes) {
  const DroppedFile dropped = expectRead(readDroppedFile(write("empty.bmp", "")));
  EXPECT_TRUE(dropped.bytes.empty());
  EXPECT_TRUE(dropped.image.isNull());
  EXPECT_EQ(dropped.fileName, "empty.bmp");
}

TEST_F(DroppedFileTest, MissingFileIsRefusedNamingFileAndReason) {
  const QString path = folder.filePath("gone.bmp");
  const DropFailure failure = expectFailure(readDroppedFile(path));
  EXPECT_TRUE(failure.message.contains(QDir::toNativeSeparators(path))) << failure.message.toStdString();
  EXPECT_TRUE(failure.message.contains("No such file")) << failure.message.toStdString();
}

TEST_F(DroppedFileTest, FolderIsRefused) {
  ASSERT_TRUE(QDir(folder.path()).mkdir("pictures.bmp"));
  const DropFailure failure = expectFailure(readDroppedFile(folder.filePath("pictures.bmp")));
  EXPECT_TRUE(failure.message.contains("pictures.bmp")) << failure.message.toStdString();
}

TEST_F(DroppedFileTest, FileWhoseSizeLiesIsRefusedAsChanged) {
  // The kernel reports 0 bytes for this file but hands out more.
  if (!QFile::exists("/proc/self/stat")) {
    GTEST_SKIP() << "no /proc";
  }
  const DropFailure failure = expectFailure(readDroppedFile("/proc/self/stat"));
  EXPECT_TRUE(failure.message.contains("/proc/self/stat"));
  EXPECT_TRUE(failure.message.contains("the file changed while it was read")) << failure.message.toStdString();
}

TEST_F(DroppedFileTest, FileAtTheLimitIsReadWhole) {
  const DroppedFile dropped = expectRead(readDroppedFile(sparse("limit.bin", MaxDroppedFileSize)));
  EXPECT_EQ(dropped.bytes, std::string(static_cast<std::size_t>(MaxDroppedFileSize), '\0'));
}

// The conversion tells from the headers alone why such a file can't be
// converted; the rest is neither held nor handed to Qt.
TEST_F(DroppedFileTest, FileAboveLimitHoldsOnlyItsHeadersAndNoPicture) {
  // The headers of a 1-bit picture of 20000 x 7000, whose file is 17.5 MB.
  const std::string headers =
      makeMonochromeBmp({"X"}, {.headerWidth = 20000, .headerHeight = 7000}).substr(0, HeaderBytesOfLargeFile);
  const qint64 complete = 62 + qint64{2500} * 7000;
  for (const qint64 size : {qint64{MaxDroppedFileSize} + 1, complete, qint64{8} * 1024 * 1024 * 1024}) {
    SCOPED_TRACE(size);
    const QString path = sparse("huge.bmp", size, headers);
    if (QFileInfo(path).size() != size) {
      GTEST_SKIP() << "no sparse files of " << size << " bytes here";
    }
    const DroppedFile dropped = expectRead(readDroppedFile(path));
    EXPECT_EQ(dropped.bytes, headers);
    EXPECT_TRUE(dropped.image.isNull());
    EXPECT_EQ(dropped.fileName, "huge.bmp");
  }
}

const std::vector<std::string> Arrow = {
    "...X.........",
    "..XXX........",
    ".X.X.X.......",
    "...X.........",
    "...XXXXXXXXXX",
};

void expectArrow(const QImage& image) {
  ASSERT_EQ(image.size(), QSize(13, 5));
  for (int y = 0; y < 5; ++y) {
    for (int x = 0; x < 13; ++x) {
      const bool set = Arrow[static_cast<std::size_t>(y)][static_cast<std::size_t>(x)] == 'X';
      EXPECT_EQ(image.pixelColor(x, y), set ? QColor(Qt::black) : QColor(Qt::white)) << x << "," << y;
    }
  }
}

struct BmpCase {
  std::string name;
  BmpOptions options;
  int trailingBytes;  // negative: bytes cut off the end
  bool previewed;
};

void PrintTo(const BmpCase& c, std::ostream* out) { *out << c.name; }

class DroppedBmpTable : public DroppedFileTest, public testing::WithParamInterface<BmpCase> {};

TEST_P(DroppedBmpTable, KeepsBytesAndPreviewsOnlyWholePictures) {
  const BmpCase& c = GetParam();
  std::string bytes = makeMonochromeBmp(Arrow, c.options);
  if (c.trailingBytes < 0) {
    bytes.resize(bytes.size() - static_cast<std::size_t>(-c.trailingBytes));
  } else {
    bytes.append(static_cast<std::size_t>(c.trailingBytes), '\x55');
  }
  const DroppedFile dropped = expectRead(readDroppedFile(write("arrow.bmp", bytes)));
  EXPECT_EQ(dropped.bytes, bytes);  // the conversion judges the bytes itself
  EXPECT_EQ(dropped.fileName, "arrow.bmp");
  if (!c.previewed) {
    EXPECT_TRUE(dropped.image.isNull());
    return;
  }
  expectArrow(dropped.image);
}

const BmpOptions Plain{};
const BmpOptions V5Header{.infoHeaderSize = 124};
const BmpOptions Os2Header{.infoHeaderSize = 12};
// A core header's height is unsigned: a "negative" one is over 65000 rows.
const BmpOptions Os2NegativeHeight{.infoHeaderSize = 12, .topDown = true};
const BmpOptions Os2V2Header{.infoHeaderSize = 16};
const BmpOptions V3Header{.infoHeaderSize = 56};
const BmpOptions UndefinedHeaderSize{.infoHeaderSize = 100};
const BmpOptions TopDown{.topDown = true};
const BmpOptions SpareBits{.spareBitsSet = true};
const BmpOptions OnePaletteEntry{.palette = {0x00FFFFFF, 0}, .paletteEntries = 1};
const BmpOptions GapBeforePixels{.gapBeforePixels = 10};

INSTANTIATE_TEST_SUITE_P(
    Bmp, DroppedBmpTable,
    testing::Values(BmpCase{"Plain62ByteLayout", Plain, 0, true},
                    BmpCase{"V5Header", V5Header, 0, true},
                    BmpCase{"TopDown", TopDown, 0, true},
                    BmpCase{"SpareBitsSet", SpareBits, 0, true},
                    BmpCase{"TrailingBytes", Plain, 3, true},
                    BmpCase{"OneByteShort", Plain, -1, false},
                    BmpCase{"OneRowShort", Plain, -4, false},
                    BmpCase{"NoPixelData", Plain, -20, false},
                    BmpCase{"HeaderOnly", Plain, -28, false},
                    BmpCase{"V5HeaderOneByteShort", V5Header, -1, false},
                    BmpCase{"TopDownOneByteShort", TopDown, -1, false},
                    BmpCase{"Os2CoreHeader", Os2Header, 0, true},
                    BmpCase{"Os2CoreHeaderOneByteShort", Os2Header, -1, false},
                    BmpCase{"Os2CoreHeaderOneRowShort", Os2Header, -4, false},
                    BmpCase{"Os2CoreHeaderNegativeHeight", Os2NegativeHeight, 0, false},
                    BmpCase{"Os2V2Header16", Os2V2Header, 0, true},
                    BmpCase{"Os2V2Header16OneByteShort", Os2V2Header, -1, false},
                    BmpCase{"V2Header52", BmpOptions{.infoHeaderSize = 52}, 0, true},
                    BmpCase{"V3Header56", V3Header, 0, true},
                    BmpCase{"V3Header56TopDown", BmpOptions{.infoHeaderSize = 56, .topDown = true}, 0, true},
                    BmpCase{"V3Header56OneByteShort", V3Header, -1, false},
                    BmpCase{"Os2V2Header64", BmpOptions{.infoHeaderSize = 64}, 0, true},
                    BmpCase{"UndefinedHeaderSize", UndefinedHeaderSize, 0, false},
                    BmpCase{"OnePaletteEntry", OnePaletteEntry, 0, true},
                    BmpCase{"GapBeforePixels", GapBeforePixels, 0, true},
                    BmpCase{"GapBeforePixelsOneByteShort", GapBeforePixels, -1, false}),
    [](const testing::TestParamInfo<BmpCase>& row) { return row.param.name; });

struct LayoutCase {
  std::string name;
  BmpOptions options;
};

void PrintTo(const LayoutCase& c, std::ostream* out) { *out << c.name; }

class PaddedLargeFile : public DroppedFileTest, public testing::WithParamInterface<LayoutCase> {};

// Bytes after the last stored row play no part, however many there are: of
// such a file the picture is held and previewed, and nothing after it.
TEST_P(PaddedLargeFile, HoldsAndPreviewsThePictureAndNothingAfterIt) {
  const std::string picture = makeMonochromeBmp(Arrow, GetParam().options);
  const qint64 size = qint64{17} * 1024 * 1024;
  const QString path = sparse("padded.bmp", size, picture);
  if (QFileInfo(path).size() != size) {
    GTEST_SKIP() << "no sparse files of " << size << " bytes here";
  }
  const DroppedFile dropped = expectRead(readDroppedFile(path));
  EXPECT_EQ(dropped.bytes, picture);
  expectArrow(dropped.image);
}

INSTANTIATE_TEST_SUITE_P(Bmp, PaddedLargeFile,
                         testing::Values(LayoutCase{"Plain62ByteLayout", Plain}, LayoutCase{"V5Header", V5Header},
                                         LayoutCase{"Os2CoreHeader", Os2Header}, LayoutCase{"TopDown", TopDown},
                                         LayoutCase{"OnePaletteEntry", OnePaletteEntry},
                                         LayoutCase{"GapBeforePixels", GapBeforePixels}),
                         [](const testing::TestParamInfo<LayoutCase>& row) { return row.param.name; });

// The cap holds for what is kept, whatever a large file's header says; its
// headers are enough to tell why it can't be converted.
TEST_F(DroppedFileTest, LargeFileWhosePictureWouldPassTheCapHoldsOnlyItsHeaders) {
  const qint64 size = MaxDroppedFileSize + 1;
  for (const std::int32_t width : {std::int32_t{20000}, std::int32_t{2147483647}}) {
    SCOPED_TRACE(width);
    const std::string headers = makeMonochromeBmp({"X"}, {.headerWidth = width, .headerHeight = 7000})
                                    .substr(0, HeaderBytesOfLargeFile);
    const DroppedFile dropped = expectRead(readDroppedFile(sparse("wide.bmp", size, headers)));
    EXPECT_EQ(dropped.bytes, headers);
    EXPECT_TRUE(dropped.image.isNull());
  }
}

// Of a large file that isn't a BMP its first bytes alone would be a part
// of a picture, which is not previewed.
TEST_F(DroppedFileTest, LargeFileOfAnotherKindIsNotPreviewed) {
  QImage picture(40, 40, QImage::Format_RGB32);
  picture.fill(Qt::gray);
  QByteArray png;
  QBuffer buffer(&png);
  ASSERT_TRUE(buffer.open(QIODevice::WriteOnly));
  ASSERT_TRUE(picture.save(&buffer, "PNG"));
  const DroppedFile dropped =
      expectRead(readDroppedFile(sparse("large.png", MaxDroppedFileSize + 1, png.toStdString())));
  EXPECT_EQ(dropped.bytes, png.toStdString().substr(0, HeaderBytesOfLargeFile));
  EXPECT_TRUE(dropped.image.isNull());
}

// Qt leaves every pixel that a run-length-coded file doesn't code as it
// found the memory, and a coded file may stop before its last row.
TEST_F(DroppedFileTest, RunLengthCodedFileIsNotPreviewed) {
  std::string bytes = makeMonochromeBmp({"....", "...."}, {.bitCount = 8});
  bytes[30] = 1;  // 8-bit run-length coding
  // Four pixels of colour 1 in the bottom row, end of line, end of picture:
  // the top row is never coded.
  bytes.replace(62, 8, std::string("\x04\x01\x00\x00\x00\x01\x00\x00", 8));
  const DroppedFile dropped = expectRead(readDroppedFile(write("coded.bmp", bytes)));
  EXPECT_EQ(dropped.bytes, bytes);
  EXPECT_TRUE(dropped.image.isNull());
}

class RowsPastTheCap : public DroppedFileTest, public testing::WithParamInterface<LayoutCase> {};

// Rows that start past the cap are read where they lie and held right after
// the palette; the gap before them is neither read nor held.
TEST_P(RowsPastTheCap, AreHeldRightAfterThePalette) {
  const std::string compact = makeMonochromeBmp(Arrow, GetParam().options);
  const auto layout = quillomat::ReadHeaderLayout(compact);
  ASSERT_TRUE(layout);
  const auto headersEnd = static_cast<std::size_t>(layout->PaletteEnd);
  const std::size_t gap = std::size_t{17} * 1024 * 1024 - headersEnd;
  BmpOptions options = GetParam().options;
  options.gapBeforePixels = gap;
  const std::string file = makeMonochromeBmp(Arrow, options);
  ASSERT_GT(file.size(), std::size_t{MaxDroppedFileSize});

  const DroppedFile dropped = expectRead(readDroppedFile(write("gap.bmp", file)));
  std::string expected = file.substr(0, headersEnd) + file.substr(headersEnd + gap);
  expected.replace(10, 4, compact.substr(10, 4));  // the rows' offset without the gap
  EXPECT_EQ(dropped.bytes, expected);
  expectArrow(dropped.image);
}

INSTANTIATE_TEST_SUITE_P(Bmp, RowsPastTheCap,
                         testing::Values(LayoutCase{"Plain62ByteLayout", Plain},
                                         LayoutCase{"Os2CoreHeader", Os2Header},
                                         LayoutCase{"V3Header56", V3Header}, LayoutCase{"TopDown", TopDown}),
                         [](const testing::TestParamInfo<LayoutCase>& row) { return row.param.name; });

// Bit r of the column byte at column x of band b in the statement, a GPRINT
// string of two hex digits per column.
bool listedBit(const std::string& statement, std::size_t x, std::size_t r) {
  const std::size_t digits = statement.find('"') + 1 + 2 * x;
  const auto columnByte = std::stoul(statement.substr(digits, 2), nullptr, 16);
  return ((columnByte >> r) & 1U) != 0;
}

class PreviewOfEveryLayout : public DroppedFileTest, public testing::WithParamInterface<LayoutCase> {};

// What the preview shows is what the listing encodes: each pixel of the
// picture Qt decodes has the colour of the palette entry that its bit in
// the statement picks (of a one-entry palette, a set bit the opposite one).
TEST_P(PreviewOfEveryLayout, ShowsTheBitsTheListingEncodes) {
  const BmpOptions& options = GetParam().options;
  constexpr std::size_t Width = 21;
  constexpr std::size_t Height = 19;
  const std::string file =
      makeMonochromeBmp(pixelGrid(Width, Height, [](auto x, auto y) { return (x + 3 * y) % 5 == 0 || x == 2 * y; }),
                        options);
  const DroppedFile dropped = expectRead(readDroppedFile(write("layout.bmp", file)));
  ASSERT_EQ(dropped.image.size(), QSize(Width, Height));

  quillomat::ConversionState state;
  state.OutputSharp = dropped.bytes;
  state.DecodedPicture = quillomat::PictureSize{dropped.image.width(), dropped.image.height()};
  RecordingView view;
  quillomat::DoShowGprint(state, view);
  ASSERT_TRUE(view.messages.empty()) << view.messages.front();
  ASSERT_EQ(state.AnzahlZeilen, 4);

  const std::uint32_t clear = options.palette[0];
  const std::uint32_t set = options.paletteEntries == 2 ? options.palette[1] : clear == 0 ? 0x00FFFFFFU : 0U;
  for (std::size_t y = 0; y < Height; ++y) {
    for (std::size_t x = 0; x < Width; ++x) {
      const bool listed = listedBit(state.Zeile(static_cast<std::int64_t>(y / 8 + 1)), x, y % 8);
      EXPECT_EQ(dropped.image.pixel(static_cast<int>(x), static_cast<int>(y)) & 0xFFFFFFU, listed ? set : clear)
          << x << "," << y;
    }
  }
}

INSTANTIATE_TEST_SUITE_P(
    Bmp, PreviewOfEveryLayout,
    testing::Values(LayoutCase{"CoreHeader", {.infoHeaderSize = 12}},
                    LayoutCase{"Os2V2Header16", {.infoHeaderSize = 16}},
                    LayoutCase{"Os2V2Header20", {.infoHeaderSize = 20}},
                    LayoutCase{"Os2V2Header36", {.infoHeaderSize = 36}},
                    LayoutCase{"Os2V2Header36OnePaletteEntry", {.infoHeaderSize = 36, .paletteEntries = 1}},
                    LayoutCase{"Os2V2Header64", {.infoHeaderSize = 64}},
                    LayoutCase{"Plain40", {}},
                    LayoutCase{"Plain40TopDown", {.topDown = true}},
                    LayoutCase{"Plain40InvertedPalette", {.palette = {0, 0x00FFFFFF}}},
                    LayoutCase{"Plain40OnePaletteEntry", {.paletteEntries = 1}},
                    LayoutCase{"Plain40GapBeforePixels", {.gapBeforePixels = 7}},
                    LayoutCase{"Plain40SpareBitsSet", {.spareBitsSet = true}},
                    LayoutCase{"V2Header52", {.infoHeaderSize = 52}},
                    LayoutCase{"V3Header56", {.infoHeaderSize = 56}},
                    LayoutCase{"V3Header56TopDown", {.infoHeaderSize = 56, .topDown = true}},
                    LayoutCase{"V3Header56ColouredPalette", {.infoHeaderSize = 56, .palette = {0x00FFEE00, 0x00123456}}},
                    LayoutCase{"V4Header108", {.infoHeaderSize = 108}},
                    LayoutCase{"V5Header124", {.infoHeaderSize = 124}},
                    LayoutCase{"V5Header124TopDown", {.infoHeaderSize = 124, .topDown = true}},
                    LayoutCase{"RowsPastTheCap", {.gapBeforePixels = std::size_t{17} * 1024 * 1024}}),
    [](const testing::TestParamInfo<LayoutCase>& row) { return row.param.name; });

// A core header's sizes are unsigned; Qt reads them signed and is handed
// the same picture in the plain layout.
TEST_F(DroppedFileTest, CoreHeaderWiderThan32767IsPreviewedAtItsWidth) {
  const std::string file = makeMonochromeBmp(pixelGrid(40000, 1, [](auto x, auto) { return x % 7 == 0; }),
                                             {.infoHeaderSize = 12});
  const DroppedFile dropped = expectRead(readDroppedFile(write("wide.bmp", file)));
  EXPECT_EQ(dropped.bytes, file);
  ASSERT_EQ(dropped.image.size(), QSize(40000, 1));
  for (const int x : {0, 1, 7, 39998, 39999}) EXPECT_EQ(dropped.image.pixelIndex(x, 0), x % 7 == 0 ? 1 : 0) << x;
}

TEST_F(DroppedFileTest, DropReadsTheFirstLocalFile) {
  const std::string bytes = makeMonochromeBmp(Arrow);
  QMimeData data;
  data.setUrls({QUrl::fromLocalFile(write("first.bmp", bytes)), QUrl::fromLocalFile(write("second.bmp", "x"))});
  const DroppedFile dropped = expectRead(readDrop(data.urls()));
  EXPECT_EQ(dropped.bytes, bytes);
  EXPECT_EQ(dropped.image.size(), QSize(13, 5));
  EXPECT_EQ(dropped.fileName, "first.bmp");
}

TEST_F(DroppedFileTest, DropPreviewsTheFilesOwnPictureNotTheDragsPicture) {
  // A file manager or browser may put its own picture (an icon, a thumbnail)
  // on the drag; the preview must show the bytes that are converted.
  QImage dragPicture(48, 12, QImage::Format_RGB32);
  dragPicture.fill(Qt::red);
  const std::string whole = makeMonochromeBmp(Arrow);
  const std::string cutShort = whole.substr(0, whole.size() - 4);

  QMimeData data;
  data.setImageData(dragPicture);
  data.setUrls({QUrl::fromLocalFile(write("arrow.bmp", whole))});
  const DroppedFile dropped = expectRead(readDrop(data.urls()));
  EXPECT_EQ(dropped.bytes, whole);
  expectArrow(dropped.image);

  // Rows cut short stay unpreviewed, whatever picture the drag brings.
  data.setUrls({QUrl::fromLocalFile(write("short.bmp", cutShort))});
  const DroppedFile shortened = expectRead(readDrop(data.urls()));
  EXPECT_EQ(shortened.bytes, cutShort);
  EXPECT_TRUE(shortened.image.isNull());
}

TEST_F(DroppedFileTest, DropWithoutLocalFileIsRefused) {
  QMimeData remote;
  remote.setUrls({QUrl("https://example.com/arrow.bmp")});
  QMimeData pictureOnly;
  pictureOnly.setImageData(QImage(7, 3, QImage::Format_RGB32));
  QMimeData text;
  text.setText("arrow.bmp");
  for (const QMimeData* data : {&remote, &pictureOnly, &text}) {
    const DropFailure failure = expectFailure(readDrop(data->urls()));
    EXPECT_TRUE(failure.message.contains("holds no file on this computer")) << failure.message.toStdString();
  }
}

}  // namespace
