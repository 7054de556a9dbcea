// The main menu and the popup menus of the grid and the tab strip.
#include "mainwindow.h"

#include <QAction>
#include <QActionGroup>
#include <QMenu>
#include <QMenuBar>

namespace veldor {
namespace {

QAction* item(QMenu* menu, const char* name, const QString& caption)
{
    QAction* action = menu->addAction(caption);
    action->setObjectName(QString::fromLatin1(name));
    return action;
}

QMenu* submenu(QWidget* parent, const char* name, const QString& caption)
{
    auto* menu = new QMenu(caption, parent);
    menu->setObjectName(QString::fromLatin1(name));
    return menu;
}

} // namespace

void MainWindow::buildMenus()
{
    mainMenu = menuBar();
    mainMenu->setObjectName(QStringLiteral("mainMenu"));

    fileMenu = submenu(mainMenu, "fileMenu", QStringLiteral("Файл"));
    fileNewTabAction = item(fileMenu, "fileNewTabAction", QStringLiteral("Новая вкладка"));
    fileNewTabAction->setShortcut(QKeySequence::AddTab);
    openFileAction = item(fileMenu, "openFileAction", QStringLiteral("Открыть..."));
    savePageAction = item(fileMenu, "savePageAction", QStringLiteral("Сохранить как..."));
    pagePropertiesAction = item(fileMenu, "pagePropertiesAction", QStringLiteral("Свойства"));
    fileMenu->addSeparator();
    mergeMapsAction = item(fileMenu, "mergeMapsAction", QStringLiteral("Объединить с картами из папки..."));
    exportMapsAction = item(fileMenu, "exportMapsAction", QStringLiteral("Экспорт карт в папку..."));
    saveLevelPictureAction =
        item(fileMenu, "saveLevelPictureAction", QStringLiteral("Сохранить уровень как рисунок..."));
    fileMenu->addSeparator();
    exitAction = item(fileMenu, "exitAction", QStringLiteral("Выход"));
    mainMenu->addMenu(fileMenu);

    editMenu = submenu(mainMenu, "editMenu", QStringLiteral("Правка"));
    undoAction = item(editMenu, "undoAction", QStringLiteral("Отменить"));
    undoAction->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Z));
    redoAction = item(editMenu, "redoAction", QStringLiteral("Повторить"));
    redoAction->setShortcuts({QKeySequence(Qt::CTRL | Qt::Key_Y), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)});
    editMenu->addSeparator();
    copyAction = item(editMenu, "copyAction", QStringLiteral("Копировать"));
    cutAction = item(editMenu, "cutAction", QStringLiteral("Вырезать"));
    pasteAction = item(editMenu, "pasteAction", QStringLiteral("Вставить"));
    selectAllAction = item(editMenu, "selectAllAction", QStringLiteral("Выделить все"));
    editMenu->addSeparator();
    findInPageAction = item(editMenu, "findInPageAction", QStringLiteral("Найти"));
    findOnMapAction = item(editMenu, "findOnMapAction", QStringLiteral("Найти на карте..."));
    findOnMapAction->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_F));
    mainMenu->addMenu(editMenu);

    viewMenu = submenu(mainMenu, "viewMenu", QStringLiteral("Вид"));
    viewSourceAction = item(viewMenu, "viewSourceAction", QStringLiteral("HTML-код"));
    fontSizeMenu = submenu(viewMenu, "fontSizeMenu", QStringLiteral("Размер шрифта"));
    largestFontAction = item(fontSizeMenu, "largestFontAction", QStringLiteral("Самый крупный"));
    largeFontAction = item(fontSizeMenu, "largeFontAction", QStringLiteral("Крупный"));
    mediumFontAction = item(fontSizeMenu, "mediumFontAction", QStringLiteral("Средний"));
    smallFontAction = item(fontSizeMenu, "smallFontAction", QStringLiteral("Мелкий"));
    smallestFontAction = item(fontSizeMenu, "smallestFontAction", QStringLiteral("Самый мелкий"));
    int zoomTag = 4;
    for (QAction* size : {largestFontAction, largeFontAction, mediumFontAction, smallFontAction, smallestFontAction}) {
        size->setCheckable(true);
        size->setData(zoomTag--);
    }
    mediumFontAction->setChecked(true);
    viewMenu->addMenu(fontSizeMenu);
    viewMenu->addSeparator();
    atlasOverviewAction = item(viewMenu, "atlasOverviewAction", QStringLiteral("Обзор атласа"));
    atlasOverviewAction->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_O));
    showPlayerAction = item(viewMenu, "showPlayerAction", QStringLiteral("Показать игрока"));
    showPlayerAction->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Home));
    squadMembersAction = item(viewMenu, "squadMembersAction", QStringLiteral("Отряд"));
    defaultCellSizeAction = item(viewMenu, "defaultCellSizeAction", QStringLiteral("Исходный размер клеток"));
    defaultCellSizeAction->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_0));
    mainMenu->addMenu(viewMenu);

    // History and Favorites insert themselves at start-up.

    extrasMenu = submenu(mainMenu, "extrasMenu", QStringLiteral("Дополнительно"));
    loginDataAction = item(extrasMenu, "loginDataAction", QStringLiteral("Данные"));
    findNickAction = item(extrasMenu, "findNickAction", QStringLiteral("Найти по нику"));
    extrasMenu->addSeparator();
    clearAddressesAction = item(extrasMenu, "clearAddressesAction", QStringLiteral("Очистить адреса"));
    clearNicksAction = item(extrasMenu, "clearNicksAction", QStringLiteral("Очистить ники"));
    extrasMenu->addSeparator();
    internetOptionsAction = item(extrasMenu, "internetOptionsAction", QStringLiteral("Свойства обозревателя"));
    mainMenu->addMenu(extrasMenu);

    helpMenu = submenu(mainMenu, "helpMenu", QStringLiteral("?"));
    guideAction = item(helpMenu, "guideAction", QStringLiteral("Руководство"));
    guideAction->setShortcut(QKeySequence::HelpContents);
    legendAction = item(helpMenu, "legendAction", QStringLiteral("Условные обозначения"));
    helpMenu->addSeparator();
    aboutAction = item(helpMenu, "aboutAction", QStringLiteral("О программе"));
    mainMenu->addMenu(helpMenu);

    tabStripMenu = submenu(this, "tabStripMenu", QString());
    newTabAction = item(tabStripMenu, "newTabAction", QStringLiteral("Новая вкладка"));
    closeTabAction = item(tabStripMenu, "closeTabAction", QStringLiteral("Закрыть"));

    cellMenu = submenu(this, "cellMenu", QString());
    cellAddMenu = submenu(cellMenu, "cellAddMenu", QStringLiteral("Добавить"));
    addTrapAction = item(cellAddMenu, "addTrapAction", QStringLiteral("Ловушку"));
    addFlagAction = item(cellAddMenu, "addFlagAction", QStringLiteral("Флаг"));
    addDescentAction = item(cellAddMenu, "addDescentAction", QStringLiteral("Спуск"));
    addAscentAction = item(cellAddMenu, "addAscentAction", QStringLiteral("Подъем"));
    addExitAction = item(cellAddMenu, "addExitAction", QStringLiteral("Выход"));
    chestMenu = submenu(cellAddMenu, "chestMenu", QStringLiteral("Сундук"));
    redChestAction = item(chestMenu, "redChestAction", QStringLiteral("Красный"));
    greenChestAction = item(chestMenu, "greenChestAction", QStringLiteral("Зеленый"));
    blueChestAction = item(chestMenu, "blueChestAction", QStringLiteral("Синий"));
    whiteChestAction = item(chestMenu, "whiteChestAction", QStringLiteral("Белый"));
    ironChestAction = item(chestMenu, "ironChestAction", QStringLiteral("Железный"));
    goldChestAction = item(chestMenu, "goldChestAction", QStringLiteral("Золотой"));
    cellAddMenu->addMenu(chestMenu);
    addMarkerAction = item(cellAddMenu, "addMarkerAction", QStringLiteral("Маркер"));
    cellMenu->addMenu(cellAddMenu);
    clearCellAction = item(cellMenu, "clearCellAction", QStringLiteral("Очистить"));

    openFileFilter = QStringLiteral("HTML File (*.htm, *.html) (*.htm *.html);;MS Word Document (*.doc) (*.doc);;"
                                    "MS Excel (*.xls) (*.xls)");
}

} // namespace veldor
