// The way to a chosen cell, an exit, a way down or up, across levels through the links the player learned.
#include "levelbuilder.h"
#include "route/wayfinder.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

using namespace veldor;

namespace {

constexpr unsigned kLab = 1; // 30 x 30

// Level 0: a corridor (1,1)..(6,1), a way down at (3,1). Level 1: a corridor (3,1)..(3,4), a way up at (3,1).
// Scenes add to it: a door, traps, the link between the two.
std::unique_ptr<Atlas> scene(const QString& name)
{
    auto atlas = std::make_unique<Atlas>();
    auto corridor = [&](int level, std::vector<std::pair<int, int>> cells, int doorAfter = -1) {
        for (std::size_t i = 0; i < cells.size(); ++i) {
            atlas->cell(kLab, level, cells[i].first, cells[i].second)->Explored = 1;
            if (i > 0)
                test::openPassage(*atlas, kLab, level, cells[i - 1].first, cells[i - 1].second, cells[i].first,
                                  cells[i].second, static_cast<int>(i) == doorAfter ? 3 : 1);
        }
    };
    corridor(0, {{1, 1}, {2, 1}, {3, 1}, {4, 1}, {5, 1}, {6, 1}}, name == "door" ? 4 : -1);
    corridor(1, {{3, 1}, {3, 2}, {3, 3}, {3, 4}});
    if (name.startsWith("levels")) {
        atlas->cell(kLab, 0, 3, 1)->Object = 'd';
        atlas->cell(kLab, 1, 3, 1)->Object = 'u';
        atlas->cell(kLab, 0, 1, 1)->Object = 'E';
        if (name == "levels deep") // a way down on level 1 too, and the way up below it
            atlas->cell(kLab, 1, 3, 4)->Object = 'd';
    }
    if (name.startsWith("trap")) {
        atlas->cell(kLab, 0, 4, 1)->Object = 'L';
        if (name == "trap around") // a way round the trap, two steps longer
            corridor(0, {{3, 1}, {3, 2}, {4, 2}, {5, 2}, {5, 1}});
    }
    return atlas;
}

} // namespace

class TestWayFinder : public QObject
{
    Q_OBJECT

private slots:
    void theWay_data()
    {
        QTest::addColumn<QString>("scene");
        QTest::addColumn<bool>("link");
        QTest::addColumn<bool>("doors");
        QTest::addColumn<int>("kind");
        QTest::addColumn<QList<int>>("from"); // level, x, y
        QTest::addColumn<QList<int>>("to");
        QTest::addColumn<int>("steps");
        QTest::addColumn<QString>("text");
        const int cell = int(WayTarget::Cell);
        QTest::newRow("one level") << "" << false << false << cell << QList{0, 1, 1} << QList{0, 6, 1} << 5
                                   << "Путь: 5 шагов";
        QTest::newRow("door, switch off") << "door" << false << false << cell << QList{0, 1, 1} << QList{0, 6, 1} << 0
                                          << "Пути нет: на пути дверь — включите «Проходить через двери»";
        QTest::newRow("door, switch on") << "door" << false << true << cell << QList{0, 1, 1} << QList{0, 6, 1} << 5
                                         << "Путь: 5 шагов";
        QTest::newRow("around a trap") << "trap around" << false << false << cell << QList{0, 1, 1} << QList{0, 6, 1}
                                       << 7 << "Путь: 7 шагов";
        QTest::newRow("through a trap") << "trap" << false << false << cell << QList{0, 1, 1} << QList{0, 6, 1} << 5
                                        << "Путь: 5 шагов, через ловушку";
        QTest::newRow("a trap as the target")
            << "trap" << false << false << cell << QList{0, 1, 1} << QList{0, 4, 1} << 3 << "Путь: 3 шага";
        QTest::newRow("down a learned link") << "levels" << true << false << cell << QList{0, 1, 1} << QList{1, 3, 4}
                                             << 6 << "Путь: 6 шагов, через спуск 3x1 на уровень 1";
        QTest::newRow("up it to the exit") << "levels" << true << false << int(WayTarget::Exit) << QList{1, 3, 4}
                                           << QList<int>{} << 6 << "Путь: 6 шагов, через подъём 3x1 на уровень 0";
        QTest::newRow("a way down not taken yet")
            << "levels" << false << false << cell << QList{0, 1, 1} << QList{1, 3, 4} << 2
            << "Путь: 2 шага, дальше — спуск 3x1, куда он ведёт, ещё не известно";
        QTest::newRow("to a level") << "levels" << true << false << int(WayTarget::Level) << QList{0, 6, 1}
                                    << QList{1, 0, 0} << 4 << "Путь: 4 шага, через спуск 3x1 на уровень 1";
        QTest::newRow("the nearest way down") << "levels" << false << false << int(WayTarget::Descent) << QList{0, 6, 1}
                                              << QList<int>{} << 3 << "Путь: 3 шага";
        QTest::newRow("no way up known") << "" << false << false << int(WayTarget::Ascent) << QList{0, 6, 1}
                                         << QList<int>{} << 0
                                         << "Пути нет: ни одного подъёма выше уровня 0 ещё не известно";
        QTest::newRow("to a cell not explored") << "" << false << false << cell << QList{0, 1, 1} << QList{0, 9, 9} << 0
                                                << "Пути нет: клетка 9x9 на уровне 0 не исследована";
        QTest::newRow("from a cell not explored") << "" << false << false << cell << QList{0, 9, 9} << QList{0, 1, 1}
                                                  << 0 << "Пути нет: клетка, где вы стоите, ещё не исследована";
        QTest::newRow("no stair between the levels")
            << "" << false << false << cell << QList{0, 1, 1} << QList{1, 3, 4} << 0
            << "Пути нет: ни одного спуска или подъёма туда ещё не известно";
        QTest::newRow("no exit known") << "" << false << false << int(WayTarget::Exit) << QList{0, 1, 1} << QList<int>{}
                                       << 0 << "Пути нет: ни одного выхода с уровня 0 ещё не известно";
        // A way down leads deeper than the player stands: never back up the stair the player came down.
        QTest::newRow("down, not up the stair taken") << "levels deep" << true << false << int(WayTarget::Descent)
                                                      << QList{1, 3, 1} << QList<int>{} << 3 << "Путь: 3 шага";
        QTest::newRow("up, not down to the far end")
            << "levels" << true << false << int(WayTarget::Ascent) << QList{0, 3, 1} << QList<int>{} << 0
            << "Пути нет: ни одного подъёма выше уровня 0 ещё не известно";
        // Two stairs away, the second not taken yet, to a cell nobody explored (a way up the map draws).
        QTest::newRow("known as far as a stair")
            << "levels deep" << true << false << cell << QList{0, 6, 1} << QList{2, 3, 4} << 7
            << "Путь известен до спуска 3x4 на уровне 1: 7 шагов";
    }
    void theWay()
    {
        QFETCH(QString, scene);
        QFETCH(bool, link);
        QFETCH(bool, doors);
        QFETCH(int, kind);
        QFETCH(QList<int>, from);
        QFETCH(QList<int>, to);
        const auto atlas = ::scene(scene);
        LevelLinks links;
        if (link)
            QVERIFY(links.add({kLab, {0, 3, 1}, {1, 3, 1}}));
        WayFinder finder;
        const LevelCell target = to.isEmpty() ? LevelCell{} : LevelCell{to[0], to[1], to[2]};
        const Way& way = finder.find(*atlas, links, kLab, {from[0], from[1], from[2]}, WayTarget(kind), target, doors);
        QTEST(way.steps(), "steps");
        QTEST(QString::fromUtf8(reinterpret_cast<const char*>(WayText(way).c_str())), "text");
        // Every step goes to a neighbour on the level, or to another level.
        for (std::size_t i = 1; i < way.path.size(); ++i) {
            const LevelCell a = way.path[i - 1];
            const LevelCell b = way.path[i];
            QVERIFY(a.level != b.level || std::abs(a.x - b.x) + std::abs(a.y - b.y) == 1);
        }
    }

    // A link is learned when the page shows another level right after the player stood on a way down or up.
    void learningALink_data()
    {
        QTest::addColumn<char>("object");
        QTest::addColumn<QList<int>>("after");
        QTest::addColumn<bool>("learned");
        QTest::newRow("down a way down") << 'd' << QList{1, 3, 1} << true;
        QTest::newRow("up a way up") << 'u' << QList{1, 7, 7} << true;
        QTest::newRow("another level, no way there") << 'n' << QList{1, 3, 1} << false;
        QTest::newRow("the same level") << 'd' << QList{0, 4, 1} << false;
        QTest::newRow("off the map") << 'd' << QList{1, 31, 1} << false;
    }
    void learningALink()
    {
        QFETCH(char, object);
        QFETCH(QList<int>, after);
        const auto atlas = std::make_unique<Atlas>();
        atlas->cell(kLab, 0, 3, 1)->Object = object;
        LevelLinks links;
        const LevelCell to{after[0], after[1], after[2]};
        QTEST(LearnLink(*atlas, links, kLab, {0, 3, 1}, to), "learned");
        QVERIFY(!LearnLink(*atlas, links, kLab, {0, 3, 1}, to)); // once
        QCOMPARE(links.all().size(), std::size_t(links.empty() ? 0 : 1));
    }

    // links.txt: read back as written; lines that hold no link on the atlas are skipped and counted; links past
    // the bound are read as far as it, counted apart, and the file is then never to be replaced.
    void theLinksFile_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<int>("links");
        QTest::addColumn<int>("skipped");
        QTest::addColumn<int>("over");
        QTest::newRow("two links") << QByteArray("# comment\n1 0 3 1 1 3 1\r\n20 5 100 100 6 1 1\n") << 2 << 0 << 0;
        QTest::newRow("a duplicate") << QByteArray("1 0 3 1 1 3 1\n1 0 3 1 1 3 1\n") << 1 << 0 << 0;
        QTest::newRow("off the map") << QByteArray("1 0 31 1 1 3 1\n21 0 1 1 1 1 1\n1 17 1 1 0 1 1\n") << 0 << 3 << 0;
        QTest::newRow("same level") << QByteArray("1 2 3 1 2 3 2\n") << 0 << 1 << 0;
        QTest::newRow("junk") << QByteArray("1 0 3 1 1 3\nabc\n1 0 3 1 1 3 1 9\n\xff\xfe\n") << 0 << 4 << 0;
        QByteArray many;
        const int count = int(LevelLinks::kMaxLinks) + 7;
        for (int i = count - 1; i >= 0; --i) // the worst order for keeping them sorted
            many += QByteArray::number(14 + i / 160000) + ' ' + QByteArray::number(i / 10000 % 16) + ' ' +
                    QByteArray::number(1 + i % 100) + ' ' + QByteArray::number(1 + i / 100 % 100) + " 16 1 1\n";
        QTest::newRow("over the bound") << many << int(LevelLinks::kMaxLinks) << 0 << 7;
    }
    void theLinksFile()
    {
        QFETCH(QByteArray, text);
        QFETCH(int, over);
        std::size_t skipped = 0;
        std::size_t past = 0;
        const LevelLinks links = LevelLinks::parse(text.toStdString(), &skipped, &past);
        QTEST(int(links.all().size()), "links");
        QTEST(int(skipped), "skipped");
        QCOMPARE(int(past), over);
        std::size_t again = 1;
        QCOMPARE(LevelLinks::parse(links.text(), &again), links);
        QCOMPARE(again, std::size_t(0));
        QTemporaryDir dir;
        QFile file(dir.filePath(QString::fromLatin1(LevelLinks::kFileName)));
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(text) == text.size());
        file.close();
        const LinksLoad load = LoadLinks(dir.path().toStdString());
        QCOMPARE(load.unread, over > 0);
        QCOMPARE(load.problem.find("слишком длинный") != std::string::npos, over > 0);
    }

    // Another player's link is taken only between their stairs, and only where nothing of ours says otherwise.
    void aMembersLinkNeedsTheirStairsAndNoWordOfOurs_data()
    {
        QTest::addColumn<QByteArray>("theirs"); // objects at the link's ends
        QTest::addColumn<QByteArray>("ours");   // '.' unexplored, else an explored cell's object
        QTest::addColumn<bool>("ourOtherLink");
        QTest::addColumn<bool>("taken");
        QTest::newRow("down to up") << QByteArray("du") << QByteArray("..") << false << true;
        QTest::newRow("plain cells") << QByteArray("nn") << QByteArray("..") << false << false;
        QTest::newRow("a way down to a plain cell") << QByteArray("dn") << QByteArray("..") << false << false;
        QTest::newRow("ours knows the stairs") << QByteArray("du") << QByteArray("du") << false << true;
        QTest::newRow("ours walked a plain cell there") << QByteArray("du") << QByteArray("n.") << false << false;
        QTest::newRow("ours leads elsewhere") << QByteArray("du") << QByteArray("..") << true << false;
    }
    void aMembersLinkNeedsTheirStairsAndNoWordOfOurs()
    {
        QFETCH(QByteArray, theirs);
        QFETCH(QByteArray, ours);
        QFETCH(bool, ourOtherLink);
        const auto theirMaps = std::make_unique<Atlas>();
        const auto ourMaps = std::make_unique<Atlas>();
        const LevelLink link{kLab, {0, 3, 1}, {1, 3, 1}};
        for (int end = 0; end < 2; ++end) {
            const LevelCell& c = end == 0 ? link.from : link.to;
            theirMaps->cell(kLab, c.level, c.x, c.y)->Object = theirs[end];
            if (ours[end] != '.')
                *ourMaps->cell(kLab, c.level, c.x, c.y) = {1, 1, 1, 1, 1, ours[end]};
        }
        LevelLinks mine;
        if (ourOtherLink)
            QVERIFY(mine.add({kLab, {0, 3, 1}, {1, 9, 9}}));
        LevelLinks member;
        QVERIFY(member.add(link));
        TakeLinks(mine, LinksBetweenStairs(member, *theirMaps), *ourMaps);
        QTEST(mine.contains(link), "taken");
    }
};

QTEST_GUILESS_MAIN(TestWayFinder)
#include "tst_wayfinder.moc"
