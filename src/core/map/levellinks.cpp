#include "levellinks.h"

#include "map/atlas.h"
#include "text/safefile.h"

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
    std::size_t added = 0;
    for (const LevelLink& link : other.all())
        added += add(link) ? 1 : 0;
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

LevelLinks LevelLinks::parse(const std::string& text, std::size_t* skipped)
{
    LevelLinks links;
    std::size_t bad = 0;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos)
            end = text.size();
        const char* p = text.data() + start;
        const char* const stop = text.data() + end;
        start = end + 1;
        if (p == stop || *p == '#' || (stop - p == 1 && *p == '\r'))
            continue;
        int v[7] = {};
        int read = 0;
        for (; read < 7; ++read) {
            while (p < stop && *p == ' ')
                ++p;
            const auto [next, ec] = std::from_chars(p, stop, v[read]);
            if (ec != std::errc())
                break;
            p = next;
        }
        while (p < stop && (*p == ' ' || *p == '\r'))
            ++p;
        const LevelLink link{static_cast<unsigned>(std::max(v[0], 0)), {v[1], v[2], v[3]}, {v[4], v[5], v[6]}};
        if (read != 7 || p != stop || v[0] < 1 || !links.add(link))
            ++bad;
    }
    if (skipped)
        *skipped = bad;
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
    load.links = LevelLinks::parse(file.bytes, &skipped);
    if (skipped > 0)
        load.problem = std::string(LevelLinks::kFileName) +
                       ": пропущено строк, не похожих на связь уровней: " + std::to_string(skipped) + ".";
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
