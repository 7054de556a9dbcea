// The journal's file format: its header, its records and how a change applies to the atlas.
#include "journalrecords.h"
#include "journal.h"

#include "files/safefile.h"
#include "map/mapfiles.h"
#include "text/hash.h"

#include <algorithm>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <functional>

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

void frame(std::string& out, const std::string& payload)
{
    put(out, static_cast<std::uint32_t>(payload.size()));
    put(out, crc32(payload));
    out += payload;
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
        return journal::MarkerSet{{lab, level, x, y}, std::string(text)};
    }
    return std::nullopt;
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

} // namespace

namespace journal {

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

std::int64_t nowMs()
{
    return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::system_clock::now().time_since_epoch())
        .count();
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

} // namespace journal

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

} // namespace veldor
