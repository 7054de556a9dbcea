// The practice server through a real browser engine: log in, see the frameset, walk with the page's goTo.
#include "app/webengine_setup.h"
#include "game.h"
#include "server.h"

#include <QApplication>
#include <QEventLoop>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSignalSpy>
#include <QTest>
#include <QWebEnginePage>
#include <QWebEngineProfile>
#include <httplib.h>
#include <thread>

using namespace practice;

namespace {

QVariant js(QWebEnginePage& page, const QString& script)
{
    QVariant result;
    bool done = false;
    page.runJavaScript(script, [&](const QVariant& v) {
        result = v;
        done = true;
    });
    for (int waited = 0; !done && waited < 10000; waited += 10)
        QTest::qWait(10);
    return result;
}

// The title text of the game frame, empty while it is not loaded.
const char* kTitle = "(function(){var f=window.frames['no_combat'];"
                     "if(!f||!f.document||f.document.readyState!='complete')return '';"
                     "var t=f.document.getElementById('title');return t?t.textContent:'';})()";

} // namespace

class TestPracticeBrowser : public QObject
{
    Q_OBJECT

private slots:
    void logInAndWalkWithGoTo()
    {
        GameRules rules;
        Game game(Labyrinth::generate(5, 30, 2), rules);
        PracticeServer server(game);
        const int port = server.bind(0);
        QVERIFY(port > 0);
        std::thread serving([&] { server.listen(); });
        auto stop = qScopeGuard([&] {
            server.stop();
            serving.join();
        });
        const QString base = QStringLiteral("http://127.0.0.1:%1").arg(port);

        QWebEngineProfile profile; // off the record
        QWebEnginePage page(&profile);
        QSignalSpy loaded(&page, &QWebEnginePage::loadFinished);
        page.load(QUrl(base + QStringLiteral("/login.php")));
        QTRY_VERIFY_WITH_TIMEOUT(loaded.size() >= 1, 20000);
        QVERIFY(loaded.last().at(0).toBool());
        js(page, QStringLiteral("document.querySelector('input[name=login]').value='Путник';"
                                "document.querySelector('input[name=password]').value='pw';"
                                "document.forms[0].submit();"));
        QTRY_VERIFY_WITH_TIMEOUT(loaded.size() >= 2, 20000);

        const QString frames =
            js(page, QStringLiteral("Array.prototype.map.call(window.frames,function(f){return f.name;}).join(',')"))
                .toString();
        for (const char* name : {"no_combat", "show_info", "chout", "chinp"})
            QVERIFY2(frames.contains(QLatin1String(name)), qPrintable(frames));

        QString title;
        QTRY_VERIFY_WITH_TIMEOUT(!(title = js(page, QString::fromLatin1(kTitle)).toString()).isEmpty(), 20000);
        QVERIFY2(title.startsWith(QStringLiteral("L-0(2,2)")), qPrintable(title));

        httplib::Client client("127.0.0.1", port);
        for (int step = 1; step <= 6; ++step) {
            js(page, QStringLiteral("window.frames['no_combat'].goTo(2)"));
            const QString expected = QStringLiteral("L-0(%1,2)").arg(2 + step);
            QTRY_VERIFY_WITH_TIMEOUT(js(page, QString::fromLatin1(kTitle)).toString().startsWith(expected), 20000);
            const QJsonObject truth =
                QJsonDocument::fromJson(QByteArray::fromStdString(client.Get("/truth.json")->body)).object();
            const QJsonObject me = truth[QStringLiteral("player")].toObject();
            QCOMPARE(me[QStringLiteral("login")].toString(), QStringLiteral("Путник"));
            QCOMPARE(me[QStringLiteral("x")].toInt(), 2 + step);
        }
        // The chat frame and the pages came in Windows-1251 and read back as Russian.
        const QString chat = js(page, QStringLiteral("window.frames['chout'].document.body.textContent")).toString();
        QVERIFY(chat.contains(QStringLiteral("Добро пожаловать")));
    }
};

int main(int argc, char* argv[])
{
    veldor::prepareWebEngine();
    QApplication app(argc, argv);
    TestPracticeBrowser test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_practice_browser.moc"
