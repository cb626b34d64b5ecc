#pragma once
#include <QByteArray>
#include <QString>
#include <QStringList>

namespace bxw {

// What a companion command produced: bytes for standard output, text for standard error.
struct ToolOutput {
  QByteArray out;
  QString err;
};

// bxw check FILE: 0 imported without warnings, 1 with warnings, 2 missing, unreadable, not XML,
// or without a "dialogs" main element (and for bad arguments).
int CheckCommand(const QStringList& args, ToolOutput& output);
// bxw xml FILE [-o OUT]: the file form that "Export XML" saves, to OUT or standard output.
// Exit codes as for check; 2 also when OUT cannot be written.
int XmlCommand(const QStringList& args, ToolOutput& output);

}  // namespace bxw
