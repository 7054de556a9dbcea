// What the map draws over the atlas and says of a cell: the hint, the player's figure only where the player
// stands, the explore assistant only from there.
#include "map/atlas.h"
#include "mapview/mapoverlay.h"
#include "ui/qtcodec.h"

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <QTest>
#include <memory>

using namespace veldor;

Q_DECLARE_METATYPE(veldor::MapOverlay::View)

class TestMapOverlay : public QObject
{
    Q_OBJECT
    std::unique_ptr<Atlas> atlas; // too big for the stack
    MapOverlay::View view;
    std::unique_ptr<MapOverlay> overlay;

    QImage drawn(int x, int y, bool mapOnly)
    {
        QImage image(15, 15, QImage::Format_ARGB32);
        image.fill(Qt::gray);
        QPainter painter(&image);
        overlay->paint(painter, x, y, QRect(0, 0, 15, 15), mapOnly);
        return image;
    }

private slots:
    void init()
    {
        atlas = std::make_unique<Atlas>();
        overlay = std::make_unique<MapOverlay>(*atlas, [this] { return view; });
        view = {1, 0, 1, 0, 5, 5};
        for (int x = 5; x <= 6; ++x)
            atlas->cell(1, 0, x, 5)->Explored = 1;
        atlas->cell(1, 0, 5, 5)->East = atlas->cell(1, 0, 6, 5)->West = 1;
        atlas->cell(1, 0, 6, 5)->East = 1; // into 7x5, not explored
    }

    void theHintSaysTheCellTheMarkerAndTheObject_data()
    {
        QTest::addColumn<QString>("marker");
        QTest::addColumn<char>("object");
        QTest::addColumn<QString>("hint");
        QTest::newRow("a cell") << QString() << '\0' << QStringLiteral("5x5");
        QTest::newRow("a marker") << QStringLiteral("тайник") << '\0' << QStringLiteral("5x5\rтайник");
        QTest::newRow("an object") << QString() << 'E' << QStringLiteral("5x5\rВыход");
        QTest::newRow("lines at spaces") << QString(QStringLiteral("слово ").repeated(20)).trimmed() << '\0'
                                         << QStringLiteral("5x5\r") + QStringLiteral("слово ").repeated(13).trimmed() +
                                                QLatin1Char('\r') + QStringLiteral("слово ").repeated(7).trimmed();
        QTest::newRow("a long marker is cut")
            << QString(600, QLatin1Char('a')) << '\0'
            << QStringLiteral("5x5\r") + QStringList(6, QString(80, QLatin1Char('a'))).join('\r') + QLatin1Char('\r') +
                   QString(20, QLatin1Char('a')) + QStringLiteral("…");
    }
    void theHintSaysTheCellTheMarkerAndTheObject()
    {
        QFETCH(QString, marker);
        QFETCH(char, object);
        QFETCH(QString, hint);
        atlas->setMarkText(1, 0, 5, 5, toCp1251(marker));
        atlas->cell(1, 0, 5, 5)->Object = object;
        QCOMPARE(overlay->hint(5, 5), hint);
    }

    void theFigureAndTheAssistantStandOnlyWhereThePlayerIs_data()
    {
        QTest::addColumn<MapOverlay::View>("where");
        QTest::addColumn<bool>("shown");
        QTest::newRow("on the level shown") << MapOverlay::View{1, 0, 1, 0, 5, 5} << true;
        QTest::newRow("another level shown") << MapOverlay::View{1, 1, 1, 0, 5, 5} << false;
        QTest::newRow("another labyrinth shown") << MapOverlay::View{2, 0, 1, 0, 5, 5} << false;
        QTest::newRow("no place read yet") << MapOverlay::View{1, 0, 1, 0, 0, 0} << false;
    }
    void theFigureAndTheAssistantStandOnlyWhereThePlayerIs()
    {
        QFETCH(MapOverlay::View, where);
        QFETCH(bool, shown);
        view = where;
        QCOMPARE(overlay->playerShown(), shown);
        QCOMPARE(drawn(5, 5, false) != drawn(5, 5, true), shown); // the figure, never on the map as saved
        const MapOverlay::Frontier frontier = overlay->updateFrontier(true, false);
        QCOMPARE(frontier.shown, shown);
        QCOMPARE(!frontier.text.isEmpty(), shown);
        QVERIFY(!overlay->updateFrontier(false, false).shown); // switched off
    }

    void theWayIsDrawnInThePlayersLabyrinthOnly()
    {
        overlay->setWay({[](int, int x, int) { return x == 6 ? 16 : 0; }, [](int, int, int) { return false; }});
        const QImage bare = drawn(6, 5, true);
        QVERIFY(drawn(6, 5, false) != bare);
        view.shownLab = 2;
        atlas->cell(2, 0, 6, 5)->Explored = 1;
        QCOMPARE(drawn(6, 5, false), drawn(6, 5, true));
    }
};

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    TestMapOverlay test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_mapoverlay.moc"
