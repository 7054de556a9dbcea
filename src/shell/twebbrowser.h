#pragma once

#include <QString>
#include <QWebEngineView>
#include <functional>

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

    // A document is shown: the last load finished well and it is not the empty page.
    bool hasHtmlDocument() const;
    bool busy() const { return m_busy; }
    // Starts loading an address; the browser counts as busy from this moment on.
    void navigate(const QUrl& url);
    QString locationUrl() const { return url().toString(); }
    QString locationName() const { return title(); }

    // Where a page's request for a new window goes (a new tab); without it the request is refused.
    std::function<TWebbrowser*()> newWindowHandler;

signals:
    // A page or frame of this browser finished loading (see GamePage).
    void frameCompleted(TWebbrowser* browser, const QString& windowName, bool topLevel);
    // Back (2) or forward (1) navigation became possible or impossible.
    void commandStateChange(TWebbrowser* browser, int command, bool enabled);

protected:
    QWebEngineView* createWindow(QWebEnginePage::WebWindowType type) override;

private:
    bool m_busy = false;
    bool m_loadedOk = false;
};

// The named profile kept in `storageFolder` (cookies, cache, local storage).
QWebEngineProfile* createBrowserProfile(const QString& storageFolder, QObject* parent);

} // namespace veldor
