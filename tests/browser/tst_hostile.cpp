// The game server is not trusted: a page that opens windows in a loop or pushes files at the user.
#include "app/webengine_setup.h"
#include "app/window/mainwindow.h"
#include "browser/browserview.h"
#include "browser/pagepoller.h"
#include "eventwait.h"
#include "formfixture.h"
#include "person.h"
#include "testsupport.h"
#include "windowcontrols.h"

#include <QApplication>
#include <QComboBox>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTabWidget>
#include <QTest>
#include <atomic>
#include <httplib.h>
#include <memory>
#include <thread>

using namespace veldor;
using namespace veldor::test;

namespace {

// A small hostile server on a free loopback port.
class HostileServer
{
public:
    HostileServer()
    {
        auto page = [](const char* html) {
            return [html](const httplib::Request&, httplib::Response& res) { res.set_content(html, "text/html"); };
        };
        m_server.Get("/blank", page("<html><head><title>blank</title></head><body>blank</body></html>"));
        m_server.Get("/clicked", page("<html><head><title>clicked</title></head><body>clicked</body></html>"));
        m_server.Get("/popups", page("<html><body><a href=\"/clicked\" target=\"_blank\" style=\"display:block;"
                                     "width:100%;height:2000px\">open</a><script>for (var i = 0; i < 300; i++)"
                                     " window.open('/blank'); document.title = 'opened';</script></body></html>"));
        // A second after loading, so that the test sees the page before the push takes the tab elsewhere.
        m_server.Get("/push", page("<html><body>pushing<script>setTimeout(function(){location.href='/file';},"
                                   "1000);</script></body></html>"));
        m_server.Get("/clickme", page("<html><body><a href=\"/file\" style=\"display:block;width:100%;"
                                      "height:2000px\">get the file</a></body></html>"));
        // Another site dressed as the game: its frames named as the game's, the game's markup hidden, the title
        // rewritten every 5 ms, and a movement script of its own that tells when it is run.
        m_server.Get("/fakegame", page("<html><frameset rows=\"50%,50%\"><frame name=\"no_combat\" "
                                       "src=\"/fakeframe\"><frame name=\"chout\" src=\"/blank\"></frameset></html>"));
        m_server.Get("/fakeframe",
                     page("<html><body><div style=\"display:none\"><div id=\"title\" name=\"title\"><b>L-5(20,20)"
                          "</b></div><div id=\"d5\" name=\"d5\"></div></div><script>var n = 0;"
                          "function goTo(d) { fetch('/walked'); }"
                          "setInterval(function () { n = n % 16 + 1; document.getElementById('title').innerHTML ="
                          " '<b>L-' + n + '(' + n + ',' + n + ')</b>'; }, 5);</script></body></html>"));
        m_server.Get("/walked", [this](const httplib::Request&, httplib::Response& res) {
            ++walked;
            res.set_content("", "text/plain");
        });
        m_server.Get("/file", [this](const httplib::Request&, httplib::Response& res) {
            ++fileRequests;
            res.set_header("Content-Disposition", "attachment; filename=\"map1.map\"");
            res.set_content("EVIL", "application/octet-stream");
        });
        port = m_server.bind_to_any_port("127.0.0.1");
        m_thread = std::thread([this] { m_server.listen_after_bind(); });
        httplib::Client probe("127.0.0.1", port);
        for (int i = 0; i < 200 && !probe.Get("/blank"); ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    ~HostileServer()
    {
        m_server.stop();
        m_thread.join();
    }
    QString url(const char* path) const
    {
        return QStringLiteral("http://127.0.0.1:%1%2").arg(port).arg(QLatin1String(path));
    }

    int port = -1;
    std::atomic<int> fileRequests{0};
    std::atomic<int> walked{0};

private:
    httplib::Server m_server;
    std::thread m_thread;
};

} // namespace

class TestHostile : public QObject
{
    Q_OBJECT
    FormFixture fx;
    std::unique_ptr<HostileServer> server;

    // A new tab on the address, typed into the address box as a person does; waits for the page to load.
    static bool openTab(MainWindow& form, const QString& address, bool waitForLoad = true)
    {
        BrowserView* tab = FormFixture::openTab(form, address);
        return tab && waitUntil([&] { return tab->url().toString() == address && (!waitForLoad || !tab->busy()); });
    }

private slots:
    void init()
    {
        fx.reset();
        server = std::make_unique<HostileServer>();
    }
    void cleanup() { server.reset(); }

    void aPageOpensAtMostOneWindowASecondUnlessClicked()
    {
        auto form = fx.active();
        QVERIFY(form);
        QVERIFY(openTab(*form, server->url("/popups"), false));
        QVERIFY(waitUntil([&] { return FormFixture::tab(*form, 1)->title() == QLatin1String("opened"); }));
        QTest::qWait(200); // a tab the page asked for last is made after the page's script ends
        const int tabs = controls(*form).browserTabs->count();
        qInfo("300 window.open calls gave %d tabs", tabs - 2);
        QVERIFY2(tabs <= 2 + 3, qPrintable(QString::number(tabs)));
        // A click on a link that opens a window is the user's own wish.
        QVERIFY(fx.clickTab(*form, 1));
        auto clickedTabOpen = [&] {
            for (int i = 2; i < controls(*form).browserTabs->count(); ++i)
                if (FormFixture::tab(*form, i)->url().path() == QLatin1String("/clicked"))
                    return true;
            return false;
        };
        // On a loaded machine the page may not take the first click yet; a person clicks again.
        for (int attempt = 0; attempt < 3 && !clickedTabOpen(); ++attempt) {
            QTest::qWait(200);
            person::click(FormFixture::tab(*form, 1));
            waitUntil(clickedTabOpen, kWait / 3);
        }
        QVERIFY(clickedTabOpen());
    }

    // Nothing of another site's page is read as the game, whatever its frames are named: no cell, no caption,
    // and the keys go on walking in the game.
    void aForeignPageWithTheGamesFramesIsNotTheGame()
    {
        fx.startServer();
        auto form = fx.active(UserDat{.autoLogin = true, .passDoors = true});
        QVERIFY(form);
        QTRY_COMPARE_WITH_TIMEOUT(controls(*form).positionLabel->text(), QStringLiteral("2x2"), kWait);
        BrowserView* game = form->poller()->NoCombatFrame.browser;
        QVERIFY(game == controls(*form).gameBrowser);
        QSignalSpy ticks(form->poller(), &PagePoller::tickDone);
        QVERIFY(openTab(*form, server->url("/fakegame")));
        QTRY_VERIFY_WITH_TIMEOUT(ticks.size() >= 4, kWait); // heartbeats, and hundreds of the page's rewrites
        QVERIFY2(!form->windowTitle().contains(QStringLiteral("L - 5")), qPrintable(form->windowTitle()));
        QCOMPARE(form->poller()->NoCombatFrame.browser.data(), game);
        int explored = 0;
        for (int level = 1; level <= 16; ++level)
            for (int x = 1; x <= 30; ++x)
                for (int y = 1; y <= 30; ++y)
                    explored += form->atlas().cell(1, level, x, y)->Explored;
        QCOMPARE(explored, 0);
        QVERIFY(FormFixture::step(*form, Qt::Key_Right, 3, 2));
        QCOMPARE(form->atlas().cell(1, 0, 3, 2)->Explored, 1);
        QCOMPARE(server->walked.load(), 0);
    }

    void aFileThePageSendsByItselfIsRefused()
    {
        auto form = fx.active();
        QVERIFY(form);
        const QByteArray before = readAll(fx.file("map1.map"));
        QVERIFY(openTab(*form, server->url("/push")));
        QVERIFY(waitUntil([&] { return server->fileRequests > 0 && !FormFixture::tab(*form, 1)->busy(); }));
        QTest::qWait(200);                           // a save question would have come by now
        QVERIFY(fx.prompts->fileCaptions.isEmpty()); // no save dialog was offered
        QCOMPARE(readAll(fx.file("map1.map")), before);
    }

    void aClickedFileIsSavedAwayFromTheMaps()
    {
        auto form = fx.active();
        QVERIFY(form);
        const QByteArray before = readAll(fx.file("map1.map"));
        QVERIFY(openTab(*form, server->url("/clickme")));
        fx.prompts->files = {fx.file("map1.map")};
        QTest::qWait(200);
        person::click(FormFixture::tab(*form, 1));
        QTRY_COMPARE_WITH_TIMEOUT(fx.prompts->fileCaptions.size(), 1, kWait);
        const QString downloads = QStandardPaths::writableLocation(QStandardPaths::DownloadLocation);
        QVERIFY2(fx.prompts->suggestions.first().startsWith(downloads), qPrintable(fx.prompts->suggestions.first()));
        QVERIFY(fx.prompts->suggestions.first().endsWith(QStringLiteral("/map1.map")));
        QTRY_COMPARE_WITH_TIMEOUT(fx.prompts->errors.size(), 1, kWait);
        QVERIFY(fx.prompts->errors.first().contains(QStringLiteral("файл самого Вельдора")));
        QTest::qWait(200);
        QCOMPARE(readAll(fx.file("map1.map")), before);
    }
};

int main(int argc, char* argv[])
{
    veldor::prepareWebEngine();
    QApplication app(argc, argv);
    veldor::setupApplication(app);
    TestHostile test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_hostile.moc"
