// Creation of many buttons under one vbox, and a walk over them. Naming must stay linear: each
// new button takes the lowest free counter without scanning from 1.
#include <benchmark/benchmark.h>

#include "model/design_edit.h"
#include "model/design_tree.h"

using namespace bxw;

namespace {

void MakeBase(DesignBuilder& b) {
  b.CreateObject(QStringLiteral("dialogs"), QStringLiteral("window"), QString(), nullptr, 2, true,
                 false);
  b.CreateObject(QStringLiteral("window1"), QStringLiteral("vbox"), QString(), nullptr, 2, true,
                 false);
}

void BM_CreateButtons(benchmark::State& state) {
  const int n = static_cast<int>(state.range(0));
  for (auto _ : state) {
    state.PauseTiming();
    auto b = std::make_unique<DesignBuilder>();
    MakeBase(*b);
    state.ResumeTiming();
    for (int i = 0; i < n; ++i)
      b->CreateObject(QStringLiteral("vbox1"), QStringLiteral("button"), QString(), nullptr, 2,
                      true, false);
    state.PauseTiming();
    b.reset();
    state.ResumeTiming();
  }
  state.SetComplexityN(n);
}
BENCHMARK(BM_CreateButtons)
    ->Arg(5000)
    ->Arg(10000)
    ->Arg(20000)
    ->Arg(40000)
    ->Arg(80000)
    ->Unit(benchmark::kMillisecond);

void BM_WalkTree(benchmark::State& state) {
  const int n = static_cast<int>(state.range(0));
  DesignBuilder b;
  MakeBase(b);
  for (int i = 0; i < n; ++i)
    b.CreateObject(QStringLiteral("vbox1"), QStringLiteral("button"), QString(), nullptr, 2, true,
                   false);
  const DesignTree& tree = b.Tree();
  for (auto _ : state) {
    int visited = 0;
    tree.WalkTree(QStringLiteral("dialogs"), [&](const DesignObject&) { return ++visited, false; });
    benchmark::DoNotOptimize(visited);
  }
}
BENCHMARK(BM_WalkTree)
    ->Arg(5000)
    ->Arg(10000)
    ->Arg(20000)
    ->Arg(40000)
    ->Arg(80000)
    ->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
