#pragma once

#include "app/window/mainwindowcontrols.h"
#include "app/window/mainwindowstate.h"
#include "reader/pagereader.h"

#include <QMainWindow>
#include <QPoint>

class QPainter;
class QSettings;

namespace veldor {

class BrowserView;
class ExitRoute;

// The main window: lays out its parts (the browser tool bar, the side panel, the browser tabs, the map, the lists
// strip, the menus), wires them to the classes that do the work, runs the start-up and shows what the page reader
// finds.
class MainWindow : public QMainWindow, private ReaderHost
{
    Q_OBJECT
public:
    explicit MainWindow(const MainWindowOptions& options = {}, QWidget* parent = nullptr);
    ~MainWindow() override;

    Atlas& atlas() { return *m_state.atlas; }
    const Settings& settings() const { return m_state.settings; }
    QString workFolder() const { return m_state.workFolder; }
    QString gameServer() const { return m_state.gameServer; }
    // What went wrong during start-up, shown to the user once the window is up.
    QStringList startupProblems() const { return m_state.startupProblems; }
    // Another copy of the program has this folder: the maps were opened for reading only (no saves).
    bool readOnly() const;
    // The user chose to quit rather than open maps another copy holds; the window is not to be shown.
    bool quitRequested() const { return m_state.quit; }

    // The labyrinth and level shown.
    unsigned shownLab() const { return m_shownLab; }
    int shownLevel() const override { return m_shownLevel; }

    // The browser tabs, the tab in front and the address box's history.
    BrowserTabs* tabs() const { return m_state.tabs; }

    // What the page reader knows of the player.
    const ReaderState& reader() const { return m_reader; }
    // The game's frames and the polling tick.
    PagePoller* poller() const { return m_state.poller; }

    const ExitRoute& route() const;
    QWebEngineProfile* profile() const { return m_state.profile; }
    HistoryStore* history() const { return m_state.history.get(); }
    EventSounds* sounds() const { return m_state.sounds; }
    // The standing window title.
    static QString Title();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    MainWindowState m_state;
    MainWindowControls m_ui;
    unsigned m_shownLab = 0;
    // The labyrinth the player is in, as set in the labyrinth box (or user.dat): the reader records into it
    // whatever labyrinth the overview or the search shows meanwhile.
    unsigned m_playerLab = 0;
    int m_shownLevel = 0;
    // Page reader: what it knows of the player.
    ReaderState m_reader;

    // Start-up: the parts in their places, their wiring, user.dat and the maps.
    void buildLayout();
    void connectHandlers();
    void connectMapHandlers();
    void connectSurveyHandlers();
    void connectBrowserHandlers();
    void bindBrowser(BrowserView* browser);
    void addHistoryAndFavorites();
    void runStartup();
    // Reads user.dat into memory and into the controls.
    void applyStoredSettings();
    // The settings as the controls show them, for user.dat.
    Settings currentSettings() const;
    // Another window saves the maps: the save button is off and the status bar says why.
    void showReadOnly();
    void showAbout();

    // The labyrinth and level shown.
    void chooseLabyrinth(unsigned lab);
    // The labyrinth's maps in the grid, the lists and the level box, from level 0.
    void showLabyrinth(unsigned lab);
    void chooseLevel(int level);
    void applyCellSize(int size);
    void sizeGridForLab();
    // The level in the main window, and the cell (when x > 0) selected and scrolled into view.
    void showCell(unsigned lab, int level, int x, int y);
    // Ctrl and the wheel over the map: the cell size by `steps`, the cell under the pointer kept there.
    void zoomGrid(int steps, QPoint pos);
    void showOverview();
    void showSearch();

    // After a change of the map in the labyrinth (0: in any): the journal, the lists, the grid at once.
    void mapChanged(unsigned lab);
    // The explore assistant's way for the shown level, when it is on.
    void updateFrontier();
    void findExitPath();

    // The group's shared folder, once the maps are loaded; its switch, folder button and members.
    void connectSquad();
    void configureSquad(bool on, bool chooseFolder, bool chooseName = false);
    void showSquadMembers();
    void showSquadLine(const QString& line);
    // The teammates' figures on the map, where their live files say they stand.
    void showTeammates();
    // «Путь к участнику»: the way to where the member stands, across levels.
    void wayToMember(const QString& name);
    QSettings& ini();

    // The game: its frames read, combat, the login page, the guide's tab.
    void noteFrameLoaded(BrowserView* browser, const QString& frameName, bool topLevel, const QString& origin);
    // A tick read the game frame: what it shows goes into the atlas and the window.
    void recognize(const PageLines& game);
    // Collapses the map, the side panel and the bottom panel when a combat starts (if so set).
    void collapseForCombat();
    // The window's size and place and the splitters, kept in veldor.ini and fitted to the screen.
    void restoreShape();
    void keepShape();
    // The generated login form in the game tab, submitted at once when automatic login is on.
    void showLoginPage();
    // Refresh on the game tab's error page: back into the game, through the login form if that failed.
    void reloadFailedGame();
    // The guide at a section (its start when empty), in the guide's tab when one is open.
    void showGuide(const QString& section);

    // What the page reader does to the window.
    unsigned playerLab() const override { return m_playerLab; }
    bool soundsEnabled() const override;
    void showLevel(int level) override;
    void updateLevelStatistics() override;
    void playSound(std::string_view fileName) override;
    void setCoordinatesText(const std::string& text) override;
    void objectListsChanged() override { m_state.listsChanged = true; }
    void followPlayer(int viewX, int viewY) override;
    void setCaptionPrefix(const std::string& prefix) override;
};

} // namespace veldor
