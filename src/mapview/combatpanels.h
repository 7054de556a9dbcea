#pragma once

#include <utility>
#include <vector>

namespace veldor {

class ClickSplitter;
class ClickSplitterHandle;

// The areas a combat collapses (the map, the side panel, the bottom panel) and which of them it did collapse, so
// that they come back once the game shows the labyrinth again after the combat's own page.
class CombatPanels
{
public:
    using Area = std::pair<ClickSplitter*, ClickSplitterHandle*>;
    explicit CombatPanels(std::vector<Area> areas) : m_areas(std::move(areas)) {}

    // Collapses each open area; one already down to its sliver stays so and is not brought back later.
    void combatStarted();
    // A page was read: the labyrinth after the combat's page brings back what the combat collapsed, when
    // `restore`; either way the combat is over.
    void pageRead(bool labyrinthShown, bool restore);
    // The player opened or closed an area: the areas stay as arranged.
    void forget() { m_collapsed.clear(); }

private:
    std::vector<Area> m_areas;
    std::vector<Area> m_collapsed;
    bool m_combatSeen = false; // the combat's own page was read since it began
};

} // namespace veldor
