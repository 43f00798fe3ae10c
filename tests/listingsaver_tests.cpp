#include <csignal>

#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QLineEdit>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTimer>
#include <QTest>

#include "fakedialogs.h"
#include "listingfixtures.h"
#include "listingsaver.h"
#include "writetrouble.h"

using namespace listingfixtures;

namespace {

const QString TextFilter = QStringLiteral("application/text (*.1st *.nfo *.readme readme)");

}  // namespace

class ListingSaverTests : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase();
  void writesPagesAsTheyAre_data();
  void writesPagesAsTheyAre();
  void saveFlow_data();
  void saveFlow();
  void replacesAnExistingFile();
  void writeFailureKeepsTheOldFile_data();
  void writeFailureKeepsTheOldFile();
  void realSaveDialogShowsTheSettings();

 private:
  QTemporaryDir home_;
};

void ListingSaverTests::initTestCase() {
  // As the program's App does: a write past the file-size limit then fails
  // with EFBIG instead of ending the test.
  std::signal(SIGXFSZ, SIG_IGN);
  // A documents folder of the test's own, for the real save dialog.
  QVERIFY(home_.isValid());
  qputenv("HOME", QFile::encodeName(home_.path()));
  qunsetenv("XDG_CONFIG_HOME");
  QVERIFY(QDir(home_.path()).mkpath(QStringLiteral("Documents")));
}

void ListingSaverTests::writesPagesAsTheyAre_data() { addPageCountRows(); }

void ListingSaverTests::writesPagesAsTheyAre() {
  QFETCH(int, pageCount);
  QFETCH(bool, lastPageEmpty);
  const std::vector<std::string> pages = gprintPagesOfRow(pageCount, lastPageEmpty);
  const quillomat::ConversionState state = listingWithTextPastItsEnd(pages);

  QTemporaryDir dir;
  const QString path = dir.filePath(QStringLiteral("listing.txt"));
  FakeDialogs dialogs;
  QVERIFY(writeListing(nullptr, dialogs, state, path));

  const QByteArray saved = fileBytes(path);
  QCOMPARE(saved, QByteArray::fromStdString(joined(pages)));
  QVERIFY(!saved.contains('\n'));
  QVERIFY(saved.endsWith('\r'));
  QVERIFY(dialogs.calls.isEmpty());
}

void ListingSaverTests::saveFlow_data() {
  QTest::addColumn<bool>("listingShown");
  QTest::addColumn<bool>("fileChosen");
  QTest::addColumn<QStringList>("calls");
  QTest::addColumn<bool>("written");
  QTest::addColumn<std::int64_t>("lastPage");  // after the call
  const QStringList asked{"save"};
  // Three pages until the pages are rebuilt, then one.
  QTest::newRow("no listing shown asks nothing") << false << true << QStringList{} << false << std::int64_t{2};
  QTest::newRow("cancel writes nothing but rebuilds the pages") << true << false << asked << false << std::int64_t{0};
  QTest::newRow("saves the rebuilt listing") << true << true << asked << true << std::int64_t{0};
}

void ListingSaverTests::saveFlow() {
  QFETCH(bool, listingShown);
  QFETCH(bool, fileChosen);
  QFETCH(QStringList, calls);
  QFETCH(bool, written);
  QFETCH(std::int64_t, lastPage);
  QTemporaryDir dir;
  const QString path = dir.filePath(QStringLiteral("Image.txt"));
  FakeDialogs dialogs;
  if (fileChosen) dialogs.saveAnswer = path;
  quillomat::ConversionState state = oneStatementListing();

  saveListing(nullptr, dialogs, state, listingShown, TextFilter);

  QCOMPARE(dialogs.calls, calls);
  QCOMPARE(state.DruckSeiten, lastPage);
  if (!calls.isEmpty()) {
    QCOMPARE(dialogs.saveRequest.folder, QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation));
    QCOMPARE(dialogs.saveRequest.prompt, QStringLiteral("Save GPRINT File"));
    QCOMPARE(dialogs.saveRequest.suggestedName, QStringLiteral("Image.txt"));
    QCOMPARE(dialogs.saveRequest.title, QStringLiteral("Title Property"));
    QCOMPARE(dialogs.saveRequest.filter, TextFilter);
  }
  if (!written) {
    QVERIFY(QDir(dir.path()).isEmpty());
    return;
  }
  // The stale pages of the earlier listing are gone once the pages are rebuilt.
  QCOMPARE(fileBytes(path), QByteArray::fromStdString(OneStatementPage));
}

void ListingSaverTests::replacesAnExistingFile() {
  QTemporaryDir dir;
  const QString path = dir.filePath(QStringLiteral("Image.txt"));
  QVERIFY(putFile(path, QByteArray(5000, 'x') + "\r\nold listing\r\n"));
  FakeDialogs dialogs;
  dialogs.saveAnswer = path;
  quillomat::ConversionState state = oneStatementListing();

  saveListing(nullptr, dialogs, state, true, TextFilter);
  saveListing(nullptr, dialogs, state, true, TextFilter);

  QCOMPARE(fileBytes(path), QByteArray::fromStdString(OneStatementPage));
  QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("Image.txt")});
}

void ListingSaverTests::writeFailureKeepsTheOldFile_data() {
  QTest::addColumn<WriteTrouble>("trouble");
  QTest::addColumn<QString>("reason");
  QTest::newRow("disk refuses more bytes") << WriteTrouble::FileSizeLimit << "File too large";
  QTest::newRow("disk fills up") << WriteTrouble::FullDisk << "No space left on device";
  QTest::newRow("folder does not exist") << WriteTrouble::MissingFolder << "No such file or directory";
  QTest::newRow("read-only folder") << WriteTrouble::ReadOnlyFolder << "Permission denied";
}

void ListingSaverTests::writeFailureKeepsTheOldFile() {
  QFETCH(WriteTrouble, trouble);
  QFETCH(QString, reason);
  TroubledFolder folder(trouble, QStringLiteral("Image.txt"));
  if (!folder.skipReason().isEmpty()) QSKIP(qPrintable(folder.skipReason()));

  // More than the full disk has room for, and than the size limit.
  const quillomat::ConversionState state = listingOfPages(gprintPages(3));
  QVERIFY(quillomat::ListingText(state).size() > TroubledFolder::RoomForNewBytes);
  FakeDialogs dialogs;
  const bool written = folder.whileTroubled([&] { return writeListing(nullptr, dialogs, state, folder.path()); });

  QVERIFY(!written);
  // One message naming the file and the reason; no temporary or half-written file left.
  const QString problems = folder.failureProblems(dialogs.messages, reason);
  QVERIFY2(problems.isEmpty(), qPrintable(problems));
}

void ListingSaverTests::realSaveDialogShowsTheSettings() {
  QTemporaryDir dir;
  const QString target = dir.filePath(QStringLiteral("chosen.txt"));
  struct Seen {
    bool dialog = false;
    QString title, prompt, folder, selected;
    QStringList filters;
  } seen;

  QTimer answer;
  answer.setInterval(20);
  QObject::connect(&answer, &QTimer::timeout, [&] {
    auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
    if (!dialog) return;
    answer.stop();
    seen.dialog = true;
    seen.title = dialog->windowTitle();
    seen.prompt = dialog->labelText(QFileDialog::FileName);
    seen.folder = dialog->directory().absolutePath();
    seen.selected = dialog->selectedFiles().value(0);
    seen.filters = dialog->nameFilters();
    auto* nameEdit = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
    if (nameEdit) nameEdit->setText(target);
    static_cast<QDialog*>(dialog)->accept();  // QFileDialog hides its override
  });
  answer.start();

  QtDialogs dialogs;
  quillomat::ConversionState state = oneStatementListing();
  saveListing(nullptr, dialogs, state, true, TextFilter);
  answer.stop();

  QVERIFY(seen.dialog);
  const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
  QCOMPARE(seen.title, QStringLiteral("Title Property"));
  QCOMPARE(seen.prompt, QStringLiteral("Save GPRINT File"));
  QCOMPARE(seen.folder, documents);
  QCOMPARE(seen.selected, documents + QStringLiteral("/Image.txt"));
  QCOMPARE(seen.filters, QStringList{TextFilter});
  QCOMPARE(fileBytes(target), QByteArray::fromStdString(OneStatementPage));
}

QTEST_MAIN(ListingSaverTests)
#include "listingsaver_tests.moc"
