#pragma once

#include "map/atlas.h"
#include "reader/pagereader.h"
#include "settings/settings.h"
#include "travel/travel.h"

#include <QElapsedTimer>
#include <QMainWindow>
#include <QPointer>
#include <QStringList>
#include <functional>
#include <memory>
#include <vector>

class QAction;
class QCheckBox;
class QComboBox;
class QFrame;
class QLabel;
class QLineEdit;
class QLockFile;
class QMenu;
class QMenuBar;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;
class QScrollArea;
class QSpinBox;
class QTabWidget;
class QTimer;
class QToolBar;
class QToolButton;
class QWebEngineProfile;
class QWebEngineDownloadRequest;
class QPainter;

namespace veldor {

class ClickSplitter;
class EventSounds;
class ExitRoute;
class HistoryStore;
class LoginPanel;
class MapIcons;
class TFavoritesMenu;
class THistoryMenu;
class ClickSplitterHandle;
class MapGrid;
class PageControl;
class TWebbrowser;
class UserPrompts;

// A named frame of the game: the browser it was reported by; the frame is found again by its name.
struct FrameRef
{
    QPointer<TWebbrowser> browser;
    bool valid() const { return !browser.isNull(); }
};

struct TForm1Options
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

// The main window: owns every control, the atlas and all state, and runs the start-up sequence.
class TForm1 : public QMainWindow, private ReaderHost
{
    Q_OBJECT
public:
    explicit TForm1(TForm1Options options = {}, QWidget* parent = nullptr);
    ~TForm1() override;

    Atlas& atlas() { return *m_atlas; }
    const Settings& settings() const { return m_settings; }
    QString workFolder() const { return m_workFolder; }
    QString gameServer() const { return m_gameServer; }
    // What went wrong during start-up, shown to the user once the window is up.
    QStringList startupProblems() const { return m_startupProblems; }
    // Another copy of the program has this folder: the maps were opened for reading only (no saves).
    bool readOnly() const { return m_readOnly; }
    // The user chose to quit rather than open maps another copy holds; the window is not to be shown.
    bool quitRequested() const { return m_quit; }

    unsigned CurLab = 0;
    int CurLevel = 0;

    // The browser last left by a tab change (the browser commands' fallback).
    QPointer<TWebbrowser> LastBrowser;

    // The body cell under the mouse, on which the grid's popup menu acts (0 until one was hovered).
    int HoverX = 0;
    int HoverY = 0;

    // Page reader: what it knows of the player, the game's frames and the page text of the last tick.
    ReaderState Reader;
    FrameRef NoCombatFrame;
    FrameRef ChoutFrame;
    FrameRef ChinpFrame;
    FrameRef ShowInfoFrame;
    FrameRef YourArmyFrame;
    ::veldor::PageLines PageLines;
    ::veldor::PageLines ChoutLines;

    // Layout. Every control keeps its layout name as member name and object name.
    QMenuBar* MainMenu1 = nullptr;
    QWidget* CoolBar1 = nullptr;
    QToolBar* ToolBar1 = nullptr;
    QToolButton* ToolButton1 = nullptr;
    QToolButton* ToolButton2 = nullptr;
    QToolButton* ToolButton3 = nullptr;
    QToolButton* ToolButton4 = nullptr;
    QComboBox* ComboBox6 = nullptr;
    QPushButton* BitBtn6 = nullptr;
    QComboBox* ComboBox7 = nullptr;
    QPushButton* BitBtn5 = nullptr;

    QScrollArea* ScrollBox1 = nullptr;
    PageControl* PageControl1 = nullptr;
    QWidget* TabSheet1 = nullptr;
    QWidget* TabSheet2 = nullptr;
    QLabel* Label9 = nullptr;
    QComboBox* ComboBox1 = nullptr;
    QLabel* Label12 = nullptr;
    QComboBox* ComboBox2 = nullptr;
    QLabel* Label13 = nullptr;
    QSpinBox* SpinEdit5 = nullptr;
    QCheckBox* cb4 = nullptr;
    QCheckBox* CheckBox8 = nullptr;
    QCheckBox* CheckBox7 = nullptr;
    QLabel* Label18 = nullptr;
    QLabel* Label17 = nullptr;
    QPushButton* Button14 = nullptr;
    QPushButton* Button2 = nullptr;
    QPushButton* Button15 = nullptr;
    QCheckBox* CheckBox1 = nullptr;
    QLabel* Label1 = nullptr;
    QLabel* Label3 = nullptr;
    QLabel* Label8 = nullptr;
    QComboBox* ComboBox3 = nullptr;
    QLabel* Label19 = nullptr;
    QComboBox* ComboBox4 = nullptr;
    QLabel* Label4 = nullptr;
    QComboBox* ComboBox5 = nullptr;
    QLabel* Label7 = nullptr;

    QTabWidget* PageControl2 = nullptr;
    QWidget* TabSheet6 = nullptr;
    TWebbrowser* WebBrowser1 = nullptr;
    MapGrid* sg = nullptr;

    ClickSplitterHandle* Splitter1 = nullptr;
    ClickSplitterHandle* Splitter2 = nullptr;
    ClickSplitterHandle* Splitter3 = nullptr;

    QFrame* Panel1 = nullptr;
    QLabel* Label11 = nullptr;
    QPlainTextEdit* Memo5 = nullptr;
    QPushButton* BitBtn2 = nullptr;
    QPushButton* Button20 = nullptr;
    QLabel* Label10 = nullptr;
    QPlainTextEdit* Memo4 = nullptr;
    QPushButton* BitBtn1 = nullptr;
    QPushButton* Button19 = nullptr;
    QLabel* Label14 = nullptr;
    QPlainTextEdit* Memo6 = nullptr;
    QPushButton* BitBtn4 = nullptr;
    QPushButton* Button21 = nullptr;
    QLabel* Label15 = nullptr;
    QPlainTextEdit* Memo7 = nullptr;
    QPushButton* BitBtn3 = nullptr;
    QPushButton* Button22 = nullptr;
    QPlainTextEdit* Memo2 = nullptr;
    QLabel* Label2 = nullptr;
    QLabel* Label5 = nullptr;
    QProgressBar* ProgressBar1 = nullptr;

    LoginPanel* Panel2 = nullptr;
    QLabel* Panel7 = nullptr;
    QLabel* Label6 = nullptr;
    QLineEdit* Edit1 = nullptr;
    QLabel* Label16 = nullptr;
    QLineEdit* Edit2 = nullptr;
    QPushButton* Button16 = nullptr;
    QPushButton* Button17 = nullptr;
    QCheckBox* CheckBox6 = nullptr;

    QTimer* Timer1 = nullptr;
    QTimer* Timer2 = nullptr;

    QMenu* PopupMenu1 = nullptr;
    QMenu* PopupMenu3 = nullptr;
    QString OpenDialog1Filter;

    // Main menu.
    QMenu* MenuFile = nullptr;
    QAction* NewTabBlank = nullptr;
    QAction* Open1 = nullptr;
    QAction* SaveAs1 = nullptr;
    QAction* Properties1 = nullptr;
    QAction* Exit1 = nullptr;
    QAction* Print1 = nullptr;
    QAction* PrintPreview1 = nullptr;
    QAction* PageSetup1 = nullptr;
    QMenu* MenuItem4 = nullptr; // "Правка"
    QAction* Copy1 = nullptr;
    QAction* Cut1 = nullptr;
    QAction* Paste1 = nullptr;
    QAction* SelectAll1 = nullptr;
    QAction* Search1 = nullptr;
    QMenu* MenuView = nullptr;
    QAction* ViewSource1 = nullptr;
    QMenu* FontSize1 = nullptr;
    QAction* Largest1 = nullptr;
    QAction* Large1 = nullptr;
    QAction* Medium1 = nullptr;
    QAction* Small1 = nullptr;
    QAction* Smallest1 = nullptr;
    THistoryMenu* HistoryMenu = nullptr;
    TFavoritesMenu* FavoritesMenu = nullptr;
    QMenu* MenuExtras = nullptr;
    QAction* InternetOptions1 = nullptr;
    QAction* N16 = nullptr;
    QAction* N17 = nullptr;
    QAction* N18 = nullptr;
    QAction* N20 = nullptr;
    QAction* MenuItem11 = nullptr; // "?"
    // Tab strip popup.
    QAction* N19 = nullptr;
    QAction* N9 = nullptr;
    // Map grid popup.
    QMenu* N1 = nullptr;
    QAction* N3 = nullptr;
    QAction* N4 = nullptr;
    QAction* N5 = nullptr;
    QAction* N6 = nullptr;
    QAction* N7 = nullptr;
    QMenu* N8 = nullptr;
    QAction* N10 = nullptr;
    QAction* N11 = nullptr;
    QAction* N12 = nullptr;
    QAction* N13 = nullptr;
    QAction* N14 = nullptr;
    QAction* N15 = nullptr;
    QAction* N21 = nullptr;
    QAction* N2 = nullptr;

    // Handlers.
    void ComboBox1Select();
    void ComboBox2Select();
    void ComboBox3Select();
    void SpinEdit5Change();
    void SplitterCanResize(ClickSplitterHandle* splitter);
    void SplitterMoved(ClickSplitterHandle* splitter);
    void Button14Click();
    void MenuItem11Click();
    void WebBrowser1DocumentComplete(TWebbrowser* browser, const QString& frameName, bool topLevel);
    void Timer1Timer();
    void Memo2KeyDown(int key);
    // Collapses the map, the side panel and the bottom panel when a combat starts (if so set).
    void CombatReaction();
    // The generated login form in the game tab, submitted at once when automatic login is on.
    void ShowLoginPage();

    // Map view, marks and object lists.
    void sgMouseMove(const QPoint& pos);
    void N3Click();
    void N4Click();
    void N5Click();
    void N6Click();
    void N7Click();
    void ChestClick(char code); // N10..N15
    void N21Click();
    void N2Click();
    void Button2Click();
    void Button15Click();
    void BitBtn1Click();
    void BitBtn2Click();
    void BitBtn3Click();
    void BitBtn4Click();
    // Copy buttons: the list's prefix and the memo's text onto the clipboard.
    void CopyListClick(QPlainTextEdit* memo, const QString& prefix);
    void FindExitPath();
    const ExitRoute& route() const { return *m_route; }

    // Browser tabs and commands.
    TWebbrowser* CurrentBrowser() const;
    // A new tab at the end, made active; navigated to the address unless it is blank. Returns the tab.
    QWidget* OpenTab(const QString& url);
    TWebbrowser* browserOf(QWidget* tab) const;
    // Runs `then` once the browser has finished loading, or after a time limit, whichever comes first.
    void WaitForBrowser(TWebbrowser* browser, std::function<void()> then);
    void CloseActiveTab();
    static bool HasHtmlDocument(TWebbrowser* browser);
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
    void EditCommand(int command); // copy 12, cut 11, paste 13, select all 17
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
    QWebEngineProfile* profile() const { return m_profile; }
    HistoryStore* history() const { return m_history.get(); }
    EventSounds* sounds() const { return m_sounds; }
    // The standing window title.
    static QString Title();

    void UpdateLevelStatistics();
    // Reads user.dat into memory and into the controls.
    void LoadSettings();
    // Writes user.dat from memory and the controls; false (after telling the user) when it failed.
    bool SaveSettings();
    // Writes the four map files; false (after telling the user which files and why) when any failed.
    bool SaveMaps();

signals:
    // A polling tick ended: the time from asking for the markup to the end of recognition.
    void tickDone(qint64 nanoseconds);

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildLayout();
    void buildMenus();
    void connectHandlers();
    void runStartup();
    void reportStartupProblems();
    // Takes the working folder for this copy of the program; false when the user chose to quit.
    bool lockWorkFolder();
    void sizeGridForLab();
    void fillObjectMemos();
    void connectMapHandlers();
    void connectBrowserHandlers();
    void bindBrowser(TWebbrowser* browser);
    void buildShellMenus();
    // Puts a page's address into the address box unless the user is editing it there; false when left alone.
    bool showAddress(const QString& url);
    // Back and forward as the tab in front allows.
    void syncNavigationButtons();
    // Refresh on the game tab's error page: back into the game, through the login form if that failed.
    void reloadFailedGame();
    void closeTab(int index);
    void downloadRequested(QWebEngineDownloadRequest* download);
    // One of the program's own files in its working folder (a download must never replace it).
    bool isOwnFile(const QString& path) const;
    void drawGridCell(QPainter& painter, int col, int row, const QRect& rect);
    // After a command on the map: lists into the memos, and the grid at once.
    void mapChanged();
    QString path(const char* fileName) const;
    void finishTick(quint64 serial, bool readOk);

    // What the page reader does to the window.
    unsigned curLab() const override { return CurLab; }
    int curLevel() const override { return CurLevel; }
    bool soundsEnabled() const override;
    void showLevel(int level) override;
    void updateLevelStatistics() override { UpdateLevelStatistics(); }
    void playSound(std::string_view fileName) override;
    void setCoordinatesText(const std::string& text) override;
    void objectListsChanged() override { m_listsChanged = true; }
    void followPlayer(int viewX, int viewY) override;
    void setCaptionPrefix(const std::string& prefix) override;

    bool m_listsChanged = false;
    std::unique_ptr<ExitRoute> m_route;
    std::unique_ptr<MapIcons> m_icons;
    std::vector<char> m_onPath; // cells of the route, for drawing
    std::unique_ptr<HistoryStore> m_history;
    QString m_profileFolder;
    bool m_programTabChange = false;
    int m_activeTab = 0;
    EventSounds* m_sounds = nullptr;
    bool m_tickRunning = false;
    QElapsedTimer m_tickClock;
    quint64 m_tickSerial = 0;

    TForm1Options m_options;
    QString m_workFolder;
    QString m_gameServer;
    std::shared_ptr<UserPrompts> m_prompts;
    std::unique_ptr<Atlas> m_atlas;
    Settings m_settings;
    TravelTables m_travel;
    QStringList m_startupProblems;
    QWebEngineProfile* m_profile = nullptr;
    QElapsedTimer m_commandDownload; // when a command of the program last started something to download
    std::unique_ptr<QLockFile> m_lock;
    bool m_readOnly = false;
    bool m_quit = false;
    ClickSplitter* m_mainSplitter = nullptr;
    ClickSplitter* m_bottomSplitter = nullptr;
};

} // namespace veldor
