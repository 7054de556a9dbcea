#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>
#include <algorithm>
#include <cstdlib>
#include <string>
#include <sys/stat.h>
#include <sys/types.h>
#include <unistd.h>

namespace veldor::test {

// Whether a line of `lines` begins with `prefix`.
template <class Lines>
bool hasLine(const Lines& lines, const std::string& prefix)
{
    return std::any_of(lines.begin(), lines.end(), [&](const std::string& l) { return l.rfind(prefix, 0) == 0; });
}

inline QByteArray readAll(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return f.readAll();
}

inline bool writeAll(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(bytes) == bytes.size();
}

// Puts something that is not a regular file where a file of the program belongs: "folder", "pipe", "device"
// (a link to /dev/zero); false when it could not be made.
inline bool makeOddFile(const QString& path, const QString& kind)
{
    const QByteArray p = path.toLocal8Bit();
    if (kind == QLatin1String("folder"))
        return ::mkdir(p.constData(), 0755) == 0;
    if (kind == QLatin1String("pipe"))
        return ::mkfifo(p.constData(), 0600) == 0;
    if (kind == QLatin1String("device"))
        return ::symlink("/dev/zero", p.constData()) == 0;
    return false;
}

inline mode_t fileMode(const QString& path)
{
    struct stat st
    {
    };
    if (::stat(path.toLocal8Bit().constData(), &st) != 0)
        return 0;
    return st.st_mode & 07777;
}

// Permission checks do not apply to root, and the tests often run as root: for the scope of this object the
// process acts as an ordinary user, so that a folder without write permission really refuses writes.
class ScopedUnprivileged
{
public:
    ScopedUnprivileged()
    {
        if (::geteuid() == 0) {
            m_active = ::setegid(65534) == 0 && ::seteuid(65534) == 0;
        }
    }
    ~ScopedUnprivileged()
    {
        // A test left without root would judge every later permission wrongly: stop instead.
        if (m_active && (::seteuid(0) != 0 || ::setegid(0) != 0))
            std::abort();
    }
    ScopedUnprivileged(const ScopedUnprivileged&) = delete;
    ScopedUnprivileged& operator=(const ScopedUnprivileged&) = delete;

private:
    bool m_active = false;
};

} // namespace veldor::test
