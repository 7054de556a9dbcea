#include "journal.h"

#include "map/mapfiles.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <tuple>
#include <unistd.h>
#include <unordered_set>
#include <utility>

namespace veldor {
namespace {

constexpr char kMagic[8] = {'V', 'L', 'D', 'J', 'R', 'N', 'L', '\n'};
constexpr std::uint32_t kVersion = 1;
constexpr std::size_t kHeaderSize = 8 + 4 + 4 * 16 + 4;
// No record is ever this large; a length beyond it is damage.
constexpr std::uint32_t kMaxRecord = 16u << 20;
constexpr std::uint8_t kPatch = 1;
constexpr std::uint8_t kMarker = 2;

std::uint32_t crc32(std::string_view data)
{
    static const auto table = [] {
        std::array<std::uint32_t, 256> t{};
        for (std::uint32_t i = 0; i < 256; ++i) {
            std::uint32_t c = i;
            for (int k = 0; k < 8; ++k)
                c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            t[i] = c;
        }
        return t;
    }();
    std::uint32_t c = 0xFFFFFFFFu;
    for (const char ch : data)
        c = table[(c ^ static_cast<unsigned char>(ch)) & 0xFFu] ^ (c >> 8);
    return c ^ 0xFFFFFFFFu;
}

std::uint64_t fnv1a(std::span<const std::uint8_t> bytes)
{
    std::uint64_t h = 0xcbf29ce484222325ull;
    for (const std::uint8_t b : bytes) {
        h ^= b;
        h *= 0x100000001b3ull;
    }
    return h;
}

template <class T>
void put(std::string& out, T value)
{
    for (std::size_t i = 0; i < sizeof(T); ++i)
        out += static_cast<char>((static_cast<std::uint64_t>(value) >> (8 * i)) & 0xFFu);
}

// Reads little-endian values off the front of a view; false once it runs out.
struct Reader
{
    std::string_view rest;
    template <class T>
    bool get(T& value)
    {
        if (rest.size() < sizeof(T))
            return false;
        std::uint64_t v = 0;
        for (std::size_t i = 0; i < sizeof(T); ++i)
            v |= static_cast<std::uint64_t>(static_cast<unsigned char>(rest[i])) << (8 * i);
        value = static_cast<T>(v);
        rest.remove_prefix(sizeof(T));
        return true;
    }
    bool take(std::size_t n, std::string_view& out)
    {
        if (rest.size() < n)
            return false;
        out = rest.substr(0, n);
        rest.remove_prefix(n);
        return true;
    }
};

std::int64_t nowMs()
{
    return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::system_clock::now().time_since_epoch())
        .count();
}

std::string header(const JournalBase& base)
{
    std::string out(kMagic, sizeof kMagic);
    put(out, kVersion);
    for (int t = 0; t < 4; ++t) {
        put(out, base.sizes[static_cast<std::size_t>(t)]);
        put(out, base.hashes[static_cast<std::size_t>(t)]);
    }
    put(out, crc32(out));
    return out;
}

void frame(std::string& out, const std::string& payload)
{
    put(out, static_cast<std::uint32_t>(payload.size()));
    put(out, crc32(payload));
    out += payload;
}

std::string encode(const journal::Change& change, std::int64_t time)
{
    std::string p;
    if (const auto* patch = std::get_if<journal::Patch>(&change)) {
        put(p, kPatch);
        put(p, time);
        put(p, static_cast<std::uint8_t>(patch->table));
        put(p, patch->offset);
        put(p, static_cast<std::uint32_t>(patch->bytes.size()));
        p += patch->bytes;
    } else {
        const auto& m = std::get<journal::MarkerSet>(change);
        put(p, kMarker);
        put(p, time);
        put(p, static_cast<std::uint8_t>(m.lab));
        put(p, static_cast<std::uint8_t>(m.level));
        put(p, static_cast<std::uint8_t>(m.x));
        put(p, static_cast<std::uint8_t>(m.y));
        put(p, static_cast<std::uint32_t>(m.text.size()));
        p += m.text;
    }
    std::string out;
    frame(out, p);
    return out;
}

// One record's payload, checked against the tables; nothing when it is not a change this program could have made.
std::optional<journal::Change> decode(std::string_view payload, std::int64_t& time)
{
    Reader r{payload};
    std::uint8_t kind = 0;
    if (!r.get(kind) || !r.get(time))
        return std::nullopt;
    if (kind == kPatch) {
        std::uint8_t table = 0;
        std::uint32_t offset = 0;
        std::uint32_t length = 0;
        std::string_view bytes;
        if (!r.get(table) || table > 3 || !r.get(offset) || !r.get(length) || !r.take(length, bytes) || !r.rest.empty())
            return std::nullopt;
        const auto t = static_cast<MapTable>(table);
        const std::size_t tableSize = MapFiles()[static_cast<std::size_t>(table)].size;
        if (length == 0 || std::uint64_t{offset} + length > tableSize)
            return std::nullopt;
        return journal::Patch{t, offset, std::string(bytes)};
    }
    if (kind == kMarker) {
        std::uint8_t lab = 0;
        std::uint8_t level = 0;
        std::uint8_t x = 0;
        std::uint8_t y = 0;
        std::uint32_t length = 0;
        std::string_view text;
        if (!r.get(lab) || !r.get(level) || !r.get(x) || !r.get(y) || !r.get(length) || !r.take(length, text) ||
            !r.rest.empty())
            return std::nullopt;
        if (lab < 1 || lab > kLabyrinthCount || level >= kLevelCount || x < 1 || x > kMaxMapSide || y < 1 ||
            y > kMaxMapSide)
            return std::nullopt;
        return journal::MarkerSet{lab, level, x, y, std::string(text)};
    }
    return std::nullopt;
}

MapTable tableOf(int group)
{
    return group == 1 ? MapTable::Map1 : group == 2 ? MapTable::Map2 : MapTable::Map3;
}

bool writeAll(int fd, std::string_view data)
{
    while (!data.empty()) {
        const ssize_t n = ::write(fd, data.data(), data.size());
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        data.remove_prefix(static_cast<std::size_t>(n));
    }
    return true;
}

} // namespace

JournalBase BaseOf(const Atlas& atlas, const std::array<std::uint64_t, 4>& fileSizes)
{
    JournalBase base;
    base.sizes = fileSizes;
    for (int t = 0; t < 4; ++t)
        base.hashes[static_cast<std::size_t>(t)] = fnv1a(atlas.bytes(static_cast<MapTable>(t)));
    return base;
}

std::array<std::uint64_t, 4> MapFileSizes(const std::string& folder)
{
    std::array<std::uint64_t, 4> sizes{};
    for (const MapFileInfo& file : MapFiles()) {
        std::error_code ec;
        const auto size = std::filesystem::file_size(std::filesystem::path(folder) / file.name, ec);
        sizes[static_cast<std::size_t>(file.table)] = ec ? 0 : size;
    }
    return sizes;
}

JournalRead ParseJournal(std::string_view bytes)
{
    JournalRead read;
    if (bytes.size() < kHeaderSize || bytes.substr(0, sizeof kMagic) != std::string_view(kMagic, sizeof kMagic))
        return read;
    Reader h{bytes.substr(0, kHeaderSize)};
    std::string_view skip;
    h.take(sizeof kMagic, skip);
    std::uint32_t version = 0;
    h.get(version);
    for (int t = 0; t < 4; ++t) {
        h.get(read.base.sizes[static_cast<std::size_t>(t)]);
        h.get(read.base.hashes[static_cast<std::size_t>(t)]);
    }
    std::uint32_t check = 0;
    h.get(check);
    if (version != kVersion || check != crc32(bytes.substr(0, kHeaderSize - 4)))
        return JournalRead{};
    read.usable = true;

    std::unordered_set<std::uint64_t> cells;
    Reader r{bytes.substr(kHeaderSize)};
    while (!r.rest.empty()) {
        std::uint32_t length = 0;
        std::uint32_t sum = 0;
        std::string_view payload;
        std::int64_t time = 0;
        if (!r.get(length) || length > kMaxRecord || !r.get(sum) || !r.take(length, payload) || crc32(payload) != sum) {
            read.tornTail = true;
            break;
        }
        auto change = decode(payload, time);
        if (!change) {
            read.tornTail = true;
            break;
        }
        if (const auto* patch = std::get_if<journal::Patch>(&*change); patch && patch->table != MapTable::MapCrd) {
            const std::uint64_t table = static_cast<std::uint64_t>(patch->table) << 40;
            for (std::uint64_t c = patch->offset / sizeof(TMapCell);
                 c <= (patch->offset + patch->bytes.size() - 1) / sizeof(TMapCell); ++c)
                cells.insert(table | c);
        }
        read.changes.push_back(std::move(*change));
        read.lastChange = time;
    }
    read.cells = cells.size();
    return read;
}

void ReplayJournal(const JournalRead& journal, Atlas& atlas)
{
    for (const journal::Change& change : journal.changes) {
        if (const auto* patch = std::get_if<journal::Patch>(&change)) {
            const std::span<std::uint8_t> table = atlas.bytes(patch->table);
            if (std::uint64_t{patch->offset} + patch->bytes.size() <= table.size())
                std::memcpy(table.data() + patch->offset, patch->bytes.data(), patch->bytes.size());
        } else {
            const auto& m = std::get<journal::MarkerSet>(change);
            atlas.setMarkText(m.lab, m.level, m.x, m.y, m.text);
        }
    }
}

JournalWriter::JournalWriter(std::string path, std::chrono::milliseconds retry)
    : m_path(std::move(path)), m_retry(retry), m_syncer([this] { syncLoop(); })
{}

JournalWriter::~JournalWriter()
{
    {
        std::lock_guard lock(m_mutex);
        m_stop = true;
    }
    m_wake.notify_all();
    m_syncer.join();
    if (m_fd >= 0)
        ::close(m_fd);
}

void JournalWriter::measureFrom(const Atlas& atlas, const JournalBase& base)
{
    if (!m_shadow)
        m_shadow = std::make_unique<Atlas>(atlas);
    else
        *m_shadow = atlas;
    m_shadowMarkers = atlas.markers();
    m_base = base;
    m_needFull = false;
}

void JournalWriter::rebase(const Atlas& atlas, const JournalBase& base)
{
    close(true);
    measureFrom(atlas, base);
}

std::optional<std::string> JournalWriter::restart(const Atlas& onDisk, const JournalBase& base, const Atlas& atlas)
{
    close(false); // the old file stays until the capture's new one is renamed over it
    measureFrom(onDisk, base);
    // A capture that fails leaves the old journal, against the old files; the next change tries again.
    if (auto problem = capture(atlas, 0))
        return problem;
    if (!active()) {
        std::error_code ec;
        std::filesystem::remove(m_path, ec); // nothing left unsaved
    }
    return std::nullopt;
}

void JournalWriter::discard()
{
    close(true);
    std::error_code ec;
    std::filesystem::remove(m_path, ec);
}

std::vector<journal::Change> JournalWriter::diff(const Atlas& atlas, unsigned lab) const
{
    std::vector<journal::Change> changes;
    for (unsigned l = lab == 0 ? 1 : lab; l <= (lab == 0 ? kLabyrinthCount : lab); ++l) {
        const int group = LabGroup(l);
        if (group == 0)
            continue;
        const auto n = static_cast<std::size_t>(MapSide(group));
        const auto slots = static_cast<std::size_t>(GroupSlots(group));
        const std::size_t slot = l - FirstLabOfGroup(group);
        const MapTable table = tableOf(group);
        const std::span<const std::uint8_t> now = atlas.bytes(table);
        const std::span<const std::uint8_t> was = std::as_const(*m_shadow).bytes(table);
        // The labyrinth's cells lie one in every `slots` of its group's table.
        for (std::size_t i = 0; i < n * n * kLevelCount; ++i) {
            const std::size_t at = (i * slots + slot) * sizeof(TMapCell);
            if (std::memcmp(now.data() + at, was.data() + at, sizeof(TMapCell)) != 0) {
                changes.emplace_back(
                    journal::Patch{table, static_cast<std::uint32_t>(at),
                                   std::string(reinterpret_cast<const char*>(now.data() + at), sizeof(TMapCell))});
            }
        }
        const std::span<const std::uint8_t> lists = atlas.bytes(MapTable::MapCrd);
        const std::span<const std::uint8_t> listsWas = std::as_const(*m_shadow).bytes(MapTable::MapCrd);
        for (int level = 0; level < kLevelCount; ++level) {
            const std::size_t at = ((l - 1) * kLevelCount + static_cast<std::size_t>(level)) * sizeof(TLevelLists);
            const auto* a = lists.data() + at;
            const auto* b = listsWas.data() + at;
            if (std::memcmp(a, b, sizeof(TLevelLists)) == 0)
                continue;
            std::size_t first = 0;
            while (a[first] == b[first])
                ++first;
            std::size_t last = sizeof(TLevelLists) - 1;
            while (a[last] == b[last])
                --last;
            changes.emplace_back(
                journal::Patch{MapTable::MapCrd, static_cast<std::uint32_t>(at + first),
                               std::string(reinterpret_cast<const char*>(a + first), last - first + 1)});
        }
    }
    // Markers: few, compared whole.
    const std::vector<Atlas::Marker> markers = atlas.markers();
    const auto key = [](const Atlas::Marker& m) { return std::tie(m.lab, m.level, m.x, m.y); };
    auto now = markers.begin();
    auto was = m_shadowMarkers.begin();
    while (now != markers.end() || was != m_shadowMarkers.end()) {
        if (was == m_shadowMarkers.end() || (now != markers.end() && key(*now) < key(*was))) {
            changes.emplace_back(journal::MarkerSet{now->lab, now->level, now->x, now->y, now->text});
            ++now;
        } else if (now == markers.end() || key(*was) < key(*now)) {
            changes.emplace_back(journal::MarkerSet{was->lab, was->level, was->x, was->y, {}});
            ++was;
        } else {
            if (now->text != was->text)
                changes.emplace_back(journal::MarkerSet{now->lab, now->level, now->x, now->y, now->text});
            ++now;
            ++was;
        }
    }
    return changes;
}

std::optional<std::string> JournalWriter::capture(const Atlas& atlas, unsigned lab)
{
    if (!m_shadow)
        return std::nullopt;
    const auto now = std::chrono::steady_clock::now();
    if (m_needFull) {
        // A change could not be written: it is still only in memory. Look at everything, now and then.
        if (now < m_retryAt)
            return std::nullopt;
        lab = 0;
    }
    std::vector<journal::Change> changes = diff(atlas, lab);
    if (changes.empty())
        return std::nullopt;
    std::string records;
    const std::int64_t time = nowMs();
    for (const journal::Change& change : changes)
        records += encode(change, time);

    std::optional<std::string> problem;
    if (m_fd < 0) {
        problem = open(records);
    } else if (!writeAll(m_fd, records)) {
        problem = std::strerror(errno);
    }
    if (problem) {
        m_needFull = true;
        m_retryAt = now + m_retry;
        return problem;
    }
    m_needFull = false;
    ReplayJournal(JournalRead{true, {}, std::move(changes), 0, 0, false}, *m_shadow);
    m_shadowMarkers = atlas.markers();
    {
        std::lock_guard lock(m_mutex);
        ++m_written;
    }
    m_wake.notify_all();
    return std::nullopt;
}

std::optional<std::string> JournalWriter::open(const std::string& firstRecords)
{
    // The file appears whole or not at all: written beside, synced, then renamed into place.
    const std::string fresh = m_path + ".new";
    const int fd = ::open(fresh.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0)
        return std::string(std::strerror(errno));
    if (!writeAll(fd, header(m_base) + firstRecords) || ::fdatasync(fd) != 0 ||
        ::rename(fresh.c_str(), m_path.c_str()) != 0) {
        const std::string reason = std::strerror(errno);
        ::close(fd);
        ::unlink(fresh.c_str());
        return reason;
    }
    std::lock_guard lock(m_mutex);
    m_fd = fd;
    return std::nullopt;
}

void JournalWriter::close(bool remove)
{
    std::unique_lock lock(m_mutex);
    m_synced.wait(lock, [this] { return !m_syncing; });
    if (m_fd >= 0) {
        ::close(m_fd);
        m_fd = -1;
        if (remove)
            ::unlink(m_path.c_str());
    }
    m_syncedCount = m_written;
}

void JournalWriter::flush()
{
    std::unique_lock lock(m_mutex);
    m_synced.wait(lock, [this] { return m_syncedCount >= m_written && !m_syncing; });
}

void JournalWriter::syncLoop()
{
    std::unique_lock lock(m_mutex);
    for (;;) {
        m_wake.wait(lock, [this] { return m_stop || m_syncedCount < m_written; });
        if (m_stop)
            return;
        const std::uint64_t target = m_written;
        const int fd = m_fd;
        m_syncing = true;
        lock.unlock();
        if (fd >= 0)
            ::fdatasync(fd);
        lock.lock();
        m_syncing = false;
        m_syncedCount = std::max(m_syncedCount, target);
        m_synced.notify_all();
    }
}

} // namespace veldor
