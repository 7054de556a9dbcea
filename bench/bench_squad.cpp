// A group's shared folder with ten members, each a full atlas: reading them (off the window's thread) and
// merging each into ours as the window does it (recorded for undo), the first into an empty atlas (everything
// comes in) and the others after it (nothing new). And the live file: written on the walker's side, read beside
// the window and taken in on the window's thread, with a few hundred to a few thousand cells.
#include "fullatlas.h"
#include "map/livefile.h"
#include "map/mapfiles.h"
#include "map/merge.h"
#include "map/squad.h"
#include "map/undo.h"

#include <benchmark/benchmark.h>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <vector>

namespace {

using namespace veldor;

const std::string& sharedFolder()
{
    static const std::string folder = [] {
        char tmpl[] = "/tmp/veldor-bench-squad-XXXXXX";
        const std::string root = ::mkdtemp(tmpl);
        const auto atlas = bench::FullAtlas("nnnLFdu1E");
        for (int m = 0; m < 10; ++m) {
            const std::string member = root + "/member" + std::to_string(m);
            std::filesystem::create_directory(member);
            SaveMaps(*atlas, member);
        }
        return root;
    }();
    return folder;
}

void BM_ReadTenMembers(benchmark::State& state)
{
    const std::string& root = sharedFolder();
    for (auto _ : state) {
        for (const SquadMemberScan& scan : ScanSquadFolder(root, "me")) {
            auto theirs = std::make_unique<Atlas>();
            benchmark::DoNotOptimize(LoadOtherMaps(*theirs, root + "/" + scan.name).present());
        }
    }
}
BENCHMARK(BM_ReadTenMembers)->Unit(benchmark::kMillisecond)->UseRealTime();

// One member's merge: worked out on a copy of ours beside the window (`beside`), and what the window's thread
// does for it (`window`: the copy of ours and applying the prepared change, recorded for undo). The first
// member comes into an empty atlas (everything changes), a later one into a full one (nothing new).
void BM_MergeOneMember(benchmark::State& state)
{
    const auto theirs = bench::FullAtlas("nnnLFdu1E");
    const bool intoEmpty = state.range(0) != 0;
    double window = 0;
    for (auto _ : state) {
        state.PauseTiming();
        auto ours = intoEmpty ? std::make_unique<Atlas>() : bench::FullAtlas("nnnLFdu1E");
        state.ResumeTiming();
        const auto start = std::chrono::steady_clock::now();
        auto copy = std::make_unique<Atlas>(*ours);
        const auto copied = std::chrono::steady_clock::now();
        const UndoHistory::Before before(*copy, 0);
        MergeAtlas(*copy, *theirs);
        auto change = UndoHistory::prepare(before, *copy, "merge");
        const auto prepared = std::chrono::steady_clock::now();
        UndoHistory::takeIn(change, *ours);
        const auto applied = std::chrono::steady_clock::now();
        window += std::chrono::duration<double, std::milli>((copied - start) + (applied - prepared)).count();
    }
    state.counters["window_ms"] = window / static_cast<double>(state.iterations());
}
BENCHMARK(BM_MergeOneMember)->Arg(1)->Arg(0)->ArgNames({"into_empty"})->Unit(benchmark::kMillisecond);

// A look at a folder of 10 000 members whose files have not changed since they were merged: the scan and
// the comparison with what was merged, nothing read.
void BM_LookOverUnchangedMembers(benchmark::State& state)
{
    char tmpl[] = "/tmp/veldor-bench-look-XXXXXX";
    const std::string root = ::mkdtemp(tmpl);
    for (int m = 0; m < 10000; ++m) {
        const std::string member = root + "/m" + std::to_string(m);
        std::filesystem::create_directory(member);
        for (const MapFileInfo& file : MapFiles()) {
            const std::string path = member + "/" + file.name;
            std::fclose(std::fopen(path.c_str(), "w"));
            std::filesystem::resize_file(path, file.size); // holes: the size without the disk
        }
    }
    const std::vector<SquadMemberScan> merged = ScanSquadFolder(root, "me");
    for (auto _ : state) {
        std::size_t toRead = 0;
        const std::vector<SquadMemberScan> seen = ScanSquadFolder(root, "me");
        for (std::size_t i = 0; i < seen.size(); ++i)
            toRead += JudgeMember(seen[i], 0) == MemberReadiness::Ready && seen[i] != merged[i] ? 1 : 0;
        benchmark::DoNotOptimize(toRead);
    }
    std::filesystem::remove_all(root);
}
BENCHMARK(BM_LookOverUnchangedMembers)->Unit(benchmark::kMillisecond)->UseRealTime();

// 100 changed members read and merged one after the other, as a look does beside the window.
void BM_ReadAndMergeHundredMembers(benchmark::State& state)
{
    const std::string& root = sharedFolder();
    for (auto _ : state) {
        auto ours = std::make_unique<Atlas>();
        for (int m = 0; m < 100; ++m) {
            const std::string name = "member" + std::to_string(m % 10);
            auto theirs = std::make_unique<Atlas>();
            LoadOtherMaps(*theirs, root + "/" + name);
            benchmark::DoNotOptimize(ScanSquadMember(root, name));
            const UndoHistory::Before before(*ours, 0);
            MergeAtlas(*ours, *theirs);
            benchmark::DoNotOptimize(UndoHistory::prepare(before, *ours, {}).empty());
        }
    }
}
BENCHMARK(BM_ReadAndMergeHundredMembers)->Unit(benchmark::kMillisecond)->Iterations(1)->UseRealTime();

} // namespace

// A member's gains since its last write-out: `cells` cells along the rows of a level (traps, with `objects`), a
// marker, a link.
LiveFile liveFile(int cells, bool objects = false)
{
    unsigned lab = 1;
    while (LabSide(lab) != 100)
        ++lab;
    LiveFile live;
    live.startedMs = 1;
    live.writtenMs = 2;
    live.place = AtlasPlace{lab, 4, 50, 50};
    for (int i = 0; i < cells; ++i)
        live.cells.push_back(
            {{lab, 4 + i / 10000, 1 + i % 100, 1 + i / 100 % 100}, {1, 0, 1, 0, 1, objects ? 'L' : '\0'}});
    live.markers.push_back({{lab, 4, 1, 1}, "klad"});
    live.links.push_back({lab, {4, 1, 1}, {5, 1, 1}});
    return live;
}

void BM_WriteLiveFile(benchmark::State& state)
{
    const LiveFile live = liveFile(static_cast<int>(state.range(0)));
    std::size_t bytes = 0;
    for (auto _ : state)
        bytes = WriteLiveFile(live).size();
    state.counters["bytes"] = static_cast<double>(bytes);
}
BENCHMARK(BM_WriteLiveFile)->Arg(300)->Arg(3000)->ArgNames({"cells"})->Unit(benchmark::kMicrosecond);

void BM_ReadLiveFile(benchmark::State& state)
{
    const std::string bytes = WriteLiveFile(liveFile(static_cast<int>(state.range(0))));
    for (auto _ : state)
        benchmark::DoNotOptimize(ReadLiveFile(bytes));
}
BENCHMARK(BM_ReadLiveFile)->Arg(300)->Arg(3000)->ArgNames({"cells"})->Unit(benchmark::kMicrosecond);

// On the window's thread: the cells new to ours (each run on an atlas that lacks them), or all known already.
void BM_TakeLiveFile(benchmark::State& state)
{
    const LiveFile live = liveFile(static_cast<int>(state.range(0)), state.range(2) != 0);
    const bool fresh = state.range(1) != 0;
    auto ours = std::make_unique<Atlas>();
    LevelLinks links;
    TakeLiveFile(*ours, links, live, {10, {}});
    for (auto _ : state) {
        if (fresh) {
            state.PauseTiming();
            for (const LiveCell& c : live.cells)
                *ours->cell(c.place.lab, c.place.level, c.place.x, c.place.y) = TMapCell{};
            for (int level = 0; level < kLevelCount; ++level)
                *ours->levelLists(live.cells.front().place.lab, level) = TLevelLists{};
            state.ResumeTiming();
        }
        benchmark::DoNotOptimize(TakeLiveFile(*ours, links, live, {10, {}}));
    }
}
BENCHMARK(BM_TakeLiveFile)
    ->Args({300, 1, 0})
    ->Args({3000, 1, 0})
    ->Args({3000, 0, 0})
    ->Args({3000, 1, 1})
    ->ArgNames({"cells", "new", "traps"})
    ->Unit(benchmark::kMicrosecond);

BENCHMARK_MAIN();
