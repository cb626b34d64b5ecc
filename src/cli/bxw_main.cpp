#include <QApplication>
#include <QTextStream>

#include <cstdio>

#include "cli/commands.h"

namespace {

void PrintUsage() {
  std::fputs(
      "usage: bxw COMMAND FILE [options]\n"
      "  check FILE                                      import FILE, print its warnings\n"
      "  xml FILE [-o OUT]                               write FILE as the designer saves it\n"
      "  layout FILE [--window NAME] [--size WxH]        print the runtime layout of a window\n"
      "  render FILE [--window NAME] [--size WxH] -o OUT.png   grab a window as PNG\n"
      "  code FILE [-o OUT.pb] [--dpi-patch] [--no-loop] write the PureBasic source\n",
      stderr);
}

}  // namespace

int main(int argc, char** argv) {
  // The companion never needs a screen: every command works offscreen.
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  QStringList args = app.arguments();
  args.removeFirst();
  if (args.isEmpty()) {
    PrintUsage();
    return 2;
  }
  const QString command = args.takeFirst();
  if (command == QLatin1String("check")) return bxw::cli::RunCheck(args);
  if (command == QLatin1String("xml")) return bxw::cli::RunXml(args);
  if (command == QLatin1String("layout")) return bxw::cli::RunLayout(args);
  if (command == QLatin1String("render")) return bxw::cli::RunRender(args);
  if (command == QLatin1String("code")) return bxw::cli::RunCode(args);
  PrintUsage();
  return 2;
}
