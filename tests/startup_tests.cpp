// Starts the program's start-up (built as quillomat_probe, which reports the
// shown window) and checks that it comes up with its one window shown, idle
// and centred, with its icon, and with its backdrop when the file lies beside
// it.

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QProcess>
#include <QProcessEnvironment>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

namespace {

const QColor WindowGrey(0x6C, 0x6C, 0x6C);

QByteArray readFile(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

}  // namespace

class StartupTests final : public QObject {
  Q_OBJECT

 private slots:
  void windowIsShownAndIdle();
  void centredOnTheFirstScreen_data();
  void centredOnTheFirstScreen();
  void shownWindowLooksAsLaidOut_data();
  void shownWindowLooksAsLaidOut();
};

void StartupTests::windowIsShownAndIdle() {
  QProcess program;
  program.start(QUILLOMAT_PROBE_EXE, {});
  QVERIFY2(program.waitForFinished(20000), "the program did not come up and go idle");
  QCOMPARE(program.exitStatus(), QProcess::NormalExit);
  QCOMPARE(program.exitCode(), 0);
  const QString out = QString::fromUtf8(program.readAllStandardOutput()).trimmed();
  const QRegularExpression expected(
      "^shown visible=1 exposed=1 windows=1 content=690x432 title=Quillomat icon=1 at=-?\\d+,-?\\d+$");
  QVERIFY2(expected.match(out).hasMatch(), qPrintable(out));
}

void StartupTests::centredOnTheFirstScreen_data() {
  QTest::addColumn<QSize>("screen");
  QTest::addColumn<QPoint>("at");
  // Centred by the window's own 690 x 432: by its size with the menu bar it
  // would stand higher (615, 314 on the first screen).
  QTest::newRow("1920 x 1080") << QSize(1920, 1080) << QPoint(615, 324);
  QTest::newRow("1365 x 768: the half pixel is dropped") << QSize(1365, 768) << QPoint(337, 168);
}

// The real start-up on Qt's offscreen platform, given a first screen of the
// row's size; the probe reports where Qt's geometry of the window starts.
void StartupTests::centredOnTheFirstScreen() {
  QFETCH(QSize, screen);
  QFETCH(QPoint, at);
  QTemporaryDir folder;
  QVERIFY(folder.isValid());
  const QString config = folder.filePath("screens.json");
  QFile file(config);
  QVERIFY(file.open(QIODevice::WriteOnly));
  file.write(QStringLiteral("{\"screens\": [{\"name\": \"first\", \"x\": 0, \"y\": 0, \"width\": %1, \"height\": %2, "
                            "\"logicalDpi\": 96, \"logicalBaseDpi\": 96, \"dpr\": 1}]}")
                 .arg(screen.width())
                 .arg(screen.height())
                 .toUtf8());
  file.close();

  QProcess program;
  QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
  environment.insert("QT_QPA_PLATFORM", "offscreen:configfile=" + config);
  program.setProcessEnvironment(environment);
  program.start(QUILLOMAT_PROBE_EXE, {});
  QVERIFY(program.waitForFinished(20000));
  QCOMPARE(program.exitCode(), 0);
  const QString out = QString::fromUtf8(program.readAllStandardOutput()).trimmed();
  QVERIFY2(out.endsWith(QStringLiteral(" at=%1,%2").arg(at.x()).arg(at.y())), qPrintable(out));
}

void StartupTests::shownWindowLooksAsLaidOut_data() {
  QTest::addColumn<bool>("installed");
  QTest::addColumn<bool>("backdropBeside");
  QTest::newRow("as built") << false << true;
  // cmake --install into a prefix of its own; the probe is installed beside
  // the program on request.
  QTest::newRow("installed") << true << true;
  // Without its backdrop the program still starts, and shows none.
  QTest::newRow("installed, backdrop moved away") << true << false;
}

void StartupTests::shownWindowLooksAsLaidOut() {
  QFETCH(bool, installed);
  QFETCH(bool, backdropBeside);
  const QByteArray backdropFile = readFile(QUILLOMAT_SOURCE_DIR "/resources/Anzeige_Leer1.png");
  const QImage backdrop = QImage::fromData(backdropFile, "PNG");
  QVERIFY(!backdrop.isNull());

  QTemporaryDir folder;
  QVERIFY(folder.isValid());
  QString probe = QUILLOMAT_PROBE_EXE;
  if (installed) {
    const QString prefix = folder.filePath("prefix");
    for (const QStringList& component : {QStringList{}, QStringList{"--component", "probe"}}) {
      QProcess install;
      install.start(CMAKE_COMMAND, QStringList{"--install", QUILLOMAT_BINARY_DIR, "--prefix", prefix} + component);
      QVERIFY(install.waitForFinished(60000));
      QVERIFY2(install.exitCode() == 0, install.readAllStandardError().constData());
    }
    QVERIFY(QFileInfo(prefix + "/bin/quillomat").isExecutable());
    probe = prefix + "/bin/quillomat_probe";
    // The backdrop is a file beside the program, not built into it.
    for (const QString program : {"quillomat", "quillomat_probe"}) {
      const QByteArray executable = readFile(prefix + "/bin/" + program);
      QVERIFY(!executable.isEmpty());
      QVERIFY2(!executable.contains(backdropFile), qPrintable(program + " holds the backdrop's bytes"));
    }
  }
  const QString beside = QFileInfo(probe).dir().filePath("Anzeige_Leer1.png");
  QCOMPARE(readFile(beside), backdropFile);
  if (!backdropBeside) QVERIFY(QFile::rename(beside, folder.filePath("Anzeige_Leer1.png")));

  const QString shotFile = folder.filePath("window.png");
  QProcess program;
  program.start(probe, {shotFile});
  QVERIFY(program.waitForFinished(20000));
  QCOMPARE(program.exitCode(), 0);
  QVERIFY(program.readAllStandardOutput().contains(" icon=1"));

  const QImage shot = QImage(shotFile).convertToFormat(QImage::Format_RGB32);
  QCOMPARE(shot.width(), 690);
  const int barHeight = shot.height() - 432;
  QVERIFY(barHeight > 0);
  const auto at = [&](int x, int y) { return shot.pixelColor(x, y + barHeight); };
  QCOMPARE(at(2, 2), WindowGrey);
  QCOMPARE(at(231, 80), QColor(Qt::black));
  QCOMPARE(at(543, 146), QColor(Qt::black));
  // An opaque point of the backdrop shows at its place on the canvas (180, 45);
  // without the backdrop, the window's grey shows through the canvas there.
  const QPoint inside(300 - 180, 120 - 45);
  QCOMPARE(backdrop.pixelColor(inside).alpha(), 255);
  QVERIFY(backdrop.pixelColor(inside) != WindowGrey);
  QCOMPARE(at(300, 120), backdropBeside ? backdrop.pixelColor(inside) : WindowGrey);
}

QTEST_GUILESS_MAIN(StartupTests)
#include "startup_tests.moc"
