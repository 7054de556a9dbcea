// The way across a whole 100 x 100 labyrinth: every level explored with every passage open, the way from the
// first cell of level 0 to the far corner of level 16 through learned links, and a way on one level as it is
// worked out again after every step.
#include "route/wayfinder.h"

#include <benchmark/benchmark.h>
#include <memory>

namespace {

using namespace veldor;

constexpr unsigned kLab = 14; // 100 x 100

struct Labyrinth
{
    std::unique_ptr<Atlas> atlas = std::make_unique<Atlas>();
    LevelLinks links;

    Labyrinth()
    {
        for (int level = 0; level < kLevelCount; ++level)
            for (int x = 1; x <= 100; ++x)
                for (int y = 1; y <= 100; ++y) {
                    TMapCell* c = atlas->cell(kLab, level, x, y);
                    c->Explored = 1;
                    c->West = x > 1;
                    c->East = x < 100;
                    c->North = y > 1;
                    c->South = y < 100;
                    c->Object = 'n';
                }
        // The way down of each level in the corner the way up of the level before is not in.
        for (int level = 0; level + 1 < kLevelCount; ++level) {
            const int at = level % 2 == 0 ? 100 : 1;
            atlas->cell(kLab, level, at, at)->Object = 'd';
            atlas->cell(kLab, level + 1, at, at)->Object = 'u';
            links.add({kLab, {level, at, at}, {level + 1, at, at}});
        }
    }
};

void BM_WayAcrossLevels(benchmark::State& state)
{
    static const Labyrinth lab;
    WayFinder finder;
    for (auto _ : state) {
        const Way& way = finder.find(*lab.atlas, lab.links, kLab, {0, 1, 1}, WayTarget::Cell, {16, 50, 50}, false);
        benchmark::DoNotOptimize(way.steps());
    }
    state.counters["steps"] = finder.way().steps();
}
BENCHMARK(BM_WayAcrossLevels)->Unit(benchmark::kMillisecond);

void BM_WayOnOneLevel(benchmark::State& state)
{
    static const Labyrinth lab;
    WayFinder finder;
    for (auto _ : state) {
        const Way& way = finder.find(*lab.atlas, lab.links, kLab, {5, 1, 1}, WayTarget::Cell, {5, 100, 2}, false);
        benchmark::DoNotOptimize(way.steps());
    }
}
BENCHMARK(BM_WayOnOneLevel)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
