// The preview's backdrop, built into the program as a resource: read once and
// kept, and drawn beneath the preview frame.

#include <optional>

#include <QImage>
#include <QTest>

#include "apptestmain.h"
#include "imagecanvas.h"
#include "windowfixture.h"

class BackdropTests final : public QObject {
  Q_OBJECT

 private slots:
  void backdropIsReadOnceAndKept();
  void backdropIsDrawnBeneathTheFrame();
};

void BackdropTests::backdropIsReadOnceAndKept() {
  const QImage read = ImageCanvas::Anzeige_Leer1();
  QCOMPARE(read.size(), QSize(436, 146));
  QCOMPARE(read, QImage(QStringLiteral(":/Anzeige_Leer1.png")));

  // Kept from then on: it is not read again, even once the resource is gone.
  Q_CLEANUP_RESOURCE(quillomat);
  const QImage kept = ImageCanvas::Anzeige_Leer1();
  Q_INIT_RESOURCE(quillomat);
  QCOMPARE(kept, read);
}

void BackdropTests::backdropIsDrawnBeneathTheFrame() {
  std::optional<Window1> window;
  makeWindow(window);
  window->show();
  QVERIFY(QTest::qWaitForWindowExposed(&*window));
  const QImage backdrop(QStringLiteral(":/Anzeige_Leer1.png"));
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
