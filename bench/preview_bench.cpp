// The live preview's rebuild of a 300-gadget window (writer build, runtime open, styles, embedding)
// against the runtime opening the same Preview document alone.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QMdiArea>

#include "dialog/dialog_runtime.h"
#include "model/class_schema.h"
#include "model/design_edit.h"
#include "model/design_tree.h"
#include "model/settings.h"
#include "preview/preview_host.h"
#include "xml/dialog_xml_writer.h"

namespace {

constexpr int kRows = 30;
constexpr int kColumns = 10;  // 300 gadgets, as in the runtime benchmark
const char* const kKinds[] = {"button", "string", "checkbox", "text"};

struct Design {
  bxw::ClassSchema schema;
  bxw::DesignEditor editor;
  const bxw::DesignTree& tree = editor.Tree();
  bxw::Settings settings;
  Design() {
    editor.Add("dialogs", "window", "bench");
    editor.Add("bench", "vbox");
    for (int r = 0; r < kRows; ++r) {
      const QString row = editor.Add("vbox1", "hbox");
      for (int c = 0; c < kColumns; ++c) editor.Add(row, kKinds[(r + c) % 4]);
    }
  }
};

void BM_PreviewRebuild(benchmark::State& state) {
  Design d;
  bxw::DialogXmlWriter writer;
  QMdiArea area;
  area.resize(1600, 1200);
  bxw::PreviewHost host(
      {d.tree, d.schema, d.settings, writer, 1.0, 1.0, &area, QPoint(8, 8), nullptr});
  const bxw::DesignObject* window = d.tree.Find("bench");
  for (auto _ : state) {
    host.Rebuild(window);
    benchmark::DoNotOptimize(host.Window());
  }
  host.Rebuild(nullptr);
}
BENCHMARK(BM_PreviewRebuild)->Unit(benchmark::kMillisecond);

void BM_RuntimeOpenAlone(benchmark::State& state) {
  Design d;
  bxw::DialogXmlWriter writer;
  bxw::PreviewTables tables;
  writer.BuildDialogXml({d.tree, d.schema, false, 1.0, 1.0, &tables}, bxw::XmlBuildMode::Preview,
                        "bench");
  bxw::dialog::DialogRuntime rt;
  for (auto _ : state) {
    const int dialog = rt.CreateDialog(bxw::dialog::kAny);
    if (!rt.OpenXMLDialog(dialog, *writer.Document(), "bench")) state.SkipWithError("open failed");
    benchmark::DoNotOptimize(rt.DialogWindow(dialog));
    rt.DestroyDialog(dialog);
  }
}
BENCHMARK(BM_RuntimeOpenAlone)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
