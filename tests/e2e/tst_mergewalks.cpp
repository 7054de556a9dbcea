// Two players walk practice labyrinths in their own folders; the second takes the first one's maps in through
// the File menu, and the atlas and the grid then hold both walks.
#include "app/parts/pagecontrol.h"
#include "app/webengine_setup.h"
#include "app/window/mainwindow.h"
#include "browser/pagepoller.h"
#include "eventwait.h"
#include "formfixture.h"
#include "map/mapfiles.h"
#include "mapview/mapgrid.h"
#include "person.h"
#include "practicefixture.h"
#include "route/keyboard.h"
#include "testsupport.h"
#include "windowcontrols.h"

#include <QApplication>
#include <QCheckBox>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <cstring>
#include <memory>

using namespace veldor;
using namespace veldor::test;
using practice::test::RunningServer;

namespace {

struct Arrow
{
    int key;
    ArrowKey arrow;
    int dx;
    int dy;
};
const Arrow kRight{Qt::Key_Right, ArrowKey::Right, 1, 0};
const Arrow kLeft{Qt::Key_Left, ArrowKey::Left, -1, 0};
const Arrow kUp{Qt::Key_Up, ArrowKey::Up, 0, -1};
const Arrow kDown{Qt::Key_Down, ArrowKey::Down, 0, 1};

} // namespace

class TestMergeWalks : public QObject
{
    Q_OBJECT
    FormFixture first;
    FormFixture second;

    // Labyrinth 1, automatic login, through doors, no sounds.
    static std::unique_ptr<MainWindow> loggedIn(const FormFixture& fx, const RunningServer& server)
    {
        auto form = fx.active(userDat({.autoLogin = true, .passDoors = true}), QSize(1100, 900),
                              QString::fromStdString(server.base()));
        if (!form || !waitUntil([&] { return form->reader().ViewX != 0; }))
            return nullptr;
        person::click(controls(*form).keyboardBox);
        return form;
    }

    // Up to `steps` moves with the arrow keys, each the first of `preferred` that the map lets through towards
    // a cell not yet explored; returns how many were made.
    static int walk(MainWindow& form, const QList<Arrow>& preferred, int steps)
    {
        int made = 0;
        for (; made < steps; ++made) {
            const int x = form.reader().ViewX;
            const int y = form.reader().ViewY;
            const Arrow* chosen = nullptr;
            for (const Arrow& a : preferred) {
                const TMapCell* next = form.atlas().cell(form.shownLab(), form.shownLevel(), x + a.dx, y + a.dy);
                if (next && !next->Explored &&
                    KeyMoveScript(form.atlas(), form.shownLab(), form.shownLevel(), x, y, form.reader().Fatigue,
                                  controls(form).passDoorsBox->isChecked(), a.arrow)) {
                    chosen = &a;
                    break;
                }
            }
            if (!chosen || !person::press(chosen->key))
                break;
            if (!waitUntil([&] { return form.reader().ViewX != x || form.reader().ViewY != y; }))
                break;
            // The new cell is recorded on the tick that shows it.
            const int nx = form.reader().ViewX;
            const int ny = form.reader().ViewY;
            waitUntil([&] { return form.atlas().cell(form.shownLab(), form.shownLevel(), nx, ny)->Explored != 0; });
        }
        return made;
    }

private slots:
    void init()
    {
        first.reset();
        second.reset();
    }

    // Two windows share a group folder: the first walks and saves, the second shows the walk within 10 s
    // without any input.
    void aGroupFolderCarriesAWalkToAnotherWindow()
    {
        QTemporaryDir shared;
        for (const auto& [fx, name] : {std::pair(&first, "A"), std::pair(&second, "B")})
            QVERIFY(writeAll(
                fx->file("veldor.ini"),
                QStringLiteral("[squad]\nfolder=%1\nname=%2\nenabled=true\n").arg(shared.path(), name).toUtf8()));
        auto watching = second.active(userDat({}), QSize(900, 700), FormFixture::kNoServer);
        RunningServer server({}, 11);
        auto walking = loggedIn(first, server);
        QVERIFY(walking && watching);
        QCOMPARE(walk(*walking, {kRight}, 3), 3);
        person::click(controls(*walking).sidePages->tabButton(0)); // "Настройки"
        QTRY_VERIFY(controls(*walking).saveMapsButton->isVisible());
        person::click(controls(*walking).saveMapsButton); // "Сохранить карту"
        QTRY_COMPARE_WITH_TIMEOUT(watching->atlas().cell(1, 0, 5, 2)->Explored, std::uint8_t(1), 10000);
    }

    void theMergedAtlasHoldsBothWalks()
    {
        // The first player walks east along the showcase row and saves on leaving.
        {
            RunningServer server({}, 11);
            auto form = loggedIn(first, server);
            QVERIFY(form);
            QCOMPARE(walk(*form, {kRight}, 4), 4);
            first.prompts->answers << UserPrompts::Answer::Yes;
            QVERIFY(person::chooseMenu(controls(*form).mainMenu, {QStringLiteral("Файл"), QStringLiteral("Выход")}));
            QVERIFY(waitUntil([&] { return !form->isVisible(); }));
        }
        auto theirs = std::make_unique<Atlas>();
        QVERIFY(LoadMaps(*theirs, first.dir->path().toStdString(), false).ok());
        QCOMPARE(theirs->cell(1, 0, 6, 2)->Explored, std::uint8_t(1));

        // The second player, in another labyrinth, starts away from the first one's row.
        practice::GameRules elsewhere;
        elsewhere.start = practice::Position{0, 12, 12};
        RunningServer server(elsewhere, 12);
        auto form = loggedIn(second, server);
        QVERIFY(form);
        QVERIFY(walk(*form, {kDown, kUp, kLeft, kRight}, 4) >= 2);
        auto before = std::make_unique<Atlas>(form->atlas());

        second.prompts->folders << first.dir->path();
        QVERIFY(person::chooseMenu(controls(*form).mainMenu,
                                   {QStringLiteral("Файл"), QStringLiteral("Объединить с картами из папки...")}));
        QCOMPARE(second.prompts->errors, QStringList());
        QCOMPARE(second.prompts->informations.size(), 1);

        int taken = 0;
        int ours = 0;
        for (int y = 1; y <= 30; ++y) {
            for (int x = 1; x <= 30; ++x) {
                const TMapCell& was = *before->cell(1, 0, x, y);
                const TMapCell& other = *theirs->cell(1, 0, x, y);
                const TMapCell& now = *form->atlas().cell(1, 0, x, y);
                const bool comesIn = other.Explored && !was.Explored && (was.Object == 0 || was.Object == 'n');
                if (!comesIn) {
                    QVERIFY2(sameCell(now, was), qPrintable(QStringLiteral("%1x%2 changed").arg(x).arg(y)));
                    ours += was.Explored ? 1 : 0;
                    continue;
                }
                ++taken;
                QCOMPARE(now.Explored, other.Explored);
                QCOMPARE(now.Object, other.Object);
                QCOMPARE(now.East, was.East ? was.East : other.East);
                QCOMPARE(now.West, was.West ? was.West : other.West);
                // What came in is on the grid at once.
                const QRect r = controls(*form).mapGrid->cellRect(x, y);
                const QImage shown = controls(*form).mapGrid->viewport()->grab(r).toImage();
                QVERIFY(shown.pixelColor(r.width() / 2, r.height() / 2) != QColor(128, 128, 128));
            }
        }
        QVERIFY(taken >= 5); // the first player's whole walk
        QVERIFY(ours >= 3);  // the second player's start and steps
        QVERIFY2(second.prompts->informations[0].contains(QStringLiteral("Всего: %1 ").arg(taken)),
                 qPrintable(second.prompts->informations[0]));
    }
};

int main(int argc, char* argv[])
{
    veldor::prepareWebEngine();
    QApplication app(argc, argv);
    TestMergeWalks test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_mergewalks.moc"
