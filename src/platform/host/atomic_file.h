#pragma once
// Replacing a whole file so that a crash or a kill in the middle leaves either the old content or the new one.
#include <cstddef>
#include <string>
#include <functional>
#include <string_view>

namespace platform {

// Writes `size` bytes to a temporary file beside `gameName`, flushes it to the disk and renames it over
// `gameName`. Returns false (and leaves the old file as it was) when any step fails, and when the old file is
// read-only or not a plain file.
bool ReplaceFileContent(std::string_view gameName, const void* data, size_t size);

// The same for a path of the host. The new file keeps the old one's permissions (and, for an administrator, its
// owner); a symbolic link is followed and its target replaced in the target's own folder, so the link stays.
// `error`, when given, receives what went wrong.
bool ReplaceHostFile(const std::string& hostPath, const void* data, size_t size, std::string* error = nullptr);

// Removes the temporaries an interrupted save of `gameName` left beside it ("<name>.tmp.XXXXXX"). Only for a
// caller that holds the file's lock (file_lock.h), so no save in progress loses its temporary.
void RemoveStaleTemporaries(std::string_view gameName);

// Moves a file that could not be read out of the way, to "<name>.<why>-<date>-<time>" in its folder (a number is
// added when that is taken), so that nothing written in its place can destroy it. Returns the new host path, or
// an empty text when it could not be moved.
std::string KeepFileAside(std::string_view gameName, const std::string& why);

// Storage where a file lasts only once the host has been told (the browser's) gives the function that makes it
// last; it runs after every successful replace, before the replace returns. An empty function: nothing to tell.
void SetReplacedFileKeeper(std::function<void()> keep);

}  // namespace platform
