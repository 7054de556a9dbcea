// Saving and loading all four map files (about 10 MB), with flush and rename, in a temporary folder.
#include "map/mapfiles.h"

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

} // namespace

BENCHMARK_MAIN();
