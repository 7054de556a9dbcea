#pragma once

#include <QFrame>
#include <functional>
#include <memory>

class QComboBox;
class QPushButton;
class QTabWidget;
class QToolBar;
class QToolButton;
class QWebEngineProfile;

namespace veldor {

class BrowserCommands;
class BrowserTabs;
class BrowserView;
class UserPrompts;

// The strip above the browser: back, forward, reload and stop, the address box and the player lookup. It keeps
// its controls to itself, runs them on the tab in front and makes the browser tabs whose address its box shows.
class BrowserToolBar : public QFrame
{
    Q_OBJECT
public:
    // The tabs of `strip`, whose first tab is the game's, with pages of `profile`.
    BrowserToolBar(QTabWidget* strip, QWebEngineProfile* profile, const QString& gameServer, QWidget* parent);

    BrowserTabs* tabs() const { return m_tabs; }

    struct Work
    {
        BrowserCommands* commands = nullptr;
        std::shared_ptr<UserPrompts> prompts;
        QString gameServer;
        // Refresh while the game tab shows its error page: back into the game.
        std::function<void()> reloadFailedGame;
    };
    // Once the tabs and commands exist: the controls start working.
    void connectTo(Work work);
    // Watches a browser's loads: stop while loading, back and forward as its history allows.
    void follow(BrowserView* browser);

    // "Найти по нику": asks for a nickname and opens the player's page.
    void askNickAndOpen();
    // "Очистить ники": the nick box's history goes, what is typed stays.
    void clearNicks();
    // The player's information page in a new tab; `then` once it has loaded.
    void openPlayerInfo(const QString& nick, std::function<void()> then = {});
    QString playerInfoUrl(const QString& nick) const;
    // Back and forward as the tab in front allows.
    void syncNavigationButtons();
    // A page began loading something: it can be stopped.
    void showLoading();

private:
    void goToAddress();
    void openTypedNick();
    void reloadPage();
    bool eventFilter(QObject* watched, QEvent* event) override;

    struct Controls
    {
        QToolBar* browserToolBar = nullptr;    // the four browser buttons
        QToolButton* backButton = nullptr;     // "Назад": back in the tab in front
        QToolButton* forwardButton = nullptr;  // "Вперед": forward in the tab in front
        QToolButton* reloadButton = nullptr;   // "Обновить": reload (with Ctrl: past the cache); F5
        QToolButton* stopButton = nullptr;     // "Остановить": stop loading
        QComboBox* addressBox = nullptr;       // "Адрес:": the address box with its history (not for the game tab)
        QPushButton* goButton = nullptr;       // "Перейти": go to the address
        QComboBox* nickBox = nullptr;          // "Ник:": a player's nickname, with the looked-up ones
        QPushButton* findNickButton = nullptr; // "Найти": the player's information page in a new tab
    };
    Controls m_ui;
    BrowserTabs* m_tabs = nullptr;
    Work m_work;
};

} // namespace veldor
