#pragma once

#include <QString>
#include <QWebEngineView>

class QWebEngineProfile;

namespace veldor {

// The browser of every tab. All tabs share one persistent profile, so the game's cookies survive restarts.
class TWebbrowser : public QWebEngineView
{
    Q_OBJECT
public:
    TWebbrowser(QWebEngineProfile* profile, QWidget* parent = nullptr);

    bool CanGoForward = false;
    bool CanGoBack = false;
    QString PageTitle;

signals:
    // A page or frame of this browser finished loading (see GamePage).
    void frameCompleted(TWebbrowser* browser, const QString& windowName, bool topLevel);
};

// The named profile kept in `storageFolder` (cookies, cache, local storage).
QWebEngineProfile* createBrowserProfile(const QString& storageFolder, QObject* parent);

} // namespace veldor
