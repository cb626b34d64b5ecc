// Import, Design export and fingerprint of designs of 10,000 and 100,000 objects, against a bare
// expat parse of the same bytes.
//
//   xml_bench --write_design=N,PATH   writes the file of an N-object design and exits (to measure
//                                     bxw check on it: /usr/bin/time -v bxw check PATH)
//   xml_bench --check_bounds[=MB]     writes hostile files of about MB megabytes (20 by default):
//                                     deep, wide, named, typical, many comments, many unknown
//                                     attributes; imports, exports and fingerprints each in a child
//                                     process and checks its peak memory against 64 x N + 200 MB
//                                     and each step against 10 s. Exit 1 when a bound is exceeded.
#include <benchmark/benchmark.h>
#include <expat.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QFile>
#include <QTemporaryDir>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <map>
#include <memory>

#include "bench_design.h"
#include "xml/dialog_xml_reader.h"
#include "xml/xml_export.h"

namespace {

struct Fixture {
  explicit Fixture(int objects) : design(bxw::bench::BuildLargeDesign(objects)), tree(*design) {
    file = bxw::DesignFileBytes(tree, schema);
  }
  bxw::ClassSchema schema;
  std::unique_ptr<bxw::DesignTree> design;
  const bxw::DesignTree& tree;
  bxw::DialogXmlWriter writer;
  QByteArray file;
};

Fixture& Shared(int objects) {
  static std::map<int, std::unique_ptr<Fixture>> fixtures;
  auto& f = fixtures[objects];
  if (!f) f = std::make_unique<Fixture>(objects);
  return *f;
}

void BM_ImportDesignFile(benchmark::State& state) {
  const int objects = static_cast<int>(state.range(0));
  Fixture& f = Shared(objects);
  for (auto _ : state) {
    bxw::XmlLoadResult r = bxw::LoadDialogXml(f.schema, f.file);
    if (r.status != bxw::XmlLoadStatus::Loaded || r.design->Size() != objects)
      state.SkipWithError("import failed");
    benchmark::DoNotOptimize(r.design->Size());
    // Dropping the design afterwards is not part of the import.
    state.PauseTiming();
    r.design.reset();
    state.ResumeTiming();
  }
  state.SetBytesProcessed(state.iterations() * f.file.size());
}

void XMLCALL CountStart(void* user, const XML_Char*, const XML_Char**) {
  ++*static_cast<int*>(user);
}

void BM_ExpatParseOnly(benchmark::State& state) {
  const int objects = static_cast<int>(state.range(0));
  Fixture& f = Shared(objects);
  for (auto _ : state) {
    XML_Parser parser = XML_ParserCreate(nullptr);
    int elements = 0;
    XML_SetUserData(parser, &elements);
    XML_SetStartElementHandler(parser, CountStart);
    if (XML_Parse(parser, f.file.constData(), static_cast<int>(f.file.size()), 1) !=
            XML_STATUS_OK ||
        elements != objects)
      state.SkipWithError("parse failed");
    XML_ParserFree(parser);
  }
  state.SetBytesProcessed(state.iterations() * f.file.size());
}

// For comparison: expat filling the general document model (what the settings reader uses).
void BM_ParseToDocument(benchmark::State& state) {
  Fixture& f = Shared(static_cast<int>(state.range(0)));
  for (auto _ : state) {
    bxw::XmlParseResult r = bxw::ParseXml(f.file);
    if (!r.ok) state.SkipWithError("parse failed");
    benchmark::DoNotOptimize(r.document.get());
  }
}

void BM_DesignExport(benchmark::State& state) {
  Fixture& f = Shared(static_cast<int>(state.range(0)));
  for (auto _ : state) benchmark::DoNotOptimize(bxw::DesignFileBytes(f.tree, f.schema));
}

void BM_Fingerprint(benchmark::State& state) {
  Fixture& f = Shared(static_cast<int>(state.range(0)));
  for (auto _ : state)
    benchmark::DoNotOptimize(bxw::WholeDocumentFingerprint(f.tree, f.schema));
}

BENCHMARK(BM_ImportDesignFile)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ExpatParseOnly)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ParseToDocument)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DesignExport)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Fingerprint)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

// --write_design=N,PATH: the file of the N-object benchmark design.
bool WriteDesign(const char* arg) {
  const char* comma = std::strchr(arg, ',');
  if (!comma) return false;
  const int objects = std::atoi(arg);
  Fixture f(objects);
  QFile out(QString::fromLocal8Bit(comma + 1));
  return out.open(QIODevice::WriteOnly) && out.write(f.file) == f.file.size();
}

// ---- memory and time bounds on hostile files -------------------------------------------------

struct HostileFile {
  const char* name;
  QByteArray head, unit, tail;  // head + unit repeated + tail, to the size asked for
};

QByteArray Repeated(const HostileFile& f, qint64 size) {
  const qint64 room = size - f.head.size() - f.tail.size();
  return f.head + f.unit.repeated(std::max<qint64>(room / f.unit.size(), 1)) + f.tail;
}

struct StepTimes {
  double import = 0, exportXml = 0, fingerprint = 0;
  int status = -1;
  qint64 objects = 0;
};

double Seconds(std::chrono::steady_clock::time_point since) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}

// In a child process, so that its peak memory is its own: import, Design export, fingerprint.
StepTimes RunSteps(const QString& path) {
  StepTimes t;
  bxw::ClassSchema schema;
  auto start = std::chrono::steady_clock::now();
  bxw::XmlLoadResult r = bxw::LoadDialogXmlFile(schema, path);
  t.import = Seconds(start);
  t.status = static_cast<int>(r.status);
  if (!r.design) return t;
  t.objects = r.design->Size();
  start = std::chrono::steady_clock::now();
  if (!bxw::WriteDesignFile(path + QStringLiteral(".saved"), *r.design, schema)) t.status = -1;
  t.exportXml = Seconds(start);
  start = std::chrono::steady_clock::now();
  benchmark::DoNotOptimize(bxw::WholeDocumentFingerprint(*r.design, schema).size());
  t.fingerprint = Seconds(start);
  return t;
}

int CheckBounds(qint64 megabytes) {
  const qint64 size = megabytes * 1000 * 1000;
  QTemporaryDir dir;
  const QByteArray start = "<dialogs><window>", end = "</window></dialogs>";
  const HostileFile files[] = {
      {"wide <web/>", start, "<web/>", end},
      {"wide <empty/>", start, "<empty/>", end},
      {"wide, named", start + "<vbox>", "<web name='w'/>", "</vbox>" + end},
      {"deep, then wide", start + QByteArray("<vbox>").repeated(127), "<web/>",
       QByteArray("</vbox>").repeated(127) + end},
      {"too deep", start, "<vbox>", end},
      {"comments", start, "<!---->", end},
      {"unknown attributes", "<dialogs><window ", "a=''", "/></dialogs>"},
      {"typical", {}, {}, {}},
  };
  bool ok = true;
  std::printf("%-20s %10s %9s %12s %11s %8s %8s %8s\n", "file", "bytes", "objects", "peak MB",
              "bound MB", "import", "export", "crc");
  for (const HostileFile& f : files) {
    QByteArray bytes;
    if (!f.unit.isEmpty()) {
      bytes = Repeated(f, size);
    } else {
      bytes = Fixture(static_cast<int>(size / 134)).file;  // the benchmark design, ~134 B/object
    }
    if (QByteArray(f.name) == "wide, named") {
      // Every name different: w0, w1, ...
      QByteArray named = f.head;
      for (qint64 i = 0; named.size() < size; ++i)
        named += "<web name='w" + QByteArray::number(i) + "'/>";
      bytes = named + f.tail;
    }
    if (QByteArray(f.name) == "unknown attributes") {
      QByteArray attributes = f.head;
      for (qint64 i = 0; attributes.size() < size; ++i)
        attributes += " a" + QByteArray::number(i) + "=''";
      bytes = attributes + f.tail;
    }
    const QString path = dir.filePath(QStringLiteral("hostile.xml"));
    {
      QFile out(path);
      if (!out.open(QIODevice::WriteOnly) || out.write(bytes) != bytes.size()) return 2;
    }
    int pipeEnds[2];
    if (pipe(pipeEnds) != 0) return 2;
    const pid_t child = fork();
    if (child == 0) {
      close(pipeEnds[0]);
      const StepTimes t = RunSteps(path);
      (void)!write(pipeEnds[1], &t, sizeof t);
      _exit(0);  // the design is not torn down: not part of what is measured
    }
    close(pipeEnds[1]);
    StepTimes t;
    const bool got = read(pipeEnds[0], &t, sizeof t) == sizeof t;
    close(pipeEnds[0]);
    int status = 0;
    rusage usage{};
    wait4(child, &status, 0, &usage);
    const double peakMb = usage.ru_maxrss / 1024.0;
    const double boundMb = (64.0 * double(bytes.size()) + 200e6) / (1024.0 * 1024.0);
    const bool within =
        got && peakMb <= boundMb && t.import <= 10 && t.exportXml <= 10 && t.fingerprint <= 10;
    ok = ok && within;
    std::printf("%-20s %10lld %9lld %12.0f %11.0f %7.2fs %7.2fs %7.2fs %s\n", f.name,
                static_cast<long long>(bytes.size()), static_cast<long long>(t.objects), peakMb,
                boundMb, t.import, t.exportXml, t.fingerprint, within ? "ok" : "OVER");
  }
  return ok ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
  constexpr const char* kWrite = "--write_design=";
  constexpr const char* kBounds = "--check_bounds";
  for (int i = 1; i < argc; ++i) {
    if (std::strncmp(argv[i], kWrite, std::strlen(kWrite)) == 0)
      return WriteDesign(argv[i] + std::strlen(kWrite)) ? 0 : 1;
    if (std::strncmp(argv[i], kBounds, std::strlen(kBounds)) == 0)
      return CheckBounds(argv[i][std::strlen(kBounds)] == '='
                             ? std::atoll(argv[i] + std::strlen(kBounds) + 1)
                             : 20);
  }
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
