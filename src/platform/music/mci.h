#pragma once
// The media control command strings the game sends for its background music:
//   "open <file> alias <name>", "play <name> [notify]", "pause <name>", "resume <name>", "close <name>".
// Each command is traced. The file is an MP3, decoded ahead and mixed with the sound effects on the one output
// device. A "play ... notify" posts MM_MCINOTIFY (MCI_NOTIFY_SUCCESSFUL, device id) to the callback window once
// the last of the file has been heard. A missing or undecodable file fails the open, so it never plays or
// notifies; without an audio output the play fails the same way.
#include <cstdint>
#include <string>

namespace platform {

class Window;

constexpr uint32_t MCIERR_NONE = 0;
constexpr uint32_t MCIERR_HARDWARE = 262;
constexpr uint32_t MCIERR_UNRECOGNIZED_COMMAND = 261;
constexpr uint32_t MCIERR_INVALID_DEVICE_NAME = 263;
constexpr uint32_t MCIERR_FILE_NOT_FOUND = 275;
constexpr uint32_t MCIERR_DUPLICATE_ALIAS = 289;
constexpr uint32_t MCIERR_INVALID_FILE = 304;

uint32_t MciSendString(const std::string& command, Window* callbackWindow);

}  // namespace platform
