// Saving and loading all four map files (about 10 MB), with flush and rename, in a temporary folder.
#include "map/mapfiles.h"
#include "map/merge.h"

#include <benchmark/benchmark.h>
#include <cstdlib>
#include <filesystem>
#include <memory>

namespace {

std::string makeFolder()
{
    char tmpl[] = "/tmp/veldor-bench-XXXXXX";
    return ::mkdtemp(tmpl);
}

std::unique_ptr<veldor::Atlas> sampleAtlas()
{
    auto atlas = std::make_unique<veldor::Atlas>();
    for (unsigned lab = 1; lab <= 20; ++lab)
        for (int x = 1; x <= 30; ++x)
            *atlas->cell(lab, 0, x, x) = veldor::TMapCell{1, 1, 2, 0, 1, 'L'};
    return atlas;
}

void BM_SaveMaps(benchmark::State& state)
{
    const std::string folder = makeFolder();
    const auto atlas = sampleAtlas();
    for (auto _ : state) {
        const auto report = veldor::SaveMaps(*atlas, folder);
        if (!report.ok())
            state.SkipWithError("save failed");
    }
    std::filesystem::remove_all(folder);
}
BENCHMARK(BM_SaveMaps)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true)->UseRealTime();

void BM_LoadMaps(benchmark::State& state)
{
    const std::string folder = makeFolder();
    auto atlas = sampleAtlas();
    veldor::SaveMaps(*atlas, folder);
    for (auto _ : state) {
        const auto report = veldor::LoadMaps(*atlas, folder);
        if (!report.ok())
            state.SkipWithError("load failed");
        benchmark::DoNotOptimize(atlas->cell(1, 0, 1, 1));
    }
    std::filesystem::remove_all(folder);
}
BENCHMARK(BM_LoadMaps)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true)->UseRealTime();

// "Объединить с картами из папки...": reading another player's four files and taking in what is new. Theirs
// has every cell of every level explored and every list full, ours starts empty each time: the most work.
void BM_MergeFolder(benchmark::State& state)
{
    const std::string folder = makeFolder();
    {
        auto theirs = std::make_unique<veldor::Atlas>();
        for (auto table : {veldor::MapTable::Map1, veldor::MapTable::Map2, veldor::MapTable::Map3}) {
            auto bytes = theirs->bytes(table);
            for (std::size_t i = 0; i < bytes.size(); i += 6) {
                bytes[i] = 1;
                bytes[i + 4] = 1;
                bytes[i + 5] = 'n';
            }
        }
        for (unsigned lab = 1; lab <= 20; ++lab)
            for (int level = 0; level < 17; ++level)
                for (auto kind : {veldor::ListKind::Exits, veldor::ListKind::Transitions, veldor::ListKind::Traps,
                                  veldor::ListKind::Flags})
                    for (int k = 0; k < veldor::ListSlots(kind); ++k)
                        veldor::AppendEntry(*theirs->levelLists(lab, level), kind, veldor::PositionEntry(level, k, k));
        veldor::SaveMaps(*theirs, folder);
    }
    auto theirs = std::make_unique<veldor::Atlas>();
    auto ours = std::make_unique<veldor::Atlas>();
    for (auto _ : state) {
        state.PauseTiming();
        ours->clear();
        state.ResumeTiming();
        const auto other = veldor::LoadOtherMaps(*theirs, folder);
        const auto result = veldor::MergeAtlas(*ours, *theirs);
        if (!other.report.ok() || result.total().cells == 0)
            state.SkipWithError("merge failed");
    }
    std::filesystem::remove_all(folder);
}
BENCHMARK(BM_MergeFolder)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true)->UseRealTime();

} // namespace

BENCHMARK_MAIN();
