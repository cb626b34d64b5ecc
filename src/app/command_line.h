#pragma once
#include <QString>
#include <QStringList>

namespace bxw {

// What the designer's command line asks for: at most one design file to open, or the version
// or the usage.
struct CommandLine {
  enum class Action { Run, Version, Help, Refuse };
  Action action = Action::Run;
  QString file;     // Run: the file to import at start; empty for none
  QString message;  // Version, Help: for stdout; Refuse: the one line for stderr
};

// args without the program name.
CommandLine ParseCommandLine(const QStringList& args);

}  // namespace bxw
