#pragma once

#include "atlas.h"

#include <optional>
#include <string>

namespace veldor {

// Share of explored cells of the level, in whole percent rounded down; nothing outside 1..20.
std::optional<int> ExploredPercent(const Atlas& atlas, unsigned lab, int level);

// The text of the level statistics label for that percentage.
std::u8string PercentLabelText(int percent);
// The label's text for the level: whole percent, and below one percent with a tenth ("0,8%"), so that a first
// walk does not read as nothing; nothing outside 1..20.
std::optional<std::u8string> ExploredLabelText(const Atlas& atlas, unsigned lab, int level);

// "Очистить карту": every cell of every level of the labyrinth back to unknown (sides and explored mark 0,
// object 'n') and its object lists emptied. Other labyrinths keep everything. Nothing outside 1..20.
void ClearLabyrinth(Atlas& atlas, unsigned lab);

} // namespace veldor
