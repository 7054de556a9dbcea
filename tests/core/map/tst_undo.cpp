// Taking back changes made by hand, and doing them again, without undoing what the reader found since.
#include "map/marks.h"
#include "map/merge.h"
#include "map/selection.h"
#include "map/undo.h"

#include <QTest>
#include <cstring>
#include <functional>
#include <memory>

using namespace veldor;

namespace {

using Act = std::function<void(Atlas&)>;

// Two labyrinths of different sizes with cells, list entries and markers.
std::unique_ptr<Atlas> mappedAtlas()
{
    auto atlas = std::make_unique<Atlas>();
    for (unsigned lab : {1u, 20u}) {
        for (int x = 1; x <= 9; ++x)
            *atlas->cell(lab, 2, x, 3) = TMapCell{1, 1, 0, 2, 1, 'n'};
        AddTrap(*atlas, lab, 2, 4, 3);
        AddFlag(*atlas, lab, 2, 5, 3);
        AddDescent(*atlas, lab, 2, 6, 3);
        AddExit(*atlas, lab, 0, 1, 1);
        atlas->setMarkText(lab, 2, 7, 3, "note");
    }
    return atlas;
}

bool same(const Atlas& a, const Atlas& b)
{
    for (MapTable t : {MapTable::Map1, MapTable::Map2, MapTable::Map3, MapTable::MapCrd}) {
        if (!std::ranges::equal(a.bytes(t), b.bytes(t)))
            return false;
    }
    const auto ma = a.markers();
    const auto mb = b.markers();
    return std::ranges::equal(ma, mb, [](const Atlas::Marker& p, const Atlas::Marker& q) {
        return std::tie(p.lab, p.level, p.x, p.y, p.text) == std::tie(q.lab, q.level, q.x, q.y, q.text);
    });
}

} // namespace

Q_DECLARE_METATYPE(Act)

class TestUndo : public QObject
{
    Q_OBJECT

private slots:
    void everyActionComesBackByteForByte_data()
    {
        QTest::addColumn<unsigned>("lab");
        QTest::addColumn<Act>("act");
        QTest::newRow("trap") << 1u << Act([](Atlas& a) { AddTrap(a, 1, 2, 8, 3); });
        QTest::newRow("flag") << 1u << Act([](Atlas& a) { AddFlag(a, 1, 2, 8, 3); });
        QTest::newRow("descent") << 20u << Act([](Atlas& a) { AddDescent(a, 20, 2, 8, 3); });
        QTest::newRow("ascent") << 20u << Act([](Atlas& a) { AddAscent(a, 20, 4, 8, 3); });
        QTest::newRow("exit") << 1u << Act([](Atlas& a) { AddExit(a, 1, 9, 2, 2); });
        QTest::newRow("chest") << 1u << Act([](Atlas& a) { SetChest(a, 1, 2, 8, 3, '3'); });
        QTest::newRow("marker") << 1u << Act([](Atlas& a) { SetMarker(a, 1, 2, 7, 3, "other"); });
        QTest::newRow("clear cell") << 1u << Act([](Atlas& a) { ClearCell(a, 1, 2, 6, 3); });
        QTest::newRow("clear exits") << 1u << Act([](Atlas& a) { ClearExits(a, 1); });
        QTest::newRow("clear transitions") << 20u << Act([](Atlas& a) { ClearTransitions(a, 20); });
        QTest::newRow("clear flags") << 1u << Act([](Atlas& a) { ClearFlags(a, 1); });
        QTest::newRow("clear traps") << 20u << Act([](Atlas& a) { ClearTraps(a, 20); });
        QTest::newRow("clear labyrinth") << 20u << Act([](Atlas& a) { ClearLabyrinth(a, 20); });
        QTest::newRow("clear all") << 0u << Act([](Atlas& a) {
            for (unsigned lab = 1; lab <= kLabyrinthCount; ++lab)
                ClearLabyrinth(a, lab);
        });
        QTest::newRow("merge") << 0u << Act([](Atlas& a) {
            auto theirs = std::make_unique<Atlas>();
            *theirs->cell(7, 1, 2, 2) = TMapCell{1, 0, 0, 0, 1, 'f'};
            AppendEntry(*theirs->levelLists(7, 1), ListKind::Flags, PositionEntry(1, 2, 2));
            theirs->setMarkText(7, 1, 2, 2, "theirs");
            MergeAtlas(a, *theirs);
        });
    }

    void everyActionComesBackByteForByte()
    {
        QFETCH(unsigned, lab);
        QFETCH(Act, act);
        auto atlas = mappedAtlas();
        const auto before = std::make_unique<Atlas>(*atlas);
        UndoHistory history;
        const UndoHistory::Before taken(*atlas, lab);
        act(*atlas);
        const auto after = std::make_unique<Atlas>(*atlas);
        QVERIFY(history.record(taken, *atlas, "act"));
        QCOMPARE(history.undo(*atlas), std::optional<unsigned>(lab));
        QVERIFY(same(*atlas, *before));
        QCOMPARE(history.redoName(), std::string("act"));
        QCOMPARE(history.redo(*atlas), std::optional<unsigned>(lab));
        QVERIFY(same(*atlas, *after));
        QVERIFY(!history.canRedo());
    }

    void whatTheReaderFoundSinceStays()
    {
        auto atlas = mappedAtlas();
        UndoHistory history;
        const UndoHistory::Before taken(*atlas, 1);
        ClearLabyrinth(*atlas, 1);
        QVERIFY(history.record(taken, *atlas, "clear"));
        const TMapCell walked{1, 0, 1, 0, 1, 'n'};
        *atlas->cell(1, 2, 3, 3) = walked; // mapped before, walked again after the clear
        *atlas->cell(1, 5, 1, 1) = walked; // new
        atlas->cell(1, 2, 4, 3)->East = 5; // a door seen from the trap's neighbour
        history.undo(*atlas);
        QCOMPARE(atlas->cell(1, 2, 3, 3)->West, walked.West);
        QCOMPARE(atlas->cell(1, 5, 1, 1)->Explored, walked.Explored);
        const TMapCell& trap = *atlas->cell(1, 2, 4, 3);
        QCOMPARE(std::tuple(trap.Object, trap.Explored, trap.East), std::tuple('L', 1, 5));
        QCOMPARE(atlas->markText(1, 2, 7, 3), std::string("note"));
    }

    // A merge worked out on a copy beside the window: done on the atlas, newer truth kept, undoable.
    void aChangePreparedOnACopy()
    {
        auto atlas = mappedAtlas();
        auto copy = std::make_unique<Atlas>(*atlas);
        const UndoHistory::Before taken(*copy, 0);
        ClearLabyrinth(*copy, 20);
        UndoHistory::Prepared change = UndoHistory::prepare(taken, *copy, "clear");
        atlas->cell(20, 2, 3, 3)->West = 5; // the reader, meanwhile
        UndoHistory history;
        QVERIFY(history.apply(std::move(change), *atlas));
        QCOMPARE(std::tuple(atlas->cell(20, 2, 4, 3)->Object, atlas->cell(20, 2, 3, 3)->West), std::tuple('n', 5));
        history.undo(*atlas);
        QCOMPARE(atlas->cell(20, 2, 4, 3)->Object, 'L');
    }

    // A teammate's merge taken in outside the history: a cell the reader explored since keeps every byte.
    void anothersChangeKeepsWhatChangedSinceWhole()
    {
        auto atlas = std::make_unique<Atlas>();
        auto copy = std::make_unique<Atlas>(*atlas);
        const UndoHistory::Before taken(*copy, 0);
        *copy->cell(14, 0, 5, 5) = TMapCell{1, 1, 1, 1, 1, 'n'};
        *copy->cell(14, 0, 6, 5) = TMapCell{1, 0, 0, 0, 1, 'n'};
        const UndoHistory::Prepared change = UndoHistory::prepare(taken, *copy, {});
        const TMapCell seen{0, 1, 0, 0, 1, 'n'}; // seen meanwhile: walls where theirs had ways
        *atlas->cell(14, 0, 5, 5) = seen;
        QVERIFY(UndoHistory::takeIn(change, *atlas));
        QVERIFY(std::memcmp(atlas->cell(14, 0, 5, 5), &seen, sizeof(TMapCell)) == 0);
        QCOMPARE(atlas->cell(14, 0, 6, 5)->Explored, 1);
        QVERIFY(!UndoHistory::takeIn(change, *atlas)); // nothing more to take
    }

    void nothingChangedIsNotAnAction()
    {
        auto atlas = mappedAtlas();
        UndoHistory history;
        QVERIFY(!history.record(UndoHistory::Before(*atlas, 1), *atlas, "nothing"));
        QVERIFY(!history.canUndo());
        QVERIFY(!history.undo(*atlas));
    }

    void theOldestFallOffAndANewActionEndsRedo()
    {
        auto atlas = mappedAtlas();
        UndoHistory history({.actions = 3, .bytes = std::size_t{64} << 20});
        for (int x = 1; x <= 5; ++x) {
            const UndoHistory::Before taken(*atlas, 1);
            AddTrap(*atlas, 1, 3, x, 1);
            history.record(taken, *atlas, "trap " + std::to_string(x));
        }
        QCOMPARE(history.undoCount(), std::size_t{3});
        history.undo(*atlas);
        QCOMPARE(history.undoName(), std::string("trap 4"));
        const UndoHistory::Before taken(*atlas, 1);
        AddFlag(*atlas, 1, 3, 9, 9);
        history.record(taken, *atlas, "flag");
        QVERIFY(!history.canRedo());

        // Under a memory bound only the newest of two whole-atlas clears stays.
        UndoHistory bounded({.actions = 100, .bytes = std::size_t{1} << 20});
        for (int k = 0; k < 2; ++k) {
            const UndoHistory::Before all(*atlas, 0);
            if (k == 0)
                ClearLabyrinth(*atlas, 20);
            else
                ClearLabyrinth(*atlas, 1);
            bounded.record(all, *atlas, "clear " + std::to_string(k));
        }
        QCOMPARE(bounded.undoCount(), std::size_t{1});
        QCOMPARE(bounded.undoName(), std::string("clear 1"));
    }
};

QTEST_APPLESS_MAIN(TestUndo)
#include "tst_undo.moc"
