#include "platform/music/mci.h"

#include <map>
#include <memory>
#include <mutex>
#include <sstream>
#include <vector>

#include "platform/music/audio_music.h"
#include "platform/host/file_names.h"
#include "platform/replay/trace.h"
#include "platform/window/window.h"

namespace platform {

namespace {

enum class DeviceState { Stopped, Playing, Paused };

struct MciDevice {
  uint32_t id = 0;
  DeviceState state = DeviceState::Stopped;
  std::unique_ptr<MusicPlayer> player;
};

struct MciSystem {
  std::mutex mutex;
  std::map<std::string, MciDevice> devices;  // by alias
  uint32_t nextId = 1;
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
    auto player = MusicPlayer::Open(HostPath(w[1]), AudioMixer::Process(), true);
    if (!player) return MCIERR_INVALID_FILE;
    MciDevice& d = s.devices[w[3]];
    d.id = s.nextId++;
    d.player = std::move(player);
    return MCIERR_NONE;
  }
  if (w.size() < 2) return MCIERR_UNRECOGNIZED_COMMAND;
  auto it = s.devices.find(w[1]);
  if (it == s.devices.end()) return MCIERR_INVALID_DEVICE_NAME;
  MciDevice& d = it->second;
  if (verb == "play") {
    bool notify = w.size() == 3 && w[2] == "notify";
    if (w.size() > 3 || (w.size() == 3 && !notify)) return MCIERR_UNRECOGNIZED_COMMAND;
    Window* window = notify ? callbackWindow : nullptr;
    const uint32_t id = d.id;
    // Runs on the decoder thread when the end has been heard; posting is all it may do.
    auto onEnd = [window, id] {
      if (window) PostMessage(window, MM_MCINOTIFY, MCI_NOTIFY_SUCCESSFUL, static_cast<intptr_t>(id));
    };
    if (!d.player->Play(onEnd)) return MCIERR_HARDWARE;
    d.state = DeviceState::Playing;
    return MCIERR_NONE;
  }
  if (w.size() != 2) return MCIERR_UNRECOGNIZED_COMMAND;
  if (verb == "pause") {
    if (d.state == DeviceState::Playing) {
      d.player->Pause();
      d.state = DeviceState::Paused;
    }
    return MCIERR_NONE;
  }
  if (verb == "resume") {
    if (d.state == DeviceState::Paused) {
      d.player->Resume();
      d.state = DeviceState::Playing;
    }
    return MCIERR_NONE;
  }
  if (verb == "close") {
    s.devices.erase(it);  // stops the music and its decoder
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
