#pragma once

#include <cstddef>
#include <string>
#include <sys/types.h>

namespace veldor {

struct FileResult
{
    bool ok = true;
    std::string error; // why it failed, in Russian, for the user
};

// Replaces `path` with `size` bytes so that a reader always finds either the old complete file or the new
// complete one: the data goes to a temporary file beside the target, is flushed and then renamed over it.
// A file whose owner may not write it is left alone, as the user protected it. The file gets `mode`, or with
// KeepExistingMode the permissions the existing file had.
enum class ModePolicy { KeepExistingMode, ForceMode };
FileResult replaceFileContents(const std::string& path, const void* data, std::size_t size, mode_t mode,
                               ModePolicy policy = ModePolicy::KeepExistingMode);

// Creates an empty file where none exists yet; an existing file is never touched.
FileResult createEmptyFileIfMissing(const std::string& path, mode_t mode);

// The reason for an errno value, in Russian.
std::string describeError(int errorNumber);

} // namespace veldor
