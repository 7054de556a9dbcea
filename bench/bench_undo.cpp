// The undo history on a fully explored atlas: recording a popup mark (what it adds to the command), and undo
// and redo of clearing every labyrinth.
#include "map/marks.h"
#include "map/selection.h"
#include "map/undo.h"

#include "fullatlas.h"

#include <benchmark/benchmark.h>
#include <memory>

namespace {

using namespace veldor;

// A fully explored atlas with every list full and a marker on each level.
std::unique_ptr<Atlas> fullAtlas()
{
    auto atlas = bench::FullAtlas();
    for (unsigned lab = 1; lab <= kLabyrinthCount; ++lab)
        for (int level = 0; level < kLevelCount; ++level)
            atlas->setMarkText(lab, level, 1, 1, "marker");
    return atlas;
}

// A flag set through the popup, with and without being recorded: the difference is what undo costs a command.
void BM_PopupMark(benchmark::State& state)
{
    auto atlas = fullAtlas();
    UndoHistory history;
    const bool recorded = state.range(0) != 0;
    int i = 0;
    for (auto _ : state) {
        const int x = 1 + i % 100;
        const int y = 1 + i / 100 % 100;
        ++i;
        if (!recorded) {
            benchmark::DoNotOptimize(AddFlag(*atlas, 20, 3, x, y));
            continue;
        }
        const UndoHistory::Before before(*atlas, 20);
        AddFlag(*atlas, 20, 3, x, y);
        history.record(before, *atlas, "flag");
    }
}
BENCHMARK(BM_PopupMark)->Arg(0)->Arg(1)->ArgNames({"recorded"})->Unit(benchmark::kMicrosecond);

void BM_UndoRedoClearAll(benchmark::State& state)
{
    auto atlas = fullAtlas();
    UndoHistory history;
    const UndoHistory::Before before(*atlas, 0);
    for (unsigned lab = 1; lab <= kLabyrinthCount; ++lab)
        ClearLabyrinth(*atlas, lab);
    history.record(before, *atlas, "clear all");
    state.counters["history_MB"] = static_cast<double>(history.bytes()) / (1 << 20);
    for (auto _ : state) {
        history.undo(*atlas);
        history.redo(*atlas);
    }
}
BENCHMARK(BM_UndoRedoClearAll)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
