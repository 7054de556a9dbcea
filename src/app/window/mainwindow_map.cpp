// The map: its wiring to the map commands and the way, the drawing of a cell and its hint, and what follows a
// change of the map.
#include "mainwindow.h"

#include "app/folder/mapedits.h"
#include "app/folder/workfolder.h"
#include "app/parts/listsstrip.h"
#include "app/parts/mainmenus.h"
#include "app/parts/mapcommands.h"
#include "app/parts/sidepanel.h"
#include "app/parts/wayguide.h"
#include "app/sharing/atlassharing.h"
#include "app/sharing/squadsync.h"
#include "mapview/atlasoverview.h"
#include "mapview/mapgrid.h"
#include "mapview/mapoverlay.h"
#include "mapview/mapsearch.h"

#include <QStatusBar>

namespace veldor {

void MainWindow::connectMapHandlers()
{
    MapOverlay* overlay = m_state.overlay.get();
    m_ui.mapGrid->setCellPainter(
        [overlay](QPainter& p, int col, int row, const QRect& r) { overlay->paint(p, col, row, r); });
    m_ui.mapGrid->setHintText([overlay](int c, int r) { return overlay->hint(c, r); });
    SidePanel* side = m_state.side;
    MainMenus* menus = m_state.menus;
    connect(side, &SidePanel::mapSwitchesChanged, this, [this] {
        updateFrontier();
        m_ui.mapGrid->viewport()->update();
    });
    m_state.edits = new MapEdits(*m_state.atlas, this);
    connect(m_state.edits, &MapEdits::changed, this, &MainWindow::mapChanged);
    connect(m_state.edits, &MapEdits::namesChanged, menus, &MainMenus::showUndo);
    connect(menus, &MainMenus::undoAsked, m_state.edits, &MapEdits::undo);
    connect(menus, &MainMenus::redoAsked, m_state.edits, &MapEdits::redo);
    MapCommands* commands = m_state.mapCommands;
    commands->connectTo({m_state.atlas.get(), m_state.edits, m_state.prompts, [this] { return m_shownLab; },
                         [this] { return m_shownLevel; }, m_ui.mapGrid,
                         [overlay](QPoint cell) {
                             QStringList names;
                             for (const MapOverlay::Teammate& t : overlay->teammatesAt(cell.x(), cell.y()))
                                 names << t.name;
                             return names;
                         }});
    connect(commands, &MapCommands::wayToMemberAsked, this, &MainWindow::wayToMember);
    connect(commands, &MapCommands::changed, this, &MainWindow::mapChanged);
    connect(m_state.lists, &ListsStrip::clearAsked, commands, &MapCommands::clearList);
    connect(side, &SidePanel::clearLabyrinthAsked, commands, &MapCommands::clearLabyrinth);
    connect(side, &SidePanel::clearAllAsked, commands, &MapCommands::clearAllLabyrinths);
    connect(commands, &MapCommands::clearingAll, side, &SidePanel::showClearingAll);
    WayGuide::Work way{m_state.atlas.get(),
                       &m_state.work->links(),
                       [this] { return m_playerLab; },
                       [this] {
                           return LevelCell{m_reader.PageLevel, m_reader.ViewX, m_reader.ViewY};
                       },
                       [side] { return side->passDoors(); },
                       [this] { return m_shownLab; },
                       [this] { return m_shownLevel; },
                       [this] { return m_ui.mapGrid->underMouse() || m_state.lists->keyboardFocused(); },
                       this};
    auto* guide = m_state.way = new WayGuide(std::move(way), this);
    overlay->setWay({[guide](int level, int x, int y) { return guide->linesAt(level, x, y); },
                     [guide](int level, int x, int y) { return guide->isTarget(level, x, y); }});
    connect(commands, &MapCommands::wayAsked, guide, &WayGuide::askTo);
    connect(menus, &MainMenus::wayAsked, guide, [guide](WayTarget kind) { guide->ask(kind); });
    connect(menus, &MainMenus::clearWayAsked, guide, &WayGuide::clear);
    connect(guide, &WayGuide::refused, this, [this](const QString& why) { statusBar()->showMessage(why, 5000); });
    connect(side, &SidePanel::mapSwitchesChanged, guide, &WayGuide::update);
    connect(guide, &WayGuide::wayChanged, this, [this](const QString& text, const std::vector<int>& levels) {
        m_state.lists->showWay(text);
        m_state.side->markLevels(levels);
        m_ui.mapGrid->viewport()->update();
        if (m_state.overview)
            m_state.overview->markWay(m_state.way->lab(), levels);
    });

    AtlasSharing::Window shared;
    shared.window = this;
    shared.atlas = m_state.atlas.get();
    shared.prompts = m_state.prompts;
    shared.workFolder = m_state.workFolder;
    shared.grid = m_ui.mapGrid;
    shared.lab = [this] { return m_shownLab; };
    shared.level = [this] { return m_shownLevel; };
    shared.readOnly = [this] { return m_state.work->readOnly(); };
    shared.mapCell = [overlay](QPainter& painter, int col, int row, const QRect& rect) {
        overlay->paint(painter, col, row, rect, true);
    };
    shared.atlasChanged = [this] { mapChanged(0); };
    shared.edits = m_state.edits;
    shared.links = &m_state.work->links();
    m_state.sharing = new AtlasSharing(std::move(shared), this);
    connect(menus, &MainMenus::mergeMapsAsked, m_state.sharing, &AtlasSharing::mergeFromFolder);
    connect(menus, &MainMenus::exportMapsAsked, m_state.sharing, &AtlasSharing::exportToFolder);
    connect(menus, &MainMenus::levelPictureAsked, m_state.sharing, &AtlasSharing::saveLevelPicture);
}

void MainWindow::mapChanged(unsigned lab)
{
    m_state.work->changed(lab);
    if (m_state.squad)
        m_state.squad->mapChanged();
    if (lab == 0 && m_state.overview)
        m_state.overview->refresh();
    if (m_state.search && m_state.search->isVisible())
        m_state.search->search();
    m_state.lists->showLists(*m_state.atlas, m_shownLab);
    updateLevelStatistics();
    updateFrontier();
    m_state.way->update();
    m_ui.mapGrid->viewport()->update();
    m_ui.mapGrid->refreshHint(); // the hint of the cell under the pointer says what it holds now
}

void MainWindow::updateFrontier()
{
    const MapOverlay::Frontier frontier =
        m_state.overlay->updateFrontier(m_state.side->showFrontier(), m_state.side->passDoors());
    m_state.lists->showFrontier(frontier.shown, frontier.text, frontier.hint);
}

void MainWindow::findExitPath()
{
    // Runs to the end at once, so the reader cannot come in between; the timer stays as it is.
    m_state.overlay->findExitPath(m_state.side->passDoors());
}

const ExitRoute& MainWindow::route() const
{
    return m_state.overlay->route();
}

} // namespace veldor
