#pragma once

#include "map/groupcells.h"
#include "map/groupmarkers.h"
#include "map/livefile.h"
#include "map/squad.h"

#include <QDateTime>
#include <QFileSystemWatcher>
#include <QHash>
#include <QMap>
#include <QObject>
#include <QPointer>
#include <QSet>
#include <QString>
#include <QThreadPool>
#include <QTimer>
#include <atomic>
#include <functional>
#include <memory>
#include <unordered_set>

class QSettings;

namespace veldor {

class Atlas;
class LevelLinks;

// A group's shared folder, kept in step by whatever sync engine the players run: our atlas and markers go into
// `<folder>/<name>/` (each file whole or not at all; the shared folder itself is never made, and nothing is
// written through a link), and every other member's subfolder whose four map files are whole and have rested is
// read off the window's thread and taken in where our atlas knows nothing, outside the player's undo history.
// Between those full write-outs our live file says within seconds what we mapped and where we stand, and the
// others' live files are read the moment they change. Only our own mapping goes out (not what the group brought).
// Nothing of another member's is ever written. The folder, the switch, the name, the members whose maps are not
// taken, whether our place is shown and this installation's id are kept in the program's own settings file.
class SquadSync : public QObject
{
    Q_OBJECT
public:
    struct Window
    {
        Atlas* atlas = nullptr;
        // Cells of any labyrinth came in.
        std::function<void()> atlasChanged;
        QString workFolder; // never the shared folder, nor inside or around it
        // Where the ways down and up lead: ours go out with the maps, the members' are taken in.
        LevelLinks* links = nullptr;
    };
    struct Timing
    {
        int scanMs = 30000;      // a look at the folder even without change events
        int quietMs = 2000;      // a member's files must have rested this long
        int writeOutMs = 300000; // our changes go out at the latest after this
        int liveMs = 2000;       // our live file at most this often while we walk
        int liveLookMs = 100;    // the others' live files read this long after a change in the folder
    };

    SquadSync(Window window, QSettings& settings, const Timing& timing, QObject* parent = nullptr);
    SquadSync(Window window, QSettings& settings, QObject* parent = nullptr)
        : SquadSync(std::move(window), settings, Timing{}, parent)
    {}
    ~SquadSync() override;

    QString folder() const { return m_folder; }
    QString name() const { return m_name; }
    bool enabled() const { return m_enabled && !m_folder.isEmpty() && ValidMemberName(m_name.toStdString()); }
    // The shared folder on (with our name in it) or off; kept in the settings file. On: written and read at once.
    void configure(const QString& folder, const QString& name, bool on);
    // Why the folder cannot be the shared folder (the working folder, inside it, around it); empty when it can.
    QString folderProblem(const QString& folder) const;

    // Our maps into the folder now (after "Сохранить карту" and "Да" at close).
    void writeOut();
    // The map changed: it goes out within the write-out interval.
    void mapChanged();
    // The others' subfolders read now (also on a change in the folder and every scan interval).
    void scan();

    // The player stands there now; `stair`: a way down or up was just taken (the live file goes at once).
    void playerAt(const AtlasPlace& place, bool stair);
    // The player walked or marked the cell: it is theirs, and goes out in the live file.
    void ownCell(const AtlasPlace& place);
    // «Показывать отряду, где я»: off, no place is written (the cells still are).
    bool showsPlace() const { return m_showPlace; }
    void setShowsPlace(bool on);
    // The others' live files read now.
    void lookAtLiveFiles();

    struct Member
    {
        QString name;
        QDateTime written; // when its maps last changed (invalid while one is missing or odd)
        QString state;     // what keeps its maps from being read, in Russian; empty when read
        int cells = 0;     // cells it brought this session
        int entries = 0;
        int cellsSkipped = 0;   // junk cells left out
        int markersCut = 0;     // of its markers, cut to their first characters
        int markersSkipped = 0; // left out, past the bound of one merge
        bool taken = true;      // its maps are taken in (the player may refuse them)
        bool looksLikeOurs = false;
        // Where it last stood, as its live file said, and when by our clock (0: not known).
        AtlasPlace place;
        qint64 placeAtMs = 0;
    };
    QList<Member> members() const;
    // Take a member's maps in, or never again (kept in the settings file).
    void setTaken(const QString& name, bool taken);
    // Another computer writes under our name: said until one of our write-outs finds our own id again.
    bool nameTaken() const { return m_nameTaken; }
    // The group's markers left out this session because the group as a whole brought as many as are kept.
    int groupMarkersLeftOut() const { return m_groupMarkersLeftOut; }
    // "Отряд: +12 клеток от Alpha, 21:05", or what keeps the folder from being used; empty when off.
    QString statusLine() const { return m_status; }

signals:
    void statusChanged(const QString& line);
    // A member's place changed (or is no longer shown).
    void placesChanged();

private:
    struct Loaded;
    void wroteOut(const MemberWriteOut& result);
    // Hands what the reading thread found to the window's thread.
    static void deliver(const QPointer<SquadSync>& self, const std::shared_ptr<Loaded>& loaded,
                        void (SquadSync::*then)(const std::shared_ptr<Loaded>&));
    // The look found members to read: they are read and merged into a copy of ours beside the window.
    void scanned(const std::shared_ptr<Loaded>& loaded);
    void mergeLoaded(const std::shared_ptr<Loaded>& loaded);
    void setStatus(const QString& line);
    void watch();
    QString ownFolder() const;
    // Why the folder cannot be read or written now (missing, on another disk than before); empty when it can.
    QString unreachable() const;

    Window m_w;
    QSettings& m_settings;
    Timing m_timing;
    QString m_folder;
    QString m_name;
    bool m_enabled = false;
    QString m_id;
    QString m_status;
    std::uint64_t m_written = 0; // what our files hold, in brief
    bool m_scanning = false;
    bool m_rescan = false;
    bool m_unreachable = false; // said once until the folder is back
    bool m_nameTaken = false;
    // The disk the shared folder was on when last written (0: not yet), kept in the settings file: a share not
    // mounted after a restart is a bare folder on another disk, and nothing is written there.
    std::uint64_t m_device = 0;
    void keepDevice(std::uint64_t device);
    std::uint64_t m_generation = 0; // a look started under another folder or switch is dropped
    QSet<QString> m_refused;        // members whose maps are not taken
    std::shared_ptr<std::atomic<bool>> m_cancel = std::make_shared<std::atomic<bool>>(false);
    QMap<QString, SquadMemberScan> m_merged; // the files as last merged, by member
    QMap<QString, Member> m_members;
    GroupMarkers m_groupMarkers; // the markers the group brought: never written out as ours
    // Of each member, the markers (place and text) taken once: not taken again, however often the member changes.
    QHash<QString, std::shared_ptr<const std::unordered_set<std::uint64_t>>> m_markersTakenFrom;
    int m_groupMarkersLeftOut = 0;
    void keepGroupMarkers() const;
    // Our live file now, from what we gained since the last full write-out.
    void writeLive();
    struct LiveFound;
    void liveFilesRead(const std::shared_ptr<std::vector<LiveFound>>& found);
    void keepGroupCells();
    GroupCells m_groupCells; // the cells the group brought: never written out as ours
    bool m_groupCellsChanged = false;
    qint64 m_started = 0; // this run's start, for the readers of our live file
    bool m_showPlace = true;
    AtlasPlace m_place;
    qint64 m_placeMs = 0;
    std::uint64_t m_liveSequence = 0;
    qint64 m_liveWrittenMs = 0;   // when our live file last went out
    QSet<quint32> m_liveCells;    // our cells gained since the last full write-out
    QSet<quint32> m_liveInFlight; // those the write-out under way carries
    bool m_liveLooking = false;
    bool m_liveRelook = false;
    QHash<QString, SquadFileStamp> m_liveSeen; // each member's live file as last read
    // Of each member, the run and the file of it last taken.
    QHash<QString, std::pair<std::int64_t, std::uint64_t>> m_liveTaken;
    QTimer m_liveTimer;
    QTimer m_liveLookTimer;
    QTimer m_keepCellsTimer;
    QThreadPool* m_livePool; // the live files, beside the full reads and writes
    QFileSystemWatcher m_watcher;
    QTimer m_scanTimer;
    QTimer m_settleTimer;
    QTimer m_writeTimer;
    QThreadPool* m_pool; // one read at a time, off the window's thread; left behind at close if stuck
};

} // namespace veldor
