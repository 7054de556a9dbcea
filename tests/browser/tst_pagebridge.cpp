// Reading the game's frames through the real browser engine.
#include "app/webengine_setup.h"
#include "browser/pagebridge.h"
#include "eventwait.h"
#include "practicefixture.h"
#include "reader/pagetext.h"
#include "referencemarkup.h"
#include "testsupport.h"
#include "ui/qtcodec.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTest>
#include <QWebEngineProfile>
#include <QWebEngineScript>
#include <optional>

using namespace veldor;
using namespace veldor::test;
using practice::test::RunningServer;

namespace {

// The frames of a page set from text (srcdoc) have the opaque origin.
std::optional<QString> markup(QWebEnginePage& page, const QString& frame,
                              const QString& origin = QStringLiteral("null"))
{
    std::optional<QString> result;
    bool done = false;
    readFrameMarkup(&page, frame, origin, [&](std::optional<QString> m) {
        result = std::move(m);
        done = true;
    });
    waitUntil([&] { return done; });
    return result;
}

// What the reference writes for the named frame.
QString referenceMarkup(QWebEnginePage& page, const QString& frame)
{
    QString result;
    bool done = false;
    page.runJavaScript(
        QString::fromLatin1(test::kReference) +
            QStringLiteral("veldorSerialize(refFind(window,'%1').document.documentElement,1e9)").arg(frame),
        QWebEngineScript::ApplicationWorld, [&](const QVariant& v) {
            result = v.toString();
            done = true;
        });
    waitUntil([&] { return done; });
    return result;
}

QString jsonString(const QString& text)
{
    return QString::fromUtf8(QJsonDocument(QJsonArray{text}).toJson(QJsonDocument::Compact)).mid(1).chopped(1);
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
        // The other two frames finish loading in their own time.
        QTRY_VERIFY_WITH_TIMEOUT(seen(QStringLiteral("chinp")) && seen(QStringLiteral("show_info")), kWait);

        const QString origin = OriginOf(QUrl(base));
        const auto text = markup(page, QStringLiteral("no_combat"), origin);
        QVERIFY(text.has_value());
        // Byte for byte what the node-by-node reference writes, for the game frame and the chat.
        QCOMPARE(*text, referenceMarkup(page, QStringLiteral("no_combat")));
        QCOMPARE(markup(page, QStringLiteral("chout"), origin).value_or(QString()),
                 referenceMarkup(page, QStringLiteral("chout")));
        const PageLines lines = SplitPageLines(toCp1251(*text));
        QVERIFY(hasLine(lines, toCp1251(QStringLiteral("<DIV id=hru name=\"hru\">измотанность: 100%</DIV>"))));
        QVERIFY(hasLine(lines, "<DIV id=title name=\"title\"><B>L-0(2,2)</B>"));
        QVERIFY(hasLine(lines, "<DIV id=d5 name=\"d5\"><A href=\"javascript:goTo(2)\"><IMG src=\"/img/go_e_s.gif\""));
        QVERIFY(hasLine(lines, "<DIV id=d1 name=\"d1\"></DIV>"));
        QVERIFY(hasLine(lines, "<DIV class=\"top\">"));
        const auto title = FindPageMarker(lines, "<DIV id=title name=\"title\"><B>L");
        QVERIFY(title && title->found);
        QVERIFY(!markup(page, QStringLiteral("no_such_frame"), origin).has_value());
        // The same frame asked for as another site's is not there, nor walked in.
        const QString elsewhere = QStringLiteral("http://127.0.0.1:1");
        QVERIFY(!markup(page, QStringLiteral("no_combat"), elsewhere).has_value());
        runPageScript(&page, QStringLiteral("no_combat"), elsewhere, QStringLiteral("goTo(2)"));

        // The page's own movement script runs in the game frame.
        runPageScript(&page, QStringLiteral("no_combat"), origin, QStringLiteral("goTo(2)"));
        auto client = server.client();
        QTRY_COMPARE_WITH_TIMEOUT(QJsonDocument::fromJson(QByteArray::fromStdString(client.Get("/truth.json")->body))
                                      .object()[QStringLiteral("player")]
                                      .toObject()[QStringLiteral("x")]
                                      .toInt(),
                                  3, kWait);
        QTRY_VERIFY_WITH_TIMEOUT(markup(page, QStringLiteral("no_combat"), origin)
                                     .value_or(QString())
                                     .contains(QStringLiteral("<B>L-0(3,2)</B>")),
                                 kWait);
        // One more move of our own: the page runs its scripts in order, so had the one sent as another site's run,
        // the player would now stand a cell further than two moves take it.
        runPageScript(&page, QStringLiteral("no_combat"), origin, QStringLiteral("goTo(2)"));
        QTRY_VERIFY_WITH_TIMEOUT(markup(page, QStringLiteral("no_combat"), origin)
                                     .value_or(QString())
                                     .contains(QRegularExpression(QStringLiteral("<B>L-0\\(([4-9]|1[0-9]),2\\)</B>"))),
                                 kWait);
        QCOMPARE(QJsonDocument::fromJson(QByteArray::fromStdString(client.Get("/truth.json")->body))
                     .object()[QStringLiteral("player")]
                     .toObject()[QStringLiteral("x")]
                     .toInt(),
                 4);
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
        QTest::newRow("a change") << QStringLiteral("console.log('\\x01veldor-frame\\x01change\\x01no_combat');");
    }
    void pagesCannotForgeFrameNotices()
    {
        QFETCH(QString, script);
        GamePage page(profile);
        QSignalSpy frames(&page, &GamePage::frameCompleted);
        QSignalSpy changes(&page, &GamePage::frameChanged);
        page.setHtml(QStringLiteral("<html><body><script>") + script +
                     QStringLiteral("</script><iframe name=\"inner\" srcdoc=\"<p>x</p>\"></iframe></body></html>"));
        QTRY_VERIFY_WITH_TIMEOUT(
            std::any_of(frames.begin(), frames.end(), [](const QList<QVariant>& a) { return a.at(1).toBool(); }),
            kWait);
        QTest::qWait(200);
        for (const auto& args : frames)
            QVERIFY(args.at(0).toString() != QLatin1String("no_combat"));
        QVERIFY(changes.isEmpty());
        QVERIFY(std::any_of(frames.begin(), frames.end(),
                            [](const QList<QVariant>& a) { return a.at(0).toString() == QLatin1String("inner"); }));
    }

    // The game frame rewritten without a load: one notice a burst of changes, none for the other frames.
    void aRewrittenGameFrameIsReportedOnceABurst()
    {
        GamePage page(profile);
        QSignalSpy loaded(&page, &QWebEnginePage::loadFinished);
        QSignalSpy changes(&page, &GamePage::frameChanged);
        const QString frame = QStringLiteral("<iframe name=\"%1\" srcdoc=\"<div id=title>0</div>\"></iframe>");
        page.setHtml(QStringLiteral("<html><body>") + frame.arg(QStringLiteral("no_combat")) +
                     frame.arg(QStringLiteral("chout")) + QStringLiteral("</body></html>"));
        QTRY_VERIFY_WITH_TIMEOUT(loaded.size() == 1, kWait);
        QTest::qWait(200);
        const auto burst = [&](const QString& name) {
            page.runJavaScript(QStringLiteral("(function(){var d=window.frames['%1'].document;for(var i=1;i<=50;i++)"
                                              "d.body.innerHTML='<div id=title>'+i+'</div>';})()")
                                   .arg(name));
        };
        burst(QStringLiteral("chout"));
        QTest::qWait(200);
        QVERIFY(changes.isEmpty());
        burst(QStringLiteral("no_combat"));
        QTRY_COMPARE_WITH_TIMEOUT(changes.size(), 1, kWait);
        QCOMPARE(changes.last().at(0).toString(), QStringLiteral("no_combat"));
        QTest::qWait(200);
        QCOMPARE(changes.size(), 1);
        burst(QStringLiteral("no_combat"));
        QTRY_COMPARE_WITH_TIMEOUT(changes.size(), 2, kWait);
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

    // The reader stays in the page's isolated world between reads. Elements and frames named like its
    // functions do not stop it, and neither does a page replaced by another.
    void readsSurviveLookalikeNamesAndNewPages()
    {
        GamePage page(profile);
        QSignalSpy loaded(&page, &QWebEnginePage::loadFinished);
        const QString decoys = QStringLiteral("<object id=veldorReaderMark></object><embed name=veldorReadFrames>"
                                              "<iframe name=veldorFindFrame></iframe><div id=veldorSerialize></div>");
        const auto show = [&](const QString& text) {
            page.setHtml(QStringLiteral("<html><body>") + decoys + QStringLiteral("<iframe name=\"f\" srcdoc=\"<p>") +
                         text + QStringLiteral("</p>\"></iframe></body></html>"));
        };
        show(QStringLiteral("first"));
        QTRY_VERIFY_WITH_TIMEOUT(loaded.size() == 1, kWait);
        for (int read = 0; read < 3; ++read) {
            QTRY_VERIFY_WITH_TIMEOUT(
                markup(page, QStringLiteral("f")).value_or(QString()).contains(QStringLiteral("<P>first</P>")), kWait);
        }
        QVERIFY(!markup(page, QStringLiteral("veldorFindFrame")).value_or(QString()).contains(QStringLiteral("first")));
        show(QStringLiteral("second"));
        QTRY_VERIFY_WITH_TIMEOUT(loaded.size() == 2, kWait);
        QTRY_VERIFY_WITH_TIMEOUT(
            markup(page, QStringLiteral("f")).value_or(QString()).contains(QStringLiteral("<P>second</P>")), kWait);
    }

    // Whatever the frame holds, the read equals the node-by-node reference.
    void markupEqualsTheReferenceForAnyContent_data()
    {
        QTest::addColumn<QString>("body");
        QTest::newRow("blocks and inline") << QStringLiteral(
            "<div id=a1><p>para <b>bold</b> <i>it</i></p><ul><li>one<li>two</ul><center>c</center><h3>h</h3>"
            "<table border=1><caption>cap</caption><tr><th>h<td>d</table><hr><br><address>x</address></div>");
        QTest::newRow("attributes") << QStringLiteral(
            "<div id='a b' title='x&quot;y' data-x='1 &gt; 0 &amp; 2' class=\"\" ID=Upper lang=ru>t</div>"
            "<span id=\"\">e</span><p id=\"ид\">u</p><a href=\"/x?a=1&amp;b=2\" name=n>l</a>"
            "<input type=checkbox checked disabled value='a&nbsp;b'><img src=x.gif alt='<&>'>");
        QTest::newRow("text escaping") << QStringLiteral(
            "<div>1 &lt; 2 &amp;&nbsp;3 &gt; 0 &quot;q&quot; &#39;s&#39; &copy;</div><textarea>a < b &amp; c</textarea>"
            "<pre>\n  keep\n\tspaces</pre>");
        QTest::newRow("raw text") << QStringLiteral(
            "<script>if (1 < 2 && 3 > 2) { var s = '&amp;'; }</script><style>a > b { x: '&' }</style>"
            "<xmp>x < y & z</xmp><noscript><b>ns</b> & </noscript><noembed>e < f</noembed>"
            "<noframes>g & h</noframes>");
        QTest::newRow("comments") << QStringLiteral("<!-- a < b & c --><div><!---->x<!-- <div id=fake> --></div>");
        QTest::newRow("foreign content") << QStringLiteral(
            "<svg viewBox='0 0 10 10'><foreignObject><p>in</p></foreignObject><circle r=1 /></svg>"
            "<math><mi>x</mi></math>");
        QTest::newRow("template and frames") << QStringLiteral(
            "<template><div id=t>in template</div></template><iframe name=inner srcdoc='<p>n</p>'>fallback < & "
            "text</iframe><form action=/f><fieldset><legend>L</legend><select><option selected>o</select></fieldset>"
            "</form>");
        QTest::newRow("nested blocks with spaces") << QStringLiteral(
            "<div>\n  <div>\n    <span> a </span>\n  </div>\n</div>\n<dl><dt>t<dd>d</dl><menu><li>m</menu>");
    }
    void markupEqualsTheReferenceForAnyContent()
    {
        QFETCH(QString, body);
        GamePage page(profile);
        QSignalSpy loaded(&page, &QWebEnginePage::loadFinished);
        page.setHtml(QStringLiteral("<html><body><iframe name=\"f\"></iframe><script>"
                                    "var d = frames['f'].document; d.open(); d.write(") +
                     jsonString(QStringLiteral("<html><head><title>t</title></head><body>") + body +
                                QStringLiteral("</body></html>")) +
                     QStringLiteral("); d.close();</script></body></html>"));
        QTRY_VERIFY_WITH_TIMEOUT(loaded.size() == 1, kWait);
        std::optional<QString> text;
        QTRY_VERIFY_WITH_TIMEOUT((text = markup(page, QStringLiteral("f"))).has_value(), kWait);
        const QString reference = referenceMarkup(page, QStringLiteral("f"));
        QVERIFY(reference.contains(QStringLiteral("<BODY>")));
        QCOMPARE(*text, reference);
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
