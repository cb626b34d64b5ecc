// The memory and time bound of the companion on hostile files: no file of N bytes makes
// `bxw check|xml|code|layout|render` take more than 64 x N + 200 MB of peak resident memory, and
// no file of 20 MB or less more than 10 s. Each command runs as a child process, measured with
// wait4. Prints one table row per file and command; exits 1 when a bound is exceeded.
//
//   memory_bench [--only SUBSTRING]
#include <QByteArray>
#include <QString>
#include <QTemporaryDir>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "bench_files.h"

namespace {

using bxw::bench::ChildRun;

struct HostileFile {
  const char* label;
  QByteArray bytes;
  const char* renderSize;  // --size for render, or null for the window's own size
};

QByteArray Deep(int levels) {
  QByteArray xml = "<dialogs>\n<window name=\"deep\">\n";
  xml.reserve(levels * 30 + 64);
  // Named, so that an import that refuses a taken name still reads every level.
  for (int i = 0; i < levels; ++i) xml += "<vbox name=\"v" + QByteArray::number(i) + "\">\n";
  xml += "<button text=\"bottom\"/>\n";
  for (int i = 0; i < levels; ++i) xml += "</vbox>\n";
  return xml + "</window>\n</dialogs>\n";
}

QByteArray Wrapped(const QByteArray& window) {
  return "<dialogs>\n" + window + "\n</dialogs>\n";
}

std::vector<HostileFile> Files() {
  return {
      {"deep 10000", Deep(10000), nullptr},
      {"deep 30000", Deep(30000), nullptr},
      {"wide 20000 gadgets", Wrapped(bxw::bench::GadgetWindowXml(20000)), nullptr},
      // Small enough to be rendered: every control is painted.
      {"wide 2000 gadgets", Wrapped(bxw::bench::GadgetWindowXml(2000)), nullptr},
      {"button 30000x30000",
       Wrapped("<window name=\"big\"><button text=\"big\" width=\"30000\" height=\"30000\"/>"
               "</window>"),
       nullptr},
      {"margin -15000", Wrapped("<window name=\"m\" margin=\"-15000\"><button/></window>"),
       "400x300"},
  };
}

constexpr double kMiB = 1024.0 * 1024.0;

}  // namespace

int main(int argc, char** argv) {
  const char* only = nullptr;
  for (int i = 1; i + 1 < argc; ++i)
    if (std::strcmp(argv[i], "--only") == 0) only = argv[i + 1];
  QTemporaryDir dir;
  if (!dir.isValid()) {
    std::fprintf(stderr, "memory_bench: no temporary directory\n");
    return 2;
  }
  const std::string bxw = BXW_PATH;
  std::printf("%-22s %10s %-7s %5s %10s %10s %8s  %s\n", "file", "bytes", "command", "exit",
              "peak MB", "bound MB", "seconds", "verdict");
  int exceeded = 0;
  int index = 0;
  for (const HostileFile& f : Files()) {
    ++index;
    if (only && !std::strstr(f.label, only)) continue;
    const std::string path = dir.filePath(QStringLiteral("f%1.xml").arg(index)).toStdString();
    if (!bxw::bench::WriteFile(QString::fromStdString(path), f.bytes)) {
      std::fprintf(stderr, "memory_bench: cannot write %s\n", path.c_str());
      return 2;
    }
    const double n = f.bytes.size();
    const double boundMb = (64.0 * n) / kMiB + 200.0;
    const bool timed = n <= 20.0 * kMiB;
    const std::string png = dir.filePath(QStringLiteral("f%1.png").arg(index)).toStdString();
    std::vector<std::vector<std::string>> commands = {
        {bxw, "check", path},
        {bxw, "xml", path},
        {bxw, "code", path},
        {bxw, "layout", path},
        {bxw, "render", path, "-o", png},
    };
    if (f.renderSize) {
      commands[3].insert(commands[3].end(), {"--size", f.renderSize});
      commands[4].insert(commands[4].end(), {"--size", f.renderSize});
    }
    for (const auto& command : commands) {
      // Three times the bound in memory and a minute of wall time stop a runaway child well
      // after it has shown the fault, before it hurts the machine.
      const ChildRun run = bxw::bench::RunChild(command, 60, static_cast<long>(boundMb * 3 * 1024));
      const double peakMb = run.peakRssKb / 1024.0;
      const bool overMemory = peakMb > boundMb || run.killedForMemory;
      const bool overTime = timed && run.seconds > 10.0;
      const bool crashed = run.signal != 0 && !run.killedForMemory;
      const bool bad = overMemory || overTime || crashed;
      exceeded += bad ? 1 : 0;
      std::string verdict = bad ? "EXCEEDED" : "ok";
      if (overMemory) verdict += run.killedForMemory ? " memory (killed)" : " memory";
      if (overTime) verdict += " time";
      if (crashed)
        verdict += run.timedOut ? " killed (timeout)" : " signal " + std::to_string(run.signal);
      std::printf("%-22s %10lld %-7s %5d %10.1f %10.1f %8.2f  %s\n", f.label,
                  static_cast<long long>(f.bytes.size()), command[1].c_str(), run.status, peakMb,
                  boundMb, run.seconds, verdict.c_str());
      std::fflush(stdout);
    }
  }
  std::printf("%s\n", exceeded ? "bound exceeded" : "all within bounds");
  return exceeded ? 1 : 0;
}
