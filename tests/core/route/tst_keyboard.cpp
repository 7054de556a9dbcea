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
};

QTEST_APPLESS_MAIN(TestKeyboard)
#include "tst_keyboard.moc"
