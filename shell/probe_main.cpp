// The program's own start-up with the start-up probe armed, for the start-up
// test, the benchmark and the screenshot script: quillomat_probe [grab.png]
#include <QString>
#include <QWidget>

#include "startup.h"
#include "startupprobe.h"

int main(int argc, char* argv[]) {
  const QString grabFile = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QString();
  int qtArgc = 1;  // the grab file is the probe's, not Qt's
  return Startup::run(qtArgc, argv, [&grabFile](QWidget& window) { StartupProbe::arm(window, grabFile); });
}
