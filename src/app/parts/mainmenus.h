#pragma once

#include <QObject>
#include <memory>

class QMainWindow;
class QWebEngineProfile;

namespace veldor {

class BrowserCommands;
class BrowserTabs;
class DownloadGate;
class HistoryStore;
class UserPrompts;
struct MainWindowControls;

// The menu bar and the tab strip's popup menu. It makes their items (entered into the window's list of controls)
// and runs the browser's items on the tab in front; the window wires the map's items.
class MainMenus : public QObject
{
    Q_OBJECT
public:
    MainMenus(QMainWindow* window, MainWindowControls& ui);

    struct Work
    {
        BrowserTabs* tabs = nullptr;
        BrowserCommands* commands = nullptr;
        DownloadGate* downloads = nullptr;
        QWebEngineProfile* profile = nullptr;
        std::shared_ptr<UserPrompts> prompts;
    };
    // Once the tabs and commands exist: the browser's items start working.
    void connectTo(const Work& work);
    // History and Favorites, kept in the browser profile's folder; they take their places in the menu bar.
    void addHistoryAndFavorites(HistoryStore* history, const QString& profileFolder);

private:
    void buildFileAndEditMenus();
    void buildViewMenu();
    void buildExtrasAndHelpMenus();
    void openFile();
    // A page chosen from History or Favorites, in the tab in front (never the game tab).
    void navigateFromMenu(const QString& url);

    QMainWindow* m_window;
    MainWindowControls& m_ui;
    Work m_work;
};

} // namespace veldor
