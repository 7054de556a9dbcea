// Counting what each level holds, and finding markers, list entries and objects by their names.
#include "map/marks.h"
#include "map/survey.h"
#include "text/cp1251.h"

#include <QTest>
#include <memory>

using namespace veldor;

namespace {

QString where(const Found& f)
{
    return QStringLiteral("%1/%2/%3x%4 %5")
        .arg(f.lab)
        .arg(f.level)
        .arg(f.x)
        .arg(f.y)
        .arg(QString::fromUtf8(reinterpret_cast<const char*>(f.what.data()), qsizetype(f.what.size())));
}

} // namespace

class TestSurvey : public QObject
{
    Q_OBJECT
    std::unique_ptr<Atlas> atlas;

private slots:
    void init()
    {
        atlas = std::make_unique<Atlas>();
        for (int x = 1; x <= 9; ++x)
            atlas->cell(1, 9, x, 1)->Explored = 1; // 9 of 900 cells: 1 %
        AddExit(*atlas, 1, 9, 2, 1);
        AddDescent(*atlas, 1, 3, 4, 4); // and the way up on level 4
        AddTrap(*atlas, 1, 9, 3, 1);
        AddFlag(*atlas, 1, 9, 4, 1);
        SetChest(*atlas, 20, 2, 50, 60, '6');
        atlas->setMarkText(1, 9, 5, 1, cp1251::fromUtf8(u8"Тайник за камнем"));
        atlas->setMarkText(20, 0, 7, 7, cp1251::fromUtf8(u8"тайник"));
    }

    void countsPerLevel()
    {
        const auto levels = CountLevels(*atlas, 1);
        const LevelCounts& nine = levels[9];
        QCOMPARE(std::tuple(nine.explored, nine.cells, nine.percent()), std::tuple(9, 900, 1));
        QCOMPARE(std::tuple(nine.exits, nine.traps, nine.flags, nine.markers), std::tuple(1, 1, 1, 1));
        QCOMPARE(levels[3].transitions + levels[4].transitions, 2);
        QCOMPARE(CountLabyrinth(*atlas, 1).cells, 900 * kLevelCount);
        QCOMPARE(CountLabyrinth(*atlas, 21).cells, 0);
    }

    void search_data()
    {
        QTest::addColumn<QString>("query");
        QTest::addColumn<unsigned>("first");
        QTest::addColumn<QStringList>("found");
        QTest::newRow("marker, own labyrinth first")
            << "ТАЙНИК" << 20u << QStringList{"20/0/7x7 Маркер: тайник", "1/9/5x1 Маркер: Тайник за камнем"};
        QTest::newRow("object kind by part of its name") << "сундук" << 1u << QStringList{"20/2/50x60 Золотой сундук"};
        QTest::newRow("ё as е") << "подъём" << 1u << QStringList{"1/4/4x4 Подъем"};
        QTest::newRow("trap") << "лов" << 1u << QStringList{"1/9/3x1 Ловушка"};
        QTest::newRow("list entry by its text") << "L-9(2" << 1u << QStringList{"1/9/2x1 Список выходов: L-9(2x1); "};
        QTest::newRow("nothing asked, nothing found") << "" << 1u << QStringList{};
        QTest::newRow("what players say: лестница")
            << "лестница" << 1u << QStringList{"1/3/4x4 Спуск", "1/4/4x4 Подъем"};
        QTest::newRow("what players say: клад") << "клад" << 1u << QStringList{"20/2/50x60 Золотой сундук"};
        QTest::newRow("a word begun: перех") << "перех" << 1u << QStringList{"1/3/4x4 Спуск", "1/4/4x4 Подъем"};
    }

    void search()
    {
        QFETCH(QString, query);
        QFETCH(unsigned, first);
        QFETCH(QStringList, found);
        const QByteArray utf8 = query.toUtf8();
        const SearchResult result =
            SearchAtlas(*atlas, std::u8string_view(reinterpret_cast<const char8_t*>(utf8.data()), utf8.size()), first);
        QStringList shown;
        for (const Found& f : result.found)
            shown << where(f);
        QCOMPARE(shown, found);
        QCOMPARE(result.total, std::size_t(found.size()));
    }

    void aLimitStillCountsAll()
    {
        for (int x = 1; x <= 30; ++x)
            AddTrap(*atlas, 2, 0, x, 1);
        const SearchResult result = SearchAtlas(*atlas, u8"ловушка", 2, 10);
        QCOMPARE(result.found.size(), std::size_t{10});
        QCOMPARE(result.total, std::size_t{31});
        QCOMPARE(result.found.front().lab, 2u);
    }
};

QTEST_APPLESS_MAIN(TestSurvey)
#include "tst_survey.moc"
