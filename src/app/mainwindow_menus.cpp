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
    m_ui.mainMenu = menuBar();
    m_ui.mainMenu->setObjectName(QStringLiteral("mainMenu"));

    m_ui.fileMenu = submenu(m_ui.mainMenu, "fileMenu", QStringLiteral("Файл"));
    m_ui.fileNewTabAction = item(m_ui.fileMenu, "fileNewTabAction", QStringLiteral("Новая вкладка"));
    m_ui.fileNewTabAction->setShortcut(QKeySequence::AddTab);
    m_ui.openFileAction = item(m_ui.fileMenu, "openFileAction", QStringLiteral("Открыть..."));
    m_ui.savePageAction = item(m_ui.fileMenu, "savePageAction", QStringLiteral("Сохранить как..."));
    m_ui.pagePropertiesAction = item(m_ui.fileMenu, "pagePropertiesAction", QStringLiteral("Свойства"));
    m_ui.fileMenu->addSeparator();
    m_ui.mergeMapsAction = item(m_ui.fileMenu, "mergeMapsAction", QStringLiteral("Объединить с картами из папки..."));
    m_ui.exportMapsAction = item(m_ui.fileMenu, "exportMapsAction", QStringLiteral("Экспорт карт в папку..."));
    m_ui.saveLevelPictureAction =
        item(m_ui.fileMenu, "saveLevelPictureAction", QStringLiteral("Сохранить уровень как рисунок..."));
    m_ui.fileMenu->addSeparator();
    m_ui.exitAction = item(m_ui.fileMenu, "exitAction", QStringLiteral("Выход"));
    m_ui.mainMenu->addMenu(m_ui.fileMenu);

    m_ui.editMenu = submenu(m_ui.mainMenu, "editMenu", QStringLiteral("Правка"));
    m_ui.undoAction = item(m_ui.editMenu, "undoAction", QStringLiteral("Отменить"));
    m_ui.undoAction->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Z));
    m_ui.redoAction = item(m_ui.editMenu, "redoAction", QStringLiteral("Повторить"));
    m_ui.redoAction->setShortcuts({QKeySequence(Qt::CTRL | Qt::Key_Y), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)});
    m_ui.editMenu->addSeparator();
    m_ui.copyAction = item(m_ui.editMenu, "copyAction", QStringLiteral("Копировать"));
    m_ui.cutAction = item(m_ui.editMenu, "cutAction", QStringLiteral("Вырезать"));
    m_ui.pasteAction = item(m_ui.editMenu, "pasteAction", QStringLiteral("Вставить"));
    m_ui.selectAllAction = item(m_ui.editMenu, "selectAllAction", QStringLiteral("Выделить все"));
    m_ui.editMenu->addSeparator();
    m_ui.findInPageAction = item(m_ui.editMenu, "findInPageAction", QStringLiteral("Найти"));
    m_ui.findOnMapAction = item(m_ui.editMenu, "findOnMapAction", QStringLiteral("Найти на карте..."));
    m_ui.findOnMapAction->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_F));
    m_ui.mainMenu->addMenu(m_ui.editMenu);

    m_ui.viewMenu = submenu(m_ui.mainMenu, "viewMenu", QStringLiteral("Вид"));
    m_ui.viewSourceAction = item(m_ui.viewMenu, "viewSourceAction", QStringLiteral("HTML-код"));
    m_ui.fontSizeMenu = submenu(m_ui.viewMenu, "fontSizeMenu", QStringLiteral("Размер шрифта"));
    m_ui.largestFontAction = item(m_ui.fontSizeMenu, "largestFontAction", QStringLiteral("Самый крупный"));
    m_ui.largeFontAction = item(m_ui.fontSizeMenu, "largeFontAction", QStringLiteral("Крупный"));
    m_ui.mediumFontAction = item(m_ui.fontSizeMenu, "mediumFontAction", QStringLiteral("Средний"));
    m_ui.smallFontAction = item(m_ui.fontSizeMenu, "smallFontAction", QStringLiteral("Мелкий"));
    m_ui.smallestFontAction = item(m_ui.fontSizeMenu, "smallestFontAction", QStringLiteral("Самый мелкий"));
    int zoomTag = 4;
    for (QAction* size : {m_ui.largestFontAction, m_ui.largeFontAction, m_ui.mediumFontAction, m_ui.smallFontAction,
                          m_ui.smallestFontAction}) {
        size->setCheckable(true);
        size->setData(zoomTag--);
    }
    m_ui.mediumFontAction->setChecked(true);
    m_ui.viewMenu->addMenu(m_ui.fontSizeMenu);
    m_ui.viewMenu->addSeparator();
    m_ui.atlasOverviewAction = item(m_ui.viewMenu, "atlasOverviewAction", QStringLiteral("Обзор атласа"));
    m_ui.atlasOverviewAction->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_O));
    m_ui.showPlayerAction = item(m_ui.viewMenu, "showPlayerAction", QStringLiteral("Показать игрока"));
    m_ui.showPlayerAction->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Home));
    m_ui.squadMembersAction = item(m_ui.viewMenu, "squadMembersAction", QStringLiteral("Отряд"));
    m_ui.defaultCellSizeAction = item(m_ui.viewMenu, "defaultCellSizeAction", QStringLiteral("Исходный размер клеток"));
    m_ui.defaultCellSizeAction->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_0));
    m_ui.mainMenu->addMenu(m_ui.viewMenu);

    // History and Favorites insert themselves at start-up.

    m_ui.extrasMenu = submenu(m_ui.mainMenu, "extrasMenu", QStringLiteral("Дополнительно"));
    m_ui.loginDataAction = item(m_ui.extrasMenu, "loginDataAction", QStringLiteral("Данные"));
    m_ui.findNickAction = item(m_ui.extrasMenu, "findNickAction", QStringLiteral("Найти по нику"));
    m_ui.extrasMenu->addSeparator();
    m_ui.clearAddressesAction = item(m_ui.extrasMenu, "clearAddressesAction", QStringLiteral("Очистить адреса"));
    m_ui.clearNicksAction = item(m_ui.extrasMenu, "clearNicksAction", QStringLiteral("Очистить ники"));
    m_ui.extrasMenu->addSeparator();
    m_ui.internetOptionsAction =
        item(m_ui.extrasMenu, "internetOptionsAction", QStringLiteral("Свойства обозревателя"));
    m_ui.mainMenu->addMenu(m_ui.extrasMenu);

    m_ui.helpMenu = submenu(m_ui.mainMenu, "helpMenu", QStringLiteral("?"));
    m_ui.guideAction = item(m_ui.helpMenu, "guideAction", QStringLiteral("Руководство"));
    m_ui.guideAction->setShortcut(QKeySequence::HelpContents);
    m_ui.legendAction = item(m_ui.helpMenu, "legendAction", QStringLiteral("Условные обозначения"));
    m_ui.helpMenu->addSeparator();
    m_ui.aboutAction = item(m_ui.helpMenu, "aboutAction", QStringLiteral("О программе"));
    m_ui.mainMenu->addMenu(m_ui.helpMenu);

    m_ui.tabStripMenu = submenu(this, "tabStripMenu", QString());
    m_ui.newTabAction = item(m_ui.tabStripMenu, "newTabAction", QStringLiteral("Новая вкладка"));
    m_ui.closeTabAction = item(m_ui.tabStripMenu, "closeTabAction", QStringLiteral("Закрыть"));

    m_ui.cellMenu = submenu(this, "cellMenu", QString());
    m_ui.cellAddMenu = submenu(m_ui.cellMenu, "cellAddMenu", QStringLiteral("Добавить"));
    m_ui.addTrapAction = item(m_ui.cellAddMenu, "addTrapAction", QStringLiteral("Ловушку"));
    m_ui.addFlagAction = item(m_ui.cellAddMenu, "addFlagAction", QStringLiteral("Флаг"));
    m_ui.addDescentAction = item(m_ui.cellAddMenu, "addDescentAction", QStringLiteral("Спуск"));
    m_ui.addAscentAction = item(m_ui.cellAddMenu, "addAscentAction", QStringLiteral("Подъем"));
    m_ui.addExitAction = item(m_ui.cellAddMenu, "addExitAction", QStringLiteral("Выход"));
    m_ui.chestMenu = submenu(m_ui.cellAddMenu, "chestMenu", QStringLiteral("Сундук"));
    m_ui.redChestAction = item(m_ui.chestMenu, "redChestAction", QStringLiteral("Красный"));
    m_ui.greenChestAction = item(m_ui.chestMenu, "greenChestAction", QStringLiteral("Зеленый"));
    m_ui.blueChestAction = item(m_ui.chestMenu, "blueChestAction", QStringLiteral("Синий"));
    m_ui.whiteChestAction = item(m_ui.chestMenu, "whiteChestAction", QStringLiteral("Белый"));
    m_ui.ironChestAction = item(m_ui.chestMenu, "ironChestAction", QStringLiteral("Железный"));
    m_ui.goldChestAction = item(m_ui.chestMenu, "goldChestAction", QStringLiteral("Золотой"));
    m_ui.cellAddMenu->addMenu(m_ui.chestMenu);
    m_ui.addMarkerAction = item(m_ui.cellAddMenu, "addMarkerAction", QStringLiteral("Маркер"));
    m_ui.cellMenu->addMenu(m_ui.cellAddMenu);
    m_ui.clearCellAction = item(m_ui.cellMenu, "clearCellAction", QStringLiteral("Очистить"));

    m_ui.openFileFilter = QStringLiteral("HTML File (*.htm, *.html) (*.htm *.html);;MS Word Document (*.doc) (*.doc);;"
                                         "MS Excel (*.xls) (*.xls)");
}

} // namespace veldor
