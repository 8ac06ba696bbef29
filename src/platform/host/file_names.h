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
std::FILE* OpenFile(std::string_view gameName, const char* mode);
bool FileExists(std::string_view gameName);
// For a launcher named "...\Hubbix.exe": the host program, which has no ".exe" on this system.
std::string HostProgramPath(std::string_view gameName);

}  // namespace platform
