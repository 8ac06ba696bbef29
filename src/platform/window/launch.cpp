#include "platform/window/launch.h"

#include <cstdlib>
#include <cstring>
#include <sstream>
#include <utility>
#include <vector>

#include "platform/host/file_names.h"
#include "platform/host/system_calls.h"
#include "platform/replay/trace.h"

namespace platform {

namespace {

LaunchHandler& Handler() {
  static LaunchHandler handler;
  return handler;
}

}  // namespace

void SetLaunchHandler(LaunchHandler handler) { Handler() = std::move(handler); }

bool ShellExecute(const std::string& verb, const std::string& file, const std::string& parameters,
                  const std::string& directory, int /*showCommand*/) {
  TraceLine("launch \"" + file + "\" \"" + parameters + "\" in \"" + directory + "\"");
  if (verb != "open") return false;
  if (Handler()) return Handler()(file, parameters, directory);
  const char* noLaunch = std::getenv("ZORVEL_NO_LAUNCH");
  if (noLaunch && std::strcmp(noLaunch, "1") == 0) return true;

  const std::string program = HostProgramPath(file);
  const std::string workDir = HostPath(directory);
  std::vector<std::string> args{program};
  std::istringstream split(parameters);
  for (std::string a; split >> a;) args.push_back(a);
  return host::StartDetachedProgram(program, args, workDir);
}

}  // namespace platform
