#include "twebbrowser.h"

#include "shell/pagebridge.h"

#include <QAction>
#include <QWebEnginePage>
#include <QWebEngineProfile>
#include <QWebEngineSettings>

namespace veldor {

TWebbrowser::TWebbrowser(QWebEngineProfile* profile, QWidget* parent) : QWebEngineView(parent)
{
    auto* page = new GamePage(profile, this);
    setPage(page);
    connect(page, &GamePage::frameCompleted, this,
            [this](const QString& name, bool top) { emit frameCompleted(this, name, top); });
    connect(page, &QWebEnginePage::loadStarted, this, [this] {
        m_busy = true;
        m_loadFailed = false;
        m_generated = m_generatedNext;
        m_generatedNext = false;
    });
    connect(page, &QWebEnginePage::loadFinished, this, [this](bool ok) {
        m_busy = false;
        m_loadFailed = !ok;
    });
    connect(page->action(QWebEnginePage::Back), &QAction::changed, this, [this, page] {
        emit commandStateChange(this, 2, page->action(QWebEnginePage::Back)->isEnabled());
    });
    connect(page->action(QWebEnginePage::Forward), &QAction::changed, this, [this, page] {
        emit commandStateChange(this, 1, page->action(QWebEnginePage::Forward)->isEnabled());
    });
}

void TWebbrowser::navigate(const QUrl& url)
{
    m_busy = true;
    m_loadFailed = false;
    load(url);
}

void TWebbrowser::showGeneratedPage(const QByteArray& html, const QString& mimeType, const QUrl& baseUrl)
{
    m_busy = true;
    m_loadFailed = false;
    m_generatedNext = true;
    setContent(html, mimeType, baseUrl);
}

QUrl TWebbrowser::shownUrl() const
{
    const QUrl shown = url();
    return shown.isEmpty() ? page()->requestedUrl() : shown;
}

bool TWebbrowser::hasHtmlDocument() const
{
    if (m_busy)
        return true;
    const QString address = shownUrl().toString();
    return !address.isEmpty() && address != QLatin1String("about:blank");
}

QWebEngineView* TWebbrowser::createWindow(QWebEnginePage::WebWindowType)
{
    return newWindowHandler ? newWindowHandler() : nullptr;
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
