#pragma once

#include "map/undo.h"

#include <QObject>
#include <QString>
#include <functional>
#include <memory>

namespace veldor {

class Atlas;

// The map's undo history behind the Edit menu: every change made by hand or by a command runs through
// `run`; `undo` and `redo` take it back and do it again, and `namesChanged` names the actions for the menu.
class MapEdits : public QObject
{
    Q_OBJECT
public:
    explicit MapEdits(Atlas& atlas, QObject* parent = nullptr);
    ~MapEdits() override;

    // Runs a change of one labyrinth (0: of any) under its Russian name, as in "Отменить: <name>", and records
    // it when it changed anything.
    void run(unsigned lab, const QString& name, const std::function<void()>& change);
    // A change worked out on a copy of the atlas (a merge read beside the window): done on the atlas where it
    // still holds what the copy held, and recorded. Whether it changed anything.
    bool apply(UndoHistory::Prepared change);
    void undo();
    void redo();

signals:
    // Undo or redo changed the map of the labyrinth (0: of several).
    void changed(unsigned lab);
    // What undo and redo would do now ("очистка карты «…»"); empty when there is nothing to take back or redo.
    void namesChanged(const QString& undoName, const QString& redoName);

private:
    void showNames();

    Atlas& m_atlas;
    std::unique_ptr<UndoHistory> m_history;
};

} // namespace veldor
