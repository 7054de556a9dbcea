#pragma once

#include "map/atlas.h"

#include <QObject>
#include <QPoint>
#include <functional>
#include <memory>

namespace veldor {

class MapEdits;
class UserPrompts;
struct MainWindowControls;

// What the player changes on the map by hand: the grid's popup menu (marks, chests, a marker, clearing the cell
// under the pointer), the clear buttons of the settings page and the lists' "X" buttons. Each change goes through
// the undo history under its name. It makes the popup menu (entered into the window's list of controls).
class MapCommands : public QObject
{
    Q_OBJECT
public:
    MapCommands(MainWindowControls& ui, QWidget* window);

    struct Work
    {
        Atlas* atlas = nullptr;
        MapEdits* edits = nullptr;
        std::shared_ptr<UserPrompts> prompts;
        // The labyrinth and level shown.
        std::function<unsigned()> lab;
        std::function<int()> level;
    };
    void connectTo(Work work);
    // Clears one of the labyrinth's object lists.
    void clearList(ListKind kind);

signals:
    // A change made the labyrinth's map (0: several) different.
    void changed(unsigned lab);
    // "Проложить путь сюда" on the cell.
    void wayAsked(QPoint cell);

private:
    // A mark of the cell under the pointer: `mark` puts it at (lab, level, x, y); `name` ("ловушка в %1x%2")
    // names it for undo.
    void markCell(const QString& name, const std::function<bool(Atlas&, unsigned, int, int, int)>& mark);
    void addChest(char code);
    void addMarker();
    void clearLabyrinth();
    void clearAllLabyrinths();
    // Runs the change under its name for undo; `changed` follows when it did something.
    void edit(unsigned lab, const QString& name, const std::function<bool()>& change);

    MainWindowControls& m_ui;
    QWidget* m_window;
    Work m_work;
    // The body cell the popup acts on: the one last under the pointer ((0, 0) until one was hovered).
    QPoint m_cell;
};

} // namespace veldor
