#pragma once

#include <QString>
#include <QWebEnginePage>
#include <functional>
#include <optional>

class QWebEngineProfile;

namespace veldor {

// Every page of the program's browsers. It passes on the frame notices of the program's own watch script
// and nothing a page's scripts could write to the console.
class GamePage : public QWebEnginePage
{
    Q_OBJECT
public:
    GamePage(QWebEngineProfile* profile, QObject* parent = nullptr);

signals:
    // A frame finished loading: its window name, whether it is the tab's whole page, and the origin its document
    // came from (empty when the tab's page is of another origin than the frame).
    void frameCompleted(const QString& windowName, bool topLevel, const QString& origin);
    // The game frame's page changed its document without loading (a burst of changes, at most one a 30 ms).
    void frameChanged(const QString& windowName, const QString& origin);

protected:
    // The game's pages are shown without script dialogs of their own, as the original browser was set up.
    void javaScriptAlert(const QUrl&, const QString&) override {}
    bool javaScriptConfirm(const QUrl&, const QString&) override { return false; }
    bool javaScriptPrompt(const QUrl&, const QString&, const QString&, QString*) override { return false; }
    void javaScriptConsoleMessage(JavaScriptConsoleMessageLevel level, const QString& message, int lineNumber,
                                  const QString& sourceID) override;
};

// The origin of an address as a page's documents report it ("http://host:port"), empty when it has none.
QString OriginOf(const QUrl& url);

// Installs the watch script that reports every finished frame and the game frame's changes, in the
// page-invisible script world.
void installFrameWatch(QWebEngineProfile* profile);

// The markup of the frame with that window name whose document came from `origin` (the first one, depth first)
// in the legacy dialect the game's markers are written in, or nothing when there is no such frame or document.
void readFrameMarkup(QWebEnginePage* page, const QString& frameName, const QString& origin,
                     std::function<void(std::optional<QString>)> done);

// The markup of two frames of one page in one round trip (the game frame and the chat), each as above.
void readTwoFramesMarkup(QWebEnginePage* page, const QString& first, const QString& second, const QString& origin,
                         std::function<void(std::optional<QString>, std::optional<QString>)> done);

// Runs script text in the page's own world, inside the window of the named frame of that origin.
void runPageScript(QWebEnginePage* page, const QString& frameName, const QString& origin, const QString& script);

} // namespace veldor
