#include "marks.h"

#include "map/objects.h"

namespace veldor {
namespace {

bool onMap(unsigned lab, int level, int x, int y)
{
    const int n = LabSide(lab);
    return n > 0 && level >= 0 && level < kLevelCount && x >= 1 && x <= n && y >= 1 && y <= n;
}

// Enters the entry unless the list's memo (all levels of the labyrinth) already shows it.
void enter(Atlas& atlas, unsigned lab, int level, ListKind kind, const std::string& entry)
{
    if (MemoText(atlas, lab, kind).find(entry) != std::string::npos)
        return;
    if (TLevelLists* lists = atlas.levelLists(lab, level))
        AppendEntry(*lists, kind, entry);
}

// Empties the first slot of the level's list holding the entry, if the memo shows it at all.
void remove(Atlas& atlas, unsigned lab, int level, ListKind kind, const std::string& entry)
{
    if (MemoText(atlas, lab, kind).find(entry) == std::string::npos)
        return;
    TLevelLists* lists = atlas.levelLists(lab, level);
    if (!lists)
        return;
    for (int k = 0; k < ListSlots(kind); ++k) {
        if (SlotText(*lists, kind, k) == entry) {
            SetSlotText(*lists, kind, k, "");
            return;
        }
    }
}

void setObject(Atlas& atlas, unsigned lab, int level, int x, int y, char code)
{
    if (TMapCell* c = atlas.cell(lab, level, x, y))
        c->Object = code;
}

template <class Pred>
void forEachCell(Atlas& atlas, unsigned lab, int level, Pred pred)
{
    const int n = LabSide(lab);
    for (int x = 1; x <= n; ++x)
        for (int y = 1; y <= n; ++y)
            if (TMapCell* c = atlas.cell(lab, level, x, y))
                pred(*c, x, y);
}

void clearListEverywhere(Atlas& atlas, unsigned lab, ListKind kind)
{
    for (int level = 0; level < kLevelCount; ++level)
        if (TLevelLists* lists = atlas.levelLists(lab, level))
            ClearList(*lists, kind);
}

} // namespace

bool AddTrap(Atlas& atlas, unsigned lab, int level, int x, int y)
{
    if (!onMap(lab, level, x, y))
        return false;
    setObject(atlas, lab, level, x, y, Obj::Trap);
    enter(atlas, lab, level, ListKind::Traps, PositionEntry(level, x, y));
    return true;
}

bool AddFlag(Atlas& atlas, unsigned lab, int level, int x, int y)
{
    if (!onMap(lab, level, x, y))
        return false;
    setObject(atlas, lab, level, x, y, Obj::Flag);
    enter(atlas, lab, level, ListKind::Flags, PositionEntry(level, x, y));
    return true;
}

bool AddDescent(Atlas& atlas, unsigned lab, int level, int x, int y)
{
    if (!onMap(lab, level, x, y) || level >= 9)
        return false;
    setObject(atlas, lab, level, x, y, Obj::Descent);
    setObject(atlas, lab, level + 1, x, y, Obj::Ascent);
    enter(atlas, lab, level, ListKind::Transitions, PositionEntry(level, x, y));
    return true;
}

bool AddAscent(Atlas& atlas, unsigned lab, int level, int x, int y)
{
    if (!onMap(lab, level, x, y) || level <= 0)
        return false;
    setObject(atlas, lab, level, x, y, Obj::Ascent);
    setObject(atlas, lab, level - 1, x, y, Obj::Descent);
    enter(atlas, lab, level - 1, ListKind::Transitions, PositionEntry(level - 1, x, y));
    return true;
}

bool AddExit(Atlas& atlas, unsigned lab, int level, int x, int y)
{
    if (!onMap(lab, level, x, y) || (level != 0 && level != 9))
        return false;
    setObject(atlas, lab, level, x, y, Obj::Exit);
    enter(atlas, lab, level, ListKind::Exits, PositionEntry(level, x, y));
    return true;
}

bool SetChest(Atlas& atlas, unsigned lab, int level, int x, int y, char code)
{
    if (!onMap(lab, level, x, y) || code < Obj::RedChest || code > Obj::GoldChest)
        return false;
    setObject(atlas, lab, level, x, y, code);
    return true;
}

bool SetMarker(Atlas& atlas, unsigned lab, int level, int x, int y, const std::string& text)
{
    if (!onMap(lab, level, x, y) || text.empty())
        return false;
    atlas.setMarkText(lab, level, x, y, text);
    return true;
}

bool ClearCell(Atlas& atlas, unsigned lab, int level, int x, int y)
{
    if (!onMap(lab, level, x, y))
        return false;
    atlas.clearMarkText(lab, level, x, y);
    const std::string entry = PositionEntry(level, x, y);
    switch (atlas.cell(lab, level, x, y)->Object) {
    case Obj::Exit:
        remove(atlas, lab, level, ListKind::Exits, entry);
        break;
    case Obj::Flag:
        remove(atlas, lab, level, ListKind::Flags, entry);
        break;
    case Obj::Trap:
        remove(atlas, lab, level, ListKind::Traps, entry);
        break;
    case Obj::Descent:
        if (MemoText(atlas, lab, ListKind::Transitions).find(entry) != std::string::npos) {
            remove(atlas, lab, level, ListKind::Transitions, entry);
            setObject(atlas, lab, level + 1, x, y, Obj::None);
        }
        break;
    case Obj::Ascent:
        if (level > 0) {
            const std::string upper = PositionEntry(level - 1, x, y);
            if (MemoText(atlas, lab, ListKind::Transitions).find(upper) != std::string::npos) {
                remove(atlas, lab, level - 1, ListKind::Transitions, upper);
                setObject(atlas, lab, level - 1, x, y, Obj::None);
            }
        }
        break;
    default:
        break;
    }
    setObject(atlas, lab, level, x, y, Obj::None);
    return true;
}

void ClearExits(Atlas& atlas, unsigned lab)
{
    for (int level : {0, 9})
        forEachCell(atlas, lab, level, [](TMapCell& c, int, int) {
            if (c.Object == Obj::Exit)
                c.Object = Obj::None;
        });
    clearListEverywhere(atlas, lab, ListKind::Exits);
}

void ClearTransitions(Atlas& atlas, unsigned lab)
{
    for (int level = 0; level < kLevelCount; ++level)
        forEachCell(atlas, lab, level, [&](TMapCell& c, int x, int y) {
            if (c.Object != Obj::Descent)
                return;
            c.Object = Obj::None;
            if (level < 9)
                setObject(atlas, lab, level + 1, x, y, Obj::None); // whatever stood there
        });
    clearListEverywhere(atlas, lab, ListKind::Transitions);
}

void ClearFlags(Atlas& atlas, unsigned lab)
{
    for (int level = 0; level < kLevelCount; ++level)
        forEachCell(atlas, lab, level, [](TMapCell& c, int, int) {
            if (c.Object == Obj::Flag)
                c.Object = Obj::None;
        });
    clearListEverywhere(atlas, lab, ListKind::Flags);
}

void ClearTraps(Atlas& atlas, unsigned lab)
{
    for (int level = 0; level < kLevelCount; ++level)
        forEachCell(atlas, lab, level, [](TMapCell& c, int, int) {
            if (c.Object == Obj::Trap)
                c.Object = Obj::None;
        });
    clearListEverywhere(atlas, lab, ListKind::Traps);
}

} // namespace veldor
