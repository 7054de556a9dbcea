#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <sys/types.h>
#include <utility>

namespace veldor {

// What kind of trouble a file gave; the words for the user go beside it.
enum class FileError
{
    None,
    Missing,    // nothing there, or a link that leads nowhere
    NotRegular, // a folder, a pipe or a device in the file's place
    TooLarge,
    Protected, // writing is not allowed: the file's or the folder's permissions, a read-only disk
    Link,      // a link where none may be followed
    NoSpace,
    Damaged, // there and readable, but not what it should hold
    System,  // any other refusal of the system
};

struct FileResult
{
    bool ok = true;
    std::string error; // why it failed, in Russian, for the user
    FileError kind = FileError::None;
};

// Writes all `size` bytes to `fd`, resuming after an interrupted or partial write; false with errno set when the
// system refuses, or when a write takes nothing without saying why (which would otherwise loop for ever).
bool WriteFully(int fd, const void* data, std::size_t size);

// The kind of an errno value.
FileError errorKind(int errorNumber);

// Replaces `path` with `size` bytes so that a reader always finds either the old complete file or the new
// complete one: the data goes to a temporary file beside the target, is flushed and then renamed over it.
// A symbolic link is saved through: the file it points to is replaced and the link stays (a dangling link is
// reported, nothing is created). A file whose owner may not write it is left alone, as the user protected
// it; a folder, pipe or device in the file's place is never replaced. The file keeps its owner and group and
// gets `mode`, or with KeepExistingMode the permissions the existing file had.
enum class ModePolicy
{
    KeepExistingMode,
    ForceMode
};
// Where other names lead: FollowLinks saves through a symbolic link and rewrites a hard-linked file in place;
// StayInFolder (for copies written into a folder the user picked) refuses a symbolic link and gives a
// hard-linked name a file of its own, so that nothing outside the folder changes.
enum class LinkPolicy
{
    FollowLinks,
    StayInFolder
};
FileResult replaceFileContents(const std::string& path, const void* data, std::size_t size, mode_t mode,
                               ModePolicy policy = ModePolicy::KeepExistingMode,
                               LinkPolicy links = LinkPolicy::FollowLinks);

// A small file read whole, but only a regular one: a pipe, a device or a folder in its place is never
// opened for reading (a pipe would block, a device would never end), and a file over `maxBytes` is refused
// unread.
enum class ReadStatus
{
    Ok,
    Missing,
    Directory,
    NotRegular,
    TooLarge,
    Error
};
struct SmallFile
{
    ReadStatus status = ReadStatus::Ok;
    std::string bytes;
    std::string error; // why it failed, in Russian
};
SmallFile readSmallRegularFile(const std::string& path, std::size_t maxBytes);
// A regular file of any size read in pieces, each handed to `piece` as it comes (a false from it stops the
// read), with the same checks as readSmallRegularFile; past `maxBytes` the rest is left unread.
struct StreamedFile
{
    ReadStatus status = ReadStatus::Ok;
    std::string error;       // why it failed, in Russian
    std::uint64_t bytes = 0; // handed over
    bool cutShort = false;   // the file went on past `maxBytes`
};
StreamedFile readRegularFileInPieces(const std::string& path, const std::function<bool(std::string_view)>& piece,
                                     std::uint64_t maxBytes = UINT64_MAX);
// The kind of a read that did not succeed.
FileError errorKind(ReadStatus status);

// A folder held open for writing inside it and nowhere else: it is opened without following a link, so a link
// swapped in for it (or for a file in it) afterwards leads no write elsewhere. Closed with the object.
class FolderHandle
{
public:
    FolderHandle() = default;
    // `name` inside `parent` (reached as given: the parent may itself be a link the user chose), made when it
    // is missing and `make` is set; refused when it is a link or not a folder.
    static FolderHandle open(const std::string& parent, const std::string& name, bool make, FileResult* error);
    FolderHandle(FolderHandle&& other) noexcept : m_fd(std::exchange(other.m_fd, -1)) {}
    FolderHandle& operator=(FolderHandle&& other) noexcept;
    FolderHandle(const FolderHandle&) = delete;
    FolderHandle& operator=(const FolderHandle&) = delete;
    ~FolderHandle();
    bool isOpen() const { return m_fd >= 0; }
    int fd() const { return m_fd; }
    // The folder's own identity, to tell whether a path still leads to it.
    bool sameAs(const std::string& path) const;

private:
    int m_fd = -1;
};

// Replaces the file `name` in the held folder whole or not at all, as replaceFileContents does with
// StayInFolder and KeepExistingMode, every step relative to the folder's handle. Its temporary file is named
// ".syncthing.<name>.XXXXXX.tmp", as sync engines name their own and never carry, and is removed on every
// failure.
FileResult replaceFileIn(const FolderHandle& folder, const std::string& name, const void* data, std::size_t size,
                         mode_t mode);
// Removes the temporary files replaceFileIn or an earlier save left in the held folder.
void removeTemporariesIn(const FolderHandle& folder);

// Whether `path` names something that is not a regular file (a folder, a pipe, a device); `what` then says
// which, in Russian. A missing path or a link to a regular file is no such thing.
bool isOddFile(const std::string& path, std::string* what = nullptr);

// A file with other hard links is rewritten in place instead (its complete new content made durable under a
// marked name first), so that every name keeps seeing the same file; finishInterruptedSaves completes such a
// rewrite that was cut short.
void finishInterruptedSaves(const std::string& folder, const std::string& fileName);

// Removes the temporary files that a killed save of `fileName` left in `folder` ("<name>.tmp-XXXXXX").
void removeStaleTemporaries(const std::string& folder, const std::string& fileName);

// Creates an empty file where none exists yet; an existing file is never touched.
FileResult createEmptyFileIfMissing(const std::string& path, mode_t mode);

// The reason for an errno value, in Russian.
std::string describeError(int errorNumber);

} // namespace veldor
