#include "app/sharing/squadsync.h"

#include "buildconfig.h"
#include "files/safefile.h"
#include "map/levellinks.h"
#include "map/markerfile.h"
#include "map/merge.h"
#include "map/undo.h"
#include "text/hash.h"
#include "ui/russian.h"

#include <QCoreApplication>
#include <QDir>
#include <QPointer>
#include <QSettings>
#include <QUuid>
#include <sys/stat.h>

namespace veldor {

// What one look at the folder found, handed from the reading thread to the window's.
struct SquadSync::Loaded
{
    struct Ready;
    std::uint64_t generation = 0;
    QString unreachable;   // why the folder cannot be read, empty when it can
    bool arriving = false; // a member's files are still coming: look again soon
    std::vector<SquadMemberScan> seen;
    std::vector<SquadMemberScan> toRead; // whole, rested and changed since they were last merged
    struct Ready
    {
        SquadMemberScan scan;
        std::shared_ptr<UndoHistory::Prepared> change; // the merge, worked out on a copy of ours
        MergeCounts counts;
        LevelLinks links;
        std::vector<AtlasPlace> markers; // where the markers taken lie
        int leftOut = 0;                 // markers left out past the group's bound
        std::vector<AtlasPlace> cells;   // where the cells taken lie
    };
    std::size_t markerRoom = 0; // how many markers the group may still bring
    QHash<QString, std::shared_ptr<const std::unordered_set<std::uint64_t>>> markersTakenFrom;
    std::vector<Ready> ready;
};

// A member's live file as the reading thread found it.
struct SquadSync::LiveFound
{
    QString name;
    SquadFileStamp stamp;
    LiveRead read;
    MemberStamp member;
};

namespace {

quint32 packPlace(const AtlasPlace& p)
{
    return (((p.lab & 31u) * 32u + (static_cast<unsigned>(p.level) & 31u)) * 128u +
            (static_cast<unsigned>(p.x) & 127u)) *
               128u +
           (static_cast<unsigned>(p.y) & 127u);
}

AtlasPlace unpackPlace(quint32 key)
{
    return {key >> 19, static_cast<int>((key >> 14) & 31u), static_cast<int>((key >> 7) & 127u),
            static_cast<int>(key & 127u)};
}

QString workFile(const QString& folder, const char* name)
{
    return QDir(folder).filePath(QString::fromLatin1(name));
}

// A member's marker as taken: its place and text.
std::uint64_t markerKey(const AtlasPlace& p, const std::string& text)
{
    const std::uint64_t place =
        ((std::uint64_t{p.lab} * 32 + std::uint64_t(p.level)) * 128 + std::uint64_t(p.x)) * 128 + std::uint64_t(p.y);
    return GroupMarkers::TextHash(text) ^ (place * 0x9E3779B97F4A7C15ULL);
}

std::int64_t newestChange(const SquadMemberScan& scan)
{
    std::int64_t newest = 0;
    for (const auto& file : scan.maps)
        newest = std::max(newest, file ? file->modifiedMs : 0);
    return newest;
}

} // namespace

SquadSync::SquadSync(Window window, QSettings& settings, const Timing& timing, QObject* parent)
    : QObject(parent), m_w(std::move(window)), m_settings(settings), m_timing(timing),
      m_started(QDateTime::currentMSecsSinceEpoch())
{
    m_showPlace = m_settings.value(QStringLiteral("squad/showPlace"), true).toBool();
    m_folder = m_settings.value(QStringLiteral("squad/folder")).toString();
    m_name = m_settings.value(QStringLiteral("squad/name")).toString();
    m_enabled = m_settings.value(QStringLiteral("squad/enabled"), false).toBool();
    m_id = m_settings.value(QStringLiteral("squad/id")).toString();
    if (m_id.isEmpty()) {
        m_id = QUuid::createUuid().toString(QUuid::WithoutBraces);
        m_settings.setValue(QStringLiteral("squad/id"), m_id);
    }
    if (m_settings.value(QStringLiteral("squad/deviceFolder")).toString() == m_folder && !m_folder.isEmpty())
        m_device = m_settings.value(QStringLiteral("squad/device"), 0).toULongLong();
    const QStringList refused = m_settings.value(QStringLiteral("squad/refused")).toStringList();
    m_refused = QSet<QString>(refused.begin(), refused.end());
    if (!m_w.workFolder.isEmpty()) {
        const SmallFile kept = readSmallRegularFile(
            QFile::encodeName(QDir(m_w.workFolder).filePath(QString::fromLatin1(GroupMarkers::kFileName)))
                .toStdString(),
            4u << 20);
        if (kept.status == ReadStatus::Ok)
            m_groupMarkers = GroupMarkers::parse(kept.bytes);
        const SmallFile cells = readSmallRegularFile(
            QFile::encodeName(workFile(m_w.workFolder, GroupCells::kFileName)).toStdString(), GroupCells::kBytes);
        if (cells.status == ReadStatus::Ok)
            m_groupCells = GroupCells::parse(cells.bytes);
    }
    m_pool = new QThreadPool;
    m_pool->setMaxThreadCount(1);
    m_livePool = new QThreadPool;
    m_livePool->setMaxThreadCount(1);
    m_liveTimer.setSingleShot(true);
    m_liveTimer.setInterval(m_timing.liveMs);
    connect(&m_liveTimer, &QTimer::timeout, this, &SquadSync::writeLive);
    m_liveLookTimer.setSingleShot(true);
    m_liveLookTimer.setInterval(m_timing.liveLookMs);
    connect(&m_liveLookTimer, &QTimer::timeout, this, &SquadSync::lookAtLiveFiles);
    // The group's cells a live file brought are kept a while later, off the walk.
    m_keepCellsTimer.setSingleShot(true);
    m_keepCellsTimer.setInterval(10000);
    connect(&m_keepCellsTimer, &QTimer::timeout, this, &SquadSync::keepGroupCells);
    m_scanTimer.setInterval(m_timing.scanMs);
    connect(&m_scanTimer, &QTimer::timeout, this, &SquadSync::scan);
    // Change events come in bursts while a sync engine writes: one look once they have settled.
    m_settleTimer.setSingleShot(true);
    m_settleTimer.setInterval(m_timing.quietMs);
    connect(&m_settleTimer, &QTimer::timeout, this, &SquadSync::scan);
    m_writeTimer.setSingleShot(true);
    m_writeTimer.setInterval(m_timing.writeOutMs);
    connect(&m_writeTimer, &QTimer::timeout, this, &SquadSync::writeOut);
    const auto changed = [this] {
        m_settleTimer.start();
        if (!m_liveLookTimer.isActive())
            m_liveLookTimer.start();
    };
    connect(&m_watcher, &QFileSystemWatcher::directoryChanged, this, changed);
    connect(&m_watcher, &QFileSystemWatcher::fileChanged, this, changed);
    if (enabled()) {
        watch();
        QTimer::singleShot(0, this, &SquadSync::scan);
        // A share new to this computer gets our folder at once: the live file goes into it.
        if (LookAtOwnFolder(QFile::encodeName(m_folder).toStdString(), m_name.toStdString()) == OwnFolder::Missing)
            QTimer::singleShot(0, this, &SquadSync::writeOut);
    }
}

SquadSync::~SquadSync()
{
    // The window closes within a second: a read still running is told to stop, and one stuck on a dead disk is
    // left to the end of the process (its result then goes nowhere).
    m_cancel->store(true);
    // An earlier keeping of the group's cells finishes first: it must not land after the last one.
    const bool liveDone = m_livePool->waitForDone(1000);
    if (m_groupCellsChanged && !m_w.workFolder.isEmpty()) {
        const std::string bytes = m_groupCells.bytes();
        replaceFileContents(QFile::encodeName(workFile(m_w.workFolder, GroupCells::kFileName)).toStdString(),
                            bytes.data(), bytes.size(), 0644);
    }
    if (liveDone)
        delete m_livePool;
    if (m_pool->waitForDone(1000))
        delete m_pool;
}

void SquadSync::configure(const QString& folder, const QString& name, bool on)
{
    m_folder = folder;
    m_name = name;
    m_enabled = on;
    m_settings.setValue(QStringLiteral("squad/folder"), folder);
    m_settings.setValue(QStringLiteral("squad/name"), name);
    m_settings.setValue(QStringLiteral("squad/enabled"), on);
    m_settings.sync();
    m_merged.clear();
    keepDevice(0);
    ++m_generation;
    m_nameTaken = false;
    if (!m_watcher.directories().isEmpty()) // another folder, or none
        m_watcher.removePaths(m_watcher.directories());
    if (!enabled()) {
        m_scanTimer.stop();
        m_writeTimer.stop();
        setStatus({});
        return;
    }
    watch();
    writeOut();
    scan();
}

QString SquadSync::ownFolder() const
{
    return QDir(m_folder).filePath(m_name);
}

QString SquadSync::folderProblem(const QString& folder) const
{
    if (folder.isEmpty() || m_w.workFolder.isEmpty())
        return {};
    return QString::fromStdString(
        SharedFolderProblem(QFile::encodeName(folder).toStdString(), QFile::encodeName(m_w.workFolder).toStdString()));
}

QString SquadSync::unreachable() const
{
    if (const QString problem = folderProblem(m_folder); !problem.isEmpty())
        return QStringLiteral("папка %1 не годится: %2").arg(QDir::toNativeSeparators(m_folder), problem);
    const std::string folder = QFile::encodeName(m_folder).toStdString();
    const std::uint64_t now = DeviceOf(folder);
    return QString::fromStdString(UnreachableText(
        folder, now, ExpectedDevice(QFile::encodeName(ownFolder()).toStdString(), m_id.toStdString(), now, m_device)));
}

void SquadSync::setTaken(const QString& name, bool taken)
{
    if (taken)
        m_refused.remove(name);
    else
        m_refused.insert(name);
    m_settings.setValue(QStringLiteral("squad/refused"), QStringList(m_refused.begin(), m_refused.end()));
    m_settings.sync();
    m_merged.remove(name); // taken again: read again
    m_liveSeen.remove(name);
    if (taken)
        scan();
}

void SquadSync::watch()
{
    // Only what is not watched yet: a look every 30 s would otherwise drop and add every path again.
    const QStringList watched = m_watcher.directories();
    QStringList paths;
    if (!watched.contains(m_folder))
        paths << m_folder;
    // The members' own folders too (a member's files change inside them), as many as the system watches
    // easily: beyond that the regular look finds them.
    constexpr qsizetype kWatchedMembers = 500;
    for (const QString& sub : QDir(m_folder).entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        const QString path = QDir(m_folder).filePath(sub);
        if (watched.size() + paths.size() > kWatchedMembers)
            break;
        if (sub != m_name && !watched.contains(path))
            paths << path;
    }
    if (!paths.isEmpty())
        m_watcher.addPaths(paths);
    if (!m_scanTimer.isActive())
        m_scanTimer.start();
}

void SquadSync::writeOut()
{
    m_writeTimer.stop();
    if (!enabled())
        return;
    if (const QString problem = unreachable(); !problem.isEmpty()) {
        setStatus(QStringLiteral("Отряд: %1; карты не записаны").arg(problem));
        return;
    }
    // Written beside the window, from a copy of the atlas as it is now, without the markers the group brought:
    // a member passes on only its own.
    auto copy = std::make_shared<Atlas>(*m_w.atlas);
    m_groupMarkers.stripFrom(*copy);
    m_groupCells.stripFrom(*copy);
    keepGroupCells();
    // What the live file carried goes out with the maps; what is gained meanwhile goes on in the live file.
    m_liveInFlight.unite(m_liveCells);
    m_liveCells.clear();
    const LevelLinks links = m_w.links ? *m_w.links : LevelLinks();
    const std::string folder = QFile::encodeName(m_folder).toStdString();
    const QDateTime now = QDateTime::currentDateTime();
    const MemberFiles member{
        m_name.toStdString(),   m_id.toStdString(), kVersion, now.toString(Qt::ISODate).toStdString(), m_started,
        now.toMSecsSinceEpoch()};
    const std::uint64_t before = m_written;
    const std::uint64_t device = m_device;
    QPointer<SquadSync> self(this);
    m_pool->start([self, copy, links, folder, member, before, device] {
        const MemberWriteOut result = WriteMemberFolder(*copy, links, folder, member, before, device);
        QMetaObject::invokeMethod(
            qApp,
            [self, result] {
                if (self)
                    self->wroteOut(result);
            },
            Qt::QueuedConnection);
    });
}

void SquadSync::wroteOut(const MemberWriteOut& result)
{
    m_nameTaken = result.otherId;
    if (result.otherId)
        setStatus(QStringLiteral("Отряд: имя «%1» в общей папке уже пишет другой компьютер; смените имя в "
                                 "настройках (кнопка «Имя в папке…» на странице «Настройки»)")
                      .arg(m_name));
    if (!result.problem.empty()) {
        m_liveCells.unite(m_liveInFlight);
        m_liveInFlight.clear();
        setStatus(
            QStringLiteral("Отряд: %1; попробую при следующем сохранении").arg(QString::fromStdString(result.problem)));
        return;
    }
    m_liveInFlight.clear();
    m_written = result.fingerprint;
    if (result.device != m_device)
        keepDevice(result.device);
    writeLive(); // the maps hold what it said: it starts afresh
}

void SquadSync::mapChanged()
{
    if (enabled() && !m_writeTimer.isActive())
        m_writeTimer.start();
}

void SquadSync::scan()
{
    if (!enabled())
        return;
    if (m_scanning) {
        m_rescan = true;
        return;
    }
    m_scanning = true;
    if (!m_liveLookTimer.isActive())
        m_liveLookTimer.start();
    const std::string folder = QFile::encodeName(m_folder).toStdString();
    const std::string own = m_name.toStdString();
    const std::int64_t quiet = m_timing.quietMs;
    auto loaded = std::make_shared<Loaded>();
    loaded->generation = m_generation;
    loaded->unreachable = unreachable();
    if (m_device == 0 && loaded->unreachable.isEmpty())
        keepDevice(DeviceOf(QFile::encodeName(m_folder).toStdString()));
    auto merged = m_merged;
    const QSet<QString> refused = m_refused;
    QPointer<SquadSync> self(this);
    m_pool->start([self, loaded, folder, own, quiet, merged, refused, cancel = m_cancel] {
        if (loaded->unreachable.isEmpty()) {
            for (SquadMemberScan& scan : ScanSquadFolder(folder, own)) {
                if (cancel->load())
                    return;
                const auto readiness = JudgeMember(scan, QDateTime::currentMSecsSinceEpoch(), quiet);
                loaded->arriving = loaded->arriving || readiness == MemberReadiness::Arriving;
                const QString name = QString::fromStdString(scan.name);
                const auto before = merged.find(name);
                if (readiness == MemberReadiness::Ready && !refused.contains(name) &&
                    (before == merged.end() || *before != scan))
                    loaded->toRead.push_back(scan);
                loaded->seen.push_back(std::move(scan));
            }
        }
        deliver(self, loaded, &SquadSync::scanned);
    });
}

void SquadSync::deliver(const QPointer<SquadSync>& self, const std::shared_ptr<Loaded>& loaded,
                        void (SquadSync::*then)(const std::shared_ptr<Loaded>&))
{
    QMetaObject::invokeMethod(
        qApp,
        [self, loaded, then] {
            if (self) // the window may have closed meanwhile
                (self->*then)(loaded);
        },
        Qt::QueuedConnection);
}

void SquadSync::scanned(const std::shared_ptr<Loaded>& loaded)
{
    if (loaded->generation != m_generation || !loaded->unreachable.isEmpty() || loaded->toRead.empty()) {
        mergeLoaded(loaded);
        return;
    }
    // The merges are worked out on a copy beside the window; the window then only takes in what changed.
    auto ours = std::make_shared<Atlas>(*m_w.atlas);
    const std::string folder = QFile::encodeName(m_folder).toStdString();
    loaded->markerRoom = m_groupMarkers.room(*m_w.atlas);
    loaded->markersTakenFrom = m_markersTakenFrom;
    QPointer<SquadSync> self(this);
    m_pool->start([self, loaded, ours, folder, cancel = m_cancel] {
        std::size_t room = loaded->markerRoom;
        for (const SquadMemberScan& scan : loaded->toRead) {
            if (cancel->load())
                return;
            auto theirs = std::make_unique<Atlas>(); // far too large for a thread's stack
            LoadOtherMaps(*theirs, folder + "/" + scan.name);
            // Files replaced while they were read are read again once they rest.
            if (ScanSquadMember(folder, scan.name) != scan) {
                loaded->arriving = true;
                continue;
            }
            const UndoHistory::Before before(*ours, 0);
            MergeOptions options;
            options.maxMarkers = static_cast<int>(std::min<std::size_t>(room, kMaxMarkersTaken));
            const auto known = loaded->markersTakenFrom.value(QString::fromStdString(scan.name));
            if (known)
                options.skipMarker = [known](const AtlasPlace& p, const std::string& text) {
                    return known->count(markerKey(p, text)) > 0;
                };
            std::vector<AtlasPlace> cells;
            options.cellTaken = [&cells](const AtlasPlace& p) { cells.push_back(p); };
            MergeResult result = MergeAtlas(*ours, *theirs, options);
            const MergeCounts counts = result.total();
            room -= std::min<std::size_t>(room, static_cast<std::size_t>(counts.markers));
            auto change = std::make_shared<UndoHistory::Prepared>(UndoHistory::prepare(before, *ours, {}));
            const int leftOut = options.maxMarkers < kMaxMarkersTaken ? counts.markersSkipped : 0;
            loaded->ready.push_back({scan, std::move(change), counts,
                                     LinksBetweenStairs(LoadLinks(folder + "/" + scan.name).links, *theirs),
                                     std::move(result.markersTaken), leftOut, std::move(cells)});
        }
        deliver(self, loaded, &SquadSync::mergeLoaded);
    });
}

void SquadSync::mergeLoaded(const std::shared_ptr<Loaded>& loaded)
{
    m_scanning = false;
    if (loaded->generation != m_generation) {
        // A look at a folder since switched off or changed: what it found belongs to no folder now.
    } else if (!loaded->unreachable.isEmpty()) {
        if (!m_unreachable)
            setStatus(QStringLiteral("Отряд: %1; Вельдор пробует снова").arg(loaded->unreachable));
        m_unreachable = true;
    } else {
        if (m_unreachable)
            setStatus({});
        m_unreachable = false;
        const std::string own = m_name.toStdString();
        for (const SquadMemberScan& scan : loaded->seen) {
            const QString name = QString::fromStdString(scan.name);
            Member& member = m_members[name];
            member.name = name;
            member.written = scan.problem.empty() ? QDateTime::fromMSecsSinceEpoch(newestChange(scan)) : QDateTime();
            member.state = QString::fromStdString(scan.problem);
            if (member.state.isEmpty() &&
                JudgeMember(scan, QDateTime::currentMSecsSinceEpoch(), m_timing.quietMs) != MemberReadiness::Ready)
                member.state = QStringLiteral("файлы ещё приходят");
            member.taken = !m_refused.contains(name);
            member.looksLikeOurs = NamesLookAlike(scan.name, own);
        }
        MergeCounts gained;
        QStringList from;
        bool markersTaken = false;
        for (Loaded::Ready& ready : loaded->ready) {
            const QString name = QString::fromStdString(ready.scan.name);
            m_merged[name] = ready.scan;
            Member& member = m_members[name];
            member.cellsSkipped = ready.counts.cellsSkipped;
            member.markersCut += ready.counts.markersCut;
            member.markersSkipped += ready.counts.markersSkipped;
            if (m_refused.contains(name) || !UndoHistory::takeIn(*ready.change, *m_w.atlas))
                continue;
            if (m_w.links)
                TakeLinks(*m_w.links, ready.links, *m_w.atlas);
            for (const AtlasPlace& p : ready.cells)
                m_groupCells.add(p);
            m_groupCellsChanged = m_groupCellsChanged || !ready.cells.empty();
            m_groupMarkersLeftOut += ready.leftOut;
            if (!ready.markers.empty()) {
                auto known = std::make_shared<std::unordered_set<std::uint64_t>>();
                if (const auto before = m_markersTakenFrom.value(name))
                    *known = *before;
                for (const AtlasPlace& p : ready.markers) {
                    const std::string text = m_w.atlas->markText(p.lab, p.level, p.x, p.y);
                    m_groupMarkers.add(p, text);
                    known->insert(markerKey(p, text));
                }
                m_markersTakenFrom[name] = std::move(known);
                markersTaken = true;
            }
            member.cells += ready.counts.cells;
            member.entries += ready.counts.entries;
            gained.cells += ready.counts.cells;
            gained.entries += ready.counts.entries;
            from << name;
        }
        if (!from.isEmpty()) {
            QString what = cellCount(gained.cells);
            if (gained.entries > 0)
                what += QStringLiteral(" и ") + entryCount(gained.entries);
            setStatus(QStringLiteral("Отряд: +%1 от %2, %3")
                          .arg(what, from.join(QStringLiteral(", ")),
                               QTime::currentTime().toString(QStringLiteral("HH:mm"))));
            if (m_w.atlasChanged)
                m_w.atlasChanged();
        }
        if (markersTaken)
            keepGroupMarkers();
        if (m_groupCellsChanged)
            m_keepCellsTimer.start();
        if (loaded->arriving)
            m_settleTimer.start();
        watch(); // new members' subfolders
    }
    if (m_rescan) {
        m_rescan = false;
        scan();
    }
}

void SquadSync::keepDevice(std::uint64_t device)
{
    m_device = device;
    m_settings.setValue(QStringLiteral("squad/device"), QVariant::fromValue<qulonglong>(device));
    m_settings.setValue(QStringLiteral("squad/deviceFolder"), m_folder);
    m_settings.sync();
}

void SquadSync::keepGroupMarkers() const
{
    if (m_w.workFolder.isEmpty())
        return;
    const std::string text = m_groupMarkers.text();
    replaceFileContents(
        QFile::encodeName(QDir(m_w.workFolder).filePath(QString::fromLatin1(GroupMarkers::kFileName))).toStdString(),
        text.data(), text.size(), 0644);
}

QList<SquadSync::Member> SquadSync::members() const
{
    return m_members.values();
}

void SquadSync::setStatus(const QString& line)
{
    if (line == m_status)
        return;
    m_status = line;
    emit statusChanged(line);
}

void SquadSync::setShowsPlace(bool on)
{
    m_showPlace = on;
    m_settings.setValue(QStringLiteral("squad/showPlace"), on);
    m_settings.sync();
    writeLive(); // off: the place we wrote goes at once
}

void SquadSync::ownCell(const AtlasPlace& place)
{
    if (m_groupCells.fromGroup(place)) {
        m_groupCells.own(place);
        m_groupCellsChanged = true;
    }
    if (!enabled())
        return;
    m_liveCells.insert(packPlace(place));
    // At once when the last one went long enough ago, else as soon as it may: a step waits at most that long.
    if (!m_liveTimer.isActive())
        m_liveTimer.start(static_cast<int>(std::clamp<qint64>(
            m_liveWrittenMs + m_timing.liveMs - QDateTime::currentMSecsSinceEpoch(), 0, m_timing.liveMs)));
}

void SquadSync::playerAt(const AtlasPlace& place, bool stair)
{
    if (place != m_place) {
        m_place = place;
        m_placeMs = QDateTime::currentMSecsSinceEpoch();
    }
    ownCell(place);
    if (stair && enabled())
        writeLive();
}

void SquadSync::writeLive()
{
    m_liveTimer.stop();
    if (!enabled() || m_device == 0)
        return; // our folder is made, and the disk known, by the first full write-out
    LiveFile live;
    live.startedMs = m_started;
    live.writtenMs = m_liveWrittenMs = QDateTime::currentMSecsSinceEpoch();
    live.sequence = ++m_liveSequence;
    if (m_showPlace && m_place.lab != 0) {
        live.place = m_place;
        live.placeMs = m_placeMs;
    }
    const Atlas& atlas = *m_w.atlas;
    QSet<quint32> gained = m_liveCells;
    gained.unite(m_liveInFlight);
    for (const quint32 key : std::as_const(gained)) {
        const AtlasPlace p = unpackPlace(key);
        const TMapCell* cell = atlas.cell(p.lab, p.level, p.x, p.y);
        if (!cell || cell->Explored == 0 || m_groupCells.fromGroup(p))
            continue;
        live.cells.push_back({p, *cell});
        if (std::string text = atlas.markText(p.lab, p.level, p.x, p.y);
            !text.empty() && !m_groupMarkers.fromGroup(atlas, p))
            live.markers.push_back({p, std::move(text)});
    }
    if (m_w.links)
        for (const LevelLink& link : m_w.links->all())
            if (gained.contains(packPlace({link.lab, link.from.level, link.from.x, link.from.y})))
                live.links.push_back(link);
    std::string bytes = WriteLiveFile(live);
    if (bytes.size() > LiveFile::kMaxBytes) {
        writeOut(); // the full maps carry it, and the live file starts afresh
        return;
    }
    m_livePool->start([bytes = std::move(bytes), folder = QFile::encodeName(m_folder).toStdString(),
                       name = m_name.toStdString(), device = m_device] {
        // A live file that did not go out is followed by the next one; the full write-out reports problems.
        WriteLiveFileIn(folder, name, bytes, device);
    });
}

void SquadSync::lookAtLiveFiles()
{
    if (!enabled())
        return;
    if (m_liveLooking) {
        m_liveRelook = true;
        return;
    }
    m_liveLooking = true;
    const std::string folder = QFile::encodeName(m_folder).toStdString();
    auto found = std::make_shared<std::vector<LiveFound>>();
    QPointer<SquadSync> self(this);
    m_livePool->start([self, found, folder, own = m_name.toStdString(), seen = m_liveSeen, cancel = m_cancel] {
        for (const SquadMemberScan& scan : ScanSquadFolder(folder, own)) {
            const QString name = QString::fromStdString(scan.name);
            if (cancel->load())
                return;
            const std::string member = folder + "/" + scan.name + "/";
            struct stat st = {};
            if (::lstat((member + LiveFile::kFileName).c_str(), &st) != 0 || !S_ISREG(st.st_mode))
                continue;
            const SquadFileStamp stamp{static_cast<std::uint64_t>(st.st_size),
                                       std::int64_t{st.st_mtim.tv_sec} * 1000 + st.st_mtim.tv_nsec / 1000000};
            if (seen.value(name) == stamp)
                continue;
            LiveFound live{name, stamp, {}, {}};
            const SmallFile bytes = readSmallRegularFile(member + LiveFile::kFileName, LiveFile::kMaxBytes + 64);
            live.read =
                bytes.status == ReadStatus::Ok ? ReadLiveFile(bytes.bytes) : LiveRead{LiveStatus::TooLarge, {}, 0};
            if (const SmallFile stampFile = readSmallRegularFile(member + "member.txt", 4096);
                stampFile.status == ReadStatus::Ok)
                live.member = ReadMemberStamp(stampFile.bytes);
            found->push_back(std::move(live));
        }
        QMetaObject::invokeMethod(
            qApp,
            [self, found] {
                if (self)
                    self->liveFilesRead(found);
            },
            Qt::QueuedConnection);
    });
}

void SquadSync::liveFilesRead(const std::shared_ptr<std::vector<LiveFound>>& found)
{
    m_liveLooking = false;
    const qint64 now = QDateTime::currentMSecsSinceEpoch();
    MergeCounts gained;
    QStringList from;
    bool moved = false;
    bool markersTaken = false;
    for (LiveFound& f : *found) {
        if (f.read.status == LiveStatus::Incomplete) {
            m_liveLookTimer.start(); // the rest is on its way
            continue;
        }
        m_liveSeen[f.name] = f.stamp;
        const LiveFile& live = f.read.live;
        if (f.read.status != LiveStatus::Ok || !LiveIsCurrent(live, f.member))
            continue;
        const auto last = m_liveTaken.find(f.name);
        if (last != m_liveTaken.end() && std::make_pair(live.startedMs, live.sequence) <= *last)
            continue; // a file of this run taken already, or of an earlier one
        const bool refused = m_refused.contains(f.name);
        if (!refused)
            m_liveTaken[f.name] = {live.startedMs, live.sequence};
        Member& member = m_members[f.name];
        member.name = f.name;
        const AtlasPlace place = live.place.value_or(AtlasPlace{});
        // Our clock, not theirs: how long before writing the file they stood there.
        const qint64 at = place.lab == 0 ? 0 : now - std::clamp<qint64>(live.writtenMs - live.placeMs, 0, 3600000);
        if (place != member.place || (place.lab != 0 && member.placeAtMs == 0)) {
            member.place = place;
            member.placeAtMs = at;
            moved = true;
        }
        if (refused)
            continue; // where they stand is shown, what they mapped stays out
        LiveTakeOptions options;
        // Working out the room looks at every marker the group brought: only for a file that brings markers.
        if (!live.markers.empty())
            options.markerRoom = std::min<std::size_t>(m_groupMarkers.room(*m_w.atlas), kMaxMarkersTaken);
        if (const auto known = m_markersTakenFrom.value(f.name))
            options.skipMarker = [known](const AtlasPlace& p, const std::string& text) {
                return known->count(markerKey(p, text)) > 0;
            };
        LevelLinks none;
        const LiveTake taken = TakeLiveFile(*m_w.atlas, m_w.links ? *m_w.links : none, live, options);
        for (const AtlasPlace& p : taken.cellsTaken)
            m_groupCells.add(p);
        m_groupCellsChanged = m_groupCellsChanged || !taken.cellsTaken.empty();
        if (!taken.markersTaken.empty()) {
            auto known = std::make_shared<std::unordered_set<std::uint64_t>>();
            if (const auto before = m_markersTakenFrom.value(f.name))
                *known = *before;
            for (const AtlasPlace& p : taken.markersTaken) {
                const std::string text = m_w.atlas->markText(p.lab, p.level, p.x, p.y);
                m_groupMarkers.add(p, text);
                known->insert(markerKey(p, text));
            }
            m_markersTakenFrom[f.name] = std::move(known);
            markersTaken = true;
        }
        member.cells += taken.cells;
        member.entries += taken.entries;
        member.cellsSkipped += taken.cellsSkipped;
        if (taken.cells + taken.entries + taken.markers + taken.links > 0) {
            gained.cells += taken.cells;
            gained.entries += taken.entries;
            from << f.name;
        }
    }
    if (!from.isEmpty()) {
        QString what = cellCount(gained.cells);
        if (gained.entries > 0)
            what += QStringLiteral(" и ") + entryCount(gained.entries);
        setStatus(
            QStringLiteral("Отряд: +%1 от %2, %3")
                .arg(what, from.join(QStringLiteral(", ")), QTime::currentTime().toString(QStringLiteral("HH:mm"))));
        if (m_w.atlasChanged)
            m_w.atlasChanged();
    }
    if (markersTaken)
        keepGroupMarkers();
    if (m_groupCellsChanged && !m_keepCellsTimer.isActive())
        m_keepCellsTimer.start();
    if (moved)
        emit placesChanged();
    if (m_liveRelook) {
        m_liveRelook = false;
        lookAtLiveFiles();
    }
}

void SquadSync::keepGroupCells()
{
    if (!m_groupCellsChanged || m_w.workFolder.isEmpty())
        return;
    m_groupCellsChanged = false;
    m_livePool->start([bytes = m_groupCells.bytes(),
                       path = QFile::encodeName(workFile(m_w.workFolder, GroupCells::kFileName)).toStdString()] {
        replaceFileContents(path, bytes.data(), bytes.size(), 0644);
    });
}

} // namespace veldor
