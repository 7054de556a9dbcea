// The journal's writer: what changed, appended as it comes, synced by a thread of its own.
#include "journal.h"
#include "journalrecords.h"

#include "files/safefile.h"

#include <cerrno>
#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace veldor {
namespace {

bool writeAll(int fd, std::string_view data)
{
    return WriteFully(fd, data.data(), data.size());
}

} // namespace

using journal::applyChange;
using journal::diff;
using journal::encode;
using journal::header;
using journal::nowMs;

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
