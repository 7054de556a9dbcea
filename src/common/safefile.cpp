#include "safefile.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace veldor {
namespace {

std::string parentDir(const std::string& path)
{
    const auto slash = path.find_last_of('/');
    if (slash == std::string::npos)
        return ".";
    if (slash == 0)
        return "/";
    return path.substr(0, slash);
}

FileResult failure(int errorNumber)
{
    return FileResult{false, describeError(errorNumber)};
}

bool writeAll(int fd, const char* data, std::size_t size)
{
    // One block transfer; the loop only resumes after an interrupted or partial write.
    while (size > 0) {
        const ssize_t n = ::write(fd, data, size);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        if (n == 0) {
            errno = EIO;
            return false;
        }
        data += n;
        size -= static_cast<std::size_t>(n);
    }
    return true;
}

} // namespace

std::string describeError(int e)
{
    switch (e) {
    case ENOSPC:
        return "на диске нет места";
    case EDQUOT:
        return "превышена дисковая квота";
    case EFBIG:
        return "файл слишком велик для этого диска";
    case EACCES:
    case EPERM:
        return "нет прав на запись";
    case EROFS:
        return "диск доступен только для чтения";
    case EIO:
        return "ошибка ввода-вывода";
    case ENOENT:
    case ENOTDIR:
        return "папка не найдена";
    case EISDIR:
        return "на месте файла находится папка";
    default:
        return std::strerror(e);
    }
}

FileResult replaceFileContents(const std::string& path, const void* data, std::size_t size, mode_t mode,
                               ModePolicy policy)
{
    struct stat st {};
    if (::stat(path.c_str(), &st) == 0) {
        if (S_ISDIR(st.st_mode))
            return failure(EISDIR);
        // Checked on the mode bits rather than with access(), so that the protection holds for root too.
        if ((st.st_mode & S_IWUSR) == 0)
            return FileResult{false, "файл защищён от записи"};
        if (policy == ModePolicy::KeepExistingMode)
            mode = st.st_mode & 07777;
    } else if (errno != ENOENT) {
        return failure(errno);
    }

    std::string tmpl = path + ".tmp-XXXXXX";
    std::vector<char> name(tmpl.begin(), tmpl.end());
    name.push_back('\0');
    const int fd = ::mkstemp(name.data());
    if (fd < 0)
        return failure(errno);

    auto abandon = [&](int e) {
        ::close(fd);
        ::unlink(name.data());
        return failure(e);
    };
    if (::fchmod(fd, mode) != 0)
        return abandon(errno);
    if (!writeAll(fd, static_cast<const char*>(data), size))
        return abandon(errno);
    if (::fsync(fd) != 0)
        return abandon(errno);
    if (::close(fd) != 0) {
        const int e = errno;
        ::unlink(name.data());
        return failure(e);
    }
    if (::rename(name.data(), path.c_str()) != 0) {
        const int e = errno;
        ::unlink(name.data());
        return failure(e);
    }
    // Make the rename itself durable; a failure here cannot be undone, and the new file is already in place.
    const int dirFd = ::open(parentDir(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dirFd >= 0) {
        ::fsync(dirFd);
        ::close(dirFd);
    }
    return {};
}

FileResult createEmptyFileIfMissing(const std::string& path, mode_t mode)
{
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
    if (fd < 0) {
        if (errno == EEXIST)
            return {};
        return failure(errno);
    }
    ::fchmod(fd, mode); // the umask must not widen or narrow what the caller asked for
    ::close(fd);
    return {};
}

} // namespace veldor
