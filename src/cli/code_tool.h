#pragma once
#include <QStringList>

#include "platform/clock.h"
#include "cli/xml_tool.h"

namespace bxw {

// bxw code FILE [-o OUT.pb] [--dpi-patch] [--no-loop]: imports FILE as the designer does and
// writes what "Export Code" writes for it: to OUT.pb as the file form (UTF-8 with a byte order
// mark), else to standard output without the mark. 0 on success (import warnings go to standard
// error), 2 when the file cannot be imported, the design has no window, its values are refused,
// or OUT.pb cannot be written.
int CodeCommand(const QStringList& args, const Clock& clock, ToolOutput& output);

}  // namespace bxw
