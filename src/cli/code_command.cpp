#include <cstdio>

#include "cli/commands.h"
#include "cli/code_tool.h"

namespace bxw::cli {

int RunCode(const QStringList& args) {
  SystemClock clock;
  ToolOutput output;
  const int code = CodeCommand(args, clock, output);
  if (!output.out.isEmpty()) std::fwrite(output.out.constData(), 1, output.out.size(), stdout);
  if (!output.err.isEmpty()) std::fputs(output.err.toLocal8Bit().constData(), stderr);
  return code;
}

}  // namespace bxw::cli
