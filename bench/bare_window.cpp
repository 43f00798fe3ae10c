// The yardstick for the start-up benchmark: the least a Qt program does to
// show a window of Quillomat's size. Prints "shown" once the window is
// exposed, then quits, like Quillomat's start-up probe. With "--label" the
// window also shows one line of text, which makes Qt load its fonts.

#include <cstdio>

#include <QApplication>
#include <QLabel>
#include <QTimer>
#include <QWidget>
#include <QWindow>

int main(int argc, char* argv[]) {
  QApplication app(argc, argv);
  QWidget window;
  window.setWindowTitle(QStringLiteral("Bare"));
  window.resize(690, 432);
  if (argc > 1 && qstrcmp(argv[1], "--label") == 0) {
    auto* label = new QLabel(QStringLiteral("Drag one .BMP File into the Window"), &window);
    label->setGeometry(189, 7, 312, 33);
  }
  window.show();
  QTimer poll;
  QObject::connect(&poll, &QTimer::timeout, &window, [&window, &poll] {
    if (!window.windowHandle()->isExposed()) return;
    poll.stop();
    std::printf("shown\n");
    std::fflush(stdout);
    QCoreApplication::quit();
  });
  poll.start(0);
  return QApplication::exec();
}
