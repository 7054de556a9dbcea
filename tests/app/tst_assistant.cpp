// The explore assistant in the window: the check box, its dots and outline on the grid, the label beside the
// position, the switch kept in user.dat, and a walk in the practice labyrinth where the dots always lead to
// an opening into the unexplored.
#include "app/parts/pagecontrol.h"
#include "app/webengine_setup.h"
#include "app/window/mainwindow.h"
#include "browser/pagepoller.h"
#include "eventwait.h"
#include "formfixture.h"
#include "mapview/cellpainter.h"
#include "mapview/mapgrid.h"
#include "person.h"
#include "practicefixture.h"
#include "route/frontier.h"
#include "testsupport.h"
#include "windowcontrols.h"

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QScreen>
#include <QSignalSpy>
#include <QTest>
#include <QToolButton>
#include <memory>

using namespace veldor;
using namespace veldor::test;
using practice::test::RunningServer;

namespace {

void corridor(Atlas& atlas, const std::vector<std::pair<int, int>>& cells)
{
    for (std::size_t i = 0; i < cells.size(); ++i) {
        TMapCell* c = atlas.cell(1, 0, cells[i].first, cells[i].second);
        c->Explored = 1;
        c->Object = 'n';
        if (i > 0)
            openPassage(atlas, 1, 0, cells[i - 1].first, cells[i - 1].second, cells[i].first, cells[i].second, 1);
    }
}

int frontierPixels(MainWindow& form, int col, int row)
{
    const QRect r = controls(form).mapGrid->cellRect(col, row);
    const QImage img = controls(form).mapGrid->viewport()->grab(r).toImage();
    int count = 0;
    for (int x = 0; x < img.width(); ++x)
        for (int y = 0; y < img.height(); ++y)
            count += img.pixelColor(x, y) == kFrontierColour ? 1 : 0;
    return count;
}

} // namespace

class TestAssistant : public QObject
{
    Q_OBJECT
    FormFixture fx;

    std::unique_ptr<MainWindow> shownForm(const UserDat& settings) { return fx.active(settings, QSize(1100, 900)); }

    // Right click on the cell, "Добавить" > "Ловушку".
    static void markTrap(MainWindow& form, int x, int y)
    {
        QVERIFY(FormFixture::markCell(form, x, y, {QStringLiteral("Добавить"), QStringLiteral("Ловушку")}));
    }

    static void clickAssistantBox(MainWindow& form)
    {
        person::click(controls(form).sidePages->tabButton(0)); // "Настройки"
        QVERIFY(controls(form).frontierBox->isVisible());
        person::click(controls(form).frontierBox);
    }

private slots:
    void init() { fx.reset(); }

    void theColourIsNobodyElses()
    {
        for (const QColor& door : kSideColours)
            QVERIFY(door != kFrontierColour);
        for (const QColor& other : {QColor(206, 206, 0), QColor(232, 232, 0), QColor(255, 140, 0), QColor(255, 0, 0),
                                    QColor(128, 128, 128), QColor(Qt::black)})
            QVERIFY(other != kFrontierColour);
    }

    void theBoxShowsTheWayOnTheGridAndBeside()
    {
        fx.reservePort();
        auto form = shownForm({});
        QVERIFY(form);
        // The player at (5, 5); a corridor east to (7, 5), then an opening south into (7, 6); a longer corridor
        // north to an opening out of (5, 2).
        corridor(form->atlas(), {{5, 5}, {6, 5}, {7, 5}});
        form->atlas().cell(1, 0, 7, 5)->South = 1;
        corridor(form->atlas(), {{5, 5}, {5, 4}, {5, 3}, {5, 2}});
        form->atlas().cell(1, 0, 5, 2)->North = 1;
        QVERIFY(fx.playerAt(*form, {0, 5, 5}));
        QVERIFY(!controls(*form).frontierLabel->isVisible());

        clickAssistantBox(*form);
        QVERIFY(controls(*form).frontierBox->isChecked());
        QVERIFY(controls(*form).frontierLabel->isVisible());
        QCOMPARE(controls(*form).frontierLabel->text(), QStringLiteral("До неисследованного: 3 шага"));
        QCOMPARE(controls(*form).positionLabel->parentWidget(), controls(*form).frontierLabel->parentWidget());
        QTRY_VERIFY(frontierPixels(*form, 6, 5) > 0);
        QVERIFY(frontierPixels(*form, 7, 5) > 0);
        QVERIFY(frontierPixels(*form, 7, 6) > 0); // the outlined opening
        QCOMPARE(frontierPixels(*form, 4, 5), 0);
        QCOMPARE(frontierPixels(*form, 8, 5), 0);
        const QRect opening = controls(*form).mapGrid->cellRect(7, 6);
        const QImage shown = controls(*form).mapGrid->viewport()->grab(opening).toImage();
        QCOMPARE(shown.pixelColor(1, 1), kFrontierColour);
        QCOMPARE(shown.pixelColor(opening.width() / 2, opening.height() / 2), QColor(128, 128, 128));

        // A trap set by hand on the way: the longer way north, free of traps, wins at once.
        markTrap(*form, 6, 5);
        QCOMPARE(form->atlas().cell(1, 0, 6, 5)->Object, 'L');
        QCOMPARE(controls(*form).frontierLabel->text(), QStringLiteral("До неисследованного: 4 шага"));
        QTRY_VERIFY(frontierPixels(*form, 5, 3) > 0);
        QVERIFY(frontierPixels(*form, 5, 1) > 0);
        QCOMPARE(frontierPixels(*form, 7, 6), 0);
        // A trap on that way too: the nearest again, and the label says it crosses a trap.
        markTrap(*form, 5, 3);
        QCOMPARE(controls(*form).frontierLabel->text(), QStringLiteral("До неисследованного: 3 шага, через ловушку"));
        QVERIFY(controls(*form).frontierLabel->toolTip().contains(QStringLiteral("ловушку")));

        // Off again: nothing drawn, the label gone.
        person::click(controls(*form).frontierBox);
        QVERIFY(!controls(*form).frontierLabel->isVisible());
        QTRY_COMPARE(frontierPixels(*form, 6, 5), 0);
        QCOMPARE(frontierPixels(*form, 7, 6), 0);
    }

    void theSwitchIsKeptInUserDatAndNothingShowsWithoutAPosition()
    {
        auto form = shownForm({});
        QVERIFY(form);
        clickAssistantBox(*form);
        QVERIFY(controls(*form).frontierBox->isChecked());
        QVERIFY(!controls(*form).frontierLabel->isVisible()); // no position read yet
        fx.prompts->answers << UserPrompts::Answer::No;
        QVERIFY(person::chooseMenu(controls(*form).mainMenu, {QStringLiteral("Файл"), QStringLiteral("Выход")}));
        QTRY_VERIFY(!form->isVisible());
        QCOMPARE(readAll(fx.file("user.dat")), QByteArray("hero\r\npw\r\n1\r\n15\r\n0\r\n0\r\n0\r\n0\r\n1\r\n"));
        form.reset();

        fx.reservePort();
        form = fx.shown({}, QSize(1100, 900));
        QVERIFY(form && person::activate(form.get()));
        QVERIFY(controls(*form).frontierBox->isChecked());
        // The player off the map (the game's labyrinth is larger than the one shown): no way, nothing drawn,
        // no label.
        corridor(form->atlas(), {{5, 5}, {6, 5}});
        form->atlas().cell(1, 0, 6, 5)->East = 1;
        fx.startServerOn(form->atlas(), {0, 31, 5}, 40);
        QSignalSpy read(form->poller(), &PagePoller::pageRead);
        QVERIFY(waitUntil([&] { return !controls(*form).gameBrowser->busy(); }) && FormFixture::logIn(*form));
        QVERIFY(waitUntil([&] { return read.size() >= 2; }));
        person::click(controls(*form).sidePages->tabButton(0));
        person::click(controls(*form).frontierBox);
        person::click(controls(*form).frontierBox);
        QVERIFY(controls(*form).frontierBox->isChecked());
        QVERIFY(!controls(*form).frontierLabel->isVisible());
        QCOMPARE(frontierPixels(*form, 6, 5), 0);
        QCOMPARE(frontierPixels(*form, 7, 5), 0);
    }

    // Unexplored cells only behind doors the player keeps closed, and another level than the player's.
    void behindDoorsAndOnAnotherLevel()
    {
        fx.reservePort();
        auto form = shownForm({.frontier = true});
        QVERIFY(form);
        corridor(form->atlas(), {{5, 5}, {6, 5}});
        form->atlas().cell(1, 0, 6, 5)->East = 3; // a door into the unexplored
        QVERIFY(fx.playerAt(*form, {0, 5, 5}));
        person::click(controls(*form).sidePages->tabButton(0));
        person::click(controls(*form).passDoorsBox);
        person::click(controls(*form).passDoorsBox); // doors closed again
        QCOMPARE(controls(*form).frontierLabel->text(), QStringLiteral("Дальше только через двери"));
        person::click(controls(*form).passDoorsBox);
        QCOMPARE(controls(*form).frontierLabel->text(), QStringLiteral("До неисследованного: 2 шага"));
        QTRY_VERIFY(frontierPixels(*form, 6, 5) > 0);

        person::click(controls(*form).levelBox); // level 1: the player is not there
        QVERIFY(person::press(Qt::Key_Down) && person::press(Qt::Key_Return));
        QTRY_COMPARE(form->shownLevel(), 1);
        QVERIFY(!controls(*form).frontierLabel->isVisible());
        QTRY_COMPARE(frontierPixels(*form, 6, 5), 0);
    }

    // Walking the practice labyrinth with the assistant on: after every step the dots run from the player to
    // a cell with a passage into one not explored, which is outlined, and the label tells the moves.
    void walkingTheDotsAlwaysLeadToAnOpening()
    {
        fx.startServer();
        auto form = shownForm({.autoLogin = true, .passDoors = true, .frontier = true});
        QVERIFY(form);
        form->move(0, 0); // wholly on the screen, which is read back below
        QVERIFY(waitUntil([&] { return form->reader().ViewX != 0; }, 30000));
        person::click(controls(*form).keyboardBox);
        FrontierSearch check;
        for (int step = 0; step < 6; ++step) {
            const int x = form->reader().ViewX;
            const int y = form->reader().ViewY;
            QVERIFY(waitUntil([&] { return form->atlas().cell(1, 0, x, y)->Explored != 0; }, 30000));
            const FrontierRoute& route = check.find(form->atlas(), 1, form->shownLevel(), x, y, true);
            QVERIFY(route.found());
            QCOMPARE(route.path.front(), std::make_pair(x, y));
            const auto [ox, oy] = route.opening;
            const auto [fx2, fy2] = route.path.back();
            QCOMPARE(std::abs(ox - fx2) + std::abs(oy - fy2), 1);
            QCOMPARE(form->atlas().cell(1, form->shownLevel(), ox, oy)->Explored, std::uint8_t(0));
            QTRY_COMPARE(controls(*form).frontierLabel->text(),
                         QString::fromUtf8(reinterpret_cast<const char*>(FrontierText(route).c_str())));
            QTRY_VERIFY(frontierPixels(*form, ox, oy) > 0);
            for (const auto& [px, py] : route.path) {
                if (px != x || py != y) // the player's picture covers its own cell
                    QVERIFY(frontierPixels(*form, px, py) > 0);
            }
            // One step along the way, as a player following the dots would.
            const std::pair<int, int> next = route.path.size() > 1 ? route.path[1] : route.opening;
            const int dx = next.first - x;
            const int dy = next.second - y;
            const int key = dx > 0 ? Qt::Key_Right : dx < 0 ? Qt::Key_Left : dy > 0 ? Qt::Key_Down : Qt::Key_Up;
            QVERIFY(person::press(key));
            QVERIFY(waitUntil([&] { return form->reader().ViewX != x || form->reader().ViewY != y; }, 30000));
            // A tick repaints only what it changed; what is on the screen must be what a full repaint draws.
            waitUntil([] { return false; }, 700);
            MapGrid* grid = controls(*form).mapGrid;
            const QRect area(grid->viewport()->mapTo(form.get(), QPoint(0, 0)), grid->viewport()->size());
            const QImage onScreen = QGuiApplication::primaryScreen()
                                        ->grabWindow(form->winId(), area.x(), area.y(), area.width(), area.height())
                                        .toImage()
                                        .convertToFormat(QImage::Format_RGB32);
            const QImage full = grid->viewport()->grab().toImage().convertToFormat(QImage::Format_RGB32);
            QCOMPARE(onScreen.size(), full.size());
            QVERIFY2(onScreen == full, qPrintable(QStringLiteral("step %1 differs on screen").arg(step)));
        }
    }

    // A search result in another labyrinth is only shown: the reader keeps recording where the player is, and
    // the next step brings the map back.
    void aLookElsewhereRecordsNothingThere()
    {
        fx.reservePort();
        auto form = shownForm({});
        QVERIFY(form);
        corridor(form->atlas(), {{5, 5}, {6, 5}});
        form->atlas().setMarkText(14, 2, 40, 40, "cache");
        QVERIFY(fx.playerAt(*form, {0, 5, 5}));
        QVERIFY(person::chooseMenu(controls(*form).mainMenu,
                                   {QStringLiteral("Правка"), QStringLiteral("Найти на карте...")}));
        QTRY_VERIFY(qobject_cast<QLineEdit*>(person::focused()));
        QVERIFY(person::type(QStringLiteral("cache")) && person::press(Qt::Key_Return));
        QTRY_COMPARE(std::pair(form->shownLab(), form->shownLevel()), std::pair(14u, 2));
        QSignalSpy ticks(form->poller(), &PagePoller::tickDone);
        QVERIFY(waitUntil([&] { return ticks.count() >= 3; })); // the page is read meanwhile
        QCOMPARE(form->atlas().cell(14, 2, 5, 5)->Explored, 0);
        QCOMPARE(form->atlas().cell(14, 0, 5, 5)->Explored, 0);
        QVERIFY(person::press(Qt::Key_Escape)); // the search window closes
        QVERIFY(person::activate(form.get()));
        QVERIFY(FormFixture::step(*form, Qt::Key_Right, 6, 5));
        QCOMPARE(std::pair(form->shownLab(), form->shownLevel()), std::pair(1u, 0));
    }
};

int main(int argc, char* argv[])
{
    veldor::prepareWebEngine();
    QApplication app(argc, argv);
    TestAssistant test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_assistant.moc"
