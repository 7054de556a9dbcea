#include "mainmenus.h"

#include "app/parts/controlnames.h"
#include "browser/browsercommands.h"
#include "browser/browsertabs.h"
#include "browser/browserview.h"
#include "browser/downloadgate.h"
#include "browser/internetoptions.h"
#include "browser/shellmenus.h"
#include "ui/prompts.h"

#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QShortcut>
#include <QTabWidget>

namespace veldor {

MainMenus::MainMenus(QMainWindow* window) : QObject(window), m_window(window)
{
    Controls& ui = m_ui;
    ui.mainMenu = window->menuBar();
    ui.mainMenu->setObjectName(QStringLiteral("mainMenu"));
    buildFileAndEditMenus();
    buildViewMenu();
    // History and Favorites insert themselves at start-up.
    buildExtrasAndHelpMenus();
    ui.tabStripMenu = submenu(window, "tabStripMenu", QString());
    ui.newTabAction = item(ui.tabStripMenu, "newTabAction", QStringLiteral("Новая вкладка"));
    ui.closeTabAction = item(ui.tabStripMenu, "closeTabAction", QStringLiteral("Закрыть"));
    ui.openFileFilter = QStringLiteral("HTML File (*.htm, *.html) (*.htm *.html);;MS Word Document (*.doc) (*.doc);;"
                                       "MS Excel (*.xls) (*.xls)");
    connectRequests();
}

void MainMenus::connectRequests()
{
    const std::pair<QAction*, void (MainMenus::*)()> requests[] = {
        {m_ui.mergeMapsAction, &MainMenus::mergeMapsAsked},
        {m_ui.exportMapsAction, &MainMenus::exportMapsAsked},
        {m_ui.saveLevelPictureAction, &MainMenus::levelPictureAsked},
        {m_ui.exitAction, &MainMenus::quitAsked},
        {m_ui.undoAction, &MainMenus::undoAsked},
        {m_ui.redoAction, &MainMenus::redoAsked},
        {m_ui.findOnMapAction, &MainMenus::findOnMapAsked},
        {m_ui.atlasOverviewAction, &MainMenus::overviewAsked},
        {m_ui.showPlayerAction, &MainMenus::showPlayerAsked},
        {m_ui.squadMembersAction, &MainMenus::squadMembersAsked},
        {m_ui.defaultCellSizeAction, &MainMenus::defaultCellSizeAsked},
        {m_ui.clearWayAction, &MainMenus::clearWayAsked},
        {m_ui.loginDataAction, &MainMenus::loginDataAsked},
        {m_ui.findNickAction, &MainMenus::findNickAsked},
        {m_ui.clearNicksAction, &MainMenus::clearNicksAsked},
        {m_ui.aboutAction, &MainMenus::aboutAsked}};
    for (const auto& [action, signal] : requests)
        connect(action, &QAction::triggered, this, [this, signal = signal] { (this->*signal)(); });
    const std::pair<QAction*, WayTarget> ways[] = {{m_ui.wayToExitAction, WayTarget::Exit},
                                                   {m_ui.wayToDescentAction, WayTarget::Descent},
                                                   {m_ui.wayToAscentAction, WayTarget::Ascent}};
    for (const auto& [action, kind] : ways)
        connect(action, &QAction::triggered, this, [this, kind = kind] { emit wayAsked(kind); });
    connect(m_ui.guideAction, &QAction::triggered, this, [this] { emit guideAsked(QString()); });
    connect(m_ui.legendAction, &QAction::triggered, this, [this] { emit guideAsked(QStringLiteral("legend")); });
}

void MainMenus::showUndo(const QString& undoName, const QString& redoName)
{
    m_ui.undoAction->setEnabled(!undoName.isEmpty());
    m_ui.undoAction->setText(undoName.isEmpty() ? QStringLiteral("Отменить")
                                                : QStringLiteral("Отменить: %1").arg(undoName));
    m_ui.redoAction->setEnabled(!redoName.isEmpty());
    m_ui.redoAction->setText(redoName.isEmpty() ? QStringLiteral("Повторить")
                                                : QStringLiteral("Повторить: %1").arg(redoName));
}

void MainMenus::buildFileAndEditMenus()
{
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
    m_ui.exitAction->setShortcut(QKeySequence(Qt::ALT | Qt::Key_X));
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
    showUndo({}, {});
}

void MainMenus::buildViewMenu()
{
    m_ui.viewMenu = submenu(m_ui.mainMenu, "viewMenu", QStringLiteral("Вид"));
    m_ui.viewSourceAction = item(m_ui.viewMenu, "viewSourceAction", QStringLiteral("HTML-код"));
    m_ui.fontSizeMenu = submenu(m_ui.viewMenu, "fontSizeMenu", QStringLiteral("Размер шрифта"));
    m_ui.largestFontAction = item(m_ui.fontSizeMenu, "largestFontAction", QStringLiteral("Самый крупный"));
    m_ui.largeFontAction = item(m_ui.fontSizeMenu, "largeFontAction", QStringLiteral("Крупный"));
    m_ui.mediumFontAction = item(m_ui.fontSizeMenu, "mediumFontAction", QStringLiteral("Средний"));
    m_ui.smallFontAction = item(m_ui.fontSizeMenu, "smallFontAction", QStringLiteral("Мелкий"));
    m_ui.smallestFontAction = item(m_ui.fontSizeMenu, "smallestFontAction", QStringLiteral("Самый мелкий"));
    int zoomTag = 4;
    for (QAction* size : m_ui.fontSizeMenu->actions()) {
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
    m_ui.viewMenu->addSeparator();
    m_ui.wayToExitAction = item(m_ui.viewMenu, "wayToExitAction", QStringLiteral("Путь к выходу"));
    m_ui.wayToDescentAction = item(m_ui.viewMenu, "wayToDescentAction", QStringLiteral("Путь к спуску"));
    m_ui.wayToAscentAction = item(m_ui.viewMenu, "wayToAscentAction", QStringLiteral("Путь к подъёму"));
    m_ui.clearWayAction = item(m_ui.viewMenu, "clearWayAction", QStringLiteral("Убрать путь"));
    m_ui.mainMenu->addMenu(m_ui.viewMenu);
}

void MainMenus::buildExtrasAndHelpMenus()
{
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
}

void MainMenus::connectTo(const Work& work)
{
    m_work = work;
    BrowserTabs* tabs = work.tabs;
    BrowserCommands* commands = work.commands;
    for (QAction* newTab : {m_ui.fileNewTabAction, m_ui.newTabAction})
        connect(newTab, &QAction::triggered, tabs, [tabs] { tabs->open(QStringLiteral("about:blank")); });
    connect(m_ui.closeTabAction, &QAction::triggered, tabs, &BrowserTabs::closeActive);
    for (const QKeySequence& keys : {QKeySequence(QKeySequence::Close), QKeySequence(Qt::CTRL | Qt::Key_F4)})
        connect(new QShortcut(keys, m_window), &QShortcut::activated, tabs, &BrowserTabs::closeActive);
    connect(tabs->tabWidget(), &QWidget::customContextMenuRequested, this,
            [this](const QPoint& pos) { m_ui.tabStripMenu->popup(m_work.tabs->tabWidget()->mapToGlobal(pos)); });
    connect(m_ui.openFileAction, &QAction::triggered, this, &MainMenus::openFile);
    connect(m_ui.savePageAction, &QAction::triggered, commands, &BrowserCommands::saveAs);
    connect(m_ui.pagePropertiesAction, &QAction::triggered, commands, &BrowserCommands::properties);
    connect(m_ui.editMenu, &QMenu::aboutToShow, this,
            [this] { m_work.commands->syncEditActions(m_ui.copyAction, m_ui.cutAction, m_ui.pasteAction); });
    const std::pair<QAction*, BrowserCommands::Edit> edits[] = {
        {m_ui.copyAction, BrowserCommands::Edit::Copy},
        {m_ui.cutAction, BrowserCommands::Edit::Cut},
        {m_ui.pasteAction, BrowserCommands::Edit::Paste},
        {m_ui.selectAllAction, BrowserCommands::Edit::SelectAll}};
    for (const auto& [action, command] : edits)
        connect(action, &QAction::triggered, commands, [commands, command = command] { commands->edit(command); });
    connect(m_ui.findInPageAction, &QAction::triggered, commands, &BrowserCommands::find);
    connect(m_ui.viewSourceAction, &QAction::triggered, commands, &BrowserCommands::viewSource);
    for (QAction* size : m_ui.fontSizeMenu->actions())
        connect(size, &QAction::triggered, commands,
                [this, size] { m_work.commands->setTextSize(size, m_ui.fontSizeMenu->actions()); });
    connect(m_ui.internetOptionsAction, &QAction::triggered, this, [this] {
        InternetOptionsDialog dialog(m_work.profile, m_window);
        dialog.exec();
    });
    connect(m_ui.clearAddressesAction, &QAction::triggered, tabs, &BrowserTabs::clearHistory);
}

void MainMenus::addHistoryAndFavorites(HistoryStore* history, const QString& profileFolder)
{
    m_ui.historyMenu = new HistoryMenu(history, m_window);
    m_ui.historyMenu->build(m_ui.mainMenu, 4, QStringLiteral("История"));
    connect(m_ui.historyMenu, &HistoryMenu::urlChosen, this,
            [this](QAction*, const QString& url) { navigateFromMenu(url); });
    m_ui.favoritesMenu =
        new FavoritesMenu(QDir(profileFolder).filePath(QStringLiteral("Favorites")), m_work.prompts, m_window);
    connect(m_ui.favoritesMenu, &FavoritesMenu::urlChosen, this,
            [this](QAction*, const QString& url) { navigateFromMenu(url); });
    // "Добавить в избранное..." adds the page of the tab in front.
    m_ui.favoritesMenu->currentBrowser = [this] { return m_work.tabs->currentBrowser(); };
    m_ui.favoritesMenu->build(m_ui.mainMenu, 5, QStringLiteral("Избранное"));
}

void MainMenus::openFile()
{
    const QString file = m_work.prompts->askOpenFile(m_window, QStringLiteral("Открыть"), m_ui.openFileFilter);
    m_work.downloads->commandStarted(); // a document the browser does not show is saved as a download
    if (!file.isEmpty())
        m_work.tabs->open(QUrl::fromLocalFile(QFileInfo(file).absoluteFilePath()).toString());
}

void MainMenus::navigateFromMenu(const QString& url)
{
    m_work.tabs->goTo(url);
}

} // namespace veldor
