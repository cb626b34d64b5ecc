#include <cstdio>

#include "cli/commands.h"
#include "cli/xml_tool.h"

namespace bxw::cli {

namespace {

int Finish(int code, const ToolOutput& output) {
  if (!output.out.isEmpty()) std::fwrite(output.out.constData(), 1, output.out.size(), stdout);
  if (!output.err.isEmpty()) std::fputs(output.err.toLocal8Bit().constData(), stderr);
  return code;
}

}  // namespace

int RunCheck(const QStringList& args) {
  ToolOutput output;
  const int code = CheckCommand(args, output);
  return Finish(code, output);
}

int RunXml(const QStringList& args) {
  ToolOutput output;
  const int code = XmlCommand(args, output);
  return Finish(code, output);
}

}  // namespace bxw::cli
