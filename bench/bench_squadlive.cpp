// A timed tool run under X (Xvfb): two windows on one group folder that two real Syncthing instances keep in step
// on the loopback address (every outward feature off, the folder watcher at 1 s). Alpha walks back and forth with
// real key presses at a player's pace; for each step it takes the time from Alpha's page showing the new cell to
// Beta's map showing Alpha's figure there, and prints the spread.
//   bench_squadlive [steps] [pause ms]
#include "app/webengine_setup.h"
#include "app/window/mainwindow.h"
#include "eventwait.h"
#include "mapview/mapgrid.h"
#include "mapview/mapoverlay.h"
#include "practicefixture.h"
#include "syncthing.h"
#include "windowcontrols.h"
#include "xwalk.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QImage>
#include <QPlainTextEdit>
#include <QProcess>
#include <QTemporaryDir>
#include <QWindow>
#include <algorithm>
#include <cstdio>
#include <memory>
#include <vector>

using namespace veldor;
using veldor::bench::report;
using veldor::bench::xdotool;

namespace {

bool figureAt(MainWindow& form, int x, int y)
{
    MapGrid* grid = test::controls(form).mapGrid;
    const QRect cell = grid->cellRect(x, y);
    const QImage shown = grid->viewport()->grab(cell).toImage();
    const QColor alpha = MapOverlay::teammateColour(QStringLiteral("Alpha"));
    for (int px = 0; px < shown.width(); ++px)
        for (int py = 0; py < shown.height(); ++py)
            if (shown.pixelColor(px, py) == alpha)
                return true;
    return false;
}

// A window on its own working folder and its copy of the group folder.
std::unique_ptr<MainWindow> window(const QTemporaryDir& work, const QTemporaryDir& profile, const QString& group,
                                   const char* name, const QString& server, QRect where)
{
    QFile ini(work.filePath(QStringLiteral("veldor.ini")));
    QFile user(work.filePath(QStringLiteral("user.dat")));
    if (!ini.open(QIODevice::WriteOnly) || !user.open(QIODevice::WriteOnly) ||
        ini.write(QStringLiteral("[squad]\nfolder=%1\nname=%2\nenabled=true\n")
                      .arg(group, QString::fromLatin1(name))
                      .toUtf8()) <= 0 ||
        user.write("bench\r\npw\r\n1\r\n15\r\n1\r\n1\r\n0\r\n0\r\n") <= 0)
        return nullptr;
    ini.close();
    user.close();
    MainWindowOptions options;
    options.workFolder = work.path();
    options.profileFolder = profile.path();
    options.gameServer = server;
    auto form = std::make_unique<MainWindow>(options);
    form->setGeometry(where);
    form->show();
    return form;
}

} // namespace

int main(int argc, char* argv[])
{
    prepareWebEngine();
    QApplication app(argc, argv);
    const int steps = std::max(1, argc > 1 ? std::atoi(argv[1]) : 20);
    const int pause = std::max(0, argc > 2 ? std::atoi(argv[2]) : 700);
    if (QGuiApplication::platformName() != QLatin1String("xcb") || !test::SyncthingGroup::available()) {
        std::fprintf(stderr, "bench_squadlive needs an X display (xvfb-run) and syncthing\n");
        return 2;
    }
    QTemporaryDir base;
    const QString copyA = base.filePath(QStringLiteral("group-a"));
    const QString copyB = base.filePath(QStringLiteral("group-b"));
    QDir().mkpath(copyA);
    QDir().mkpath(copyB);
    test::SyncthingGroup engines;
    if (!engines.start(base.path(), {copyA, copyB})) {
        std::fprintf(stderr, "the sync engines did not start\n");
        return 1;
    }
    practice::GameRules rules;
    practice::test::RunningServer server(rules);
    QTemporaryDir workA, workB, profileA, profileB;
    auto b = window(workB, profileB, copyB, "Beta", QStringLiteral("http://127.0.0.1:9"), QRect(640, 0, 640, 900));
    auto a = window(workA, profileA, copyA, "Alpha", QString::fromStdString(server.base()), QRect(0, 0, 640, 900));
    if (!a || !b || !test::waitUntil([&] { return a->reader().ViewX == 2 && a->reader().ViewY == 2; }, 30000) ||
        !test::waitUntil([&] { return QFileInfo::exists(copyB + QStringLiteral("/Alpha/member.txt")); }, 90000)) {
        std::fprintf(stderr, "Alpha never stood in the game, or its folder never reached Beta\n");
        return 1;
    }
    if (!bench::clickKeyboardBox(*a)) {
        std::fprintf(stderr, "the keyboard box did not take the focus\n");
        return 1;
    }
    std::vector<double> latency;
    int x = 2;
    int dir = 1;
    for (int i = 0; i < steps; ++i) {
        if (x + dir > 12 || x + dir < 2)
            dir = -dir;
        x += dir;
        xdotool({QStringLiteral("key"), dir > 0 ? QStringLiteral("Right") : QStringLiteral("Left")});
        if (!test::waitUntil([&] { return a->reader().ViewX == x; }, 10000)) {
            std::fprintf(stderr, "step %d to %dx2 never showed\n", i + 1, x);
            return 1;
        }
        QElapsedTimer shown;
        shown.start();
        if (!test::waitUntil([&] { return figureAt(*b, x, 2); }, 20000)) {
            std::fprintf(stderr, "step %d never reached the other window\n", i + 1);
            return 1;
        }
        latency.push_back(static_cast<double>(shown.elapsed()));
        test::waitUntil([] { return false; }, pause + (i * 131) % 500);
    }
    std::printf("steps: %d at a player's pace (%d ms and up to 500 ms more between them), two Syncthing instances "
                "on 127.0.0.1, watcher delay 1 s\n",
                steps, pause);
    report("step -> teammate's map", latency);
    return 0;
}
