#include "levelbuilder.h"
#include "route/route.h"

#include <QTest>
#include <memory>
#include <random>

using namespace veldor;
using veldor::test::openPassage;

namespace {

using Path = std::vector<std::pair<int, int>>;

// The depth-first relaxation the route was first written as, kept here as the reference for Dist.
struct Reference
{
    const Atlas& atlas;
    unsigned lab;
    int level;
    int n;
    int px;
    int py;
    bool doors;
    std::vector<long long> dist;
    std::vector<long long> unreached;

    long long& D(int x, int y) { return dist[x * 101 + y]; }
    long long& U(int x, int y) { return unreached[x * 101 + y]; }
    bool pass(std::uint8_t s) const { return s == 1 || (doors && s != 0); }

    void spread(int x, int y, long long d)
    {
        D(x, y) = d;
        U(x, y) = 0;
        if (x == px && y == py)
            return;
        const TMapCell* c = atlas.cell(lab, level, x, y);
        const int dx[] = {-1, 1, 0, 0};
        const int dy[] = {0, 0, -1, 1};
        const std::uint8_t sides[] = {c->West, c->East, c->North, c->South};
        for (int k = 0; k < 4; ++k) {
            const int nx = x + dx[k];
            const int ny = y + dy[k];
            if (nx < 1 || nx > n || ny < 1 || ny > n || !pass(sides[k]))
                continue;
            if (!atlas.cell(lab, level, nx, ny)->Explored)
                continue;
            if (U(nx, ny) == 1 || D(nx, ny) > d + 1)
                spread(nx, ny, d + 1);
        }
    }

    void run()
    {
        dist.assign(101 * 101, 0);
        unreached.assign(101 * 101, 0);
        int tx = 0, ty = 0;
        for (int x = 1; x <= n; ++x)
            for (int y = 1; y <= n; ++y) {
                const TMapCell* c = atlas.cell(lab, level, x, y);
                if (c->Object == 'E' || c->Object == 'u') {
                    tx = x;
                    ty = y;
                }
                U(x, y) = c->Explored ? 1 : 0;
                D(x, y) = static_cast<long long>(n) * n;
            }
        if (tx > 0)
            spread(tx, ty, 1);
    }
};

} // namespace

class TestRoute : public QObject
{
    Q_OBJECT
    std::unique_ptr<Atlas> atlas;
    ExitRoute route;

    void explore(int x, int y, unsigned lab = 1, int level = 0) { atlas->cell(lab, level, x, y)->Explored = 1; }

private slots:
    void init()
    {
        atlas = std::make_unique<Atlas>();
        route = ExitRoute{};
    }

    void workedExampleWithPassagesAndADoor()
    {
        for (int y = 10; y <= 12; ++y)
            explore(10, y);
        atlas->cell(1, 0, 10, 12)->Object = 'E';
        openPassage(*atlas, 1, 0, 10, 10, 10, 11, 1);
        openPassage(*atlas, 1, 0, 10, 11, 10, 12, 1);
        route.findExitPath(*atlas, 1, 0, 10, 10, false);
        QCOMPARE(route.dist(10, 10), 3);
        QCOMPARE(route.dist(10, 11), 2);
        QCOMPARE(route.dist(10, 12), 1);
        QCOMPARE(route.dist(11, 11), 900);
        QCOMPARE(route.ExitPath, (Path{{10, 10}, {10, 11}, {10, 12}}));

        openPassage(*atlas, 1, 0, 10, 11, 10, 12, 4); // a door
        route.findExitPath(*atlas, 1, 0, 10, 10, false);
        QCOMPARE(route.ExitPath, (Path{{10, 10}}));
        route.findExitPath(*atlas, 1, 0, 10, 10, true);
        QCOMPARE(route.ExitPath, (Path{{10, 10}, {10, 11}, {10, 12}}));

        // No labyrinth shown: the last route stays, even for another player's cell.
        route.findExitPath(*atlas, 0, 0, 4, 4, true);
        QCOMPARE(route.ExitPath, (Path{{10, 10}, {10, 11}, {10, 12}}));
        route.findExitPath(*atlas, 21, 0, 4, 4, true);
        QCOMPARE(route.ExitPath, (Path{{10, 10}, {10, 11}, {10, 12}}));
    }

    void targetIsTheLastExitOrAscentByColumn()
    {
        atlas->cell(1, 0, 5, 20)->Object = 'E';
        atlas->cell(1, 0, 12, 3)->Object = 'E';
        atlas->cell(1, 0, 12, 1)->Object = 'd'; // a descent is no way out
        route.findExitPath(*atlas, 1, 0, 5, 19, false);
        QCOMPARE(route.target(), (std::pair<int, int>{12, 3}));
        atlas->cell(1, 0, 12, 9)->Object = 'u';
        route.findExitPath(*atlas, 1, 0, 5, 19, false);
        QCOMPARE(route.target(), (std::pair<int, int>{12, 9}));
        QCOMPARE(route.ExitPath, (Path{{5, 19}})); // not reachable over unexplored ground
    }

    void prefersWestWhenTwoWaysAreAsShort()
    {
        // Target at (4, 6); the player at (5, 5) can go west to (4, 5) or south to (5, 6).
        for (int x = 4; x <= 5; ++x)
            for (int y = 5; y <= 6; ++y)
                explore(x, y);
        atlas->cell(1, 0, 4, 6)->Object = 'E';
        openPassage(*atlas, 1, 0, 5, 5, 4, 5, 1);
        openPassage(*atlas, 1, 0, 5, 5, 5, 6, 1);
        openPassage(*atlas, 1, 0, 4, 5, 4, 6, 1);
        openPassage(*atlas, 1, 0, 5, 6, 4, 6, 1);
        route.findExitPath(*atlas, 1, 0, 5, 5, false);
        QCOMPARE(route.ExitPath, (Path{{5, 5}, {4, 5}, {4, 6}}));
    }

    void playerOnTheTargetAndNoTarget()
    {
        explore(3, 3);
        atlas->cell(1, 0, 3, 3)->Object = 'u';
        route.findExitPath(*atlas, 1, 0, 3, 3, false);
        QCOMPARE(route.ExitPath, (Path{{3, 3}, {3, 3}}));
        atlas->cell(1, 0, 3, 3)->Object = 'n';
        route.findExitPath(*atlas, 1, 0, 3, 3, false);
        QCOMPARE(route.ExitPath, (Path{{3, 3}}));
        route.findExitPath(*atlas, 0, 0, 3, 3, false);
        QCOMPARE(route.ExitPath, (Path{{3, 3}}));
    }

    // Sides that disagree between two cells can leave the walk without a closer neighbour: it stops.
    void aWalkWithNowhereToGoStops()
    {
        for (int x = 1; x <= 3; ++x)
            explore(x, 1);
        atlas->cell(1, 0, 3, 1)->Object = 'E';
        atlas->cell(1, 0, 3, 1)->West = 1; // the spread goes from the exit westwards...
        atlas->cell(1, 0, 2, 1)->West = 1;
        route.findExitPath(*atlas, 1, 0, 1, 1, false); // ...but the player's cell records no way east
        QCOMPARE(route.dist(1, 1), 3);
        QCOMPARE(route.ExitPath, (Path{{1, 1}, {1, 1}}));
    }

    void distMatchesTheReferenceRelaxationOnRandomMazes()
    {
        std::mt19937 rng(7);
        for (int round = 0; round < 40; ++round) {
            atlas = std::make_unique<Atlas>();
            const unsigned lab = round % 2 ? 7 : 1;
            const int n = LabSide(lab);
            for (int x = 1; x <= n; ++x)
                for (int y = 1; y <= n; ++y) {
                    TMapCell* c = atlas->cell(lab, 0, x, y);
                    c->Explored = rng() % 10 < 8;
                    if (x < n && rng() % 3)
                        openPassage(*atlas, lab, 0, x, y, x + 1, y, rng() % 5 ? 1 : 2 + rng() % 7);
                    if (y < n && rng() % 3)
                        openPassage(*atlas, lab, 0, x, y, x, y + 1, rng() % 5 ? 1 : 2 + rng() % 7);
                    if (rng() % 50 == 0)
                        c->East = 1; // a side its neighbour disagrees with
                }
            atlas->cell(lab, 0, 1 + rng() % n, 1 + rng() % n)->Object = rng() % 2 ? 'E' : 'u';
            const int px = 1 + rng() % n;
            const int py = 1 + rng() % n;
            const bool doors = rng() % 2;
            Reference ref{*atlas, lab, 0, n, px, py, doors, {}, {}};
            ref.run();
            route.findExitPath(*atlas, lab, 0, px, py, doors);
            for (int x = 1; x <= n; ++x)
                for (int y = 1; y <= n; ++y)
                    QCOMPARE(route.dist(x, y), ref.D(x, y));
            // Each step of a route is one closer to the target.
            for (std::size_t i = 1; i < route.ExitPath.size(); ++i) {
                const auto [x, y] = route.ExitPath[i];
                const auto [ax, ay] = route.ExitPath[i - 1];
                if (x != ax || y != ay)
                    QCOMPARE(route.dist(x, y), route.dist(ax, ay) - 1);
            }
        }
    }
};

QTEST_APPLESS_MAIN(TestRoute)
#include "tst_route.moc"
