#pragma once

#include "map/atlas.h"

#include <QString>
#include <QStringList>
#include <memory>
#include <string>

class QWidget;

namespace veldor {

class JournalWriter;
class UserPrompts;

// The window's side of the recovery journal: at start-up it offers what a run that ended without saving left
// behind, then journals every change until the maps are saved or the changes discarded.
class MapRecovery
{
public:
    MapRecovery(Atlas& atlas, QString folder, std::shared_ptr<UserPrompts> prompts, QWidget* window);
    ~MapRecovery();

    // After the maps are loaded: asks about a journal left behind, replays it on "Да", and starts journaling.
    // Returns what went wrong, for the start-up report.
    QStringList start();
    // The atlas may have changed in this labyrinth (0: in any).
    void changed(unsigned lab);
    // All four map files were written: the journal keeps only the markers' changes, until they are written too.
    void saved();
    // The markers file now holds these.
    void markersSaved(const Atlas::MarkerLevels& markers);
    // A save wrote some files and not others: the journal goes on against the files as they now are, so that
    // the next start finds it matching them.
    void savedPartly();
    // The user chose not to save: the journal goes too.
    void discarded();

private:
    QString journalPath() const;
    // Puts the journal (or a copy) aside as map.journal.damaged; returns that name.
    QString setAside(bool copy) const;
    // Says once per run that the journal cannot be kept, after the tick or command that found it.
    void tell(const std::string& problem);

    Atlas& m_atlas;
    QString m_folder;
    std::shared_ptr<UserPrompts> m_prompts;
    QWidget* m_window;
    std::unique_ptr<JournalWriter> m_writer;
    bool m_problemTold = false;
};

} // namespace veldor
