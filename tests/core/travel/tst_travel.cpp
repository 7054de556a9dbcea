#include "travel/travel.h"
#include "ui/qtcodec.h"

#include <QTest>

using namespace veldor;

class TestTravel : public QObject
{
    Q_OBJECT
    TravelTables tables;

private slots:
    void initTestCase() { FillTravelTables(tables); }

    void estimates_data()
    {
        QTest::addColumn<int>("from");
        QTest::addColumn<int>("to");
        QTest::addColumn<int>("speed");
        QTest::addColumn<QString>("text");
        const QString p = QStringLiteral("Расчетное время: ");
        QTest::newRow("same town fast") << 7 << 7 << 30 << p + "00:00:00";
        QTest::newRow("same town slow") << 3 << 3 << -30 << p + "00:00:00";
        QTest::newRow("tie to even down") << 0 << 7 << 10 << p + "00:37:42"; // 2262.5 -> 2262
        QTest::newRow("tie to even up") << 0 << 10 << 10 << p + "00:29:32";  // 1771.5 -> 1772
        QTest::newRow("speed 0") << 1 << 0 << 0 << p + "00:39:36";
        QTest::newRow("speed 1") << 1 << 0 << 1 << p + "00:36:57";
        QTest::newRow("speed -1") << 1 << 0 << -1 << p + "00:42:27";
        QTest::newRow("speed 30") << 4 << 16 << 30 << p + "00:01:30"; // 90.25 -> 90
        QTest::newRow("longest") << 12 << 5 << -30 << p + "26:44:48";
        QTest::newRow("speed 6 uses 0.6595") << 0 << 1 << 6 << p + "00:26:07"; // 2376 * 0.6595 = 1566.97
        QTest::newRow("speed -10 doubles") << 1 << 0 << -10 << p + "01:19:12";
    }
    void estimates()
    {
        QFETCH(int, from);
        QFETCH(int, to);
        QFETCH(int, speed);
        QFETCH(QString, text);
        QCOMPARE(fromUtf8Text(TravelEstimateText(tables, from, to, speed + 30)), text);
        // Swapping start and destination changes nothing.
        QCOMPARE(fromUtf8Text(TravelEstimateText(tables, to, from, speed + 30)), text);
    }

    void tablesAreSymmetricWithZeroDiagonal()
    {
        for (int i = 0; i < kTownCount; ++i) {
            QCOMPARE(tables.TravelTimes[i][i], 0);
            for (int j = 0; j < kTownCount; ++j)
                QCOMPARE(tables.TravelTimes[i][j], tables.TravelTimes[j][i]);
        }
        QCOMPARE(tables.SpeedFactors[6], 0.6595);
        QCOMPARE(tables.SpeedFactors[10], 0.5);
    }

    void everyPairAndSpeedIsFormatted()
    {
        for (int i = 0; i < kTownCount; ++i)
            for (int j = 0; j < kTownCount; ++j)
                for (int s = 0; s < kSpeedItems; ++s) {
                    const std::int64_t t = TravelSeconds(tables, i, j, s);
                    QVERIFY(t >= 0 && t <= 96288);
                }
    }

    void outOfRangeIndexesGiveNothing()
    {
        QCOMPARE(TravelSeconds(tables, -1, 0, 30), std::int64_t(-1));
        QCOMPARE(TravelSeconds(tables, 0, 17, 30), std::int64_t(-1));
        QCOMPARE(TravelSeconds(tables, 0, 0, 61), std::int64_t(-1));
        QVERIFY(TravelEstimateText(tables, 0, 0, -1).empty());
    }

    void twoDigits()
    {
        QCOMPARE(TwoDigits("5"), std::string("05"));
        QCOMPARE(TwoDigits("0"), std::string("00"));
        QCOMPARE(TwoDigits("12"), std::string("12"));
        QCOMPARE(TwoDigits("123"), std::string("123"));
        QCOMPARE(TwoDigits(""), std::string(""));
    }
};

QTEST_APPLESS_MAIN(TestTravel)
#include "tst_travel.moc"
