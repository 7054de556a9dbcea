#pragma once

#include "route/wayfinder.h"

#include <QObject>
#include <QString>
#include <memory>

class QAction;
class QMainWindow;
class QMenu;
class QMenuBar;
class QWebEngineProfile;

namespace veldor {

class BrowserCommands;
class BrowserTabs;
class DownloadGate;
class HistoryStore;
class FavoritesMenu;
class HistoryMenu;
class UserPrompts;

// The menu bar and the tab strip's popup menu. It keeps their items to itself, runs the browser's items on the
// tab in front and says what the player asked of the rest (the map, the way, the window) in its signals.
class MainMenus : public QObject
{
    Q_OBJECT
public:
    explicit MainMenus(QMainWindow* window);

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
    // "Отменить: <действие>" and "Повторить: <действие>", off when the name is empty.
    void showUndo(const QString& undoName, const QString& redoName);

signals:
    void mergeMapsAsked();
    void exportMapsAsked();
    void levelPictureAsked();
    void quitAsked();
    void undoAsked();
    void redoAsked();
    void findOnMapAsked();
    void overviewAsked();
    void showPlayerAsked();
    void squadMembersAsked();
    void defaultCellSizeAsked();
    void wayAsked(veldor::WayTarget target);
    void clearWayAsked();
    void loginDataAsked();
    void findNickAsked();
    void clearNicksAsked();
    // The guide at a section (its start when empty).
    void guideAsked(const QString& section);
    void aboutAsked();

private:
    void buildFileAndEditMenus();
    void buildViewMenu();
    void buildExtrasAndHelpMenus();
    void openFile();
    // A page chosen from History or Favorites, in the tab in front (never the game tab).
    void navigateFromMenu(const QString& url);

    // Wires the items that only say what was asked.
    void connectRequests();

    struct Controls
    {
        QMenuBar* mainMenu = nullptr;
        QMenu* fileMenu = nullptr;               // "Файл"
        QAction* fileNewTabAction = nullptr;     // "Новая вкладка"
        QAction* openFileAction = nullptr;       // "Открыть...": a file in a new tab
        QAction* savePageAction = nullptr;       // "Сохранить как...": the page in front
        QAction* pagePropertiesAction = nullptr; // "Свойства": of the page in front
        QAction* mergeMapsAction = nullptr; // "Объединить с картами из папки...": another player's maps
        QAction* exportMapsAction = nullptr; // "Экспорт карт в папку...": a copy of ours
        QAction* saveLevelPictureAction = nullptr; // "Сохранить уровень как рисунок...": the shown level as PNG
        QAction* exitAction = nullptr;        // "Выход"
        QMenu* editMenu = nullptr;            // "Правка"
        QAction* undoAction = nullptr;        // "Отменить: <действие>": the last change made to the map
        QAction* redoAction = nullptr;        // "Повторить: <действие>"
        QAction* copyAction = nullptr;        // "Копировать"
        QAction* cutAction = nullptr;         // "Вырезать"
        QAction* pasteAction = nullptr;       // "Вставить"
        QAction* selectAllAction = nullptr;   // "Выделить все"
        QAction* findInPageAction = nullptr;  // "Найти": in the page in front
        QAction* findOnMapAction = nullptr;   // "Найти на карте...": markers, list entries and objects
        QMenu* viewMenu = nullptr;            // "Вид"
        QAction* viewSourceAction = nullptr;  // "HTML-код": the page's source in a new tab
        QMenu* fontSizeMenu = nullptr;        // "Размер шрифта"
        QAction* largestFontAction = nullptr; // "Самый крупный"
        QAction* largeFontAction = nullptr;   // "Крупный"
        QAction* mediumFontAction = nullptr;  // "Средний"
        QAction* smallFontAction = nullptr;   // "Мелкий"
        QAction* smallestFontAction = nullptr;  // "Самый мелкий"
        QAction* atlasOverviewAction = nullptr; // "Обзор атласа": every labyrinth and level at a glance
        QAction* showPlayerAction = nullptr;    // "Показать игрока": the map scrolled to the player
        QAction* squadMembersAction = nullptr;  // "Отряд": the members of the shared folder
        QAction* defaultCellSizeAction = nullptr; // "Исходный размер клеток": the cell size of user.dat again
        QAction* wayToExitAction = nullptr;       // "Путь к выходу": to the nearest known exit or way up out
        QAction* wayToDescentAction = nullptr;    // "Путь к спуску": to the nearest known way down
        QAction* wayToAscentAction = nullptr;     // "Путь к подъёму": to the nearest known way up
        QAction* clearWayAction = nullptr;        // "Убрать путь" (Escape over the map)
        HistoryMenu* historyMenu = nullptr;       // "История": visited pages by day and site
        FavoritesMenu* favoritesMenu = nullptr;   // "Избранное": bookmarks, with adding and organising
        QMenu* extrasMenu = nullptr;              // "Дополнительно"
        QAction* loginDataAction = nullptr;       // "Данные": the login box
        QAction* findNickAction = nullptr;        // "Найти по нику": asks for a nickname
        QAction* clearAddressesAction = nullptr;  // "Очистить адреса": the address box's history
        QAction* clearNicksAction = nullptr;      // "Очистить ники": the nick box's history
        QAction* internetOptionsAction = nullptr; // "Свойства обозревателя"
        QMenu* helpMenu = nullptr;                // "?"
        QAction* guideAction = nullptr;           // "Руководство" (F1): the player's guide in a new tab
        QAction* legendAction = nullptr; // "Условные обозначения": the guide's legend of the map
        QAction* aboutAction = nullptr;  // "О программе"
        // The tab strip's popup.
        QMenu* tabStripMenu = nullptr;
        QAction* newTabAction = nullptr;   // "Новая вкладка"
        QAction* closeTabAction = nullptr; // "Закрыть": the tab in front (never the game tab)
        QString openFileFilter;            // the file types "Открыть..." offers
    };
    QMainWindow* m_window;
    Controls m_ui;
    Work m_work;
};

} // namespace veldor
