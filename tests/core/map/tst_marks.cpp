#include "map/marks.h"
#include "map/selection.h"

#include <QTest>
#include <memory>

using namespace veldor;

class TestMarks : public QObject
{
    Q_OBJECT
    std::unique_ptr<Atlas> atlas;

    char object(unsigned lab, int level, int x, int y) { return atlas->cell(lab, level, x, y)->Object; }
    std::string memo(unsigned lab, ListKind kind) { return MemoText(*atlas, lab, kind); }

private slots:
    void init() { atlas = std::make_unique<Atlas>(); }

    void listedMarksAreEnteredOnce()
    {
        QVERIFY(AddTrap(*atlas, 1, 2, 3, 4));
        QVERIFY(AddTrap(*atlas, 1, 2, 3, 4));
        QCOMPARE(memo(1, ListKind::Traps), std::string("L-2(3x4); "));
        QCOMPARE(object(1, 2, 3, 4), 'L');
        QVERIFY(AddFlag(*atlas, 1, 2, 5, 5));
        QCOMPARE(memo(1, ListKind::Flags), std::string("L-2(5x5); "));
        QVERIFY(AddExit(*atlas, 1, 0, 1, 1));
        QVERIFY(AddExit(*atlas, 1, 9, 1, 1));
        QCOMPARE(memo(1, ListKind::Exits), std::string("L-0(1x1); L-9(1x1); "));
    }

    void marksOnlyWhereTheyBelong()
    {
        QVERIFY(!AddDescent(*atlas, 1, 9, 5, 5));
        QVERIFY(!AddAscent(*atlas, 1, 0, 5, 5));
        QVERIFY(!AddExit(*atlas, 1, 4, 5, 5));
        QCOMPARE(object(1, 9, 5, 5), char(0));
        QCOMPARE(object(1, 0, 5, 5), char(0));
        QCOMPARE(object(1, 4, 5, 5), char(0));
        // No hovered cell yet, a cell beyond the labyrinth's side, no labyrinth.
        QVERIFY(!AddTrap(*atlas, 1, 0, 0, 0));
        QVERIFY(!AddTrap(*atlas, 1, 0, 31, 5));
        QVERIFY(!AddTrap(*atlas, 0, 0, 5, 5));
        QVERIFY(!SetMarker(*atlas, 21, 0, 5, 5, "x"));
        QVERIFY(!ClearCell(*atlas, 1, 0, 0, 3));
        QVERIFY(memo(1, ListKind::Traps).empty());
    }

    void descentAndAscentArePairedAndListedUnderTheUpperLevel()
    {
        QVERIFY(AddDescent(*atlas, 1, 2, 5, 7));
        QCOMPARE(object(1, 2, 5, 7), 'd');
        QCOMPARE(object(1, 3, 5, 7), 'u');
        QCOMPARE(memo(1, ListKind::Transitions), std::string("L-2(5x7); "));
        QVERIFY(AddAscent(*atlas, 1, 3, 5, 7));
        QCOMPARE(memo(1, ListKind::Transitions), std::string("L-2(5x7); "));
        QCOMPARE(object(1, 2, 5, 7), 'd');
    }

    void aFullListStillMarksTheMap()
    {
        for (int x = 1; x <= 3; ++x)
            AddDescent(*atlas, 1, 2, x, 1);
        AddTrap(*atlas, 1, 2, 9, 9);
        QVERIFY(AddDescent(*atlas, 1, 2, 4, 1));
        QCOMPARE(object(1, 2, 4, 1), 'd');
        QCOMPARE(object(1, 3, 4, 1), 'u');
        QVERIFY(memo(1, ListKind::Transitions).find("L-2(4x1)") == std::string::npos);
        QCOMPARE(memo(1, ListKind::Traps), std::string("L-2(9x9); "));
    }

    void clearingACell()
    {
        AddDescent(*atlas, 1, 2, 5, 7);
        atlas->setMarkText(1, 2, 5, 7, "note");
        QVERIFY(ClearCell(*atlas, 1, 2, 5, 7));
        QCOMPARE(object(1, 2, 5, 7), 'n');
        QCOMPARE(object(1, 3, 5, 7), 'n'); // the ascent below goes too
        QVERIFY(memo(1, ListKind::Transitions).empty());
        QVERIFY(atlas->markText(1, 2, 5, 7).empty());

        AddAscent(*atlas, 1, 3, 6, 6);
        QVERIFY(ClearCell(*atlas, 1, 3, 6, 6));
        QCOMPARE(object(1, 2, 6, 6), 'n');
        QVERIFY(memo(1, ListKind::Transitions).empty());

        // A trap whose entry was taken off the list earlier: only the cell changes.
        AddTrap(*atlas, 1, 0, 2, 2);
        AddTrap(*atlas, 1, 0, 3, 3);
        ClearList(*atlas->levelLists(1, 0), ListKind::Traps);
        AppendEntry(*atlas->levelLists(1, 0), ListKind::Traps, PositionEntry(0, 3, 3));
        QVERIFY(ClearCell(*atlas, 1, 0, 2, 2));
        QCOMPARE(object(1, 0, 2, 2), 'n');
        QCOMPARE(memo(1, ListKind::Traps), std::string("L-0(3x3); "));

        // A chest or a monster: reset, no list touched.
        SetChest(*atlas, 1, 0, 4, 4, '6');
        atlas->cell(1, 0, 8, 8)->Object = 'M';
        atlas->cell(1, 0, 8, 8)->East = 3;
        atlas->cell(1, 0, 8, 8)->Explored = 1;
        QVERIFY(ClearCell(*atlas, 1, 0, 4, 4));
        QVERIFY(ClearCell(*atlas, 1, 0, 8, 8));
        QCOMPARE(object(1, 0, 4, 4), 'n');
        QCOMPARE(object(1, 0, 8, 8), 'n');
        QCOMPARE(int(atlas->cell(1, 0, 8, 8)->East), 3); // sides and explored mark stay
        QCOMPARE(int(atlas->cell(1, 0, 8, 8)->Explored), 1);
        QCOMPARE(memo(1, ListKind::Traps), std::string("L-0(3x3); "));

        // On level 0 there is no level above an ascent.
        atlas->cell(1, 0, 9, 9)->Object = 'u';
        QVERIFY(ClearCell(*atlas, 1, 0, 9, 9));
        QCOMPARE(object(1, 0, 9, 9), 'n');
    }

    void chestsAndMarkers()
    {
        const char codes[] = {'1', '2', '3', '4', '5', '6'};
        for (char c : codes) {
            QVERIFY(SetChest(*atlas, 20, 16, 100, 100, c));
            QCOMPARE(object(20, 16, 100, 100), c);
        }
        QVERIFY(!SetChest(*atlas, 20, 16, 100, 100, '7'));
        QVERIFY(SetMarker(*atlas, 20, 16, 100, 100, "first"));
        QVERIFY(SetMarker(*atlas, 20, 16, 100, 100, "second"));
        QCOMPARE(atlas->markText(20, 16, 100, 100), std::string("second"));
        QVERIFY(!SetMarker(*atlas, 20, 16, 100, 100, ""));
        QCOMPARE(atlas->markText(20, 16, 100, 100), std::string("second"));
    }

    void listButtonsClearOneKindFromTheLabyrinth()
    {
        AddTrap(*atlas, 3, 0, 1, 1);
        AddTrap(*atlas, 3, 7, 2, 2);
        AddTrap(*atlas, 4, 0, 1, 1); // another labyrinth keeps its trap
        ClearTraps(*atlas, 3);
        QCOMPARE(object(3, 0, 1, 1), 'n');
        QCOMPARE(object(3, 7, 2, 2), 'n');
        QVERIFY(memo(3, ListKind::Traps).empty());
        QCOMPARE(object(4, 0, 1, 1), 'L');
        QCOMPARE(memo(4, ListKind::Traps), std::string("L-0(1x1); "));

        AddFlag(*atlas, 3, 5, 3, 3);
        ClearFlags(*atlas, 3);
        QCOMPARE(object(3, 5, 3, 3), 'n');
        QVERIFY(memo(3, ListKind::Flags).empty());

        AddExit(*atlas, 3, 0, 4, 4);
        AddExit(*atlas, 3, 9, 4, 4);
        atlas->cell(3, 5, 4, 4)->Object = 'E'; // an exit recorded elsewhere is not one of the buttons'
        ClearExits(*atlas, 3);
        QCOMPARE(object(3, 0, 4, 4), 'n');
        QCOMPARE(object(3, 9, 4, 4), 'n');
        QCOMPARE(object(3, 5, 4, 4), 'E');
        QVERIFY(memo(3, ListKind::Exits).empty());
    }

    void transitionsButtonWipesTheCellBelowDescentsOfUpperLevels()
    {
        AddDescent(*atlas, 2, 4, 6, 6);
        atlas->cell(2, 5, 7, 7)->Object = 'L';
        atlas->cell(2, 4, 7, 7)->Object = 'd'; // a trap recorded under a descent
        atlas->cell(2, 11, 8, 8)->Object = 'd';
        atlas->cell(2, 12, 8, 8)->Object = 'u';
        ClearTransitions(*atlas, 2);
        QCOMPARE(object(2, 4, 6, 6), 'n');
        QCOMPARE(object(2, 5, 6, 6), 'n');
        QCOMPARE(object(2, 5, 7, 7), 'n'); // wiped, whatever it was
        QCOMPARE(object(2, 11, 8, 8), 'n');
        QCOMPARE(object(2, 12, 8, 8), 'u'); // below level 9 only
        QVERIFY(memo(2, ListKind::Transitions).empty());
    }

    void clearingAMapKeepsTheOtherLabyrinths()
    {
        for (unsigned lab = 1; lab <= 6; ++lab) {
            atlas->cell(lab, 0, 1, 1)->Explored = 1;
            AddExit(*atlas, lab, 0, 2, 2);
        }
        atlas->setMarkText(3, 0, 5, 5, "kept");
        ClearLabyrinth(*atlas, 3);
        QCOMPARE(*atlas->cell(3, 0, 1, 1), (TMapCell{0, 0, 0, 0, 0, 'n'}));
        QCOMPARE(atlas->cell(3, 16, 30, 30)->Object, 'n');
        QVERIFY(memo(3, ListKind::Exits).empty());
        QCOMPARE(atlas->markText(3, 0, 5, 5), std::string("kept"));
        for (unsigned lab : {1u, 2u, 4u, 5u, 6u}) {
            QCOMPARE(int(atlas->cell(lab, 0, 1, 1)->Explored), 1);
            QCOMPARE(memo(lab, ListKind::Exits), std::string("L-0(2x2); "));
        }
        ClearLabyrinth(*atlas, 0); // nothing to clear
    }
};

namespace veldor {
inline bool operator==(const TMapCell& a, const TMapCell& b)
{
    return a.North == b.North && a.South == b.South && a.West == b.West && a.East == b.East &&
           a.Explored == b.Explored && a.Object == b.Object;
}
} // namespace veldor

QTEST_APPLESS_MAIN(TestMarks)
#include "tst_marks.moc"
