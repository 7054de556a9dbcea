#include "levellinks.h"

#include "files/safefile.h"
#include "map/atlas.h"
#include "text/numberlines.h"

#include <algorithm>
#include <charconv>

namespace veldor {
namespace {

bool onLevel(unsigned lab, const LevelCell& c)
{
    const int n = LabSide(lab);
    return c.level >= 0 && c.level < kLevelCount && c.x >= 1 && c.x <= n && c.y >= 1 && c.y <= n;
}

} // namespace

bool LevelLinks::valid(const LevelLink& link)
{
    return LabSide(link.lab) > 0 && onLevel(link.lab, link.from) && onLevel(link.lab, link.to) &&
           link.from.level != link.to.level;
}

std::size_t LevelLinks::addAll(const LevelLinks& other)
{
    // Both sorted: one merge, however many there are.
    std::vector<LevelLink> merged;
    merged.reserve(std::min(kMaxLinks, m_links.size() + other.m_links.size()));
    std::size_t added = 0;
    auto mine = m_links.begin();
    for (const LevelLink& link : other.m_links) {
        while (mine != m_links.end() && *mine < link)
            merged.push_back(*mine++);
        if (mine != m_links.end() && *mine == link)
            continue;
        if (m_links.size() + added < kMaxLinks) {
            merged.push_back(link);
            ++added;
        }
    }
    merged.insert(merged.end(), mine, m_links.end());
    m_links = std::move(merged);
    return added;
}

bool LevelLinks::add(const LevelLink& link)
{
    if (!valid(link) || m_links.size() >= kMaxLinks)
        return false;
    const auto at = std::lower_bound(m_links.begin(), m_links.end(), link);
    if (at != m_links.end() && *at == link)
        return false;
    m_links.insert(at, link);
    return true;
}

bool LevelLinks::contains(const LevelLink& link) const
{
    return std::binary_search(m_links.begin(), m_links.end(), link);
}

std::vector<LevelLink> LevelLinks::of(unsigned lab) const
{
    std::vector<LevelLink> out;
    for (const LevelLink& l : m_links)
        if (l.lab == lab)
            out.push_back(l);
    return out;
}

bool LevelLinks::removeLab(unsigned lab)
{
    return std::erase_if(m_links, [lab](const LevelLink& l) { return l.lab == lab; }) > 0;
}

std::string LevelLinks::text() const
{
    std::string out = "# Вельдор: ways down and up, lab level x y -> level x y\n";
    for (const LevelLink& l : m_links) {
        for (const int v : {static_cast<int>(l.lab), l.from.level, l.from.x, l.from.y, l.to.level, l.to.x, l.to.y})
            out += std::to_string(v) + ' ';
        out.back() = '\n';
    }
    return out;
}

LevelLinks LevelLinks::parse(const std::string& text, std::size_t* skipped, std::size_t* overLimit)
{
    // Gathered in the file's order, then sorted once: a hostile order must not make each insertion costly.
    std::vector<LevelLink> read;
    std::size_t bad = 0;
    ForEachNumberLine<int, 7>(text, [&](const std::array<int, 7>& v, bool whole) {
        const LevelLink link{static_cast<unsigned>(std::max(v[0], 0)), {v[1], v[2], v[3]}, {v[4], v[5], v[6]}};
        if (!whole || v[0] < 1 || !valid(link))
            ++bad;
        else
            read.push_back(link);
        return true;
    });
    // The first of each link, in the file's order, as far as the bound.
    std::vector<std::size_t> order(read.size());
    for (std::size_t i = 0; i < order.size(); ++i)
        order[i] = i;
    std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) { return read[a] < read[b]; });
    std::vector<bool> first(read.size(), false);
    for (std::size_t i = 0; i < order.size(); ++i)
        first[order[i]] = i == 0 || !(read[order[i - 1]] == read[order[i]]);
    LevelLinks links;
    std::size_t over = 0;
    for (std::size_t i = 0; i < read.size(); ++i) {
        if (!first[i])
            continue;
        if (links.m_links.size() < kMaxLinks)
            links.m_links.push_back(read[i]);
        else
            ++over;
    }
    std::sort(links.m_links.begin(), links.m_links.end());
    if (skipped)
        *skipped = bad;
    if (overLimit)
        *overLimit = over;
    return links;
}

bool LearnLink(const Atlas& atlas, LevelLinks& links, unsigned lab, LevelCell before, LevelCell after)
{
    if (before.level == after.level || !LevelLinks::valid({lab, before, after}))
        return false;
    const TMapCell* stair = atlas.cell(lab, before.level, before.x, before.y);
    if (stair == nullptr || (stair->Object != 'd' && stair->Object != 'u'))
        return false;
    return links.add({lab, before, after});
}

namespace {

// The stair a link leaves by and the one it arrives at.
std::pair<char, char> stairsOf(const LevelLink& link)
{
    return link.to.level > link.from.level ? std::pair{'d', 'u'} : std::pair{'u', 'd'};
}

} // namespace

LevelLinks LinksBetweenStairs(const LevelLinks& theirs, const Atlas& theirMaps)
{
    LevelLinks out;
    for (const LevelLink& link : theirs.all()) {
        const auto [leave, arrive] = stairsOf(link);
        const TMapCell* from = theirMaps.cell(link.lab, link.from.level, link.from.x, link.from.y);
        const TMapCell* to = theirMaps.cell(link.lab, link.to.level, link.to.x, link.to.y);
        if (from && to && from->Object == leave && to->Object == arrive)
            out.add(link);
    }
    return out;
}

std::size_t TakeLinks(LevelLinks& ours, const LevelLinks& theirs, const Atlas& ourMaps)
{
    const auto bears = [&](unsigned lab, const LevelCell& c, char stair) {
        const TMapCell* cell = ourMaps.cell(lab, c.level, c.x, c.y);
        return cell && (cell->Explored == 0 || cell->Object == stair);
    };
    LevelLinks taken;
    const std::vector<LevelLink>& mine = ours.all();
    for (const LevelLink& link : theirs.all()) {
        const auto [leave, arrive] = stairsOf(link);
        if (!bears(link.lab, link.from, leave) || !bears(link.lab, link.to, arrive))
            continue;
        // Ours from the same cell to the same level leads elsewhere: ours stands.
        bool contradicted = false;
        for (auto it = std::lower_bound(mine.begin(), mine.end(), LevelLink{link.lab, link.from, {-1, 0, 0}});
             it != mine.end() && it->lab == link.lab && it->from == link.from; ++it)
            contradicted = contradicted || (it->to.level == link.to.level && !(*it == link));
        if (!contradicted)
            taken.add(link); // in order: each goes at the end
    }
    return ours.addAll(taken);
}

LinksLoad LoadLinks(const std::string& folder)
{
    LinksLoad load;
    // Seven numbers a line: the most links there may be fit in well under this.
    constexpr std::size_t kMaxBytes = 4u << 20;
    const SmallFile file = readSmallRegularFile(folder + "/" + LevelLinks::kFileName, kMaxBytes);
    if (file.status == ReadStatus::Missing)
        return load;
    if (file.status != ReadStatus::Ok) {
        load.unread = true;
        load.problem = std::string(LevelLinks::kFileName) + " не прочитан (" + file.error +
                       "): связи между уровнями не загружены, файл оставлен как есть.";
        return load;
    }
    std::size_t skipped = 0;
    std::size_t over = 0;
    load.links = LevelLinks::parse(file.bytes, &skipped, &over);
    if (skipped > 0)
        load.problem = std::string(LevelLinks::kFileName) +
                       ": пропущено строк, не похожих на связь уровней: " + std::to_string(skipped) + ".";
    if (over > 0) {
        // Nothing that cannot be kept is removed: the file stays as it is.
        load.unread = true;
        load.problem += std::string(load.problem.empty() ? "" : " ") + LevelLinks::kFileName +
                        " слишком длинный: " + "прочитаны первые " + std::to_string(LevelLinks::kMaxLinks) +
                        " связей, ещё " + std::to_string(over) +
                        " не загружены; файл оставлен как есть и не перезаписывается.";
    }
    return load;
}

std::string SaveLinks(const LevelLinks& links, const std::string& folder, bool stayInFolder)
{
    const std::string text = links.text();
    const FileResult r = replaceFileContents(folder + "/" + LevelLinks::kFileName, text.data(), text.size(), 0644,
                                             ModePolicy::KeepExistingMode,
                                             stayInFolder ? LinkPolicy::StayInFolder : LinkPolicy::FollowLinks);
    return r.ok ? std::string() : r.error;
}

} // namespace veldor
