#include <QApplication>
#include <QStandardPaths>
#include <cstdio>

#include "app/designer.h"
#include "app/windows.h"
#include "platform/qt_requesters.h"

namespace {

// Without a display Qt would abort with a long message; say what is missing instead.
bool HaveDisplay() {
  if (!qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) return true;
  return !qEnvironmentVariableIsEmpty("DISPLAY") || !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
}

}  // namespace

int main(int argc, char** argv) {
  if (!HaveDisplay()) {
    std::fputs(
        "boxwright: no display found (DISPLAY is not set); xvfb-run provides one: "
        "xvfb-run -a make run\n",
        stderr);
    return 1;
  }
  QApplication app(argc, argv);
  QCoreApplication::setApplicationName(QStringLiteral("boxwright"));
  app.setQuitOnLastWindowClosed(true);
  bxw::QtRequesters requesters;
  bxw::SystemClock clock;
  bxw::StdRandomSource random;
  bxw::DesignerOptions options;
  // Each running designer keeps its unsaved design here, so that a crash loses nothing.
  options.recoveryFolder = QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation) +
                           QStringLiteral("/recovery");
  bxw::Designer designer(requesters, clock, random, options);
  designer.Startup();
  requesters.SetParent(designer.Main());
  const int rc = app.exec();
  designer.Shutdown();
  return rc;
}
