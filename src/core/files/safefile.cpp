#include "safefile.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <filesystem>
#include <optional>
#include <random>
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
    return FileResult{false, describeError(errorNumber), errorKind(errorNumber)};
}

} // namespace

bool WriteFully(int fd, const void* bytes, std::size_t size)
{
    // One block transfer; the loop only resumes after an interrupted or partial write.
    const auto* data = static_cast<const char*>(bytes);
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

FileError errorKind(int e)
{
    switch (e) {
    case ENOENT:
        return FileError::Missing;
    case EISDIR:
        return FileError::NotRegular;
    case EACCES:
    case EPERM:
    case EROFS:
        return FileError::Protected;
    case ENOSPC:
    case EDQUOT:
        return FileError::NoSpace;
    case EFBIG:
        return FileError::TooLarge;
    default:
        return FileError::System;
    }
}

FileError errorKind(ReadStatus status)
{
    switch (status) {
    case ReadStatus::Ok:
        return FileError::None;
    case ReadStatus::Missing:
        return FileError::Missing;
    case ReadStatus::Directory:
    case ReadStatus::NotRegular:
        return FileError::NotRegular;
    case ReadStatus::TooLarge:
        return FileError::TooLarge;
    case ReadStatus::Error:
        break;
    }
    return FileError::System;
}

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
        return "нет прав доступа";
    case EROFS:
        return "диск доступен только для чтения";
    case EIO:
        return "ошибка ввода-вывода";
    case ENOENT:
        return "файл или папка не найдены";
    case ENOTDIR:
        return "папка не найдена";
    case EISDIR:
        return "на месте файла находится папка";
    case ELOOP:
        return "ссылки указывают друг на друга по кругу";
    case ENAMETOOLONG:
        return "слишком длинное имя файла";
    case EEXIST:
        return "такой файл уже есть";
    case ENOTEMPTY:
        return "папка не пуста";
    case EBUSY:
    case ETXTBSY:
        return "файл занят другой программой";
    case EMFILE:
    case ENFILE:
        return "открыто слишком много файлов";
    case ENOMEM:
        return "не хватает памяти";
    case EXDEV:
        return "файл на другом диске";
    case ENXIO:
    case ENODEV:
        return "устройство недоступно";
    default:
        // Rare enough to be left in the system's words, with its number for a search.
        return "системная ошибка " + std::to_string(e) + " (" + std::strerror(e) + ")";
    }
}

namespace {

// The file a save must replace: the path itself, or for a symbolic link the file the link leads to.
void syncFolder(const std::string& file)
{
    const int dirFd = ::open(parentDir(file).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dirFd >= 0) {
        ::fsync(dirFd);
        ::close(dirFd);
    }
}

bool saveTarget(const std::string& path, std::string& target, FileResult& problem)
{
    struct stat lst
    {
    };
    target = path;
    if (::lstat(path.c_str(), &lst) != 0 || !S_ISLNK(lst.st_mode))
        return true;
    char* resolved = ::realpath(path.c_str(), nullptr);
    if (!resolved) {
        problem = FileResult{false, "ссылка указывает на файл, которого нет (" + describeError(errno) + ")",
                             FileError::Missing};
        return false;
    }
    target = resolved;
    std::free(resolved);
    return true;
}

std::string oddKind(mode_t m)
{
    if (S_ISDIR(m))
        return "на месте файла находится папка";
    if (S_ISFIFO(m))
        return "на месте файла находится канал (FIFO), а не обычный файл";
    if (S_ISCHR(m) || S_ISBLK(m))
        return "на месте файла находится устройство, а не обычный файл";
    return "на месте файла находится не обычный файл";
}

// Why an existing file may not be replaced (a folder, a pipe or a device, a file its owner protected), or nothing.
std::optional<FileResult> refuseReplacing(const struct stat& st)
{
    if (S_ISDIR(st.st_mode))
        return failure(EISDIR);
    if (!S_ISREG(st.st_mode))
        return FileResult{false, oddKind(st.st_mode), FileError::NotRegular};
    // Checked on the mode bits rather than with access(), so that the protection holds for root too.
    if ((st.st_mode & S_IWUSR) == 0)
        return FileResult{false, "файл защищён от записи", FileError::Protected};
    return std::nullopt;
}

FileResult linkRefused()
{
    return FileResult{false, "на месте файла находится ссылка: не записан, чтобы не изменить файл вне выбранной папки",
                      FileError::Link};
}

} // namespace

bool isOddFile(const std::string& path, std::string* what)
{
    struct stat st
    {
    };
    if (::stat(path.c_str(), &st) != 0 || S_ISREG(st.st_mode))
        return false;
    if (what)
        *what = oddKind(st.st_mode);
    return true;
}

namespace {

// Opens a regular file for reading, never a pipe, a device or a folder: -1 with the status and reason otherwise.
int openRegular(const std::string& path, ReadStatus& status, std::string& error, std::uint64_t& size)
{
    struct stat st
    {
    };
    if (::stat(path.c_str(), &st) != 0) {
        status = errno == ENOENT ? ReadStatus::Missing : ReadStatus::Error;
        error = describeError(errno);
        return -1;
    }
    if (!S_ISREG(st.st_mode)) {
        status = S_ISDIR(st.st_mode) ? ReadStatus::Directory : ReadStatus::NotRegular;
        error = oddKind(st.st_mode);
        return -1;
    }
    // Non-blocking, in case something else took the file's place since the check.
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        status = ReadStatus::Error;
        error = describeError(errno);
        return -1;
    }
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        status = ReadStatus::NotRegular;
        error = oddKind(st.st_mode);
        return -1;
    }
    status = ReadStatus::Ok;
    size = static_cast<std::uint64_t>(st.st_size);
    return fd;
}

// Reads up to `n` bytes; the count, 0 at the end, -1 (errno set) on failure.
ssize_t readSome(int fd, char* into, std::size_t n)
{
    for (;;) {
        const ssize_t got = ::read(fd, into, n);
        if (got >= 0 || errno != EINTR)
            return got;
    }
}

} // namespace

SmallFile readSmallRegularFile(const std::string& path, std::size_t maxBytes)
{
    SmallFile out;
    std::uint64_t size = 0;
    const int fd = openRegular(path, out.status, out.error, size);
    if (fd < 0)
        return out;
    if (size > maxBytes) {
        ::close(fd);
        out.status = ReadStatus::TooLarge;
        out.error = "файл слишком велик (" + std::to_string(size) + " байт)";
        return out;
    }
    out.bytes.resize(maxBytes + 1);
    std::size_t total = 0;
    while (total < out.bytes.size()) {
        const ssize_t n = readSome(fd, out.bytes.data() + total, out.bytes.size() - total);
        if (n < 0) {
            const int e = errno;
            ::close(fd);
            out = SmallFile{ReadStatus::Error, {}, describeError(e)};
            return out;
        }
        if (n == 0)
            break;
        total += static_cast<std::size_t>(n);
    }
    ::close(fd);
    if (total > maxBytes) { // it grew while being read
        out = SmallFile{ReadStatus::TooLarge, {}, "файл слишком велик"};
        return out;
    }
    out.bytes.resize(total);
    return out;
}

StreamedFile readRegularFileInPieces(const std::string& path, const std::function<bool(std::string_view)>& piece,
                                     std::uint64_t maxBytes)
{
    StreamedFile out;
    std::uint64_t size = 0;
    const int fd = openRegular(path, out.status, out.error, size);
    if (fd < 0)
        return out;
    std::string buffer(std::size_t{1} << 20, '\0');
    for (;;) {
        const std::uint64_t left = maxBytes - out.bytes;
        // One byte past the limit tells whether the file goes on.
        const std::size_t want = left < buffer.size() ? static_cast<std::size_t>(left) + 1 : buffer.size();
        const ssize_t n = readSome(fd, buffer.data(), want);
        if (n < 0) {
            out.status = ReadStatus::Error;
            out.error = describeError(errno);
            break;
        }
        if (n == 0)
            break;
        auto got = static_cast<std::uint64_t>(n);
        if (got > left) {
            out.cutShort = true;
            got = left;
        }
        out.bytes += got;
        if ((got > 0 && !piece(std::string_view(buffer.data(), static_cast<std::size_t>(got)))) || out.cutShort)
            break;
    }
    ::close(fd);
    return out;
}

void removeStaleTemporaries(const std::string& folder, const std::string& fileName)
{
    std::error_code ec;
    const std::filesystem::path dir = folder.empty() ? std::filesystem::path(".") : std::filesystem::path(folder);
    const std::string prefix = fileName + ".tmp-";
    for (const auto& entry : std::filesystem::directory_iterator(dir, ec)) {
        const std::string name = entry.path().filename().string();
        if (name.size() == prefix.size() + 6 && name.compare(0, prefix.size(), prefix) == 0)
            std::filesystem::remove(entry.path(), ec);
    }
}

FileResult rewriteInPlace(const std::string& target, const std::string& complete, const void* data, std::size_t size,
                          mode_t mode);

FileResult replaceFileContents(const std::string& path, const void* data, std::size_t size, mode_t mode,
                               ModePolicy policy, LinkPolicy links)
{
    std::string target = path;
    FileResult problem;
    if (links == LinkPolicy::StayInFolder) {
        struct stat lst
        {
        };
        if (::lstat(path.c_str(), &lst) == 0 && S_ISLNK(lst.st_mode))
            return linkRefused();
    } else if (!saveTarget(path, target, problem)) {
        return problem;
    }
    struct stat st
    {
    };
    bool existed = false;
    if (::stat(target.c_str(), &st) == 0) {
        if (const std::optional<FileResult> refused = refuseReplacing(st))
            return *refused;
        if (policy == ModePolicy::KeepExistingMode)
            mode = st.st_mode & 07777;
        existed = true;
    } else if (errno != ENOENT) {
        return failure(errno);
    }

    std::string tmpl = target + ".tmp-XXXXXX";
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
    // The replaced file's owner stays its owner, also when root saves it; only root may give a file away,
    // and anyone else's new file is already theirs.
    if (existed && (st.st_uid != ::geteuid() || st.st_gid != ::getegid()) && ::fchown(fd, st.st_uid, st.st_gid) != 0 &&
        ::geteuid() == 0)
        return abandon(errno);
    if (::fchmod(fd, mode) != 0)
        return abandon(errno);
    if (!WriteFully(fd, data, size))
        return abandon(errno);
    if (::fsync(fd) != 0)
        return abandon(errno);
    if (::close(fd) != 0) {
        const int e = errno;
        ::unlink(name.data());
        return failure(e);
    }
    if (existed && st.st_nlink > 1 && links == LinkPolicy::FollowLinks)
        return rewriteInPlace(target, name.data(), data, size, mode);
    if (::rename(name.data(), target.c_str()) != 0) {
        const int e = errno;
        ::unlink(name.data());
        return failure(e);
    }
    // Make the rename itself durable; a failure here cannot be undone, and the new file is already in place.
    syncFolder(target);
    return {};
}

FileResult rewriteInPlace(const std::string& target, const std::string& complete, const void* data, std::size_t size,
                          mode_t mode)
{
    // A file with other hard links keeps its inode, so that every name sees the new content. The complete new
    // content is first made durable under a marked name: a rewrite cut short is finished at the next start.
    const std::string marked = target + ".inplace-" + complete.substr(complete.size() - 6);
    if (::rename(complete.c_str(), marked.c_str()) != 0) {
        const int e = errno;
        ::unlink(complete.c_str());
        return failure(e);
    }
    syncFolder(target);
    const int fd = ::open(target.c_str(), O_WRONLY | O_CLOEXEC);
    if (fd < 0) {
        const int e = errno;
        ::unlink(marked.c_str());
        return failure(e);
    }
    // Room first, so that a full disk refuses the save before a byte of the old content changes.
    struct stat st
    {
    };
    if (::fstat(fd, &st) == 0 && static_cast<std::size_t>(st.st_size) < size) {
        const int e = ::posix_fallocate(fd, 0, static_cast<off_t>(size));
        if (e != 0 && e != EOPNOTSUPP && e != EINVAL) {
            ::close(fd);
            ::unlink(marked.c_str());
            return failure(e);
        }
    }
    ::fchmod(fd, mode);
    const bool written =
        WriteFully(fd, data, size) && ::ftruncate(fd, static_cast<off_t>(size)) == 0 && ::fsync(fd) == 0;
    const int e = errno;
    ::close(fd);
    if (!written) // the marked copy stays and completes the file at the next start
        return FileResult{false, describeError(e) + " (сохранение будет завершено при следующем запуске)",
                          errorKind(e)};
    ::unlink(marked.c_str());
    syncFolder(target);
    return {};
}

void finishInterruptedSaves(const std::string& folder, const std::string& fileName)
{
    std::string target;
    FileResult ignored;
    if (!saveTarget(folder.empty() ? fileName : folder + "/" + fileName, target, ignored))
        return;
    const auto slash = target.find_last_of('/');
    const std::string dir = slash == std::string::npos ? "." : target.substr(0, slash);
    const std::string prefix = (slash == std::string::npos ? target : target.substr(slash + 1)) + ".inplace-";
    std::error_code ec;
    for (const auto& entry : std::filesystem::directory_iterator(dir, ec)) {
        const std::string name = entry.path().filename().string();
        if (name.size() != prefix.size() + 6 || name.compare(0, prefix.size(), prefix) != 0)
            continue;
        const SmallFile copy = readSmallRegularFile(entry.path().string(), 64 * 1024 * 1024);
        if (copy.status != ReadStatus::Ok)
            continue;
        const int fd = ::open(target.c_str(), O_WRONLY | O_CLOEXEC);
        if (fd < 0)
            continue;
        const bool done = WriteFully(fd, copy.bytes.data(), copy.bytes.size()) &&
                          ::ftruncate(fd, static_cast<off_t>(copy.bytes.size())) == 0 && ::fsync(fd) == 0;
        ::close(fd);
        if (done)
            std::filesystem::remove(entry.path(), ec);
    }
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

namespace {

constexpr const char* kTemporaryPrefix = ".syncthing.";
constexpr const char* kTemporarySuffix = ".tmp";

bool isOurTemporary(const std::string& name)
{
    const std::string prefix = kTemporaryPrefix;
    const std::string suffix = kTemporarySuffix;
    return name.size() > prefix.size() + suffix.size() && name.compare(0, prefix.size(), prefix) == 0 &&
           name.compare(name.size() - suffix.size(), suffix.size(), suffix) == 0;
}

} // namespace

FolderHandle FolderHandle::open(const std::string& parent, const std::string& name, bool make, FileResult* error)
{
    FolderHandle handle;
    auto fail = [&](FileResult r) {
        if (error)
            *error = std::move(r);
        return FolderHandle();
    };
    if (name.empty() || name == "." || name == ".." || name.find('/') != std::string::npos)
        return fail(failure(EINVAL));
    const int parentFd = ::open(parent.empty() ? "." : parent.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (parentFd < 0)
        return fail(failure(errno));
    const int flags = O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC;
    int fd = ::openat(parentFd, name.c_str(), flags);
    if (fd < 0 && errno == ENOENT && make && ::mkdirat(parentFd, name.c_str(), 0755) == 0)
        fd = ::openat(parentFd, name.c_str(), flags);
    const int e = errno;
    struct stat there
    {
    };
    const bool link =
        fd < 0 && ::fstatat(parentFd, name.c_str(), &there, AT_SYMLINK_NOFOLLOW) == 0 && S_ISLNK(there.st_mode);
    ::close(parentFd);
    if (fd < 0) {
        if (link)
            return fail(
                FileResult{false, "на месте папки находится ссылка: через неё ничего не пишется", FileError::Link});
        if (e == ENOTDIR)
            return fail(FileResult{false, "на месте папки лежит файл", FileError::NotRegular});
        return fail(failure(e));
    }
    handle.m_fd = fd;
    return handle;
}

FolderHandle& FolderHandle::operator=(FolderHandle&& other) noexcept
{
    if (this != &other) {
        if (m_fd >= 0)
            ::close(m_fd);
        m_fd = std::exchange(other.m_fd, -1);
    }
    return *this;
}

FolderHandle::~FolderHandle()
{
    if (m_fd >= 0)
        ::close(m_fd);
}

bool FolderHandle::sameAs(const std::string& path) const
{
    struct stat held
    {
    };
    struct stat there
    {
    };
    return m_fd >= 0 && ::fstat(m_fd, &held) == 0 && ::lstat(path.c_str(), &there) == 0 && S_ISDIR(there.st_mode) &&
           held.st_dev == there.st_dev && held.st_ino == there.st_ino;
}

FileResult replaceFileIn(const FolderHandle& folder, const std::string& name, const void* data, std::size_t size,
                         mode_t mode)
{
    if (!folder.isOpen() || name.empty() || name.find('/') != std::string::npos)
        return failure(EINVAL);
    const int dir = folder.fd();
    struct stat st
    {
    };
    if (::fstatat(dir, name.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0) {
        if (S_ISLNK(st.st_mode))
            return linkRefused();
        if (const std::optional<FileResult> refused = refuseReplacing(st))
            return *refused;
        mode = st.st_mode & 07777;
    } else if (errno != ENOENT) {
        return failure(errno);
    }
    static constexpr char kLetters[] = "abcdefghijklmnopqrstuvwxyz0123456789";
    std::random_device random;
    std::string temporary;
    int fd = -1;
    for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
        std::string tag(6, 'a');
        for (char& c : tag)
            c = kLetters[random() % (sizeof kLetters - 1)];
        temporary = kTemporaryPrefix;
        temporary.append(name).append(".").append(tag).append(kTemporarySuffix);
        fd = ::openat(dir, temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
        if (fd < 0 && errno != EEXIST)
            return failure(errno);
    }
    if (fd < 0)
        return failure(EEXIST);
    auto abandon = [&](int e) {
        if (fd >= 0)
            ::close(fd);
        ::unlinkat(dir, temporary.c_str(), 0);
        return failure(e);
    };
    if (::fchmod(fd, mode) != 0 || !WriteFully(fd, data, size) || ::fsync(fd) != 0)
        return abandon(errno);
    const int closed = ::close(fd);
    fd = -1;
    if (closed != 0)
        return abandon(errno);
    if (::renameat(dir, temporary.c_str(), dir, name.c_str()) != 0)
        return abandon(errno);
    ::fsync(dir);
    return {};
}

void removeTemporariesIn(const FolderHandle& folder)
{
    if (!folder.isOpen())
        return;
    const int listFd = ::openat(folder.fd(), ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    DIR* list = listFd >= 0 ? ::fdopendir(listFd) : nullptr;
    if (!list) {
        if (listFd >= 0)
            ::close(listFd);
        return;
    }
    std::vector<std::string> names;
    while (const dirent* entry = ::readdir(list)) {
        const std::string name = entry->d_name;
        const std::size_t mark = name.rfind(".tmp-");
        if (isOurTemporary(name) || (mark != std::string::npos && mark > 0 && name.size() == mark + 5 + 6))
            names.push_back(name);
    }
    ::closedir(list);
    for (const std::string& name : names)
        ::unlinkat(folder.fd(), name.c_str(), 0);
}

} // namespace veldor
