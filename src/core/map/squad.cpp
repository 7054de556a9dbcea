#include "map/squad.h"

#include "files/safefile.h"
#include "map/atlas.h"
#include "map/levellinks.h"
#include "map/livefile.h"
#include "map/mapfiles.h"
#include "map/markerfile.h"
#include "text/hash.h"

#include <algorithm>
#include <dirent.h>
#include <filesystem>
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

std::optional<SquadFileStamp> stamp(const std::string& path, const MapFileInfo& file, std::string& problem)
{
    struct stat st
    {
    };
    const auto tell = [&](std::string what) {
        if (problem.empty())
            problem = std::string(file.name) + ": " + std::move(what);
    };
    if (::lstat(path.c_str(), &st) != 0) {
        tell("нет файла");
        return std::nullopt;
    }
    if (!S_ISREG(st.st_mode)) {
        tell(S_ISLNK(st.st_mode) ? "ссылка, а не файл" : "не обычный файл");
        return std::nullopt;
    }
    if (static_cast<std::size_t>(st.st_size) != file.size)
        tell("размер " + std::to_string(st.st_size) + " байт, а не " + std::to_string(file.size));
    return SquadFileStamp{static_cast<std::uint64_t>(st.st_size),
                          static_cast<std::int64_t>(st.st_mtim.tv_sec) * 1000 + st.st_mtim.tv_nsec / 1000000};
}

// The alphabet of a letter: 1 Latin, 2 Greek, 3 Cyrillic; 0 for anything else.
int scriptOf(char32_t c)
{
    if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= 0xC0 && c < 0x250 && c != 0xD7 && c != 0xF7))
        return 1;
    if (c >= 0x386 && c < 0x400 && c != 0x387)
        return 2;
    if (c >= 0x400 && c < 0x530)
        return 3;
    return 0;
}

// The name's characters; empty when it is not UTF-8 of at most two bytes a character.
std::u32string decode(std::string_view utf8)
{
    std::u32string out;
    for (std::size_t i = 0; i < utf8.size();) {
        const auto c = static_cast<unsigned char>(utf8[i]);
        if (c < 0x80) {
            out += c;
            ++i;
        } else if (c >= 0xC2 && c < 0xE0 && i + 1 < utf8.size() &&
                   (static_cast<unsigned char>(utf8[i + 1]) & 0xC0) == 0x80) {
            out += static_cast<char32_t>(((c & 0x1F) << 6) | (static_cast<unsigned char>(utf8[i + 1]) & 0x3F));
            i += 2;
        } else {
            return {};
        }
    }
    return out;
}

// Letters that look like Latin ones, as the Latin ones, in lower case.
std::u32string skeleton(std::string_view utf8)
{
    static const std::u32string from = U"АВЕКМНОРСТХУавекмнорстхуіјѕІЈЅΑΒΕΖΗΙΚΜΝΟΡΤΥΧοικνρτυχ";
    static const std::u32string to = U"abekmhopctxyabekmhopctxyijsijsabezhikmnoptyxoiknptux";
    std::u32string out = decode(utf8);
    for (char32_t& c : out) {
        if (const auto at = from.find(c); at != std::u32string::npos)
            c = to[at];
        else if (c >= 'A' && c <= 'Z')
            c += 32;
    }
    return out;
}

bool sameOrInside(const std::filesystem::path& inner, const std::filesystem::path& outer)
{
    auto i = inner.begin();
    for (auto o = outer.begin(); o != outer.end(); ++o, ++i) {
        if (o->empty())
            continue;
        if (i == inner.end() || *i != *o)
            return false;
    }
    return true;
}

} // namespace

bool ValidMemberName(std::string_view utf8)
{
    const std::u32string name = decode(utf8);
    if (name.empty() || name.size() > 32)
        return false;
    int script = 0;
    for (const char32_t c : name) {
        const int s = scriptOf(c);
        const bool sign = (c >= '0' && c <= '9') || c == '-' || c == '_';
        if ((s == 0 && !sign) || (s != 0 && script != 0 && s != script))
            return false;
        if (s != 0)
            script = s;
    }
    return true;
}

bool NamesLookAlike(std::string_view a, std::string_view b)
{
    return a != b && !decode(a).empty() && skeleton(a) == skeleton(b);
}

std::string SharedFolderProblem(const std::string& shared, const std::string& work)
{
    std::error_code ec;
    const auto a = std::filesystem::weakly_canonical(shared, ec);
    const auto b = std::filesystem::weakly_canonical(work, ec);
    if (ec)
        return {};
    if (a == b)
        return "это рабочая папка Вельдора, где лежат ваши карты: общей папкой отряда она быть не может";
    if (sameOrInside(a, b))
        return "она лежит в рабочей папке Вельдора: выберите папку вне неё";
    if (sameOrInside(b, a))
        return "в ней лежит рабочая папка Вельдора: выберите папку, которая не содержит ваших карт";
    return {};
}

OwnFolder LookAtOwnFolder(const std::string& shared, const std::string& name)
{
    struct stat st
    {
    };
    if (::stat(shared.c_str(), &st) != 0 || !S_ISDIR(st.st_mode))
        return OwnFolder::NoSharedFolder;
    if (::lstat((shared + "/" + name).c_str(), &st) != 0)
        return OwnFolder::Missing;
    if (S_ISLNK(st.st_mode))
        return OwnFolder::Link;
    return S_ISDIR(st.st_mode) ? OwnFolder::Folder : OwnFolder::Other;
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
        members.push_back(ScanSquadMember(folder, name));
    }
    ::closedir(dir);
    std::sort(members.begin(), members.end(),
              [](const SquadMemberScan& a, const SquadMemberScan& b) { return a.name < b.name; });
    return members;
}

SquadMemberScan ScanSquadMember(const std::string& folder, const std::string& name)
{
    SquadMemberScan scan{name, {}, {}};
    std::string path = folder;
    path += '/';
    path += name;
    path += '/';
    const std::size_t dir = path.size();
    const auto& files = MapFiles();
    for (std::size_t i = 0; i < files.size(); ++i) {
        path.resize(dir);
        path += files[i].name;
        scan.maps[i] = stamp(path, files[i], scan.problem);
    }
    return scan;
}

std::uint64_t DeviceOf(const std::string& folder)
{
    struct stat st
    {
    };
    return ::stat(folder.c_str(), &st) == 0 && S_ISDIR(st.st_mode) ? static_cast<std::uint64_t>(st.st_dev) : 0;
}

std::uint64_t ExpectedDevice(const std::string& own, const std::string& id, std::uint64_t now, std::uint64_t before)
{
    if (now == 0 || before == 0 || now == before)
        return before;
    const SmallFile mine = readSmallRegularFile(own + "/member.txt", 4096);
    return mine.status == ReadStatus::Ok && mine.bytes.find("\nid=" + id + "\n") != std::string::npos ? now : before;
}

std::string UnreachableText(const std::string& folder, std::uint64_t device, std::uint64_t expected)
{
    if (device == 0)
        return "общей папки " + folder + " нет (диск отключён или папку убрали)";
    if (expected != 0 && device != expected)
        return "папка " + folder + " теперь на другом диске, чем прежде (диск отключён?)";
    return {};
}

std::uint64_t AtlasFingerprint(const Atlas& atlas)
{
    std::uint64_t hash = kFnvOffsetBasis;
    const auto add = [&hash](const void* p, std::size_t n) { hash = Fnv1a(p, n, hash); };
    for (MapTable t : {MapTable::Map1, MapTable::Map2, MapTable::Map3, MapTable::MapCrd})
        add(atlas.bytes(t).data(), atlas.bytes(t).size());
    for (const Atlas::Marker& m : atlas.markers()) {
        const int where[] = {static_cast<int>(m.lab), m.level, m.x, m.y};
        add(where, sizeof where);
        add(m.text.data(), m.text.size());
    }
    return hash;
}

std::string WriteLiveFileIn(const std::string& shared, const std::string& name, const std::string& bytes,
                            std::uint64_t device)
{
    const std::uint64_t now = DeviceOf(shared);
    if (device != 0 && now != device)
        return UnreachableText(shared, now, device);
    if (LookAtOwnFolder(shared, name) != OwnFolder::Folder)
        return "своей папки в общей папке ещё нет";
    FileResult opened;
    const FolderHandle folder = FolderHandle::open(shared, name, false, &opened);
    if (!folder.isOpen())
        return opened.error;
    const FileResult r = replaceFileIn(folder, LiveFile::kFileName, bytes.data(), bytes.size(), 0644);
    return r.ok ? std::string() : r.error;
}

MemberWriteOut WriteMemberFolder(const Atlas& atlas, const LevelLinks& links, const std::string& shared,
                                 const MemberFiles& member, std::uint64_t before, std::uint64_t device)
{
    MemberWriteOut result;
    result.fingerprint = AtlasFingerprint(atlas);
    const std::string own = shared + "/" + member.name;
    const std::string shown = "«" + own + "»";
    // The shared folder is the sync engine's: never made here. Only our own folder inside it, and only a real one.
    // On another disk than before it is the same share only when our own files there say so (mounted anew).
    const std::uint64_t now = DeviceOf(shared);
    result.device = now;
    if (std::string gone = UnreachableText(shared, now, ExpectedDevice(own, member.id, now, device)); !gone.empty()) {
        result.problem = std::move(gone);
        return result;
    }
    const OwnFolder state = LookAtOwnFolder(shared, member.name);
    switch (state) {
    case OwnFolder::NoSharedFolder:
        result.problem = UnreachableText(shared, 0, 0);
        return result;
    case OwnFolder::Link:
        result.problem = shown + " — ссылка, а не папка: через неё ничего не пишется";
        return result;
    case OwnFolder::Other:
        result.problem = "на месте папки " + shown + " лежит файл";
        return result;
    case OwnFolder::Missing:
    case OwnFolder::Folder:
        break;
    }
    // Every write goes through a handle of our folder opened without following links: a link swapped in for it
    // meanwhile leads nothing elsewhere.
    FileResult opened;
    const FolderHandle folder = FolderHandle::open(shared, member.name, state == OwnFolder::Missing, &opened);
    if (!folder.isOpen()) {
        result.problem = "папка " + shown + " не открыта: " + opened.error;
        return result;
    }
    removeTemporariesIn(folder);
    const SmallFile written = readSmallRegularFile(own + "/member.txt", 4096);
    result.otherId = written.status == ReadStatus::Ok && written.bytes.find("id=") != std::string::npos &&
                     written.bytes.find("id=" + member.id) == std::string::npos;
    if (state == OwnFolder::Folder && result.fingerprint == before && written.status == ReadStatus::Ok &&
        !result.otherId)
        return result; // nothing new since the last write-out
    MapFilesReport report;
    const auto put = [&](const std::string& file, const void* data, std::size_t size) {
        if (const FileResult r = replaceFileIn(folder, file, data, size, 0644); !r.ok)
            report.problems.push_back({file, r.error, r.kind});
    };
    for (const MapFileInfo& file : MapFiles())
        put(file.name, atlas.bytes(file.table).data(), atlas.bytes(file.table).size());
    const std::string markers = SerializeMarkers(atlas);
    put(kMarkersFileName, markers.data(), markers.size());
    const std::string linksText = links.text();
    put(LevelLinks::kFileName, linksText.data(), linksText.size());
    const std::string text = "name=" + member.name + "\nversion=" + member.version + "\nwritten=" + member.writtenAt +
                             "\nid=" + member.id + "\nstartedMs=" + std::to_string(member.startedMs) +
                             "\nwrittenMs=" + std::to_string(member.writtenMs) + "\nlive=1\n";
    put("member.txt", text.data(), text.size());
    if (!report.ok())
        result.problem = report.message("в папке " + shown + " не записаны:");
    return result;
}

} // namespace veldor
