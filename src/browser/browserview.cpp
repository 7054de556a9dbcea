#include "browserview.h"

#include "browser/pagebridge.h"

#include <QAction>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QJsonArray>
#include <QJsonDocument>
#include <QWebEngineNewWindowRequest>
#include <QWebEnginePage>
#include <QWebEngineProfile>
#include <QWebEngineScript>
#include <QWebEngineSettings>

namespace veldor {
namespace {

// Notes the moment a person last clicked or typed into each browser (into the page's own widget, which the
// browser does not see itself).
class InputWatch : public QObject
{
public:
    using QObject::QObject;
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() != QEvent::MouseButtonPress && event->type() != QEvent::KeyPress)
            return false;
        for (auto* w = qobject_cast<QWidget*>(watched); w; w = w->parentWidget()) {
            if (auto* browser = qobject_cast<BrowserView*>(w)) {
                browser->noteUserInput();
                break;
            }
        }
        return false;
    }
};

} // namespace

void BrowserView::noteUserInput()
{
    m_lastInput.start();
}

bool BrowserView::hadUserInputWithin(qint64 ms) const
{
    return m_lastInput.isValid() && m_lastInput.elapsed() <= ms;
}

BrowserView::BrowserView(QWebEngineProfile* profile, QWidget* parent) : QWebEngineView(parent)
{
    static InputWatch* watch = nullptr;
    if (!watch) {
        watch = new InputWatch(QCoreApplication::instance());
        QCoreApplication::instance()->installEventFilter(watch);
    }
    auto* page = new GamePage(profile, this);
    setPage(page);
    connect(page, &GamePage::frameCompleted, this, [this](const QString& name, bool top, const QString& origin) {
        emit frameCompleted(this, name, top, origin);
    });
    connect(page, &GamePage::frameChanged, this,
            [this](const QString& name, const QString& origin) { emit frameChanged(this, name, origin); });
    connect(page, &QWebEnginePage::loadStarted, this, [this] {
        m_unaskedWindows = 0;
        m_busy = true;
        m_loadFailed = false;
        m_generated = m_generatedNext;
        m_generatedNext = false;
    });
    connect(page, &QWebEnginePage::loadFinished, this, [this](bool ok) {
        m_busy = false;
        m_loadFailed = !ok;
    });
    connect(page, &QWebEnginePage::newWindowRequested, this, &BrowserView::openRequestedWindow);
    connect(page->action(QWebEnginePage::Back), &QAction::changed, this,
            [this, page] { emit commandStateChange(this, 2, page->action(QWebEnginePage::Back)->isEnabled()); });
    connect(page->action(QWebEnginePage::Forward), &QAction::changed, this,
            [this, page] { emit commandStateChange(this, 1, page->action(QWebEnginePage::Forward)->isEnabled()); });
}

void BrowserView::navigate(const QUrl& url)
{
    m_busy = true;
    m_loadFailed = false;
    load(url);
}

void BrowserView::showGeneratedPage(const QByteArray& html, const QString& mimeType, const QUrl& baseUrl)
{
    m_busy = true;
    m_loadFailed = false;
    m_generatedNext = true;
    setContent(html, mimeType, baseUrl);
}

void BrowserView::clickFormButtonWhenLoaded(const QString& caption)
{
    QWebEnginePage* shown = page();
    auto once = std::make_shared<QMetaObject::Connection>();
    *once = connect(shown, &QWebEnginePage::loadFinished, this, [shown, once, caption](bool ok) {
        QObject::disconnect(*once);
        if (!ok)
            return;
        // The caption goes in as a JSON string: whatever it holds, it stays one string.
        const QString quoted = QString::fromUtf8(QJsonDocument(QJsonArray{caption}).toJson(QJsonDocument::Compact));
        shown->runJavaScript(QStringLiteral("(function(c){var f=document.forms[0];if(!f)return;var e=f.elements;"
                                            "for(var i=0;i<e.length;i++){if(e[i].value===c){e[i].click();}}})(%1[0])")
                                 .arg(quoted),
                             QWebEngineScript::ApplicationWorld);
    });
}

QUrl BrowserView::shownUrl() const
{
    const QUrl shown = url();
    return shown.isEmpty() ? page()->requestedUrl() : shown;
}

bool BrowserView::hasHtmlDocument() const
{
    if (m_busy)
        return true;
    const QString address = shownUrl().toString();
    return !address.isEmpty() && address != QLatin1String("about:blank");
}

QWebEngineView* BrowserView::createWindow(QWebEnginePage::WebWindowType)
{
    return nullptr; // new windows are decided on the request, which tells whether the user asked for one
}

void BrowserView::openRequestedWindow(QWebEngineNewWindowRequest& request)
{
    if (!newWindowHandler)
        return;
    if (!request.isUserInitiated()) {
        // A page opening windows by itself gets one a second at most, across all tabs, and a few per page
        // load: a loop of window.open would otherwise fill the window with tabs and starve the reader.
        static QElapsedTimer lastUnasked;
        if ((lastUnasked.isValid() && lastUnasked.elapsed() < 1000) || m_unaskedWindows >= kUnaskedWindowsPerLoad)
            return;
        lastUnasked.start();
        ++m_unaskedWindows;
    }
    if (BrowserView* browser = newWindowHandler())
        request.openIn(browser->page());
}

QWebEngineProfile* createBrowserProfile(const QString& storageFolder, QObject* parent)
{
    auto* profile = new QWebEngineProfile(QStringLiteral("veldor"), parent);
    profile->setPersistentStoragePath(storageFolder + QStringLiteral("/storage"));
    profile->setCachePath(storageFolder + QStringLiteral("/cache"));
    profile->setPersistentCookiesPolicy(QWebEngineProfile::ForcePersistentCookies);
    profile->settings()->setAttribute(QWebEngineSettings::ErrorPageEnabled, true);
    // Pages may open windows of their own; they become tabs.
    profile->settings()->setAttribute(QWebEngineSettings::JavascriptCanOpenWindows, true);
    installFrameWatch(profile);
    return profile;
}

} // namespace veldor
