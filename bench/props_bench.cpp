// ShowProperties for a button: a first fill (every row and control created) against moving the
// selection between two buttons of the same parent (every row and control reused, values only).
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QLabel>
#include <QScrollArea>
#include <memory>

#include "platform/layout_metrics.h"
#include "model/class_schema.h"
#include "model/design_edit.h"
#include "model/design_tree.h"
#include "platform/random_source.h"
#include "platform/requesters.h"
#include "props/properties_panel.h"

using namespace bxw;

namespace {

// A shown Properties window at scale 1 over a window with a vbox holding two buttons.
struct PanelRig {
  DesignEditor editor;
  const DesignTree& tree = editor.Tree();
  ClassSchema schema;
  LayoutMetrics metrics = ComputeLayoutMetrics(1.0, 1.0);
  ScriptedRequesters requesters;
  StdRandomSource random{1};
  QWidget window;
  QScrollArea* area = new QScrollArea(&window);
  QLabel* help = new QLabel(&window);
  std::unique_ptr<PropertiesPanel> panel;
  const DesignObject* b1 = nullptr;
  const DesignObject* b2 = nullptr;

  PanelRig() {
    window.resize(metrics.properties);
    area->setGeometry(0, 0, metrics.properties.width(), metrics.properties.height() - 60);
    area->setWidget(new QWidget);
    QFont labelFont(QStringLiteral("Tahoma"));
    labelFont.setPointSize(9);
    QFont editorFont(QStringLiteral("Arial"));
    editorFont.setPointSize(8);
    panel = std::make_unique<PropertiesPanel>(PropertiesHost{tree, schema, requesters, random,
                                                             metrics, area, help, &window,
                                                             labelFont, editorFont, [](int) {},
                                                             nullptr});
    window.show();
    editor.Add(QStringLiteral("dialogs"), QStringLiteral("window"));
    editor.Add(QStringLiteral("window1"), QStringLiteral("vbox"));
    b1 = tree.Find(editor.Add(QStringLiteral("vbox1"), QStringLiteral("button")));
    const QString second = editor.Add(QStringLiteral("vbox1"), QStringLiteral("button"));
    editor.Set(second, QStringLiteral("font"), QStringLiteral("Arial|10|256"));
    editor.Set(second, QStringLiteral("flags"), QStringLiteral("#PB_Button_Default"));
    b2 = tree.Find(second);
  }
};

void BM_ShowPropertiesFirstFill(benchmark::State& state) {
  PanelRig rig;
  for (auto _ : state) {
    state.PauseTiming();
    rig.panel->ShowProperties(nullptr);  // every row gone
    state.ResumeTiming();
    rig.panel->ShowProperties(rig.b1);
    benchmark::DoNotOptimize(rig.panel->Rows().size());
  }
}
BENCHMARK(BM_ShowPropertiesFirstFill)->Unit(benchmark::kMicrosecond);

void BM_ShowPropertiesBetweenButtons(benchmark::State& state) {
  PanelRig rig;
  rig.panel->ShowProperties(rig.b1);
  bool first = false;
  for (auto _ : state) {
    rig.panel->ShowProperties(first ? rig.b1 : rig.b2);
    first = !first;
    benchmark::DoNotOptimize(rig.panel->Rows().size());
  }
}
BENCHMARK(BM_ShowPropertiesBetweenButtons)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
