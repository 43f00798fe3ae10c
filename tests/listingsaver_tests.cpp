#include <csignal>
#include <sys/resource.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QLineEdit>
#include <QScopeGuard>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTimer>
#include <QTest>

#include "fakedialogs.h"
#include "listingfixtures.h"
#include "listingsaver.h"

using namespace listingfixtures;

namespace {

const QString TextFilter = QStringLiteral("application/text (*.1st *.nfo *.readme readme)");

QByteArray fileBytes(const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return {};
  return file.readAll();
}

void putFile(const QString& path, const QByteArray& bytes) {
  QFile file(path);
  QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
  QCOMPARE(file.write(bytes), bytes.size());
}

}  // namespace

class ListingSaverTests : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase();
  void writesPagesAsTheyAre_data();
  void writesPagesAsTheyAre();
  void savesTheRebuiltListingToTheChosenFile();
  void replacesAnExistingFile();
  void cancelWritesNothingButRebuildsThePages();
  void noListingAsksNothing();
  void writeFailureKeepsTheOldFile_data();
  void writeFailureKeepsTheOldFile();
  void realSaveDialogShowsTheSettings();

 private:
  QTemporaryDir home_;
};

void ListingSaverTests::initTestCase() {
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

void ListingSaverTests::savesTheRebuiltListingToTheChosenFile() {
  QTemporaryDir dir;
  FakeDialogs dialogs;
  dialogs.saveAnswer = dir.filePath(QStringLiteral("Image.txt"));
  quillomat::ConversionState state = oneStatementListing();

  saveListing(nullptr, dialogs, state, true, TextFilter);

  QCOMPARE(dialogs.calls, QStringList{QStringLiteral("save")});
  QCOMPARE(dialogs.saveRequest.folder,
           QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation));
  QCOMPARE(dialogs.saveRequest.prompt, QStringLiteral("Save GPRINT File"));
  QCOMPARE(dialogs.saveRequest.suggestedName, QStringLiteral("Image.txt"));
  QCOMPARE(dialogs.saveRequest.title, QStringLiteral("Title Property"));
  QCOMPARE(dialogs.saveRequest.filter, TextFilter);
  // The stale pages of the earlier listing are gone once the pages are rebuilt.
  QCOMPARE(fileBytes(*dialogs.saveAnswer), QByteArray::fromStdString(OneStatementPage));
}

void ListingSaverTests::replacesAnExistingFile() {
  QTemporaryDir dir;
  const QString path = dir.filePath(QStringLiteral("Image.txt"));
  putFile(path, QByteArray(5000, 'x') + "\r\nold listing\r\n");
  FakeDialogs dialogs;
  dialogs.saveAnswer = path;
  quillomat::ConversionState state = oneStatementListing();

  saveListing(nullptr, dialogs, state, true, TextFilter);
  saveListing(nullptr, dialogs, state, true, TextFilter);

  QCOMPARE(fileBytes(path), QByteArray::fromStdString(OneStatementPage));
  QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("Image.txt")});
}

void ListingSaverTests::cancelWritesNothingButRebuildsThePages() {
  QTemporaryDir dir;
  FakeDialogs dialogs;
  quillomat::ConversionState state = oneStatementListing();

  saveListing(nullptr, dialogs, state, true, TextFilter);

  QCOMPARE(dialogs.calls, QStringList{QStringLiteral("save")});
  QVERIFY(QDir(dir.path()).isEmpty());
  QCOMPARE(state.DruckSeiten, 0);
}

void ListingSaverTests::noListingAsksNothing() {
  FakeDialogs dialogs;
  QTemporaryDir dir;
  dialogs.saveAnswer = dir.filePath(QStringLiteral("Image.txt"));
  quillomat::ConversionState state = oneStatementListing();

  saveListing(nullptr, dialogs, state, false, TextFilter);

  QVERIFY(dialogs.calls.isEmpty());
  QVERIFY(!QFile::exists(*dialogs.saveAnswer));
  QCOMPARE(state.DruckSeiten, 2);
}

void ListingSaverTests::writeFailureKeepsTheOldFile_data() {
  QTest::addColumn<QString>("fileName");
  QTest::addColumn<bool>("fileSizeLimited");
  QTest::addColumn<bool>("readOnlyFolder");
  QTest::addColumn<QString>("reason");
  QTest::newRow("disk refuses more bytes") << "Image.txt" << true << false << "File too large";
  QTest::newRow("folder does not exist") << "missing/Image.txt" << false << false
                                         << "No such file or directory";
  QTest::newRow("read-only folder") << "Image.txt" << false << true << "Permission denied";
}

void ListingSaverTests::writeFailureKeepsTheOldFile() {
  QFETCH(QString, fileName);
  QFETCH(bool, fileSizeLimited);
  QFETCH(bool, readOnlyFolder);
  QFETCH(QString, reason);
  // Root writes into read-only folders regardless.
  if (readOnlyFolder && geteuid() == 0) QSKIP("a read-only folder does not stop root");

  QTemporaryDir dir;
  const QString path = dir.filePath(fileName);
  const QByteArray old = "GPRINT \"00\"\r\r\r\r";
  const bool oldFileExists = QDir(QFileInfo(path).path()).exists();
  if (oldFileExists) putFile(path, old);
  const QStringList entriesBefore = QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot);

  // Far longer than the size limit below, and than the old file.
  const quillomat::ConversionState state = listingOfPages(gprintPages(3));
  FakeDialogs dialogs;
  bool written = true;
  {
    rlimit oldLimit{};
    QVERIFY(getrlimit(RLIMIT_FSIZE, &oldLimit) == 0);
    // A write past the limit then fails with EFBIG instead of killing the test.
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    const auto restore = qScopeGuard([&] {
      setrlimit(RLIMIT_FSIZE, &oldLimit);
      std::signal(SIGXFSZ, oldHandler);
      QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    });
    if (fileSizeLimited) {
      rlimit small = oldLimit;
      small.rlim_cur = 256;
      QVERIFY(setrlimit(RLIMIT_FSIZE, &small) == 0);
    }
    if (readOnlyFolder) QVERIFY(QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::ExeOwner));
    written = writeListing(nullptr, dialogs, state, path);
  }

  QVERIFY(!written);
  QCOMPARE(dialogs.messages.size(), 1);
  const QString& message = dialogs.messages.constFirst();
  QVERIFY2(message.contains(QDir::toNativeSeparators(path)), qPrintable(message));
  QVERIFY2(message.contains(reason), qPrintable(message));
  if (oldFileExists) QCOMPARE(fileBytes(path), old);
  else QVERIFY(!QFile::exists(path));
  // No temporary or half-written file is left beside it.
  QCOMPARE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), entriesBefore);
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
