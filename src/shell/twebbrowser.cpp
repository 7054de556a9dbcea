#include "twebbrowser.h"

#include <QWebEnginePage>
#include <QWebEngineProfile>
#include <QWebEngineSettings>

namespace veldor {

TWebbrowser::TWebbrowser(QWebEngineProfile* profile, QWidget* parent) : QWebEngineView(parent)
{
    auto* page = new QWebEnginePage(profile, this);
    setPage(page);
}

QWebEngineProfile* createBrowserProfile(const QString& storageFolder, QObject* parent)
{
    auto* profile = new QWebEngineProfile(QStringLiteral("veldor"), parent);
    profile->setPersistentStoragePath(storageFolder + QStringLiteral("/storage"));
    profile->setCachePath(storageFolder + QStringLiteral("/cache"));
    profile->setPersistentCookiesPolicy(QWebEngineProfile::ForcePersistentCookies);
    // The game's pages are written for a browser that shows no script errors or other dialogs of its own.
    profile->settings()->setAttribute(QWebEngineSettings::ErrorPageEnabled, true);
    return profile;
}

} // namespace veldor
