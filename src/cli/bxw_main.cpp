#include <QApplication>
#include <cstdio>
#include <cstdlib>

#include "cli/commands.h"

namespace {

constexpr const char* kUsage =
    "usage: bxw COMMAND FILE [options]\n"
    "  check FILE                                      import FILE, print its warnings\n"
    "  xml FILE [-o OUT] [--force]                     write FILE as the designer saves it;\n"
    "                                                  over FILE itself only without warnings,\n"
    "                                                  unless --force\n"
    "  layout FILE [--window NAME] [--size WxH]        print the runtime layout of a window\n"
    "  render FILE [--window NAME] [--size WxH] -o OUT.png   grab a window as PNG\n"
    "  hit FILE [--window NAME] [--size WxH] --at X,Y  name the object under a point of the\n"
    "                                                  window's client area\n"
    "  code FILE [-o OUT.pb] [--dpi-patch] [--no-loop] write the PureBasic source\n"
    "layout, render and hit register the runtime constants and procedures the file names, as\n"
    "its program would; --strict registers nothing.\n"
    "  --help                                          this text\n"
    "  --version                                       the version\n";

// Qt's own diagnostics ("This plugin does not support raise()", XDG_RUNTIME_DIR and the like)
// say nothing about the user's file; bxw's own messages are written to stderr directly.
void DropQtMessages(QtMsgType, const QMessageLogContext&, const QString&) {}

int Dispatch(const QApplication& app) {
  QStringList args = app.arguments();
  args.removeFirst();
  if (args.isEmpty()) {
    std::fputs(kUsage, stderr);
    return 2;
  }
  const QString command = args.takeFirst();
  if (command == QLatin1String("--help")) {
    std::fputs(kUsage, stdout);
    return 0;
  }
  if (command == QLatin1String("--version")) {
    std::fputs("bxw 1.0.1.8\n", stdout);
    return 0;
  }
  if (command == QLatin1String("check")) return bxw::cli::RunCheck(args);
  if (command == QLatin1String("xml")) return bxw::cli::RunXml(args);
  if (command == QLatin1String("layout")) return bxw::cli::RunLayout(args);
  if (command == QLatin1String("render")) return bxw::cli::RunRender(args);
  if (command == QLatin1String("hit")) return bxw::cli::RunHit(args);
  if (command == QLatin1String("code")) return bxw::cli::RunCode(args);
  std::fputs(kUsage, stderr);
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  qInstallMessageHandler(DropQtMessages);
  // The companion never needs a screen: every command works offscreen.
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  // Never destroyed, like the windows: see the end.
  const QApplication* app = new QApplication(argc, argv);
  const int code = Dispatch(*app);
  // Everything is written: the process ends here without tearing down the application, windows,
  // widgets and documents it built (for a large window that costs more than building it).
  std::fflush(stdout);
  std::fflush(stderr);
  std::_Exit(code);
}
