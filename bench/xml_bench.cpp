// Import, Design export and fingerprint of a 10,000-object design, against a bare expat parse of
// the same bytes.
#include <benchmark/benchmark.h>
#include <expat.h>

#include <memory>

#include "bench_design.h"
#include "xml/dialog_xml_reader.h"
#include "xml/xml_export.h"

namespace {

struct Fixture {
  bxw::ClassSchema schema;
  std::unique_ptr<bxw::DesignTree> design = bxw::bench::BuildLargeDesign(10000);
  const bxw::DesignTree& tree = *design;
  bxw::DialogXmlWriter writer;
  QByteArray file;
  Fixture() {
    schema.BuildClassSchema();
    file = bxw::DesignFileBytes(tree, schema, writer);
  }
};

Fixture& Shared() {
  static Fixture f;
  return f;
}

void BM_ImportDesignFile(benchmark::State& state) {
  Fixture& f = Shared();
  for (auto _ : state) {
    bxw::XmlLoadResult r = bxw::LoadDialogXml(f.schema, f.file);
    if (r.status != bxw::XmlLoadStatus::Loaded || r.design->Size() != 10000)
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
  Fixture& f = Shared();
  for (auto _ : state) {
    XML_Parser parser = XML_ParserCreate(nullptr);
    int elements = 0;
    XML_SetUserData(parser, &elements);
    XML_SetStartElementHandler(parser, CountStart);
    if (XML_Parse(parser, f.file.constData(), static_cast<int>(f.file.size()), 1) !=
            XML_STATUS_OK ||
        elements != 10000)
      state.SkipWithError("parse failed");
    XML_ParserFree(parser);
  }
  state.SetBytesProcessed(state.iterations() * f.file.size());
}

// For comparison: expat filling the general document model (what the settings reader uses).
void BM_ParseToDocument(benchmark::State& state) {
  Fixture& f = Shared();
  for (auto _ : state) {
    bxw::XmlParseResult r = bxw::ParseXml(f.file);
    if (!r.ok) state.SkipWithError("parse failed");
    benchmark::DoNotOptimize(r.document.get());
  }
}

void BM_DesignExport(benchmark::State& state) {
  Fixture& f = Shared();
  for (auto _ : state) benchmark::DoNotOptimize(bxw::DesignFileBytes(f.tree, f.schema, f.writer));
}

void BM_Fingerprint(benchmark::State& state) {
  Fixture& f = Shared();
  for (auto _ : state)
    benchmark::DoNotOptimize(bxw::WholeDocumentFingerprint(f.tree, f.schema, f.writer));
}

BENCHMARK(BM_ImportDesignFile)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ExpatParseOnly)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ParseToDocument)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DesignExport)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Fingerprint)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
