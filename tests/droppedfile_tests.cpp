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
const BmpOptions Os2TopDown{.infoHeaderSize = 12, .topDown = true};
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
                    BmpCase{"Os2CoreHeaderTopDown", Os2TopDown, 0, true},
                    BmpCase{"OnePaletteEntry", OnePaletteEntry, 0, true},
                    BmpCase{"GapBeforePixels", GapBeforePixels, 0, true},
                    BmpCase{"GapBeforePixelsOneByteShort", GapBeforePixels, -1, false}),
    [](const testing::TestParamInfo<BmpCase>& row) { return row.param.name; });

struct PaddedCase {
  std::string name;
  BmpOptions options;
};

void PrintTo(const PaddedCase& c, std::ostream* out) { *out << c.name; }

class PaddedLargeFile : public DroppedFileTest, public testing::WithParamInterface<PaddedCase> {};

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
                         testing::Values(PaddedCase{"Plain62ByteLayout", Plain}, PaddedCase{"V5Header", V5Header},
                                         PaddedCase{"Os2CoreHeader", Os2Header}, PaddedCase{"TopDown", TopDown},
                                         PaddedCase{"OnePaletteEntry", OnePaletteEntry},
                                         PaddedCase{"GapBeforePixels", GapBeforePixels}),
                         [](const testing::TestParamInfo<PaddedCase>& row) { return row.param.name; });

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
