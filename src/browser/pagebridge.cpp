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
    // The frame's origin, or nothing when the tab's page is of another origin (a foreign page around it).
    var origin = function () {
        try {
            return window.top.location.origin === location.origin ? location.origin : '';
        } catch (e) {
            return '';
        }
    };
    var tell = function (what) {
        console.log(PREFIX + what + '\x01' + origin() + '\x01' + window.name);
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

// Finds a frame window by name and origin, depth first through window.frames: a frame of that name whose
// document came from elsewhere is not the one asked for.
const char* kFindFrame = R"JS(
function veldorFindFrame(w, name, origin) {
    for (var i = 0; i < w.frames.length; i++) {
        try {
            var f = w.frames[i];
            if (f.name === name && f.location.origin === origin) return f;
            var inner = veldorFindFrame(f, name, origin);
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
function veldorReadFrames(names, origin, limit) {
    var out = [];
    for (var i = 0; i < names.length; i++) {
        var f = veldorFindFrame(window, names[i], origin);
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

QString OriginOf(const QUrl& url)
{
    QUrl bare = url.adjusted(QUrl::RemoveUserInfo | QUrl::RemovePath | QUrl::RemoveQuery | QUrl::RemoveFragment);
    // A page's origin leaves out the scheme's own port.
    if ((bare.scheme() == QLatin1String("http") && bare.port() == 80) ||
        (bare.scheme() == QLatin1String("https") && bare.port() == 443))
        bare.setPort(-1);
    return bare.isValid() && !bare.host().isEmpty() ? bare.toString(QUrl::FullyEncoded) : QString();
}

GamePage::GamePage(QWebEngineProfile* profile, QObject* parent) : QWebEnginePage(profile, parent) {}

void GamePage::javaScriptConsoleMessage(JavaScriptConsoleMessageLevel, const QString& message, int,
                                        const QString& sourceID)
{
    // Only the watch script's own messages count: a page can print the same text, but not from that source.
    if (sourceID != QStringLiteral("userscript:") + kWatchName || !message.startsWith(noticePrefix()))
        return;
    const QString rest = message.mid(noticePrefix().size());
    const int sep = rest.indexOf(QLatin1Char('\x01'));
    const int originEnd = sep < 0 ? -1 : rest.indexOf(QLatin1Char('\x01'), sep + 1);
    if (originEnd < 0)
        return;
    const QString kind = rest.left(sep);
    const QString origin = rest.mid(sep + 1, originEnd - sep - 1);
    const QString name = rest.mid(originEnd + 1);
    if (kind == QLatin1String("change"))
        emit frameChanged(name, origin);
    else
        emit frameCompleted(name, kind == QLatin1String("top"), origin);
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

void readFrames(QWebEnginePage* page, const QStringList& names, const QString& origin,
                std::function<void(const QList<std::optional<QString>>&)> done)
{
    QString list;
    for (const QString& name : names)
        list += (list.isEmpty() ? QString() : QStringLiteral(",")) + jsString(name);
    const QString code = QString::fromLatin1(kFindFrame) + QString::fromLatin1(kReadFrames) +
                         QStringLiteral("veldorReadFrames([%1],%2,%3)").arg(list, jsString(origin)).arg(kMarkupLimit);
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

void readFrameMarkup(QWebEnginePage* page, const QString& frameName, const QString& origin,
                     std::function<void(std::optional<QString>)> done)
{
    readFrames(page, {frameName}, origin,
               [done = std::move(done)](const QList<std::optional<QString>>& texts) { done(texts.value(0)); });
}

void readTwoFramesMarkup(QWebEnginePage* page, const QString& first, const QString& second, const QString& origin,
                         std::function<void(std::optional<QString>, std::optional<QString>)> done)
{
    readFrames(page, {first, second}, origin, [done = std::move(done)](const QList<std::optional<QString>>& texts) {
        done(texts.value(0), texts.value(1));
    });
}

void runPageScript(QWebEnginePage* page, const QString& frameName, const QString& origin, const QString& script)
{
    const QString code = QString::fromLatin1(kFindFrame) + QStringLiteral("(function(){var f=veldorFindFrame(window,") +
                         jsString(frameName) + QLatin1Char(',') + jsString(origin) + QStringLiteral(");if(f)f.eval(") +
                         jsString(script) + QStringLiteral(");})()");
    page->runJavaScript(code, QWebEngineScript::MainWorld);
}

} // namespace veldor
