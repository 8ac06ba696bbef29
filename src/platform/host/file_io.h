#pragma once
// Handle-based file reading for the sound engine's file hooks: open an existing file for shared reading, read,
// move the file pointer, close. Game-style names (".\sounds\bell.wav") are translated at the open.
#include <cstdint>
#include <string_view>

namespace platform {

using FileHandle = intptr_t;
constexpr FileHandle INVALID_HANDLE_VALUE = -1;

constexpr uint32_t GENERIC_READ = 0x80000000;
constexpr uint32_t FILE_SHARE_READ = 0x00000001;
constexpr uint32_t OPEN_EXISTING = 3;
constexpr uint32_t FILE_ATTRIBUTE_NORMAL = 0x80;

constexpr uint32_t FILE_BEGIN = 0;
constexpr uint32_t FILE_CURRENT = 1;
constexpr uint32_t FILE_END = 2;
constexpr uint32_t INVALID_SET_FILE_POINTER = 0xFFFFFFFF;

// Only reading an existing file is supported (the one use the game has); anything else asserts.
FileHandle CreateFile(std::string_view name, uint32_t access, uint32_t shareMode, uint32_t creation,
                      uint32_t attributes);
// Reads up to `bytes`; false on an error. Reading at the end succeeds with 0 bytes.
bool ReadFile(FileHandle file, void* buffer, uint32_t bytes, uint32_t* bytesRead);
// The new position from the start, or INVALID_SET_FILE_POINTER (a position before the start is refused).
uint32_t SetFilePointer(FileHandle file, int32_t distance, uint32_t moveMethod);
bool CloseFile(FileHandle file);

}  // namespace platform
