// The preview's backdrop: read from the resource folder beside the
// executable, once it can be read, and drawn beneath the preview frame.

#include <QDir>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QTest>

#include "apptestmain.h"
#include "imagecanvas.h"
#include "window1.h"

namespace {

QString resourceFolder() { return QCoreApplication::applicationDirPath() + "/resources"; }
QString backdropFile() { return resourceFolder() + "/Anzeige_Leer1.png"; }

// A canvas-sized backdrop: red, with a transparent hole in the top left.
QImage makeBackdrop() {
  QImage image(436, 146, QImage::Format_ARGB32);
  image.fill(Qt::red);
  QPainter painter(&image);
  painter.setCompositionMode(QPainter::CompositionMode_Source);
  painter.fillRect(0, 0, 20, 20, Qt::transparent);
  return image;
}

}  // namespace

class BackdropTests final : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase();
  void cleanupTestCase();
  void missingBackdropLeavesCanvasBare();
  void backdropIsReadOnceItExists();
  void backdropIsDrawnBeneathTheFrame();
};

void BackdropTests::initTestCase() { QDir(resourceFolder()).removeRecursively(); }

void BackdropTests::cleanupTestCase() { QDir(resourceFolder()).removeRecursively(); }

void BackdropTests::missingBackdropLeavesCanvasBare() {
  QVERIFY(ImageCanvas::Anzeige_Leer1().isNull());
  Window1 window;
  auto* canvas = window.findChild<ImageCanvas*>("ImageCanvas");
  QVERIFY(canvas != nullptr);
  QVERIFY(canvas->backdrop().isNull());
  window.show();
  QVERIFY(QTest::qWaitForWindowExposed(&window));
  // Transparent canvas: the window's grey shows through.
  QCOMPARE(canvas->grab().toImage().pixelColor(100, 20), QColor(0x6C, 0x6C, 0x6C));
}

void BackdropTests::backdropIsReadOnceItExists() {
  QVERIFY(QDir().mkpath(resourceFolder()));
  QVERIFY(makeBackdrop().save(backdropFile()));
  const QImage read = ImageCanvas::Anzeige_Leer1();
  QCOMPARE(read.size(), QSize(436, 146));
  QCOMPARE(read.pixelColor(100, 100), QColor(Qt::red));

  // Kept from then on: a file that changes or goes away is not read again.
  QImage other(436, 146, QImage::Format_ARGB32);
  other.fill(Qt::blue);
  QVERIFY(other.save(backdropFile()));
  QCOMPARE(ImageCanvas::Anzeige_Leer1().pixelColor(100, 100), QColor(Qt::red));
  QVERIFY(QFile::remove(backdropFile()));
  QCOMPARE(ImageCanvas::Anzeige_Leer1().pixelColor(100, 100), QColor(Qt::red));
}

void BackdropTests::backdropIsDrawnBeneathTheFrame() {
  Window1 window;
  window.show();
  QVERIFY(QTest::qWaitForWindowExposed(&window));
  const QImage shown = window.centralWidget()->grab().toImage();
  // Window coordinates: the canvas starts at (180, 45).
  QCOMPARE(shown.pixelColor(180 + 100, 45 + 120), QColor(Qt::red));
  QCOMPARE(shown.pixelColor(180 + 5, 45 + 5), QColor(0x6C, 0x6C, 0x6C));
  for (const QPoint corner : {QPoint(231, 80), QPoint(543, 80), QPoint(231, 146), QPoint(543, 146)}) {
    QCOMPARE(shown.pixelColor(corner), QColor(Qt::black));
  }
  QCOMPARE(shown.pixelColor(300, 113), QColor(Qt::red));
}

QUILLOMAT_APP_TEST_MAIN(BackdropTests)
#include "backdrop_tests.moc"
