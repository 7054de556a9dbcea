// A full repaint of a 101 x 101 explored level into an offscreen image, and the route search on a fully
// explored 100 x 100 level against the depth-first relaxation it replaces.
#include "map/atlas.h"
#include "mapview/atlasoverview.h"
#include "mapview/cellpainter.h"
#include "mapview/levelpicture.h"
#include "mapview/mapgrid.h"
#include "mapview/mapicons.h"
#include "route/frontier.h"
#include "route/route.h"

#include "fullatlas.h"
#include <QApplication>
#include <QBuffer>
#include <QElapsedTimer>
#include <QImage>
#include <QSettings>

#include <benchmark/benchmark.h>
#include <memory>
#include <pthread.h>

namespace {

std::unique_ptr<veldor::Atlas> exploredLevel()
{
    auto atlas = std::make_unique<veldor::Atlas>();
    for (int x = 1; x <= 100; ++x)
        for (int y = 1; y <= 100; ++y) {
            veldor::TMapCell* c = atlas->cell(14, 0, x, y);
            c->Explored = 1;
            c->North = y > 1 ? 1 : 0;
            c->South = y < 100 ? 1 : 0;
            c->West = x > 1 ? static_cast<std::uint8_t>(x % 7 == 0 ? 4 : 1) : 0;
            c->East = x < 100 ? static_cast<std::uint8_t>((x + 1) % 7 == 0 ? 4 : 1) : 0;
            c->Object = "nnnLFdu1"[(x * 31 + y * 17) % 8];
        }
    atlas->cell(14, 0, 100, 100)->Object = 'E';
    return atlas;
}

// The grid showing the level of exploredLevel() in a square view of `side` pixels.
void showLevel(veldor::MapGrid& grid, const veldor::Atlas& atlas, const veldor::MapIcons& icons, int side)
{
    grid.setRowCount(101);
    grid.setColCount(101);
    grid.resize(side, side);
    grid.setCellPainter([&atlas, &icons](QPainter& p, int col, int row, const QRect& r) {
        veldor::CellInputs in;
        in.cell = atlas.cell(14, 0, col, row);
        in.group = 3;
        veldor::PaintMapCell(p, r, in, icons);
    });
}

void BM_RepaintFullLevel(benchmark::State& state)
{
    const auto atlas = exploredLevel();
    const veldor::MapIcons icons;
    veldor::MapGrid grid;
    showLevel(grid, *atlas, icons, 101 * 16 + 40);
    QImage image(grid.viewport()->size(), QImage::Format_RGB32);
    for (auto _ : state)
        grid.viewport()->render(&image);
    state.counters["cells"] = 100 * 100;
}
BENCHMARK(BM_RepaintFullLevel)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

// "Сохранить уровень как рисунок...": the whole 100 x 100 level at cell size 25 with its title, and the same
// written as PNG.
void BM_LevelPicture(benchmark::State& state)
{
    const auto atlas = exploredLevel();
    const veldor::MapIcons icons;
    veldor::MapGrid grid;
    grid.setRowCount(101);
    grid.setColCount(101);
    grid.setDefaultColWidth(25);
    grid.setDefaultRowHeight(25);
    for (int i = 1; i <= 100; ++i) {
        grid.setCellText(0, i, QString::number(i));
        grid.setCellText(i, 0, QString::number(i));
    }
    grid.setCellPainter([&](QPainter& p, int col, int row, const QRect& r) {
        veldor::CellInputs in;
        in.cell = atlas->cell(14, 0, col, row);
        in.group = 3;
        veldor::PaintMapCell(p, r, in, icons);
    });
    const bool encode = state.range(0) != 0;
    for (auto _ : state) {
        const QImage picture = veldor::LevelPicture(grid, QStringLiteral("Лабиринт, уровень 0"));
        if (encode) {
            QByteArray png;
            QBuffer buffer(&png);
            buffer.open(QIODevice::WriteOnly);
            picture.save(&buffer, "PNG");
            benchmark::DoNotOptimize(png.size());
        }
        benchmark::DoNotOptimize(picture.constBits());
    }
}
BENCHMARK(BM_LevelPicture)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

void BM_FindExitPath(benchmark::State& state)
{
    const auto atlas = exploredLevel();
    veldor::ExitRoute route;
    for (auto _ : state)
        route.findExitPath(*atlas, 14, 0, 1, 1, true);
    state.counters["route_cells"] = static_cast<double>(route.ExitPath.size());
}
BENCHMARK(BM_FindExitPath)->Unit(benchmark::kMicrosecond)->Repetitions(5)->ReportAggregatesOnly(true);

// The explore assistant on the same level: every cell explored, traps scattered over an eighth of them (no
// opening anywhere); and the same level with the far corner cell unexplored, so that the search around the
// traps and then the one over them cross the whole level.
void BM_FindFrontier(benchmark::State& state)
{
    const auto atlas = exploredLevel();
    veldor::FrontierSearch search;
    for (auto _ : state)
        benchmark::DoNotOptimize(search.find(*atlas, 14, 0, 1, 1, true).found());
    state.counters["found"] = search.route().found() ? 1 : 0;
}
BENCHMARK(BM_FindFrontier)->Unit(benchmark::kMicrosecond)->Repetitions(5)->ReportAggregatesOnly(true);

void BM_FindFrontierFarCorner(benchmark::State& state)
{
    const auto atlas = exploredLevel();
    atlas->cell(14, 0, 100, 100)->Explored = 0;
    veldor::FrontierSearch search;
    for (auto _ : state)
        benchmark::DoNotOptimize(search.find(*atlas, 14, 0, 1, 1, true).found());
    state.counters["steps"] = search.route().steps();
}
BENCHMARK(BM_FindFrontierFarCorner)->Unit(benchmark::kMicrosecond)->Repetitions(5)->ReportAggregatesOnly(true);

// The recursive relaxation as first written; it needs a deep stack, so it runs on a thread of its own.
struct Relaxation
{
    const veldor::Atlas* atlas = nullptr;
    int px = 1, py = 1;
    std::vector<long long> dist, unreached;
    void spread(int x, int y, long long d)
    {
        dist[x * 101 + y] = d;
        unreached[x * 101 + y] = 0;
        if (x == px && y == py)
            return;
        const veldor::TMapCell* c = atlas->cell(14, 0, x, y);
        const int dx[] = {-1, 1, 0, 0}, dy[] = {0, 0, -1, 1};
        const std::uint8_t sides[] = {c->West, c->East, c->North, c->South};
        for (int k = 0; k < 4; ++k) {
            const int nx = x + dx[k], ny = y + dy[k];
            if (nx < 1 || nx > 100 || ny < 1 || ny > 100 || sides[k] == 0)
                continue;
            if (!atlas->cell(14, 0, nx, ny)->Explored)
                continue;
            if (unreached[nx * 101 + ny] == 1 || dist[nx * 101 + ny] > d + 1)
                spread(nx, ny, d + 1);
        }
    }
    void run()
    {
        dist.assign(101 * 101, 10000);
        unreached.assign(101 * 101, 0);
        for (int x = 1; x <= 100; ++x)
            for (int y = 1; y <= 100; ++y)
                unreached[x * 101 + y] = 1;
        spread(100, 100, 1);
    }
};

void BM_ReferenceRelaxation(benchmark::State& state)
{
    const auto atlas = exploredLevel();
    Relaxation r;
    r.atlas = atlas.get();
    for (auto _ : state) {
        pthread_attr_t attr;
        pthread_attr_init(&attr);
        pthread_attr_setstacksize(&attr, 512u * 1024 * 1024);
        pthread_t thread;
        pthread_create(
            &thread, &attr,
            [](void* p) -> void* {
                static_cast<Relaxation*>(p)->run();
                return nullptr;
            },
            &r);
        pthread_join(thread, nullptr);
        pthread_attr_destroy(&attr);
    }
}
BENCHMARK(BM_ReferenceRelaxation)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();

} // namespace

// "Обзор атласа" opened on a fully explored atlas: the window made and shown with the 20 shares and the first
// pictures of a 100 x 100 labyrinth; `all_ms`: until the last of its 17 pictures is painted.
void BM_OverviewFirstPaint(benchmark::State& state)
{
    const auto atlas = veldor::bench::FullAtlas("nnnLFdu1");
    QSettings settings(QStringLiteral("/tmp/veldor-bench-overview.ini"), QSettings::IniFormat);
    double all = 0;
    for (auto _ : state) {
        QElapsedTimer timer;
        timer.start();
        veldor::AtlasOverview overview(*atlas, settings);
        overview.showLab(14);
        overview.show();
        benchmark::DoNotOptimize(overview.grab());
        state.PauseTiming();
        while (overview.painting())
            QApplication::processEvents();
        all += static_cast<double>(timer.nsecsElapsed()) / 1e6;
        state.ResumeTiming();
    }
    state.counters["all_ms"] = all / static_cast<double>(state.iterations());
}
BENCHMARK(BM_OverviewFirstPaint)->Unit(benchmark::kMillisecond)->Repetitions(3)->ReportAggregatesOnly(true);

// One notch of Ctrl+wheel over a 100 x 100 level: the cell size one larger or smaller, the 800 x 800 view
// painted again.
void BM_ZoomStep(benchmark::State& state)
{
    const auto atlas = exploredLevel();
    const veldor::MapIcons icons;
    veldor::MapGrid grid;
    showLevel(grid, *atlas, icons, 800);
    QImage image(grid.viewport()->size(), QImage::Format_RGB32);
    int size = 15;
    for (auto _ : state) {
        size = size == 15 ? 16 : 15;
        grid.setDefaultColWidth(size);
        grid.setDefaultRowHeight(size);
        grid.keepCellAt({50, 50}, {400, 400});
        grid.viewport()->render(&image);
    }
}
BENCHMARK(BM_ZoomStep)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
