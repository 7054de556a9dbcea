// The search on the map over a full atlas: every cell explored, every list full, 10 000 markers; one keystroke
// is one search of the whole atlas.
#include "map/marks.h"
#include "map/survey.h"
#include "text/cp1251.h"

#include "fullatlas.h"

#include <benchmark/benchmark.h>
#include <memory>

namespace {

using namespace veldor;

std::unique_ptr<Atlas> fullAtlas()
{
    auto atlas = bench::FullAtlas("nnnnLFdu1E");
    int markers = 0;
    for (unsigned lab = 1; markers < 10000; lab = lab % kLabyrinthCount + 1, ++markers)
        atlas->setMarkText(lab, markers % kLevelCount, 1 + markers % 30, 1 + markers / 30 % 30,
                           cp1251::fromUtf8(markers % 100 == 0 ? u8"Тайник за камнем" : u8"проход к лестнице"));
    return atlas;
}

// A marker's word, and an object's name that every tenth cell matches (the results listed are capped).
void BM_SearchKeystroke(benchmark::State& state)
{
    static const auto atlas = fullAtlas();
    const std::u8string word = state.range(0) == 0 ? u8"тайник" : u8"ловушка";
    for (auto _ : state) {
        const SearchResult result = SearchAtlas(*atlas, word, 14);
        benchmark::DoNotOptimize(result.total);
    }
}
BENCHMARK(BM_SearchKeystroke)->Arg(0)->Arg(1)->ArgNames({"objects"})->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
