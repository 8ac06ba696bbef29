#pragma once
#include <functional>
#include <string>

namespace platform {

constexpr int SW_SHOWNORMAL = 1;

// Starts another program detached from this one ("open" verb only), with its arguments as one text split at
// blanks, in the given working directory. Returns true when the program was started. With ZORVEL_NO_LAUNCH=1
// the request is only traced (tests).
bool ShellExecute(const std::string& verb, const std::string& file, const std::string& parameters,
                  const std::string& directory, int showCommand);

// Where no other program can be started (the browser, where the launcher and the game are one program), the
// program's owner takes the requests instead: each "open" request goes to the handler, whose answer is the
// result. An empty handler starts programs again.
using LaunchHandler =
    std::function<bool(const std::string& file, const std::string& parameters, const std::string& directory)>;
void SetLaunchHandler(LaunchHandler handler);

}  // namespace platform
