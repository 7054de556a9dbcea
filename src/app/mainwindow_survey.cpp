// Finding one's way around the atlas: the overview of every level, the search on the map, zoom and the player.
#include "mainwindow.h"

#include "mapview/atlasoverview.h"
#include "mapview/mapgrid.h"
#include "mapview/mapsearch.h"

#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QSettings>
#include <QSpinBox>

namespace veldor {

void MainWindow::connectSurveyHandlers()
{
    connect(atlasOverviewAction, &QAction::triggered, this, &MainWindow::showOverview);
    connect(findOnMapAction, &QAction::triggered, this, &MainWindow::showSearch);
    connect(showPlayerAction, &QAction::triggered, this,
            [this] { showCell(m_playerLab, Reader.PageLevel, Reader.ViewX, Reader.ViewY); });
    connect(defaultCellSizeAction, &QAction::triggered, this, [this] {
        cellSizeSpin->setValue(std::clamp(m_settings.CellSize, cellSizeSpin->minimum(), cellSizeSpin->maximum()));
    });
    connect(mapGrid, &MapGrid::zoomRequested, this, &MainWindow::zoomGrid);
}

QSettings& MainWindow::ini()
{
    if (!m_ini)
        m_ini = std::make_unique<QSettings>(QDir(m_workFolder).filePath(QStringLiteral("veldor.ini")),
                                            QSettings::IniFormat);
    return *m_ini;
}

void MainWindow::showOverview()
{
    if (!m_overview) {
        m_overview = new AtlasOverview(*m_atlas, ini(), this);
        connect(m_overview, &AtlasOverview::levelChosen, this,
                [this](unsigned lab, int level) { showCell(lab, level, 0, 0); });
    }
    m_overview->showLab(m_shownLab);
    m_overview->show();
    m_overview->raise();
    m_overview->activateWindow();
}

void MainWindow::showSearch()
{
    if (!m_search) {
        m_search = new MapSearch(
            *m_atlas, [this] { return m_playerLab; }, this);
        connect(m_search, &MapSearch::cellChosen, this, &MainWindow::showCell);
    }
    m_search->show();
    m_search->raise();
    m_search->activateWindow();
    m_search->box()->setFocus();
}

void MainWindow::showCell(unsigned lab, int level, int x, int y)
{
    if (LabSide(lab) == 0 || level < 0 || level >= kLevelCount)
        return;
    if (lab != m_shownLab)
        showLabyrinth(lab); // only shown: the reader keeps recording where the player is
    if (level != m_shownLevel) {
        levelBox->setCurrentIndex(level);
        chooseLevel();
    }
    if (x > 0 && y > 0)
        mapGrid->flashCell(x, y);
}

void MainWindow::zoomGrid(int steps, QPoint pos)
{
    const QPoint cell = mapGrid->cellAt(pos);
    cellSizeSpin->setValue(std::clamp(cellSizeSpin->value() + steps, cellSizeSpin->minimum(), cellSizeSpin->maximum()));
    mapGrid->keepCellAt(cell, pos);
}

} // namespace veldor
