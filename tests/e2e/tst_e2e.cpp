// Whole-program runs against the practice server: first start, automatic login, a walk with the arrow keys
// through doors, a combat and a way down and back up, the atlas against the server's truth, saving,
// restarting, failing saves, the close question and player lookup.
#include "app/parts/pagecontrol.h"
#include "app/play/eventsounds.h"
#include "app/webengine_setup.h"
#include "app/window/mainwindow.h"
#include "browser/browserview.h"
#include "browser/pagebridge.h"
#include "browser/pagepoller.h"
#include "eventwait.h"
#include "formfixture.h"
#include "map/mapfiles.h"
#include "mapview/clicksplitter.h"
#include "mapview/mapgrid.h"
#include "person.h"
#include "practicefixture.h"
#include "ui/qtcodec.h"
#include "windowcontrols.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFrame>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <csignal>
#include <map>
#include <set>
#include <sys/resource.h>

using namespace veldor;
using namespace veldor::test;
using practice::test::RunningServer;
using practice::test::Truth;

namespace {

struct Pos
{
    int level, x, y;
    bool operator<(const Pos& o) const { return std::tie(level, x, y) < std::tie(o.level, o.x, o.y); }
};

QByteArray tableBytes(const Atlas& atlas, MapTable t)
{
    const auto b = atlas.bytes(t);
    return QByteArray(reinterpret_cast<const char*>(b.data()), static_cast<qsizetype>(b.size()));
}

} // namespace

class TestEndToEnd : public QObject
{
    Q_OBJECT
    FormFixture fx;

private slots:
    void init()
    {
        fx.reset();
        fx.startServer();
    }
    void cleanup() { fx.server.reset(); }

    void aBriskWalkMapsEveryStep()
    {
        // Keys 100 ms apart and a burst, faster than the page answers, with turns, a door and a trap on the way.
        practice::GameRules rules;
        rules.start = practice::Position{0, 21, 28};
        rules.pagePadding = 30000; // as large as a real page, which takes about as long as a key to answer
        fx.startServer(rules);
        QVERIFY(fx.writeUserDat({.login = "walker", .autoLogin = true, .passDoors = true}));
        auto form = fx.shown(fx.base());
        QVERIFY(form && person::activate(form.get()));
        QVERIFY(waitUntil([&] { return form->reader().ViewX == 21 && form->reader().ViewY == 28; }, kWait));
        person::click(controls(*form).keyboardBox);
        const QString keys = QStringLiteral("UUUUURUUUURUUUURUUUU");
        std::vector<Pos> walked{{0, 21, 28}};
        for (const QChar k : keys)
            walked.push_back({0, walked.back().x + (k == 'R'), walked.back().y - (k == 'U')});
        std::size_t shown = 0; // the cell of the walk the map shows
        auto showing = [&](std::size_t at) {
            return waitUntil(
                [&] {
                    for (std::size_t j = shown; j < walked.size(); ++j)
                        if (form->reader().ViewX == walked[j].x && form->reader().ViewY == walked[j].y)
                            shown = j;
                    return shown >= at;
                },
                kWait);
        };
        for (qsizetype i = 0; i < keys.size(); ++i) {
            // Quicker than the page answers, but never more keys ahead of it than the program keeps (on a
            // busy machine too); the last turn comes as a burst (a press of the same key so soon would be the
            // key held, and walk only when nothing is under way).
            QVERIFY(showing(i == 15 ? 15 : std::size_t(std::max<qsizetype>(0, i - 3))));
            QVERIFY(person::press(keys[i] == 'U' ? Qt::Key_Up : Qt::Key_Right));
            waitUntil([] { return false; }, i == 15 ? 10 : 100);
        }
        QVERIFY(showing(walked.size() - 1));
        const Truth truth(*fx.server);
        QCOMPARE(truth.player()[QStringLiteral("x")].toInt(), 24);
        QCOMPARE(truth.player()[QStringLiteral("y")].toInt(), 11);
        int doors = 0;
        int traps = 0;
        for (std::size_t i = 0; i < walked.size(); ++i) {
            const std::string t = truth.cell(0, walked[i].x, walked[i].y);
            const TMapCell* c = form->atlas().cell(1, 0, walked[i].x, walked[i].y);
            QVERIFY2(c->Explored == 1 && c->Object == t[4], qPrintable(QString::number(i)));
            if (i > 0 && (walked[i].x > walked[i - 1].x ? t[2] : t[1]) > '1')
                ++doors;
            if (t[4] == 'L') {
                ++traps;
                QVERIFY(controls(*form).trapsList->toPlainText().contains(
                    QString::fromStdString(PositionEntry(0, walked[i].x, walked[i].y))));
            }
        }
        QVERIFY(doors > 0 && traps > 0);
    }

    // Over a game that answers every page 150 ms late: a zig-zag of 16 keys typed 100 ms apart walks every key
    // (the plan waits), and a key held 1.5 s stops within one step of its release (the repeats never wait).
    void keysAtAPlayersPaceOverALateServer()
    {
        fx.server.reset(); // the window plays on the late server made below
        fx.reservePort();
        auto form = fx.active(UserDat{.passDoors = true}, QSize(1200, 900));
        QVERIFY(form);
        for (int x = 1; x <= 14; ++x) // an open room, known to the map as the game has it
            for (int y = 1; y <= 14; ++y)
                *form->atlas().cell(1, 0, x, y) = TMapCell{y > 1, y<14, x> 1, x < 14, 1, 'n'};
        practice::GameRules rules;
        rules.answerDelay = std::chrono::milliseconds(150);
        QVERIFY(fx.playerAt(*form, {0, 2, 2}, 30, rules));
        const auto gamePlayer = [&] { // where the game has the player now, asked without the delay
            std::string json(1, '{');
            json += fx.server->game.playersJson();
            json += '}';
            return Truth(json).player();
        };
        const auto gameX = [&] { return gamePlayer()[QStringLiteral("x")].toInt(); };
        person::click(controls(*form).keyboardBox);
        for (int i = 0; i < 16; ++i) {
            QVERIFY(person::press(i % 2 ? Qt::Key_Down : Qt::Key_Right));
            QTest::qWait(100);
        }
        QTRY_COMPARE_WITH_TIMEOUT(QPoint(form->reader().ViewX, form->reader().ViewY), QPoint(10, 10), 20000);
        QCOMPARE(QPoint(gameX(), gamePlayer()[QStringLiteral("y")].toInt()), QPoint(10, 10));
        QVERIFY(person::hold(Qt::Key_Left, 1500));
        const int released = gameX();
        QVERIFY2(released < 9, qPrintable(QString::number(released))); // it walked while held
        QTest::qWait(1000); // two steps' time for a walk that should not go on
        const int stopped = gameX();
        QVERIFY2(released - stopped <= 1, qPrintable(QStringLiteral("%1 -> %2").arg(released).arg(stopped)));
        QTRY_COMPARE_WITH_TIMEOUT(form->reader().ViewX, stopped, kWait);
    }

    void firstStartInAnEmptyFolder()
    {
        auto form = fx.shown(fx.base());
        QVERIFY(form);
        for (const auto& f : MapFiles()) {
            QVERIFY(QFile::exists(fx.file(f.name)));
            QCOMPARE(QFileInfo(fx.file(f.name)).size(), qint64(0));
        }
        QVERIFY(QFile::exists(fx.file("user.dat")));
        QVERIFY(waitUntil(
            [&] { return !controls(*form).gameBrowser->busy() && controls(*form).gameBrowser->hasHtmlDocument(); }));
        QTest::qWait(200);
        QVERIFY(!form->poller()->NoCombatFrame.valid()); // not submitted without a password
        QVariant fields;
        bool done = false;
        controls(*form).gameBrowser->page()->runJavaScript(
            QStringLiteral("document.forms[0].login.value+'|'+document.forms[0].password.value"),
            [&](const QVariant& v) {
                fields = v;
                done = true;
            });
        QVERIFY(waitUntil([&] { return done; }));
        QCOMPARE(fields.toString(), QStringLiteral("|"));
    }

    void walkMapSaveAndRestart()
    {
        // Automatic login, doors passable, sounds on, panels hidden in combat.
        QVERIFY(fx.writeUserDat(
            {.login = "walker", .autoLogin = true, .passDoors = true, .sounds = true, .hidePanels = true}));
        auto form = fx.shown(fx.base(), QSize(1280, 900));
        QVERIFY(form && person::activate(form.get()));
        QSignalSpy sounds(form->sounds(), &EventSounds::requested);
        QVERIFY(waitUntil([&] { return form->reader().ViewX == 2 && form->reader().ViewY == 2; }));
        QVERIFY(form->poller()->NoCombatFrame.valid() && form->poller()->ChoutFrame.valid());
        QVERIFY(controls(*form).pollTimer->isActive() || form->reader().ViewX == 2);
        QVERIFY2(form->windowTitle().startsWith(QStringLiteral("L - 0 (2,2) измотанность: 100%  ")),
                 qPrintable(form->windowTitle()));

        std::set<Pos> visited{{0, 2, 2}};
        int steps = 0;
        // East along the first row: a passage, seven doors, things of every kind, the monster.
        for (int x = 3; x <= 14; ++x) {
            QVERIFY2(FormFixture::step(*form, Qt::Key_Right, x, 2), qPrintable(QString::number(x)));
            visited.insert({0, x, 2});
            ++steps;
        }
        QVERIFY(form->poller()->YourArmyFrame.valid()); // the combat...
        QCOMPARE(controls(*form).mapGrid->width(), 5);  // ...collapsed the three areas
        QCOMPARE(controls(*form).sidePanel->width(), 5);
        QCOMPARE(controls(*form).bottomPanel->height(), 5);
        QVERIFY(waitUntil([&] { return form->atlas().cell(1, 0, 14, 2)->Object == 'M'; })); // read after the combat
        QVERIFY(FormFixture::step(*form, Qt::Key_Right, 15, 2));
        visited.insert({0, 15, 2});
        ++steps;
        QVERIFY(!sounds.isEmpty());

        // Down the way down with Page Down in the keyboard box, a walk on level 1, back up with Page Up.
        QCOMPARE(person::focused(), controls(*form).keyboardBox);
        QVERIFY(person::press(Qt::Key_PageDown));
        QVERIFY(waitUntil([&] { return form->shownLevel() == 1 && form->reader().PageLevel == 1; }));
        QCOMPARE(person::focused(), controls(*form).keyboardBox); // the keys stay with the box
        QCOMPARE(controls(*form).levelBox->currentIndex(), 1);
        QVERIFY(waitUntil([&] { return form->atlas().cell(1, 1, 15, 2)->Explored == 1; }));
        visited.insert({1, 15, 2});
        ++steps;

        // Explore depth first by what the atlas shows, as a player with the arrow keys would.
        auto explore = [&](int level, int budget, bool comeBack) -> bool {
            std::vector<std::pair<int, int>> trail{{form->reader().ViewX, form->reader().ViewY}};
            while (budget > 0) {
                const auto [x, y] = trail.back();
                const TMapCell* c = form->atlas().cell(1, level, x, y);
                struct Dir
                {
                    int key, dx, dy;
                    std::uint8_t side;
                };
                const Dir dirs[] = {{Qt::Key_Up, 0, -1, c->North},
                                    {Qt::Key_Down, 0, 1, c->South},
                                    {Qt::Key_Left, -1, 0, c->West},
                                    {Qt::Key_Right, 1, 0, c->East}};
                bool moved = false;
                for (const Dir& d : dirs) {
                    const Pos next{level, x + d.dx, y + d.dy};
                    if (d.side == 0 || visited.count(next) || next.x < 1 || next.y < 1 || next.x > 30 || next.y > 30)
                        continue;
                    if (!FormFixture::step(*form, d.key, next.x, next.y))
                        return false;
                    visited.insert(next);
                    trail.emplace_back(next.x, next.y);
                    ++steps;
                    --budget;
                    moved = true;
                    break;
                }
                if (!moved) {
                    if (trail.size() < 2)
                        return true;
                    trail.pop_back(); // back the way we came
                    const auto [bx, by] = trail.back();
                    const int key = bx < x ? Qt::Key_Left : bx > x ? Qt::Key_Right : by < y ? Qt::Key_Up : Qt::Key_Down;
                    if (!FormFixture::step(*form, key, bx, by))
                        return false;
                    ++steps;
                    --budget;
                }
            }
            while (comeBack && trail.size() > 1) {
                const auto [x, y] = trail.back();
                trail.pop_back();
                const auto [bx, by] = trail.back();
                const int key = bx < x ? Qt::Key_Left : bx > x ? Qt::Key_Right : by < y ? Qt::Key_Up : Qt::Key_Down;
                if (!FormFixture::step(*form, key, bx, by))
                    return false;
                ++steps;
            }
            return true;
        };
        QVERIFY(explore(1, 8, true));
        QCOMPARE(form->reader().ViewX, 15);
        QCOMPARE(form->reader().ViewY, 2);
        QVERIFY(person::press(Qt::Key_PageDown)); // no way down here: nothing happens
        QVERIFY(person::press(Qt::Key_PageUp));
        QVERIFY(waitUntil([&] { return form->shownLevel() == 0 && form->reader().PageLevel == 0; }));
        // Where the stair leads is learned as when the page's link is clicked.
        QVERIFY(
            readAll(QDir(form->workFolder()).filePath(QStringLiteral("links.txt"))).contains("\n1 0 15 2 1 15 2\n"));
        ++steps;
        QVERIFY(explore(0, 12, false));
        QVERIFY2(steps >= 40, qPrintable(QString::number(steps)));
        // The collapsed areas come back with a click on their splitters.
        for (ClickSplitterHandle* splitter :
             {controls(*form).mapSplitter, controls(*form).sidePanelSplitter, controls(*form).bottomSplitter})
            person::click(splitter);
        QVERIFY(waitUntil(
            [&] { return controls(*form).mapGrid->width() > 5 && controls(*form).bottomPanel->height() > 5; }));
        if (const QString folder = qEnvironmentVariable("VELDOR_SCREENSHOTS"); !folder.isEmpty()) {
            // Small cells: the whole explored part in view.
            QVERIFY(fx.clickSide(*form, controls(*form).cellSizeSpin));
            for (int i = 0; i < 5; ++i)
                person::press(Qt::Key_Down);
            controls(*form).mapGrid->setCurrentCell(1, 1);
            QTest::qWait(200);
            QVERIFY(form->grab().save(folder + QStringLiteral("/mapping.png")));
        }

        // Every visited cell, its sides, the mirrored sides of its neighbours and its object agree with the truth.
        const Truth truth(*fx.server);
        std::map<ListKind, std::set<std::string>> expected;
        for (const Pos& p : visited) {
            const std::string t = truth.cell(p.level, p.x, p.y);
            QCOMPARE(differsFromTruth(*form->atlas().cell(1, p.level, p.x, p.y), t), QString());
            if (p.y > 1)
                QCOMPARE(int(form->atlas().cell(1, p.level, p.x, p.y - 1)->South), t[0] - '0');
            if (p.x < 30)
                QCOMPARE(int(form->atlas().cell(1, p.level, p.x + 1, p.y)->West), t[3] - '0');
            switch (t[4]) {
            case 'L':
                expected[ListKind::Traps].insert(PositionEntry(p.level, p.x, p.y));
                break;
            case 'F':
                expected[ListKind::Flags].insert(PositionEntry(p.level, p.x, p.y));
                break;
            case 'E':
                expected[ListKind::Exits].insert(PositionEntry(p.level, p.x, p.y));
                break;
            case 'd':
                expected[ListKind::Transitions].insert(PositionEntry(p.level, p.x, p.y));
                break;
            case 'u':
                expected[ListKind::Transitions].insert(PositionEntry(p.level - 1, p.x, p.y));
                break;
            default:
                break;
            }
        }
        const std::pair<QPlainTextEdit*, ListKind> memos[] = {{controls(*form).exitsList, ListKind::Exits},
                                                              {controls(*form).transitionsList, ListKind::Transitions},
                                                              {controls(*form).trapsList, ListKind::Traps},
                                                              {controls(*form).flagsList, ListKind::Flags}};
        for (const auto& [memo, kind] : memos) {
            const std::string text = toCp1251(memo->toPlainText());
            std::size_t entries = 0;
            for (std::size_t at = text.find("; "); at != std::string::npos; at = text.find("; ", at + 1))
                ++entries;
            QCOMPARE(entries, expected[kind].size());
            for (const std::string& e : expected[kind])
                QVERIFY2(text.find(e) != std::string::npos, e.c_str());
        }
        QVERIFY(!expected[ListKind::Traps].empty() && !expected[ListKind::Exits].empty());

        // The percentage of the level counts the visited cells.
        QVERIFY(fx.pick(*form, controls(*form).levelBox, 0));
        const auto onLevel0 = std::count_if(visited.begin(), visited.end(), [](const Pos& p) { return p.level == 0; });
        QCOMPARE(controls(*form).exploredLabel->text(),
                 QStringLiteral("Процент открытия уровня: %1%").arg(onLevel0 * 100 / 900));

        // "Сохранить карту": the files are the atlas byte for byte; a restart shows the same map.
        QVERIFY(fx.clickSide(*form, controls(*form).saveMapsButton));
        QVERIFY(fx.prompts->errors.isEmpty());
        std::map<MapTable, QByteArray> saved;
        for (const auto& f : MapFiles()) {
            saved[f.table] = readAll(fx.file(f.name));
            QCOMPARE(saved[f.table].size(), qsizetype(f.size));
            QCOMPARE(saved[f.table], tableBytes(form->atlas(), f.table));
        }

        // A disk that fills up: the old files stay whole and the user is told which could not be saved.
        form->atlas().cell(20, 0, 1, 1)->Object = 'E';
        std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit{};
        getrlimit(RLIMIT_FSIZE, &limit);
        const rlimit normal = limit;
        limit.rlim_cur = 1000000;
        setrlimit(RLIMIT_FSIZE, &limit);
        QVERIFY(fx.clickSide(*form, controls(*form).saveMapsButton));
        setrlimit(RLIMIT_FSIZE, &normal);
        QCOMPARE(fx.prompts->errors.size(), 1);
        QVERIFY(fx.prompts->errors[0].contains(QStringLiteral("map3.map")));
        QCOMPARE(readAll(fx.file("map3.map")), saved[MapTable::Map3]);
        form->atlas().cell(20, 0, 1, 1)->Object = 0;

        // Close: Cancel keeps the window and writes user.dat; No closes without touching the maps.
        QFile::remove(fx.file("user.dat"));
        fx.prompts->answers = {UserPrompts::Answer::Cancel, UserPrompts::Answer::No};
        QVERIFY(!form->close());
        QVERIFY(QFile::exists(fx.file("user.dat")));
        QVERIFY(form->close());
        form.reset();
        for (const auto& f : MapFiles())
            QCOMPARE(readAll(fx.file(f.name)), saved[f.table]);

        auto again = fx.make(fx.base());
        for (const auto& f : MapFiles())
            QCOMPARE(tableBytes(again->atlas(), f.table), saved[f.table]);
        QCOMPARE(controls(*again).labyrinthBox->currentIndex(), 0);
        QVERIFY(controls(*again).passDoorsBox->isChecked() && controls(*again).hidePanelsBox->isChecked());
        QCOMPARE(controls(*again).trapsList->toPlainText(), fromCp1251(MemoText(again->atlas(), 1, ListKind::Traps)));
        QVERIFY(!controls(*again).trapsList->toPlainText().isEmpty());
        // Yes on closing writes the maps.
        again->atlas().cell(1, 5, 5, 5)->Object = 'F';
        fx.prompts->answers = {UserPrompts::Answer::Yes};
        again->show();
        QVERIFY(again->close());
        QVERIFY(readAll(fx.file("map1.map")) != saved[MapTable::Map1]);
    }

    void playerLookupOpensTheInformationPage()
    {
        auto form = fx.shown(fx.base());
        QVERIFY(form && person::activate(form.get()));
        QVERIFY(person::typeInto(controls(*form).nickBox, QStringLiteral("Путник")));
        QVERIFY(person::press(Qt::Key_Return));
        QCOMPARE(controls(*form).browserTabs->count(), 2);
        QVERIFY(waitUntil(
            [&] { return controls(*form).browserTabs->tabText(1) == QStringLiteral("Информация об игроке"); }));
        QVERIFY(waitUntil([&] { return controls(*form).nickBox->count() == 1; }));
        QCOMPARE(form->tabs()->currentBrowser()->url().toString(),
                 fx.base() + QStringLiteral("/cgi/pl_info.php?login=%CF%F3%F2%ED%E8%EA")); // the nick in Windows-1251
    }
};

int main(int argc, char* argv[])
{
    veldor::prepareWebEngine();
    QApplication app(argc, argv);
    TestEndToEnd test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_e2e.moc"
