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
class TFavoritesMenu;
class THistoryMenu;
class TWebbrowser;

// Every control of the main window under its layout name, which is also its object name. The names are the
// behaviour description's own, kept so that a handler's name (Button14Click) leads from there to here.
// Per line: the control, its caption, what it is for.
struct TForm1Controls
{
    // Tool bar.
    QWidget* CoolBar1 = nullptr;        // the bands holding the tool bar, the address and the nick boxes
    QToolBar* ToolBar1 = nullptr;       // the four browser buttons
    QToolButton* ToolButton1 = nullptr; // "Назад": back in the tab in front
    QToolButton* ToolButton2 = nullptr; // "Вперед": forward in the tab in front
    QToolButton* ToolButton3 = nullptr; // "Обновить": reload (with Ctrl: past the cache); F5
    QToolButton* ToolButton4 = nullptr; // "Остановить": stop loading
    QComboBox* ComboBox6 = nullptr;     // "Адрес:": the address box with its history (not for the game tab)
    QPushButton* BitBtn6 = nullptr;     // "Перейти": go to the address
    QComboBox* ComboBox7 = nullptr;     // "Ник:": a player's nickname, with the looked-up ones
    QPushButton* BitBtn5 = nullptr;     // "Найти": the player's information page in a new tab

    // Side panel.
    QScrollArea* ScrollBox1 = nullptr;   // the side panel, scrolling when short
    PageControl* PageControl1 = nullptr; // its two pages, one tab per row
    QWidget* TabSheet1 = nullptr;        // "Настройки"
    QWidget* TabSheet2 = nullptr;        // "Путешествие"
    QLabel* Label9 = nullptr;            // "Лабиринт:"
    QComboBox* ComboBox1 = nullptr;      // the labyrinth shown
    QLabel* Label12 = nullptr;           // "Уровень:"
    QComboBox* ComboBox2 = nullptr;      // the level shown
    QLabel* Label13 = nullptr;           // "Размер клетки:"
    QSpinBox* SpinEdit5 = nullptr;       // the cell size of the map in pixels
    QCheckBox* cb4 = nullptr;            // "Проходить через двери": the arrow keys pass doors
    QCheckBox* CheckBox8 = nullptr;      // "Проигрывать звуки": event sounds
    QCheckBox* FrontierBox = nullptr; // "Показывать путь к неисследованному": the explore assistant
    QCheckBox* CheckBox7 = nullptr;  // hide the panels when a combat starts
    QLabel* Label18 = nullptr;       // "Скрывать панели при" (the check box's caption, first line)
    QLabel* Label17 = nullptr;       // "начале боя" (second line)
    QPushButton* Button14 = nullptr; // "Сохранить карту": write the four map files
    QPushButton* Button2 = nullptr;  // "Очистить карту": empty the labyrinth shown
    QPushButton* Button15 = nullptr; // "Очистить все карты": empty every labyrinth
    QCheckBox* SquadBox = nullptr;   // "Общая папка отряда:": the group's shared folder on or off
    QPushButton* SquadFolderButton = nullptr; // the shared folder, chosen with a click
    QPushButton* SquadNameButton = nullptr;   // our name (our subfolder) in the shared folder
    QLabel* SquadLabel = nullptr;             // the status strip's line about the group (made with its first line)
    QCheckBox* CheckBox1 = nullptr; // "показывать путь к выходу": draw the route to a way out
    QLabel* Label1 = nullptr;       // empty; cleared at start-up
    QLabel* Label3 = nullptr;       // empty; cleared at start-up
    QLabel* Label8 = nullptr;       // "Из"
    QComboBox* ComboBox3 = nullptr; // the town the journey starts in
    QLabel* Label19 = nullptr;      // "В"
    QComboBox* ComboBox4 = nullptr; // the destination town
    QLabel* Label4 = nullptr;       // "Со скоростью"
    QComboBox* ComboBox5 = nullptr; // the speed bonus, -30..30
    QLabel* Label7 = nullptr;       // "Расчетное время: hh:mm:ss"

    // Browser and map.
    QTabWidget* PageControl2 = nullptr;       // the browser tabs
    QWidget* TabSheet6 = nullptr;             // "Тирмора": the game tab, never closed
    TWebbrowser* WebBrowser1 = nullptr;       // the game tab's browser
    MapGrid* sg = nullptr;                    // the map of the level shown
    ClickSplitterHandle* Splitter1 = nullptr; // between the browser and the map: a click collapses the map
    ClickSplitterHandle* Splitter2 = nullptr; // between the side panel and the browser: collapses the panel
    ClickSplitterHandle* Splitter3 = nullptr; // above the bottom panel: collapses it

    // Bottom panel.
    QFrame* Panel1 = nullptr;        // the object lists, the keyboard box and the statistics
    QLabel* Label11 = nullptr;       // "Переходы:"
    QPlainTextEdit* Memo5 = nullptr; // the ways up and down found in the labyrinth
    QPushButton* BitBtn2 = nullptr;  // "X": clear the ways from the labyrinth
    QPushButton* Button20 = nullptr; // "C": copy the list
    QLabel* Label10 = nullptr;       // "Выходы:"
    QPlainTextEdit* Memo4 = nullptr; // the exits found
    QPushButton* BitBtn1 = nullptr;  // "X": clear the exits
    QPushButton* Button19 = nullptr; // "C": copy the list
    QLabel* Label14 = nullptr;       // "Ловушки:"
    QPlainTextEdit* Memo6 = nullptr; // the traps found
    QPushButton* BitBtn4 = nullptr;  // "X": clear the traps
    QPushButton* Button21 = nullptr; // "C": copy the list
    QLabel* Label15 = nullptr;       // "Флаги:"
    QPlainTextEdit* Memo7 = nullptr; // the flags found
    QPushButton* BitBtn3 = nullptr;  // "X": clear the flags
    QPushButton* Button22 = nullptr; // "C": copy the list
    QPlainTextEdit* Memo2 = nullptr; // "управление с клавиатуры": focused, the arrow keys walk
    QLabel* Label2 = nullptr;        // "Процент открытия уровня: N%"
    QLabel* Label5 = nullptr;        // the player's cell, "XxY"
    QLabel* FrontierLabel = nullptr; // "До неисследованного: N шагов" while the explore assistant is on
    QProgressBar* ProgressBar1 = nullptr; // the load progress of the tab in front

    // Login box over the browser ("Дополнительно" → "Данные").
    LoginPanel* Panel2 = nullptr;    // the box itself
    QLabel* Panel7 = nullptr;        // "Параметры входа"
    QLabel* Label6 = nullptr;        // "Логин:"
    QLineEdit* Edit1 = nullptr;      // the login
    QLabel* Label16 = nullptr;       // "Пароль:"
    QLineEdit* Edit2 = nullptr;      // the password
    QPushButton* Button16 = nullptr; // "ОК": keep what was typed
    QPushButton* Button17 = nullptr; // "Отмена"
    QCheckBox* CheckBox6 = nullptr;  // "Входить автоматически"

    QTimer* Timer1 = nullptr; // the polling tick
    QTimer* Timer2 = nullptr; // the double-click window of the tab strip

    // Main menu.
    QMenuBar* MainMenu1 = nullptr;
    QMenu* MenuFile = nullptr;        // "Файл"
    QAction* NewTabBlank = nullptr;   // "Новая вкладка"
    QAction* Open1 = nullptr;         // "Открыть...": a file in a new tab
    QAction* SaveAs1 = nullptr;       // "Сохранить как...": the page in front
    QAction* Properties1 = nullptr;   // "Свойства": of the page in front
    QAction* Print1 = nullptr;        // "Печать..." (hidden)
    QAction* PrintPreview1 = nullptr; // "Предварительный просмотр" (hidden)
    QAction* PageSetup1 = nullptr;    // "Параметры страницы" (hidden)
    QAction* MergeMaps1 = nullptr; // "Объединить с картами из папки...": another player's maps
    QAction* ExportMaps1 = nullptr; // "Экспорт карт в папку...": a copy of ours
    QAction* SaveLevelPicture1 = nullptr; // "Сохранить уровень как рисунок...": the shown level as PNG
    QAction* Exit1 = nullptr;             // "Выход"
    QMenu* MenuItem4 = nullptr;           // "Правка"
    QAction* Undo1 = nullptr; // "Отменить: <действие>": the last change made to the map by hand or by a command
    QAction* Redo1 = nullptr;      // "Повторить: <действие>"
    QAction* Copy1 = nullptr;      // "Копировать"
    QAction* Cut1 = nullptr;       // "Вырезать"
    QAction* Paste1 = nullptr;     // "Вставить"
    QAction* SelectAll1 = nullptr; // "Выделить все"
    QAction* Search1 = nullptr;    // "Найти": in the page in front
    QAction* FindOnMap1 = nullptr; // "Найти на карте...": markers, list entries and objects across the atlas
    QMenu* MenuView = nullptr;     // "Вид"
    QAction* ViewSource1 = nullptr;    // "HTML-код": the page's source in a new tab
    QMenu* FontSize1 = nullptr;        // "Размер шрифта"
    QAction* Largest1 = nullptr;       // "Самый крупный"
    QAction* Large1 = nullptr;         // "Крупный"
    QAction* Medium1 = nullptr;        // "Средний"
    QAction* Small1 = nullptr;         // "Мелкий"
    QAction* Smallest1 = nullptr;      // "Самый мелкий"
    QAction* AtlasOverview1 = nullptr; // "Обзор атласа": every labyrinth and level at a glance
    QAction* ShowPlayer1 = nullptr;    // "Показать игрока": the map scrolled to the player
    QAction* SquadMembers1 = nullptr;  // "Отряд": the members of the shared folder
    QAction* CellSize1 = nullptr;      // "Исходный размер клеток": the cell size of user.dat again
    THistoryMenu* HistoryMenu = nullptr;     // "История": visited pages by day and site
    TFavoritesMenu* FavoritesMenu = nullptr; // "Избранное": bookmarks, with adding and organising
    QMenu* MenuExtras = nullptr;             // "Дополнительно"
    QAction* N16 = nullptr;                  // "Данные": the login box
    QAction* N17 = nullptr;                  // "Найти по нику": asks for a nickname
    QAction* N18 = nullptr;                  // "Очистить адреса": the address box's history
    QAction* N20 = nullptr;                  // "Очистить ники": the nick box's history
    QAction* InternetOptions1 = nullptr;     // "Свойства обозревателя"
    QMenu* MenuHelp = nullptr;               // "?"
    QAction* Guide1 = nullptr;               // "Руководство" (F1): the player's guide in a new tab
    QAction* Legend1 = nullptr;              // "Условные обозначения": the guide's legend of the map
    QAction* MenuItem11 = nullptr;           // "О программе": about the program

    // Tab strip popup.
    QMenu* PopupMenu3 = nullptr;
    QAction* N19 = nullptr; // "Новая вкладка"
    QAction* N9 = nullptr;  // "Закрыть": the tab in front (never the game tab)

    // Map popup: marks on the hovered cell.
    QMenu* PopupMenu1 = nullptr;
    QMenu* N1 = nullptr;    // "Добавить"
    QAction* N3 = nullptr;  // "Ловушку"
    QAction* N4 = nullptr;  // "Флаг"
    QAction* N5 = nullptr;  // "Спуск"
    QAction* N6 = nullptr;  // "Подъем"
    QAction* N7 = nullptr;  // "Выход"
    QMenu* N8 = nullptr;    // "Сундук"
    QAction* N10 = nullptr; // "Красный"
    QAction* N11 = nullptr; // "Зеленый"
    QAction* N12 = nullptr; // "Синий"
    QAction* N13 = nullptr; // "Белый"
    QAction* N14 = nullptr; // "Железный"
    QAction* N15 = nullptr; // "Золотой"
    QAction* N21 = nullptr; // "Маркер": a text of one's own
    QAction* N2 = nullptr;  // "Очистить": marker and object of the cell

    QString OpenDialog1Filter; // the file types "Открыть..." offers
};

} // namespace veldor
