#pragma once

#include "map/atlas.h"

#include <optional>
#include <string>

namespace veldor {

enum class ArrowKey
{
    Up,
    Down,
    Left,
    Right
};

// The game page's movement script for an arrow key ("goTo(3)" for up), or nothing when the player is too
// tired, no position is known yet, or the atlas shows no passage on that side of the player's cell. Doors
// count as passages only when `passDoors` is on.
std::optional<std::string> KeyMoveScript(const Atlas& atlas, unsigned lab, int level, int viewX, int viewY, int fatigue,
                                         bool passDoors, ArrowKey key);

} // namespace veldor
