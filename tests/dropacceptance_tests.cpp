#include <functional>
#include <memory>
#include <ostream>
#include <string>

#include <QBuffer>
#include <QFile>
#include <QImage>
#include <QImageWriter>
#include <QList>
#include <QMimeData>
#include <QTemporaryDir>
#include <QUrl>

#include <gtest/gtest.h>

#include "bmpfixture.h"
#include "dropacceptance.h"

namespace {

// Files of each kind, by name and content, in one folder for all cases.
class DropFiles {
 public:
  DropFiles() {
    write("arrow.bmp", makeMonochromeBmp({"X.X", ".X."}));
    write("photo.jpg", jpegBytes());
    write("notes.txt", "GPRINT \"0102\"\n");
    QImage(4, 4, QImage::Format_RGB32).save(folder_.filePath("icon.png"), "PNG");
  }
  QUrl url(const QString& name) const { return QUrl::fromLocalFile(folder_.filePath(name)); }

 private:
  static std::string jpegBytes() {
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    if (QImageWriter(&buffer, "JPEG").write(QImage(4, 4, QImage::Format_RGB32))) {
      return buffer.data().toStdString();
    }
    // Without Qt's JPEG plug-in: the signature and a JFIF marker are enough.
    return std::string("\xFF\xD8\xFF\xE0\x00\x10JFIF\x00", 11);
  }
  void write(const QString& name, const std::string& bytes) {
    QFile file(folder_.filePath(name));
    file.open(QIODevice::WriteOnly);
    file.write(bytes.data(), static_cast<qint64>(bytes.size()));
  }
  QTemporaryDir folder_;
};

const DropFiles& files() {
  static const DropFiles instance;
  return instance;
}

struct AcceptanceCase {
  std::string name;
  std::function<void(QMimeData&)> fill;
  bool accepted;
};

void PrintTo(const AcceptanceCase& c, std::ostream* out) { *out << c.name; }

class DropAcceptanceTable : public testing::TestWithParam<AcceptanceCase> {};

TEST_P(DropAcceptanceTable, AcceptsOnlyDragsWithAPictureFile) {
  QMimeData data;
  GetParam().fill(data);
  EXPECT_EQ(isAcceptableDrop(&data, QStringLiteral("image/bmp")), GetParam().accepted);
}

INSTANTIATE_TEST_SUITE_P(
    Drags, DropAcceptanceTable,
    testing::Values(
        AcceptanceCase{"BmpFile", [](QMimeData& d) { d.setUrls({files().url("arrow.bmp")}); }, true},
        AcceptanceCase{"JpegFile", [](QMimeData& d) { d.setUrls({files().url("photo.jpg")}); }, true},
        // A picture alone has no file to convert, and would be refused on the drop.
        AcceptanceCase{"PictureDataOnly",
                       [](QMimeData& d) { d.setImageData(QImage(3, 2, QImage::Format_Mono)); }, false},
        AcceptanceCase{"PictureDataWithBmpFile",
                       [](QMimeData& d) {
                         d.setImageData(QImage(3, 2, QImage::Format_Mono));
                         d.setUrls({files().url("arrow.bmp")});
                       },
                       true},
        AcceptanceCase{"PictureDataWithTextFile",
                       [](QMimeData& d) {
                         d.setImageData(QImage(3, 2, QImage::Format_Mono));
                         d.setUrls({files().url("notes.txt")});
                       },
                       false},
        AcceptanceCase{"TextFile", [](QMimeData& d) { d.setUrls({files().url("notes.txt")}); }, false},
        AcceptanceCase{"PngFile", [](QMimeData& d) { d.setUrls({files().url("icon.png")}); }, false},
        AcceptanceCase{"BmpUrlNotLocal",
                       [](QMimeData& d) { d.setUrls({QUrl("https://example.com/arrow.bmp")}); }, false},
        AcceptanceCase{"FirstFileDecides_TextThenBmp",
                       [](QMimeData& d) { d.setUrls({files().url("notes.txt"), files().url("arrow.bmp")}); },
                       false},
        AcceptanceCase{"FirstFileDecides_BmpThenText",
                       [](QMimeData& d) { d.setUrls({files().url("arrow.bmp"), files().url("notes.txt")}); },
                       true},
        AcceptanceCase{"PlainText", [](QMimeData& d) { d.setText("arrow.bmp"); }, false},
        AcceptanceCase{"Nothing", [](QMimeData&) {}, false}),
    [](const testing::TestParamInfo<AcceptanceCase>& row) { return row.param.name; });

TEST(DropAcceptance, NoMimeDataIsRefused) {
  EXPECT_FALSE(isAcceptableDrop(nullptr, QStringLiteral("image/bmp")));
}

}  // namespace
