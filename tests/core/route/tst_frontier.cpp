// The way to the nearest opening into the unexplored part of a level, on small hand-made levels.
#include "levelbuilder.h"
#include "route/frontier.h"

#include <QTest>
#include <memory>

using namespace veldor;

namespace {

using Path = std::vector<std::pair<int, int>>;
constexpr unsigned kLab = 1; // 30 x 30
constexpr int kLevel = 2;

class Level
{
public:
    Atlas& atlas() { return *m_atlas; }

    Level& explore(int x, int y, char object = 'n')
    {
        TMapCell* c = m_atlas->cell(kLab, kLevel, x, y);
        c->Explored = 1;
        c->Object = object;
        return *this;
    }
    // A passage (or door) between two neighbouring cells.
    Level& open(int x1, int y1, int x2, int y2, std::uint8_t code = 1)
    {
        test::openPassage(*m_atlas, kLab, kLevel, x1, y1, x2, y2, code);
        return *this;
    }
    // Explored cells joined in a line from the first to the last point given.
    Level& corridor(const Path& cells, std::uint8_t code = 1)
    {
        for (std::size_t i = 0; i < cells.size(); ++i) {
            explore(cells[i].first, cells[i].second);
            if (i > 0)
                open(cells[i - 1].first, cells[i - 1].second, cells[i].first, cells[i].second, code);
        }
        return *this;
    }

private:
    std::unique_ptr<Atlas> m_atlas = std::make_unique<Atlas>();
};

} // namespace

class TestFrontier : public QObject
{
    Q_OBJECT
    FrontierSearch search;

    const FrontierRoute& find(Level& level, int x, int y, bool doors = false)
    {
        return search.find(level.atlas(), kLab, kLevel, x, y, doors);
    }

private slots:
    void equallyNearOpeningsGoWestEastNorthSouth()
    {
        // Four openings one step away, one through each side of the player's cell.
        Level all;
        all.explore(10, 10);
        for (auto [x, y] : Path{{9, 10}, {11, 10}, {10, 9}, {10, 11}})
            all.corridor({{10, 10}, {x, y}});
        all.open(9, 10, 8, 10).open(11, 10, 12, 10).open(10, 9, 10, 8).open(10, 11, 10, 12);
        QCOMPARE(find(all, 10, 10).path, (Path{{10, 10}, {9, 10}}));
        QCOMPARE(find(all, 10, 10).opening, std::make_pair(8, 10));
        QCOMPARE(find(all, 10, 10).steps(), 2);

        // Without the west one, east comes next, then north, then south.
        Level three;
        for (auto [x, y] : Path{{11, 10}, {10, 9}, {10, 11}})
            three.corridor({{10, 10}, {x, y}});
        three.open(11, 10, 12, 10).open(10, 9, 10, 8).open(10, 11, 10, 12);
        QCOMPARE(find(three, 10, 10).opening, std::make_pair(12, 10));
        Level two;
        two.corridor({{10, 10}, {10, 11}}).corridor({{10, 10}, {10, 9}});
        two.open(10, 11, 10, 12).open(10, 9, 10, 8);
        QCOMPARE(find(two, 10, 10).opening, std::make_pair(10, 8));

        // Equally far by two ways: the first step decides, west before south.
        Level square;
        square.corridor({{5, 5}, {4, 5}, {4, 6}}).corridor({{5, 5}, {5, 6}, {5, 7}});
        square.open(4, 6, 4, 7).open(5, 7, 5, 8);
        QCOMPARE(find(square, 5, 5).path, (Path{{5, 5}, {4, 5}, {4, 6}}));
        QCOMPARE(find(square, 5, 5).opening, std::make_pair(4, 7));
    }

    void theNearestWinsOverTheFirstDirection()
    {
        Level level;
        level.corridor({{10, 10}, {9, 10}, {8, 10}, {7, 10}}).open(7, 10, 6, 10); // west: 4 moves
        level.corridor({{10, 10}, {10, 11}}).open(10, 11, 10, 12);                // south: 2 moves
        const FrontierRoute& r = find(level, 10, 10);
        QCOMPARE(r.path, (Path{{10, 10}, {10, 11}}));
        QCOMPARE(r.steps(), 2);
        QVERIFY(!r.throughTrap);
        QCOMPARE(FrontierText(r), std::u8string(u8"До неисследованного: 2 шага"));
    }

    void theWayStandsOnTheSideOfTheCellSteppedFrom()
    {
        // A recorded wall on the player's side stops the step even if the neighbour shows a passage.
        Level level;
        level.explore(3, 3).explore(4, 3);
        level.atlas().cell(kLab, kLevel, 4, 3)->West = 1;
        level.open(4, 3, 5, 3);
        QVERIFY(!find(level, 3, 3).found());
        QCOMPARE(find(level, 4, 3).path, (Path{{4, 3}}));
    }

    void doorsCountOnlyWhenPassingThroughDoors()
    {
        Level level;
        level.corridor({{10, 10}, {11, 10}}, 4).open(11, 10, 12, 10); // a door, then the opening
        level.corridor({{10, 10}, {10, 11}, {10, 12}, {10, 13}}).open(10, 13, 10, 14);
        QCOMPARE(find(level, 10, 10, false).path, (Path{{10, 10}, {10, 11}, {10, 12}, {10, 13}}));
        QCOMPARE(find(level, 10, 10, true).path, (Path{{10, 10}, {11, 10}}));
        // A door as the opening itself.
        Level gate;
        gate.explore(2, 2).open(2, 2, 3, 2, 7);
        QVERIFY(!find(gate, 2, 2, false).found());
        QCOMPARE(find(gate, 2, 2, true).opening, std::make_pair(3, 2));
        QVERIFY(search.advise(gate.atlas(), kLab, kLevel, 2, 2, false).text == u8"Дальше только через двери");
        QVERIFY(!search.route().found());
        QVERIFY(search.advise(gate.atlas(), kLab, kLevel, 2, 2, true).text == u8"До неисследованного: 1 шаг");
        gate.explore(3, 2);
        QVERIFY(search.advise(gate.atlas(), kLab, kLevel, 2, 2, false).text == u8"Всё исследовано");
    }

    void knownTrapsAreCrossedOnlyWhenThereIsNoOtherWay()
    {
        // Short way over a trap, longer way around it.
        Level level;
        level.corridor({{10, 10}, {11, 10}, {12, 10}}).open(12, 10, 13, 10);
        level.explore(11, 10, 'L');
        level.corridor({{10, 10}, {10, 11}, {11, 11}, {12, 11}, {13, 11}, {14, 11}}).open(14, 11, 15, 11);
        const FrontierRoute& around = find(level, 10, 10);
        QCOMPARE(around.path.back(), std::make_pair(14, 11));
        QVERIFY(!around.throughTrap);
        QCOMPARE(FrontierText(around), std::u8string(u8"До неисследованного: 6 шагов"));

        // The way around closed: over the trap it is, and the text says so.
        level.open(10, 10, 10, 11, 0);
        const FrontierRoute& over = find(level, 10, 10);
        QCOMPARE(over.path, (Path{{10, 10}, {11, 10}, {12, 10}}));
        QVERIFY(over.throughTrap);
        QCOMPARE(FrontierText(over), std::u8string(u8"До неисследованного: 3 шага, через ловушку"));

        // Standing on a trap is no reason to go elsewhere; an unexplored cell marked as a trap is no opening
        // while another one is reachable.
        Level standing;
        standing.explore(5, 5, 'L').open(5, 5, 5, 4);
        QCOMPARE(find(standing, 5, 5).path, (Path{{5, 5}}));
        QVERIFY(!find(standing, 5, 5).throughTrap);
        Level marked;
        marked.explore(5, 5).open(5, 5, 6, 5).corridor({{5, 5}, {5, 6}}).open(5, 6, 5, 7);
        marked.atlas().cell(kLab, kLevel, 6, 5)->Object = 'L';
        QCOMPARE(find(marked, 5, 5).opening, std::make_pair(5, 7));
    }

    void nothingToFind()
    {
        // Everything reachable explored: a closed room.
        Level room;
        room.corridor({{1, 1}, {2, 1}, {2, 2}, {1, 2}});
        QVERIFY(!find(room, 1, 1).found());
        QCOMPARE(FrontierText(find(room, 1, 1)), std::u8string(u8"Всё исследовано"));
        // The edge of the map is no opening.
        Level edge;
        edge.corridor({{30, 30}, {29, 30}});
        edge.atlas().cell(kLab, kLevel, 30, 30)->East = 1;
        edge.atlas().cell(kLab, kLevel, 30, 30)->South = 1;
        QVERIFY(!find(edge, 30, 30).found());
        // The player on the opening's cell: one move.
        Level here;
        here.explore(7, 7).open(7, 7, 7, 8);
        QCOMPARE(find(here, 7, 7).path, (Path{{7, 7}}));
        QCOMPARE(FrontierText(find(here, 7, 7)), std::u8string(u8"До неисследованного: 1 шаг"));
    }

    void noRouteOffTheMap()
    {
        Level level;
        level.explore(7, 7).open(7, 7, 7, 8);
        QVERIFY(!search.find(level.atlas(), 0, kLevel, 7, 7, true).found());
        QVERIFY(!search.find(level.atlas(), 21, kLevel, 7, 7, true).found());
        QVERIFY(!search.find(level.atlas(), kLab, 17, 7, 7, true).found());
        QVERIFY(!find(level, 0, 0).found());
        QVERIFY(!find(level, 31, 7).found());
        QVERIFY(!find(level, 7, -1).found());
        QVERIFY(!find(level, 8, 8).found()); // a cell not explored
        // The same cells in a 100 x 100 labyrinth far from the origin.
        Atlas& atlas = level.atlas();
        atlas.cell(20, 16, 100, 99)->Explored = 1;
        atlas.cell(20, 16, 100, 99)->North = 1;
        QCOMPARE(search.find(atlas, 20, 16, 100, 99, false).opening, std::make_pair(100, 98));
    }

    void countsInRussian()
    {
        FrontierRoute r;
        const std::pair<int, const char8_t*> words[] = {
            {1, u8"шаг"},    {2, u8"шага"}, {4, u8"шага"},  {5, u8"шагов"},   {11, u8"шагов"},
            {12, u8"шагов"}, {21, u8"шаг"}, {22, u8"шага"}, {111, u8"шагов"}, {101, u8"шаг"}};
        for (const auto& [n, word] : words) {
            r.path.assign(static_cast<std::size_t>(n), {1, 1});
            const std::string number = std::to_string(n);
            QCOMPARE(FrontierText(r),
                     u8"До неисследованного: " + std::u8string(number.begin(), number.end()) + u8" " + word);
        }
    }
};

QTEST_GUILESS_MAIN(TestFrontier)
#include "tst_frontier.moc"
