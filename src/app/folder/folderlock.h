#pragma once

#include <QString>
#include <memory>

class QLockFile;

namespace veldor {

// The lock that keeps a second copy of the program out of a working folder (`veldor.lock`). Only a lock whose
// holder is alive counts as another copy; a lock left by a copy that died is taken over. Whatever else stands
// at the lock's path (a folder, a pipe, a device, a link, a huge or unreadable file) is never opened, so it can
// neither hang nor slow the start: it is reported as damaged and may be replaced.
class FolderLock
{
public:
    enum class State
    {
        Taken,       // ours for as long as this object lives
        HeldByOther, // another running copy has the folder
        Damaged,     // something that is no lock of ours: see damage()
        Unusable,    // the folder takes no files: nothing can be saved there anyway, the saves will say so
    };

    explicit FolderLock(QString path);
    ~FolderLock();
    FolderLock(const FolderLock&) = delete;
    FolderLock& operator=(const FolderLock&) = delete;

    State take();
    // What is wrong with a damaged lock, in Russian ("на его месте папка").
    QString damage() const { return m_damage; }
    // Removes a damaged lock (a folder only when empty) and takes the lock; false with the reason in Russian.
    bool replace(QString* why);

private:
    QString examine() const;

    QString m_path;
    std::unique_ptr<QLockFile> m_lock;
    QString m_damage;
};

} // namespace veldor
