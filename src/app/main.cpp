#include <QApplication>
#include <QFileInfo>
#include <QIcon>
#include <QStandardPaths>
#include <cstdio>

#include "app/command_line.h"
#include "app/designer.h"
#include "app/windows.h"
#include "platform/widgets/qt_requesters.h"

namespace {

// Without a display Qt would abort with a long message; say what is missing instead.
bool HaveDisplay() {
  if (!qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) return true;
  return !qEnvironmentVariableIsEmpty("DISPLAY") || !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
}

}  // namespace

int main(int argc, char** argv) {
  // Read before Qt starts, so that --version and a refused argument need no display.
  QStringList args;
  for (int i = 1; i < argc; ++i) args << QString::fromLocal8Bit(argv[i]);
  const bxw::CommandLine commandLine = bxw::ParseCommandLine(args);
  if (commandLine.action != bxw::CommandLine::Action::Run) {
    const bool refused = commandLine.action == bxw::CommandLine::Action::Refuse;
    std::fputs(commandLine.message.toLocal8Bit().constData(), refused ? stderr : stdout);
    return refused ? 2 : 0;
  }
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
  // Ties the windows to the installed desktop entry and its icon.
  QGuiApplication::setDesktopFileName(QStringLiteral("io.github.boxwright.Boxwright"));
  app.setWindowIcon(QIcon::fromTheme(QStringLiteral("io.github.boxwright.Boxwright")));
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
  if (!commandLine.file.isEmpty())
    designer.ImportDroppedFiles({QFileInfo(commandLine.file).absoluteFilePath()});
  const int rc = app.exec();
  designer.Shutdown();
  return rc;
}
