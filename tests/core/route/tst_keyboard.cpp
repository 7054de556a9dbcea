#include "route/keyboard.h"

#include <QTest>
#include <memory>

using namespace veldor;

class TestKeyboard : public QObject
{
    Q_OBJECT
    std::unique_ptr<Atlas> atlas;

    std::optional<std::string> press(ArrowKey key, int fatigue = 50, bool doors = false, unsigned lab = 1,
                                     int level = 0, int x = 5, int y = 5)
    {
        return KeyMoveScript(*atlas, lab, level, x, y, fatigue, doors, key);
    }

private slots:
    void init()
    {
        atlas = std::make_unique<Atlas>();
        *atlas->cell(1, 0, 5, 5) = TMapCell{1, 0, 4, 1, 1, 'n'};
    }

    void eachArrowTestsItsSide()
    {
        QCOMPARE(press(ArrowKey::Up), std::optional<std::string>("goTo(3)"));
        QCOMPARE(press(ArrowKey::Right), std::optional<std::string>("goTo(2)"));
        QVERIFY(!press(ArrowKey::Down)); // wall
        QVERIFY(!press(ArrowKey::Left)); // a door, doors not allowed
        QCOMPARE(press(ArrowKey::Left, 50, true), std::optional<std::string>("goTo(1)"));
        QVERIFY(!press(ArrowKey::Down, 50, true)); // a wall stays a wall
        atlas->cell(1, 0, 5, 5)->South = 1;
        QCOMPARE(press(ArrowKey::Down), std::optional<std::string>("goTo(4)"));
    }

    void tiredOrLostPlayersDoNotMove()
    {
        QVERIFY(!press(ArrowKey::Up, 6));
        QVERIFY(press(ArrowKey::Up, 7));
        QVERIFY(!press(ArrowKey::Up, 0));
        QVERIFY(!press(ArrowKey::Up, 50, false, 0));          // no labyrinth
        QVERIFY(!press(ArrowKey::Up, 50, false, 1, 0, 0, 5)); // no position yet
        QVERIFY(!press(ArrowKey::Up, 50, false, 1, 0, 31, 5));
        QVERIFY(!press(ArrowKey::Up, 50, false, 1, 3)); // the shown level's cell is the one tested
        atlas->cell(1, 3, 5, 5)->North = 2;
        QVERIFY(press(ArrowKey::Up, 50, true, 1, 3));
    }

    // Events: R L U D a key, r Right auto-repeated, m the page shows the step, = a read without a step,
    // t a second passes, c a click elsewhere. The result: the keys sent, in order.
    void keysWaitForThePageToShowEachStep_data()
    {
        QTest::addColumn<QString>("events");
        QTest::addColumn<QString>("sent");
        // clang-format off
        QTest::newRow("nothing under way: at once") << "R m L" << "RL";
        QTest::newRow("each waits for the step before") << "RDL" << "R";
        QTest::newRow("...and goes when it shows") << "RDL m = m m" << "RDL";
        QTest::newRow("sixteen wait at most") << "RDLDLDLDLDLDLDLDLU mmmmmmmmmmmmmmmmm" << "RDLDLDLDLDLDLDLDL";
        QTest::newRow("auto-repeat never waits") << "Rrrr m m r" << "RR";
        QTest::newRow("nor a press of the same key within 60 ms") << "Rqqq mmmm" << "RR"; // the first, 100 ms on, waits
        QTest::newRow("a refused step is known at the page's load") << "RDD l L" << "RL";
        QTest::newRow("the load of a page already seen is no refusal") << "RDL m l m" << "RDL";
        QTest::newRow("...the next load without the step is") << "RDLU m l l m" << "RD";
        QTest::newRow("no step within two seconds: dropped") << "RDD tt = m L" << "RL";
        QTest::newRow("...also without a read") << "RD tt L" << "RL";
        QTest::newRow("a step just in time") << "RD t = m" << "RD";
        QTest::newRow("a click elsewhere drops them") << "RDD c m L" << "RL";
        // clang-format on
    }
    void keysWaitForThePageToShowEachStep()
    {
        QFETCH(QString, events);
        MoveQueue queue;
        MoveQueue::Place at{0, 5, 5};
        std::int64_t now = 0;
        QString sent;
        auto send = [&](ArrowKey key) {
            sent += QString("UDLR")[static_cast<int>(key)];
            queue.sent(at, now);
        };
        for (const QChar e : events) {
            const qsizetype key = QString("UDLR").indexOf(e);
            if (key >= 0 && queue.press(static_cast<ArrowKey>(key), false, now))
                send(static_cast<ArrowKey>(key));
            else if ((e == 'r' || e == 'q') && queue.press(ArrowKey::Right, e == 'r', now))
                send(ArrowKey::Right);
            if (e == 'm')
                ++at.x;
            if (e == 'm' || e == '=' || e == 'l')
                if (const auto next = queue.read(at, now, e == 'l'))
                    send(*next);
            now += e == 't' ? 1000 : e == 'r' || e == 'q' ? 30 : 100;
            if (e == 'c')
                queue.clear();
        }
        QTEST(sent, "sent");
    }
};

QTEST_APPLESS_MAIN(TestKeyboard)
#include "tst_keyboard.moc"
