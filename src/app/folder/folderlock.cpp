#include "folderlock.h"

#include "files/safefile.h"

#include <QFileInfo>
#include <QLocale>
#include <QLockFile>
#include <QThread>
#include <cerrno>
#include <sys/stat.h>
#include <unistd.h>

namespace veldor {
namespace {

// A lock of ours is three short lines; anything larger is not one and is not read.
constexpr qint64 kMaxLockBytes = 4096;

} // namespace

FolderLock::FolderLock(QString path) : m_path(std::move(path)) {}

FolderLock::~FolderLock() = default;

QString FolderLock::examine() const
{
    struct stat st
    {
    };
    const QByteArray p = QFile::encodeName(m_path);
    if (::lstat(p.constData(), &st) != 0)
        return {}; // none yet
    if (S_ISLNK(st.st_mode)) {
        const QString target = QFileInfo(m_path).symLinkTarget();
        return QFileInfo::exists(m_path) ? QStringLiteral("на его месте ссылка на «%1»").arg(target)
                                         : QStringLiteral("на его месте ссылка на «%1», которого нет").arg(target);
    }
    if (S_ISDIR(st.st_mode))
        return QStringLiteral("на его месте папка");
    if (S_ISFIFO(st.st_mode))
        return QStringLiteral("на его месте именованный канал");
    if (S_ISCHR(st.st_mode) || S_ISBLK(st.st_mode))
        return QStringLiteral("на его месте устройство");
    if (!S_ISREG(st.st_mode))
        return QStringLiteral("на его месте не обычный файл");
    if (st.st_size > kMaxLockBytes)
        return QStringLiteral("он занимает %1 вместо нескольких строк").arg(QLocale().formattedDataSize(st.st_size));
    return {};
}

FolderLock::State FolderLock::take()
{
    m_damage = examine();
    if (!m_damage.isEmpty())
        return State::Damaged;
    for (int attempt = 0; attempt < 2; ++attempt) {
        m_lock = std::make_unique<QLockFile>(m_path);
        m_lock->setStaleLockTime(0); // held for as long as the program runs; a dead holder's lock is taken over
        if (m_lock->tryLock(0))
            return State::Taken;
        if (m_lock->error() != QLockFile::LockFailedError) {
            m_lock.reset();
            return State::Unusable;
        }
        qint64 pid = 0;
        QString host;
        QString app;
        const bool readable = m_lock->getLockInfo(&pid, &host, &app) && pid > 0;
        m_lock.reset();
        if (readable)
            return State::HeldByOther;
        // Another copy may be between creating its lock and writing it: look once more.
        QThread::msleep(200);
    }
    m_damage = QStringLiteral("в нём не записано, какая программа его держит");
    return State::Damaged;
}

bool FolderLock::replace(QString* why)
{
    struct stat st
    {
    };
    const QByteArray p = QFile::encodeName(m_path);
    const bool folder = ::lstat(p.constData(), &st) == 0 && S_ISDIR(st.st_mode);
    // Only the name goes: a link's target, a device or what a folder held are never touched.
    if ((folder ? ::rmdir(p.constData()) : ::unlink(p.constData())) != 0 && errno != ENOENT) {
        *why = errno == ENOTEMPTY || errno == EEXIST ? QStringLiteral("папка не пуста")
                                                     : QString::fromStdString(describeError(errno));
        return false;
    }
    switch (take()) {
    case State::Taken:
        return true;
    case State::HeldByOther:
        *why = QStringLiteral("тем временем папку заняла другая копия программы");
        return false;
    default:
        *why = QStringLiteral("не удалось создать новый файл блокировки");
        return false;
    }
}

} // namespace veldor
