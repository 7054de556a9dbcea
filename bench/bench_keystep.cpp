// A timed tool run under X (Xvfb): the whole window against the practice server, walked with real key
// presses from the X server (xdotool), one step at a time with a pause between. For each step it takes the
// moment the window got the key, the moment the game frame finished loading, and the moment the grid began
// painting the player in the new cell; it prints the spread of key → load, load → map and key → map, and the
// time from the window showing to the first position on the grid.
// With "rewrite" the game takes each move into the page without loading it (the frame's change counts as its
// load). With a number of members, the window is in a group folder where that many members walk at once, each
// replacing its live file every 2 s from a thread of its own; it prints how much of a core the window's thread used
// over the walk, to compare with a run without them.
//   bench_keystep [steps] [pause ms] [bytes of page padding] [rewrite|load] [members]
#include "app/webengine_setup.h"
#include "app/window/mainwindow.h"
#include "browser/browserview.h"
#include "eventwait.h"
#include "map/livefile.h"
#include "mapview/mapgrid.h"
#include "practicefixture.h"
#include "windowcontrols.h"
#include "xwalk.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QPlainTextEdit>
#include <QProcess>
#include <QTemporaryDir>
#include <QWindow>
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string_view>
#include <sys/resource.h>
#include <thread>
#include <vector>

using namespace veldor;
using veldor::bench::report;
using veldor::bench::xdotool;

namespace {

// Times are milliseconds on one clock started before the window.
struct Clock
{
    QElapsedTimer timer;
    double now() const { return timer.nsecsElapsed() / 1e6; }
};

// Watches the window: the key as it arrives, the game frame's loads, the grid's paints with the player.
class Watch : public QObject
{
public:
    Watch(MainWindow& form, const Clock& clock) : m_form(form), m_clock(clock)
    {
        test::controls(form).keyboardBox->installEventFilter(this);
        test::controls(form).mapGrid->viewport()->installEventFilter(this);
        QObject::connect(test::controls(form).gameBrowser, &BrowserView::frameCompleted, this,
                         [this](BrowserView*, const QString& name, bool) {
                             if (name == QLatin1String("no_combat") && loadAt < 0 && keyAt >= 0)
                                 loadAt = m_clock.now();
                         });
        QObject::connect(test::controls(form).gameBrowser, &BrowserView::frameChanged, this,
                         [this](BrowserView*, const QString& name) {
                             if (name == QLatin1String("no_combat") && loadAt < 0 && keyAt >= 0)
                                 loadAt = m_clock.now();
                         });
    }
    void expect(int x, int y)
    {
        m_x = x;
        m_y = y;
        keyAt = loadAt = mapAt = -1;
    }
    double keyAt = -1;
    double loadAt = -1;
    double mapAt = -1;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::KeyPress && keyAt < 0)
            keyAt = m_clock.now();
        else if (event->type() == QEvent::Paint && watched == test::controls(m_form).mapGrid->viewport() && mapAt < 0 &&
                 m_form.reader().ViewX == m_x && m_form.reader().ViewY == m_y)
            mapAt = m_clock.now();
        return false;
    }

private:
    MainWindow& m_form;
    const Clock& m_clock;
    int m_x = 0;
    int m_y = 0;
};

// The calling thread's processor time.
double threadCpuMs()
{
    rusage usage{};
    getrusage(RUSAGE_THREAD, &usage);
    return (usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1e3 +
           (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e3;
}

// Members walking in the group folder: each replaces its live file (a new cell a round) every 2 s, as a sync
// engine delivers it: written beside, then renamed into place.
class WalkingMembers
{
public:
    WalkingMembers(const std::string& folder, int count) : m_thread([this, folder, count] { run(folder, count); }) {}
    ~WalkingMembers()
    {
        m_stop = true;
        m_thread.join();
    }

private:
    void run(const std::string& folder, int count)
    {
        const auto started = std::chrono::system_clock::now().time_since_epoch() / std::chrono::milliseconds(1);
        for (int m = 0; m < count; ++m) {
            std::filesystem::create_directories(folder + "/member" + std::to_string(m));
            std::ofstream(folder + "/member" + std::to_string(m) + "/member.txt")
                << "name=member" << m << "\nstartedMs=" << started << "\nwrittenMs=" << started << "\n";
        }
        for (std::uint64_t round = 1; !m_stop; ++round) {
            for (int m = 0; m < count && !m_stop; ++m) {
                LiveFile live;
                live.startedMs = started;
                live.writtenMs = live.placeMs =
                    std::chrono::system_clock::now().time_since_epoch() / std::chrono::milliseconds(1);
                live.sequence = round;
                const int x = 1 + static_cast<int>(round % 30);
                const int y = 1 + m % 30;
                live.place = AtlasPlace{2, m % 17, x, y};
                for (int k = 1; k <= x; ++k)
                    live.cells.push_back({{2, m % 17, k, y}, {0, 0, 1, 1, 1, 0}});
                const std::string dir = folder + "/member" + std::to_string(m) + "/";
                std::ofstream(dir + ".syncthing.live.txt.tmp") << WriteLiveFile(live);
                std::filesystem::rename(dir + ".syncthing.live.txt.tmp", dir + LiveFile::kFileName);
            }
            for (int i = 0; i < 20 && !m_stop; ++i)
                std::this_thread::sleep_for(std::chrono::milliseconds(100));
        }
    }

    std::atomic<bool> m_stop{false};
    std::thread m_thread;
};

} // namespace

int main(int argc, char* argv[])
{
    prepareWebEngine();
    QApplication app(argc, argv);
    const int steps = std::max(1, argc > 1 ? std::atoi(argv[1]) : 40);
    const int pause = std::max(0, argc > 2 ? std::atoi(argv[2]) : 300);
    if (QGuiApplication::platformName() != QLatin1String("xcb")) {
        std::fprintf(stderr, "bench_keystep needs an X display (run it under xvfb-run)\n");
        return 2;
    }
    practice::GameRules rules;
    rules.pagePadding = argc > 3 ? std::atoi(argv[3]) : 30000; // as large as a real game page
    rules.rewriteMoves = argc > 4 && std::string_view(argv[4]) == "rewrite";
    const int members = argc > 5 ? std::max(0, std::atoi(argv[5])) : 0;
    practice::test::RunningServer server(rules);
    QTemporaryDir work;
    QTemporaryDir profile;
    // Automatic login as a practice player, doors passable, no sounds.
    QFile user(work.filePath(QStringLiteral("user.dat")));
    if (!user.open(QIODevice::WriteOnly) || user.write("bench\r\npw\r\n1\r\n15\r\n1\r\n1\r\n0\r\n0\r\n") <= 0)
        return 1;
    user.close();
    QTemporaryDir group;
    std::unique_ptr<WalkingMembers> walking;
    if (members > 0) {
        QFile ini(work.filePath(QStringLiteral("veldor.ini")));
        if (!ini.open(QIODevice::WriteOnly) ||
            ini.write(QStringLiteral("[squad]\nfolder=%1\nname=bench\nenabled=true\n").arg(group.path()).toUtf8()) <= 0)
            return 1;
        ini.close();
        walking = std::make_unique<WalkingMembers>(QFile::encodeName(group.path()).toStdString(), members);
    }

    Clock clock;
    clock.timer.start();
    MainWindowOptions options;
    options.workFolder = work.path();
    options.profileFolder = profile.path();
    options.gameServer = QString::fromStdString(server.base());
    MainWindow form(options);
    form.setGeometry(0, 0, 1280, 900); // the whole screen: the keyboard box must be on it for the clicks
    form.show();
    if (!test::waitUntil([&] { return form.windowHandle() && form.windowHandle()->isExposed(); }, 10000))
        return 1;
    const double shown = clock.now();
    if (!test::waitUntil([&] { return form.reader().ViewX == 2 && form.reader().ViewY == 2; }, 30000)) {
        std::fprintf(stderr, "the first position never showed\n");
        return 1;
    }
    const double firstPosition = clock.now() - shown;

    // A real click into the keyboard box, through the X server.
    if (!bench::clickKeyboardBox(form)) {
        std::fprintf(stderr, "the keyboard box did not take the focus\n");
        return 1;
    }

    Watch watch(form, clock);
    std::vector<double> keyToLoad, loadToMap, keyToMap;
    const double cpuBefore = threadCpuMs();
    const double walkBegan = clock.now();
    // Back and forth along the first row (2..12): passages and doors, short of the monster.
    int x = 2;
    int dir = 1;
    for (int i = 0; i < steps; ++i) {
        if (x + dir > 12 || x + dir < 2)
            dir = -dir;
        x += dir;
        watch.expect(x, 2);
        xdotool({QStringLiteral("key"), dir > 0 ? QStringLiteral("Right") : QStringLiteral("Left")});
        if (!test::waitUntil([&] { return watch.mapAt >= 0; }, 10000)) {
            std::fprintf(stderr, "step %d to %dx2 never showed on the map\n", i + 1, x);
            return 1;
        }
        if (watch.keyAt >= 0) {
            keyToMap.push_back(watch.mapAt - watch.keyAt);
            if (watch.loadAt >= 0) {
                keyToLoad.push_back(watch.loadAt - watch.keyAt);
                loadToMap.push_back(watch.mapAt - watch.loadAt);
            }
        }
        // Pauses of varying length, so that the steps fall at every point of the polling heartbeat.
        test::waitUntil([] { return false; }, pause + (i * 131) % 500);
    }
    const double cpu = threadCpuMs() - cpuBefore;
    const double walked = clock.now() - walkBegan;
    std::printf("single steps: %d, pause %d ms and up to 500 ms more, game page %d bytes of padding, %s\n", steps,
                pause, rules.pagePadding, rules.rewriteMoves ? "moves rewrite the page" : "moves reload the page");
    int brought = 0; // the members walk labyrinth 2, the window's player labyrinth 1
    for (int level = 0; level < kLevelCount; ++level)
        for (int x = 1; x <= LabSide(2); ++x)
            for (int y = 1; y <= LabSide(2); ++y)
                brought += form.atlas().cell(2, level, x, y)->Explored;
    std::printf("%-22s %d walking, their live files replaced every 2 s; %d of their cells taken in\n", "group members",
                members, brought);
    std::printf("%-22s %7.1f %% of a core over %.0f s\n", "window thread CPU", 100.0 * cpu / walked, walked / 1000);
    report("key -> frame loaded", keyToLoad);
    report("frame loaded -> map", loadToMap);
    report("key -> map", keyToMap);
    std::printf("%-22s %7.1f ms after the window showed\n", "first position", firstPosition);
    return 0;
}
