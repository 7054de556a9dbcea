#include "keyboard.h"

namespace veldor {

std::optional<std::string> KeyMoveScript(const Atlas& atlas, unsigned lab, int level, int viewX, int viewY, int fatigue,
                                         bool passDoors, ArrowKey key)
{
    if (fatigue <= 6 || viewX == 0 || viewY == 0)
        return std::nullopt;
    const TMapCell* cell = atlas.cell(lab, level, viewX, viewY);
    if (!cell)
        return std::nullopt;
    std::uint8_t side = 0;
    const char* script = "";
    switch (key) {
    case ArrowKey::Up:
        side = cell->North;
        script = "goTo(3)";
        break;
    case ArrowKey::Down:
        side = cell->South;
        script = "goTo(4)";
        break;
    case ArrowKey::Left:
        side = cell->West;
        script = "goTo(1)";
        break;
    case ArrowKey::Right:
        side = cell->East;
        script = "goTo(2)";
        break;
    }
    const bool passable = side == 1 || (passDoors && side != 0);
    if (!passable)
        return std::nullopt;
    return std::string(script);
}

} // namespace veldor
