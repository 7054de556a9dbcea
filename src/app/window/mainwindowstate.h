#pragma once

#include "map/atlas.h"
#include "settings/settings.h"

#include <QString>
#include <QStringList>
#include <memory>
#include <vector>

class QTemporaryDir;

class QSettings;
class QWebEngineProfile;

namespace veldor {

class AtlasOverview;
class BrowserToolBar;
class ListsStrip;
class LoginPanel;
class MainMenus;
class MapCommands;
class WayGuide;
class AtlasSharing;
class BrowserCommands;
class BrowserTabs;
class ClickSplitter;
class ClickSplitterHandle;
class CombatPanels;
class DownloadGate;
class EventSounds;
class HistoryStore;
class KeyWalker;
class SessionKeeper;
class MapEdits;
class MapSearch;
class SquadSync;
class MapOverlay;
class PagePoller;
class SidePanel;
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

// What the main window holds besides its own controls: the atlas, the settings, the parts it is built from (each
// keeping its controls and state) and the start-up results; the window keeps it as a member.
struct MainWindowState
{
    // Defined where the parts are complete types.
    explicit MainWindowState(const MainWindowOptions& options);
    ~MainWindowState();
    MainWindowState(const MainWindowState&) = delete;
    MainWindowState& operator=(const MainWindowState&) = delete;

    bool listsChanged = false;
    // What the map draws over the atlas and which cells a tick changed.
    std::unique_ptr<MapOverlay> overlay;
    std::unique_ptr<HistoryStore> history;
    QString profileFolder;
    BrowserTabs* tabs = nullptr;
    BrowserCommands* commands = nullptr; // the tool bar's and menus' commands on the tab in front
    EventSounds* sounds = nullptr;
    PagePoller* poller = nullptr;
    KeyWalker* walker = nullptr;      // the arrow keys of the keyboard box
    SessionKeeper* session = nullptr; // logs in again when the game's session ends
    QString workFolder;
    QString gameServer;
    std::shared_ptr<UserPrompts> prompts;
    std::unique_ptr<Atlas> atlas = std::make_unique<Atlas>();
    Settings settings;
    QStringList startupProblems;
    QWebEngineProfile* profile = nullptr;
    DownloadGate* downloads = nullptr;
    AtlasSharing* sharing = nullptr;
    MapEdits* edits = nullptr;         // undo and redo of the map's changes
    AtlasOverview* overview = nullptr; // made when first opened
    MapSearch* search = nullptr;
    SquadSync* squad = nullptr;                // the group's shared folder (not in a read-only window)
    std::unique_ptr<QSettings> ini;            // the program's own settings beside user.dat (window places)
    std::unique_ptr<QTemporaryDir> iniStandIn; // where they go for this run when veldor.ini is no file to open
    std::unique_ptr<WorkFolder> work;          // the lock, user.dat, the map files and the journal
    bool quit = false;
    ClickSplitter* mainSplitter = nullptr;
    // The parts that make the controls and run them.
    BrowserToolBar* toolBar = nullptr;
    SidePanel* side = nullptr;
    LoginPanel* login = nullptr; // floats over the browser
    ListsStrip* lists = nullptr;
    MainMenus* menus = nullptr;
    MapCommands* mapCommands = nullptr;
    WayGuide* way = nullptr;
    ClickSplitter* bottomSplitter = nullptr;
    // What a combat collapses and brings back after it (with "…и возвращать после боя").
    std::unique_ptr<CombatPanels> combat;
};

} // namespace veldor
