// Markers kept in markers.txt beside the map files.
#include "map/markerfile.h"
#include "testsupport.h"
#include "text/cp1251.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

using namespace veldor;
using namespace veldor::test;

class TestMarkerFile : public QObject
{
    Q_OBJECT

private slots:
    void markersRoundTripThroughTheFile()
    {
        QTemporaryDir dir;
        auto atlas = std::make_unique<Atlas>();
        // Line breaks, tabs, backslashes and characters only Windows-1251 has among the single-byte code pages.
        const std::string awkward = cp1251::fromUtf8(u8"две строки\r\nвторая\tс табом \\ и № ‰ € «»");
        atlas->setMarkText(1, 0, 2, 3, cp1251::fromUtf8(u8"сундук за дверью"));
        atlas->setMarkText(20, 16, 100, 100, awkward);
        atlas->setMarkText(7, 5, 40, 1, "#not a comment");
        QVERIFY(SaveMarkers(*atlas, dir.path().toStdString()).ok);
        const QByteArray text = readAll(dir.filePath(QStringLiteral("markers.txt")));
        QVERIFY(text.contains("1\t0\t2\t3\t" + QStringLiteral("сундук за дверью").toUtf8() + "\n"));
        QCOMPARE(text.count('\n'), 4); // a comment and one line a marker

        auto back = std::make_unique<Atlas>();
        const MarkersLoad load = LoadMarkers(*back, dir.path().toStdString());
        QVERIFY(load.problem.empty());
        QCOMPARE(load.read.markers, 3);
        QCOMPARE(back->markText(20, 16, 100, 100), awkward);
        QCOMPARE(back->markText(1, 0, 2, 3), cp1251::fromUtf8(u8"сундук за дверью"));
        QCOMPARE(back->markText(7, 5, 40, 1), std::string("#not a comment"));
        QCOMPARE(back->markers().size(), std::size_t(3));
    }

    void damagedLinesAreSkippedAndCounted()
    {
        auto atlas = std::make_unique<Atlas>();
        const std::string text = "# comment\n"
                                 "1\t0\t2\t3\tgood\r\n"
                                 "1\t0\t2\tx\tbad number\n"
                                 "21\t0\t1\t1\tno such labyrinth\n"
                                 "1\t17\t1\t1\tno such level\n"
                                 "1\t0\t0\t1\toff the map\n"
                                 "1\t0\t1\t1\tbad escape \\q\n"
                                 "1\t0\t1\t1\t\n"
                                 "1\t0\t1\n"
                                 "\n"
                                 "2\t1\t5\t5\tlast, without a line end";
        const MarkersRead r = ParseMarkers(text, *atlas);
        QCOMPARE(r.markers, 2);
        QCOMPARE(r.damaged, 7);
        QCOMPARE(atlas->markText(1, 0, 2, 3), std::string("good"));
        QCOMPARE(atlas->markText(2, 1, 5, 5), std::string("last, without a line end"));
    }

    // Whatever the program writes it reads back whole, however large; another player's file only up to a bound.
    void largeFilesAreReadWholeOrToTheirBound()
    {
        QTemporaryDir dir;
        auto atlas = std::make_unique<Atlas>();
        const std::string huge(40 << 20, 'x');
        atlas->setMarkText(20, 16, 99, 99, huge);
        atlas->setMarkText(20, 16, 100, 100, "after");
        QVERIFY(SaveMarkers(*atlas, dir.path().toStdString()).ok);
        auto back = std::make_unique<Atlas>();
        MarkersLoad load = LoadMarkers(*back, dir.path().toStdString());
        QVERIFY(load.problem.empty());
        QCOMPARE(back->markText(20, 16, 99, 99).size(), huge.size());
        QCOMPARE(back->markText(20, 16, 100, 100), std::string("after"));

        back = std::make_unique<Atlas>();
        load = LoadMarkers(*back, dir.path().toStdString(), 1 << 20);
        QCOMPARE(load.kind, FileError::TooLarge);
        QVERIFY(!load.unread && !load.problem.empty());
        QVERIFY(back->markText(20, 16, 100, 100).empty());
    }

    // Whatever stands in the file's place, the start goes on without markers and says so once.
    void oddOrMissingFilesNeverStopTheStart()
    {
        QTemporaryDir dir;
        auto atlas = std::make_unique<Atlas>();
        MarkersLoad load = LoadMarkers(*atlas, dir.path().toStdString());
        QVERIFY(load.problem.empty()); // none yet: a first start
        QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("markers.txt")));
        load = LoadMarkers(*atlas, dir.path().toStdString());
        QVERIFY(load.problem.find("markers.txt") != std::string::npos);
        QCOMPARE(load.kind, FileError::NotRegular);
        QCOMPARE(SaveMarkers(*atlas, dir.path().toStdString()).kind, FileError::NotRegular);
        QVERIFY(QDir(dir.path()).rmdir(QStringLiteral("markers.txt")));
        QVERIFY(writeAll(dir.filePath(QStringLiteral("markers.txt")), QByteArray("\xff\xfe\x00garbage\x01\n", 12)));
        load = LoadMarkers(*atlas, dir.path().toStdString());
        QCOMPARE(load.read.damaged, 1);
        QVERIFY(atlas->markers().empty());
    }
};

QTEST_APPLESS_MAIN(TestMarkerFile)
#include "tst_markerfile.moc"
