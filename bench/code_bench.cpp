// Source export of a 10,000-object design against its Design XML export.
#include <benchmark/benchmark.h>

#include <memory>

#include "bench_design.h"
#include "codegen/source_export.h"
#include "xml/xml_export.h"

namespace {

struct Fixture {
  bxw::ClassSchema schema;
  std::unique_ptr<bxw::DesignTree> design = bxw::bench::BuildLargeDesign(10000);
  const bxw::DesignTree& tree = *design;
  bxw::DialogXmlWriter writer;
};

Fixture& Shared() {
  static Fixture f;
  return f;
}

const QDateTime kNow(QDate(2025, 1, 31), QTime(17, 5, 9));

void BM_SourceExport(benchmark::State& state) {
  Fixture& f = Shared();
  bxw::SourceOptions options;
  options.dpiPatch = state.range(0) != 0;
  for (auto _ : state) {
    QString text, refusal;
    if (!bxw::BuildSourceText(f.tree, f.schema, f.writer, options, kNow, text, refusal))
      state.SkipWithError("export failed");
    benchmark::DoNotOptimize(text.size());
  }
}

void BM_DesignExport(benchmark::State& state) {
  Fixture& f = Shared();
  for (auto _ : state) benchmark::DoNotOptimize(bxw::DesignFileBytes(f.tree, f.schema));
}

BENCHMARK(BM_SourceExport)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DesignExport)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
