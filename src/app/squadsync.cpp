#include "app/squadsync.h"

#include "app/mapedits.h"
#include "buildconfig.h"
#include "map/markerfile.h"
#include "map/merge.h"
#include "map/undo.h"
#include "text/safefile.h"
#include "ui/russian.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QPointer>
#include <QSettings>
#include <QUuid>

namespace veldor {

// What one look at the folder found, handed from the reading thread to the window's.
struct SquadSync::Loaded
{
    bool unreachable = false;
    bool arriving = false; // a member's files are still coming: look again soon
    std::vector<SquadMemberScan> seen;
    std::vector<SquadMemberScan> toRead; // whole, rested and changed since they were last merged
    struct Ready
    {
        SquadMemberScan scan;
        std::shared_ptr<UndoHistory::Prepared> change; // the merge, worked out on a copy of ours
        MergeCounts counts;
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
    m_pool.setMaxThreadCount(1);
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
    // A read still running finishes (its result then goes nowhere) before the pool goes.
    m_pool.waitForDone();
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

void SquadSync::watch()
{
    // Only what is not watched yet: a look every 30 s would otherwise drop and add every path again.
    const QStringList watched = m_watcher.directories();
    QStringList paths;
    if (!watched.contains(m_folder))
        paths << m_folder;
    for (const QString& sub : QDir(m_folder).entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        const QString path = QDir(m_folder).filePath(sub);
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
    // Written beside the window, from a copy of the atlas as it is now.
    auto copy = std::make_shared<const Atlas>(*m_w.atlas);
    const QString dir = ownFolder();
    const std::string name = m_name.toStdString();
    const std::string id = m_id.toStdString();
    const std::uint64_t before = m_written;
    QPointer<SquadSync> self(this);
    m_pool.start([self, copy, dir, name, id, before] {
        const WriteOut result = writeMember(*copy, dir, name, id, before);
        QMetaObject::invokeMethod(
            qApp,
            [self, result] {
                if (self)
                    self->wroteOut(result);
            },
            Qt::QueuedConnection);
    });
}

SquadSync::WriteOut SquadSync::writeMember(const Atlas& atlas, const QString& dir, const std::string& name,
                                           const std::string& id, std::uint64_t before)
{
    WriteOut result;
    result.fingerprint = fingerprint(atlas);
    const std::string folder = dir.toStdString();
    if (result.fingerprint == before && QFileInfo::exists(dir + QStringLiteral("/member.txt")))
        return result; // nothing new since the last write-out
    if (!QDir().mkpath(dir)) {
        result.unreachable = true;
        return result;
    }
    const SmallFile member = readSmallRegularFile(folder + "/member.txt", 4096);
    result.otherId = member.status == ReadStatus::Ok && member.bytes.find("id=") != std::string::npos &&
                     member.bytes.find("id=" + id) == std::string::npos;
    const MapFilesReport report = ExportMaps(atlas, folder);
    const FileResult markers = SaveMarkers(atlas, folder, LinkPolicy::StayInFolder);
    const std::string text = "name=" + name + "\nversion=" + kVersion +
                             "\nwritten=" + QDateTime::currentDateTime().toString(Qt::ISODate).toStdString() +
                             "\nid=" + id + "\n";
    const FileResult memberFile = replaceFileContents(folder + "/member.txt", text.data(), text.size(), 0644,
                                                      ModePolicy::KeepExistingMode, LinkPolicy::StayInFolder);
    result.ok = report.ok() && markers.ok && memberFile.ok;
    return result;
}

void SquadSync::wroteOut(const WriteOut& result)
{
    if (result.unreachable) {
        setStatus(
            QStringLiteral("Отряд: папка %1 недоступна, карты не записаны").arg(QDir::toNativeSeparators(m_folder)));
        return;
    }
    if (result.otherId && !m_nameTaken) {
        m_nameTaken = true;
        setStatus(QStringLiteral("Имя «%1» в общей папке уже пишет другой компьютер").arg(m_name));
    }
    if (result.ok)
        m_written = result.fingerprint;
    else
        setStatus(QStringLiteral("Отряд: не все карты записаны в общую папку; попробую при следующем сохранении"));
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
    const std::string folder = m_folder.toStdString();
    const std::string own = m_name.toStdString();
    const std::int64_t quiet = m_timing.quietMs;
    auto merged = m_merged;
    QPointer<SquadSync> self(this);
    m_pool.start([self, folder, own, quiet, merged] {
        auto loaded = std::make_shared<Loaded>();
        loaded->unreachable = !QDir(QString::fromStdString(folder)).exists();
        for (SquadMemberScan& scan : ScanSquadFolder(folder, own)) {
            const auto readiness = JudgeMember(scan, QDateTime::currentMSecsSinceEpoch(), quiet);
            loaded->arriving = loaded->arriving || readiness == MemberReadiness::Arriving;
            loaded->seen.push_back(scan);
            const auto before = merged.find(QString::fromStdString(scan.name));
            if (readiness == MemberReadiness::Ready && (before == merged.end() || *before != scan))
                loaded->toRead.push_back(scan);
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
    if (loaded->unreachable || loaded->toRead.empty()) {
        mergeLoaded(loaded);
        return;
    }
    // The merges are worked out on a copy beside the window; the window then only applies what changed.
    auto ours = std::make_shared<Atlas>(*m_w.atlas);
    const std::string folder = m_folder.toStdString();
    const std::string own = m_name.toStdString();
    QPointer<SquadSync> self(this);
    m_pool.start([self, loaded, ours, folder, own] {
        for (const SquadMemberScan& scan : loaded->toRead) {
            auto theirs = std::make_unique<Atlas>(); // far too large for a thread's stack
            LoadOtherMaps(*theirs, folder + "/" + scan.name);
            // Files replaced while they were read are read again once they rest.
            const auto after = ScanSquadFolder(folder, own);
            if (std::none_of(after.begin(), after.end(), [&](const auto& s) { return s == scan; })) {
                loaded->arriving = true;
                continue;
            }
            const UndoHistory::Before before(*ours, 0);
            const MergeCounts counts = MergeAtlas(*ours, *theirs).total();
            const QString name =
                QStringLiteral("объединение с картами отряда: %1").arg(QString::fromStdString(scan.name));
            auto change =
                std::make_shared<UndoHistory::Prepared>(UndoHistory::prepare(before, *ours, name.toStdString()));
            loaded->ready.push_back({scan, std::move(change), counts});
        }
        deliver(self, loaded, &SquadSync::mergeLoaded);
    });
}

void SquadSync::mergeLoaded(const std::shared_ptr<Loaded>& loaded)
{
    m_scanning = false;
    if (loaded->unreachable) {
        if (!m_unreachable)
            setStatus(QStringLiteral("Отряд: общая папка %1 недоступна, Вельдор пробует снова")
                          .arg(QDir::toNativeSeparators(m_folder)));
        m_unreachable = true;
    } else {
        if (m_unreachable)
            setStatus({});
        m_unreachable = false;
        for (const SquadMemberScan& scan : loaded->seen) {
            Member& member = m_members[QString::fromStdString(scan.name)];
            member.name = QString::fromStdString(scan.name);
            member.written = QDateTime::fromMSecsSinceEpoch(newestChange(scan));
        }
        bool changed = false;
        for (Loaded::Ready& ready : loaded->ready) {
            const QString name = QString::fromStdString(ready.scan.name);
            m_merged[name] = ready.scan;
            m_members[name].cells += ready.counts.cells;
            m_members[name].markersCut += ready.counts.markersCut;
            m_members[name].markersSkipped += ready.counts.markersSkipped;
            if (m_w.edits->apply(std::move(*ready.change))) {
                changed = true;
                setStatus(QStringLiteral("Отряд: +%1 от %2, %3")
                              .arg(cellCount(ready.counts.cells), name,
                                   QTime::currentTime().toString(QStringLiteral("HH:mm"))));
            }
        }
        if (changed && m_w.atlasChanged)
            m_w.atlasChanged();
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
