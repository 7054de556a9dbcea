#include "map/squad.h"

#include "map/mapfiles.h"

#include <algorithm>
#include <dirent.h>
#include <sys/stat.h>

namespace veldor {
namespace {

bool endsWith(std::string_view s, std::string_view tail)
{
    return s.size() >= tail.size() && s.substr(s.size() - tail.size()) == tail;
}

std::string lower(std::string_view s)
{
    std::string out(s);
    std::transform(out.begin(), out.end(), out.begin(), [](unsigned char c) {
        return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : static_cast<char>(c);
    });
    return out;
}

std::optional<SquadFileStamp> stamp(const std::string& path)
{
    struct stat st
    {
    };
    if (::lstat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode))
        return std::nullopt;
    return SquadFileStamp{static_cast<std::uint64_t>(st.st_size),
                          static_cast<std::int64_t>(st.st_mtim.tv_sec) * 1000 + st.st_mtim.tv_nsec / 1000000};
}

} // namespace

bool ValidMemberName(std::string_view utf8)
{
    if (utf8.empty() || utf8.size() > 32 * 4)
        return false;
    int chars = 0;
    for (std::size_t i = 0; i < utf8.size(); ++chars) {
        const auto c = static_cast<unsigned char>(utf8[i]);
        if (c < 0x80) {
            const bool ok =
                (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' || c == '_';
            if (!ok)
                return false;
            ++i;
            continue;
        }
        // Letters of other alphabets: a whole two-byte sequence of Latin-1, Greek, Cyrillic and the like.
        if (c < 0xC3 || c > 0xD4 || i + 1 >= utf8.size() || (static_cast<unsigned char>(utf8[i + 1]) & 0xC0) != 0x80)
            return false;
        i += 2;
    }
    return chars <= 32;
}

bool IsSyncTemporary(std::string_view name)
{
    const std::string n = lower(name);
    return n.starts_with(".syncthing.") || n.starts_with("~syncthing~") || n.starts_with("~") ||
           n.find(".sync-conflict-") != std::string::npos || n.find("conflicted copy") != std::string::npos ||
           endsWith(n, ".part") || endsWith(n, ".tmp") || endsWith(n, ".partial") || n.starts_with(".~") ||
           n.find(".~") != std::string::npos;
}

MemberReadiness JudgeMember(const SquadMemberScan& scan, std::int64_t nowMs, std::int64_t quietMs)
{
    const auto& files = MapFiles();
    bool whole = true;
    for (std::size_t i = 0; i < scan.maps.size(); ++i) {
        if (!scan.maps[i])
            return MemberReadiness::Absent;
        whole = whole && scan.maps[i]->size == files[i].size;
        // A file modified in the future (a clock ahead) counts as just changed.
        if (nowMs - scan.maps[i]->modifiedMs < quietMs)
            whole = false;
    }
    return whole ? MemberReadiness::Ready : MemberReadiness::Arriving;
}

std::vector<SquadMemberScan> ScanSquadFolder(const std::string& folder, std::string_view own)
{
    std::vector<SquadMemberScan> members;
    DIR* dir = ::opendir(folder.c_str());
    if (dir == nullptr)
        return members;
    while (const dirent* entry = ::readdir(dir)) {
        const std::string name = entry->d_name;
        if (name == own || !ValidMemberName(name) || IsSyncTemporary(name))
            continue;
        std::string path = folder;
        path += '/';
        path += name;
        struct stat st
        {
        };
        if (::lstat(path.c_str(), &st) != 0 || !S_ISDIR(st.st_mode))
            continue;
        SquadMemberScan scan{name, {}};
        const auto& files = MapFiles();
        for (std::size_t i = 0; i < files.size(); ++i)
            scan.maps[i] = stamp(path + "/" + files[i].name);
        members.push_back(std::move(scan));
    }
    ::closedir(dir);
    std::sort(members.begin(), members.end(),
              [](const SquadMemberScan& a, const SquadMemberScan& b) { return a.name < b.name; });
    return members;
}

} // namespace veldor
