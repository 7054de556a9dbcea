#pragma once

#include "route/wayfinder.h"

#include <QObject>
#include <QPoint>
#include <QString>
#include <functional>

namespace veldor {

// The way the player asked for (to a chosen cell, the way out, down or up), worked out again from the player's
// cell after every step and every change of the map; it ends when the player reaches the target. The program
// never walks it: the player does. It clears the way on Escape over the map and says what the way is and which
// levels it crosses; the window shows and draws it.
class WayGuide : public QObject
{
    Q_OBJECT
public:
    struct Work
    {
        const Atlas* atlas = nullptr;
        const LevelLinks* links = nullptr;
        std::function<unsigned()> lab;      // the labyrinth the player is in
        std::function<LevelCell()> player;  // where the page shows the player (x 0: not known)
        std::function<bool()> passDoors;    // "Проходить через двери"
        std::function<unsigned()> shownLab; // the labyrinth and level the map shows
        std::function<int()> shownLevel;
        // Escape now belongs to the map: the pointer is over it, or the keyboard box has the focus.
        std::function<bool()> escapeHere;
        QWidget* window = nullptr; // the keys of this window only
    };
    WayGuide(Work work, QObject* parent);

    void ask(WayTarget kind, LevelCell target = {});
    // "Проложить путь сюда" on a cell of the level shown.
    void askTo(QPoint cell);
    // "Путь сюда" from the search or the overview: to a cell, or to a level; only in the player's labyrinth.
    void askAt(unsigned lab, WayTarget kind, LevelCell target);
    void clear();
    // The map changed: the way is worked out again.
    void update();
    // The player walked: the way goes on from the new cell; a way that could not be found goes.
    void walked();

    bool asked() const { return m_asked; }
    const Way& way() const { return m_finder.way(); }
    // "Путь: 37 шагов, через спуск 12x7 на уровень 2"; empty when no way was asked for.
    QString text() const;
    // The target outlined on the map: the chosen cell, or the end of the way.
    bool isTarget(int level, int x, int y) const;
    // The way's directions from a cell of the level toward the cells before and after it on the way (1 west,
    // 2 east, 4 north, 8 south), 16 for a cell on the way; 0 off it.
    int linesAt(int level, int x, int y) const;
    // Whether the way passes the level; the labyrinth it is in.
    bool crosses(int level) const;
    std::vector<int> levelsCrossed() const;
    unsigned lab() const { return m_work.lab(); }

signals:
    // What the way is now ("Путь: 37 шагов, …", empty when none is shown) and the levels it crosses.
    void wayChanged(const QString& text, const std::vector<int>& levels);
    // Why no way was asked for, for the status bar.
    void refused(const QString& why);

private:
    void changed();
    bool eventFilter(QObject* watched, QEvent* event) override;

    Work m_work;
    WayFinder m_finder;
    bool m_asked = false;
    WayTarget m_kind = WayTarget::Cell;
    LevelCell m_target;
    std::vector<std::uint8_t> m_lines; // per level, 101 x 101
};

} // namespace veldor
