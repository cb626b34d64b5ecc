// One edit through the whole designer (edit, tree view, Properties panel, preview), offscreen, in
// designs of 10,000 and 100,000 objects spread over windows of about 100 gadgets each: adding a
// button to a box of one window, and setting the text of a gadget as the Properties panel does
// (the preview rebuilt for it at once, as the deferred rebuild would do). The cost of an edit must
// follow the edited window, not the design.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QFile>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTreeWidget>
#include <memory>

#include "app/designer.h"
#include "app/windows.h"
#include "platform/clock.h"
#include "platform/random_source.h"
#include "platform/requesters.h"
#include "preview/preview_host.h"
#include "props/properties_panel.h"

namespace {

using namespace bxw;

// A hand-made file of about `objects` objects: windows holding a vbox of 98 gadgets.
QByteArray DesignFile(int objects) {
  QByteArray xml = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<dialogs>\n";
  const char* kinds[] = {"button", "string", "checkbox", "text"};
  int made = 1, window = 0;
  while (made < objects) {
    ++window;
    xml += "  <window name=\"w" + QByteArray::number(window) + "\" text=\"Window\">\n";
    xml += "    <vbox name=\"box" + QByteArray::number(window) + "\">\n";
    made += 2;
    for (int g = 0; g < 98 && made < objects; ++g, ++made) {
      const char* kind = kinds[g % 4];
      xml += QByteArray("      <") + kind + " name=\"g" + QByteArray::number(window) + "_" +
             QByteArray::number(g) + "\" text=\"Item\" height=\"25\"/>\n";
    }
    xml += "    </vbox>\n  </window>\n";
  }
  xml += "</dialogs>\n";
  return xml;
}

struct Rig {
  QTemporaryDir dir;
  ScriptedRequesters requesters;
  FixedClock clock{QDateTime(QDate(2026, 1, 2), QTime(3, 4, 5))};
  StdRandomSource random{1};
  std::unique_ptr<Designer> designer;
  QString window, box, gadget;

  explicit Rig(int objects) {
    const QString path = dir.filePath(QStringLiteral("design.xml"));
    QFile f(path);
    f.open(QIODevice::WriteOnly);
    f.write(DesignFile(objects));
    f.close();
    DesignerOptions options;
    options.settingsPath = dir.filePath(QStringLiteral("bench.cfg"));
    options.scaleX = options.scaleY = 1.0;
    designer = std::make_unique<Designer>(requesters, clock, random, options);
    designer->Startup();
    designer->ImportDroppedFiles({path});
    // A window in the middle of the design.
    const int windows = objects / 100;
    const QByteArray n = QByteArray::number(windows / 2 + 1);
    window = QString::fromLatin1("w" + n);
    box = QString::fromLatin1("box" + n);
    gadget = QString::fromLatin1("g" + n + "_1");  // a string
    Select(gadget);
  }
  void Select(const QString& key) {
    designer->TreeControl()->setCurrentItem(designer->ItemForKey(key));
  }
};

void BM_AddButton(benchmark::State& state) {
  Rig rig(static_cast<int>(state.range(0)));
  for (auto _ : state) {
    state.PauseTiming();
    rig.Select(rig.box);
    state.ResumeTiming();
    rig.designer->AddObjectCommand(QStringLiteral("button"));
    state.PauseTiming();
    rig.designer->DeleteCommand(true);  // the next round adds the same button again
    QCoreApplication::processEvents();
    state.ResumeTiming();
  }
}
BENCHMARK(BM_AddButton)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

void BM_SetText(benchmark::State& state) {
  Rig rig(static_cast<int>(state.range(0)));
  PropertiesPanel* panel = rig.designer->Panel();
  auto* text = qobject_cast<QLineEdit*>(panel->Row(QStringLiteral("text"))->editor.data());
  int round = 0;
  for (auto _ : state) {
    text->setText(QStringLiteral("Text %1").arg(++round));
    panel->OnPropertyEvent(text, PropertyEvent::Change);
    rig.designer->RebuildPreview(rig.designer->Tree().Find(rig.window));
    state.PauseTiming();
    QCoreApplication::processEvents();
    state.ResumeTiming();
  }
}
BENCHMARK(BM_SetText)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

// Moving the selection between two gadgets of the previewed window: no rebuild, the Properties
// panel refilled in place and the outline drawn again.
void BM_MoveSelection(benchmark::State& state) {
  Rig rig(static_cast<int>(state.range(0)));
  const QString other = rig.gadget.left(rig.gadget.size() - 1) + QLatin1Char('5');  // a string too
  PreviewSurface* surface = rig.designer->Preview()->Surface();
  if (!surface) state.SkipWithError("no preview");
  bool first = true;
  for (auto _ : state) {
    rig.Select(first ? other : rig.gadget);
    surface->repaint();
    first = !first;
  }
  if (rig.designer->Preview()->Surface() != surface) state.SkipWithError("the preview was rebuilt");
}
BENCHMARK(BM_MoveSelection)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
