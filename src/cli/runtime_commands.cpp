#include <cstdio>

#include "cli/commands.h"

namespace bxw::cli {

int RunLayout(const QStringList&) {
  std::fputs("bxw: this command is not built yet\n", stderr);
  return 2;
}

int RunRender(const QStringList&) {
  std::fputs("bxw: this command is not built yet\n", stderr);
  return 2;
}

}  // namespace bxw::cli
