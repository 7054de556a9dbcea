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
        m_loadedOk = false;
    });
    connect(page, &QWebEnginePage::loadFinished, this, [this](bool ok) {
        m_busy = false;
        m_loadedOk = ok;
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
    m_loadedOk = false;
    load(url);
}

bool TWebbrowser::hasHtmlDocument() const
{
    const QString address = url().toString();
    return m_loadedOk && !address.isEmpty() && address != QLatin1String("about:blank");
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
