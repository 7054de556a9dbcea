#pragma once

#include <QString>

class QAction;
class QCheckBox;
class QComboBox;
class QFrame;
class QLabel;
class QLineEdit;
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
class QWidget;

namespace veldor {

class ClickSplitterHandle;
class LoginPanel;
class MapGrid;
class PageControl;
class FavoritesMenu;
class HistoryMenu;
class BrowserView;

// Every control of the main window, named by what it is; the name is also its object name.
// Per line: the control, its caption, what it is for.
struct MainWindowControls
{
    // Tool bar.
    QWidget* toolBands = nullptr;          // the bands holding the tool bar, the address and the nick boxes
    QToolBar* browserToolBar = nullptr;    // the four browser buttons
    QToolButton* backButton = nullptr;     // "Назад": back in the tab in front
    QToolButton* forwardButton = nullptr;  // "Вперед": forward in the tab in front
    QToolButton* reloadButton = nullptr;   // "Обновить": reload (with Ctrl: past the cache); F5
    QToolButton* stopButton = nullptr;     // "Остановить": stop loading
    QComboBox* addressBox = nullptr;       // "Адрес:": the address box with its history (not for the game tab)
    QPushButton* goButton = nullptr;       // "Перейти": go to the address
    QComboBox* nickBox = nullptr;          // "Ник:": a player's nickname, with the looked-up ones
    QPushButton* findNickButton = nullptr; // "Найти": the player's information page in a new tab

    // Side panel.
    QScrollArea* sidePanel = nullptr;  // the side panel, scrolling when short
    PageControl* sidePages = nullptr;  // its two pages, one tab per row
    QWidget* settingsPage = nullptr;   // "Настройки"
    QWidget* travelPage = nullptr;     // "Путешествие"
    QLabel* labyrinthLabel = nullptr;  // "Лабиринт:"
    QComboBox* labyrinthBox = nullptr; // the labyrinth shown
    QLabel* levelLabel = nullptr;      // "Уровень:"
    QComboBox* levelBox = nullptr;     // the level shown
    QLabel* cellSizeLabel = nullptr;   // "Размер клетки:"
    QSpinBox* cellSizeSpin = nullptr;  // the cell size of the map in pixels
    QCheckBox* passDoorsBox = nullptr; // "Проходить через двери": the arrow keys pass doors
    QCheckBox* soundsBox = nullptr;    // "Проигрывать звуки": event sounds
    QCheckBox* frontierBox = nullptr; // "Показывать путь к неисследованному": the explore assistant
    QCheckBox* hidePanelsBox = nullptr; // hide the panels when a combat starts
    QLabel* hidePanelsLine1 = nullptr;  // "Скрывать панели при" (the check box's caption, first line)
    QLabel* hidePanelsLine2 = nullptr;  // "начале боя" (second line)
    QCheckBox* restorePanelsBox = nullptr; // "…и возвращать после боя": the panels a combat hid come back after it
    QPushButton* saveMapsButton = nullptr;       // "Сохранить карту": write the four map files
    QPushButton* clearLabyrinthButton = nullptr; // "Очистить карту": empty the labyrinth shown
    QPushButton* clearAllMapsButton = nullptr;   // "Очистить все карты": empty every labyrinth
    QCheckBox* squadBox = nullptr; // "Общая папка отряда:": the group's shared folder on or off
    QPushButton* squadFolderButton = nullptr; // the shared folder, chosen with a click
    QPushButton* squadNameButton = nullptr;   // our name (our subfolder) in the shared folder
    QLabel* squadLabel = nullptr;             // the status strip's line about the group (made with its first line)
    QCheckBox* exitRouteBox = nullptr;  // "показывать путь к выходу": draw the route to a way out
    QLabel* fromTownLabel = nullptr;    // "Из"
    QComboBox* fromTownBox = nullptr;   // the town the journey starts in
    QLabel* toTownLabel = nullptr;      // "В"
    QComboBox* toTownBox = nullptr;     // the destination town
    QLabel* speedBonusLabel = nullptr;  // "Со скоростью"
    QComboBox* speedBonusBox = nullptr; // the speed bonus, -30..30
    QLabel* travelTimeLabel = nullptr;  // "Расчетное время: hh:mm:ss"

    // Browser and map.
    QTabWidget* browserTabs = nullptr;                // the browser tabs
    QWidget* gameTab = nullptr;                       // "Тирмора": the game tab, never closed
    BrowserView* gameBrowser = nullptr;               // the game tab's browser
    MapGrid* mapGrid = nullptr;                       // the map of the level shown
    ClickSplitterHandle* mapSplitter = nullptr;       // between the browser and the map: a click collapses the map
    ClickSplitterHandle* sidePanelSplitter = nullptr; // between the side panel and the browser: collapses the panel
    ClickSplitterHandle* bottomSplitter = nullptr;    // above the bottom panel: collapses it

    // Bottom panel.
    QFrame* bottomPanel = nullptr;                 // the object lists, the keyboard box and the statistics
    QLabel* transitionsLabel = nullptr;            // "Переходы:"
    QPlainTextEdit* transitionsList = nullptr;     // the ways up and down found in the labyrinth
    QPushButton* clearTransitionsButton = nullptr; // "X": clear the ways from the labyrinth
    QPushButton* copyTransitionsButton = nullptr;  // "C": copy the list
    QLabel* exitsLabel = nullptr;                  // "Выходы:"
    QPlainTextEdit* exitsList = nullptr;           // the exits found
    QPushButton* clearExitsButton = nullptr;       // "X": clear the exits
    QPushButton* copyExitsButton = nullptr;        // "C": copy the list
    QLabel* trapsLabel = nullptr;                  // "Ловушки:"
    QPlainTextEdit* trapsList = nullptr;           // the traps found
    QPushButton* clearTrapsButton = nullptr;       // "X": clear the traps
    QPushButton* copyTrapsButton = nullptr;        // "C": copy the list
    QLabel* flagsLabel = nullptr;                  // "Флаги:"
    QPlainTextEdit* flagsList = nullptr;           // the flags found
    QPushButton* clearFlagsButton = nullptr;       // "X": clear the flags
    QPushButton* copyFlagsButton = nullptr;        // "C": copy the list
    QPlainTextEdit* keyboardBox = nullptr; // "управление с клавиатуры": focused, the arrow keys walk
    QLabel* exploredLabel = nullptr;       // "Процент открытия уровня: N%"
    QLabel* positionLabel = nullptr;       // the player's cell, "XxY"
    QLabel* frontierLabel = nullptr; // "До неисследованного: N шагов" while the explore assistant is on
    QLabel* wayLabel = nullptr; // "Путь: N шагов, через спуск XxY на уровень L" while a way is shown
    QProgressBar* loadProgressBar = nullptr; // the load progress of the tab in front

    // Login box over the browser ("Дополнительно" → "Данные").
    LoginPanel* loginPanel = nullptr;         // the box itself
    QLabel* loginTitle = nullptr;             // "Параметры входа"
    QLabel* loginLabel = nullptr;             // "Логин:"
    QLineEdit* loginEdit = nullptr;           // the login
    QLabel* passwordLabel = nullptr;          // "Пароль:"
    QLineEdit* passwordEdit = nullptr;        // the password
    QPushButton* loginOkButton = nullptr;     // "ОК": keep what was typed
    QPushButton* loginCancelButton = nullptr; // "Отмена"
    QCheckBox* autoLoginBox = nullptr;        // "Входить автоматически"

    QTimer* pollTimer = nullptr;           // the polling tick
    QTimer* tabDoubleClickTimer = nullptr; // the double-click window of the tab strip

    // Main menu.
    QMenuBar* mainMenu = nullptr;
    QMenu* fileMenu = nullptr;               // "Файл"
    QAction* fileNewTabAction = nullptr;     // "Новая вкладка"
    QAction* openFileAction = nullptr;       // "Открыть...": a file in a new tab
    QAction* savePageAction = nullptr;       // "Сохранить как...": the page in front
    QAction* pagePropertiesAction = nullptr; // "Свойства": of the page in front
    QAction* mergeMapsAction = nullptr; // "Объединить с картами из папки...": another player's maps
    QAction* exportMapsAction = nullptr; // "Экспорт карт в папку...": a copy of ours
    QAction* saveLevelPictureAction = nullptr; // "Сохранить уровень как рисунок...": the shown level as PNG
    QAction* exitAction = nullptr; // "Выход"
    QMenu* editMenu = nullptr;     // "Правка"
    QAction* undoAction = nullptr; // "Отменить: <действие>": the last change made to the map by hand or by a command
    QAction* redoAction = nullptr;       // "Повторить: <действие>"
    QAction* copyAction = nullptr;       // "Копировать"
    QAction* cutAction = nullptr;        // "Вырезать"
    QAction* pasteAction = nullptr;      // "Вставить"
    QAction* selectAllAction = nullptr;  // "Выделить все"
    QAction* findInPageAction = nullptr; // "Найти": in the page in front
    QAction* findOnMapAction = nullptr; // "Найти на карте...": markers, list entries and objects across the atlas
    QMenu* viewMenu = nullptr;          // "Вид"
    QAction* viewSourceAction = nullptr;    // "HTML-код": the page's source in a new tab
    QMenu* fontSizeMenu = nullptr;          // "Размер шрифта"
    QAction* largestFontAction = nullptr;   // "Самый крупный"
    QAction* largeFontAction = nullptr;     // "Крупный"
    QAction* mediumFontAction = nullptr;    // "Средний"
    QAction* smallFontAction = nullptr;     // "Мелкий"
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
    QAction* aboutAction = nullptr;  // "О программе": about the program

    // Tab strip popup.
    QMenu* tabStripMenu = nullptr;
    QAction* newTabAction = nullptr;   // "Новая вкладка"
    QAction* closeTabAction = nullptr; // "Закрыть": the tab in front (never the game tab)

    // Map popup: marks on the hovered cell.
    QMenu* cellMenu = nullptr;
    QAction* wayHereAction = nullptr;    // "Проложить путь сюда": the way from the player to the cell
    QMenu* cellAddMenu = nullptr;        // "Добавить"
    QAction* addTrapAction = nullptr;    // "Ловушку"
    QAction* addFlagAction = nullptr;    // "Флаг"
    QAction* addDescentAction = nullptr; // "Спуск"
    QAction* addAscentAction = nullptr;  // "Подъем"
    QAction* addExitAction = nullptr;    // "Выход"
    QMenu* chestMenu = nullptr;          // "Сундук"
    QAction* redChestAction = nullptr;   // "Красный"
    QAction* greenChestAction = nullptr; // "Зеленый"
    QAction* blueChestAction = nullptr;  // "Синий"
    QAction* whiteChestAction = nullptr; // "Белый"
    QAction* ironChestAction = nullptr;  // "Железный"
    QAction* goldChestAction = nullptr;  // "Золотой"
    QAction* addMarkerAction = nullptr;  // "Маркер": a text of one's own
    QAction* clearCellAction = nullptr;  // "Очистить": marker and object of the cell

    QString openFileFilter; // the file types "Открыть..." offers
};

} // namespace veldor
