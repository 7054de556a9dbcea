#pragma once

#include "map/atlas.h"
#include "mapview/gridchanges.h"
#include "mapview/mapicons.h"
#include "route/frontier.h"
#include "route/pathcells.h"
#include "route/route.h"

#include <QColor>
#include <QRect>
#include <QString>
#include <functional>
#include <vector>

class QPainter;

namespace veldor {

class MapGrid;

// What the map of the shown level draws over the atlas's cells, and says of them: the player's figure, the route
// to an exit, the explore assistant's way and the way asked for, the icons at the cell size, and each cell's hint.
// It also keeps which cells a polling tick changed, so that only those are repainted.
class MapOverlay
{
public:
    // Where the map and the player are: the labyrinth and level shown, the player's labyrinth, level and cell
    // (x 0: not known yet).
    struct View
    {
        unsigned shownLab = 0;
        int shownLevel = 0;
        unsigned playerLab = 0;
        int playerLevel = 0;
        int x = 0;
        int y = 0;
    };
    // The way asked for on a level of the player's labyrinth: its directions from a cell (1 west, 2 east, 4 north,
    // 8 south, 16 on the way) and whether the cell is its target.
    struct WayMarks
    {
        std::function<int(int level, int x, int y)> lines;
        std::function<bool(int level, int x, int y)> target;
    };

    // A member of the group where its live file last said it stood, since when (msecs since the epoch).
    struct Teammate
    {
        QString name;
        AtlasPlace place;
        qint64 sinceMs = 0;
    };
    // Older than this a teammate's figure is drawn faded, older than the second not at all.
    static constexpr qint64 kFadedMs = 10 * 60 * 1000;
    static constexpr qint64 kGoneMs = 60 * 60 * 1000;
    // A colour of the member's own, never one the map uses.
    static QColor teammateColour(const QString& name);

    MapOverlay(const Atlas& atlas, std::function<View()> view);
    void setTeammates(std::vector<Teammate> teammates) { m_teammates = std::move(teammates); }
    // The teammates standing on the cell of the level shown, drawn or not too old to be.
    std::vector<Teammate> teammatesAt(int col, int row) const;

    void setCellSize(int size);
    void setWay(WayMarks way) { m_way = std::move(way); }

    // The cell as the grid draws it; `mapOnly`: as the atlas holds it, nothing of the overlay's.
    void paint(QPainter& painter, int col, int row, const QRect& rect, bool mapOnly = false) const;
    // "12x7", the marker's start in lines, the object's name.
    QString hint(int col, int row) const;
    // The player stands on the level shown.
    bool playerShown() const;

    // The explore assistant's way from the player, worked out again when it is on and the player is on the level
    // shown; what its line says (nothing when there is nothing to say).
    struct Frontier
    {
        bool shown = false;
        QString text;
        QString hint;
    };
    Frontier updateFrontier(bool on, bool passDoors);
    // The route to a way out from the player (the hidden option); runs to the end at once.
    void findExitPath(bool passDoors);
    const ExitRoute& route() const { return m_route; }

    // Around a polling tick: true when a cell's record changed (the grid is repainted where needed).
    void beforeTick();
    bool afterTick(MapGrid& grid);

private:
    GridChanges::Cells marked() const;
    void drawWay(QPainter& painter, const QRect& rect, int level, int col, int row) const;
    void drawTeammates(QPainter& painter, const QRect& rect, int col, int row) const;

    const Atlas& m_atlas;
    std::function<View()> m_view;
    WayMarks m_way;
    MapIcons m_icons;
    ExitRoute m_route;
    PathCells m_onPath; // cells of the route, for drawing
    FrontierSearch m_frontier;
    PathCells m_onFrontier; // cells of the assistant's way
    std::pair<int, int> m_frontierOpening{0, 0};
    GridChanges m_changes;
    std::vector<Teammate> m_teammates;
};

} // namespace veldor
