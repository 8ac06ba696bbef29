#pragma once
// The game names its files with backslashes and relative to its folder (".\sounds\bell.wav", "..\options.ini",
// "title\HowToPlay.bmp"). This is the one place where such a name becomes a path of the host.
#include <cstdio>
#include <string>
#include <string_view>

namespace platform {

// Backslashes become slashes; when the exact path does not exist, each component is matched without regard to
// letter case, so a name need not match the file's exact case.
std::string HostPath(std::string_view gameName);

// The one way files are opened for reading. The open never waits (a FIFO or a device put in a file's place would
// hold the program for ever) and anything but a regular file is refused with errno EINVAL (EISDIR for a folder).
// Returns the descriptor, blocking again for reads, or -1.
int OpenRegularFileForReading(const std::string& hostPath);
// The same as a stdio stream ("rb").
std::FILE* OpenRegularFile(const std::string& hostPath);
// The whole of a regular file, or false (a file longer than `limit` is refused with errno EFBIG).
bool ReadRegularFile(const std::string& hostPath, std::string* content, size_t limit = 64u << 20);

// A game-named file opened through OpenRegularFileForReading; only reading modes ("r", "rb") are served.
std::FILE* OpenFile(std::string_view gameName, const char* mode);
bool FileExists(std::string_view gameName);
bool IsRegularFile(std::string_view gameName);
// For a launcher named "...\Hubbix.exe": the host program, which has no ".exe" on this system.
std::string HostProgramPath(std::string_view gameName);

}  // namespace platform
