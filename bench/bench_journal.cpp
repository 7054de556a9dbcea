// The recovery journal: the cost of one tick that changed the atlas (the diff of the labyrinth, the append and
// waiting for the data to reach the disk), and replaying a journal of 10 000 changes at start-up.
#include "map/journal.h"

#include <benchmark/benchmark.h>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>

namespace {

std::string makeFolder()
{
    char tmpl[] = "/tmp/veldor-bench-XXXXXX";
    return ::mkdtemp(tmpl);
}

// A step onto a cell of the labyrinth's level, as the reader records it: passages, explored, a list entry.
void step(veldor::Atlas& atlas, unsigned lab, int i)
{
    const int n = veldor::LabSide(lab);
    const int x = 1 + i % n;
    const int y = 1 + (i / n) % n;
    const int level = (i / (n * n)) % veldor::kLevelCount;
    *atlas.cell(lab, level, x, y) = veldor::TMapCell{1, static_cast<std::uint8_t>(i % 3), 2, 1, 1, 'n'};
    if (i % 10 == 0)
        veldor::AppendEntry(*atlas.levelLists(lab, level), veldor::ListKind::Traps, veldor::PositionEntry(level, x, y));
}

// The biggest labyrinths (100 x 100) are the worst case for the diff.
constexpr unsigned kLab = 20;

void BM_JournalTickWithChange(benchmark::State& state)
{
    const std::string folder = makeFolder();
    auto atlas = std::make_unique<veldor::Atlas>();
    veldor::JournalWriter writer(folder + "/map.journal");
    writer.rebase(*atlas, veldor::BaseOf(*atlas, {}));
    int i = 0;
    for (auto _ : state) {
        step(*atlas, kLab, i++);
        if (writer.capture(*atlas, kLab))
            state.SkipWithError("journal not written");
        writer.flush(); // the data on the disk
    }
    std::filesystem::remove_all(folder);
}
BENCHMARK(BM_JournalTickWithChange)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true)
    ->UseRealTime();

void BM_JournalTickWithoutChange(benchmark::State& state)
{
    auto atlas = std::make_unique<veldor::Atlas>();
    veldor::JournalWriter writer("/nonexistent/map.journal");
    writer.rebase(*atlas, veldor::BaseOf(*atlas, {}));
    for (auto _ : state)
        benchmark::DoNotOptimize(writer.capture(*atlas, kLab));
}
BENCHMARK(BM_JournalTickWithoutChange)->Unit(benchmark::kMillisecond);

void BM_JournalReplay10000(benchmark::State& state)
{
    const std::string folder = makeFolder();
    auto atlas = std::make_unique<veldor::Atlas>();
    {
        veldor::JournalWriter writer(folder + "/map.journal");
        writer.rebase(*atlas, veldor::BaseOf(*atlas, {}));
        for (int i = 0; i < 10000; ++i) {
            step(*atlas, kLab, i);
            writer.capture(*atlas, kLab);
        }
        writer.flush();
    }
    std::ifstream in(folder + "/map.journal", std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    auto replayed = std::make_unique<veldor::Atlas>();
    std::size_t changes = 0;
    for (auto _ : state) {
        const veldor::JournalRead read = veldor::ParseJournal(bytes);
        veldor::ReplayJournal(read, *replayed);
        changes = read.changes.size();
    }
    state.counters["changes"] = static_cast<double>(changes);
    state.counters["bytes"] = static_cast<double>(bytes.size());
    std::filesystem::remove_all(folder);
}
BENCHMARK(BM_JournalReplay10000)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

} // namespace

BENCHMARK_MAIN();
