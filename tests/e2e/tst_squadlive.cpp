// Two players on one group folder that two real Syncthing instances keep in step on the loopback address: Alpha
// walks ten steps without saving, and Beta's map holds every cell Alpha walked and Alpha's figure where Alpha
// stands, within seconds; once Alpha keeps its place to itself, the figure goes.
#include "app/webengine_setup.h"
#include "app/window/mainwindow.h"
#include "formfixture.h"
#include "mapview/mapgrid.h"
#include "mapview/mapoverlay.h"
#include "person.h"
#include "syncthing.h"
#include "testsupport.h"
#include "windowcontrols.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QImage>
#include <QTemporaryDir>
#include <QTest>

using namespace veldor;
using namespace veldor::test;

namespace {

bool figureAt(MainWindow& form, const QString& member, int x, int y)
{
    MapGrid* grid = controls(form).mapGrid;
    const QImage shown = grid->viewport()->grab().toImage();
    const QRect cell = grid->cellRect(x, y);
    for (int px = cell.left(); px <= cell.right(); ++px)
        for (int py = cell.top(); py <= cell.bottom(); ++py)
            if (shown.pixelColor(px, py) == MapOverlay::teammateColour(member))
                return true;
    return false;
}

QByteArray squadIni(const QString& folder, const char* name)
{
    return QStringLiteral("[squad]\nfolder=%1\nname=%2\nenabled=true\n")
        .arg(folder, QString::fromLatin1(name))
        .toUtf8();
}

} // namespace

class TestSquadLive : public QObject
{
    Q_OBJECT
    FormFixture alpha;
    FormFixture beta;

private slots:
    void aTeammatesWalkReachesTheOtherWithinSeconds()
    {
        QVERIFY2(SyncthingGroup::available(), "syncthing is not installed (the test command installs it)");
        QTemporaryDir base;
        const QString copyA = base.filePath(QStringLiteral("group-a"));
        const QString copyB = base.filePath(QStringLiteral("group-b"));
        QVERIFY(QDir().mkpath(copyA) && QDir().mkpath(copyB));
        SyncthingGroup engines;
        QVERIFY(engines.start(base.path(), {copyA, copyB}));

        alpha.reset();
        beta.reset();
        alpha.startServer();
        QVERIFY(writeAll(alpha.file("veldor.ini"), squadIni(copyA, "Alpha")));
        QVERIFY(writeAll(beta.file("veldor.ini"), squadIni(copyB, "Beta")));
        QVERIFY(alpha.writeUserDat({.login = "walker", .autoLogin = true, .passDoors = true}));
        auto b = beta.shown({}, QSize(1000, 800));
        QVERIFY(b);
        auto a = alpha.shown(alpha.base(), QSize(1000, 800));
        QVERIFY(a && person::activate(a.get()));
        QVERIFY(waitUntil([&] { return a->reader().ViewX == 2 && a->reader().ViewY == 2; }));
        // Alpha's folder, made at once on a share new to it, reaches Beta's copy through the engines.
        QVERIFY2(waitUntil([&] { return QFileInfo::exists(copyB + QStringLiteral("/Alpha/member.txt")); }, 90000),
                 qPrintable(engines.log(0).right(2000)));

        const QByteArray savedBefore = readAll(alpha.file("map1.map"));
        for (int x = 3; x <= 12; ++x)
            QVERIFY2(FormFixture::step(*a, Qt::Key_Right, x, 2), qPrintable(QString::number(x)));
        QElapsedTimer sinceLastStep;
        sinceLastStep.start();
        const auto allWalked = [&] {
            for (int x = 2; x <= 12; ++x)
                if (b->atlas().cell(1, 0, x, 2)->Explored != 1)
                    return false;
            return true;
        };
        QVERIFY2(waitUntil(allWalked, 20000), qPrintable(engines.log(1).right(2000)));
        qInfo("the last step reached the other window after %lld ms", sinceLastStep.elapsed());
        QVERIFY(waitUntil([&] { return figureAt(*b, QStringLiteral("Alpha"), 12, 2); }, 10000));
        QVERIFY(!figureAt(*b, QStringLiteral("Alpha"), 11, 2));
        QCOMPARE(readAll(alpha.file("map1.map")), savedBefore); // nothing was saved meanwhile

        QVERIFY(alpha.clickSide(*a, controls(*a).squadPlaceBox)); // «Показывать отряду, где я» off
        QVERIFY(waitUntil([&] { return !figureAt(*b, QStringLiteral("Alpha"), 12, 2); }, 10000));
        QVERIFY(!readAll(copyA + QStringLiteral("/Alpha/live.txt")).contains("\nplace "));
    }
};

int main(int argc, char* argv[])
{
    veldor::prepareWebEngine();
    QApplication app(argc, argv);
    TestSquadLive test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_squadlive.moc"
