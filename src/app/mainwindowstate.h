#pragma once

#include "map/atlas.h"
#include "route/pathcells.h"
#include "settings/settings.h"
#include "travel/travel.h"

#include <QString>
#include <QStringList>
#include <memory>
#include <vector>

class QSettings;
class QWebEngineProfile;

namespace veldor {

class AtlasOverview;
class AtlasSharing;
class BrowserCommands;
class BrowserTabs;
class ClickSplitter;
class DownloadGate;
class EventSounds;
class ExitRoute;
class FrontierSearch;
class GridChanges;
class HistoryStore;
class KeyWalker;
class SessionKeeper;
class MapEdits;
class MapSearch;
class SquadSync;
class MapIcons;
class PagePoller;
class UserPrompts;
class WorkFolder;

struct MainWindowOptions
{
    // Folder of the map files and user.dat; empty means the process's current folder.
    QString workFolder;
    // Game server base address (scheme, host, optional port; no trailing slash); empty means the built-in one.
    QString gameServer;
    // Folder of the browser profile (cookies, cache); empty means the user's data folder.
    QString profileFolder;
    // Dialogs; null means the standard message and input boxes.
    std::shared_ptr<UserPrompts> prompts;
};

// What the main window holds besides its controls: the atlas, the settings, the parts it is built from and the
// start-up results. Kept apart so that the window's header shows its handlers.
struct MainWindowState
{
    // Defined where the parts are complete types.
    explicit MainWindowState(MainWindowOptions options);
    ~MainWindowState();
    MainWindowState(const MainWindowState&) = delete;
    MainWindowState& operator=(const MainWindowState&) = delete;

    bool m_listsChanged = false;
    std::unique_ptr<ExitRoute> m_route;
    std::unique_ptr<MapIcons> m_icons;
    PathCells m_onPath; // cells of the route, for drawing
    std::unique_ptr<FrontierSearch> m_frontier;
    std::unique_ptr<GridChanges> m_gridChanges;
    PathCells m_onFrontier; // cells of the explore assistant's way, for drawing
    std::pair<int, int> m_frontierOpening{0, 0};
    std::unique_ptr<HistoryStore> m_history;
    QString m_profileFolder;
    BrowserTabs* m_tabs = nullptr;
    BrowserCommands* m_commands = nullptr; // the tool bar's and menus' commands on the tab in front
    EventSounds* m_sounds = nullptr;
    PagePoller* m_poller = nullptr;
    KeyWalker* m_walker = nullptr;      // the arrow keys of the keyboard box
    SessionKeeper* m_session = nullptr; // logs in again when the game's session ends
    MainWindowOptions m_options;
    QString m_workFolder;
    QString m_gameServer;
    std::shared_ptr<UserPrompts> m_prompts;
    std::unique_ptr<Atlas> m_atlas = std::make_unique<Atlas>();
    Settings m_settings;
    TravelTables m_travel;
    QStringList m_startupProblems;
    QWebEngineProfile* m_profile = nullptr;
    DownloadGate* m_downloads = nullptr;
    AtlasSharing* m_sharing = nullptr;
    MapEdits* m_edits = nullptr;         // undo and redo of the map's changes
    AtlasOverview* m_overview = nullptr; // made when first opened
    MapSearch* m_search = nullptr;
    SquadSync* m_squad = nullptr;       // the group's shared folder (not in a read-only window)
    std::unique_ptr<QSettings> m_ini;   // the program's own settings beside user.dat (window places)
    std::unique_ptr<WorkFolder> m_work; // the lock, user.dat, the map files and the journal
    bool m_quit = false;
    ClickSplitter* m_mainSplitter = nullptr;
    ClickSplitter* m_bottomSplitter = nullptr;
};

} // namespace veldor
