#include "mapoverlay.h"

#include "map/objects.h"
#include "mapview/cellpainter.h"
#include "mapview/mapgrid.h"
#include "ui/qtcodec.h"
#include "ui/russian.h"

#include <QDateTime>
#include <QPainter>

namespace veldor {

MapOverlay::MapOverlay(const Atlas& atlas, std::function<View()> view) : m_atlas(atlas), m_view(std::move(view)) {}

void MapOverlay::setCellSize(int size)
{
    // The symbols fill the cell: drawn at 15 pixels they would spill over small cells and sit in a corner of big ones.
    static const MapIcons fullSize;
    m_icons = size == 15 ? fullSize : fullSize.scaled(size);
}

bool MapOverlay::playerShown() const
{
    // On another labyrinth or level the figure and the ways from it would stand where the player is not.
    const View v = m_view();
    return v.x != 0 && v.y != 0 && v.shownLab == v.playerLab && v.shownLevel == v.playerLevel;
}

void MapOverlay::paint(QPainter& painter, int col, int row, const QRect& rect, bool mapOnly) const
{
    const View v = m_view();
    CellInputs in;
    in.cell = m_atlas.cell(v.shownLab, v.shownLevel, col, row);
    in.marker = !m_atlas.markText(v.shownLab, v.shownLevel, col, row).empty();
    in.group = LabGroup(v.shownLab);
    if (!mapOnly) {
        in.onPath = m_onPath.contains(col, row);
        in.player = playerShown() && col == v.x && row == v.y;
        in.onFrontierPath = m_onFrontier.contains(col, row);
        in.frontierOpening = m_frontierOpening == std::make_pair(col, row);
    }
    PaintMapCell(painter, rect, in, m_icons);
    if (!mapOnly && v.shownLab == v.playerLab && m_way.lines)
        drawWay(painter, rect, v.shownLevel, col, row);
    if (!mapOnly && !m_teammates.empty())
        drawTeammates(painter, rect, col, row);
}

QColor MapOverlay::teammateColour(const QString& name)
{
    // Teal, brown, pink, olive, slate and cyan: none is a wall, a chest, the player, a route or the way.
    static const QColor kColours[] = {{0, 150, 150}, {150, 90, 30},  {230, 80, 150},
                                      {120, 140, 0}, {90, 110, 150}, {0, 190, 230}};
    return kColours[qHash(name) % std::size(kColours)];
}

std::vector<MapOverlay::Teammate> MapOverlay::teammatesAt(int col, int row) const
{
    const View v = m_view();
    const qint64 now = QDateTime::currentMSecsSinceEpoch();
    std::vector<Teammate> here;
    for (const Teammate& t : m_teammates)
        if (t.place == AtlasPlace{v.shownLab, v.shownLevel, col, row} && now - t.sinceMs < kGoneMs)
            here.push_back(t);
    return here;
}

// A teammate's figure: a disc of its colour with its initial, faded when the place is old.
void MapOverlay::drawTeammates(QPainter& painter, const QRect& rect, int col, int row) const
{
    const std::vector<Teammate> here = teammatesAt(col, row);
    if (here.empty())
        return;
    const Teammate& t = here.front();
    const bool old = QDateTime::currentMSecsSinceEpoch() - t.sinceMs >= kFadedMs;
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setOpacity(old ? 0.35 : 1.0);
    painter.setPen(QPen(Qt::white, 1));
    painter.setBrush(teammateColour(t.name));
    painter.drawEllipse(QRectF(rect).adjusted(1.5, 1.5, -1.5, -1.5));
    QFont font = painter.font();
    font.setBold(true);
    font.setPixelSize(std::max(6, rect.height() * 3 / 5));
    painter.setFont(font);
    painter.drawText(rect, Qt::AlignCenter, here.size() > 1 ? QString::number(here.size()) : t.name.left(1).toUpper());
    painter.restore();
}

// The way through the cell: a line from its centre toward the cells before and after it, the target outlined.
void MapOverlay::drawWay(QPainter& painter, const QRect& rect, int level, int col, int row) const
{
    const int lines = m_way.lines(level, col, row);
    const bool target = m_way.target(level, col, row);
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

QString MapOverlay::hint(int col, int row) const
{
    const View v = m_view();
    QString hint = QStringLiteral("%1x%2").arg(col).arg(row);
    // Only the start of a long marker, in lines: laying out millions of characters would hold the window.
    constexpr std::size_t kHintChars = 500;
    constexpr qsizetype kLine = 80;
    const std::string marker = m_atlas.markText(v.shownLab, v.shownLevel, col, row);
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
    if (const TMapCell* cellData = m_atlas.cell(v.shownLab, v.shownLevel, col, row)) {
        if (const ObjectKind* kind = FindObjectKind(cellData->Object))
            hint += QLatin1Char('\r') + fromUtf8Text(kind->name);
    }
    const qint64 now = QDateTime::currentMSecsSinceEpoch();
    for (const Teammate& t : teammatesAt(col, row))
        hint += QLatin1Char('\r') + t.name + QStringLiteral(" — ") + AgoText(now - t.sinceMs);
    return hint;
}

MapOverlay::Frontier MapOverlay::updateFrontier(bool on, bool passDoors)
{
    m_onFrontier.clear();
    m_frontierOpening = {0, 0};
    const View v = m_view();
    const int n = LabSide(v.shownLab);
    const bool onMap = v.x >= 1 && v.x <= n && v.y >= 1 && v.y <= n;
    // Nowhere to start from (no position read yet, off this labyrinth's map, another level): nothing to say.
    if (!on || !onMap || !playerShown())
        return {};
    const auto advice = m_frontier.advise(m_atlas, v.shownLab, v.shownLevel, v.x, v.y, passDoors);
    m_onFrontier.assign(m_frontier.route().path);
    m_frontierOpening = m_frontier.route().opening;
    return {true, fromUtf8Text(advice.text), fromUtf8Text(advice.hint)};
}

void MapOverlay::findExitPath(bool passDoors)
{
    const View v = m_view();
    m_route.findExitPath(m_atlas, v.shownLab, v.shownLevel, v.x, v.y, passDoors);
    m_onPath.assign(m_route.ExitPath);
}

GridChanges::Cells MapOverlay::marked() const
{
    const View v = m_view();
    GridChanges::Cells cells = m_route.ExitPath;
    const FrontierRoute& frontier = m_frontier.route();
    cells.insert(cells.end(), frontier.path.begin(), frontier.path.end());
    cells.push_back(frontier.opening);
    cells.emplace_back(v.x, v.y);
    return cells;
}

void MapOverlay::beforeTick()
{
    const View v = m_view();
    m_changes.before(m_atlas, v.shownLab, v.shownLevel, marked());
}

bool MapOverlay::afterTick(MapGrid& grid)
{
    const View v = m_view();
    return m_changes.after(m_atlas, v.shownLab, v.shownLevel, marked(), grid);
}

} // namespace veldor
