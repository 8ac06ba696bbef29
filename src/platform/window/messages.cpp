#include "platform/window/messages.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace platform {

namespace {
struct NamedKey {
  int vk;
  const char* name;
};
constexpr NamedKey kNamedKeys[] = {
    {VK_BACK, "BACK"},   {VK_TAB, "TAB"},     {VK_RETURN, "RETURN"}, {VK_SHIFT, "SHIFT"},
    {VK_CONTROL, "CONTROL"}, {VK_MENU, "ALT"}, {VK_ESCAPE, "ESCAPE"}, {VK_SPACE, "SPACE"},
    {VK_LEFT, "LEFT"},   {VK_UP, "UP"},       {VK_RIGHT, "RIGHT"},   {VK_DOWN, "DOWN"},
    {VK_GAMEPAD_A, "PAD_A"}, {VK_GAMEPAD_B, "PAD_B"}, {VK_GAMEPAD_X, "PAD_X"}, {VK_GAMEPAD_Y, "PAD_Y"},
    {VK_GAMEPAD_MENU, "PAD_START"}, {VK_GAMEPAD_VIEW, "PAD_BACK"}, {VK_GAMEPAD_DPAD_UP, "PAD_UP"},
    {VK_GAMEPAD_DPAD_DOWN, "PAD_DOWN"}, {VK_GAMEPAD_DPAD_LEFT, "PAD_LEFT"}, {VK_GAMEPAD_DPAD_RIGHT, "PAD_RIGHT"},
};
}  // namespace

const char* VirtualKeyName(int vk) {
  static char buffers[256][4];
  for (const auto& k : kNamedKeys)
    if (k.vk == vk) return k.name;
  if ((vk >= 'A' && vk <= 'Z') || (vk >= '0' && vk <= '9')) {
    buffers[vk][0] = static_cast<char>(vk);
    buffers[vk][1] = 0;
    return buffers[vk];
  }
  if (vk >= VK_F1 && vk <= VK_F12) {
    std::snprintf(buffers[vk], sizeof buffers[vk], "F%d", vk - VK_F1 + 1);
    return buffers[vk];
  }
  return "";
}

int VirtualKeyFromName(const char* name) {
  if (!name || !*name) return 0;
  for (const auto& k : kNamedKeys)
    if (std::strcmp(k.name, name) == 0) return k.vk;
  if (name[1] == 0 && ((name[0] >= 'A' && name[0] <= 'Z') || (name[0] >= '0' && name[0] <= '9'))) return name[0];
  if (name[0] == 'F') {
    int n = std::atoi(name + 1);
    if (n >= 1 && n <= 12 && std::to_string(n) == std::string(name + 1)) return VK_F1 + n - 1;
  }
  return 0;
}

}  // namespace platform
