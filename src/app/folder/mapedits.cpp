#include "app/folder/mapedits.h"

#include "map/undo.h"

namespace veldor {

MapEdits::MapEdits(Atlas& atlas, QObject* parent)
    : QObject(parent), m_atlas(atlas), m_history(std::make_unique<UndoHistory>())
{}

MapEdits::~MapEdits() = default;

void MapEdits::run(unsigned lab, const QString& name, const std::function<void()>& change)
{
    const UndoHistory::Before before(m_atlas, lab);
    change();
    if (m_history->record(before, m_atlas, name.toStdString()))
        showNames();
}

bool MapEdits::apply(UndoHistory::Prepared change)
{
    if (!m_history->apply(std::move(change), m_atlas))
        return false;
    showNames();
    return true;
}

void MapEdits::undo()
{
    if (const auto lab = m_history->undo(m_atlas)) {
        showNames();
        emit changed(*lab);
    }
}

void MapEdits::redo()
{
    if (const auto lab = m_history->redo(m_atlas)) {
        showNames();
        emit changed(*lab);
    }
}

void MapEdits::showNames()
{
    emit namesChanged(m_history->canUndo() ? QString::fromStdString(m_history->undoName()) : QString(),
                      m_history->canRedo() ? QString::fromStdString(m_history->redoName()) : QString());
}

} // namespace veldor
