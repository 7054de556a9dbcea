#include "app/folder/mapedits.h"

#include "map/undo.h"

#include <QAction>

namespace veldor {

MapEdits::MapEdits(Atlas& atlas, QAction* undo, QAction* redo, QObject* parent)
    : QObject(parent), m_atlas(atlas), m_undo(undo), m_redo(redo), m_history(std::make_unique<UndoHistory>())
{
    connect(m_undo, &QAction::triggered, this, &MapEdits::undo);
    connect(m_redo, &QAction::triggered, this, &MapEdits::redo);
    showNames();
}

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
    m_undo->setEnabled(m_history->canUndo());
    m_undo->setText(m_history->canUndo()
                        ? QStringLiteral("Отменить: %1").arg(QString::fromStdString(m_history->undoName()))
                        : QStringLiteral("Отменить"));
    m_redo->setEnabled(m_history->canRedo());
    m_redo->setText(m_history->canRedo()
                        ? QStringLiteral("Повторить: %1").arg(QString::fromStdString(m_history->redoName()))
                        : QStringLiteral("Повторить"));
}

} // namespace veldor
