#include "app/command_line.h"

namespace bxw {

namespace {
const QString kUsage = QStringLiteral("usage: boxwright [FILE | --version | --help]");
}  // namespace

CommandLine ParseCommandLine(const QStringList& args) {
  CommandLine result;
  if (args.size() == 1 && args[0] == QLatin1String("--version")) {
    result.action = CommandLine::Action::Version;
    result.message = QStringLiteral("boxwright " BXW_VERSION "\n");
    return result;
  }
  if (args.size() == 1 && (args[0] == QLatin1String("--help") || args[0] == QLatin1String("-h"))) {
    result.action = CommandLine::Action::Help;
    result.message = kUsage + QStringLiteral(
                                  "\n  FILE is a dialog XML design, opened as if dropped "
                                  "on the designer\n");
    return result;
  }
  QString complaint;
  for (const QString& arg : args) {
    if (arg == QLatin1String("--version") || arg == QLatin1String("--help") ||
        arg == QLatin1String("-h")) {
      complaint = QStringLiteral("'%1' takes no other argument").arg(arg);
      break;
    }
    // A lone "-" is no file either: the designer does not read standard input.
    if (arg.startsWith(QLatin1Char('-'))) {
      complaint = QStringLiteral("unknown option '%1'").arg(arg);
      break;
    }
    if (!result.file.isEmpty()) {
      complaint = QStringLiteral("only one file can be opened");
      break;
    }
    if (arg.isEmpty()) {
      complaint = QStringLiteral("empty file name");
      break;
    }
    result.file = arg;
  }
  if (!complaint.isEmpty()) {
    result.action = CommandLine::Action::Refuse;
    result.file.clear();
    result.message = QStringLiteral("boxwright: ") + complaint + QStringLiteral("; ") + kUsage +
                     QLatin1Char('\n');
  }
  return result;
}

}  // namespace bxw
