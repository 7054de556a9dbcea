#include "pagebridge.h"

#include <QJsonDocument>
#include <QJsonValue>
#include <QRandomGenerator>
#include <QWebEngineProfile>
#include <QWebEngineScript>
#include <QWebEngineScriptCollection>

namespace veldor {
namespace {

const QString kWatchName = QStringLiteral("veldor-frame-watch");
// Far above any real game frame (tens of kilobytes): a page that is larger is cut off in its own world, before
// anything is transferred, and the read fails like one of a frame that went away.
constexpr int kMarkupLimit = 2 * 1024 * 1024;

// A secret of this run, known to the watch script in its isolated world and to nobody else: a page can name
// its own code after the watch script (a sourceURL comment), but it cannot sign a notice.
const QString& noticePrefix()
{
    static const QString prefix = [] {
        QString secret;
        for (int i = 0; i < 4; ++i)
            secret += QString::number(QRandomGenerator::system()->generate(), 16).rightJustified(8, QLatin1Char('0'));
        return QStringLiteral("\x01veldor-frame-") + secret + QLatin1Char('\x01');
    }();
    return prefix;
}

// Reports the frame once its load event has fired (at once when it already has).
const char* kWatchScript = R"JS(
(function () {
    var report = function () {
        console.log(PREFIX + (window.top === window ? 'top' : 'sub') + '\x01' + window.name);
    };
    if (document.readyState === 'complete') report();
    else window.addEventListener('load', report, { once: true });
})();
)JS";

// Finds a frame window by name, depth first through window.frames.
const char* kFindFrame = R"JS(
function veldorFindFrame(w, name) {
    for (var i = 0; i < w.frames.length; i++) {
        try {
            var f = w.frames[i];
            if (f.name === name) return f;
            var inner = veldorFindFrame(f, name);
            if (inner) return inner;
        } catch (e) {}
    }
    return null;
}
)JS";

// The children of the document element in the dialect the game's markers were written for: upper-case tag
// names, a plain-word id without quotes, other attribute values in double quotes, and a line break before
// each block-level start tag.
const char* kSerialize = R"JS(
function veldorSerialize(root, limit) {
    var block = {ADDRESS:1, ARTICLE:1, ASIDE:1, BLOCKQUOTE:1, BODY:1, CENTER:1, DD:1, DIR:1, DIV:1, DL:1, DT:1,
        FIELDSET:1, FIGURE:1, FOOTER:1, FORM:1, FRAMESET:1, H1:1, H2:1, H3:1, H4:1, H5:1, H6:1, HEADER:1, HR:1,
        LI:1, MAIN:1, MENU:1, NAV:1, NOSCRIPT:1, OL:1, P:1, PRE:1, SECTION:1, TABLE:1, TBODY:1, TD:1, TFOOT:1,
        TH:1, THEAD:1, TR:1, UL:1, CAPTION:1};
    var empty = {AREA:1, BASE:1, BR:1, COL:1, EMBED:1, HR:1, IMG:1, INPUT:1, LINK:1, META:1, PARAM:1,
        SOURCE:1, TRACK:1, WBR:1, FRAME:1};
    var raw = {SCRIPT:1, STYLE:1, XMP:1, NOEMBED:1, NOFRAMES:1, PLAINTEXT:1, NOSCRIPT:1};
    var out = [];
    var size = 0;
    function put(s) {
        size += s.length;
        if (size > limit) throw 'veldor-too-large';
        out.push(s);
    }
    function text(s) {
        return s.replace(/&/g, '&amp;').replace(/</g, '&lt;').replace(/>/g, '&gt;').replace(/\u00a0/g, '&nbsp;');
    }
    function attr(s) {
        return s.replace(/&/g, '&amp;').replace(/"/g, '&quot;').replace(/\u00a0/g, '&nbsp;');
    }
    function node(n, inRaw) {
        if (n.nodeType === 3) {
            if (size + n.data.length > limit) throw 'veldor-too-large';
            put(inRaw ? n.data : text(n.data));
            return;
        }
        if (n.nodeType === 8) { put('<!--' + n.data + '-->'); return; }
        if (n.nodeType !== 1) return;
        var tag = n.tagName.toUpperCase();
        if (block[tag]) put('\r\n');
        put('<' + tag);
        for (var i = 0; i < n.attributes.length; i++) {
            var a = n.attributes[i];
            if (a.name === 'id' && /^[A-Za-z0-9_]+$/.test(a.value)) put(' id=' + a.value);
            else put(' ' + a.name + '="' + attr(a.value) + '"');
        }
        put('>');
        if (empty[tag]) return;
        var kids = (tag === 'TEMPLATE' && n.content) ? n.content.childNodes : n.childNodes;
        for (var k = 0; k < kids.length; k++) node(kids[k], raw[tag] === 1);
        put('</' + tag + '>');
    }
    for (var c = 0; c < root.childNodes.length; c++) node(root.childNodes[c], false);
    return out.join('');
}
)JS";

QString jsString(const QString& text)
{
    // A JSON string is a JavaScript string literal; nothing in it can end the literal.
    return QString::fromUtf8(QJsonDocument::fromVariant(QVariantList{text}).toJson(QJsonDocument::Compact))
        .mid(1)
        .chopped(1);
}

} // namespace

GamePage::GamePage(QWebEngineProfile* profile, QObject* parent) : QWebEnginePage(profile, parent) {}

void GamePage::javaScriptConsoleMessage(JavaScriptConsoleMessageLevel, const QString& message, int,
                                        const QString& sourceID)
{
    // Only the watch script's own messages count: a page can print the same text, but not from that source.
    if (sourceID != QStringLiteral("userscript:") + kWatchName || !message.startsWith(noticePrefix()))
        return;
    const QString rest = message.mid(noticePrefix().size());
    const int sep = rest.indexOf(QLatin1Char('\x01'));
    if (sep < 0)
        return;
    emit frameCompleted(rest.mid(sep + 1), rest.left(sep) == QLatin1String("top"));
}

void installFrameWatch(QWebEngineProfile* profile)
{
    QWebEngineScript script;
    script.setName(kWatchName);
    script.setSourceCode(QString::fromLatin1(kWatchScript).replace(QStringLiteral("PREFIX"), jsString(noticePrefix())));
    script.setInjectionPoint(QWebEngineScript::DocumentReady);
    script.setWorldId(QWebEngineScript::ApplicationWorld);
    script.setRunsOnSubFrames(true);
    profile->scripts()->insert(script);
}

void readFrameMarkup(QWebEnginePage* page, const QString& frameName, std::function<void(std::optional<QString>)> done)
{
    const QString code =
        QString::fromLatin1(kFindFrame) + QString::fromLatin1(kSerialize) +
        QStringLiteral("(function(){var f=veldorFindFrame(window,") + jsString(frameName) +
        QStringLiteral(");if(!f||!f.document||!f.document.documentElement)return null;"
                       "try{return veldorSerialize(f.document.documentElement,%1);}catch(e){return null;}})()")
            .arg(kMarkupLimit);
    page->runJavaScript(code, QWebEngineScript::ApplicationWorld, [done = std::move(done)](const QVariant& v) {
        if (v.typeId() == QMetaType::QString)
            done(v.toString());
        else
            done(std::nullopt);
    });
}

void readTwoFramesMarkup(QWebEnginePage* page, const QString& first, const QString& second,
                         std::function<void(std::optional<QString>, std::optional<QString>)> done)
{
    const QString code =
        QString::fromLatin1(kFindFrame) + QString::fromLatin1(kSerialize) +
        QStringLiteral("(function(){function one(name){var f=veldorFindFrame(window,name);"
                       "if(!f||!f.document||!f.document.documentElement)return null;"
                       "try{return veldorSerialize(f.document.documentElement,%1);}catch(e){return null;}}"
                       "return [one(")
            .arg(kMarkupLimit) +
        jsString(first) + QStringLiteral("),one(") + jsString(second) + QStringLiteral(")];})()");
    page->runJavaScript(code, QWebEngineScript::ApplicationWorld, [done = std::move(done)](const QVariant& v) {
        const QVariantList both = v.toList();
        auto text = [&](int i) -> std::optional<QString> {
            if (both.size() == 2 && both[i].typeId() == QMetaType::QString)
                return both[i].toString();
            return std::nullopt;
        };
        done(text(0), text(1));
    });
}

void runPageScript(QWebEnginePage* page, const QString& frameName, const QString& script)
{
    const QString code = QString::fromLatin1(kFindFrame) + QStringLiteral("(function(){var f=veldorFindFrame(window,") +
                         jsString(frameName) + QStringLiteral(");if(f)f.eval(") + jsString(script) +
                         QStringLiteral(");})()");
    page->runJavaScript(code, QWebEngineScript::MainWorld);
}

} // namespace veldor
