#pragma once

#include <QElapsedTimer>
#include <QString>
#include <QWebEngineView>
#include <functional>

class QWebEngineProfile;
class QWebEngineNewWindowRequest;

namespace veldor {

// The browser of every tab. All tabs share one persistent profile, so the game's cookies survive restarts.
class BrowserView : public QWebEngineView
{
    Q_OBJECT
public:
    BrowserView(QWebEngineProfile* profile, QWidget* parent = nullptr);

    QString PageTitle;

    // There is a page to act on: one is loading, partly loaded, loaded, or the error page of a failed load;
    // only a browser that never left the empty page has none.
    bool hasHtmlDocument() const;
    bool busy() const { return m_busy; }
    // The last load ended in the browser's error page.
    bool loadFailed() const { return !m_busy && m_loadFailed; }
    // The address of the page shown or being loaded (the failed address on an error page).
    QUrl shownUrl() const;
    // Starts loading an address; the browser counts as busy from this moment on.
    void navigate(const QUrl& url);
    // Shows a page the program made itself; it is no visit of the user's and stays out of the history.
    void showGeneratedPage(const QByteArray& html, const QString& mimeType, const QUrl& baseUrl);
    bool showsGeneratedPage() const { return m_generated; }
    // When the next load has finished well, clicks the button of the page's first form that says `caption`.
    void clickFormButtonWhenLoaded(const QString& caption);
    QString locationUrl() const { return url().toString(); }
    QString locationName() const { return title(); }

    // A person clicked or typed into the page lately: what the page starts now (a download) was asked for.
    void noteUserInput();
    bool hadUserInputWithin(qint64 ms) const;

    // Where a page's request for a new window goes (a new tab); without it the request is refused.
    std::function<BrowserView*()> newWindowHandler;

signals:
    // A page or frame of this browser finished loading (see GamePage).
    void frameCompleted(BrowserView* browser, const QString& windowName, bool topLevel, const QString& origin);
    // The game frame's page changed its document without loading (see GamePage).
    void frameChanged(BrowserView* browser, const QString& windowName, const QString& origin);
    // Back (2) or forward (1) navigation became possible or impossible.
    void commandStateChange(BrowserView* browser, int command, bool enabled);

protected:
    QWebEngineView* createWindow(QWebEnginePage::WebWindowType type) override;

private:
    void openRequestedWindow(QWebEngineNewWindowRequest& request);

    bool m_busy = false;
    bool m_loadFailed = false;
    bool m_generatedNext = false;
    bool m_generated = false;
    QElapsedTimer m_lastInput;
    static constexpr int kUnaskedWindowsPerLoad = 3;
    int m_unaskedWindows = 0; // windows this page opened without a click since its load began
};

// The named profile kept in `storageFolder` (cookies, cache, local storage).
QWebEngineProfile* createBrowserProfile(const QString& storageFolder, QObject* parent);

} // namespace veldor
