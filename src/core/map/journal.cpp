#include "journal.h"

#include "map/mapfiles.h"
#include "text/hash.h"
#include "text/safefile.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <functional>
#include <sys/stat.h>
#include <unistd.h>
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
constexpr std::uint8_t kCells = 3;
// Cells that hold the same bytes in a row go into one record from this many on.
constexpr std::size_t kFillFrom = 4;
// Cells of their own per record, well within a record's limit.
constexpr std::size_t kCellsPerRecord = std::size_t{1} << 20;

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
    return Fnv1a(bytes.data(), bytes.size());
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
    } else if (const auto* cells = std::get_if<journal::Cells>(&change)) {
        put(p, kCells);
        put(p, time);
        put(p, static_cast<std::uint8_t>(cells->table));
        put(p, cells->first);
        put(p, cells->step);
        put(p, cells->count);
        put(p, static_cast<std::uint8_t>(cells->fill));
        p += cells->bytes;
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
    if (kind == kCells) {
        std::uint8_t table = 0;
        std::uint32_t first = 0;
        std::uint8_t step = 0;
        std::uint32_t count = 0;
        std::uint8_t fill = 0;
        if (!r.get(table) || table > 2 || !r.get(first) || !r.get(step) || !r.get(count) || !r.get(fill) || fill > 1 ||
            step < 1 || step > 7 || count == 0)
            return std::nullopt;
        const std::uint64_t cellsInTable = MapFiles()[table].size / sizeof(TMapCell);
        const std::uint64_t length = fill ? sizeof(TMapCell) : std::uint64_t{count} * sizeof(TMapCell);
        if (first + std::uint64_t{count - 1} * step >= cellsInTable || r.rest.size() != length)
            return std::nullopt;
        return journal::Cells{static_cast<MapTable>(table), first, step, count, fill != 0, std::string(r.rest)};
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

bool writeAll(int fd, std::string_view data)
{
    while (!data.empty()) {
        const ssize_t n = ::write(fd, data.data(), data.size());
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        if (n == 0) { // nothing written and no error: it would loop for ever
            errno = EIO;
            return false;
        }
        data.remove_prefix(static_cast<std::size_t>(n));
    }
    return true;
}

// Reads a journal as its bytes come, in pieces of any size: the header, then one whole record at a time.
class Parser
{
public:
    explicit Parser(std::function<void(journal::Change&&)> onChange) : m_onChange(std::move(onChange)) {}

    // False once nothing more can be read: a damaged header or record.
    bool feed(std::string_view piece)
    {
        if (m_stopped)
            return false;
        m_pending.append(piece);
        std::string_view rest = m_pending;
        if (!m_headerRead) {
            if (rest.size() < kHeaderSize)
                return keep(rest);
            if (!readHeader(rest.substr(0, kHeaderSize)))
                return stop();
            m_headerRead = true;
            rest.remove_prefix(kHeaderSize);
        }
        for (;;) {
            Reader r{rest};
            std::uint32_t length = 0;
            std::uint32_t sum = 0;
            if (!r.get(length) || !r.get(sum))
                return keep(rest);
            if (length > kMaxRecord)
                return stop();
            std::string_view payload;
            if (!r.take(length, payload))
                return keep(rest);
            std::int64_t time = 0;
            auto change = crc32(payload) == sum ? decode(payload, time) : std::nullopt;
            if (!change)
                return stop();
            count(*change);
            m_read.lastChange = time;
            ++m_read.records;
            m_onChange(std::move(*change));
            rest = r.rest;
        }
    }

    JournalRead finish()
    {
        if (!m_headerRead)
            return JournalRead{};
        m_read.tornTail = m_read.tornTail || !m_pending.empty();
        m_read.cells = 0;
        for (const auto& touched : m_touched)
            m_read.cells += static_cast<std::size_t>(std::count(touched.begin(), touched.end(), true));
        return std::move(m_read);
    }

private:
    bool keep(std::string_view rest)
    {
        m_pending.erase(0, m_pending.size() - rest.size());
        return true;
    }
    bool stop()
    {
        m_stopped = true;
        m_read.tornTail = m_headerRead;
        m_pending.clear();
        return false;
    }
    bool readHeader(std::string_view bytes)
    {
        if (bytes.substr(0, sizeof kMagic) != std::string_view(kMagic, sizeof kMagic))
            return false;
        Reader h{bytes.substr(sizeof kMagic)};
        std::uint32_t version = 0;
        h.get(version);
        for (int t = 0; t < 4; ++t) {
            h.get(m_read.base.sizes[static_cast<std::size_t>(t)]);
            h.get(m_read.base.hashes[static_cast<std::size_t>(t)]);
        }
        std::uint32_t check = 0;
        h.get(check);
        if (version != kVersion || check != crc32(bytes.substr(0, kHeaderSize - 4)))
            return false;
        m_read.usable = true;
        return true;
    }
    // The distinct cells the changes touch.
    void count(const journal::Change& change)
    {
        const auto mark = [this](MapTable table, std::size_t cell) {
            auto& touched = m_touched[static_cast<std::size_t>(table)];
            if (touched.empty())
                touched.resize(MapFiles()[static_cast<std::size_t>(table)].size / sizeof(TMapCell));
            touched[cell] = true;
        };
        if (const auto* patch = std::get_if<journal::Patch>(&change); patch && patch->table != MapTable::MapCrd) {
            for (std::size_t c = patch->offset / sizeof(TMapCell);
                 c <= (patch->offset + patch->bytes.size() - 1) / sizeof(TMapCell); ++c)
                mark(patch->table, c);
        } else if (const auto* cells = std::get_if<journal::Cells>(&change)) {
            for (std::size_t k = 0; k < cells->count; ++k)
                mark(cells->table, cells->first + k * cells->step);
        }
    }

    std::function<void(journal::Change&&)> m_onChange;
    JournalRead m_read;
    std::string m_pending;
    bool m_headerRead = false;
    bool m_stopped = false;
    std::array<std::vector<bool>, 3> m_touched;
};

// Changed cells of one labyrinth, given in the labyrinth's order, written as few records as they allow: a row of
// cells holding the same bytes as one filled record, the others with their own bytes.
class CellRecorder
{
public:
    CellRecorder(const Atlas::CellRun& run, std::vector<journal::Change>& out) : m_run(run), m_out(out) {}
    ~CellRecorder() { flush(); }
    CellRecorder(const CellRecorder&) = delete;
    CellRecorder& operator=(const CellRecorder&) = delete;

    void add(std::size_t k, const TMapCell& cell)
    {
        if (!m_row.empty() && k != m_start + m_row.size())
            flush();
        if (m_row.empty())
            m_start = k;
        m_row.push_back(cell);
    }

private:
    static bool same(const TMapCell& a, const TMapCell& b) { return std::memcmp(&a, &b, sizeof a) == 0; }
    void emit(std::size_t from, std::size_t count, bool fill)
    {
        while (count > 0) {
            const std::size_t n = fill ? count : std::min(count, kCellsPerRecord);
            m_out.emplace_back(journal::Cells{
                m_run.table, static_cast<std::uint32_t>(m_run.first + (m_start + from) * m_run.step),
                static_cast<std::uint8_t>(m_run.step), static_cast<std::uint32_t>(n), fill,
                std::string(reinterpret_cast<const char*>(&m_row[from]), (fill ? 1 : n) * sizeof(TMapCell))});
            from += n;
            count -= n;
        }
    }
    void flush()
    {
        std::size_t own = 0; // where the cells with bytes of their own began
        for (std::size_t i = 0; i < m_row.size();) {
            std::size_t j = i + 1;
            while (j < m_row.size() && same(m_row[j], m_row[i]))
                ++j;
            if (j - i >= kFillFrom) {
                emit(own, i - own, false);
                emit(i, j - i, true);
                own = j;
            }
            i = j;
        }
        emit(own, m_row.size() - own, false);
        m_row.clear();
    }

    Atlas::CellRun m_run;
    std::vector<journal::Change>& m_out;
    std::size_t m_start = 0;
    std::vector<TMapCell> m_row;
};

// What differs between two versions of the atlas: cells and lists of one labyrinth (0: of all), every marker.
std::vector<journal::Change> diff(const Atlas& was, const Atlas& now, unsigned lab)
{
    std::vector<journal::Change> changes;
    for (unsigned l = lab == 0 ? 1 : lab; l <= (lab == 0 ? kLabyrinthCount : lab); ++l) {
        const Atlas::CellRun run = Atlas::labCells(l);
        if (run.count == 0)
            continue;
        {
            const auto* a = reinterpret_cast<const TMapCell*>(now.bytes(run.table).data());
            const auto* b = reinterpret_cast<const TMapCell*>(was.bytes(run.table).data());
            CellRecorder cells(run, changes);
            for (std::size_t k = 0; k < run.count; ++k) {
                const std::size_t at = run.first + k * run.step;
                if (std::memcmp(&a[at], &b[at], sizeof(TMapCell)) != 0)
                    cells.add(k, a[at]);
            }
        }
        const std::span<const std::uint8_t> lists = now.bytes(MapTable::MapCrd);
        const std::span<const std::uint8_t> listsWas = was.bytes(MapTable::MapCrd);
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
    // Markers: levels that still share theirs are the same.
    for (unsigned l = 1; l <= kLabyrinthCount; ++l)
        for (int level = 0; level < kLevelCount; ++level)
            DiffMarkers(
                was.levelMarkers(l, level), now.levelMarkers(l, level),
                [&](std::uint16_t spot, const std::string&, const std::string& text) {
                    changes.emplace_back(journal::MarkerSet{l, level, Atlas::SpotX(spot), Atlas::SpotY(spot), text});
                });
    return changes;
}

void applyChange(const journal::Change& change, Atlas& atlas)
{
    if (const auto* patch = std::get_if<journal::Patch>(&change)) {
        const std::span<std::uint8_t> table = atlas.bytes(patch->table);
        if (std::uint64_t{patch->offset} + patch->bytes.size() <= table.size())
            std::memcpy(table.data() + patch->offset, patch->bytes.data(), patch->bytes.size());
    } else if (const auto* cells = std::get_if<journal::Cells>(&change)) {
        const std::span<std::uint8_t> table = atlas.bytes(cells->table);
        const std::size_t last = (cells->first + std::size_t{cells->count - 1} * cells->step + 1) * sizeof(TMapCell);
        if (cells->count == 0 || last > table.size())
            return;
        for (std::size_t k = 0; k < cells->count; ++k)
            std::memcpy(table.data() + (cells->first + k * cells->step) * sizeof(TMapCell),
                        cells->bytes.data() + (cells->fill ? 0 : k * sizeof(TMapCell)), sizeof(TMapCell));
    } else {
        const auto& m = std::get<journal::MarkerSet>(change);
        atlas.setMarkText(m.lab, m.level, m.x, m.y, m.text);
    }
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
    Parser parser([&read](journal::Change&& change) { read.changes.push_back(std::move(change)); });
    parser.feed(bytes);
    std::vector<journal::Change> changes = std::move(read.changes);
    read = parser.finish();
    read.changes = std::move(changes);
    return read;
}

void ReplayJournal(const JournalRead& journal, Atlas& atlas)
{
    for (const journal::Change& change : journal.changes)
        applyChange(change, atlas);
}

JournalFile ReplayJournalFile(const std::string& path, Atlas& atlas)
{
    JournalFile file;
    Parser parser([&atlas](journal::Change&& change) { applyChange(change, atlas); });
    const StreamedFile streamed =
        readRegularFileInPieces(path, [&parser](std::string_view piece) { return parser.feed(piece); });
    file.status = streamed.status;
    file.error = streamed.error;
    file.read = parser.finish();
    return file;
}

JournalWriter::JournalWriter(std::string path, std::chrono::milliseconds retry, std::uint64_t compactAt)
    : m_path(std::move(path)), m_compactAt(compactAt), m_retry(retry), m_syncer([this] { syncLoop(); })
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
    for (auto* copy : {&m_shadow, &m_saved}) {
        if (!*copy)
            *copy = std::make_unique<Atlas>(atlas);
        else
            **copy = atlas;
    }
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
    measureFrom(onDisk, base);
    return startFrom(atlas);
}

std::optional<std::string> JournalWriter::mapsSaved(const Atlas& atlas, const JournalBase& base)
{
    const Atlas::MarkerLevels markersOnDisk = m_saved ? m_saved->markerLevels() : Atlas::MarkerLevels{};
    measureFrom(atlas, base);
    m_saved->setMarkerLevels(markersOnDisk);
    return startFrom(atlas);
}

std::optional<std::string> JournalWriter::markersSaved(const Atlas::MarkerLevels& markers, const Atlas& atlas)
{
    if (!m_saved)
        return std::nullopt;
    m_saved->setMarkerLevels(markers);
    return startFrom(atlas);
}

std::optional<std::string> JournalWriter::startFrom(const Atlas& atlas)
{
    close(false); // the old file stays until the capture's new one is renamed over it
    *m_shadow = *m_saved;
    m_needFull = false;
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
    std::vector<journal::Change> changes = diff(*m_shadow, atlas, lab);
    if (changes.empty())
        return std::nullopt;
    // A new file, or one grown with changes undone and redone: written whole with what differs from the files.
    const bool whole = m_fd < 0 || m_fileBytes > std::max(m_compactAt, 2 * m_wholeBytes);
    std::optional<std::string> problem;
    if (whole) {
        problem = writeWhole(atlas);
    } else {
        std::string records;
        const std::int64_t time = nowMs();
        for (const journal::Change& change : changes)
            records += encode(change, time);
        if (!writeAll(m_fd, records))
            problem = describeError(errno);
        else
            m_fileBytes += records.size();
    }
    if (problem) {
        m_needFull = true;
        m_retryAt = now + m_retry;
        return problem;
    }
    m_needFull = false;
    if (whole) {
        *m_shadow = atlas;
    } else {
        for (const journal::Change& change : changes)
            if (!std::holds_alternative<journal::MarkerSet>(change))
                applyChange(change, *m_shadow);
        m_shadow->setMarkerLevels(atlas.markerLevels());
    }
    {
        std::lock_guard lock(m_mutex);
        ++m_written;
    }
    m_wake.notify_all();
    return std::nullopt;
}

std::optional<std::string> JournalWriter::writeWhole(const Atlas& atlas)
{
    std::string records;
    const std::int64_t time = nowMs();
    for (const journal::Change& change : diff(*m_saved, atlas, 0))
        records += encode(change, time);
    close(false); // the old file stays until the new one is renamed over it
    return open(records);
}

std::optional<std::string> JournalWriter::open(const std::string& firstRecords)
{
    // The file appears whole or not at all: written beside, synced, then renamed into place.
    const std::string fresh = m_path + ".new";
    const int fd = ::open(fresh.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0)
        return describeError(errno);
    const std::string whole = header(m_base) + firstRecords;
    if (!writeAll(fd, whole) || ::fdatasync(fd) != 0 || ::rename(fresh.c_str(), m_path.c_str()) != 0) {
        const std::string reason = describeError(errno);
        ::close(fd);
        ::unlink(fresh.c_str());
        return reason;
    }
    m_fileBytes = whole.size();
    m_wholeBytes = whole.size();
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
