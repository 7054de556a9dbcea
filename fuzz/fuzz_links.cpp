// links.txt as found on disk, ours or a member's: any content must parse without harm, every link read lies on
// the atlas, what the program writes back reads back as the same links, and of a member's links only those between
// their own stairs are taken.
#include "map/atlas.h"
#include "map/levellinks.h"

#include <cstdint>
#include <cstdlib>
#include <memory>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const veldor::LevelLinks links = veldor::LevelLinks::parse(std::string(reinterpret_cast<const char*>(data), size));
    for (const veldor::LevelLink& link : links.all())
        if (!veldor::LevelLinks::valid(link))
            std::abort();
    std::size_t skipped = 1;
    if (veldor::LevelLinks::parse(links.text(), &skipped) != links || skipped != 0)
        std::abort();

    // The same links as a member's, some of them between stairs of the member's maps (chosen by the input).
    static auto* theirs = new veldor::Atlas;
    std::vector<veldor::TMapCell*> set; // put back afterwards: clearing the whole atlas each run is slow
    std::size_t i = 0;
    for (const veldor::LevelLink& link : links.all()) {
        if (size > 0 && (data[i++ % size] & 1)) {
            const bool down = link.to.level > link.from.level;
            veldor::TMapCell* from = theirs->cell(link.lab, link.from.level, link.from.x, link.from.y);
            veldor::TMapCell* to = theirs->cell(link.lab, link.to.level, link.to.x, link.to.y);
            from->Object = down ? 'd' : 'u';
            to->Object = down ? 'u' : 'd';
            set.push_back(from);
            set.push_back(to);
        }
    }
    static auto* ours = new veldor::Atlas;
    veldor::LevelLinks taken;
    veldor::TakeLinks(taken, veldor::LinksBetweenStairs(links, *theirs), *ours);
    for (const veldor::LevelLink& link : taken.all()) {
        const auto* from = theirs->cell(link.lab, link.from.level, link.from.x, link.from.y);
        const auto* to = theirs->cell(link.lab, link.to.level, link.to.x, link.to.y);
        if (!links.contains(link) || !from || !to || (from->Object != 'd' && from->Object != 'u') ||
            (to->Object != 'd' && to->Object != 'u') || from->Object == to->Object)
            std::abort();
    }
    for (veldor::TMapCell* cell : set)
        cell->Object = 0;
    return 0;
}
