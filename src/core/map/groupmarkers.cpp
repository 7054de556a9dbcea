#include "groupmarkers.h"

#include "map/atlas.h"
#include "text/hash.h"
#include "text/numberlines.h"

namespace veldor {

std::uint64_t GroupMarkers::TextHash(const std::string& text)
{
    return Fnv1a(text.data(), text.size());
}

std::uint32_t GroupMarkers::key(const AtlasPlace& p)
{
    return ((p.lab * kLevelCount + static_cast<std::uint32_t>(p.level)) * 128 + static_cast<std::uint32_t>(p.x)) * 128 +
           static_cast<std::uint32_t>(p.y);
}

AtlasPlace GroupMarkers::place(std::uint32_t key)
{
    AtlasPlace p;
    p.y = static_cast<int>(key % 128);
    key /= 128;
    p.x = static_cast<int>(key % 128);
    key /= 128;
    p.level = static_cast<int>(key % kLevelCount);
    p.lab = key / kLevelCount;
    return p;
}

void GroupMarkers::add(const AtlasPlace& p, const std::string& text)
{
    if (LabSide(p.lab) > 0 && p.level >= 0 && p.level < kLevelCount && p.x >= 1 && p.x <= kMaxMapSide && p.y >= 1 &&
        p.y <= kMaxMapSide)
        m_places[key(p)] = TextHash(text);
}

bool GroupMarkers::fromGroup(const Atlas& atlas, const AtlasPlace& p) const
{
    const auto it = m_places.find(key(p));
    if (it == m_places.end())
        return false;
    const std::string text = atlas.markText(p.lab, p.level, p.x, p.y);
    return !text.empty() && TextHash(text) == it->second;
}

std::size_t GroupMarkers::prune(const Atlas& atlas)
{
    for (auto it = m_places.begin(); it != m_places.end();)
        it = fromGroup(atlas, place(it->first)) ? std::next(it) : m_places.erase(it);
    return m_places.size();
}

std::size_t GroupMarkers::room(const Atlas& atlas)
{
    const std::size_t held = prune(atlas);
    return held >= kMax ? 0 : kMax - held;
}

void GroupMarkers::stripFrom(Atlas& copy) const
{
    for (const auto& [k, hash] : m_places) {
        const AtlasPlace p = place(k);
        if (fromGroup(copy, p))
            copy.setMarkText(p.lab, p.level, p.x, p.y, {});
    }
}

std::string GroupMarkers::text() const
{
    std::string out = "# Вельдор: markers taken from the group, lab level x y text-hash\n";
    for (const auto& [k, hash] : m_places) {
        const AtlasPlace p = place(k);
        out += std::to_string(p.lab) + ' ' + std::to_string(p.level) + ' ' + std::to_string(p.x) + ' ' +
               std::to_string(p.y) + ' ' + std::to_string(hash) + '\n';
    }
    return out;
}

GroupMarkers GroupMarkers::parse(const std::string& text)
{
    GroupMarkers out;
    ForEachNumberLine<std::uint64_t, 5>(text, [&out](const std::array<std::uint64_t, 5>& v, bool whole) {
        if (whole && v[0] <= kLabyrinthCount && v[1] < kLevelCount && v[2] <= kMaxMapSide && v[3] <= kMaxMapSide) {
            const AtlasPlace place{static_cast<unsigned>(v[0]), static_cast<int>(v[1]), static_cast<int>(v[2]),
                                   static_cast<int>(v[3])};
            if (LabSide(place.lab) > 0 && place.x >= 1 && place.y >= 1)
                out.m_places[key(place)] = v[4];
        }
        return out.m_places.size() < kMax;
    });
    return out;
}

} // namespace veldor
