// The rules of a group's shared folder: member names, what sync engines leave lying about, when a member's
// maps are whole, and which subfolders are members.
#include "map/atlas.h"
#include "map/levellinks.h"
#include "map/mapfiles.h"
#include "map/squad.h"
#include "testsupport.h"

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

private slots:
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
