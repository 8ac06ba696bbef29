#pragma once
// The media control command strings the game sends for its background music:
//   "open <file> alias <name>", "play <name> [notify]", "pause <name>", "resume <name>", "close <name>".
// Each command is traced. A "play ... notify" posts MM_MCINOTIFY to the callback window when the file ends.
#include <cstdint>
#include <string>

namespace platform {

class Window;

constexpr uint32_t MCIERR_NONE = 0;
constexpr uint32_t MCIERR_UNRECOGNIZED_COMMAND = 261;
constexpr uint32_t MCIERR_INVALID_DEVICE_NAME = 263;
constexpr uint32_t MCIERR_FILE_NOT_FOUND = 275;
constexpr uint32_t MCIERR_DUPLICATE_ALIAS = 289;

uint32_t MciSendString(const std::string& command, Window* callbackWindow);

}  // namespace platform
