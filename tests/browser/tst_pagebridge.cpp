// Reading the game's frames through the real browser engine.
#include "app/webengine_setup.h"
#include "browser/pagebridge.h"
#include "practicefixture.h"
#include "reader/pagetext.h"
#include "ui/qtcodec.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSignalSpy>
#include <QTest>
#include <QWebEngineProfile>
#include <optional>

using namespace veldor;
using practice::test::RunningServer;

namespace {

constexpr int kWait = 20000;

std::optional<QString> markup(QWebEnginePage& page, const QString& frame)
{
    std::optional<QString> result;
    bool done = false;
    readFrameMarkup(&page, frame, [&](std::optional<QString> m) {
        result = std::move(m);
        done = true;
    });
    for (int waited = 0; !done && waited < kWait; waited += 10)
        QTest::qWait(10);
    return result;
}

bool hasLine(const PageLines& lines, const std::string& prefix)
{
    return std::any_of(lines.begin(), lines.end(), [&](const std::string& l) { return l.rfind(prefix, 0) == 0; });
}

} // namespace

class TestPageBridge : public QObject
{
    Q_OBJECT
    QWebEngineProfile* profile = nullptr;

private slots:
    void initTestCase()
    {
        profile = new QWebEngineProfile(this); // off the record
        installFrameWatch(profile);
    }

    void gameFrameReadsInTheLegacyDialect()
    {
        RunningServer server;
        GamePage page(profile);
        QSignalSpy frames(&page, &GamePage::frameCompleted);
        const QString base = QString::fromStdString(server.base());
        page.load(QUrl(base + QStringLiteral("/login.php")));
        QTRY_VERIFY_WITH_TIMEOUT(frames.size() >= 1, kWait);
        QCOMPARE(frames.last().at(1).toBool(), true); // the whole page
        page.runJavaScript(QStringLiteral("document.querySelector('input[name=login]').value='reader';"
                                          "document.querySelector('input[name=password]').value='pw';"
                                          "document.forms[0].submit();"));
        auto seen = [&](const QString& name) {
            return std::any_of(frames.begin(), frames.end(), [&](const QList<QVariant>& args) {
                return args.at(0).toString() == name && !args.at(1).toBool();
            });
        };
        QTRY_VERIFY_WITH_TIMEOUT(seen(QStringLiteral("no_combat")) && seen(QStringLiteral("chout")), kWait);
        QVERIFY(seen(QStringLiteral("chinp")) && seen(QStringLiteral("show_info")));

        const auto text = markup(page, QStringLiteral("no_combat"));
        QVERIFY(text.has_value());
        const PageLines lines = SplitPageLines(toCp1251(*text));
        QVERIFY(hasLine(lines, toCp1251(QStringLiteral("<DIV id=hru name=\"hru\">измотанность: 100%</DIV>"))));
        QVERIFY(hasLine(lines, "<DIV id=title name=\"title\"><B>L-0(2,2)</B>"));
        QVERIFY(hasLine(lines, "<DIV id=d5 name=\"d5\"><A href=\"javascript:goTo(2)\"><IMG src=\"/img/go_e_s.gif\""));
        QVERIFY(hasLine(lines, "<DIV id=d1 name=\"d1\"></DIV>"));
        QVERIFY(hasLine(lines, "<DIV class=\"top\">"));
        const auto title = FindPageMarker(lines, "<DIV id=title name=\"title\"><B>L");
        QVERIFY(title && title->found);
        QVERIFY(!markup(page, QStringLiteral("no_such_frame")).has_value());

        // The page's own movement script runs in the game frame.
        runPageScript(&page, QStringLiteral("no_combat"), QStringLiteral("goTo(2)"));
        auto client = server.client();
        QTRY_COMPARE_WITH_TIMEOUT(QJsonDocument::fromJson(QByteArray::fromStdString(client.Get("/truth.json")->body))
                                      .object()[QStringLiteral("player")]
                                      .toObject()[QStringLiteral("x")]
                                      .toInt(),
                                  3, kWait);
        QTRY_VERIFY_WITH_TIMEOUT(
            markup(page, QStringLiteral("no_combat")).value_or(QString()).contains(QStringLiteral("<B>L-0(3,2)</B>")),
            kWait);
    }

    // A page's script can print the watch script's text, name its code after the watch script, or build it
    // with eval or new Function: none of that is a frame notice.
    void pagesCannotForgeFrameNotices_data()
    {
        QTest::addColumn<QString>("script");
        const QString notice = QStringLiteral("'\\x01veldor-frame\\x01sub\\x01no_combat'");
        const QString named = QStringLiteral("\\n//# sourceURL=userscript:veldor-frame-watch");
        QTest::newRow("plain") << QStringLiteral("console.log(%1);").arg(notice);
        QTest::newRow("sourceURL") << QStringLiteral("eval(\"console.log(%1)%2\");").arg(notice, named);
        QTest::newRow("new Function") << QStringLiteral("(new Function(\"console.log(%1)%2\"))();").arg(notice, named);
    }
    void pagesCannotForgeFrameNotices()
    {
        QFETCH(QString, script);
        GamePage page(profile);
        QSignalSpy frames(&page, &GamePage::frameCompleted);
        page.setHtml(QStringLiteral("<html><body><script>") + script +
                     QStringLiteral("</script><iframe name=\"inner\" srcdoc=\"<p>x</p>\"></iframe></body></html>"));
        QTRY_VERIFY_WITH_TIMEOUT(
            std::any_of(frames.begin(), frames.end(), [](const QList<QVariant>& a) { return a.at(1).toBool(); }),
            kWait);
        QTest::qWait(300);
        for (const auto& args : frames)
            QVERIFY(args.at(0).toString() != QLatin1String("no_combat"));
        QVERIFY(std::any_of(frames.begin(), frames.end(),
                            [](const QList<QVariant>& a) { return a.at(0).toString() == QLatin1String("inner"); }));
    }

    // A frame of 20 MB is cut off in the page before anything is transferred; the next frame reads as usual.
    void aHugeFrameFailsTheReadQuickly()
    {
        GamePage page(profile);
        QSignalSpy loaded(&page, &QWebEnginePage::loadFinished);
        page.setHtml(QStringLiteral(
            "<html><body><iframe name=\"big\" srcdoc=\"<div id=title>x</div><script>"
            "document.body.appendChild(document.createTextNode('x'.repeat(20000000)));</script>\"></iframe>"
            "<iframe name=\"small\" srcdoc=\"<div id=title>ok</div>\"></iframe></body></html>"));
        QTRY_VERIFY_WITH_TIMEOUT(loaded.size() == 1, kWait);
        QTRY_VERIFY_WITH_TIMEOUT(
            markup(page, QStringLiteral("small")).value_or(QString()).contains(QStringLiteral("ok")), kWait);
        QElapsedTimer clock;
        clock.start();
        QVERIFY(!markup(page, QStringLiteral("big")).has_value());
        qInfo("a 20 MB frame failed its read in %lld ms", static_cast<long long>(clock.elapsed()));
        QVERIFY(markup(page, QStringLiteral("small")).value_or(QString()).contains(QStringLiteral("ok")));
    }

    void markupEscapesAndQuotesLikeTheLegacyEngine()
    {
        GamePage page(profile);
        QSignalSpy loaded(&page, &QWebEnginePage::loadFinished);
        page.setHtml(QStringLiteral(
            "<html><body><iframe name=\"f\" srcdoc=\"<div id='a b' title='x&quot;y'>1 &lt; 2 &amp;&nbsp;3</div>"
            "<p id=plain>t</p><span>in<b>line</b></span><script>if (1 < 2) {}</script>\"></iframe></body></html>"));
        QTRY_VERIFY_WITH_TIMEOUT(loaded.size() == 1, kWait);
        std::optional<QString> text;
        QTRY_VERIFY_WITH_TIMEOUT(
            (text = markup(page, QStringLiteral("f"))).value_or(QString()).contains(QStringLiteral("<P")), kWait);
        QVERIFY2(text->contains(QStringLiteral("\r\n<DIV id=\"a b\" title=\"x&quot;y\">1 &lt; 2 &amp;&nbsp;3</DIV>")),
                 qPrintable(*text));
        QVERIFY(text->contains(QStringLiteral("\r\n<P id=plain>t</P><SPAN>in<B>line</B></SPAN>")));
        QVERIFY(text->contains(QStringLiteral("<SCRIPT>if (1 < 2) {}</SCRIPT>")));
    }
};

int main(int argc, char* argv[])
{
    veldor::prepareWebEngine();
    QApplication app(argc, argv);
    TestPageBridge test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_pagebridge.moc"
