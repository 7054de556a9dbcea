// The polling tick on its own, against the practice game in a real browser: frames are remembered as they
// load, the game frame starts the polling, each tick hands on both frames' lines, and a page that goes away
// stops the reading but not the timer.
#include "app/webengine_setup.h"
#include "browser/browserview.h"
#include "browser/pagebridge.h"
#include "browser/pagepoller.h"
#include "eventwait.h"
#include "practicefixture.h"
#include "testsupport.h"
#include "ui/qtcodec.h"

#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <QWebEngineProfile>
#include <memory>

using namespace veldor;
using namespace veldor::test;
using practice::test::RunningServer;

class TestPagePoller : public QObject
{
    Q_OBJECT
    QWebEngineProfile* profile = nullptr;

    // A browser logged in to the practice game, its frame notices and timer wired to the poller as the window
    // wires them.
    struct Game
    {
        RunningServer server;
        PagePoller poller;
        std::unique_ptr<BrowserView> browser;

        explicit Game(QWebEngineProfile* profile, practice::GameRules rules = {})
            : server(std::move(rules)), poller(OriginOf(QUrl(QString::fromStdString(server.base())))),
              browser(std::make_unique<BrowserView>(profile))
        {
            QObject::connect(browser.get(), &BrowserView::frameCompleted, &poller,
                             [this](BrowserView* b, const QString& name, bool topLevel, const QString& origin) {
                                 if (!topLevel)
                                     poller.frameLoaded(b, name, origin);
                             });
            QObject::connect(browser.get(), &BrowserView::frameChanged, &poller, &PagePoller::frameChanged);
            QObject::connect(poller.timer(), &QTimer::timeout, &poller, &PagePoller::tick);
            browser->resize(800, 600);
            browser->show();
        }
        bool loggedIn()
        {
            QSignalSpy loaded(browser.get(), &QWebEngineView::loadFinished);
            browser->navigate(QUrl(QString::fromStdString(server.base()) + QStringLiteral("/login.php")));
            if (!loaded.wait(kWait))
                return false;
            browser->page()->runJavaScript(QStringLiteral("document.querySelector('input[name=login]').value='poller';"
                                                          "document.querySelector('input[name=password]').value='pw';"
                                                          "document.forms[0].submit();"));
            return waitUntil([this] { return poller.NoCombatFrame.valid() && poller.ChoutFrame.valid(); });
        }
    };

private slots:
    void initTestCase()
    {
        profile = new QWebEngineProfile(this); // off the record
        installFrameWatch(profile);
    }

    void theGameFrameStartsTheTicksAndEachHandsOnBothFrames()
    {
        Game game(profile);
        QVERIFY(!game.poller.timer()->isActive()); // nothing to read before the game
        QCOMPARE(game.poller.timer()->objectName(), QStringLiteral("pollTimer"));
        QSignalSpy read(&game.poller, &PagePoller::pageRead);
        QSignalSpy done(&game.poller, &PagePoller::tickDone);
        QVERIFY(game.loggedIn());
        QCOMPARE(game.poller.NoCombatFrame.browser.data(), game.browser.get());
        QTRY_VERIFY_WITH_TIMEOUT(game.poller.ChinpFrame.valid() && game.poller.ShowInfoFrame.valid(), kWait);
        QVERIFY(!game.poller.YourArmyFrame.valid());

        QTRY_VERIFY_WITH_TIMEOUT(read.size() >= 3, kWait);
        QCOMPARE(game.poller.timer()->interval(), PagePoller::kInterval);
        const auto gameLines = read.last().at(0).value<PageLines>();
        QVERIFY(hasLine(gameLines, "<DIV id=title name=\"title\"><B>L-0(2,2)</B>"));
        QVERIFY(!read.last().at(1).value<PageLines>().empty()); // the chat frame too
        // Every read tick ends with its time, measured from the request.
        QTRY_COMPARE(done.size(), read.size());
        QVERIFY(done.last().at(0).toLongLong() > 0);

        // The page's movement is read when the frame loads, without waiting for the heartbeat.
        game.poller.timer()->setInterval(3600 * 1000);
        QTRY_VERIFY_WITH_TIMEOUT(game.poller.timer()->isActive(), kWait); // between reads, an hour to the next
        runPageScript(game.browser->page(), QStringLiteral("no_combat"), game.poller.gameOrigin(),
                      QStringLiteral("goTo(2)"));
        QTRY_VERIFY_WITH_TIMEOUT(
            hasLine(read.last().at(0).value<PageLines>(), "<DIV id=title name=\"title\"><B>L-0(3,2)"), kWait);
    }

    // A game that takes each move into the page without loading it: every step is read at once all the same.
    void aPageRewrittenWithoutALoadIsRead()
    {
        practice::GameRules rules;
        rules.rewriteMoves = true;
        Game game(profile, rules);
        QSignalSpy read(&game.poller, &PagePoller::pageRead);
        QSignalSpy loads(game.browser.get(), &BrowserView::frameCompleted);
        QVERIFY(game.loggedIn());
        QTRY_VERIFY_WITH_TIMEOUT(!read.isEmpty(), kWait);
        game.poller.timer()->setInterval(3600 * 1000); // no heartbeat
        QTRY_VERIFY_WITH_TIMEOUT(game.poller.timer()->isActive(), kWait);
        QTRY_VERIFY_WITH_TIMEOUT(game.poller.ChinpFrame.valid() && game.poller.ShowInfoFrame.valid(), kWait);
        const qsizetype loadsBefore = loads.size();
        for (int x = 3; x <= 5; ++x) {
            runPageScript(game.browser->page(), QStringLiteral("no_combat"), game.poller.gameOrigin(),
                          QStringLiteral("goTo(2)"));
            const QByteArray title = "<DIV id=title name=\"title\"><B>L-0(" + QByteArray::number(x) + ",2)";
            QTRY_VERIFY_WITH_TIMEOUT(hasLine(read.last().at(0).value<PageLines>(), title.toStdString()), kWait);
        }
        QCOMPARE(loads.size(), loadsBefore); // no frame loaded meanwhile
    }

    void aBrowserThatGoesAwayLeavesTheTimerRunningAndReadsNothing()
    {
        Game game(profile);
        QSignalSpy read(&game.poller, &PagePoller::pageRead);
        QVERIFY(game.loggedIn());
        QTRY_VERIFY_WITH_TIMEOUT(!read.isEmpty(), kWait);
        game.poller.timer()->setInterval(50);
        game.poller.setWatchdog(500);
        game.browser.reset(); // the tab closed
        QVERIFY(!game.poller.NoCombatFrame.valid() && !game.poller.ChoutFrame.valid());
        QTest::qWait(100); // a read under way answers nothing now
        const qsizetype before = read.size();
        QTest::qWait(150); // three heartbeats
        QCOMPARE(read.size(), before);
        QTRY_VERIFY_WITH_TIMEOUT(game.poller.timer()->isActive(), 1500);
    }

    // Only frames whose documents came from the game server are the game's: another site's frames of the same
    // names are never read, walked in or taken for a combat.
    void framesAreTheGamesOnlyFromItsOrigin_data()
    {
        QTest::addColumn<QString>("origin");
        QTest::addColumn<bool>("taken");
        QTest::newRow("the game") << QStringLiteral("http://127.0.0.1:8765") << true;
        QTest::newRow("another port") << QStringLiteral("http://127.0.0.1:8766") << false;
        QTest::newRow("another host") << QStringLiteral("http://localhost:8765") << false;
        QTest::newRow("another scheme") << QStringLiteral("https://127.0.0.1:8765") << false;
        QTest::newRow("inside a foreign page") << QString() << false;
    }
    void framesAreTheGamesOnlyFromItsOrigin()
    {
        QFETCH(QString, origin);
        QFETCH(bool, taken);
        PagePoller poller(OriginOf(QUrl(QStringLiteral("http://127.0.0.1:8765/"))));
        BrowserView browser(profile);
        QSignalSpy combat(&poller, &PagePoller::combatFrameLoaded);
        for (const char* name : {"no_combat", "chout", "chinp", "show_info", "your_army"})
            poller.frameLoaded(&browser, QString::fromLatin1(name), origin);
        for (const FrameRef* frame : {&poller.NoCombatFrame, &poller.ChoutFrame, &poller.ChinpFrame,
                                      &poller.ShowInfoFrame, &poller.YourArmyFrame})
            QCOMPARE(frame->valid(), taken);
        QCOMPARE(combat.size(), taken ? 1 : 0);
    }

    void originsAreWrittenAsPagesReportThem_data()
    {
        QTest::addColumn<QString>("address");
        QTest::addColumn<QString>("origin");
        QTest::newRow("port") << QStringLiteral("http://127.0.0.1:8765/") << QStringLiteral("http://127.0.0.1:8765");
        QTest::newRow("default port") << QStringLiteral("http://Game.EXAMPLE:80")
                                      << QStringLiteral("http://game.example");
        QTest::newRow("path, user") << QStringLiteral("https://u:p@h.example:443/a?b#c")
                                    << QStringLiteral("https://h.example");
        QTest::newRow("no host") << QStringLiteral("about:blank") << QString();
    }
    void originsAreWrittenAsPagesReportThem()
    {
        QFETCH(QString, address);
        QFETCH(QString, origin);
        QCOMPARE(OriginOf(QUrl(address)), origin);
    }

    void aGameFrameFromTheLoginPageIsForgotten()
    {
        const QString game = QStringLiteral("http://127.0.0.1:8765");
        PagePoller poller(game);
        BrowserView browser(profile);
        poller.frameLoaded(&browser, QStringLiteral("no_combat"), game);
        QVERIFY(poller.NoCombatFrame.valid());
        QVERIFY(poller.timer()->isActive());
        poller.forgetGame();
        QVERIFY(!poller.NoCombatFrame.valid());
        QSignalSpy combat(&poller, &PagePoller::combatFrameLoaded);
        poller.frameLoaded(&browser, QStringLiteral("your_army"), game);
        QCOMPARE(combat.size(), 1);
        QVERIFY(poller.YourArmyFrame.valid());
        poller.frameLoaded(&browser, QStringLiteral("some_other_frame"), game);
        QVERIFY(!poller.ChinpFrame.valid() && !poller.ShowInfoFrame.valid() && !poller.ChoutFrame.valid());
    }
};

int main(int argc, char** argv)
{
    veldor::prepareWebEngine();
    QApplication app(argc, argv);
    TestPagePoller test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_pagepoller.moc"
