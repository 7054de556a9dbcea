#include "atlasdiff.h"

#include <algorithm>
#include <cstring>
#include <map>
#include <string_view>
#include <tuple>

namespace veldor {
namespace {

bool blank(const TMapCell& c)
{
    return c.North == 0 && c.South == 0 && c.West == 0 && c.East == 0 && c.Explored == 0 &&
           (c.Object == 0 || c.Object == 'n');
}

// A slot's text: its length byte and that many characters (a cleared slot may keep old bytes after them).
template <std::size_t Size>
std::string_view text(const TextSlot<Size>& slot)
{
    const std::size_t length = std::min<std::size_t>(slot.bytes[0], Size - 1);
    return {reinterpret_cast<const char*>(slot.bytes.data()), length + 1};
}

template <std::size_t N, std::size_t Size>
std::size_t slotsApart(const std::array<TextSlot<Size>, N>& a, const std::array<TextSlot<Size>, N>& b)
{
    std::size_t n = 0;
    for (std::size_t i = 0; i < N; ++i)
        n += text(a[i]) != text(b[i]);
    return n;
}

template <std::size_t N, std::size_t Size>
bool blank(const std::array<TextSlot<Size>, N>& slots)
{
    for (const auto& slot : slots)
        if (slot.bytes[0] != 0)
            return false;
    return true;
}

bool blank(const TLevelLists& l)
{
    return blank(l.Transitions) && blank(l.Traps) && blank(l.Flags) && blank(l.Exits);
}

} // namespace

AtlasDiff CompareAtlases(const Atlas& before, const Atlas& after)
{
    AtlasDiff diff;
    for (unsigned lab = 1; lab <= kLabyrinthCount; ++lab) {
        const int side = LabSide(lab);
        bool heldBefore = false;
        bool holdsNow = false;
        for (int level = 0; level < kLevelCount; ++level) {
            for (int y = 1; y <= side; ++y) {
                for (int x = 1; x <= side; ++x) {
                    const TMapCell& a = *before.cell(lab, level, x, y);
                    const TMapCell& b = *after.cell(lab, level, x, y);
                    heldBefore = heldBefore || !blank(a);
                    holdsNow = holdsNow || !blank(b);
                    if (std::memcmp(&a, &b, sizeof a) == 0 || (blank(a) && blank(b)))
                        continue;
                    if (!a.Explored && b.Explored)
                        ++diff.explored;
                    else if (!blank(a) && blank(b))
                        ++diff.cleared;
                    else
                        ++diff.changed;
                }
            }
            const TLevelLists& a = *before.levelLists(lab, level);
            const TLevelLists& b = *after.levelLists(lab, level);
            heldBefore = heldBefore || !blank(a);
            holdsNow = holdsNow || !blank(b);
            diff.entries += slotsApart(a.Transitions, b.Transitions) + slotsApart(a.Traps, b.Traps) +
                            slotsApart(a.Flags, b.Flags) + slotsApart(a.Exits, b.Exits);
        }
        if (heldBefore && !holdsNow)
            diff.labsCleared.push_back(lab);
    }
    std::map<std::tuple<unsigned, int, int, int>, std::string> markers;
    for (const Atlas::Marker& m : before.markers())
        markers[{m.lab, m.level, m.x, m.y}] = m.text;
    for (const Atlas::Marker& m : after.markers()) {
        const auto it = markers.find({m.lab, m.level, m.x, m.y});
        if (it == markers.end() || it->second != m.text)
            ++diff.markers;
        if (it != markers.end())
            markers.erase(it);
    }
    diff.markers += markers.size(); // removed
    return diff;
}

} // namespace veldor
