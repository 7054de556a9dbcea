#include "selection.h"

#include "map/objects.h"
#include "text/cp1251.h"

namespace veldor {

std::optional<int> ExploredPercent(const Atlas& atlas, unsigned lab, int level)
{
    const int n = LabSide(lab);
    if (n == 0)
        return std::nullopt;
    int count = 0;
    for (int x = 1; x <= n; ++x) {
        for (int y = 1; y <= n; ++y) {
            const TMapCell* c = atlas.cell(lab, level, x, y);
            if (c && c->Explored != 0)
                ++count;
        }
    }
    return count * 100 / (n * n);
}

std::u8string PercentLabelText(int percent)
{
    return u8"Процент открытия уровня: " + cp1251::asUtf8(std::to_string(percent) + "%");
}

void ClearLabyrinth(Atlas& atlas, unsigned lab)
{
    const int n = LabSide(lab);
    if (n == 0)
        return;
    for (int level = 0; level < kLevelCount; ++level) {
        for (int x = 1; x <= n; ++x) {
            for (int y = 1; y <= n; ++y) {
                if (TMapCell* c = atlas.cell(lab, level, x, y))
                    *c = TMapCell{0, 0, 0, 0, 0, Obj::None};
            }
        }
        if (TLevelLists* lists = atlas.levelLists(lab, level)) {
            for (ListKind kind : {ListKind::Transitions, ListKind::Traps, ListKind::Flags, ListKind::Exits})
                ClearList(*lists, kind);
        }
    }
}

} // namespace veldor
