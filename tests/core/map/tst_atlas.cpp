#include "map/atlas.h"
#include "map/selection.h"

#include <QTest>
#include <memory>

using namespace veldor;

namespace {

// Byte offset of byte k of a cell by the file layout's strides.
std::size_t layoutOffset(unsigned lab, int level, int x, int y, int k)
{
    const int group = LabGroup(lab);
    const std::size_t sx = group == 1 ? 18360 : group == 2 ? 28560 : 71400;
    const std::size_t sy = group == 1 ? 612 : 714;
    const std::size_t sl = group == 1 ? 36 : 42;
    const unsigned first = group == 1 ? 1 : group == 2 ? 7 : 14;
    return (x - 1) * sx + (y - 1) * sy + level * sl + (lab - first) * 6 + k;
}

MapTable tableOf(unsigned lab)
{
    const int g = LabGroup(lab);
    return g == 1 ? MapTable::Map1 : g == 2 ? MapTable::Map2 : MapTable::Map3;
}

} // namespace

class TestAtlas : public QObject
{
    Q_OBJECT
    std::unique_ptr<Atlas> atlas;

private slots:
    void init() { atlas = std::make_unique<Atlas>(); }

    void groupsAndSides_data()
    {
        QTest::addColumn<unsigned>("lab");
        QTest::addColumn<int>("group");
        QTest::addColumn<int>("side");
        QTest::newRow("0") << 0u << 0 << 0;
        QTest::newRow("1") << 1u << 1 << 30;
        QTest::newRow("6") << 6u << 1 << 30;
        QTest::newRow("7") << 7u << 2 << 40;
        QTest::newRow("13") << 13u << 2 << 40;
        QTest::newRow("14") << 14u << 3 << 100;
        QTest::newRow("20") << 20u << 3 << 100;
        QTest::newRow("21") << 21u << 0 << 0;
        QTest::newRow("huge") << 4294967295u << 0 << 0;
    }
    void groupsAndSides()
    {
        QFETCH(unsigned, lab);
        QFETCH(int, group);
        QFETCH(int, side);
        QCOMPARE(LabGroup(lab), group);
        QCOMPARE(LabSide(lab), side);
        QCOMPARE(LabyrinthName(lab).empty(), group == 0);
    }

    // The one rule every walk follows: a passage always, a door only while doors may be passed, nothing else.
    void aSideIsPassable_data()
    {
        QTest::addColumn<int>("side");
        QTest::addColumn<bool>("withDoors");
        QTest::addColumn<bool>("withoutDoors");
        QTest::newRow("wall") << 0 << false << false;
        QTest::newRow("passage") << 1 << true << true;
        QTest::newRow("door 2") << 2 << true << false;
        QTest::newRow("door 8") << 8 << true << false;
        QTest::newRow("no code of ours") << 9 << false << false;
    }
    void aSideIsPassable()
    {
        QFETCH(int, side);
        QTEST(Passable(std::uint8_t(side), true), "withDoors");
        QTEST(Passable(std::uint8_t(side), false), "withoutDoors");
    }

    void tableSizesAreTheFileSizes()
    {
        QCOMPARE(atlas->bytes(MapTable::Map1).size(), std::size_t(550800));
        QCOMPARE(atlas->bytes(MapTable::Map2).size(), std::size_t(1142400));
        QCOMPARE(atlas->bytes(MapTable::Map3).size(), std::size_t(7140000));
        QCOMPARE(atlas->bytes(MapTable::MapCrd).size(), std::size_t(1444660));
    }

    // A value written through the cell accessor lands at the byte the strides give.
    void cellBytesLieAtTheStrideOffsets_data()
    {
        QTest::addColumn<unsigned>("lab");
        QTest::addColumn<int>("level");
        QTest::addColumn<int>("x");
        QTest::addColumn<int>("y");
        QTest::newRow("first cell") << 1u << 0 << 1 << 1;
        QTest::newRow("group 1 last") << 6u << 16 << 30 << 30;
        QTest::newRow("group 1 middle") << 3u << 5 << 12 << 7;
        QTest::newRow("group 2 first") << 7u << 0 << 1 << 1;
        QTest::newRow("group 2 last") << 13u << 16 << 40 << 40;
        QTest::newRow("group 2 middle") << 10u << 9 << 17 << 33;
        QTest::newRow("group 3 first") << 14u << 0 << 1 << 1;
        QTest::newRow("group 3 last") << 20u << 16 << 100 << 100;
        QTest::newRow("group 3 middle") << 18u << 3 << 64 << 2;
    }
    void cellBytesLieAtTheStrideOffsets()
    {
        QFETCH(unsigned, lab);
        QFETCH(int, level);
        QFETCH(int, x);
        QFETCH(int, y);
        TMapCell* c = atlas->cell(lab, level, x, y);
        QVERIFY(c);
        *c = TMapCell{1, 2, 3, 4, 1, 'E'};
        const auto bytes = atlas->bytes(tableOf(lab));
        const std::uint8_t expected[6] = {1, 2, 3, 4, 1, 'E'};
        for (int k = 0; k < 6; ++k)
            QCOMPARE(bytes[layoutOffset(lab, level, x, y, k)], expected[k]);
        std::size_t nonZero = 0;
        for (auto b : bytes)
            nonZero += b != 0;
        QCOMPARE(nonZero, std::size_t(6)); // and nowhere else
    }

    void labyrinthsOfDifferentGroupsAreIndependent()
    {
        atlas->cell(1, 2, 5, 5)->Object = 'L';
        QCOMPARE(atlas->cell(7, 2, 5, 5)->Object, char(0));
        QCOMPARE(atlas->cell(14, 2, 5, 5)->Object, char(0));
        QCOMPARE(atlas->cell(2, 2, 5, 5)->Object, char(0));
    }

    void nothingOutsideTheTablesIsReachable_data()
    {
        QTest::addColumn<unsigned>("lab");
        QTest::addColumn<int>("level");
        QTest::addColumn<int>("x");
        QTest::addColumn<int>("y");
        QTest::newRow("lab 0") << 0u << 0 << 1 << 1;
        QTest::newRow("lab 21") << 21u << 0 << 1 << 1;
        QTest::newRow("level -1") << 1u << -1 << 1 << 1;
        QTest::newRow("level 17") << 1u << 17 << 1 << 1;
        QTest::newRow("x 0") << 1u << 0 << 0 << 1;
        QTest::newRow("y 0") << 1u << 0 << 1 << 0;
        QTest::newRow("x 31 in group 1") << 6u << 0 << 31 << 1;
        QTest::newRow("y 41 in group 2") << 13u << 0 << 1 << 41;
        QTest::newRow("x 101 in group 3") << 20u << 16 << 101 << 100;
        QTest::newRow("negative") << 1u << 0 << -5 << -5;
    }
    void nothingOutsideTheTablesIsReachable()
    {
        QFETCH(unsigned, lab);
        QFETCH(int, level);
        QFETCH(int, x);
        QFETCH(int, y);
        QVERIFY(!atlas->cell(lab, level, x, y));
    }

    void levelListsLieAtTheirRecordOffsets()
    {
        QVERIFY(!atlas->levelLists(0, 0));
        QVERIFY(!atlas->levelLists(21, 0));
        QVERIFY(!atlas->levelLists(1, 17));
        QVERIFY(!atlas->levelLists(1, -1));
        const auto base = atlas->bytes(MapTable::MapCrd).data();
        struct Slot
        {
            ListKind kind;
            int k;
            std::size_t offset;
        };
        const Slot slotList[] = {{ListKind::Transitions, 0, 0}, {ListKind::Transitions, 2, 512},
                                 {ListKind::Traps, 0, 768},     {ListKind::Traps, 9, 768 + 9 * 256},
                                 {ListKind::Flags, 0, 3328},    {ListKind::Flags, 2, 3328 + 512},
                                 {ListKind::Exits, 0, 4096},    {ListKind::Exits, 2, 4096 + 102}};
        for (unsigned lab : {1u, 11u, 20u}) {
            for (int level : {0, 9, 16}) {
                TLevelLists* lists = atlas->levelLists(lab, level);
                const std::size_t record = (lab - 1) * 72233 + level * 4249;
                QCOMPARE(reinterpret_cast<const std::uint8_t*>(lists) - base, std::ptrdiff_t(record));
                for (const Slot& s : slotList) {
                    SetSlotText(*lists, s.kind, s.k, "ab");
                    QCOMPARE(base[record + s.offset], std::uint8_t(2));
                    QCOMPARE(base[record + s.offset + 1], std::uint8_t('a'));
                    QCOMPARE(base[record + s.offset + 2], std::uint8_t('b'));
                }
            }
        }
    }

    void entriesGoToTheFirstEmptySlotAndFullListsDropThem()
    {
        TLevelLists& lists = *atlas->levelLists(3, 4);
        for (int i = 1; i <= 3; ++i)
            QVERIFY(AppendEntry(lists, ListKind::Flags, PositionEntry(4, i, 1)));
        QVERIFY(!AppendEntry(lists, ListKind::Flags, PositionEntry(4, 9, 9))); // the fourth flag
        QCOMPARE(SlotText(lists, ListKind::Flags, 2), PositionEntry(4, 3, 1));
        for (int i = 1; i <= 10; ++i)
            QVERIFY(AppendEntry(lists, ListKind::Traps, PositionEntry(4, i, 2)));
        QVERIFY(!AppendEntry(lists, ListKind::Traps, PositionEntry(4, 11, 2))); // the eleventh trap
        QCOMPARE(MemoText(*atlas, 3, ListKind::Traps).find("(11x2)"), std::string::npos);
        // An emptied slot in the middle is the next one filled.
        SetSlotText(lists, ListKind::Flags, 1, "");
        QVERIFY(AppendEntry(lists, ListKind::Flags, "new"));
        QCOMPARE(SlotText(lists, ListKind::Flags, 1), std::string("new"));
    }

    void slotTextsAreCutToTheirSlot()
    {
        TLevelLists& lists = *atlas->levelLists(1, 0);
        AppendEntry(lists, ListKind::Exits, std::string(80, 'e'));
        QCOMPARE(SlotText(lists, ListKind::Exits, 0).size(), std::size_t(50));
        AppendEntry(lists, ListKind::Traps, std::string(300, 't'));
        QCOMPARE(SlotText(lists, ListKind::Traps, 0).size(), std::size_t(255));
        // A damaged length byte (from a file) never reads past its slot.
        lists.Exits[0].bytes[0] = 200;
        QCOMPARE(SlotText(lists, ListKind::Exits, 0).size(), std::size_t(50));
        QVERIFY(SlotText(lists, ListKind::Exits, 3).empty());
        QVERIFY(SlotText(lists, ListKind::Traps, -1).empty());
    }

    void positionEntriesAndMemoTexts()
    {
        QCOMPARE(PositionEntry(3, 12, 7), std::string("L-3(12x7); "));
        QCOMPARE(PositionEntry(16, 100, 100), std::string("L-16(100x100); "));
        AppendEntry(*atlas->levelLists(14, 1), ListKind::Exits, PositionEntry(1, 2, 3));
        AppendEntry(*atlas->levelLists(14, 0), ListKind::Exits, PositionEntry(0, 5, 6));
        AppendEntry(*atlas->levelLists(14, 0), ListKind::Exits, PositionEntry(0, 7, 8));
        AppendEntry(*atlas->levelLists(15, 0), ListKind::Exits, PositionEntry(0, 1, 1));
        // Level by level, slot by slot, no separators, only the labyrinth asked for.
        QCOMPARE(MemoText(*atlas, 14, ListKind::Exits), std::string("L-0(5x6); L-0(7x8); L-1(2x3); "));
        QCOMPARE(MemoText(*atlas, 14, ListKind::Traps), std::string());
        QCOMPARE(MemoText(*atlas, 0, ListKind::Exits), std::string());
    }

    void markersBelongToOneCell()
    {
        atlas->setMarkText(20, 16, 100, 100, "клад");
        QCOMPARE(atlas->markText(20, 16, 100, 100), std::string("клад"));
        QVERIFY(atlas->markText(20, 15, 100, 100).empty());
        QVERIFY(atlas->markText(19, 16, 100, 100).empty());
        QVERIFY(atlas->markText(20, 16, 99, 100).empty());
        QVERIFY(atlas->markText(1, 16, 100, 100).empty());
        atlas->setMarkText(1, 0, 101, 1, "out of range");
        QVERIFY(atlas->markText(1, 0, 101, 1).empty());
        atlas->clearMarkText(20, 16, 100, 100);
        QVERIFY(atlas->markText(20, 16, 100, 100).empty());
    }

    void exploredPercentRoundsDown()
    {
        QVERIFY(!ExploredPercent(*atlas, 0, 0));
        QCOMPARE(*ExploredPercent(*atlas, 1, 0), 0);
        int marked = 0;
        for (int x = 1; x <= 30 && marked < 450; ++x)
            for (int y = 1; y <= 30 && marked < 450; ++y, ++marked)
                atlas->cell(1, 0, x, y)->Explored = 1;
        QCOMPARE(*ExploredPercent(*atlas, 1, 0), 50);
        for (int x = 1; x <= 30; ++x)
            for (int y = 1; y <= 30; ++y)
                atlas->cell(1, 0, x, y)->Explored = 1;
        QCOMPARE(*ExploredPercent(*atlas, 1, 0), 100);
        atlas->cell(1, 0, 30, 30)->Explored = 0;
        QCOMPARE(*ExploredPercent(*atlas, 1, 0), 99);
        QCOMPARE(*ExploredPercent(*atlas, 1, 1), 0); // other level
        for (int y = 1; y <= 99; ++y)
            atlas->cell(14, 0, 1, y)->Explored = 1;
        QCOMPARE(*ExploredPercent(*atlas, 14, 0), 0);
        QCOMPARE(PercentLabelText(50), std::u8string(u8"Процент открытия уровня: 50%"));
    }

    // Below one percent the label says a tenth: a first walk does not read as nothing.
    void theLabelShowsAFirstWalk_data()
    {
        QTest::addColumn<int>("explored"); // cells of level 0 of a 30 x 30 labyrinth
        QTest::addColumn<QString>("text");
        QTest::newRow("nothing") << 0 << QStringLiteral("Процент открытия уровня: 0%");
        QTest::newRow("one cell") << 1 << QStringLiteral("Процент открытия уровня: 0,1%");
        QTest::newRow("7 of 900") << 7 << QStringLiteral("Процент открытия уровня: 0,7%");
        QTest::newRow("9 of 900") << 9 << QStringLiteral("Процент открытия уровня: 1%");
    }
    void theLabelShowsAFirstWalk()
    {
        QFETCH(int, explored);
        for (int i = 0; i < explored; ++i)
            atlas->cell(1, 0, 1 + i, 1)->Explored = 1;
        const std::u8string text = ExploredLabelText(*atlas, 1, 0).value();
        QTEST(QString::fromUtf8(reinterpret_cast<const char*>(text.c_str())), "text");
    }
};

QTEST_APPLESS_MAIN(TestAtlas)
#include "tst_atlas.moc"
