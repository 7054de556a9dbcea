// The rules of a group's shared folder: member names, what sync engines leave lying about, when a member's
// maps are whole, which subfolders are members, the live file, and that each member passes on only its own.
#include "map/atlas.h"
#include "map/groupcells.h"
#include "map/levellinks.h"
#include "map/livefile.h"
#include "map/mapfiles.h"
#include "map/merge.h"
#include "map/squad.h"
#include "testsupport.h"
#include "text/hash.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>
#include <memory>
#include <unistd.h>

using namespace veldor;
using namespace veldor::test;

class TestSquad : public QObject
{
    Q_OBJECT

    static SquadMemberScan whole(std::int64_t modifiedMs)
    {
        SquadMemberScan scan{"Alpha", {}, {}};
        for (std::size_t i = 0; i < 4; ++i)
            scan.maps[i] = SquadFileStamp{MapFiles()[i].size, modifiedMs};
        return scan;
    }

    static LiveFile aLiveFile()
    {
        LiveFile live;
        live.startedMs = 1000;
        live.writtenMs = 5000;
        live.sequence = 3;
        live.place = AtlasPlace{1, 2, 7, 8};
        live.placeMs = 4900;
        live.cells = {{{1, 2, 7, 8}, {1, 0, 0, 1, 1, 'E'}}, {{1, 2, 8, 8}, {0, 0, 1, 0, 1, 0}}};
        live.markers = {{{1, 2, 7, 8}, "\xf2\xe0\xe9\xed\xe8\xea"}}; // "тайник"
        live.links = {{1, {2, 8, 8}, {3, 8, 8}}};
        return live;
    }
    // A live file with one more record line, sealed as the writer seals it.
    static std::string withLine(const std::string& line)
    {
        std::string body = WriteLiveFile(aLiveFile());
        body.erase(body.rfind("end "));
        body += line + "\n";
        char end[64];
        std::snprintf(end, sizeof end, "end %zu %016llx\n", body.size(),
                      static_cast<unsigned long long>(Fnv1a(body.data(), body.size())));
        return body + end;
    }

private slots:
    // What the reader makes of the bytes a sync engine has delivered so far.
    void aLiveFileIsReadOnlyWhole_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("status");
        const std::string whole = WriteLiveFile(aLiveFile());
        QTest::newRow("whole") << QByteArray::fromStdString(whole) << int(LiveStatus::Ok);
        QTest::newRow("half") << QByteArray::fromStdString(whole.substr(0, whole.size() / 2))
                              << int(LiveStatus::Incomplete);
        QTest::newRow("all but the last byte")
            << QByteArray::fromStdString(whole.substr(0, whole.size() - 1)) << int(LiveStatus::Incomplete);
        std::string changed = whole;
        changed[40] = changed[40] == '1' ? '2' : '1';
        QTest::newRow("a byte changed") << QByteArray::fromStdString(changed) << int(LiveStatus::BadChecksum);
        QTest::newRow("a line lost") << QByteArray::fromStdString(whole.substr(0, 14) +
                                                                  whole.substr(whole.find('\n', 14) + 1))
                                     << int(LiveStatus::Incomplete);
        QTest::newRow("over the bound") << QByteArray::fromStdString(withLine(std::string(LiveFile::kMaxBytes, 'x')))
                                        << int(LiveStatus::TooLarge);
        QTest::newRow("another file") << QByteArray("name=Alpha\n") << int(LiveStatus::NotLive);
        QTest::newRow("empty") << QByteArray() << int(LiveStatus::Incomplete);
    }
    void aLiveFileIsReadOnlyWhole()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(int, status);
        const LiveRead read = ReadLiveFile(bytes.toStdString());
        QCOMPARE(int(read.status), status);
        if (read.status != LiveStatus::Ok)
            return;
        QCOMPARE(read.skipped, std::size_t{0});
        QCOMPARE(WriteLiveFile(read.live), bytes.toStdString()); // every field read back
    }

    // Records naming what cannot be are left out, the rest of the file is taken.
    void impossibleRecordsAreSkipped_data()
    {
        QTest::addColumn<QString>("line");
        QTest::newRow("labyrinth 21") << "cell 21 0 5 5 1 0 0 0 1 0";
        QTest::newRow("past the side of 30") << "cell 1 0 31 5 1 0 0 0 1 0";
        QTest::newRow("level 17") << "cell 1 17 5 5 1 0 0 0 1 0";
        QTest::newRow("side code 9") << "cell 1 0 5 5 9 0 0 0 1 0";
        QTest::newRow("not explored") << "cell 1 0 5 5 1 0 0 0 0 0";
        QTest::newRow("unknown object") << "cell 1 0 5 5 1 0 0 0 1 90";
        QTest::newRow("a byte over 255") << "cell 1 0 5 5 1 0 0 0 1 300";
        QTest::newRow("numbers missing") << "cell 1 0 5";
        QTest::newRow("place off the map") << "place 1 0 0 5 100";
        QTest::newRow("marker not hex") << "marker 1 0 5 5 zz";
        QTest::newRow("marker of no text") << "marker 1 0 5 5 ";
        QTest::newRow("link on one level") << "link 1 2 5 5 2 6 6";
        QTest::newRow("unknown record") << "teleport 1 2 3";
    }
    void impossibleRecordsAreSkipped()
    {
        QFETCH(QString, line);
        const LiveRead read = ReadLiveFile(withLine(line.toStdString()));
        QCOMPARE(int(read.status), int(LiveStatus::Ok));
        QCOMPARE(read.skipped, std::size_t{1});
        QCOMPARE(WriteLiveFile(read.live), WriteLiveFile(aLiveFile()));
    }

    // A live file older than the member's full maps, or from an earlier run, adds nothing.
    void staleLiveFiles_data()
    {
        QTest::addColumn<QByteArray>("member");
        QTest::addColumn<bool>("current");
        QTest::newRow("after the maps") << QByteArray("startedMs=1000\nwrittenMs=4000\n") << true;
        QTest::newRow("older than the maps") << QByteArray("startedMs=1000\nwrittenMs=6000\n") << false;
        QTest::newRow("from an earlier run") << QByteArray("startedMs=2000\nwrittenMs=2500\n") << false;
        QTest::newRow("an older member.txt") << QByteArray("name=Alpha\nwritten=2026-12-10T10:00:00\n") << true;
    }
    void staleLiveFiles()
    {
        QFETCH(QByteArray, member);
        QTEST(LiveIsCurrent(aLiveFile(), ReadMemberStamp(member.toStdString())), "current");
    }

    // Taken as a merge takes: cells where ours knows nothing with their entries, markers where we have none.
    void aLiveFileIsTakenWithTheGroupRules()
    {
        auto ours = std::make_unique<Atlas>();
        *ours->cell(1, 2, 8, 8) = {1, 1, 1, 1, 1, 0}; // walked by us
        ours->cell(1, 3, 8, 8)->Explored = 1;
        ours->cell(1, 3, 8, 8)->Object = 'u';
        ours->cell(1, 2, 8, 8)->Object = 'd';
        LevelLinks links;
        LiveTake taken = TakeLiveFile(*ours, links, aLiveFile(), {10, {}});
        QCOMPARE(taken.cells, 1);
        QCOMPARE(ours->cell(1, 2, 7, 8)->Object, 'E');
        QCOMPARE(ours->cell(1, 2, 8, 8)->West, std::uint8_t{1}); // ours kept
        QCOMPARE(taken.entries, 1);
        QCOMPARE(MemoText(*ours, 1, ListKind::Exits), PositionEntry(2, 7, 8));
        QCOMPARE(taken.markers, 1);
        QCOMPARE(taken.links, 1);
        QCOMPARE(taken.cellsTaken, (std::vector<AtlasPlace>{{1, 2, 7, 8}}));
        taken = TakeLiveFile(*ours, links, aLiveFile(), {10, {}});
        QCOMPARE(taken.cells + taken.entries + taken.markers + taken.links, 0); // again: nothing new
        auto fresh = std::make_unique<Atlas>();
        QCOMPARE(TakeLiveFile(*fresh, links, aLiveFile(), {0, {}}).markers, 0); // the group's bound reached
    }

    // A member whose maps one refused never reaches one through a third who took them in.
    void eachMemberPassesOnOnlyItsOwn()
    {
        auto refused = std::make_unique<Atlas>(); // mapped 3 cells
        for (int x = 1; x <= 3; ++x)
            refused->cell(1, 0, x, 1)->Explored = 1;
        auto third = std::make_unique<Atlas>(); // walked one of its own
        third->cell(1, 0, 9, 9)->Explored = 1;
        GroupCells group;
        MergeOptions options;
        options.cellTaken = [&](const AtlasPlace& p) { group.add(p); };
        QCOMPARE(MergeAtlas(*third, *refused, options).total().cells, 3);
        group.own({1, 0, 2, 1}); // walked there since: its own now
        QCOMPARE(GroupCells::parse(group.bytes()).size(), std::size_t{2});
        auto written = std::make_unique<Atlas>(*third);
        GroupCells::parse(group.bytes()).stripFrom(*written);
        auto me = std::make_unique<Atlas>();
        QCOMPARE(MergeAtlas(*me, *written).total().cells, 2); // 9x9 and the cell it walked
        QVERIFY(me->cell(1, 0, 1, 1)->Explored == 0 && me->cell(1, 0, 2, 1)->Explored == 1);
        QCOMPARE(GroupCells::parse("short").size(), std::size_t{0});
    }

    void names_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("member");
        QTest::addColumn<bool>("temporary");
        QTest::newRow("latin") << "Alpha-2_b" << true << false;
        QTest::newRow("cyrillic") << "Игрок_1" << true << false;
        QTest::newRow("space") << "a b" << false << false;
        QTest::newRow("path") << "../x" << false << false;
        QTest::newRow("empty") << "" << false << false;
        QTest::newRow("too long") << QString(33, QLatin1Char('a')) << false << false;
        QTest::newRow("syncthing temporary") << ".syncthing.map1.map.tmp" << false << true;
        QTest::newRow("syncthing conflict") << "map1.sync-conflict-20261209-120000-ABCDEFG.map" << false << true;
        QTest::newRow("partial download") << "map3.map.part" << false << true;
        QTest::newRow("lock") << "~$map.crd" << false << true;
        QTest::newRow("cloud conflict") << "map.crd (Conflicted Copy 2026-12-09)" << false << true;
        QTest::newRow("a map file") << "map1.map" << false << false;
        QTest::newRow("greek") << "Αλφα" << true << false;
        QTest::newRow("mixed scripts") << "Рutnik" << false << false; // a Cyrillic «Р»
        QTest::newRow("sign of latin-1") << "a×b" << false << false;
    }

    void names()
    {
        QFETCH(QString, name);
        QFETCH(bool, member);
        QFETCH(bool, temporary);
        const QByteArray utf8 = name.toUtf8();
        QCOMPARE(ValidMemberName(utf8.toStdString()), member);
        QCOMPARE(IsSyncTemporary(utf8.toStdString()), temporary);
    }

    void readiness()
    {
        const std::int64_t now = 1'000'000;
        QCOMPARE(JudgeMember(whole(now - 5000), now), MemberReadiness::Ready);
        QCOMPARE(JudgeMember(whole(now - 1000), now), MemberReadiness::Arriving); // changed a second ago
        SquadMemberScan shortFile = whole(now - 5000);
        shortFile.maps[2]->size -= 7;
        QCOMPARE(JudgeMember(shortFile, now), MemberReadiness::Arriving);
        SquadMemberScan missing = whole(now - 5000);
        missing.maps[3].reset();
        QCOMPARE(JudgeMember(missing, now), MemberReadiness::Absent);
    }

    // Our own subfolder, links, files and names no member has are no members.
    void membersOfAFolder()
    {
        QTemporaryDir dir;
        const QString root = dir.path();
        for (const char* sub : {"Alpha", "Bravo", "Me", ".syncthing.Delta.tmp", "Echo.sync-conflict-1"})
            QVERIFY(QDir(root).mkpath(QString::fromUtf8(sub)));
        QVERIFY(writeAll(root + "/Alpha/map1.map", QByteArray(int(MapFiles()[0].size), '\0')));
        QVERIFY(writeAll(root + "/Alpha/.syncthing.map2.map.tmp", QByteArray(int(MapFiles()[1].size), '\0')));
        QVERIFY(::symlink((root + "/Alpha/map1.map").toUtf8().constData(),
                          (root + "/Bravo/map1.map").toUtf8().constData()) == 0);
        QVERIFY(::symlink((root + "/Alpha").toUtf8().constData(), (root + "/Charlie").toUtf8().constData()) == 0);
        QVERIFY(writeAll(root + "/Foxtrot", "not a folder"));
        const auto members = ScanSquadFolder(root.toStdString(), "Me");
        QCOMPARE(members.size(), std::size_t{2});
        QCOMPARE(members[0].name, std::string("Alpha"));
        QCOMPARE(members[0].maps[0]->size, MapFiles()[0].size);
        QVERIFY(!members[0].maps[1]); // only arriving under a temporary name
        QCOMPARE(members[1].name, std::string("Bravo"));
        QVERIFY(!members[1].maps[0]); // a link is not a map file
        QCOMPARE(members[1].problem, std::string("map1.map: ссылка, а не файл"));
        QCOMPARE(members[0].problem, std::string("map2.map: нет файла"));
    }

    void namesThatLookAlike()
    {
        QVERIFY(NamesLookAlike("Putnik", "Рutnik"));
        QVERIFY(NamesLookAlike("Hero", "hero"));
        QVERIFY(!NamesLookAlike("Hero", "Hero"));
        QVERIFY(!NamesLookAlike("Hero", "Heron"));
    }

    // What may be the shared folder, and what stands where our own subfolder goes.
    void folderShapes_data()
    {
        QTest::addColumn<QString>("shared"); // relative to a temporary root; the working folder is "work"
        QTest::addColumn<QString>("own");    // what to put at <shared>/Me: "", "folder", "link", "file"
        QTest::addColumn<bool>("refused");
        QTest::addColumn<int>("state");
        QTest::newRow("a folder of its own") << "group"
                                             << "" << false << int(OwnFolder::Missing);
        QTest::newRow("ours there") << "group"
                                    << "folder" << false << int(OwnFolder::Folder);
        QTest::newRow("ours a link") << "group"
                                     << "link" << false << int(OwnFolder::Link);
        QTest::newRow("ours a file") << "group"
                                     << "file" << false << int(OwnFolder::Other);
        QTest::newRow("missing") << "gone"
                                 << "" << false << int(OwnFolder::NoSharedFolder);
        QTest::newRow("the working folder") << "work"
                                            << "" << true << int(OwnFolder::Missing);
        QTest::newRow("inside the working folder") << "work/group"
                                                   << "" << true << int(OwnFolder::Missing);
        QTest::newRow("holding the working folder") << "."
                                                    << "" << true << int(OwnFolder::Missing);
    }
    void folderShapes()
    {
        QFETCH(QString, shared);
        QFETCH(QString, own);
        QTemporaryDir dir;
        const QString root = dir.path();
        QVERIFY(QDir(root).mkpath(QStringLiteral("work/group")) && QDir(root).mkpath(QStringLiteral("group")));
        const QString folder = QDir::cleanPath(root + "/" + shared);
        const QString me = folder + QStringLiteral("/Me");
        if (own == QLatin1String("folder"))
            QVERIFY(QDir().mkpath(me));
        else if (own == QLatin1String("link"))
            QVERIFY(::symlink(QString(root + "/work").toUtf8().constData(), me.toUtf8().constData()) == 0);
        else if (own == QLatin1String("file"))
            QVERIFY(writeAll(me, "x"));
        QTEST(!SharedFolderProblem(folder.toStdString(), (root + "/work").toStdString()).empty(), "refused");
        QTEST(int(LookAtOwnFolder(folder.toStdString(), "Me")), "state");
    }

    // Our write-out into the group folder: all seven files into our own subfolder, or nothing and the reason.
    void ourFilesGoIntoOurSubfolderOnly_data()
    {
        QTest::addColumn<QString>("own"); // what stands at <shared>/Me first: "", "folder", "link", "file", "other id"
        QTest::addColumn<bool>("shared"); // the shared folder is there
        QTest::addColumn<bool>("moved");  // it was on another disk when last written
        QTest::addColumn<QString>("problem");
        QTest::newRow("first time") << "" << true << false << "";
        QTest::newRow("ours there") << "folder" << true << false << "";
        QTest::newRow("another computer's name") << "other id" << true << false << "";
        QTest::newRow("ours a link") << "link" << true << false << "ссылка, а не папка";
        QTest::newRow("ours a file") << "file" << true << false << "лежит файл";
        QTest::newRow("no shared folder") << "" << false << false << "нет (диск отключён";
        QTest::newRow("another disk, none of ours") << "" << true << true << "на другом диске";
        QTest::newRow("another disk, ours there") << "folder" << true << true << "";
    }
    void ourFilesGoIntoOurSubfolderOnly()
    {
        QFETCH(QString, own);
        QFETCH(bool, shared);
        QFETCH(bool, moved);
        QFETCH(QString, problem);
        QTemporaryDir dir;
        QTemporaryDir elsewhere;
        const QString group = dir.filePath(QStringLiteral("group"));
        const QString me = group + QStringLiteral("/Me");
        if (shared)
            QVERIFY(QDir().mkpath(group));
        if (own == QLatin1String("folder"))
            QVERIFY(QDir().mkpath(me) && writeAll(me + "/member.txt", "name=Me\nid=ours\n"));
        else if (own == QLatin1String("other id"))
            QVERIFY(QDir().mkpath(me) && writeAll(me + "/member.txt", "name=Me\nid=theirs\n"));
        else if (own == QLatin1String("link"))
            QVERIFY(::symlink(elsewhere.path().toUtf8().constData(), me.toUtf8().constData()) == 0);
        else if (own == QLatin1String("file"))
            QVERIFY(writeAll(me, "x"));
        auto atlas = std::make_unique<Atlas>();
        atlas->cell(1, 0, 2, 2)->Explored = 1;
        atlas->setMarkText(1, 0, 2, 2, "klad");
        LevelLinks links;
        QVERIFY(links.add({1, {0, 2, 2}, {1, 2, 2}}));
        const std::uint64_t device = moved ? DeviceOf(group.toStdString()) + 1 : 0;
        const MemberWriteOut out =
            WriteMemberFolder(*atlas, links, group.toStdString(), {"Me", "ours", "1.0", "now"}, 0, device);
        QCOMPARE(QString::fromStdString(out.problem).contains(problem), true);
        QCOMPARE(out.problem.empty(), problem.isEmpty());
        QCOMPARE(out.otherId, own == QLatin1String("other id"));
        QVERIFY(QDir(elsewhere.path()).isEmpty());
        if (!problem.isEmpty())
            return;
        QCOMPARE(
            QDir(me).entryList(QDir::Files | QDir::Hidden, QDir::Name),
            QStringList({"links.txt", "map.crd", "map1.map", "map2.map", "map3.map", "markers.txt", "member.txt"}));
        QVERIFY(readAll(me + "/member.txt").startsWith("name=Me\nversion=1.0\n"));
        QVERIFY(readAll(me + "/links.txt").endsWith("\n1 0 2 2 1 2 2\n"));
        QCOMPARE(out.fingerprint, AtlasFingerprint(*atlas));
    }
};

QTEST_APPLESS_MAIN(TestSquad)
#include "tst_squad.moc"
