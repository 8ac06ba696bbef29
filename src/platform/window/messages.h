#pragma once
// Window message ids and packing values, at the numbers the game's window procedure compares against.
#include <cstdint>

namespace platform {

class Window;

struct Message {
  Window* window = nullptr;
  uint32_t message = 0;
  uintptr_t wParam = 0;
  intptr_t lParam = 0;
};

constexpr uint32_t WM_CREATE = 0x0001;
constexpr uint32_t WM_DESTROY = 0x0002;
constexpr uint32_t WM_MOVE = 0x0003;
constexpr uint32_t WM_SIZE = 0x0005;
constexpr uint32_t WM_ACTIVATE = 0x0006;
constexpr uint32_t WM_SETFOCUS = 0x0007;
constexpr uint32_t WM_CLOSE = 0x0010;
constexpr uint32_t WM_QUIT = 0x0012;
constexpr uint32_t WM_ACTIVATEAPP = 0x001C;
constexpr uint32_t WM_KEYDOWN = 0x0100;
constexpr uint32_t WM_KEYUP = 0x0101;
constexpr uint32_t WM_CHAR = 0x0102;
constexpr uint32_t WM_SYSKEYDOWN = 0x0104;
constexpr uint32_t WM_SYSKEYUP = 0x0105;
constexpr uint32_t WM_SYSCOMMAND = 0x0112;
constexpr uint32_t WM_MOUSEMOVE = 0x0200;
constexpr uint32_t WM_LBUTTONDOWN = 0x0201;
constexpr uint32_t WM_LBUTTONUP = 0x0202;
constexpr uint32_t WM_LBUTTONDBLCLK = 0x0203;
constexpr uint32_t WM_RBUTTONDOWN = 0x0204;
constexpr uint32_t WM_RBUTTONUP = 0x0205;
constexpr uint32_t MM_MCINOTIFY = 0x03B9;

constexpr uint32_t WA_INACTIVE = 0;
constexpr uint32_t WA_ACTIVE = 1;
constexpr uint32_t WA_CLICKACTIVE = 2;

constexpr uint32_t SIZE_RESTORED = 0;
constexpr uint32_t SIZE_MAXIMIZED = 2;

constexpr uint32_t SC_KEYMENU = 0xF100;

constexpr uint32_t MK_LBUTTON = 0x0001;
constexpr uint32_t MK_RBUTTON = 0x0002;

constexpr uint32_t MCI_NOTIFY_SUCCESSFUL = 0x0001;

// Virtual-key codes.
constexpr int VK_LBUTTON = 0x01;
constexpr int VK_RBUTTON = 0x02;
constexpr int VK_BACK = 0x08;
constexpr int VK_TAB = 0x09;
constexpr int VK_RETURN = 0x0D;
constexpr int VK_SHIFT = 0x10;
constexpr int VK_CONTROL = 0x11;
constexpr int VK_MENU = 0x12;  // Alt
constexpr int VK_ESCAPE = 0x1B;
constexpr int VK_SPACE = 0x20;
constexpr int VK_LEFT = 0x25;
constexpr int VK_UP = 0x26;
constexpr int VK_RIGHT = 0x27;
constexpr int VK_DOWN = 0x28;
constexpr int VK_F1 = 0x70;
constexpr int VK_F12 = 0x7B;
// A game controller's buttons, as the platform names them.
constexpr int VK_GAMEPAD_A = 0xC3;
constexpr int VK_GAMEPAD_B = 0xC4;
constexpr int VK_GAMEPAD_X = 0xC5;
constexpr int VK_GAMEPAD_Y = 0xC6;
constexpr int VK_GAMEPAD_MENU = 0xCF;  // Start
constexpr int VK_GAMEPAD_VIEW = 0xD0;  // Back
constexpr int VK_GAMEPAD_DPAD_UP = 0xCB;
constexpr int VK_GAMEPAD_DPAD_DOWN = 0xCC;
constexpr int VK_GAMEPAD_DPAD_LEFT = 0xCD;
constexpr int VK_GAMEPAD_DPAD_RIGHT = 0xCE;

// System metrics.
constexpr int SM_CXSCREEN = 0;
constexpr int SM_CYSCREEN = 1;
constexpr int SM_CYFRAME = 33;
constexpr int SM_CYSMCAPTION = 51;

inline constexpr intptr_t PackPoint(int x, int y) {
  return static_cast<intptr_t>((static_cast<uint32_t>(y & 0xFFFF) << 16) | static_cast<uint32_t>(x & 0xFFFF));
}
inline constexpr uint32_t LowWord(uintptr_t v) { return static_cast<uint32_t>(v & 0xFFFF); }
inline constexpr uint32_t HighWord(uintptr_t v) { return static_cast<uint32_t>((v >> 16) & 0xFFFF); }

// Key-message lParam: repeat count 1, scan code, the previous-state bit for key-up and for a key-down that the
// keyboard repeats while the key is held, and the transition bit for key-up.
inline constexpr intptr_t KeyLParam(bool up, int scanCode, bool repeat = false) {
  uint32_t v = 1u | (static_cast<uint32_t>(scanCode & 0xFF) << 16);
  if (up) v |= (1u << 30) | (1u << 31);
  if (repeat) v |= 1u << 30;
  return static_cast<intptr_t>(v);
}

inline constexpr bool IsKeyRepeat(intptr_t keyLParam) { return (static_cast<uint32_t>(keyLParam) & (1u << 30)) != 0; }

// Name of a virtual key as scripts write it ("ESCAPE", "F1", "A", "SPACE"...); empty when it has none.
const char* VirtualKeyName(int vk);
// The key for a script name, or 0.
int VirtualKeyFromName(const char* name);

}  // namespace platform
