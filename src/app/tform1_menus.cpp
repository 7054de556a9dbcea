// The main menu and the popup menus of the grid and the tab strip.
#include "tform1.h"

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

void TForm1::buildMenus()
{
    MainMenu1 = menuBar();
    MainMenu1->setObjectName(QStringLiteral("MainMenu1"));

    MenuFile = submenu(MainMenu1, "MenuFile", QStringLiteral("Файл"));
    NewTabBlank = item(MenuFile, "NewTabBlank", QStringLiteral("Новая вкладка"));
    NewTabBlank->setShortcut(QKeySequence::AddTab);
    Open1 = item(MenuFile, "Open1", QStringLiteral("Открыть..."));
    SaveAs1 = item(MenuFile, "SaveAs1", QStringLiteral("Сохранить как..."));
    Properties1 = item(MenuFile, "Properties1", QStringLiteral("Свойства"));
    // Printing was never offered; the items stay hidden.
    QAction* printSeparator = MenuFile->addSeparator();
    printSeparator->setVisible(false);
    Print1 = item(MenuFile, "Print1", QStringLiteral("Печать..."));
    PrintPreview1 = item(MenuFile, "PrintPreview1", QStringLiteral("Предварительный просмотр"));
    PageSetup1 = item(MenuFile, "PageSetup1", QStringLiteral("Параметры страницы"));
    for (QAction* hidden : {Print1, PrintPreview1, PageSetup1})
        hidden->setVisible(false);
    MenuFile->addSeparator();
    MergeMaps1 = item(MenuFile, "MergeMaps1", QStringLiteral("Объединить с картами из папки..."));
    ExportMaps1 = item(MenuFile, "ExportMaps1", QStringLiteral("Экспорт карт в папку..."));
    SaveLevelPicture1 = item(MenuFile, "SaveLevelPicture1", QStringLiteral("Сохранить уровень как рисунок..."));
    MenuFile->addSeparator();
    Exit1 = item(MenuFile, "Exit1", QStringLiteral("Выход"));
    MainMenu1->addMenu(MenuFile);

    MenuItem4 = submenu(MainMenu1, "MenuItem4", QStringLiteral("Правка"));
    Undo1 = item(MenuItem4, "Undo1", QStringLiteral("Отменить"));
    Undo1->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Z));
    Redo1 = item(MenuItem4, "Redo1", QStringLiteral("Повторить"));
    Redo1->setShortcuts({QKeySequence(Qt::CTRL | Qt::Key_Y), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)});
    MenuItem4->addSeparator();
    Copy1 = item(MenuItem4, "Copy1", QStringLiteral("Копировать"));
    Cut1 = item(MenuItem4, "Cut1", QStringLiteral("Вырезать"));
    Paste1 = item(MenuItem4, "Paste1", QStringLiteral("Вставить"));
    SelectAll1 = item(MenuItem4, "SelectAll1", QStringLiteral("Выделить все"));
    MenuItem4->addSeparator();
    Search1 = item(MenuItem4, "Search1", QStringLiteral("Найти"));
    FindOnMap1 = item(MenuItem4, "FindOnMap1", QStringLiteral("Найти на карте..."));
    FindOnMap1->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_F));
    MainMenu1->addMenu(MenuItem4);

    MenuView = submenu(MainMenu1, "MenuView", QStringLiteral("Вид"));
    ViewSource1 = item(MenuView, "ViewSource1", QStringLiteral("HTML-код"));
    FontSize1 = submenu(MenuView, "FontSize1", QStringLiteral("Размер шрифта"));
    Largest1 = item(FontSize1, "Largest1", QStringLiteral("Самый крупный"));
    Large1 = item(FontSize1, "Large1", QStringLiteral("Крупный"));
    Medium1 = item(FontSize1, "Medium1", QStringLiteral("Средний"));
    Small1 = item(FontSize1, "Small1", QStringLiteral("Мелкий"));
    Smallest1 = item(FontSize1, "Smallest1", QStringLiteral("Самый мелкий"));
    int zoomTag = 4;
    for (QAction* size : {Largest1, Large1, Medium1, Small1, Smallest1}) {
        size->setCheckable(true);
        size->setData(zoomTag--);
    }
    Medium1->setChecked(true);
    MenuView->addMenu(FontSize1);
    MenuView->addSeparator();
    AtlasOverview1 = item(MenuView, "AtlasOverview1", QStringLiteral("Обзор атласа"));
    AtlasOverview1->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_O));
    ShowPlayer1 = item(MenuView, "ShowPlayer1", QStringLiteral("Показать игрока"));
    ShowPlayer1->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Home));
    SquadMembers1 = item(MenuView, "SquadMembers1", QStringLiteral("Отряд"));
    CellSize1 = item(MenuView, "CellSize1", QStringLiteral("Исходный размер клеток"));
    CellSize1->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_0));
    MainMenu1->addMenu(MenuView);

    // History and Favorites insert themselves at start-up.

    MenuExtras = submenu(MainMenu1, "MenuExtras", QStringLiteral("Дополнительно"));
    N16 = item(MenuExtras, "N16", QStringLiteral("Данные"));
    N17 = item(MenuExtras, "N17", QStringLiteral("Найти по нику"));
    MenuExtras->addSeparator();
    N18 = item(MenuExtras, "N18", QStringLiteral("Очистить адреса"));
    N20 = item(MenuExtras, "N20", QStringLiteral("Очистить ники"));
    MenuExtras->addSeparator();
    InternetOptions1 = item(MenuExtras, "InternetOptions1", QStringLiteral("Свойства обозревателя"));
    MainMenu1->addMenu(MenuExtras);

    MenuHelp = submenu(MainMenu1, "MenuHelp", QStringLiteral("?"));
    Guide1 = item(MenuHelp, "Guide1", QStringLiteral("Руководство"));
    Guide1->setShortcut(QKeySequence::HelpContents);
    Legend1 = item(MenuHelp, "Legend1", QStringLiteral("Условные обозначения"));
    MenuHelp->addSeparator();
    MenuItem11 = item(MenuHelp, "MenuItem11", QStringLiteral("О программе"));
    MainMenu1->addMenu(MenuHelp);

    PopupMenu3 = submenu(this, "PopupMenu3", QString());
    N19 = item(PopupMenu3, "N19", QStringLiteral("Новая вкладка"));
    N9 = item(PopupMenu3, "N9", QStringLiteral("Закрыть"));

    PopupMenu1 = submenu(this, "PopupMenu1", QString());
    N1 = submenu(PopupMenu1, "N1", QStringLiteral("Добавить"));
    N3 = item(N1, "N3", QStringLiteral("Ловушку"));
    N4 = item(N1, "N4", QStringLiteral("Флаг"));
    N5 = item(N1, "N5", QStringLiteral("Спуск"));
    N6 = item(N1, "N6", QStringLiteral("Подъем"));
    N7 = item(N1, "N7", QStringLiteral("Выход"));
    N8 = submenu(N1, "N8", QStringLiteral("Сундук"));
    N10 = item(N8, "N10", QStringLiteral("Красный"));
    N11 = item(N8, "N11", QStringLiteral("Зеленый"));
    N12 = item(N8, "N12", QStringLiteral("Синий"));
    N13 = item(N8, "N13", QStringLiteral("Белый"));
    N14 = item(N8, "N14", QStringLiteral("Железный"));
    N15 = item(N8, "N15", QStringLiteral("Золотой"));
    N1->addMenu(N8);
    N21 = item(N1, "N21", QStringLiteral("Маркер"));
    PopupMenu1->addMenu(N1);
    N2 = item(PopupMenu1, "N2", QStringLiteral("Очистить"));

    OpenDialog1Filter = QStringLiteral("HTML File (*.htm, *.html) (*.htm *.html);;MS Word Document (*.doc) (*.doc);;"
                                       "MS Excel (*.xls) (*.xls)");
}

} // namespace veldor
