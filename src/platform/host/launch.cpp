#include "platform/host/launch.h"

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <sstream>
#include <vector>

#include "platform/host/file_names.h"
#include "platform/replay/trace.h"

namespace platform {

bool ShellExecute(const std::string& verb, const std::string& file, const std::string& parameters,
                  const std::string& directory, int /*showCommand*/) {
  TraceLine("launch \"" + file + "\" \"" + parameters + "\" in \"" + directory + "\"");
  if (verb != "open") return false;
  const char* noLaunch = std::getenv("ZORVEL_NO_LAUNCH");
  if (noLaunch && std::strcmp(noLaunch, "1") == 0) return true;

  const std::string program = HostProgramPath(file);
  const std::string workDir = HostPath(directory);
  if (::access(program.c_str(), X_OK) != 0) return false;
  std::vector<std::string> args{program};
  std::istringstream split(parameters);
  for (std::string a; split >> a;) args.push_back(a);

  // Double fork so the launched program is not our child and outlives us without becoming a zombie.
  pid_t child = ::fork();
  if (child < 0) return false;
  if (child == 0) {
    if (::fork() != 0) ::_exit(0);
    ::setsid();
    if (!workDir.empty() && ::chdir(workDir.c_str()) != 0) ::_exit(127);
    std::vector<char*> argv;
    for (auto& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    ::execv(program.c_str(), argv.data());
    ::_exit(127);
  }
  int status = 0;
  ::waitpid(child, &status, 0);
  return true;
}

}  // namespace platform
