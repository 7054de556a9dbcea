// One polling tick's recognition (position and cell) on a realistic 30 KB game page.
#include "reader/pagereader.h"
#include "stubreaderhost.h"
#include "text/cp1251.h"

#include <benchmark/benchmark.h>
#include <memory>

namespace {

veldor::PageLines gamePage(int x, int y)
{
    const auto fromUtf8 = [](const std::string& utf8) {
        return veldor::cp1251::fromUtf8(veldor::cp1251::asUtf8(utf8));
    };
    veldor::PageLines lines = {
        "<HEAD><META http-equiv=\"Content-Type\" content=\"text/html; charset=windows-1251\"><TITLE>game</TITLE>"
        "<STYLE>body{font-family:sans-serif}</STYLE><SCRIPT>function goTo(n){}</SCRIPT></HEAD>",
        "<BODY>",
        fromUtf8("<DIV class=\"top\">Тирмора</DIV>"),
        fromUtf8("<DIV id=hru name=\"hru\">измотанность: 87%</DIV>"),
        fromUtf8("<DIV id=title name=\"title\"><B>L-2(" + std::to_string(x) + "," + std::to_string(y) +
                 ")</B> Подземелье</DIV>"),
        "<DIV id=d1 name=\"d1\"><A href=\"javascript:goTo(3)\"><IMG src=\"/img/go_n_s.gif\"></A></DIV>",
        "<DIV id=d3 name=\"d3\"><A href=\"javascript:goTo(1)\"><IMG src=\"/img/go5_s.gif\"></A></DIV>",
        "<DIV id=d5 name=\"d5\"></DIV>",
        "<DIV id=d7 name=\"d7\"><A href=\"javascript:goTo(4)\"><IMG src=\"/img/go_s_s.gif\"></A></DIV>",
        fromUtf8("<DIV class=\"thing\">Вещи тут: <IMG src=\"/img/unlock_3_s.gif\"> Зеленый сундук</DIV>"),
    };
    // The rest of a real page: inventory, effects, chat-like lines.
    while (true) {
        std::size_t total = 0;
        for (const auto& l : lines)
            total += l.size() + 2;
        if (total >= 30 * 1024)
            break;
        lines.push_back(fromUtf8("<DIV class=\"log\"><SPAN class=\"time\">12:34</SPAN> Вы нашли 3 монеты и "
                                 "кусок старой карты.</DIV>"));
    }
    lines.push_back("</BODY>");
    return lines;
}

void BM_RecognizeTick(benchmark::State& state)
{
    auto atlas = std::make_unique<veldor::Atlas>();
    veldor::ReaderState reader;
    veldor::test::StubReaderHost host;
    host.sounds = true;
    const veldor::PageLines pages[2] = {gamePage(12, 7), gamePage(13, 7)};
    std::size_t bytes = 0;
    for (const auto& l : pages[0])
        bytes += l.size() + 2;
    int i = 0;
    for (auto _ : state) {
        // Every tick a move: the full work, with the cell's entries and mirrored sides.
        veldor::RecognizePage(pages[i ^= 1], *atlas, reader, host);
    }
    state.counters["page_bytes"] = static_cast<double>(bytes);
}
BENCHMARK(BM_RecognizeTick)->Unit(benchmark::kMicrosecond)->Repetitions(5)->ReportAggregatesOnly(true);

void BM_SplitPageLines(benchmark::State& state)
{
    std::string text;
    for (const auto& l : gamePage(1, 1))
        text += l + "\r\n";
    for (auto _ : state)
        benchmark::DoNotOptimize(veldor::SplitPageLines(text));
}
BENCHMARK(BM_SplitPageLines)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
