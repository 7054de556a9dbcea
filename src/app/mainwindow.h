#pragma once

#include "app/mainwindowcontrols.h"
#include "app/mainwindowstate.h"
#include "reader/pagereader.h"

#include <QMainWindow>
#include <QPoint>
#include <array>
#include <functional>

class QAction;
class QPlainTextEdit;
class QPainter;

namespace veldor {

class BrowserView;

// The main window: builds the layout, runs the start-up and forwards each named handler to the part that does
// the work (page poller, browser tabs, click splitters, login panel, the rules of src/core).
class MainWindow : public QMainWindow, private ReaderHost
{
    Q_OBJECT
public:
    explicit MainWindow(MainWindowOptions options = {}, QWidget* parent = nullptr);
    ~MainWindow() override;

    // The controls, as a person sees them in the window.
    const MainWindowControls& controls() const { return m_ui; }
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
    int shownLevel() const { return m_shownLevel; }

    // The browser tabs, the tab in front and the address box's history.
    BrowserTabs* tabs() const { return m_state.tabs; }

    // What the page reader knows of the player.
    const ReaderState& reader() const { return Reader; }
    // The game's frames and the polling tick.
    PagePoller* poller() const { return m_state.poller; }

    const ExitRoute& route() const { return *m_state.route; }
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
    ReaderState Reader;
    // The body cell under the mouse, on which the grid's popup menu acts ((0, 0) until one was hovered).
    QPoint m_menuCell;

    // Handlers.
    void chooseLabyrinth();
    // The labyrinth's maps in the grid, the lists and the level box, from level 0.
    void showLabyrinth(unsigned lab);
    void chooseLevel();
    void showTravelTime();
    void applyCellSize();
    void beginSplitterDrag(ClickSplitterHandle* splitter);
    void splitterMoved(ClickSplitterHandle* splitter);
    void saveMapsNow();
    void showAbout();
    void noteFrameLoaded(BrowserView* browser, const QString& frameName, bool topLevel);
    void pollTick();
    // Collapses the map, the side panel and the bottom panel when a combat starts (if so set).
    void collapseForCombat();
    // The generated login form in the game tab, submitted at once when automatic login is on.
    void showLoginPage();

    // Map view, marks and object lists.
    void addTrap();
    void addFlag();
    void addDescent();
    void addAscent();
    void addExit();
    void addChest(char code); // redChestAction..goldChestAction
    void addMarker();
    void clearCell();
    void clearLabyrinth();
    void clearAllLabyrinths();
    // The "X" buttons of the four lists (clearExitsButton..clearTrapsButton).
    void clearList(ListKind kind);
    // "<what> в 12x7" for the cell the popup acts on, naming a change for undo.
    QString atHovered(const QString& what) const;
    // A change of the map by hand or by a command (`lab` 0: of any labyrinth), under its name for undo; when
    // `change` says it did something, the window follows.
    void editMap(unsigned lab, const QString& name, const std::function<bool()>& change);
    // Copy buttons: the list's prefix and the memo's text onto the clipboard.
    void copyList(QPlainTextEdit* memo, const QString& prefix);
    // The atlas overview, the search on the map, zoom and the player in view.
    void connectSurveyHandlers();
    void showOverview();
    void showSearch();
    // The group's shared folder, once the maps are loaded; its switch, folder button and members.
    void connectSquad();
    void configureSquad(bool on, bool chooseFolder, bool chooseName = false);
    void showSquadMembers();
    QSettings& ini();
    // The level in the main window, and the cell (when x > 0) selected and scrolled into view.
    void showCell(unsigned lab, int level, int x, int y);
    // Ctrl and the wheel over the map: the cell size by `steps`, the cell under the pointer kept there.
    void zoomGrid(int steps, QPoint pos);
    void findExitPath();

    // Browser tabs and commands.
    BrowserView* currentBrowser() const;
    // A new tab at the end, made active; navigated to the address unless it is blank. Returns the tab.
    QWidget* openTab(const QString& url);
    // The guide at a section (its start when empty), in the guide's tab when one is open.
    void showGuide(const QString& section);
    BrowserView* browserOf(QWidget* tab) const;
    void closeActiveTab();
    void addressBoxKey(int key);
    void goToAddress();
    void goBack();
    void goForward();
    void reloadPage();
    void stopLoading();
    void openFile();
    void savePage();
    void showPageProperties();
    void updateEditMenu();
    void findInPage();
    void showSource();
    void showInternetOptions();
    void setFontSize(QAction* item);
    void clearAddresses();
    void navigateFromMenu(const QString& url);
    void showLoadProgress(int progress, int maximum);
    void commandStateChanged(BrowserView* browser, int command, bool enabled);
    void pageLoadFinished();
    void showTitle(BrowserView* browser, const QString& text);
    void showAddress(const QString& url);
    BrowserView* openNewWindow();
    void leavingTab(int leaving);
    void tabChanged();
    void tabStripReleased(const QPoint& pos);
    void tabDoubleClickTimeout();
    // Login panel.
    void showLoginData();
    void acceptLogin();
    void cancelLogin();
    void toggleAutoLogin();
    // Player lookup.
    void openPlayerInfo(const QString& nick, std::function<void()> then = {});
    QString playerInfoUrl(const QString& nick) const;
    void askNickAndOpen();
    void nickBoxKey(int key);
    void openTypedNick();
    void clearNicks();

    // Reads user.dat into memory and into the controls.
    void applyStoredSettings();
    // Writes the four map files; false (after telling the user which files and why) when any failed.
    bool SaveMaps();

    void buildLayout();
    void buildMenus();
    void connectHandlers();
    void runStartup();
    // The controls as they are before user.dat and the maps are read.
    void initialState();
    // Another window saves the maps: the save button is off and the status bar says why.
    void showReadOnly();
    void reportStartupProblems();
    // Each setting a check box shows, with its field.
    std::array<std::pair<QCheckBox*, bool Settings::*>, 4> settingBoxes() const;
    // The settings as the controls show them, for user.dat.
    Settings currentSettings() const;
    void sizeGridForLab();
    void fillObjectMemos();
    void connectMapHandlers();
    void connectBrowserHandlers();
    void bindBrowser(BrowserView* browser);
    void buildShellMenus();
    // Back and forward as the tab in front allows.
    void syncNavigationButtons();
    // Refresh on the game tab's error page: back into the game, through the login form if that failed.
    void reloadFailedGame();
    // `mapOnly`: the cell as the atlas holds it, without the player and the ways drawn over it.
    void drawGridCell(QPainter& painter, int col, int row, const QRect& rect, bool mapOnly = false);
    // The player stands on the shown level (the figure and the assistant are drawn only there).
    bool playerShown() const;
    // The hint of a cell: its coordinates, marker and object.
    QString cellHint(int c, int r) const;
    // After a change of the map in the labyrinth (0: in any): the journal, the memos, the grid at once.
    void mapChanged(unsigned lab);
    // The explore assistant's way for the shown level, when it is on.
    void updateFrontier();
    // A tick read the game frame: what it shows goes into the atlas and the window.
    void recognize(const PageLines& game);

    // What the page reader does to the window.
    unsigned curLab() const override { return m_playerLab; }
    int curLevel() const override { return m_shownLevel; }
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
