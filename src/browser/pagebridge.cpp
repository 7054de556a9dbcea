#include "pagebridge.h"

#include "browser/legacymarkup.h"

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

// Reports the frame once its load event has fired (at once when it already has). The game frame is also
// watched for changes its page makes without loading (a request behind the page rewriting the document): a
// burst of changes is one notice, and notices come at most one a 30 ms however busy the page is.
const char* kWatchScript = R"JS(
(function () {
    var tell = function (what) {
        console.log(PREFIX + what + '\x01' + window.name);
    };
    var watchChanges = function () {
        if (window.name !== 'no_combat' || typeof MutationObserver !== 'function') return;
        var last = 0, pending = false;
        var send = function () {
            pending = false;
            last = Date.now();
            tell('change');
        };
        new MutationObserver(function () {
            if (pending) return;
            pending = true;
            setTimeout(send, Math.max(0, last + 30 - Date.now()));
        }).observe(document, { childList: true, subtree: true, characterData: true });
    };
    var loaded = function () {
        tell(window.top === window ? 'top' : 'sub');
        watchChanges();
    };
    if (document.readyState === 'complete') loaded();
    else window.addEventListener('load', loaded, { once: true });
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

// The browser's own serialisation of the named frames' documents (the children of the document element),
// null for a frame that is missing, has no document, or is larger than the limit (dropped in the page, before
// anything is transferred).
const char* kReadFrames = R"JS(
function veldorReadFrames(names, limit) {
    var out = [];
    for (var i = 0; i < names.length; i++) {
        var f = veldorFindFrame(window, names[i]);
        var markup = null;
        try {
            if (f && f.document && f.document.documentElement) markup = f.document.documentElement.innerHTML;
        } catch (e) {}
        out.push(markup !== null && markup.length <= limit ? markup : null);
    }
    return out;
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
    const QString kind = rest.left(sep);
    if (kind == QLatin1String("change"))
        emit frameChanged(rest.mid(sep + 1));
    else
        emit frameCompleted(rest.mid(sep + 1), kind == QLatin1String("top"));
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

namespace {

void readFrames(QWebEnginePage* page, const QStringList& names,
                std::function<void(const QList<std::optional<QString>>&)> done)
{
    QString list;
    for (const QString& name : names)
        list += (list.isEmpty() ? QString() : QStringLiteral(",")) + jsString(name);
    const QString code = QString::fromLatin1(kFindFrame) + QString::fromLatin1(kReadFrames) +
                         QStringLiteral("veldorReadFrames([%1],%2)").arg(list).arg(kMarkupLimit);
    page->runJavaScript(code, QWebEngineScript::ApplicationWorld, [names, done = std::move(done)](const QVariant& v) {
        const QVariantList all = v.toList();
        QList<std::optional<QString>> texts;
        for (qsizetype i = 0; i < names.size(); ++i) {
            if (all.size() == names.size() && all[i].typeId() == QMetaType::QString)
                texts.append(LegacyMarkup(all[i].toString()));
            else
                texts.append(std::nullopt);
        }
        done(texts);
    });
}

} // namespace

void readFrameMarkup(QWebEnginePage* page, const QString& frameName, std::function<void(std::optional<QString>)> done)
{
    readFrames(page, {frameName},
               [done = std::move(done)](const QList<std::optional<QString>>& texts) { done(texts.value(0)); });
}

void readTwoFramesMarkup(QWebEnginePage* page, const QString& first, const QString& second,
                         std::function<void(std::optional<QString>, std::optional<QString>)> done)
{
    readFrames(page, {first, second}, [done = std::move(done)](const QList<std::optional<QString>>& texts) {
        done(texts.value(0), texts.value(1));
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
