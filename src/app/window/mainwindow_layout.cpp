// The window's layout: the parts in their splitters, and its initial state.
#include "mainwindow.h"

#include "app/parts/browsertoolbar.h"
#include "app/parts/controlnames.h"
#include "app/parts/listsstrip.h"
#include "app/parts/loginpanel.h"
#include "app/parts/mainmenus.h"
#include "app/parts/mapcommands.h"
#include "app/parts/sidepanel.h"
#include "browser/browsertabs.h"
#include "browser/browserview.h"
#include "browser/pagebridge.h"
#include "browser/pagepoller.h"
#include "mapview/clicksplitter.h"
#include "mapview/combatpanels.h"
#include "mapview/mapgrid.h"

#include <QScreen>
#include <QSettings>
#include <QStatusBar>
#include <QTabWidget>
#include <QUrl>
#include <QVBoxLayout>

namespace veldor {

void MainWindow::buildLayout()
{
    setGeometry(139, 103, 868, 766);
    QFont windowFont(QStringLiteral("MS Sans Serif"));
    windowFont.setPointSize(8);
    setFont(windowFont);
    m_state.menus = new MainMenus(this);
    m_state.mapCommands = new MapCommands(this);
    auto* central = new QWidget(this);
    setCentralWidget(central);
    auto* outer = new QVBoxLayout(central);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->setSpacing(0);
    // The browser tabs, the first one the game's; the tool bar drives them.
    m_ui.browserTabs = named(new QTabWidget, "browserTabs");
    m_ui.browserTabs->setContextMenuPolicy(Qt::CustomContextMenu);
    m_ui.gameTab = named(new QWidget, "gameTab");
    auto* gameLayout = new QVBoxLayout(m_ui.gameTab);
    gameLayout->setContentsMargins(0, 0, 0, 0);
    m_ui.gameBrowser = named(new BrowserView(m_state.profile, m_ui.gameTab), "gameBrowser");
    gameLayout->addWidget(m_ui.gameBrowser);
    m_ui.browserTabs->addTab(m_ui.gameTab, QStringLiteral("Тирмора"));
    m_state.toolBar = new BrowserToolBar(m_ui.browserTabs, m_state.profile, m_state.gameServer, central);
    outer->addWidget(m_state.toolBar);

    m_state.bottomSplitter = new ClickSplitter(Qt::Vertical, central);
    m_state.bottomSplitter->setObjectName(QStringLiteral("BottomSplitter"));
    outer->addWidget(m_state.bottomSplitter, 1);
    m_state.mainSplitter = new ClickSplitter(Qt::Horizontal, m_state.bottomSplitter);
    m_state.mainSplitter->setObjectName(QStringLiteral("MainSplitter"));

    // Left the settings and travel pages, in the middle the browser tabs (the first one is the game), right the map.
    auto* sidePanel = m_state.side = new SidePanel(m_state.mainSplitter);
    m_ui.mapGrid = named(new MapGrid(m_state.mainSplitter), "mapGrid", QStringLiteral("0 0"));
    m_ui.mapGrid->setMinimumWidth(5);
    m_ui.mapGrid->setContextMenuPolicy(Qt::CustomContextMenu);

    ClickSplitter* middle = m_state.mainSplitter;
    middle->addWidget(sidePanel);
    middle->addWidget(m_ui.browserTabs);
    middle->addWidget(m_ui.mapGrid);
    middle->setStretchFactor(0, 0);
    middle->setStretchFactor(1, 1);
    middle->setStretchFactor(2, 0);
    middle->setHandleWidth(7);
    middle->setSizes({185, 868 - 185 - 242 - 14, 242});
    m_ui.sidePanelSplitter = named(middle->clickHandle(1), "sidePanelSplitter");
    m_ui.mapSplitter = named(middle->clickHandle(2), "mapSplitter");
    // A click collapses the map (right) or the side panel (left); the browser in the middle takes the room.
    middle->setCollapsing(m_ui.mapSplitter, 2, 1, 50);
    middle->setCollapsing(m_ui.sidePanelSplitter, 0, 1, 200);

    // Below: the object lists, keyboard control, statistics, page-load progress.
    m_state.lists = new ListsStrip(m_state.bottomSplitter);
    ClickSplitter* outerSplit = m_state.bottomSplitter;
    outerSplit->addWidget(middle);
    outerSplit->addWidget(m_state.lists);
    outerSplit->setStretchFactor(0, 1);
    outerSplit->setStretchFactor(1, 0);
    outerSplit->setHandleWidth(7);
    outerSplit->setSizes({766 - 29 - 59 - 7, 59});
    m_ui.bottomSplitter = named(outerSplit->clickHandle(1), "bottomSplitter");
    outerSplit->setCollapsing(m_ui.bottomSplitter, 1, 0, 52);
    m_state.combat = std::make_unique<CombatPanels>(std::vector<CombatPanels::Area>{
        {middle, m_ui.mapSplitter}, {middle, m_ui.sidePanelSplitter}, {outerSplit, m_ui.bottomSplitter}});

    // The login box floats over the browser.
    m_state.login = new LoginPanel(m_state.settings, m_state.prompts, m_ui.browserTabs);
    m_state.login->hide();

    m_state.poller = new PagePoller(OriginOf(QUrl(m_state.gameServer)), this);
    m_state.tabs = m_state.toolBar->tabs();
    m_state.tabs->LastBrowser = m_ui.gameBrowser;
    setWindowTitle(Title());
    // There from the start: the first message of the group folder or the session must not move the strip above.
    statusBar();
}

void MainWindow::restoreShape()
{
    QSettings& kept = ini();
    // The route to a way out has no place in the layout: veldor.ini's map/exitRoute=true turns it on.
    m_state.side->setExitRoute(kept.value(QStringLiteral("map/exitRoute"), false).toBool());
    m_state.side->setRestorePanels(kept.value(QStringLiteral("combat/restorePanels"), false).toBool());
    connect(m_state.side, &SidePanel::restorePanelsChanged, this,
            [this](bool on) { ini().setValue(QStringLiteral("combat/restorePanels"), on); });
    if (const QByteArray geometry = kept.value(QStringLiteral("window/geometry")).toByteArray(); !geometry.isEmpty())
        restoreGeometry(geometry);
    // Kept on a larger screen, or on one that is gone: the window fits the screen it opens on.
    if (const QScreen* here = screen()) {
        const QRect room = here->availableGeometry();
        resize(size().boundedTo(room.size()));
        if (!room.contains(frameGeometry().topLeft()) || !room.contains(frameGeometry().bottomRight()))
            move(room.topLeft() + QPoint(std::max(0, (room.width() - frameGeometry().width()) / 2),
                                         std::max(0, (room.height() - frameGeometry().height()) / 2)));
    }
    m_state.mainSplitter->restoreState(kept.value(QStringLiteral("window/mainSplitter")).toByteArray());
    m_state.bottomSplitter->restoreState(kept.value(QStringLiteral("window/bottomSplitter")).toByteArray());
}

void MainWindow::keepShape()
{
    QSettings& kept = ini();
    kept.setValue(QStringLiteral("window/geometry"), saveGeometry());
    kept.setValue(QStringLiteral("window/mainSplitter"), m_state.mainSplitter->saveState());
    kept.setValue(QStringLiteral("window/bottomSplitter"), m_state.bottomSplitter->saveState());
    kept.sync();
}

} // namespace veldor
