#include "twebbrowser.h"

#include "shell/pagebridge.h"

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
}

QWebEngineProfile* createBrowserProfile(const QString& storageFolder, QObject* parent)
{
    auto* profile = new QWebEngineProfile(QStringLiteral("veldor"), parent);
    profile->setPersistentStoragePath(storageFolder + QStringLiteral("/storage"));
    profile->setCachePath(storageFolder + QStringLiteral("/cache"));
    profile->setPersistentCookiesPolicy(QWebEngineProfile::ForcePersistentCookies);
    // The game's pages are written for a browser that shows no script errors or other dialogs of its own.
    profile->settings()->setAttribute(QWebEngineSettings::ErrorPageEnabled, true);
    installFrameWatch(profile);
    return profile;
}

} // namespace veldor
