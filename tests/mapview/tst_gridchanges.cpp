// A grid repainted only where a change happened shows on the screen what a full repaint draws.
#include "eventwait.h"
#include "map/atlas.h"
#include "mapview/cellpainter.h"
#include "mapview/gridchanges.h"
#include "mapview/mapgrid.h"
#include "mapview/mapicons.h"

#include <QApplication>
#include <QScreen>
#include <QSet>
#include <QTest>
#include <memory>

using namespace veldor;

namespace {

constexpr unsigned kLab = 1;
constexpr int kLevel = 0;

} // namespace

class TestGridChanges : public QObject
{
    Q_OBJECT
    std::unique_ptr<Atlas> atlas;
    std::unique_ptr<MapIcons> icons;
    std::unique_ptr<MapGrid> grid;
    GridChanges::Cells dots; // drawn with the assistant's dot, like the window's own marks
    int level = kLevel;      // the level the painter shows

    std::unique_ptr<MapGrid> makeGrid(int cellSize)
    {
        auto g = std::make_unique<MapGrid>();
        g->setRowCount(31);
        g->setColCount(31);
        g->setDefaultColWidth(cellSize);
        g->setDefaultRowHeight(cellSize);
        g->setCellPainter([this](QPainter& p, int col, int row, const QRect& r) {
            CellInputs in;
            in.cell = atlas->cell(kLab, level, col, row);
            in.group = 1;
            in.onFrontierPath = std::find(dots.begin(), dots.end(), std::make_pair(col, row)) != dots.end();
            PaintMapCell(p, r, in, *icons);
        });
        g->setGeometry(0, 0, 31 * (cellSize + 1) + 30, 31 * (cellSize + 1) + 30);
        g->show();
        return g;
    }

    // What the X server shows of the grid comes to equal a full repaint of it (a cell left unpainted never does).
    bool screenMatchesFullRepaint()
    {
        const auto same = [this] {
            const QImage onScreen =
                QGuiApplication::primaryScreen()
                    ->grabWindow(grid->winId(), 0, 0, grid->viewport()->width(), grid->viewport()->height())
                    .toImage()
                    .convertToFormat(QImage::Format_RGB32);
            return onScreen == grid->viewport()->grab().toImage().convertToFormat(QImage::Format_RGB32);
        };
        return test::waitUntil(same, 2000);
    }

    void change(const std::function<void()>& what)
    {
        GridChanges changes;
        changes.before(*atlas, kLab, kLevel, dots);
        what();
        changes.after(*atlas, kLab, kLevel, dots, *grid);
    }

private slots:
    void init()
    {
        atlas = std::make_unique<Atlas>();
        icons = std::make_unique<MapIcons>();
        dots.clear();
        level = kLevel;
    }
    void cleanup() { grid.reset(); }

    void onlyTheChangesAreRepaintedAndTheScreenIsRightAfterwards_data()
    {
        QTest::addColumn<int>("cellSize");
        QTest::newRow("15") << 15;
        QTest::newRow("10, icons reach into the next cells") << 10;
    }
    void onlyTheChangesAreRepaintedAndTheScreenIsRightAfterwards()
    {
        QFETCH(int, cellSize);
        *atlas->cell(kLab, kLevel, 3, 3) = TMapCell{1, 2, 0, 5, 1, 'n'};
        dots = {{3, 3}, {4, 3}};
        grid = makeGrid(cellSize);
        QVERIFY(QTest::qWaitForWindowExposed(grid.get()));
        QVERIFY(screenMatchesFullRepaint());

        // A cell far from every mark is explored, with a trap and a door.
        change([&] { *atlas->cell(kLab, kLevel, 20, 12) = TMapCell{1, 0, 4, 1, 1, 'L'}; });
        QVERIFY(screenMatchesFullRepaint());
        // The dots move away: where they were is repainted too.
        change([&] { dots = {{10, 10}, {10, 11}}; });
        QVERIFY(screenMatchesFullRepaint());
        // A chest next to a small cell's neighbour, a wall taken back, an object cleared.
        change([&] {
            atlas->cell(kLab, kLevel, 19, 12)->Object = '3';
            atlas->cell(kLab, kLevel, 20, 12)->West = 0;
            atlas->cell(kLab, kLevel, 3, 3)->Object = 'n';
        });
        QVERIFY(screenMatchesFullRepaint());
        // Nothing changed: nothing to repaint, and still right.
        change([] {});
        QVERIFY(screenMatchesFullRepaint());
    }

    void anotherLevelRepaintsEverything()
    {
        grid = makeGrid(15);
        QVERIFY(QTest::qWaitForWindowExposed(grid.get()));
        *atlas->cell(kLab, kLevel + 1, 5, 5) = TMapCell{1, 1, 1, 1, 1, 'E'};
        GridChanges changes;
        changes.before(*atlas, kLab, kLevel, {});
        level = kLevel + 1; // as when the reader shows the level the player went down to
        changes.after(*atlas, kLab, kLevel + 1, {}, *grid);
        QVERIFY(screenMatchesFullRepaint());
    }
};

QTEST_MAIN(TestGridChanges)
#include "tst_gridchanges.moc"
