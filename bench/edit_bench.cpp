// The edit layer without widgets: one property edit with its undo and redo, and adding a button
// with its undo and redo, in designs of 10,000 and 100,000 objects (the cost must not grow with
// the design); and writing the recovery journal of a 10,000-object design against its Design
// export.
#include <benchmark/benchmark.h>

#include <QTemporaryDir>
#include <memory>

#include "app/recovery_journal.h"
#include "bench_design.h"
#include "model/design_edit.h"
#include "platform/atomic_file.h"
#include "xml/xml_export.h"

namespace {

using namespace bxw;

struct EditRig {
  DesignEditor editor;
  QString box;     // a vbox of the last window
  QString button;  // a gadget in it
  explicit EditRig(int objects) {
    editor.Apply(ReplaceDesignEdit{bench::BuildLargeDesign(objects), QString()});
    const DesignObject* root = editor.Tree().Find(QStringLiteral("dialogs"));
    const DesignObject* window = editor.Tree().Find(root->children.front());
    box = window->children.front();
    button = editor.Tree().Find(box)->children.front();
  }
};

// Applies the edit, then its undo, then its redo; answers false when one of them did nothing.
bool ThereAndBackAndThere(DesignEditor& editor, Edit edit) {
  EditOutcome done = editor.Apply(std::move(edit));
  EditOutcome undone = editor.Apply(std::move(done.inverse));
  EditOutcome redone = editor.Apply(std::move(undone.inverse));
  // Leave the design as it was for the next round.
  EditOutcome back = editor.Apply(std::move(redone.inverse));
  return done.changed && undone.changed && redone.changed && back.changed;
}

void BM_PropertyEditUndoRedo(benchmark::State& state) {
  EditRig rig(static_cast<int>(state.range(0)));
  int round = 0;
  for (auto _ : state) {
    SetAttributeEdit e;
    e.key = rig.button;
    e.name = QStringLiteral("text");
    e.value = QStringLiteral("Text %1").arg(++round);
    if (!ThereAndBackAndThere(rig.editor, std::move(e))) state.SkipWithError("edit failed");
  }
}
BENCHMARK(BM_PropertyEditUndoRedo)->Arg(10000)->Arg(100000)->Unit(benchmark::kMicrosecond);

void BM_AddButtonUndoRedo(benchmark::State& state) {
  EditRig rig(static_cast<int>(state.range(0)));
  for (auto _ : state) {
    if (!ThereAndBackAndThere(rig.editor,
                              AddObjectEdit{rig.box, QStringLiteral("button"), QString(), false}))
      state.SkipWithError("edit failed");
  }
}
BENCHMARK(BM_AddButtonUndoRedo)->Arg(10000)->Arg(100000)->Unit(benchmark::kMicrosecond);

struct JournalRig {
  ClassSchema schema;
  std::unique_ptr<DesignTree> design = bench::BuildLargeDesign(10000);
  DialogXmlWriter writer;
  QTemporaryDir dir;
};

JournalRig& Journal() {
  static JournalRig rig;
  return rig;
}

void BM_JournalWrite(benchmark::State& state) {
  JournalRig& rig = Journal();
  RecoveryJournal journal(rig.dir.path() + QStringLiteral("/recovery"));
  for (auto _ : state) {
    if (!journal.Write(DesignFileBytes(*rig.design, rig.schema), QString()))
      state.SkipWithError("journal not written");
  }
  journal.Remove();
}
BENCHMARK(BM_JournalWrite)->Unit(benchmark::kMillisecond);

void BM_DesignExportToFile(benchmark::State& state) {
  JournalRig& rig = Journal();
  const QString path = rig.dir.path() + QStringLiteral("/export.xml");
  for (auto _ : state) {
    if (!WriteFileAtomically(path, DesignFileBytes(*rig.design, rig.schema)))
      state.SkipWithError("export not written");
  }
}
BENCHMARK(BM_DesignExportToFile)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
