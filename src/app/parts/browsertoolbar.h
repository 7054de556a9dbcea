#pragma once

#include <QFrame>
#include <functional>
#include <memory>

namespace veldor {

class BrowserCommands;
class BrowserTabs;
class BrowserView;
class UserPrompts;
struct MainWindowControls;

// The strip above the browser: back, forward, reload and stop, the address box and the player lookup. It makes
// its controls (entered into the window's list of controls) and runs them on the tab in front.
class BrowserToolBar : public QFrame
{
    Q_OBJECT
public:
    BrowserToolBar(MainWindowControls& ui, QWidget* parent);

    struct Work
    {
        BrowserTabs* tabs = nullptr;
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

private:
    void goToAddress();
    void openTypedNick();
    void reloadPage();
    bool eventFilter(QObject* watched, QEvent* event) override;

    MainWindowControls& m_ui;
    Work m_work;
};

} // namespace veldor
