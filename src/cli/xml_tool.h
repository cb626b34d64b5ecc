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

// bxw check FILE: 0 imported without warnings, 1 with warnings (also when a well-formed file gave
// nothing to import, say why), 2 missing, unreadable or not XML (and for bad arguments).
int CheckCommand(const QStringList& args, ToolOutput& output);
// bxw xml FILE [-o OUT] [--force]: the file form that "Export XML" saves, to OUT or standard
// output. 0 written, 1 written with warnings, 2 nothing written: FILE missing, unreadable, not XML
// or without a design; OUT cannot be written (the system says why); or OUT is FILE itself and its
// import had warnings, which would lose what they name, unless --force.
int XmlCommand(const QStringList& args, ToolOutput& output);

}  // namespace bxw
