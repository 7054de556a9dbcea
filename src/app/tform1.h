#pragma once

#include "app/tform1controls.h"
#include "app/tform1state.h"
#include "reader/pagereader.h"

#include <QMainWindow>
#include <array>
#include <functional>

class QAction;
class QPlainTextEdit;
class QPainter;

namespace veldor {

class TWebbrowser;

// The main window: builds the layout, runs the start-up and forwards each named handler to the part that does
// the work (page poller, browser tabs, click splitters, login panel, the rules of src/core).
class TForm1 : public QMainWindow, private ReaderHost, private TForm1Controls, private TForm1State
{
    Q_OBJECT
public:
    explicit TForm1(TForm1Options options = {}, QWidget* parent = nullptr);
    ~TForm1() override;

    // The controls, as a person sees them in the window.
    const TForm1Controls& controls() const { return *this; }
    Atlas& atlas() { return *m_atlas; }
    const Settings& settings() const { return m_settings; }
    QString workFolder() const { return m_workFolder; }
    QString gameServer() const { return m_gameServer; }
    // What went wrong during start-up, shown to the user once the window is up.
    QStringList startupProblems() const { return m_startupProblems; }
    // Another copy of the program has this folder: the maps were opened for reading only (no saves).
    bool readOnly() const;
    // The user chose to quit rather than open maps another copy holds; the window is not to be shown.
    bool quitRequested() const { return m_quit; }

    // The labyrinth and level shown.
    unsigned shownLab() const { return CurLab; }
    int shownLevel() const { return CurLevel; }

    // The browser tabs, the tab in front and the address box's history.
    BrowserTabs* tabs() const { return m_tabs; }

    // What the page reader knows of the player.
    const ReaderState& reader() const { return Reader; }
    // The game's frames and the polling tick.
    PagePoller* poller() const { return m_poller; }

    const ExitRoute& route() const { return *m_route; }
    QWebEngineProfile* profile() const { return m_profile; }
    HistoryStore* history() const { return m_history.get(); }
    EventSounds* sounds() const { return m_sounds; }
    // The standing window title.
    static QString Title();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    unsigned CurLab = 0;
    // The labyrinth the player is in, as set in the labyrinth box (or user.dat): the reader records into it
    // whatever labyrinth the overview or the search shows meanwhile.
    unsigned m_playerLab = 0;
    int CurLevel = 0;
    // Page reader: what it knows of the player.
    ReaderState Reader;
    // The body cell under the mouse, on which the grid's popup menu acts (0 until one was hovered).
    int HoverX = 0;
    int HoverY = 0;

    // Handlers.
    void ComboBox1Select();
    // The labyrinth's maps in the grid, the lists and the level box, from level 0.
    void showLabyrinth(unsigned lab);
    void ComboBox2Select();
    void ComboBox3Select();
    void SpinEdit5Change();
    void SplitterCanResize(ClickSplitterHandle* splitter);
    void SplitterMoved(ClickSplitterHandle* splitter);
    void Button14Click();
    void MenuItem11Click();
    void WebBrowser1DocumentComplete(TWebbrowser* browser, const QString& frameName, bool topLevel);
    void Timer1Timer();
    // Collapses the map, the side panel and the bottom panel when a combat starts (if so set).
    void CombatReaction();
    // The generated login form in the game tab, submitted at once when automatic login is on.
    void ShowLoginPage();

    // Map view, marks and object lists.
    void N3Click();
    void N4Click();
    void N5Click();
    void N6Click();
    void N7Click();
    void ChestClick(char code); // redChestAction..goldChestAction
    void N21Click();
    void N2Click();
    void Button2Click();
    void Button15Click();
    // The "X" buttons of the four lists (clearExitsButton..clearTrapsButton).
    void clearListClick(ListKind kind);
    // "<what> в 12x7" for the cell the popup acts on, naming a change for undo.
    QString atHovered(const QString& what) const;
    // A change of the map by hand or by a command (`lab` 0: of any labyrinth), under its name for undo; when
    // `change` says it did something, the window follows.
    void editMap(unsigned lab, const QString& name, const std::function<bool()>& change);
    // Copy buttons: the list's prefix and the memo's text onto the clipboard.
    void CopyListClick(QPlainTextEdit* memo, const QString& prefix);
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
    void FindExitPath();

    // Browser tabs and commands.
    TWebbrowser* CurrentBrowser() const;
    // A new tab at the end, made active; navigated to the address unless it is blank. Returns the tab.
    QWidget* OpenTab(const QString& url);
    // The guide at a section (its start when empty), in the guide's tab when one is open.
    void showGuide(const QString& section);
    TWebbrowser* browserOf(QWidget* tab) const;
    void CloseActiveTab();
    void ComboBox6KeyDown(int key);
    void BitBtn6Click();
    void ToolButton1Click();
    void ToolButton2Click();
    void ToolButton3Click();
    void ToolButton4Click();
    void Open1Click();
    void SaveAs1Click();
    void Properties1Click();
    void MenuItem4Open();
    void Search1Click();
    void ViewSource1Click();
    void InternetOptions1Click();
    void Largest1Click(QAction* item);
    void N18Click();
    void MenuNavigate(const QString& url);
    void WebBrowser1ProgressChange(int progress, int maximum);
    void WebBrowser1CommandStateChange(TWebbrowser* browser, int command, bool enabled);
    void WebBrowser1DownloadComplete();
    void WebBrowser1TitleChange(TWebbrowser* browser, const QString& text);
    void WebBrowser1NavigateComplete2(const QString& url);
    TWebbrowser* WebBrowser1NewWindow2();
    void PageControl2Changing(int leaving);
    void PageControl2Change();
    void PageControl2MouseUp(const QPoint& pos);
    void Timer2Timer();
    // Login panel.
    void N16Click();
    void Button16Click();
    void Button17Click();
    void CheckBox6Click();
    // Player lookup.
    void OpenPlayerInfo(const QString& nick, std::function<void()> then = {});
    QString playerInfoUrl(const QString& nick) const;
    void N17Click();
    void ComboBox7KeyDown(int key);
    void BitBtn5Click();
    void N20Click();

    void UpdateLevelStatistics();
    // Reads user.dat into memory and into the controls.
    void LoadSettings();
    // Writes user.dat from memory and the controls; false (after telling the user) when it failed.
    bool SaveSettings();
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
    void bindBrowser(TWebbrowser* browser);
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
    QString path(const char* fileName) const;
    // A tick read the game frame: what it shows goes into the atlas and the window.
    void recognize(const PageLines& game);

    // What the page reader does to the window.
    unsigned curLab() const override { return m_playerLab; }
    int curLevel() const override { return CurLevel; }
    bool soundsEnabled() const override;
    void showLevel(int level) override;
    void updateLevelStatistics() override { UpdateLevelStatistics(); }
    void playSound(std::string_view fileName) override;
    void setCoordinatesText(const std::string& text) override;
    void objectListsChanged() override { m_listsChanged = true; }
    void followPlayer(int viewX, int viewY) override;
    void setCaptionPrefix(const std::string& prefix) override;
};

} // namespace veldor
