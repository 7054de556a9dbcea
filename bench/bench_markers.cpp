// An atlas carrying millions of markers (a group's, say): a step recorded and journaled, a save as the window
// does it, and undo and redo of clearing every labyrinth with the journal kept.
#include "map/journal.h"
#include "map/mapfiles.h"
#include "map/markerfile.h"
#include "map/selection.h"
#include "map/undo.h"

#include "fullatlas.h"

#include <benchmark/benchmark.h>
#include <cstdlib>
#include <filesystem>
#include <memory>

namespace {

using namespace veldor;

std::string makeFolder()
{
    char tmpl[] = "/tmp/veldor-bench-XXXXXX";
    return ::mkdtemp(tmpl);
}

// `count` markers, every cell of every level in turn, each with a short text.
void addMarkers(Atlas& atlas, int count)
{
    int made = 0;
    for (unsigned lab = 1; lab <= kLabyrinthCount && made < count; ++lab)
        for (int level = 0; level < kLevelCount && made < count; ++level)
            for (int x = 1; x <= kMaxMapSide && made < count; ++x)
                for (int y = 1; y <= kMaxMapSide && made < count; ++y, ++made)
                    atlas.setMarkText(lab, level, x, y, "метка " + std::to_string(made));
}

std::unique_ptr<Atlas> markedAtlas()
{
    auto atlas = std::make_unique<Atlas>();
    addMarkers(*atlas, 3'000'000);
    return atlas;
}

// One step as the reader records it on level 3 of the largest labyrinth, and the journal's capture of it.
void BM_StepWithManyMarkers(benchmark::State& state)
{
    const std::string folder = makeFolder();
    auto atlas = markedAtlas();
    JournalWriter writer(folder + "/map.journal");
    writer.rebase(*atlas, BaseOf(*atlas, {}));
    int i = 0;
    for (auto _ : state) {
        const int x = 1 + i % 100;
        const int y = 1 + i / 100 % 100;
        ++i;
        *atlas->cell(20, 3, x, y) = TMapCell{1, 0, 2, 1, 1, 'n'};
        if (writer.capture(*atlas, 20))
            state.SkipWithError("journal not written");
    }
    std::filesystem::remove_all(folder);
}
BENCHMARK(BM_StepWithManyMarkers)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true)
    ->UseRealTime();

// What a save holds the window for: the map files and the journal going on with what they lack; the markers
// file is written beside the window (timed on its own below).
void BM_SaveWithManyMarkers(benchmark::State& state)
{
    const std::string folder = makeFolder();
    auto atlas = markedAtlas();
    JournalWriter writer(folder + "/map.journal");
    writer.rebase(*atlas, BaseOf(*atlas, {}));
    for (auto _ : state) {
        state.PauseTiming();
        atlas->setMarkText(1, 0, 1, 1, "changed " + std::to_string(state.iterations()));
        writer.capture(*atlas, 1);
        state.ResumeTiming();
        if (!SaveMaps(*atlas, folder).ok())
            state.SkipWithError("save failed");
        writer.mapsSaved(*atlas, BaseOf(*atlas, MapFileSizes(folder)));
        const Atlas::MarkerLevels markers = atlas->markerLevels();
        state.PauseTiming();
        if (!SaveMarkers(markers, folder).ok)
            state.SkipWithError("markers not saved");
        writer.markersSaved(markers, *atlas);
        state.ResumeTiming();
    }
    std::filesystem::remove_all(folder);
}
BENCHMARK(BM_SaveWithManyMarkers)->Unit(benchmark::kMillisecond)->Iterations(5)->UseRealTime();

// The markers file itself, written beside the window.
void BM_WriteManyMarkers(benchmark::State& state)
{
    const std::string folder = makeFolder();
    auto atlas = markedAtlas();
    for (auto _ : state)
        if (!SaveMarkers(atlas->markerLevels(), folder).ok)
            state.SkipWithError("markers not saved");
    state.counters["file_MB"] = static_cast<double>(std::filesystem::file_size(folder + "/markers.txt")) / (1 << 20);
    std::filesystem::remove_all(folder);
}
BENCHMARK(BM_WriteManyMarkers)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();

// Undo and redo of "clear all" on a fully explored atlas, each journaled as the window does.
void BM_UndoRedoClearAllJournaled(benchmark::State& state)
{
    const std::string folder = makeFolder();
    auto atlas = bench::FullAtlas("nnnTFn");
    JournalWriter writer(folder + "/map.journal");
    writer.rebase(*atlas, BaseOf(*atlas, {}));
    UndoHistory history;
    const UndoHistory::Before before(*atlas, 0);
    for (unsigned lab = 1; lab <= kLabyrinthCount; ++lab)
        ClearLabyrinth(*atlas, lab);
    history.record(before, *atlas, "clear all");
    writer.capture(*atlas, 0);
    for (auto _ : state) {
        history.undo(*atlas);
        writer.capture(*atlas, 0);
        history.redo(*atlas);
        writer.capture(*atlas, 0);
    }
    writer.flush();
    state.counters["journal_MB"] = static_cast<double>(std::filesystem::file_size(folder + "/map.journal")) / (1 << 20);
    std::filesystem::remove_all(folder);
}
BENCHMARK(BM_UndoRedoClearAllJournaled)->Unit(benchmark::kMillisecond)->Iterations(10)->UseRealTime();

} // namespace

BENCHMARK_MAIN();
