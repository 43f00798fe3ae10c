// Starts the program's start-up (built as quillomat_probe, which reports the
// shown window) and checks that it comes up with its one window shown and
// idle, its backdrop found beside it.

#include <QFileInfo>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

class StartupTests final : public QObject {
  Q_OBJECT

 private slots:
  void windowIsShownAndIdle();
  void shownWindowLooksAsLaidOut();
};

void StartupTests::windowIsShownAndIdle() {
  QProcess program;
  program.start(QUILLOMAT_PROBE_EXE, {});
  QVERIFY2(program.waitForFinished(20000), "the program did not come up and go idle");
  QCOMPARE(program.exitStatus(), QProcess::NormalExit);
  QCOMPARE(program.exitCode(), 0);
  const QString out = QString::fromUtf8(program.readAllStandardOutput()).trimmed();
  QCOMPARE(out, QString("shown visible=1 exposed=1 windows=1 content=690x432 title=Quillomat"));
}

void StartupTests::shownWindowLooksAsLaidOut() {
  // The build put the resource folder beside the program.
  const QString resources = QFileInfo(QUILLOMAT_PROBE_EXE).absolutePath() + "/resources/";
  const QImage backdrop(resources + "Anzeige_Leer1.png");
  QVERIFY(!backdrop.isNull());
  QVERIFY(!QImage(resources + "quillomat.ico").isNull());

  QTemporaryDir folder;
  QVERIFY(folder.isValid());
  const QString shotFile = folder.filePath("window.png");
  QProcess program;
  program.start(QUILLOMAT_PROBE_EXE, {shotFile});
  QVERIFY(program.waitForFinished(20000));
  QCOMPARE(program.exitCode(), 0);

  const QImage shot = QImage(shotFile).convertToFormat(QImage::Format_RGB32);
  QCOMPARE(shot.width(), 690);
  const int barHeight = shot.height() - 432;
  QVERIFY(barHeight > 0);
  const auto at = [&](int x, int y) { return shot.pixelColor(x, y + barHeight); };
  QCOMPARE(at(2, 2), QColor(0x6C, 0x6C, 0x6C));
  QCOMPARE(at(231, 80), QColor(Qt::black));
  QCOMPARE(at(543, 146), QColor(Qt::black));
  // An opaque point of the backdrop shows at its place on the canvas (180, 45).
  const QPoint inside(300 - 180, 120 - 45);
  QCOMPARE(backdrop.pixelColor(inside).alpha(), 255);
  QCOMPARE(at(300, 120), backdrop.pixelColor(inside));
}

QTEST_GUILESS_MAIN(StartupTests)
#include "startup_tests.moc"
