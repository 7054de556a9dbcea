// Taking another player's maps into ours, reading their folder, and writing a copy of ours for them.
#include "levelbuilder.h"
#include "map/groupmarkers.h"
#include "map/markerfile.h"
#include "map/merge.h"
#include "testsupport.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>
#include <cstdio>
#include <memory>
#include <sys/stat.h>
#include <unordered_set>

using namespace veldor;
using namespace veldor::test;

namespace {

const char* const kNames[] = {"map1.map", "map2.map", "map3.map", "map.crd"};

void explore(Atlas& atlas, unsigned lab, int level, int x, int y, TMapCell cell)
{
    *atlas.cell(lab, level, x, y) = cell;
}

QStringList listEntries(const Atlas& atlas, unsigned lab, int level, ListKind kind)
{
    QStringList out;
    for (int k = 0; k < ListSlots(kind); ++k)
        out << QString::fromStdString(SlotText(*atlas.levelLists(lab, level), kind, k));
    return out;
}

// Every file and its bytes, to see that a folder was left alone.
QMap<QString, QByteArray> snapshot(const QString& folder)
{
    QMap<QString, QByteArray> out;
    for (const QFileInfo& info : QDir(folder).entryInfoList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden))
        out.insert(info.fileName(), info.isFile() ? readAll(info.filePath()) : QByteArray("<not a file>"));
    return out;
}

} // namespace

class TestMerge : public QObject
{
    Q_OBJECT
    std::unique_ptr<Atlas> ours;
    std::unique_ptr<Atlas> theirs;
    std::unique_ptr<QTemporaryDir> dir;

private slots:
    void init()
    {
        ours = std::make_unique<Atlas>();
        theirs = std::make_unique<Atlas>();
        dir = std::make_unique<QTemporaryDir>();
        QVERIFY(dir->isValid());
    }

    void cellsComeInOnlyWhereTheirsIsExploredAndOursHoldsNothing()
    {
        // Theirs explored, ours untouched (code 0) or cleared ('n'): taken whole.
        explore(*theirs, 1, 0, 5, 5, {1, 2, 0, 8, 1, 'F'});
        explore(*theirs, 1, 0, 6, 5, {0, 1, 8, 0, 1, 'n'});
        explore(*ours, 1, 0, 6, 5, {0, 0, 0, 0, 0, 'n'});
        // Ours explored: stays, whatever theirs says.
        explore(*ours, 9, 3, 20, 20, {1, 1, 0, 0, 1, 'n'});
        explore(*theirs, 9, 3, 20, 20, {0, 0, 1, 1, 1, 'L'});
        // Ours marked by hand without being explored: the mark stays.
        explore(*ours, 9, 3, 21, 20, {0, 0, 0, 0, 0, 'L'});
        explore(*theirs, 9, 3, 21, 20, {1, 1, 1, 1, 1, 'n'});
        // A way up written below a way down: an object of ours too.
        explore(*ours, 20, 16, 100, 100, {0, 0, 0, 0, 0, 'u'});
        explore(*theirs, 20, 16, 100, 100, {1, 0, 0, 0, 1, 'r'});
        // Theirs not explored: nothing, even with sides learned from a neighbour.
        explore(*theirs, 2, 1, 7, 7, {1, 0, 0, 0, 0, 'n'});
        // Ours learned a door from the neighbour; theirs was explored before that door showed.
        explore(*ours, 14, 0, 40, 1, {0, 0, 3, 0, 0, 0});
        explore(*theirs, 14, 0, 40, 1, {1, 0, 0, 1, 1, 'M'});

        // Junk: bytes this program never writes (a side code 9, an unknown object, an explored byte 255).
        explore(*theirs, 3, 0, 1, 1, {9, 0, 0, 0, 1, 'n'});
        explore(*theirs, 3, 0, 2, 1, {0, 0, 0, 0, 1, 'Z'});
        explore(*theirs, 3, 0, 3, 1, {0, 0, 0, 0, 255, 'n'});

        const TMapCell keptExplored = *ours->cell(9, 3, 20, 20);
        const MergeResult result = MergeAtlas(*ours, *theirs);
        QCOMPARE(result.labs[3].cellsSkipped, 3);
        QVERIFY(sameCell(*ours->cell(3, 0, 1, 1), {0, 0, 0, 0, 0, 0}));

        QVERIFY(sameCell(*ours->cell(1, 0, 5, 5), {1, 2, 0, 8, 1, 'F'}));
        QVERIFY(sameCell(*ours->cell(1, 0, 6, 5), {0, 1, 8, 0, 1, 'n'}));
        QVERIFY(sameCell(*ours->cell(9, 3, 20, 20), keptExplored));
        QVERIFY(sameCell(*ours->cell(9, 3, 21, 20), {0, 0, 0, 0, 0, 'L'}));
        QVERIFY(sameCell(*ours->cell(20, 16, 100, 100), {0, 0, 0, 0, 0, 'u'}));
        QVERIFY(sameCell(*ours->cell(2, 1, 7, 7), {0, 0, 0, 0, 0, 0}));
        QVERIFY(sameCell(*ours->cell(14, 0, 40, 1), {1, 0, 3, 1, 1, 'M'}));

        QCOMPARE(result.labs[1].cells, 2);
        QCOMPARE(result.labs[9].cells, 0);
        QCOMPARE(result.labs[14].cells, 1);
        QCOMPARE(result.labs[20].cells, 0);
        QCOMPARE(result.total().cells, 3);
        QCOMPARE(result.total().entries, 0);
    }

    void listEntriesComeInByTheRecordersRules()
    {
        // Ours already shows this trap, on another level: not added again.
        AppendEntry(*ours->levelLists(3, 2), ListKind::Traps, PositionEntry(2, 4, 4));
        AppendEntry(*theirs->levelLists(3, 5), ListKind::Traps, PositionEntry(2, 4, 4));
        // A new trap goes into the first free slot of the same level.
        SetSlotText(*ours->levelLists(3, 1), ListKind::Traps, 1, PositionEntry(1, 9, 9));
        AppendEntry(*theirs->levelLists(3, 1), ListKind::Traps, PositionEntry(1, 2, 3));
        theirs->cell(3, 1, 2, 3)->Object = 'L';
        // Our exits of level 0 are full: theirs are dropped and counted.
        for (int k = 0; k < 3; ++k)
            AppendEntry(*ours->levelLists(7, 0), ListKind::Exits, PositionEntry(0, k + 1, 1));
        AppendEntry(*theirs->levelLists(7, 0), ListKind::Exits, PositionEntry(0, 10, 10));
        theirs->cell(7, 0, 10, 10)->Object = 'E';
        theirs->cell(7, 0, 1, 1)->Object = 'E';
        AppendEntry(*theirs->levelLists(7, 0), ListKind::Exits, PositionEntry(0, 1, 1)); // ours has it: no drop
        // Transitions and flags of another labyrinth; the same text twice in theirs comes in once.
        AppendEntry(*theirs->levelLists(12, 4), ListKind::Transitions, PositionEntry(4, 30, 2));
        AppendEntry(*theirs->levelLists(12, 4), ListKind::Transitions, PositionEntry(4, 30, 2));
        AppendEntry(*theirs->levelLists(12, 0), ListKind::Flags, PositionEntry(0, 1, 40));
        theirs->cell(12, 4, 30, 2)->Object = 'd';
        theirs->cell(12, 0, 1, 40)->Object = 'F';
        // Bytes of a damaged or hostile file are no entry: only what the program writes.
        SetSlotText(*theirs->levelLists(12, 2), ListKind::Flags, 0, std::string(7, '\x07'));
        SetSlotText(*theirs->levelLists(12, 2), ListKind::Flags, 1, std::string(255, '\xff'));
        SetSlotText(*theirs->levelLists(12, 2), ListKind::Traps, 0, "L-2(0x5); ");
        SetSlotText(*theirs->levelLists(12, 2), ListKind::Traps, 1, "L-2(5x5); extra");
        // Markers come in where ours has none.
        ours->setMarkText(5, 0, 1, 1, "ours");
        theirs->setMarkText(5, 0, 1, 1, "theirs");
        theirs->setMarkText(5, 0, 2, 2, "cache");

        const MergeResult result = MergeAtlas(*ours, *theirs);
        QCOMPARE(ours->markText(5, 0, 1, 1), std::string("ours"));
        QCOMPARE(ours->markText(5, 0, 2, 2), std::string("cache"));
        QCOMPARE(result.total().markers, 1);

        QCOMPARE(listEntries(*ours, 3, 5, ListKind::Traps).join(QString()), QString());
        QCOMPARE(listEntries(*ours, 3, 1, ListKind::Traps).mid(0, 2),
                 QStringList(
                     {QString::fromStdString(PositionEntry(1, 2, 3)), QString::fromStdString(PositionEntry(1, 9, 9))}));
        QCOMPARE(
            listEntries(*ours, 7, 0, ListKind::Exits),
            QStringList({QStringLiteral("L-0(1x1); "), QStringLiteral("L-0(2x1); "), QStringLiteral("L-0(3x1); ")}));
        QCOMPARE(listEntries(*ours, 12, 4, ListKind::Transitions),
                 QStringList({QStringLiteral("L-4(30x2); "), QString(), QString()}));
        QCOMPARE(QString::fromStdString(MemoText(*ours, 12, ListKind::Flags)), QStringLiteral("L-0(1x40); "));

        QCOMPARE(result.labs[3].entries, 1);
        QCOMPARE(result.labs[7].entries, 0);
        QCOMPARE(result.labs[7].dropped, 1);
        QCOMPARE(result.labs[12].entries, 2);
        QCOMPARE(result.total().entries, 3);
        QCOMPARE(result.total().dropped, 1);
    }

    // An entry stands for a cell of theirs: one of the labyrinth's size, on the level it is filed under, holding
    // the list's object.
    void anEntryComesInOnlyForItsOwnCell_data()
    {
        QTest::addColumn<unsigned>("lab");
        QTest::addColumn<int>("filed");
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("entry");
        QTest::addColumn<char>("object"); // in their cell the entry names, where there is one
        QTest::addColumn<bool>("taken");
        const int exits = int(ListKind::Exits), traps = int(ListKind::Traps), flags = int(ListKind::Flags),
                  stairs = int(ListKind::Transitions);
        QTest::newRow("an exit") << 1u << 0 << exits << "L-0(5x5); " << 'E' << true;
        QTest::newRow("off a 30-cell labyrinth") << 1u << 0 << exits << "L-0(99x99); " << 'E' << false;
        QTest::newRow("another level's trap") << 1u << 0 << traps << "L-3(5x5); " << 'L' << false;
        QTest::newRow("level 16 in level 0's list") << 1u << 0 << traps << "L-16(5x5); " << 'L' << false;
        QTest::newRow("no trap there") << 1u << 0 << traps << "L-0(5x5); " << 'n' << false;
        QTest::newRow("a flag at 100x100") << 14u << 2 << flags << "L-2(100x100); " << 'F' << true;
        QTest::newRow("a way down") << 8u << 4 << stairs << "L-4(40x40); " << 'd' << true;
        QTest::newRow("a way up is no way down") << 8u << 4 << stairs << "L-4(40x40); " << 'u' << false;
    }
    void anEntryComesInOnlyForItsOwnCell()
    {
        QFETCH(unsigned, lab);
        QFETCH(int, filed);
        QFETCH(int, kind);
        QFETCH(QString, entry);
        QFETCH(char, object);
        int level = 0, x = 0, y = 0;
        QVERIFY(std::sscanf(entry.toLatin1().constData(), "L-%d(%dx%d", &level, &x, &y) == 3);
        if (TMapCell* cell = theirs->cell(lab, level, x, y))
            cell->Object = object;
        AppendEntry(*theirs->levelLists(lab, filed), ListKind(kind), entry.toStdString());
        QTEST(MergeAtlas(*ours, *theirs).total().entries == 1, "taken");
    }

    // A member merged again and again brings its markers once, and the group as a whole no more than its bound;
    // what is left out is counted.
    void markersComeOnceAndWithinTheGroupsBound()
    {
        for (int i = 0; i < 30; ++i)
            theirs->setMarkText(2, 0, 1 + i, 1, "junk " + std::to_string(i));
        GroupMarkers group;
        std::unordered_set<std::string> seen;
        MergeOptions options;
        options.maxMarkers = 20; // the room the group's bound leaves
        options.skipMarker = [&](const AtlasPlace& p, const std::string& text) {
            return seen.count(std::to_string(p.x) + text) > 0;
        };
        MergeResult first = MergeAtlas(*ours, *theirs, options);
        QCOMPARE(first.total().markers, 20);
        QCOMPARE(first.total().markersSkipped, 10);
        for (const AtlasPlace& p : first.markersTaken) {
            group.add(p, ours->markText(p.lab, p.level, p.x, p.y));
            seen.insert(std::to_string(p.x) + ours->markText(p.lab, p.level, p.x, p.y));
        }
        QCOMPARE(group.room(*ours), GroupMarkers::kMax - 20);
        // The player clears one of them: merged again, it does not come back.
        ours->setMarkText(2, 0, 1, 1, {});
        QCOMPARE(MergeAtlas(*ours, *theirs, options).total().markers, 10); // only the ten left out before
        QVERIFY(ours->markText(2, 0, 1, 1).empty());
        // The group's markers stay out of what goes into the group folder; the player's own go.
        ours->setMarkText(2, 0, 2, 1, "rewritten by the player");
        ours->setMarkText(2, 5, 5, 5, "ours");
        auto out = std::make_unique<Atlas>(*ours);
        group.stripFrom(*out);
        QCOMPARE(out->markerCount(), std::size_t(2 + 10));
        QCOMPARE(GroupMarkers::parse(group.text()).size(), group.size());
    }

    void mergingTheSameMapsAgainAddsNothing()
    {
        explore(*theirs, 4, 0, 1, 1, {1, 1, 1, 1, 1, 'd'});
        explore(*theirs, 10, 16, 40, 40, {0, 2, 0, 0, 1, 'L'});
        AppendEntry(*theirs->levelLists(4, 0), ListKind::Transitions, PositionEntry(0, 1, 1));
        AppendEntry(*theirs->levelLists(10, 16), ListKind::Traps, PositionEntry(16, 40, 40));
        const MergeResult first = MergeAtlas(*ours, *theirs);
        QCOMPARE(first.total().cells, 2);
        QCOMPARE(first.total().entries, 2);

        auto before = std::make_unique<Atlas>(*ours);
        const MergeResult second = MergeAtlas(*ours, *theirs);
        QCOMPARE(second.total().cells, 0);
        QCOMPARE(second.total().entries, 0);
        for (auto t : {MapTable::Map1, MapTable::Map2, MapTable::Map3, MapTable::MapCrd}) {
            const auto a = before->bytes(t);
            const auto b = ours->bytes(t);
            QVERIFY(std::equal(a.begin(), a.end(), b.begin(), b.end()));
        }
    }

    // Their markers come in for cells without ours, each cut to its first characters and at most so many at once.
    void theirMarkersAreBounded_data()
    {
        QTest::addColumn<int>("count");
        QTest::addColumn<int>("length");
        QTest::addColumn<QList<int>>("counts"); // taken, cut, skipped
        QTest::newRow("short") << 3 << 10 << QList<int>{3, 0, 0};
        QTest::newRow("at the length") << 1 << int(kMaxMarkerTaken) << QList<int>{1, 0, 0};
        QTest::newRow("longer") << 2 << 15'000'000 << QList<int>{2, 2, 0};
        QTest::newRow("too many") << kMaxMarkersTaken + 7 << 4 << QList<int>{kMaxMarkersTaken, 0, 7};
    }
    void theirMarkersAreBounded()
    {
        QFETCH(int, count);
        QFETCH(int, length);
        for (int i = 0; i < count; ++i)
            theirs->setMarkText(20, i / 10000, 1 + i % 100, 1 + i / 100 % 100, std::string(std::size_t(length), 'a'));
        ours->setMarkText(20, 16, 100, 100, "ours");
        theirs->setMarkText(20, 16, 100, 100, "theirs"); // a cell with ours keeps it, and counts for nothing
        const MergeCounts c = MergeAtlas(*ours, *theirs).total();
        QTEST((QList<int>{c.markers, c.markersCut, c.markersSkipped}), "counts");
        QCOMPARE(ours->markText(20, 16, 100, 100), std::string("ours"));
        const std::string taken = ours->markText(20, 0, 1, 1);
        QCOMPARE(taken.size(), std::min(std::size_t(length), kMaxMarkerTaken));
        QCOMPARE(taken.back() == '\x85', std::size_t(length) > kMaxMarkerTaken);
    }

    void theirFolderIsReadLikeOursAndNeverWritten()
    {
        const QString folder = dir->path();
        // map1.map short (three cells), map.crd longer than its record, map2.map a folder, map3.map missing.
        QByteArray map1(18, '\0');
        map1[12 + 4] = 1; // third record: the group's third labyrinth, level 0, cell 1x1
        map1[12 + 5] = 'F';
        QVERIFY(writeAll(dir->filePath(QStringLiteral("map1.map")), map1));
        QByteArray crd(1444660 + 100, '\0');
        crd[0] = 3; // first transition slot of (1, 0): "abc"
        crd.replace(1, 3, "abc");
        QVERIFY(writeAll(dir->filePath(QStringLiteral("map.crd")), crd));
        QVERIFY(makeOddFile(dir->filePath(QStringLiteral("map2.map")), QStringLiteral("folder")));
        const auto before = snapshot(folder);

        const OtherMaps other = LoadOtherMaps(*theirs, folder.toStdString());
        QCOMPARE(other.missing, std::vector<std::string>{"map3.map"});
        QCOMPARE(other.present(), std::size_t(3));
        // Not ours: a file of any other size than a map file's, or no file at all, is named and gives nothing.
        QCOMPARE(other.report.problems.size(), std::size_t(3));
        QVERIFY(other.report.message("").find("ваши карты не тронуты") != std::string::npos);
        QVERIFY(other.report.message("").find("размер 18 байт") != std::string::npos);
        QCOMPARE(other.report.problems[0].kind, FileError::Damaged); // map1.map, 18 bytes
        const unsigned third = FirstLabOfGroup(1) + 2;
        QCOMPARE(theirs->cell(third, 0, 1, 1)->Explored, std::uint8_t(0));
        QCOMPARE(SlotText(*theirs->levelLists(1, 0), ListKind::Transitions, 0), std::string());
        QCOMPARE(snapshot(folder), before);

        // A folder that is not there: every file missing, nothing created.
        const QString gone = dir->filePath(QStringLiteral("gone"));
        QCOMPARE(LoadOtherMaps(*theirs, gone.toStdString()).present(), std::size_t(0));
        QVERIFY(!QFileInfo::exists(gone));
    }

    void exportedMapsMergeBackIntoAnEmptyAtlasWhole()
    {
        explore(*ours, 1, 0, 1, 1, {1, 0, 2, 8, 1, 'E'});
        explore(*ours, 8, 16, 30, 30, {0, 1, 1, 1, 1, 'u'});
        explore(*ours, 11, 4, 20, 21, {3, 3, 0, 1, 1, '5'});
        explore(*ours, 20, 16, 100, 100, {1, 1, 1, 1, 1, 'd'});
        explore(*ours, 20, 16, 99, 100, {0, 0, 0, 1, 0, 0}); // learned, not explored: not exported as explored
        AppendEntry(*ours->levelLists(20, 16), ListKind::Transitions, PositionEntry(16, 100, 100));
        AppendEntry(*ours->levelLists(1, 0), ListKind::Exits, PositionEntry(0, 1, 1));
        for (int k = 0; k < 10; ++k) {
            AppendEntry(*ours->levelLists(11, 4), ListKind::Traps, PositionEntry(4, k + 1, 2));
            ours->cell(11, 4, k + 1, 2)->Object = 'L';
        }
        ours->setMarkText(11, 4, 20, 21, "сундук\nс ключом");

        const QString out = dir->filePath(QStringLiteral("copy"));
        QVERIFY(QDir().mkpath(out));
        QVERIFY(ExportMaps(*ours, out.toStdString()).ok());
        QVERIFY(SaveMarkers(*ours, out.toStdString(), LinkPolicy::StayInFolder).ok);
        for (const char* name : kNames)
            QVERIFY(QFileInfo::exists(out + QLatin1Char('/') + QLatin1String(name)));

        auto fresh = std::make_unique<Atlas>();
        const OtherMaps other = LoadOtherMaps(*theirs, out.toStdString());
        QVERIFY(other.report.ok());
        QVERIFY(other.missing.empty());
        const MergeResult result = MergeAtlas(*fresh, *theirs);
        QCOMPARE(result.total().cells, 4);
        QCOMPARE(result.total().entries, 12);
        for (unsigned lab = 1; lab <= kLabyrinthCount; ++lab) {
            const int n = LabSide(lab);
            for (int level = 0; level < kLevelCount; ++level) {
                for (int y = 1; y <= n; ++y) {
                    for (int x = 1; x <= n; ++x) {
                        const TMapCell& mine = *ours->cell(lab, level, x, y);
                        if (mine.Explored && !sameCell(*fresh->cell(lab, level, x, y), mine))
                            QFAIL(qPrintable(QStringLiteral("cell %1/%2/%3x%4").arg(lab).arg(level).arg(x).arg(y)));
                    }
                }
            }
            for (ListKind kind : {ListKind::Exits, ListKind::Transitions, ListKind::Traps, ListKind::Flags})
                QCOMPARE(MemoText(*fresh, lab, kind), MemoText(*ours, lab, kind));
        }
        Atlas* markers = fresh.get();
        QCOMPARE(LoadMarkers(*markers, out.toStdString()).read.markers, 1);
        QCOMPARE(markers->markText(11, 4, 20, 21), std::string("сундук\nс ключом"));
    }

    void exportChangesNothingOutsideItsFolder()
    {
        const QString out = dir->filePath(QStringLiteral("copy"));
        const QString elsewhere = dir->filePath(QStringLiteral("elsewhere"));
        QVERIFY(QDir().mkpath(out));
        QVERIFY(QDir().mkpath(elsewhere));
        // A link in map1.map's place and a hard link in map.crd's place, both to files elsewhere.
        QVERIFY(writeAll(elsewhere + QStringLiteral("/linked"), "keep me"));
        QVERIFY(writeAll(elsewhere + QStringLiteral("/hard"), "keep me too"));
        QVERIFY(QFile::link(elsewhere + QStringLiteral("/linked"), out + QStringLiteral("/map1.map")));
        QCOMPARE(::link(QFile::encodeName(elsewhere + QStringLiteral("/hard")).constData(),
                        QFile::encodeName(out + QStringLiteral("/map.crd")).constData()),
                 0);
        // map2.map protected by its owner: refused, kept.
        QVERIFY(writeAll(out + QStringLiteral("/map2.map"), "old"));
        QVERIFY(QFile::setPermissions(out + QStringLiteral("/map2.map"), QFile::ReadOwner));

        explore(*ours, 1, 0, 1, 1, {1, 1, 1, 1, 1, 'n'});
        const MapFilesReport report = ExportMaps(*ours, out.toStdString());
        QCOMPARE(report.problems.size(), std::size_t(2));
        QCOMPARE(report.problems[0].file, std::string("map1.map"));
        QCOMPARE(report.problems[1].file, std::string("map2.map"));
        QCOMPARE(readAll(elsewhere + QStringLiteral("/linked")), QByteArray("keep me"));
        QCOMPARE(readAll(elsewhere + QStringLiteral("/hard")), QByteArray("keep me too"));
        QCOMPARE(readAll(out + QStringLiteral("/map2.map")), QByteArray("old"));
        QCOMPARE(QFileInfo(out + QStringLiteral("/map.crd")).size(), qint64(1444660));
        QCOMPARE(QFileInfo(out + QStringLiteral("/map3.map")).size(), qint64(7140000));
        QVERIFY(QFileInfo(out + QStringLiteral("/map1.map")).isSymLink());
        QCOMPARE(QDir(out).entryList({QStringLiteral("*.tmp-*")}, QDir::Files | QDir::Hidden), QStringList());
        QFile::setPermissions(out + QStringLiteral("/map2.map"), QFile::ReadOwner | QFile::WriteOwner);
    }

    void sameFolderSeesThroughLinksAndSpellings()
    {
        const QString a = dir->filePath(QStringLiteral("a"));
        QVERIFY(QDir().mkpath(a));
        QVERIFY(QFile::link(a, dir->filePath(QStringLiteral("link"))));
        QVERIFY(SameFolder(a.toStdString(), dir->filePath(QStringLiteral("link")).toStdString()));
        QVERIFY(SameFolder(a.toStdString(), (dir->path() + QStringLiteral("/./a/")).toStdString()));
        QVERIFY(!SameFolder(a.toStdString(), dir->path().toStdString()));
        QVERIFY(!SameFolder(a.toStdString(), dir->filePath(QStringLiteral("none")).toStdString()));
    }
};

QTEST_GUILESS_MAIN(TestMerge)
#include "tst_merge.moc"
