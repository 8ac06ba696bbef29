#pragma once
// Replacing a whole file so that a crash or a kill in the middle leaves either the old content or the new one.
#include <cstddef>
#include <functional>
#include <string_view>

namespace platform {

// Writes `size` bytes to a temporary file beside `gameName`, flushes it to the disk and renames it over
// `gameName`. Returns false (and leaves the old file as it was) when any step fails, and when the old file is
// read-only or not a plain file.
bool ReplaceFileContent(std::string_view gameName, const void* data, size_t size);

// Storage where a file lasts only once the host has been told (the browser's) gives the function that makes it
// last; it runs after every successful replace, before the replace returns. An empty function: nothing to tell.
void SetReplacedFileKeeper(std::function<void()> keep);

}  // namespace platform
