// The map: its wiring to the map commands and the way, the drawing of a cell and its hint, and what follows a
// change of the map.
#include "mainwindow.h"

#include "app/folder/mapedits.h"
#include "app/folder/workfolder.h"
#include "app/parts/listsstrip.h"
#include "app/parts/mapcommands.h"
#include "app/parts/wayguide.h"
#include "app/sharing/atlassharing.h"
#include "app/sharing/squadsync.h"
#include "map/objects.h"
#include "mapview/atlasoverview.h"
#include "mapview/cellpainter.h"
#include "mapview/mapgrid.h"
#include "mapview/mapicons.h"
#include "mapview/mapsearch.h"
#include "route/frontier.h"
#include "route/route.h"
#include "ui/qtcodec.h"

#include <QAction>
#include <QCheckBox>
#include <QLabel>
#include <QPainter>
#include <QStatusBar>

namespace veldor {
namespace {

// The way through the cell: a line from its centre toward the cells before and after it, the target outlined.
void drawWay(QPainter& painter, const QRect& rect, const WayGuide& way, int level, int col, int row)
{
    const int lines = way.linesAt(level, col, row);
    const bool target = way.isTarget(level, col, row);
    if (lines == 0 && !target)
        return;
    painter.save();
    const QColor blue(0, 90, 255);
    painter.setPen(QPen(blue, std::max(2, rect.width() / 6), Qt::SolidLine, Qt::RoundCap));
    const QPointF centre = QRectF(rect).center();
    const QPointF edges[] = {{QRectF(rect).left(), centre.y()},
                             {QRectF(rect).right() + 1, centre.y()},
                             {centre.x(), QRectF(rect).top()},
                             {centre.x(), QRectF(rect).bottom() + 1}};
    for (int d = 0; d < 4; ++d)
        if ((lines & (1 << d)) != 0)
            painter.drawLine(centre, edges[d]);
    if (lines != 0)
        painter.drawPoint(centre);
    if (target) {
        painter.setPen(QPen(blue, 2));
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(QRectF(rect).adjusted(1, 1, -1, -1));
    }
    painter.restore();
}

} // namespace
void MainWindow::connectMapHandlers()
{
    m_ui.mapGrid->setCellPainter(
        [this](QPainter& p, int col, int row, const QRect& r) { drawGridCell(p, col, row, r); });
    m_ui.mapGrid->setHintText([this](int c, int r) { return cellHint(c, r); });
    for (QCheckBox* box : {m_ui.frontierBox, m_ui.passDoorsBox}) {
        connect(box, &QCheckBox::toggled, this, [this] {
            updateFrontier();
            m_ui.mapGrid->viewport()->update();
        });
    }
    m_state.edits = new MapEdits(*m_state.atlas, m_ui.undoAction, m_ui.redoAction, this);
    connect(m_state.edits, &MapEdits::changed, this, &MainWindow::mapChanged);
    m_state.mapCommands->connectTo({m_state.atlas.get(), m_state.edits, m_state.prompts, [this] { return m_shownLab; },
                                    [this] { return m_shownLevel; }});
    connect(m_state.mapCommands, &MapCommands::changed, this, &MainWindow::mapChanged);
    connect(m_state.lists, &ListsStrip::clearAsked, m_state.mapCommands, &MapCommands::clearList);
    WayGuide::Work way{m_state.atlas.get(),
                       &m_state.work->links(),
                       [this] { return m_playerLab; },
                       [this] {
                           return LevelCell{m_reader.PageLevel, m_reader.ViewX, m_reader.ViewY};
                       },
                       [this] { return m_ui.passDoorsBox->isChecked(); },
                       [this] { return m_shownLab; },
                       [this] { return m_shownLevel; }};
    m_state.way = new WayGuide(m_ui, std::move(way), this);
    connect(m_state.mapCommands, &MapCommands::wayAsked, m_state.way, &WayGuide::askTo);
    connect(m_state.way, &WayGuide::refused, this, [this](const QString& why) { statusBar()->showMessage(why, 5000); });
    connect(m_state.way, &WayGuide::textChanged, m_state.lists, &ListsStrip::showWay);
    connect(m_ui.passDoorsBox, &QCheckBox::toggled, m_state.way, &WayGuide::update);
    connect(m_state.way, &WayGuide::changed, this, [this] {
        if (m_state.overview)
            m_state.overview->markWay(m_state.way->lab(), m_state.way->levelsCrossed());
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
    shared.mapCell = [this](QPainter& painter, int col, int row, const QRect& rect) {
        drawGridCell(painter, col, row, rect, true);
    };
    shared.atlasChanged = [this] { mapChanged(0); };
    shared.edits = m_state.edits;
    shared.links = &m_state.work->links();
    m_state.sharing = new AtlasSharing(std::move(shared), this);
    connect(m_ui.mergeMapsAction, &QAction::triggered, m_state.sharing, &AtlasSharing::mergeFromFolder);
    connect(m_ui.exportMapsAction, &QAction::triggered, m_state.sharing, &AtlasSharing::exportToFolder);
    connect(m_ui.saveLevelPictureAction, &QAction::triggered, m_state.sharing, &AtlasSharing::saveLevelPicture);
}

bool MainWindow::playerShown() const
{
    // On another labyrinth or level the figure and the ways from it would stand where the player is not.
    return m_reader.ViewX != 0 && m_reader.ViewY != 0 && m_shownLab == m_playerLab &&
           m_shownLevel == m_reader.PageLevel;
}

void MainWindow::drawGridCell(QPainter& painter, int col, int row, const QRect& rect, bool mapOnly)
{
    CellInputs in;
    in.cell = m_state.atlas->cell(m_shownLab, m_shownLevel, col, row);
    in.marker = !m_state.atlas->markText(m_shownLab, m_shownLevel, col, row).empty();
    in.group = LabGroup(m_shownLab);
    if (!mapOnly) {
        in.onPath = m_state.onPath.contains(col, row);
        in.player = playerShown() && col == m_reader.ViewX && row == m_reader.ViewY;
        in.onFrontierPath = m_state.onFrontier.contains(col, row);
        in.frontierOpening = m_state.frontierOpening == std::make_pair(col, row);
    }
    PaintMapCell(painter, rect, in, *m_state.icons);
    if (!mapOnly && m_shownLab == m_playerLab)
        drawWay(painter, rect, *m_state.way, m_shownLevel, col, row);
}

QString MainWindow::cellHint(int c, int r) const
{
    QString hint = QStringLiteral("%1x%2").arg(c).arg(r);
    // Only the start of a long marker, in lines: laying out millions of characters would hold the window.
    constexpr std::size_t kHintChars = 500;
    constexpr qsizetype kLine = 80;
    const std::string marker = m_state.atlas->markText(m_shownLab, m_shownLevel, c, r);
    if (!marker.empty()) {
        QString text =
            fromCp1251(marker.substr(0, kHintChars)) + (marker.size() > kHintChars ? QStringLiteral("…") : QString());
        for (qsizetype start = 0; text.size() - start > kLine;) {
            const qsizetype space = text.lastIndexOf(QLatin1Char(' '), start + kLine);
            if (space > start) {
                text[space] = QLatin1Char('\r');
                start = space + 1;
            } else {
                text.insert(start + kLine, QLatin1Char('\r'));
                start += kLine + 1;
            }
        }
        hint += QLatin1Char('\r') + text;
    }
    if (const TMapCell* cellData = m_state.atlas->cell(m_shownLab, m_shownLevel, c, r)) {
        if (const ObjectKind* kind = FindObjectKind(cellData->Object))
            hint += QLatin1Char('\r') + fromUtf8Text(kind->name);
    }
    return hint;
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
    m_state.onFrontier.clear();
    m_state.frontierOpening = {0, 0};
    const int n = LabSide(m_shownLab);
    const bool onMap = m_reader.ViewX >= 1 && m_reader.ViewX <= n && m_reader.ViewY >= 1 && m_reader.ViewY <= n;
    // Nowhere to start from (no position read yet, off this labyrinth's map, another level): nothing to say.
    m_ui.frontierLabel->setVisible(m_ui.frontierBox->isChecked() && onMap && playerShown());
    if (m_ui.frontierLabel->isHidden())
        return;
    const auto advice = m_state.frontier->advise(*m_state.atlas, m_shownLab, m_shownLevel, m_reader.ViewX,
                                                 m_reader.ViewY, m_ui.passDoorsBox->isChecked());
    m_state.onFrontier.assign(m_state.frontier->route().path);
    m_state.frontierOpening = m_state.frontier->route().opening;
    m_ui.frontierLabel->setText(fromUtf8Text(advice.text));
    m_ui.frontierLabel->setToolTip(fromUtf8Text(advice.hint));
}

void MainWindow::findExitPath()
{
    // Runs to the end at once, so the reader cannot come in between; the timer stays as it is.
    m_state.route->findExitPath(*m_state.atlas, m_shownLab, m_shownLevel, m_reader.ViewX, m_reader.ViewY,
                                m_ui.passDoorsBox->isChecked());
    m_state.onPath.assign(m_state.route->ExitPath);
}

} // namespace veldor
