#include "selection.h"

#include "map/objects.h"
#include "text/cp1251.h"

#include <algorithm>

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

std::optional<std::u8string> ExploredLabelText(const Atlas& atlas, unsigned lab, int level)
{
    const int n = LabSide(lab);
    const std::optional<int> percent = ExploredPercent(atlas, lab, level);
    if (!percent)
        return std::nullopt;
    if (*percent > 0)
        return PercentLabelText(*percent);
    int explored = 0;
    for (int x = 1; x <= n; ++x)
        for (int y = 1; y <= n; ++y)
            explored += atlas.cell(lab, level, x, y)->Explored != 0 ? 1 : 0;
    if (explored == 0)
        return PercentLabelText(0);
    const int perMille = std::max(1, explored * 1000 / (n * n));
    return u8"Процент открытия уровня: 0," + cp1251::asUtf8(std::to_string(perMille) + "%");
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
