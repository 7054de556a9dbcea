#pragma once

#include "map/atlas.h"

#include <QObject>
#include <QPoint>
#include <QStringList>
#include <functional>
#include <memory>

class QAction;
class QMenu;

namespace veldor {

class MapEdits;
class MapGrid;
class UserPrompts;

// What the player changes on the map by hand: the grid's popup menu (marks, chests, a marker, clearing the cell
// under the pointer, which it keeps to itself), clearing a labyrinth, all of them or one of the lists. Each change
// goes through the undo history under its name.
class MapCommands : public QObject
{
    Q_OBJECT
public:
    explicit MapCommands(QWidget* window);

    struct Work
    {
        Atlas* atlas = nullptr;
        MapEdits* edits = nullptr;
        std::shared_ptr<UserPrompts> prompts;
        // The labyrinth and level shown.
        std::function<unsigned()> lab;
        std::function<int()> level;
        MapGrid* grid = nullptr; // its popup menu is this one's
        // The teammates standing on a cell of the level shown.
        std::function<QStringList(QPoint)> teammatesAt;
    };
    void connectTo(Work work);
    // Clears one of the labyrinth's object lists.
    void clearList(ListKind kind);
    // "Очистить карту": the labyrinth shown; "Очистить все карты".
    void clearLabyrinth();
    void clearAllLabyrinths();

signals:
    // A change made the labyrinth's map (0: several) different.
    void changed(unsigned lab);
    // "Проложить путь сюда" on the cell.
    void wayAsked(QPoint cell);
    // Clearing every labyrinth began (true) or ended.
    void clearingAll(bool underWay);
    // A cell was marked or cleared by hand: the player's own.
    void cellEdited(const veldor::AtlasPlace& place);
    // «Путь к участнику» on a teammate's figure.
    void wayToMemberAsked(const QString& name);

private:
    // A mark of the cell under the pointer: `mark` puts it at (lab, level, x, y); `name` ("ловушка в %1x%2")
    // names it for undo.
    void markCell(const QString& name, const std::function<bool(Atlas&, unsigned, int, int, int)>& mark);
    void addChest(char code);
    void addMarker();
    // Runs the change under its name for undo; `changed` follows when it did something.
    void edit(unsigned lab, const QString& name, const std::function<bool()>& change);

    struct Controls
    {
        QMenu* cellMenu = nullptr;
        QAction* wayHereAction = nullptr; // "Проложить путь сюда": the way from the player to the cell
        QAction* wayToMemberAction = nullptr; // "Путь к участнику «…»": on a teammate's figure
        QMenu* cellAddMenu = nullptr;         // "Добавить"
        QAction* addTrapAction = nullptr;     // "Ловушку"
        QAction* addFlagAction = nullptr;     // "Флаг"
        QAction* addDescentAction = nullptr;  // "Спуск"
        QAction* addAscentAction = nullptr;   // "Подъем"
        QAction* addExitAction = nullptr;     // "Выход"
        QMenu* chestMenu = nullptr;           // "Сундук"
        QAction* redChestAction = nullptr;    // "Красный"
        QAction* greenChestAction = nullptr;  // "Зеленый"
        QAction* blueChestAction = nullptr;   // "Синий"
        QAction* whiteChestAction = nullptr;  // "Белый"
        QAction* ironChestAction = nullptr;   // "Железный"
        QAction* goldChestAction = nullptr;   // "Золотой"
        QAction* addMarkerAction = nullptr;   // "Маркер": a text of one's own
        QAction* clearCellAction = nullptr;   // "Очистить": marker and object of the cell
    };
    Controls m_ui;
    QWidget* m_window;
    Work m_work;
    // The body cell the popup acts on: the one last under the pointer ((0, 0) until one was hovered).
    QPoint m_cell;
};

} // namespace veldor
