#include "platform/mci.h"

#include <map>
#include <mutex>
#include <sstream>
#include <vector>

#include "platform/file_names.h"
#include "platform/trace.h"
#include "platform/window.h"

namespace platform {

namespace {

enum class DeviceState { Stopped, Playing, Paused };

struct MciDevice {
  std::string file;
  DeviceState state = DeviceState::Stopped;
  Window* notifyWindow = nullptr;
};

struct MciSystem {
  std::mutex mutex;
  std::map<std::string, MciDevice> devices;  // by alias
};

MciSystem& System() {
  static MciSystem system;
  return system;
}

std::vector<std::string> Words(const std::string& command) {
  std::istringstream in(command);
  std::vector<std::string> words;
  for (std::string w; in >> w;) words.push_back(w);
  return words;
}

uint32_t Execute(const std::vector<std::string>& w, Window* callbackWindow) {
  MciSystem& s = System();
  std::lock_guard<std::mutex> lock(s.mutex);
  if (w.empty()) return MCIERR_UNRECOGNIZED_COMMAND;
  const std::string& verb = w[0];
  if (verb == "open") {
    if (w.size() != 4 || w[2] != "alias") return MCIERR_UNRECOGNIZED_COMMAND;
    if (s.devices.count(w[3])) return MCIERR_DUPLICATE_ALIAS;
    if (!FileExists(w[1])) return MCIERR_FILE_NOT_FOUND;
    s.devices[w[3]].file = w[1];
    return MCIERR_NONE;
  }
  if (w.size() < 2) return MCIERR_UNRECOGNIZED_COMMAND;
  auto it = s.devices.find(w[1]);
  if (it == s.devices.end()) return MCIERR_INVALID_DEVICE_NAME;
  MciDevice& d = it->second;
  if (verb == "play") {
    bool notify = w.size() == 3 && w[2] == "notify";
    if (w.size() > 3 || (w.size() == 3 && !notify)) return MCIERR_UNRECOGNIZED_COMMAND;
    d.state = DeviceState::Playing;
    d.notifyWindow = notify ? callbackWindow : nullptr;
    return MCIERR_NONE;
  }
  if (w.size() != 2) return MCIERR_UNRECOGNIZED_COMMAND;
  if (verb == "pause") {
    if (d.state == DeviceState::Playing) d.state = DeviceState::Paused;
    return MCIERR_NONE;
  }
  if (verb == "resume") {
    if (d.state == DeviceState::Paused) d.state = DeviceState::Playing;
    return MCIERR_NONE;
  }
  if (verb == "close") {
    s.devices.erase(it);
    return MCIERR_NONE;
  }
  return MCIERR_UNRECOGNIZED_COMMAND;
}

}  // namespace

uint32_t MciSendString(const std::string& command, Window* callbackWindow) {
  uint32_t result = Execute(Words(command), callbackWindow);
  TraceLine("mci \"" + command + "\" " + std::to_string(result));
  return result;
}

}  // namespace platform
