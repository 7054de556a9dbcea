#include "mapfiles.h"

#include "files/safefile.h"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace veldor {
namespace {

constexpr mode_t kMapFileMode = 0644;

std::string pathIn(const std::string& folder, const char* name)
{
    if (folder.empty())
        return name;
    return folder.back() == '/' ? folder + name : folder + "/" + name;
}

// Reads up to `size` bytes; returns the count read, or -1 with errno set.
ssize_t readUpTo(int fd, std::uint8_t* data, std::size_t size)
{
    std::size_t total = 0;
    while (total < size) {
        const ssize_t n = ::read(fd, data + total, size - total);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return -1;
        }
        if (n == 0)
            break;
        total += static_cast<std::size_t>(n);
    }
    return static_cast<ssize_t>(total);
}

} // namespace

const std::vector<MapFileInfo>& MapFiles()
{
    static const std::vector<MapFileInfo> files = {
        {MapTable::Map1, "map1.map", 550800},
        {MapTable::Map2, "map2.map", 1142400},
        {MapTable::Map3, "map3.map", 7140000},
        {MapTable::MapCrd, "map.crd", 1444660},
    };
    return files;
}

std::string MapFilesReport::message(const std::string& heading) const
{
    if (problems.empty())
        return {};
    std::string text = heading;
    for (const auto& p : problems)
        text += "\n" + p.file + ": " + p.reason;
    return text;
}

MapFilesReport LoadMaps(Atlas& atlas, const std::string& folder, bool mayWrite)
{
    MapFilesReport report;
    if (mayWrite) {
        // Temporary files of a save that was killed half-way: the map files themselves are whole either way.
        for (const auto& file : MapFiles()) {
            finishInterruptedSaves(folder, file.name);
            removeStaleTemporaries(folder, file.name);
        }
    }
    for (const auto& file : MapFiles()) {
        auto table = atlas.bytes(file.table);
        std::fill(table.begin(), table.end(), 0);
        const std::string path = pathIn(folder, file.name);
        std::string odd;
        if (isOddFile(path, &odd)) {
            // Opening a pipe would wait for a writer for ever; a save will refuse it as well.
            report.problems.push_back({file.name,
                                       odd +
                                           ": карта не загружена и не сможет сохраниться, пока это не "
                                           "убрать или не переименовать (в папке с картами должен "
                                           "быть обычный файл " +
                                           std::string(file.name) + ")",
                                       FileError::NotRegular});
            continue;
        }
        // Read-only: a map the user protected still loads, and loading can never damage the file.
        const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
        if (fd < 0) {
            struct stat link
            {
            };
            if (errno == ENOENT && ::lstat(path.c_str(), &link) == 0 && S_ISLNK(link.st_mode)) {
                report.problems.push_back({file.name,
                                           "ссылка указывает на файл, которого нет: карта не загружена и не "
                                           "сохранится, пока ссылку не исправят",
                                           FileError::Missing});
            } else if (errno == ENOENT && !mayWrite) {
                // Read-only: a missing map is an empty one, and nothing is created.
            } else if (errno == ENOENT) {
                // The next save then has a file to write, as before.
                const FileResult created = createEmptyFileIfMissing(path, kMapFileMode);
                if (!created.ok)
                    report.problems.push_back({file.name, "не удалось создать файл: " + created.error, created.kind});
            } else {
                report.problems.push_back(
                    {file.name, "не удалось открыть файл: " + describeError(errno), errorKind(errno)});
            }
            continue;
        }
        const ssize_t n = readUpTo(fd, table.data(), table.size());
        const int readError = errno;
        ::close(fd);
        if (n < 0) {
            std::fill(table.begin(), table.end(), 0);
            report.problems.push_back({file.name,
                                       "не удалось прочитать файл: " + describeError(readError) +
                                           " (файл оставлен как есть; сохранение карт заменит его пустой картой)",
                                       errorKind(readError)});
        }
    }
    return report;
}

namespace {

MapFilesReport writeTables(const Atlas& atlas, const std::string& folder, LinkPolicy links)
{
    MapFilesReport report;
    for (const auto& file : MapFiles()) {
        const auto table = atlas.bytes(file.table);
        const FileResult r = replaceFileContents(pathIn(folder, file.name), table.data(), table.size(), kMapFileMode,
                                                 ModePolicy::KeepExistingMode, links);
        if (!r.ok)
            report.problems.push_back({file.name, r.error, r.kind});
    }
    return report;
}

} // namespace

MapFilesReport SaveMaps(const Atlas& atlas, const std::string& folder)
{
    return writeTables(atlas, folder, LinkPolicy::FollowLinks);
}

MapFilesReport ExportMaps(const Atlas& atlas, const std::string& folder)
{
    return writeTables(atlas, folder, LinkPolicy::StayInFolder);
}

} // namespace veldor
