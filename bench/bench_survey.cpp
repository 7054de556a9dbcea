// The search on the map over a full atlas: every cell explored, every list full, 10 000 markers; one keystroke
// is one search of the whole atlas.
#include "map/marks.h"
#include "map/survey.h"
#include "text/cp1251.h"

#include <benchmark/benchmark.h>
#include <memory>

namespace {

using namespace veldor;

std::unique_ptr<Atlas> fullAtlas()
{
    auto atlas = std::make_unique<Atlas>();
    int markers = 0;
    for (unsigned lab = 1; lab <= kLabyrinthCount; ++lab) {
        const int n = LabSide(lab);
        for (int level = 0; level < kLevelCount; ++level) {
            for (int x = 1; x <= n; ++x)
                for (int y = 1; y <= n; ++y)
                    *atlas->cell(lab, level, x, y) = TMapCell{1, 1, 2, 1, 1, "nnnnLFdu1E"[(x * 7 + y) % 10]};
            for (ListKind kind : {ListKind::Transitions, ListKind::Traps, ListKind::Flags, ListKind::Exits})
                for (int k = 0; k < ListSlots(kind); ++k)
                    AppendEntry(*atlas->levelLists(lab, level), kind, PositionEntry(level, k + 1, 1));
        }
    }
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
