#pragma once

#include "map/atlas.h"
#include "map/levellinks.h"
#include "settings/settings.h"

#include <QString>
#include <QStringList>
#include <functional>
#include <future>
#include <memory>

class QObject;
class QWidget;

namespace veldor {

class FolderLock;
class MapRecovery;
class UserPrompts;

// The working folder of one window: who may write it (the lock), what is read from it at start-up (user.dat,
// the maps, the markers, a journal left behind), what is written to it and what closing the window asks.
class WorkFolder
{
public:
    WorkFolder(QString folder, Atlas& atlas, std::shared_ptr<UserPrompts> prompts, QWidget* window);
    ~WorkFolder();
    WorkFolder(const WorkFolder&) = delete;
    WorkFolder& operator=(const WorkFolder&) = delete;

    QString folder() const { return m_folder; }
    QString path(const char* fileName) const;

    // Takes the folder for this window, asking when another window holds it or its lock is damaged; false when
    // the user chose to quit.
    bool lock();
    // Another window saves this folder's maps: this one only reads them.
    bool readOnly() const { return m_readOnly; }

    // Reads user.dat into `settings`; what was read, for the controls.
    SettingsRead loadSettings(Settings& settings);
    // Loads the maps and the markers and offers what a run that ended without saving left in the journal.
    void loadMaps();
    // Writes user.dat; false (after telling the user) when it failed. A read-only window and a user.dat that
    // could not be read leave the file as it is.
    bool saveSettings(const Settings& settings);
    // Writes the four map files, and the markers beside the window (a write of millions takes a while); false
    // (after telling the user which files and why) when a map file was not written.
    bool saveMaps();
    // Waits for the markers' write under way, if any, and tells the user when it failed.
    void finishMarkerWrite(bool tell = true);
    // Called after each save that wrote the maps (the button, or "Да" at close).
    void setOnSaved(std::function<void()> onSaved) { m_onSaved = std::move(onSaved); }
    // The atlas may have changed in this labyrinth (0: in any): the journal records it.
    void changed(unsigned lab);

    // The close question as this folder needs it; true when the window may close. `exportMaps` writes the maps
    // to another folder (read-only windows offer it).
    bool mayClose(const Settings& settings, const std::function<bool()>& exportMaps);
    // A read-only window: whether anything was mapped in it since the maps were opened.
    bool mappedSinceOpened() const;

    // The ways down and up the player has taken (links.txt), saved with the maps.
    LevelLinks& links() { return m_links; }

    // What went wrong while opening, for the start-up report; emptied by the call.
    QStringList takeProblems();

private:
    void startMarkerWrite();

    QString m_folder;
    Atlas& m_atlas;
    std::shared_ptr<UserPrompts> m_prompts;
    QWidget* m_window;
    std::unique_ptr<FolderLock> m_lock;
    std::unique_ptr<MapRecovery> m_recovery; // none while another window owns the folder
    std::unique_ptr<Atlas> m_opened;         // read-only: the maps as opened, to tell what was mapped since
    QStringList m_problems;
    bool m_readOnly = false;
    std::function<void()> m_onSaved;
    FileError m_markersUnread = FileError::None; // markers.txt is there but was not read: never replaced
    bool m_settingsUnread = false;               // likewise user.dat
    LevelLinks m_links;
    bool m_linksUnread = false;     // likewise links.txt
    std::size_t m_linksWritten = 0; // the links links.txt holds (they are only ever added)
    std::future<FileResult> m_markerWrite;
    std::uint64_t m_markerWrites = 0;
    Atlas::MarkerLevels m_markersWritten; // what the write under way puts in the file
    std::unique_ptr<QObject> m_context;   // where the write's end is told, on the window's thread
};

} // namespace veldor
