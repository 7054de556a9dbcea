// Soak run: the program walks the practice labyrinth with the arrow keys for a given number of minutes.
// Reports the program's memory at the start and at the end, and the tick time from asking for the game
// frame's markup to a repainted grid (median and worst). It waits in a real event loop, as the program runs.
// With "way" after the minutes, the way to the exit is shown all along (asked again whenever it ends), so that
// every step works it out again.
#include "app/webengine_setup.h"
#include "app/window/mainwindow.h"
#include "browser/browserview.h"
#include "browser/pagebridge.h"
#include "browser/pagepoller.h"
#include "eventwait.h"
#include "mapview/mapgrid.h"
#include "scriptedprompts.h"
#include "windowcontrols.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QPlainTextEdit>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <algorithm>
#include <cstdio>
#include <random>

using namespace veldor;
using veldor::test::waitUntil;

namespace {

long rssKb()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').first().toLong();
    return -1;
}

} // namespace

int main(int argc, char* argv[])
{
    prepareWebEngine();
    QApplication app(argc, argv);
    const double minutes = argc > 1 ? std::atof(argv[1]) : 10.0;
    const bool showWay = argc > 2 && QByteArray(argv[2]) == "way";
    const QString serverExe =
        QCoreApplication::applicationDirPath() + QStringLiteral("/../tools/practice-server/veldor-practice-server");

    QProcess server;
    server.start(serverExe,
                 {QStringLiteral("--port"), QStringLiteral("0"), QStringLiteral("--seed"), QStringLiteral("3"),
                  QStringLiteral("--levels"), QStringLiteral("3"), QStringLiteral("--pad"), QStringLiteral("20000"),
                  QStringLiteral("--combat-seconds"), QStringLiteral("2")});
    if (!server.waitForReadyRead(10000)) {
        std::fprintf(stderr, "soak: the practice server did not start (%s)\n", qPrintable(serverExe));
        return 1;
    }
    const QString port = QString::fromLatin1(server.readLine()).trimmed();

    QTemporaryDir work;
    QTemporaryDir profile;
    QFile userDat(work.filePath(QStringLiteral("user.dat")));
    userDat.open(QIODevice::WriteOnly);
    userDat.write("soak\r\npw\r\n1\r\n15\r\n1\r\n1\r\n0\r\n0\r\n");
    userDat.close();
    MainWindowOptions options;
    options.workFolder = work.path();
    options.gameServer = QStringLiteral("http://127.0.0.1:") + port;
    options.profileFolder = profile.path();
    options.prompts = std::make_shared<test::ScriptedPrompts>();
    MainWindow form(options);
    form.setGeometry(0, 0, 1280, 900); // the whole screen, as the keys need it
    form.show();

    std::vector<double> tickMs;
    std::vector<double> readMs;
    std::vector<double> paintMs;
    bool measuring = false;
    QObject::connect(form.poller(), &PagePoller::tickDone, [&](qint64 ns) {
        if (!measuring)
            return;
        // The repaint the tick asked for, done now: the grid as the player sees it after the tick. Only the
        // grid's own painting counts; the browser repaints its page in the same pass.
        const qint64 painted = test::controls(form).mapGrid->paintNanoseconds();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::UpdateRequest);
        const qint64 paintNs = test::controls(form).mapGrid->paintNanoseconds() - painted;
        tickMs.push_back((ns + paintNs) / 1e6);
        paintMs.push_back(paintNs / 1e6);
        readMs.push_back(ns / 1e6);
    });

    QElapsedTimer clock;
    clock.start();
    waitUntil([&] { return form.reader().ViewX != 0; }, 60000);
    if (form.reader().ViewX == 0) {
        std::fprintf(stderr, "soak: never logged in\n");
        return 1;
    }
    // The first minute of walking fills the browser's caches; memory is measured from then on.
    const long loginKb = rssKb();
    long startKb = -1;
    const qint64 warmUpEnd = clock.elapsed() + 60000;

    std::mt19937 rng(1);
    long steps = 0;
    long waitsWithoutMove = 0;
    const qint64 endMs = warmUpEnd + static_cast<qint64>(minutes * 60000);
    qint64 nextReport = clock.elapsed() + 60000;
    while (clock.elapsed() < endMs) {
        if (!measuring && clock.elapsed() >= warmUpEnd) {
            startKb = rssKb();
            measuring = true;
        }
        if (clock.elapsed() >= nextReport) {
            std::printf("soak: after %lld s: %ld KiB, %ld steps\n", (clock.elapsed()) / 1000, rssKb(), steps);
            std::fflush(stdout);
            nextReport += 60000;
        }
        if (showWay && test::controls(form).wayLabel->isHidden())
            test::controls(form).wayToExitAction->trigger();
        const TMapCell* c = form.atlas().cell(1, form.shownLevel(), form.reader().ViewX, form.reader().ViewY);
        if (!c) {
            waitUntil([] { return false; }, 200);
            continue;
        }
        if ((c->Object == 'd' || c->Object == 'u') && rng() % 3 == 0) {
            runPageScript(form.poller()->NoCombatFrame.browser->page(), QStringLiteral("no_combat"),
                          form.poller()->gameOrigin(),
                          c->Object == 'd' ? QStringLiteral("goDown()") : QStringLiteral("goUp()"));
            waitUntil([] { return false; }, 1200);
            continue;
        }
        const std::pair<int, std::uint8_t> sides[] = {
            {Qt::Key_Up, c->North}, {Qt::Key_Down, c->South}, {Qt::Key_Left, c->West}, {Qt::Key_Right, c->East}};
        std::vector<int> open;
        for (const auto& [key, side] : sides)
            if (side != 0)
                open.push_back(key);
        if (open.empty()) {
            waitUntil([] { return false; }, 200);
            continue;
        }
        const int x = form.reader().ViewX;
        const int y = form.reader().ViewY;
        QTest::keyClick(test::controls(form).keyboardBox, static_cast<Qt::Key>(open[rng() % open.size()]));
        waitUntil([&] { return form.reader().ViewX != x || form.reader().ViewY != y; }, 4000);
        if (form.reader().ViewX != x || form.reader().ViewY != y)
            ++steps;
        else
            ++waitsWithoutMove; // a combat or a rest
    }
    const long endKb = rssKb();
    std::sort(tickMs.begin(), tickMs.end());
    std::sort(readMs.begin(), readMs.end());
    if (!readMs.empty())
        std::printf("soak: of which markup read and recognition: median %.2f ms, worst %.2f ms\n",
                    readMs[readMs.size() / 2], readMs.back());
    std::sort(paintMs.begin(), paintMs.end());
    if (!paintMs.empty())
        std::printf("soak: of which grid painting: median %.2f ms, worst %.2f ms\n", paintMs[paintMs.size() / 2],
                    paintMs.back());
    const double median = tickMs.empty() ? 0 : tickMs[tickMs.size() / 2];
    const double worst = tickMs.empty() ? 0 : tickMs.back();
    std::printf("soak: %.1f minutes, %ld steps (%ld waits without a move), %zu ticks%s\n", minutes, steps,
                waitsWithoutMove, tickMs.size(), showWay ? ", the way to the exit shown" : "");
    std::printf("soak: memory after logging in %ld KiB\n", loginKb);
    std::printf("soak: memory at start (after a minute's walk) %ld KiB, at end %ld KiB (%+.1f%%)\n", startKb, endKb,
                startKb > 0 ? 100.0 * (endKb - startKb) / startKb : 0.0);
    std::printf("soak: tick from markup request to repainted grid: median %.2f ms, worst %.2f ms\n", median, worst);
    server.kill();
    server.waitForFinished();
    const bool flat = startKb > 0 && endKb <= startKb * 1.10;
    std::printf("soak: memory %s\n", flat ? "flat within 10%" : "grew by more than 10%");
    return flat ? 0 : 2;
}
