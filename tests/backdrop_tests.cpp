// The preview's backdrop, a file beside the program as beside this test: read
// once and kept, and drawn beneath the preview frame. The other window tests
// have no backdrop beside them and show the canvas without one.

#include <optional>

#include <QCoreApplication>
#include <QDir>
#include <QImage>
#include <QTest>

#include "apptestmain.h"
#include "imagecanvas.h"
#include "windowfixture.h"

namespace {

QImage backdropBesideTest() {
  return QImage(QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("Anzeige_Leer1.png")));
}

}  // namespace

class BackdropTests final : public QObject {
  Q_OBJECT

 private slots:
  void backdropIsReadOnceAndKept();
  void backdropIsDrawnBeneathTheFrame();
};

void BackdropTests::backdropIsReadOnceAndKept() {
  const QImage read = ImageCanvas::Anzeige_Leer1();
  QCOMPARE(read.size(), QSize(436, 146));
  QCOMPARE(read, backdropBesideTest());

  // Kept from then on: a second call hands out the same picture, not one read
  // anew (each read makes a picture with a key of its own).
  QCOMPARE(ImageCanvas::Anzeige_Leer1().cacheKey(), read.cacheKey());
  QVERIFY(backdropBesideTest().cacheKey() != read.cacheKey());
}

void BackdropTests::backdropIsDrawnBeneathTheFrame() {
  std::optional<Window1> window;
  makeWindow(window);
  window->show();
  QVERIFY(QTest::qWaitForWindowExposed(&*window));
  const QImage backdrop = backdropBesideTest();
  QVERIFY(!backdrop.isNull());
  const QImage shown = window->centralWidget()->grab().toImage();
  // Window coordinates: the canvas starts at (180, 45). An opaque point of the
  // backdrop inside the preview area, and one outside it.
  for (const QPoint onCanvas : {QPoint(120, 75), QPoint(20, 120)}) {
    QCOMPARE(backdrop.pixelColor(onCanvas).alpha(), 255);
    QCOMPARE(shown.pixelColor(onCanvas + QPoint(180, 45)), backdrop.pixelColor(onCanvas));
  }
  for (const QPoint corner : {QPoint(231, 80), QPoint(543, 80), QPoint(231, 146), QPoint(543, 146)}) {
    QCOMPARE(shown.pixelColor(corner), QColor(Qt::black));
  }
}

QUILLOMAT_APP_TEST_MAIN(BackdropTests)
#include "backdrop_tests.moc"
