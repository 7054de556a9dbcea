#include "combatpanels.h"

#include "mapview/clicksplitter.h"

namespace veldor {

void CombatPanels::combatStarted()
{
    for (const auto& [splitter, handle] : m_areas) {
        if (splitter->collapsed(handle))
            continue;
        splitter->collapse(handle);
        m_collapsed.emplace_back(splitter, handle);
    }
    m_combatSeen = false;
}

void CombatPanels::pageRead(bool labyrinthShown, bool restore)
{
    if (m_collapsed.empty())
        return;
    if (!labyrinthShown) {
        m_combatSeen = true; // the combat's page, not the labyrinth
        return;
    }
    if (!m_combatSeen)
        return; // a read of the labyrinth from before the combat's page
    if (restore)
        for (const auto& [splitter, handle] : m_collapsed)
            splitter->restore(handle);
    m_collapsed.clear();
}

} // namespace veldor
