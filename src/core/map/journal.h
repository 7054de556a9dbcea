#pragma once

#include "files/safefile.h"
#include "map/atlas.h"

#include <array>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <thread>
#include <variant>
#include <vector>

namespace veldor {

// The recovery journal: every change of the atlas since the map files were last loaded or saved, appended to a
// file beside them, so that a crash loses nothing that was mapped. The map files themselves never change for it.
inline constexpr const char* kJournalFileName = "map.journal";

// The map files a journal's changes apply to: per table (Map1, Map2, Map3, MapCrd) the file's size on disk and a
// hash of the table as loaded from it.
struct JournalBase
{
    std::array<std::uint64_t, 4> sizes{};
    std::array<std::uint64_t, 4> hashes{};
    bool operator==(const JournalBase&) const = default;
};

// The base of an atlas just loaded from, or saved to, files of these sizes.
JournalBase BaseOf(const Atlas& atlas, const std::array<std::uint64_t, 4>& fileSizes);
// Sizes of the four map files of a folder (0 for a missing one).
std::array<std::uint64_t, 4> MapFileSizes(const std::string& folder);

namespace journal {
struct Patch
{
    MapTable table;
    std::uint32_t offset;
    std::string bytes;
};
// Cells of one labyrinth along its table: `count` cells `step` apart from cell number `first`, each with its own
// six bytes, or with `fill` all with the same six.
struct Cells
{
    MapTable table;
    std::uint32_t first;
    std::uint8_t step;
    std::uint32_t count;
    bool fill;
    std::string bytes;
};
struct MarkerSet : AtlasPlace
{
    std::string text; // Windows-1251; empty removes the marker
};
using Change = std::variant<Patch, Cells, MarkerSet>;
} // namespace journal

struct JournalRead
{
    // The header is whole and of a version this program knows; otherwise nothing else is filled in.
    bool usable = false;
    JournalBase base;
    std::vector<journal::Change> changes; // left empty by ReplayJournalFile
    std::size_t records = 0;
    // Distinct cells the changes touch, and when the last whole record was written (ms since the epoch).
    std::size_t cells = 0;
    std::int64_t lastChange = 0;
    // The file went on past its last whole record (a write cut short, or damage): that part was ignored.
    bool tornTail = false;
};

// Reads a journal's bytes; never fails: a damaged header gives an unusable journal, a damaged record ends it.
JournalRead ParseJournal(std::string_view bytes);
// Applies the changes onto the atlas, in order.
void ReplayJournal(const JournalRead& journal, Atlas& atlas);
// Reads the journal file at `path`, of whatever size, applying each change onto `atlas` as it comes.
struct JournalFile
{
    ReadStatus status = ReadStatus::Ok;
    std::string error; // in Russian, when the file could not be read
    JournalRead read;
};
JournalFile ReplayJournalFile(const std::string& path, Atlas& atlas);

// Keeps the journal of one working folder. The first change after a load or save starts the file; every later
// capture appends what changed; the data reaches the disk within moments (a thread of its own syncs it).
class JournalWriter
{
public:
    // A journal that could not be written is tried again after `retry`. Once the file passes `compactAt` bytes
    // (and twice its size when last written whole) it is written anew with only what differs from the files.
    explicit JournalWriter(std::string path, std::chrono::milliseconds retry = std::chrono::seconds(5),
                           std::uint64_t compactAt = std::uint64_t{64} << 20);
    ~JournalWriter();
    JournalWriter(const JournalWriter&) = delete;
    JournalWriter& operator=(const JournalWriter&) = delete;

    // The atlas as the map files now hold it: later changes are measured against it. Ends the journal (the
    // file is removed) when one was being kept.
    void rebase(const Atlas& atlas, const JournalBase& base);
    // Some map files were written, others not: the journal starts again against what the files now hold
    // (`onDisk`, read back from them), with every change the atlas still has over them. The new file replaces
    // the old one whole, so there is no moment without a journal; with nothing left unsaved it is removed.
    std::optional<std::string> restart(const Atlas& onDisk, const JournalBase& base, const Atlas& atlas);
    // The map files were just written from `atlas` (files described by `base`); the markers file still holds
    // what it held, its write perhaps still under way. The journal goes on with only what the files lack.
    std::optional<std::string> mapsSaved(const Atlas& atlas, const JournalBase& base);
    // The markers file now holds `markers`.
    std::optional<std::string> markersSaved(const Atlas::MarkerLevels& markers, const Atlas& atlas);
    // Appends what changed since the last capture in the labyrinth (0: in every labyrinth) and in the markers.
    // Returns the reason when the journal could not be created or written; it is tried again at the next change.
    std::optional<std::string> capture(const Atlas& atlas, unsigned lab);
    // The user discarded the changes: the journal is removed.
    void discard();
    // Whether a journal file is being kept.
    bool active() const { return m_fd >= 0; }
    // Waits until everything appended so far has reached the disk.
    void flush();

private:
    // Later changes are measured against `atlas`, which the files described by `base` hold.
    void measureFrom(const Atlas& atlas, const JournalBase& base);
    // The journal written anew against the files as `m_saved` holds them, or removed when the atlas holds no more.
    std::optional<std::string> startFrom(const Atlas& atlas);
    // The file written anew, replacing any other: what the atlas holds over the map files.
    std::optional<std::string> writeWhole(const Atlas& atlas);
    std::optional<std::string> open(const std::string& firstRecords);
    void close(bool remove);
    void syncLoop();

    std::string m_path;
    std::unique_ptr<Atlas> m_shadow; // the atlas as the journal has it
    std::unique_ptr<Atlas> m_saved;  // the atlas as the map files hold it
    JournalBase m_base;
    int m_fd = -1;
    std::uint64_t m_fileBytes = 0;
    std::uint64_t m_compactAt;
    std::uint64_t m_wholeBytes = 0; // the file's size when last written whole
    // A capture failed: its changes are in no file yet, so the next try looks at every labyrinth.
    bool m_needFull = false;
    std::chrono::milliseconds m_retry;
    std::chrono::steady_clock::time_point m_retryAt;

    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::condition_variable m_synced;
    std::uint64_t m_written = 0; // appends so far, and how many of them are synced
    std::uint64_t m_syncedCount = 0;
    bool m_syncing = false;
    bool m_stop = false;
    std::thread m_syncer;
};

} // namespace veldor
