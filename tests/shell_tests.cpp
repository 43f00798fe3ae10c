// The shell without the window: file types, the menu bar's tree and command
// routing, quitting, and exceptions that escape an event handler.

#include <memory>
#include <stdexcept>

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QEvent>
#include <QMenu>
#include <QMessageBox>
#include <QScopeGuard>
#include <QTest>
#include <QTimer>

#include "apptestmain.h"
#include "fakedialogs.h"
#include "filetypes.h"
#include "mainmenubar.h"

namespace {

// One entry of the menu tree as the user sees it.
struct MenuEntry {
  QString menu;
  QString name;
  QString text;
  QString shortcut;
  bool separator = false;
};

QList<MenuEntry> flatten(const QMenuBar& bar) {
  QList<MenuEntry> entries;
  for (QAction* menuAction : bar.actions()) {
    QMenu* menu = menuAction->menu();
    entries.append({menu->objectName(), menu->objectName(), menu->title(), menuAction->shortcut().toString(), false});
    for (QAction* item : menu->actions()) {
      entries.append({menu->objectName(), item->objectName(), item->isSeparator() ? QString() : item->text(),
                      item->shortcut().toString(), item->isSeparator()});
    }
  }
  return entries;
}

// Throws from its event handler, as a faulty handler of the program would.
class Thrower final : public QObject {
 public:
  enum class Kind { StdException, Other };
  Kind kind = Kind::StdException;
  int delivered = 0;

  bool event(QEvent* event) override {
    if (event->type() != QEvent::User) return QObject::event(event);
    ++delivered;
    if (kind == Kind::StdException) throw std::runtime_error("the disk is on fire");
    throw 42;
  }
};

// Runs the event loop until something quits it; gives up with code 99 after
// a bound that only a fault reaches.
int runEventLoopUntilQuit() {
  QTimer giveUp;
  giveUp.setSingleShot(true);
  QObject::connect(&giveUp, &QTimer::timeout, [] { QCoreApplication::exit(99); });
  giveUp.start(10000);
  return QCoreApplication::exec();
}

App& app() { return *static_cast<App*>(qApp); }

}  // namespace

class ShellTests final : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase();
  void fileTypeFields_data();
  void fileTypeFields();
  void nameFilter_data();
  void nameFilter();
  void menuTree_data();
  void menuTree();
  void menuActionsAreTheNamedItems_data();
  void menuActionsAreTheNamedItems();
  void menuBarIsBuiltOnce();
  void exitQuitsThroughQt();
  void escapedExceptionIsReported_data();
  void escapedExceptionIsReported();
  void escapedExceptionEndsEventLoop_data();
  void escapedExceptionEndsEventLoop();
  void escapedExceptionBeforeEventLoopEndsRun();

 private:
  void useFakeDialogs();

  FakeDialogs* mDialogs = nullptr;
};

void ShellTests::useFakeDialogs() {
  auto dialogs = std::make_unique<FakeDialogs>();
  mDialogs = dialogs.get();
  app().setDialogs(std::move(dialogs));
}

void ShellTests::initTestCase() { useFakeDialogs(); }

void ShellTests::fileTypeFields_data() {
  QTest::addColumn<int>("index");
  QTest::addColumn<QString>("name");
  QTest::addColumn<QString>("extensions");
  QTest::addColumn<QString>("macType");
  QTest::addColumn<QString>("macCreator");
  QTest::addColumn<QString>("mimeType");
  QTest::addColumn<bool>("imported");
  QTest::addColumn<QString>("conformsTo");
  QTest::addColumn<QString>("uti");
  QTest::newRow("PictureTypes.Bmp") << 0 << "image/bmp" << ".bmp" << "" << "" << "" << true << "public.image"
                                    << "public.bmp";
  QTest::newRow("FileTypes1.ApplicationText") << 1 << "application/text" << ".1st;.nfo;.readme;readme" << "TEXT"
                                              << "text" << "" << false << "" << "public.text";
}

void ShellTests::fileTypeFields() {
  QFETCH(int, index);
  QCOMPARE(FileTypes.size(), std::size_t{2});
  const FileType& type = FileTypes.at(static_cast<std::size_t>(index));
  QCOMPARE(&type, index == 0 ? &PictureTypes::Bmp : &FileTypes1::ApplicationText);
  QTEST(QString(type.Name), "name");
  QTEST(QString(type.Extensions), "extensions");
  QTEST(QString(type.MacType), "macType");
  QTEST(QString(type.MacCreator), "macCreator");
  QTEST(QString(type.MimeType), "mimeType");
  QTEST(type.Imported, "imported");
  QTEST(QString(type.ConformsTo), "conformsTo");
  QTEST(QString(type.UTI), "uti");
}

void ShellTests::nameFilter_data() {
  QTest::addColumn<QString>("extensions");
  QTest::addColumn<QString>("filter");
  QTest::newRow("text type: a name without dot stays a whole file name")
      << ".1st;.nfo;.readme;readme" << "application/text (*.1st *.nfo *.readme readme)";
  QTest::newRow("one extension") << ".bmp" << "application/text (*.bmp)";
  QTest::newRow("empty entries are skipped") << ".a;;.b;" << "application/text (*.a *.b)";
}

void ShellTests::nameFilter() {
  QFETCH(QString, extensions);
  const QByteArray latin1 = extensions.toLatin1();
  FileType type = FileTypes1::ApplicationText;
  type.Extensions = latin1.constData();
  QTEST(type.nameFilter(), "filter");
}

void ShellTests::menuTree_data() {
  QTest::addColumn<int>("position");
  QTest::addColumn<QString>("menu");
  QTest::addColumn<QString>("text");
  QTest::addColumn<QString>("shortcut");
  QTest::addColumn<bool>("separator");
  struct Row {
    const char* name;
    const char* menu;
    const char* text;
    const char* shortcut;
    bool separator;
  };
  const Row rows[] = {
      {"FileMenu", "FileMenu", "&File", "", false},
      {"FileSaveAs", "FileMenu", "Save As", "", false},
      {"UntitledSeparator0", "FileMenu", "", "", true},
      {"FilePrint", "FileMenu", "Print", "", false},
      {"UntitledSeparator", "FileMenu", "", "", true},
      {"FileQuit", "FileMenu", "E&xit", "", false},
      {"EditMenu", "EditMenu", "&Edit", "", false},
      {"EditUndo", "EditMenu", "&Undo", "Ctrl+Z", false},
      {"EditSeparator1", "EditMenu", "", "", true},
      {"EditCut", "EditMenu", "Cu&t", "Ctrl+X", false},
      {"EditCopy", "EditMenu", "&Copy", "Ctrl+C", false},
      {"EditPaste", "EditMenu", "&Paste", "Ctrl+V", false},
      {"EditClear", "EditMenu", "&Delete", "", false},
      {"EditSeparator2", "EditMenu", "", "", true},
      {"EditSelectAll", "EditMenu", "Select &All", "Ctrl+A", false},
      {"Help", "Help", "Help", "", false},
      {"About", "Help", "About", "", false},
  };
  int position = 0;
  for (const Row& row : rows) {
    QTest::newRow(row.name) << position++ << row.menu << row.text << row.shortcut << row.separator;
  }
}

void ShellTests::menuTree() {
  QFETCH(int, position);
  const QList<MenuEntry> entries = flatten(*MainMenuBar::instance());
  QCOMPARE(entries.size(), 17);
  const MenuEntry& entry = entries.at(position);
  QCOMPARE(entry.name, QString(QTest::currentDataTag()));
  QTEST(entry.menu, "menu");
  QTEST(entry.text, "text");
  QTEST(entry.shortcut, "shortcut");
  QTEST(entry.separator, "separator");
  // Every entry can be found by its name, and is shown.
  QAction* item = MainMenuBar::instance()->findChild<QAction*>(entry.name);
  QVERIFY(item != nullptr);
  QVERIFY(item->isVisible());
}

// The items the window is handed are the bar's own, each the one of its name.
void ShellTests::menuActionsAreTheNamedItems_data() {
  QTest::addColumn<QAction*>("handed");
  const MenuActions& actions = MainMenuBar::instance()->menuActions();
  QTest::newRow("FileSaveAs") << actions.FileSaveAs;
  QTest::newRow("FilePrint") << actions.FilePrint;
  QTest::newRow("FileQuit") << actions.FileQuit;
  QTest::newRow("EditUndo") << actions.EditUndo;
  QTest::newRow("EditCut") << actions.EditCut;
  QTest::newRow("EditCopy") << actions.EditCopy;
  QTest::newRow("EditPaste") << actions.EditPaste;
  QTest::newRow("EditClear") << actions.EditClear;
  QTest::newRow("EditSelectAll") << actions.EditSelectAll;
  QTest::newRow("About") << actions.About;
}

void ShellTests::menuActionsAreTheNamedItems() {
  QFETCH(QAction*, handed);
  QVERIFY(handed != nullptr);
  QCOMPARE(handed, MainMenuBar::instance()->findChild<QAction*>(QTest::currentDataTag()));
}

void ShellTests::menuBarIsBuiltOnce() {
  MainMenuBar* bar = MainMenuBar::instance();
  QVERIFY(bar != nullptr);
  QCOMPARE(app().menuBar(), bar);
  QCOMPARE(MainMenuBar::instance(), bar);
  QVERIFY(bar->parent() == nullptr);
  QCOMPARE(bar->findChildren<QMenu*>().size(), 3);
  QCOMPARE(MainMenuBar::instance()->menuActions().FileQuit->menuRole(), QAction::QuitRole);
}

// Exit's own action is Qt's quit, which ends the event loop with code 0.
void ShellTests::exitQuitsThroughQt() {
  QTimer::singleShot(0, qApp, [] { MainMenuBar::instance()->menuActions().FileQuit->trigger(); });
  QCOMPARE(runEventLoopUntilQuit(), 0);
}

void ShellTests::escapedExceptionIsReported_data() {
  QTest::addColumn<int>("kind");
  QTest::addColumn<QString>("expected");
  QTest::newRow("std::exception: its message is shown") << int(Thrower::Kind::StdException) << "the disk is on fire";
  QTest::newRow("anything else: still reported") << int(Thrower::Kind::Other) << "An unknown error.";
}

void ShellTests::escapedExceptionIsReported() {
  QFETCH(int, kind);
  QFETCH(QString, expected);
  mDialogs->messages.clear();
  Thrower thrower;
  thrower.kind = static_cast<Thrower::Kind>(kind);

  QEvent event(QEvent::User);
  QCOMPARE(QCoreApplication::sendEvent(&thrower, &event), false);
  QCOMPARE(thrower.delivered, 1);
  QCOMPARE(mDialogs->messages.size(), 1);
  const QString& message = mDialogs->messages.first();
  QVERIFY2(message.contains(expected), qPrintable(message));
  // The user is told that the program ends, as it does.
  QVERIFY2(message.endsWith("Quillomat will now close."), qPrintable(message));
}

namespace {

enum class ThrowFrom { PostedEvent, Timer, DialogsOwnLoop };

}  // namespace

void ShellTests::escapedExceptionEndsEventLoop_data() {
  QTest::addColumn<int>("from");
  QTest::newRow("handler of a posted event") << int(ThrowFrom::PostedEvent);
  QTest::newRow("timer's handler") << int(ThrowFrom::Timer);
  // Every loop must end, not just the innermost: a dialog's own one too.
  QTest::newRow("handler run by a dialog's own loop") << int(ThrowFrom::DialogsOwnLoop);
}

// The real message box, answered by a timer as a user would answer it; then
// the event loop ends with the status of an unhandled error.
void ShellTests::escapedExceptionEndsEventLoop() {
  QFETCH(int, from);
  app().setDialogs(std::make_unique<QtDialogs>());
  const auto fakeDialogsAgain = qScopeGuard([this] { useFakeDialogs(); });

  QStringList answered;
  QTimer user;
  user.setInterval(10);
  connect(&user, &QTimer::timeout, [&answered] {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    if (box == nullptr || !box->isVisible()) return;
    answered << box->text();
    box->button(QMessageBox::Ok)->click();
  });
  user.start();

  Thrower thrower;
  bool dialogEnded = false;
  switch (static_cast<ThrowFrom>(from)) {
    case ThrowFrom::PostedEvent:
      QCoreApplication::postEvent(&thrower, new QEvent(QEvent::User));
      break;
    case ThrowFrom::Timer:
      QTimer::singleShot(0, qApp, [] { throw std::runtime_error("the disk is on fire"); });
      break;
    case ThrowFrom::DialogsOwnLoop:
      QTimer::singleShot(0, qApp, [&thrower, &dialogEnded] {
        QDialog dialog;
        QCoreApplication::postEvent(&thrower, new QEvent(QEvent::User));
        dialog.exec();
        dialogEnded = true;
      });
      break;
  }

  QCOMPARE(runEventLoopUntilQuit(), App::UnhandledErrorExitStatus);
  QCOMPARE(answered.size(), 1);
  QVERIFY2(answered.first().contains("the disk is on fire"), qPrintable(answered.first()));
  QCOMPARE(dialogEnded, static_cast<ThrowFrom>(from) == ThrowFrom::DialogsOwnLoop);
}

// An error that escapes while the window is being shown, before the event
// loop runs: the run ends there instead of entering the loop.
void ShellTests::escapedExceptionBeforeEventLoopEndsRun() {
  mDialogs->messages.clear();
  Thrower thrower;
  QEvent event(QEvent::User);
  QCoreApplication::sendEvent(&thrower, &event);
  QCOMPARE(mDialogs->messages.size(), 1);

  QTimer giveUp;
  giveUp.setSingleShot(true);
  connect(&giveUp, &QTimer::timeout, [] { QCoreApplication::exit(99); });
  giveUp.start(10000);
  QCOMPARE(app().runEventLoop(), App::UnhandledErrorExitStatus);
}

QUILLOMAT_APP_TEST_MAIN(ShellTests)
#include "shell_tests.moc"
