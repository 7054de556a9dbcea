// Makes the guide's screenshot at build time, so that it always shows the window as it now is: the window,
// offscreen, logs in to the practice game and walks a few dozen steps with the arrow keys, its map drawing.
//   make-screenshot <output.png>
#include "app/parts/pagecontrol.h"
#include "app/webengine_setup.h"
#include "app/window/mainwindow.h"
#include "game.h"
#include "reader/pagereader.h"
#include "server.h"
#include "text/cp1251.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QKeyEvent>
#include <QPlainTextEdit>
#include <QTemporaryDir>
#include <QThread>
#include <cstdio>
#include <functional>
#include <set>
#include <thread>

namespace {

bool waitFor(const std::function<bool()>& done, int ms)
{
    QElapsedTimer clock;
    clock.start();
    while (!done()) {
        if (clock.elapsed() > ms)
            return false;
        QApplication::processEvents(QEventLoop::AllEvents, 20);
        QThread::msleep(5);
    }
    return true;
}

struct Walk
{
    veldor::MainWindow& form;
    const practice::Labyrinth& lab;
    std::set<std::pair<int, int>> seen;
    int budget;

    bool step(practice::Side side, practice::Position to)
    {
        static const int keys[] = {Qt::Key_Up, Qt::Key_Down, Qt::Key_Left, Qt::Key_Right};
        QKeyEvent press(QEvent::KeyPress, keys[side], Qt::NoModifier);
        QApplication::sendEvent(form.findChild<QPlainTextEdit*>(QStringLiteral("keyboardBox")), &press);
        --budget;
        return waitFor([&] { return form.reader().ViewX == to.x && form.reader().ViewY == to.y; }, 10000);
    }

    // Depth first over the open sides, stepping back along the way it came.
    bool from(practice::Position at)
    {
        seen.insert({at.x, at.y});
        for (const practice::Side side : {practice::East, practice::South, practice::North, practice::West}) {
            const practice::Position next = practice::Labyrinth::step(at, side);
            if (budget <= 0 || next == at || seen.count({next.x, next.y}) || lab.at(0, at.x, at.y).side[side] == 0)
                continue;
            if (!step(side, next) || !from(next))
                return false;
            if (budget > 0 && !step(practice::Labyrinth::opposite(side), at))
                return false;
        }
        return true;
    }
};

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1"); // builds often run as root; the page is the practice game's own
    veldor::prepareWebEngine();
    QApplication app(argc, argv);
    veldor::setupApplication(app);
    if (argc != 2) {
        std::fputs("usage: make-screenshot <output.png>\n", stderr);
        return 2;
    }
    practice::GameRules rules;
    rules.combatLength = std::chrono::milliseconds(0); // a monster on the way holds no step up
    practice::Game game(practice::Labyrinth::generate(11, 30, 2), rules);
    practice::PracticeServer server(game);
    const int port = server.bind(0);
    if (port < 0)
        return 1;
    std::thread serving([&] { server.listen(); });
    const auto stop = [&](int code) {
        server.stop();
        serving.join();
        return code;
    };

    QTemporaryDir work;
    QTemporaryDir profile;
    QFile settings(work.filePath(QStringLiteral("user.dat")));
    if (!settings.open(QIODevice::WriteOnly))
        return stop(1);
    // Login, password, labyrinth 1, cell size 10 (the walk in view), automatic login, through doors, no sounds, panels
    // stay.
    settings.write(veldor::cp1251::fromUtf8(u8"Путник\r\npractice\r\n1\r\n10\r\n1\r\n1\r\n0\r\n0\r\n").c_str());
    settings.close();

    veldor::MainWindowOptions options;
    options.workFolder = work.path();
    options.gameServer = QStringLiteral("http://127.0.0.1:%1").arg(port);
    options.profileFolder = profile.path();
    auto form = std::make_unique<veldor::MainWindow>(options);
    form->resize(1280, 900);
    form->show();
    const practice::Position start = game.labyrinth().start();
    if (!waitFor([&] { return form->reader().ViewX == start.x && form->reader().ViewY == start.y; }, 60000)) {
        std::fputs("make-screenshot: the window did not log in to the practice game\n", stderr);
        return stop(1);
    }
    form->findChild<QPlainTextEdit*>(QStringLiteral("keyboardBox"))->setFocus();
    Walk walk{*form, game.labyrinth(), {}, 80};
    if (!walk.from(start)) {
        std::fputs("make-screenshot: a step did not reach the map\n", stderr);
        return stop(1);
    }
    form->findChild<veldor::PageControl*>(QStringLiteral("sidePages"))
        ->setActivePageIndex(0);        // the settings beside the map
    waitFor([] { return false; }, 500); // the last pictures of the page
    const bool saved = form->grab().save(QString::fromLocal8Bit(argv[1]));
    form.reset();
    return stop(saved ? 0 : 1);
}
