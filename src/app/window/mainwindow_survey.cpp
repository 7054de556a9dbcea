// Finding one's way around the atlas: the overview of every level, the search on the map, zoom and the player.
#include "mainwindow.h"

#include "app/parts/mainmenus.h"
#include "app/parts/sidepanel.h"
#include "app/parts/wayguide.h"
#include "files/safefile.h"
#include "mapview/atlasoverview.h"
#include "mapview/mapgrid.h"
#include "mapview/mapsearch.h"

#include <QDir>
#include <QFileInfo>
#include <QLineEdit>
#include <QSettings>
#include <QTemporaryDir>

namespace veldor {

void MainWindow::connectSurveyHandlers()
{
    connect(m_state.menus, &MainMenus::overviewAsked, this, &MainWindow::showOverview);
    connect(m_state.menus, &MainMenus::findOnMapAsked, this, &MainWindow::showSearch);
    connect(m_state.menus, &MainMenus::showPlayerAsked, this,
            [this] { showCell(m_playerLab, m_reader.PageLevel, m_reader.ViewX, m_reader.ViewY); });
    connect(m_state.menus, &MainMenus::defaultCellSizeAsked, this,
            [this] { m_state.side->setCellSize(m_state.settings.CellSize); });
    connect(m_ui.mapGrid, &MapGrid::zoomRequested, this, &MainWindow::zoomGrid);
}

QSettings& MainWindow::ini()
{
    if (m_state.ini)
        return *m_state.ini;
    QString path = QDir(m_state.workFolder).filePath(QStringLiteral("veldor.ini"));
    // Opened only when it is a file: a pipe there would hang the start, a device would never end.
    constexpr qint64 kMaxIniBytes = 4 << 20;
    std::string odd;
    const QFileInfo info(path);
    if (isOddFile(QFile::encodeName(path).toStdString(), &odd) || (info.isFile() && info.size() > kMaxIniBytes)) {
        if (odd.empty())
            odd = "больше 4 МБ";
        m_state.startupProblems << QStringLiteral("Файл veldor.ini не открыт (%1): настройки окна и общей папки в "
                                                  "этот раз не сохранятся, файл оставлен как есть.")
                                       .arg(QString::fromStdString(odd));
        m_state.iniStandIn = std::make_unique<QTemporaryDir>();
        path = m_state.iniStandIn->filePath(QStringLiteral("veldor.ini"));
    }
    m_state.ini = std::make_unique<QSettings>(path, QSettings::IniFormat);
    return *m_state.ini;
}

void MainWindow::showOverview()
{
    if (!m_state.overview) {
        m_state.overview = new AtlasOverview(*m_state.atlas, ini(), this);
        connect(m_state.overview, &AtlasOverview::levelChosen, this,
                [this](unsigned lab, int level) { showCell(lab, level, 0, 0); });
        connect(m_state.overview, &AtlasOverview::wayAsked, this, [this](unsigned lab, int level) {
            m_state.way->askAt(lab, WayTarget::Level, {level, 0, 0});
        });
        m_state.overview->markWay(m_state.way->lab(), m_state.way->levelsCrossed());
    }
    m_state.overview->showLab(m_shownLab);
    m_state.overview->show();
    m_state.overview->raise();
    m_state.overview->activateWindow();
}

void MainWindow::showSearch()
{
    if (!m_state.search) {
        m_state.search = new MapSearch(
            *m_state.atlas, [this] { return m_playerLab; }, this);
        connect(m_state.search, &MapSearch::cellChosen, this, &MainWindow::showCell);
        connect(m_state.search, &MapSearch::wayAsked, this, [this](unsigned lab, int level, int x, int y) {
            showCell(lab, level, x, y); // the way is seen where it leads, as from the overview
            m_state.way->askAt(lab, WayTarget::Cell, {level, x, y});
        });
    }
    m_state.search->show();
    m_state.search->raise();
    m_state.search->activateWindow();
    m_state.search->box()->setFocus();
}

void MainWindow::showCell(unsigned lab, int level, int x, int y)
{
    if (LabSide(lab) == 0 || level < 0 || level >= kLevelCount)
        return;
    if (lab != m_shownLab)
        showLabyrinth(lab); // only shown: the reader keeps recording where the player is
    if (level != m_shownLevel) {
        m_state.side->showLevel(level);
        chooseLevel(level);
    }
    if (x > 0 && y > 0)
        m_ui.mapGrid->flashCell(x, y);
}

void MainWindow::zoomGrid(int steps, QPoint pos)
{
    const QPoint cell = m_ui.mapGrid->cellAt(pos);
    m_state.side->setCellSize(m_state.side->cellSize() + steps);
    m_ui.mapGrid->keepCellAt(cell, pos);
}

} // namespace veldor
