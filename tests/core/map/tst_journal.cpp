// The recovery journal: what is journaled replays to the same atlas, whatever changed it; a torn or damaged
// file gives what it holds up to the damage; a header tells whether it belongs to the map files.
#include "map/atlasdiff.h"
#include "map/journal.h"
#include "map/mapfiles.h"
#include "map/markerfile.h"
#include "map/marks.h"
#include "map/merge.h"
#include "map/selection.h"
#include "map/undo.h"
#include "testsupport.h"
#include "text/cp1251.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>
#include <cstring>
#include <memory>

using namespace veldor;
using namespace veldor::test;

namespace {

bool sameAtlas(const Atlas& a, const Atlas& b)
{
    for (auto t : {MapTable::Map1, MapTable::Map2, MapTable::Map3, MapTable::MapCrd}) {
        const auto x = a.bytes(t);
        const auto y = b.bytes(t);
        if (x.size() != y.size() || std::memcmp(x.data(), y.data(), x.size()) != 0)
            return false;
    }
    const auto ma = a.markers();
    const auto mb = b.markers();
    return std::equal(ma.begin(), ma.end(), mb.begin(), mb.end(), [](const auto& p, const auto& q) {
        return std::tie(p.lab, p.level, p.x, p.y, p.text) == std::tie(q.lab, q.level, q.x, q.y, q.text);
    });
}

// What the reader does on a cell: passages, explored, an entry in a list.
void walkOnto(Atlas& atlas, unsigned lab, int level, int x, int y)
{
    TMapCell* c = atlas.cell(lab, level, x, y);
    *c = TMapCell{1, 0, 2, 1, 1, 'n'};
    AppendEntry(*atlas.levelLists(lab, level), ListKind::Traps, PositionEntry(level, x, y));
}

} // namespace

class TestJournal : public QObject
{
    Q_OBJECT

    QTemporaryDir dir;
    std::string path() const { return dir.filePath(QStringLiteral("map.journal")).toStdString(); }
    JournalRead readBack() const { return ParseJournal(readAll(QString::fromStdString(path())).toStdString()); }

private slots:
    void init() { QFile::remove(QString::fromStdString(path())); }

    void replayEqualsTheJournaledAtlasAcrossEveryKindOfChange()
    {
        auto atlas = std::make_unique<Atlas>();
        walkOnto(*atlas, 3, 0, 5, 5); // on disk before the journal starts
        atlas->setMarkText(3, 0, 5, 5, "old");
        const auto loaded = std::make_unique<Atlas>(*atlas);
        const JournalBase base = BaseOf(*atlas, {1, 2, 3, 4});

        JournalWriter writer(path());
        writer.rebase(*atlas, base);
        QVERIFY(!writer.capture(*atlas, 3)); // nothing changed: no file
        QVERIFY(!writer.active());
        QVERIFY(!QFile::exists(QString::fromStdString(path())));

        walkOnto(*atlas, 3, 0, 6, 5); // the reader, in a small labyrinth
        QVERIFY(!writer.capture(*atlas, 3));
        QVERIFY(writer.active());
        walkOnto(*atlas, 20, 16, 100, 100); // in a big one, at its far corner
        walkOnto(*atlas, 20, 16, 99, 100);
        QVERIFY(!writer.capture(*atlas, 20));
        QVERIFY(AddTrap(*atlas, 9, 4, 10, 10)); // popup marks
        QVERIFY(AddDescent(*atlas, 9, 4, 11, 10));
        QVERIFY(SetChest(*atlas, 9, 4, 12, 10, '5'));
        QVERIFY(SetMarker(*atlas, 9, 4, 12, 10, cp1251::fromUtf8(u8"сундук\r\nза дверью")));
        QVERIFY(!writer.capture(*atlas, 9));
        QVERIFY(ClearCell(*atlas, 9, 4, 11, 10)); // a clear, with its paired cell below
        atlas->setMarkText(3, 0, 5, 5, "new text");
        QVERIFY(!writer.capture(*atlas, 9)); // markers are looked at whatever the labyrinth
        ClearTraps(*atlas, 3);               // a list's X button
        QVERIFY(!writer.capture(*atlas, 3));
        ClearLabyrinth(*atlas, 20); // "Очистить карту"
        QVERIFY(!writer.capture(*atlas, 20));
        walkOnto(*atlas, 1, 2, 3, 4);
        for (unsigned lab = 1; lab <= kLabyrinthCount; ++lab) // "Очистить все карты"
            ClearLabyrinth(*atlas, lab);
        walkOnto(*atlas, 14, 1, 1, 1);
        QVERIFY(!writer.capture(*atlas, 0));
        writer.flush();

        const JournalRead read = readBack();
        QVERIFY(read.usable);
        QVERIFY(!read.tornTail);
        QCOMPARE(read.base, base);
        QVERIFY(read.cells > 0);
        QVERIFY(read.lastChange > 0);
        auto replayed = std::make_unique<Atlas>(*loaded);
        ReplayJournal(read, *replayed);
        QVERIFY(sameAtlas(*replayed, *atlas));
    }

    void aTornOrDamagedTailEndsTheJournalThere()
    {
        auto atlas = std::make_unique<Atlas>();
        JournalWriter writer(path());
        writer.rebase(*atlas, BaseOf(*atlas, {}));
        walkOnto(*atlas, 1, 0, 1, 1);
        QVERIFY(!writer.capture(*atlas, 1));
        const auto first = std::make_unique<Atlas>(*atlas);
        walkOnto(*atlas, 1, 0, 2, 1);
        QVERIFY(!writer.capture(*atlas, 1));
        writer.flush();
        const QByteArray whole = readAll(QString::fromStdString(path()));

        for (const QByteArray& damaged : {whole.left(whole.size() - 3), whole + QByteArray("\x10\0\0\0garbage", 12)}) {
            const JournalRead read = ParseJournal(damaged.toStdString());
            QVERIFY(read.usable);
            QVERIFY(read.tornTail);
            auto replayed = std::make_unique<Atlas>();
            ReplayJournal(read, *replayed);
            if (damaged.size() > whole.size()) {
                QVERIFY(sameAtlas(*replayed, *atlas));
            } else {
                // The cut record was the second step's list entry; its cell, in the record before, is there.
                auto expected = std::make_unique<Atlas>(*first);
                *expected->cell(1, 0, 2, 1) = *atlas->cell(1, 0, 2, 1);
                QVERIFY(sameAtlas(*replayed, *expected));
            }
        }
        // A flipped byte inside a record: that record and everything after it are left out.
        QByteArray flipped = whole;
        flipped[flipped.size() - 2] = static_cast<char>(flipped[flipped.size() - 2] ^ 0x40);
        QVERIFY(ParseJournal(flipped.toStdString()).tornTail);

        // A damaged header makes the whole file unusable.
        QByteArray header = whole;
        header[12] = static_cast<char>(header[12] ^ 1);
        QVERIFY(!ParseJournal(header.toStdString()).usable);
        QVERIFY(!ParseJournal({}).usable);
        QVERIFY(!ParseJournal("VLDJRNL").usable);
    }

    void theHeaderTellsWhetherTheMapFilesAreTheSame()
    {
        auto atlas = std::make_unique<Atlas>();
        walkOnto(*atlas, 2, 0, 1, 1);
        const JournalBase base = BaseOf(*atlas, {550800, 1142400, 7140000, 1444660});
        QCOMPARE(BaseOf(*atlas, {550800, 1142400, 7140000, 1444660}), base);
        walkOnto(*atlas, 2, 0, 2, 1); // the files were replaced by other maps
        QVERIFY(!(BaseOf(*atlas, {550800, 1142400, 7140000, 1444660}) == base));
        const auto empty = std::make_unique<Atlas>(); // an atlas is 10 MB: never on the stack
        QVERIFY(
            !(BaseOf(*empty, {1, 1142400, 7140000, 1444660}) == BaseOf(*empty, {550800, 1142400, 7140000, 1444660})));
    }

    void aSaveOrADiscardEndsTheJournal()
    {
        auto atlas = std::make_unique<Atlas>();
        JournalWriter writer(path());
        writer.rebase(*atlas, BaseOf(*atlas, {}));
        walkOnto(*atlas, 1, 0, 1, 1);
        QVERIFY(!writer.capture(*atlas, 1));
        QVERIFY(QFile::exists(QString::fromStdString(path())));
        writer.rebase(*atlas, BaseOf(*atlas, {})); // the maps were saved
        QVERIFY(!QFile::exists(QString::fromStdString(path())));
        QVERIFY(!writer.capture(*atlas, 1)); // and nothing is left to journal
        QVERIFY(!QFile::exists(QString::fromStdString(path())));

        walkOnto(*atlas, 1, 0, 2, 1);
        QVERIFY(!writer.capture(*atlas, 1));
        writer.discard(); // "Нет" at close
        QVERIFY(!QFile::exists(QString::fromStdString(path())));
    }

    // A save that wrote some files and not others: the journal goes on against the files as they now are, so
    // that the next start finds its header matching them and the replay gives back the whole atlas.
    void aPartlyWrittenSaveStartsTheJournalAgainstTheFilesOnDisk()
    {
        QTemporaryDir maps;
        const std::string folder = maps.path().toStdString();
        auto atlas = std::make_unique<Atlas>();
        QVERIFY(SaveMaps(*atlas, folder).ok());
        JournalWriter writer(path());
        writer.rebase(*atlas, BaseOf(*atlas, MapFileSizes(folder)));
        walkOnto(*atlas, 1, 0, 1, 1);    // map1.map and map.crd
        walkOnto(*atlas, 14, 3, 50, 50); // map3.map and map.crd
        atlas->setMarkText(14, 3, 50, 50, "x");
        QVERIFY(!writer.capture(*atlas, 0));
        const QByteArray before = readAll(QString::fromStdString(path()));

        // map1.map and map.crd are written; map3.map and markers.txt are not.
        for (MapTable t : {MapTable::Map1, MapTable::MapCrd}) {
            const auto bytes = atlas->bytes(t);
            const char* name = t == MapTable::Map1 ? "/map1.map" : "/map.crd";
            QVERIFY(replaceFileContents(folder + name, bytes.data(), bytes.size(), 0644).ok);
        }
        auto onDisk = std::make_unique<Atlas>();
        QVERIFY(LoadMaps(*onDisk, folder, false).ok());
        QVERIFY(!writer.restart(*onDisk, BaseOf(*onDisk, MapFileSizes(folder)), *atlas));
        QVERIFY(readAll(QString::fromStdString(path())) != before);

        const JournalRead read = readBack();
        QVERIFY(read.usable);
        QCOMPARE(read.cells, std::size_t(1)); // only the cell map3.map lacks; map1.map has its own
        auto next = std::make_unique<Atlas>();
        QVERIFY(LoadMaps(*next, folder, false).ok());
        QCOMPARE(read.base, BaseOf(*next, MapFileSizes(folder)));
        ReplayJournal(read, *next);
        QVERIFY(sameAtlas(*next, *atlas));

        // Later changes go on into the same journal.
        walkOnto(*atlas, 14, 3, 51, 50);
        QVERIFY(!writer.capture(*atlas, 14));
        QCOMPARE(readBack().cells, std::size_t(2));

        // Everything written at last: nothing is left unsaved, and the journal goes.
        QVERIFY(SaveMaps(*atlas, folder).ok());
        QVERIFY(SaveMarkers(*atlas, folder).ok);
        QVERIFY(LoadMaps(*onDisk, folder, false).ok());
        QVERIFY(LoadMarkers(*onDisk, folder).problem.empty());
        QVERIFY(!writer.restart(*onDisk, BaseOf(*onDisk, MapFileSizes(folder)), *atlas));
        QVERIFY(!QFile::exists(QString::fromStdString(path())));
    }

    // What the restore question counts: the saved atlas holds two walked cells with a trap entry in labyrinth 2.
    void aComparisonCountsEachKindOfChange_data()
    {
        QTest::addColumn<char>("change");
        QTest::addColumn<QList<int>>("counts"); // explored, cleared, changed, entries, markers, labyrinths cleared
        QTest::newRow("a cell walked") << 'w' << QList<int>{1, 0, 0, 1, 0, 0};
        QTest::newRow("a mark by hand") << 'h' << QList<int>{0, 0, 1, 0, 0, 0};
        QTest::newRow("a marker only") << 'm' << QList<int>{0, 0, 0, 0, 1, 0};
        QTest::newRow("a labyrinth cleared") << 'c' << QList<int>{0, 2, 0, 2, 0, 1};
        QTest::newRow("nothing") << 'n' << QList<int>{0, 0, 0, 0, 0, 0};
    }
    void aComparisonCountsEachKindOfChange()
    {
        QFETCH(char, change);
        auto saved = std::make_unique<Atlas>();
        walkOnto(*saved, 2, 0, 5, 5);
        walkOnto(*saved, 2, 0, 6, 5);
        auto now = std::make_unique<Atlas>(*saved);
        if (change == 'w')
            walkOnto(*now, 1, 3, 7, 7);
        else if (change == 'h')
            now->cell(1, 0, 9, 9)->Object = 'F';
        else if (change == 'm')
            now->setMarkText(2, 0, 5, 5, "Тайник");
        else if (change == 'c')
            ClearLabyrinth(*now, 2);
        const AtlasDiff d = CompareAtlases(*saved, *now);
        QTEST((QList<int>{int(d.explored), int(d.cleared), int(d.changed), int(d.entries), int(d.markers),
                          int(d.labsCleared.size())}),
              "counts");
        QCOMPARE(d.empty(), change == 'n');
    }

    // The journal grows with what an action changed, not with the size of the atlas, and a crash right after it
    // (the file read back as it stands) gives the atlas as it was.
    void theJournalGrowsWithWhatAnActionChanged_data()
    {
        // c: clear a cell, l: clear labyrinth 20, a: clear all, u: undo, r: redo, m: a merge
        QTest::addColumn<QString>("actions");
        QTest::addColumn<int>("pairs");     // undo and redo after them, so many times
        QTest::addColumn<bool>("explored"); // every cell of labyrinth 20 explored, not only 8 cells
        QTest::addColumn<int>("compactAt"); // KiB
        QTest::addColumn<int>("maxKiB");
        QTest::newRow("a cell cleared") << "c" << 0 << false << 65536 << 1;
        QTest::newRow("a labyrinth cleared") << "l" << 0 << false << 65536 << 2;
        QTest::newRow("the atlas cleared") << "a" << 0 << false << 65536 << 8;
        QTest::newRow("undone") << "au" << 0 << false << 65536 << 16;
        QTest::newRow("redone") << "aur" << 0 << false << 65536 << 24;
        QTest::newRow("undone and redone 100 times") << "a" << 100 << false << 65536 << 1024;
        QTest::newRow("a merge") << "m" << 0 << false << 65536 << 2;
        QTest::newRow("undone and redone on a walked labyrinth") << "l" << 20 << true << 512 << 4096;
    }
    void theJournalGrowsWithWhatAnActionChanged()
    {
        QFETCH(QString, actions);
        QFETCH(int, pairs);
        QFETCH(bool, explored);
        QFETCH(int, compactAt);
        auto atlas = std::make_unique<Atlas>();
        for (int i = 0; i < 8; ++i)
            walkOnto(*atlas, 1 + i, 0, 3, 3 + i);
        QVERIFY(AddTrap(*atlas, 1, 0, 3, 3));
        for (int x = 1; explored && x <= 100; ++x)
            for (int y = 1; y <= 100; ++y)
                for (int level = 0; level < kLevelCount; ++level)
                    *atlas->cell(20, level, x, y) = TMapCell{1, 0, 2, 1, 1, "nTFLn"[(x + y + level) % 5]};
        const auto loaded = std::make_unique<Atlas>(*atlas);
        JournalWriter writer(path(), std::chrono::seconds(5), std::uint64_t(compactAt) << 10);
        writer.rebase(*atlas, BaseOf(*atlas, {}));
        UndoHistory history;
        int pairStep = 0;
        for (const QChar action : actions + QString(2 * pairs, QLatin1Char('x'))) {
            const char kind = action == QLatin1Char('x') ? "ur"[pairStep++ % 2] : action.toLatin1();
            if (kind == 'u' || kind == 'r') {
                QVERIFY(kind == 'u' ? history.undo(*atlas) : history.redo(*atlas));
            } else {
                const UndoHistory::Before before(*atlas, 0);
                if (kind == 'c') {
                    QVERIFY(ClearCell(*atlas, 1, 0, 3, 3));
                } else if (kind == 'm') {
                    auto theirs = std::make_unique<Atlas>();
                    walkOnto(*theirs, 14, 2, 9, 9);
                    theirs->setMarkText(14, 2, 9, 9, "их маркер");
                    MergeAtlas(*atlas, *theirs);
                } else {
                    for (unsigned lab = kind == 'a' ? 1 : 20; lab <= kLabyrinthCount; ++lab)
                        ClearLabyrinth(*atlas, lab);
                }
                QVERIFY(history.record(before, *atlas, "action"));
            }
            QVERIFY(!writer.capture(*atlas, 0));
        }
        writer.flush();
        QFETCH(int, maxKiB);
        const qint64 size = QFileInfo(QString::fromStdString(path())).size();
        QVERIFY2(size <= qint64(maxKiB) << 10, qPrintable(QString::number(size)));
        auto replayed = std::make_unique<Atlas>(*loaded);
        const JournalFile file = ReplayJournalFile(path(), *replayed);
        QVERIFY(file.status == ReadStatus::Ok && file.read.usable && !file.read.tornTail);
        QVERIFY(sameAtlas(*replayed, *atlas));
    }

    void aFolderThatCannotHoldTheJournalIsToldAndTriedAgain()
    {
        QTemporaryDir folder;
        const std::string journal = folder.filePath(QStringLiteral("map.journal")).toStdString();
        auto atlas = std::make_unique<Atlas>();
        JournalWriter writer(journal, std::chrono::milliseconds(0));
        writer.rebase(*atlas, BaseOf(*atlas, {}));
        QVERIFY(QFile::setPermissions(folder.path(), QFileDevice::ReadOwner | QFileDevice::ExeOwner));
        {
            ScopedUnprivileged user;
            walkOnto(*atlas, 1, 0, 1, 1);
            const auto problem = writer.capture(*atlas, 1);
            QVERIFY(problem.has_value());
            QVERIFY(!problem->empty());
        }
        QVERIFY(QFile::setPermissions(folder.path(),
                                      QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner));
        // The change made while it failed is journaled with the next one, in another labyrinth.
        walkOnto(*atlas, 14, 0, 1, 1);
        QVERIFY(!writer.capture(*atlas, 14));
        writer.flush();
        auto replayed = std::make_unique<Atlas>();
        ReplayJournal(ParseJournal(readAll(QString::fromStdString(journal)).toStdString()), *replayed);
        QVERIFY(sameAtlas(*replayed, *atlas));
    }
};

QTEST_GUILESS_MAIN(TestJournal)
#include "tst_journal.moc"
