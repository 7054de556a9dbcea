#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QPointer>
#include <QString>
#include <memory>

class QWebEngineDownloadRequest;
class QWebEngineProfile;
class QWidget;

namespace veldor {

class BrowserTabs;
class BrowserView;
class UserPrompts;

// What the browsers want to download: only what the user asked for (a click or key in the page shortly
// before, saving a page, or one of the program's own commands), saved where the user picks and never over one
// of the program's own files. A server cannot push files at the user.
class DownloadGate : public QObject
{
    Q_OBJECT
public:
    // How long after a command of the program a download counts as asked for.
    static constexpr int kCommandWindowMs = 30000;
    // How long after a click or key in the page.
    static constexpr int kInputWindowMs = 10000;

    DownloadGate(QWebEngineProfile* profile, BrowserTabs* tabs, BrowserView* gameBrowser, QString workFolder,
                 std::shared_ptr<UserPrompts> prompts, QWidget* window);

    // One of the program's own commands is about to load something that may turn out to be a download.
    void commandStarted() { m_command.start(); }
    // One of the program's own files in its working folder.
    bool isOwnFile(const QString& path) const;

private:
    void requested(QWebEngineDownloadRequest* download);

    BrowserTabs* m_tabs;
    QPointer<BrowserView> m_game;
    QString m_workFolder;
    std::shared_ptr<UserPrompts> m_prompts;
    QWidget* m_window;
    QElapsedTimer m_command;
};

} // namespace veldor
