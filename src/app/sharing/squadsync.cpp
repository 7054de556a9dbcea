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
    };
    std::size_t markerRoom = 0; // how many markers the group may still bring
    QHash<QString, std::shared_ptr<const std::unordered_set<std::uint64_t>>> markersTakenFrom;
    std::vector<Ready> ready;
};

namespace {

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

SquadSync::SquadSync(Window window, QSettings& settings, Timing timing, QObject* parent)
    : QObject(parent), m_w(std::move(window)), m_settings(settings), m_timing(timing)
{
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
    }
    m_pool = new QThreadPool;
    m_pool->setMaxThreadCount(1);
    m_scanTimer.setInterval(m_timing.scanMs);
    connect(&m_scanTimer, &QTimer::timeout, this, &SquadSync::scan);
    // Change events come in bursts while a sync engine writes: one look once they have settled.
    m_settleTimer.setSingleShot(true);
    m_settleTimer.setInterval(m_timing.quietMs);
    connect(&m_settleTimer, &QTimer::timeout, this, &SquadSync::scan);
    m_writeTimer.setSingleShot(true);
    m_writeTimer.setInterval(m_timing.writeOutMs);
    connect(&m_writeTimer, &QTimer::timeout, this, &SquadSync::writeOut);
    const auto changed = [this] { m_settleTimer.start(); };
    connect(&m_watcher, &QFileSystemWatcher::directoryChanged, this, changed);
    connect(&m_watcher, &QFileSystemWatcher::fileChanged, this, changed);
    if (enabled()) {
        watch();
        QTimer::singleShot(0, this, &SquadSync::scan);
    }
}

SquadSync::~SquadSync()
{
    // The window closes within a second: a read still running is told to stop, and one stuck on a dead disk is
    // left to the end of the process (its result then goes nowhere).
    m_cancel->store(true);
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
    const LevelLinks links = m_w.links ? *m_w.links : LevelLinks();
    const std::string folder = QFile::encodeName(m_folder).toStdString();
    const MemberFiles member{m_name.toStdString(), m_id.toStdString(), kVersion,
                             QDateTime::currentDateTime().toString(Qt::ISODate).toStdString()};
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
        setStatus(
            QStringLiteral("Отряд: %1; попробую при следующем сохранении").arg(QString::fromStdString(result.problem)));
        return;
    }
    m_written = result.fingerprint;
    if (result.device != m_device)
        keepDevice(result.device);
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
            MergeResult result = MergeAtlas(*ours, *theirs, options);
            const MergeCounts counts = result.total();
            room -= std::min<std::size_t>(room, static_cast<std::size_t>(counts.markers));
            auto change = std::make_shared<UndoHistory::Prepared>(UndoHistory::prepare(before, *ours, {}));
            const int leftOut = options.maxMarkers < kMaxMarkersTaken ? counts.markersSkipped : 0;
            loaded->ready.push_back({scan, std::move(change), counts,
                                     LinksBetweenStairs(LoadLinks(folder + "/" + scan.name).links, *theirs),
                                     std::move(result.markersTaken), leftOut});
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

} // namespace veldor
