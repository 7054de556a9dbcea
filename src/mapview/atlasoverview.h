#pragma once

#include <QColor>
#include <QTimer>
#include <QWidget>
#include <memory>
#include <vector>

class QListWidget;
class QListWidgetItem;
class QSettings;
class QTableWidget;

namespace veldor {

class Atlas;

// "Обзор атласа": a window beside the main one listing the 20 labyrinths with the share explored, and the 17
// levels of the one selected as small pictures painted as the map grid paints them, each with its share and
// counts. A click on a picture asks the main window to show that level. Its place and size are kept in
// `settings`.
class AtlasOverview : public QWidget
{
    Q_OBJECT
public:
    AtlasOverview(const Atlas& atlas, QSettings& settings, QWidget* parent = nullptr);
    ~AtlasOverview() override;

    // The labyrinth whose levels are shown (selected in the list).
    unsigned lab() const { return m_lab; }
    // The levels a way shown on the map crosses stand out (none: no way).
    void markWay(unsigned lab, const std::vector<int>& levels);
    void showLab(unsigned lab);
    // A level's map changed: its picture and counts anew and the labyrinth's share, when shown. Cheap when the
    // window is hidden.
    void levelChanged(unsigned lab, int level);
    // Every labyrinth changed (a clear of all, a merge, an undo): everything anew. The first pictures are
    // painted at once, the others in the ticks after.
    void refresh();
    // Whether pictures are still to be painted.
    bool painting() const { return !m_pending.empty(); }
    // The levels of the labyrinth shown, a picture each in level order, as a person sees them.
    QListWidget* levels() const { return m_levels; }

    // A level's small picture, `cellSize` pixels a cell: explored cells black, unexplored grey, doors a line
    // along their side, objects a dot of their symbol's colour, markers a red pixel in the corner.
    static QImage paintLevel(const Atlas& atlas, unsigned lab, int level, int cellSize);

signals:
    // A person clicked a level's picture.
    void levelChosen(unsigned lab, int level);
    // "Путь сюда" on a level's picture.
    void wayAsked(unsigned lab, int level);

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void choose(QListWidgetItem* item);
    void fillShares();
    void showShare(unsigned lab);
    // The pictures, shares and counts of these levels of the labyrinth shown.
    void paintTiles(const std::vector<int>& levels);
    void paintAll();
    void paintNext();
    int cellSize() const;

    const Atlas& m_atlas;
    QSettings& m_settings;
    unsigned m_lab = 0;
    unsigned m_wayLab = 0;
    std::vector<int> m_wayLevels;
    void showWay();
    QTableWidget* m_labs = nullptr;
    QListWidget* m_levels = nullptr;
    std::vector<int> m_pending; // levels whose pictures are still to be painted
    QTimer m_painter;
};

} // namespace veldor
