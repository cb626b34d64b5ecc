// Opening and laying out a 300-gadget window in nested boxes, side by side with Qt's QUiLoader
// loading the same widgets in nested QHBoxLayout/QVBoxLayout; RefreshDialog alone; the
// companion's `bxw layout` of a 10k-gadget window against the runtime's open and layout of the
// same file in process; the teardown of windows of growing size; and the hit test of a
// 1,000-object window.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QBuffer>
#include <QLayout>
#include <QTemporaryDir>
#include <QWidget>

#include "bench_files.h"
#include "dialog/dialog_runtime.h"
#include "dialog/hit_test.h"
#include "platform/xml_document.h"

#ifdef BXW_HAVE_UITOOLS
#include <QUiLoader>
#endif

namespace {

constexpr int kRows = 30;
constexpr int kColumns = 10;  // 300 gadgets

const char* const kDialogKinds[] = {"button", "string", "checkbox", "text"};
const char* const kUiClasses[] = {"QPushButton", "QLineEdit", "QCheckBox", "QLabel"};

QByteArray DialogXml() {
  QByteArray xml = "<window name='bench' text='Bench' flags='#PB_Window_Invisible'><vbox>";
  for (int r = 0; r < kRows; ++r) {
    xml += "<hbox>";
    for (int c = 0; c < kColumns; ++c) {
      const int k = (r + c) % 4;
      xml += QByteArray("<") + kDialogKinds[k] + " name='g" + QByteArray::number(r * kColumns + c) +
             "' text='Item " + QByteArray::number(c) + "'/>";
    }
    xml += "</hbox>";
  }
  return xml + "</vbox></window>";
}

QByteArray UiXml() {
  QByteArray ui =
      "<?xml version='1.0' encoding='UTF-8'?><ui version='4.0'><class>Bench</class>"
      "<widget class='QWidget' name='Bench'><layout class='QVBoxLayout' name='v'>";
  for (int r = 0; r < kRows; ++r) {
    ui += "<item><layout class='QHBoxLayout' name='h" + QByteArray::number(r) + "'>";
    for (int c = 0; c < kColumns; ++c) {
      const int k = (r + c) % 4;
      ui += QByteArray("<item><widget class='") + kUiClasses[k] + "' name='g" +
            QByteArray::number(r * kColumns + c) + "'><property name='text'><string>Item " +
            QByteArray::number(c) + "</string></property></widget></item>";
    }
    ui += "</layout></item>";
  }
  return ui + "</layout></widget></ui>";
}

void BM_OpenXmlDialog(benchmark::State& state) {
  const QByteArray xml = DialogXml();
  bxw::dialog::DialogRuntime rt;
  for (auto _ : state) {
    bxw::XmlParseResult parsed = bxw::ParseXml(xml);
    const int d = rt.CreateDialog(bxw::dialog::kAny);
    if (!rt.OpenXMLDialog(d, *parsed.document, QString())) state.SkipWithError("open failed");
    benchmark::DoNotOptimize(rt.DialogWindow(d));
    rt.DestroyDialog(d);
  }
}
BENCHMARK(BM_OpenXmlDialog)->Unit(benchmark::kMillisecond);

void BM_RefreshDialog(benchmark::State& state) {
  const QByteArray xml = DialogXml();
  bxw::dialog::DialogRuntime rt;
  bxw::XmlParseResult parsed = bxw::ParseXml(xml);
  const int d = rt.CreateDialog(bxw::dialog::kAny);
  if (!rt.OpenXMLDialog(d, *parsed.document, QString())) state.SkipWithError("open failed");
  for (auto _ : state) rt.RefreshDialog(d);
  rt.DestroyDialog(d);
}
BENCHMARK(BM_RefreshDialog)->Unit(benchmark::kMicrosecond);

// The companion as the user runs it: a process that reads the file, opens and lays out the
// window, prints the listing and exits. Timed by the child's own CPU time (user and system), so
// that a busy machine does not count against it; its wall time is the counter wall_ms.
// BXW_COMPARE names another build's bxw (an earlier version, say) to run beside it as
// BM_BxwLayout10kCompared.
void BxwLayout10k(benchmark::State& state, const std::string& bxw) {
  QTemporaryDir dir;
  const QString path = dir.filePath(QStringLiteral("gadgets10k.xml"));
  if (!bxw::bench::WriteFile(path, bxw::bench::GadgetWindowXml(10000))) {
    state.SkipWithError("cannot write the file");
    return;
  }
  double wall = 0;
  for (auto _ : state) {
    const auto run = bxw::bench::RunChild({bxw, "layout", path.toStdString()});
    if (run.status != 0) state.SkipWithError("bxw layout failed");
    state.SetIterationTime(run.cpuSeconds);
    wall += run.seconds;
  }
  state.counters["wall_ms"] = benchmark::Counter(wall * 1000, benchmark::Counter::kAvgIterations);
}
void BM_BxwLayout10k(benchmark::State& state) {
  BxwLayout10k(state, BXW_PATH);
}
BENCHMARK(BM_BxwLayout10k)->Unit(benchmark::kMillisecond)->UseManualTime()->MinTime(3);

void BM_BxwLayout10kCompared(benchmark::State& state) {
  const QByteArray other = qgetenv("BXW_COMPARE");
  if (other.isEmpty()) {
    state.SkipWithError("BXW_COMPARE not set");
    return;
  }
  BxwLayout10k(state, other.toStdString());
}
BENCHMARK(BM_BxwLayout10kCompared)->Unit(benchmark::kMillisecond)->UseManualTime()->MinTime(3);

// The same work in process: parse, open and lay out (teardown not timed). Compare its CPU
// column with the companion's time.
void BM_OpenLayout10k(benchmark::State& state) {
  const QByteArray xml = bxw::bench::GadgetWindowXml(10000);
  bxw::dialog::DialogRuntime rt;
  for (auto _ : state) {
    bxw::XmlParseResult parsed = bxw::ParseXml(xml);
    const int d = rt.CreateDialog(bxw::dialog::kAny);
    if (!rt.OpenXMLDialog(d, *parsed.document, QString())) state.SkipWithError("open failed");
    benchmark::DoNotOptimize(rt.DialogWindow(d));
    state.PauseTiming();
    rt.DestroyDialog(d);
    state.ResumeTiming();
  }
}
BENCHMARK(BM_OpenLayout10k)->Unit(benchmark::kMillisecond)->MinTime(3);

// DestroyDialog alone, right after the open (no event loop ran in between), by gadget count:
// the fitted complexity tells linear from quadratic teardown.
void BM_Teardown(benchmark::State& state) {
  const QByteArray xml = bxw::bench::GadgetWindowXml(static_cast<int>(state.range(0)));
  bxw::dialog::DialogRuntime rt;
  for (auto _ : state) {
    state.PauseTiming();
    bxw::XmlParseResult parsed = bxw::ParseXml(xml);
    const int d = rt.CreateDialog(bxw::dialog::kAny);
    if (!rt.OpenXMLDialog(d, *parsed.document, QString())) state.SkipWithError("open failed");
    state.ResumeTiming();
    rt.DestroyDialog(d);
  }
  state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_Teardown)
    ->Arg(2500)
    ->Arg(5000)
    ->Arg(10000)
    ->Arg(20000)
    ->Unit(benchmark::kMillisecond)
    ->Complexity();

// A window of 1,000 objects (907 gadgets in 91 rows of a vbox, the window itself): one hit test
// per iteration, at points spread over the window.
void BM_HitTest1000(benchmark::State& state) {
  const QByteArray xml = bxw::bench::GadgetWindowXml(907);
  bxw::dialog::DialogRuntime rt;
  bxw::XmlParseResult parsed = bxw::ParseXml(xml);
  const int d = rt.CreateDialog(bxw::dialog::kAny);
  if (!rt.OpenXMLDialog(d, *parsed.document, QString())) state.SkipWithError("open failed");
  const bxw::dialog::HitTree tree = bxw::dialog::BuildHitTree(rt, d);
  if (tree.nodes.size() != 1000) state.SkipWithError("not 1,000 objects");
  const QSize size = rt.WindowClientSize(d);
  std::vector<QPoint> points;
  for (int i = 0; i < 97; ++i)
    points.emplace_back((i * 7919) % std::max(1, size.width()),
                        (i * 104729) % std::max(1, size.height()));
  size_t i = 0;
  for (auto _ : state) {
    const QPoint p = points[i++ % points.size()];
    benchmark::DoNotOptimize(bxw::dialog::HitTest(tree, p.x(), p.y()));
  }
  rt.DestroyDialog(d);
}
BENCHMARK(BM_HitTest1000)->Unit(benchmark::kMicrosecond);

// Building the hit tree of the same window (once per preview rebuild in the designer).
void BM_BuildHitTree1000(benchmark::State& state) {
  const QByteArray xml = bxw::bench::GadgetWindowXml(907);
  bxw::dialog::DialogRuntime rt;
  bxw::XmlParseResult parsed = bxw::ParseXml(xml);
  const int d = rt.CreateDialog(bxw::dialog::kAny);
  if (!rt.OpenXMLDialog(d, *parsed.document, QString())) state.SkipWithError("open failed");
  for (auto _ : state) benchmark::DoNotOptimize(bxw::dialog::BuildHitTree(rt, d));
  rt.DestroyDialog(d);
}
BENCHMARK(BM_BuildHitTree1000)->Unit(benchmark::kMicrosecond);

#ifdef BXW_HAVE_UITOOLS
void BM_QUiLoader(benchmark::State& state) {
  const QByteArray ui = UiXml();
  QUiLoader loader;
  for (auto _ : state) {
    QBuffer buffer;
    buffer.setData(ui);
    buffer.open(QIODevice::ReadOnly);
    QWidget* w = loader.load(&buffer);
    if (!w) {
      state.SkipWithError("QUiLoader failed");
      break;
    }
    // Lay it out offscreen: size to the layout's request and place every widget.
    w->adjustSize();
    w->layout()->activate();
    benchmark::DoNotOptimize(w->findChild<QWidget*>(QStringLiteral("g299"))->geometry());
    delete w;
  }
}
BENCHMARK(BM_QUiLoader)->Unit(benchmark::kMillisecond);

// The layout pass alone on the loaded form, the counterpart of RefreshDialog.
void BM_QLayoutInvalidateActivate(benchmark::State& state) {
  const QByteArray ui = UiXml();
  QUiLoader loader;
  QBuffer buffer;
  buffer.setData(ui);
  buffer.open(QIODevice::ReadOnly);
  QWidget* w = loader.load(&buffer);
  w->adjustSize();
  for (auto _ : state) {
    w->layout()->invalidate();
    w->layout()->activate();
  }
  delete w;
}
BENCHMARK(BM_QLayoutInvalidateActivate)->Unit(benchmark::kMicrosecond);
#endif

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
