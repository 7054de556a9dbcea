#include "app/squadsync.h"

#include "buildconfig.h"
#include "map/levellinks.h"
#include "map/markerfile.h"
#include "map/merge.h"
#include "map/undo.h"
#include "text/safefile.h"
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
    };
    std::vector<Ready> ready;
};

namespace {

// What our files would hold, in brief: a write-out that would change nothing is left out.
std::uint64_t fingerprint(const Atlas& atlas)
{
    std::uint64_t hash = 1469598103934665603ULL; // FNV-1a
    const auto add = [&hash](const std::uint8_t* p, std::size_t n) {
        for (std::size_t i = 0; i < n; ++i)
            hash = (hash ^ p[i]) * 1099511628211ULL;
    };
    for (MapTable t : {MapTable::Map1, MapTable::Map2, MapTable::Map3, MapTable::MapCrd})
        add(atlas.bytes(t).data(), atlas.bytes(t).size());
    for (const Atlas::Marker& m : atlas.markers()) {
        const int where[] = {static_cast<int>(m.lab), m.level, m.x, m.y};
        add(reinterpret_cast<const std::uint8_t*>(where), sizeof where);
        add(reinterpret_cast<const std::uint8_t*>(m.text.data()), m.text.size());
    }
    return hash;
}

// The disk a folder lies on, 0 when it is not there.
std::uint64_t deviceOf(const QString& folder)
{
    struct stat st
    {
    };
    return ::stat(QFile::encodeName(folder).constData(), &st) == 0 && S_ISDIR(st.st_mode)
               ? static_cast<std::uint64_t>(st.st_dev)
               : 0;
}

QString unreachableText(const QString& folder, std::uint64_t device, std::uint64_t expected)
{
    if (device == 0)
        return QStringLiteral("общей папки %1 нет (диск отключён или папку убрали)")
            .arg(QDir::toNativeSeparators(folder));
    if (expected != 0 && device != expected)
        return QStringLiteral("папка %1 теперь на другом диске, чем прежде (диск отключён?)")
            .arg(QDir::toNativeSeparators(folder));
    return {};
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
    const QStringList refused = m_settings.value(QStringLiteral("squad/refused")).toStringList();
    m_refused = QSet<QString>(refused.begin(), refused.end());
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
    m_device = 0;
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
    return unreachableText(m_folder, deviceOf(m_folder), m_device);
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
    if (m_device == 0)
        m_device = deviceOf(m_folder);
    // Written beside the window, from a copy of the atlas as it is now.
    auto copy = std::make_shared<const Atlas>(*m_w.atlas);
    const LevelLinks links = m_w.links ? *m_w.links : LevelLinks();
    const QString folder = m_folder;
    const std::string name = m_name.toStdString();
    const std::string id = m_id.toStdString();
    const std::uint64_t before = m_written;
    const std::uint64_t device = m_device;
    QPointer<SquadSync> self(this);
    m_pool->start([self, copy, links, folder, name, id, before, device] {
        const WriteOut result = writeMember(*copy, links, folder, name, id, before, device);
        QMetaObject::invokeMethod(
            qApp,
            [self, result] {
                if (self)
                    self->wroteOut(result);
            },
            Qt::QueuedConnection);
    });
}

SquadSync::WriteOut SquadSync::writeMember(const Atlas& atlas, const LevelLinks& links, const QString& folder,
                                           const std::string& name, const std::string& id, std::uint64_t before,
                                           std::uint64_t device)
{
    WriteOut result;
    result.fingerprint = fingerprint(atlas);
    const QString dir = QDir(folder).filePath(QString::fromStdString(name));
    const std::string shared = QFile::encodeName(folder).toStdString();
    const std::string own = QFile::encodeName(dir).toStdString();
    const QString shown = QStringLiteral("«%1»").arg(QDir::toNativeSeparators(dir));
    // The shared folder is the sync engine's: never made here. Only our own folder inside it, and only a real one.
    if (const QString gone = unreachableText(folder, deviceOf(folder), device); !gone.isEmpty()) {
        result.problem = gone;
        return result;
    }
    const OwnFolder state = LookAtOwnFolder(shared, name);
    switch (state) {
    case OwnFolder::NoSharedFolder:
        result.problem = unreachableText(folder, 0, 0);
        return result;
    case OwnFolder::Link:
        result.problem = QStringLiteral("%1 — ссылка, а не папка: через неё ничего не пишется").arg(shown);
        return result;
    case OwnFolder::Other:
        result.problem = QStringLiteral("на месте папки %1 лежит файл").arg(shown);
        return result;
    case OwnFolder::Missing:
        if (::mkdir(own.c_str(), 0755) != 0) {
            result.problem = QStringLiteral("папку %1 не удалось создать: %2")
                                 .arg(shown, QString::fromStdString(describeError(errno)));
            return result;
        }
        break;
    case OwnFolder::Folder:
        break;
    }
    const SmallFile member = readSmallRegularFile(own + "/member.txt", 4096);
    result.otherId = member.status == ReadStatus::Ok && member.bytes.find("id=") != std::string::npos &&
                     member.bytes.find("id=" + id) == std::string::npos;
    if (state == OwnFolder::Folder && result.fingerprint == before && member.status == ReadStatus::Ok)
        return result; // nothing new since the last write-out
    MapFilesReport report = ExportMaps(atlas, own);
    const FileResult markers = SaveMarkers(atlas, own, LinkPolicy::StayInFolder);
    if (!markers.ok)
        report.problems.push_back({kMarkersFileName, markers.error, markers.kind});
    if (const std::string error = SaveLinks(links, own, true); !error.empty())
        report.problems.push_back({LevelLinks::kFileName, error});
    const std::string text = "name=" + name + "\nversion=" + kVersion +
                             "\nwritten=" + QDateTime::currentDateTime().toString(Qt::ISODate).toStdString() +
                             "\nid=" + id + "\n";
    const FileResult memberFile = replaceFileContents(own + "/member.txt", text.data(), text.size(), 0644,
                                                      ModePolicy::KeepExistingMode, LinkPolicy::StayInFolder);
    if (!memberFile.ok)
        report.problems.push_back({"member.txt", memberFile.error, memberFile.kind});
    if (!report.ok())
        result.problem = QString::fromStdString(report.message("в папке " + shown.toStdString() + " не записаны:"));
    return result;
}

void SquadSync::wroteOut(const WriteOut& result)
{
    m_nameTaken = result.otherId;
    if (result.otherId)
        setStatus(QStringLiteral("Отряд: имя «%1» в общей папке уже пишет другой компьютер; смените имя в "
                                 "настройках (Вид → Отряд)")
                      .arg(m_name));
    if (!result.problem.isEmpty()) {
        setStatus(QStringLiteral("Отряд: %1; попробую при следующем сохранении").arg(result.problem));
        return;
    }
    m_written = result.fingerprint;
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
        m_device = deviceOf(m_folder);
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
    QPointer<SquadSync> self(this);
    m_pool->start([self, loaded, ours, folder, cancel = m_cancel] {
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
            const MergeCounts counts = MergeAtlas(*ours, *theirs).total();
            auto change = std::make_shared<UndoHistory::Prepared>(UndoHistory::prepare(before, *ours, {}));
            loaded->ready.push_back({scan, std::move(change), counts, LoadLinks(folder + "/" + scan.name).links});
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
                m_w.links->addAll(ready.links);
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
        if (loaded->arriving)
            m_settleTimer.start();
        watch(); // new members' subfolders
    }
    if (m_rescan) {
        m_rescan = false;
        scan();
    }
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
