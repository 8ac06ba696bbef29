// A controller through the SDL backend: SDL's virtual joystick stands in for a real one, plugged in while the
// game's window is open, and its buttons must reach the window as the platform's controller keys.
#include <gtest/gtest.h>
#include <SDL.h>

#include <cstdlib>
#include <utility>
#include <vector>

#include "platform/window/messages.h"
#include "platform/window/window.h"

namespace {

std::vector<std::pair<uint32_t, uintptr_t>> g_keys;

intptr_t Record(platform::Window* w, uint32_t message, uintptr_t wParam, intptr_t lParam) {
  if (message == platform::WM_KEYDOWN || message == platform::WM_KEYUP) g_keys.push_back({message, wParam});
  return platform::DefWindowProc(w, message, wParam, lParam);
}

void Drain() {
  platform::Message m;
  for (int pass = 0; pass < 5; ++pass) {
    while (platform::PeekMessage(&m, true)) platform::DispatchMessage(&m);
    SDL_Delay(5);
  }
}

void Press(SDL_Joystick* joystick, SDL_GameControllerButton button) {
  SDL_JoystickSetVirtualButton(joystick, button, 1);
  Drain();
  SDL_JoystickSetVirtualButton(joystick, button, 0);
  Drain();
}

TEST(SdlController, HotPluggedControllerButtonsArriveAsControllerKeys) {
  setenv("SDL_VIDEODRIVER", "dummy", 1);
  // The dummy driver's window never has the focus, and SDL keeps controller input from windows without it.
  setenv("SDL_JOYSTICK_ALLOW_BACKGROUND_EVENTS", "1", 1);
  ASSERT_TRUE(platform::RegisterWindowClass("ZorvelPadCheck", Record));
  platform::Window* window =
      platform::CreateWindow("ZorvelPadCheck", "pad", platform::WindowKind::Captioned, 0, 0, 800, 600);
  ASSERT_NE(window, nullptr);
  Drain();

  const int index = SDL_JoystickAttachVirtual(SDL_JOYSTICK_TYPE_GAMECONTROLLER, SDL_CONTROLLER_AXIS_MAX,
                                              SDL_CONTROLLER_BUTTON_MAX, 0);
  ASSERT_GE(index, 0) << SDL_GetError();
  SDL_Joystick* joystick = SDL_JoystickOpen(index);
  ASSERT_NE(joystick, nullptr) << SDL_GetError();
  Drain();  // the backend learns of the new controller and opens it

  g_keys.clear();
  for (SDL_GameControllerButton b : {SDL_CONTROLLER_BUTTON_A, SDL_CONTROLLER_BUTTON_B, SDL_CONTROLLER_BUTTON_X,
                                     SDL_CONTROLLER_BUTTON_Y, SDL_CONTROLLER_BUTTON_START,
                                     SDL_CONTROLLER_BUTTON_BACK, SDL_CONTROLLER_BUTTON_DPAD_UP})
    Press(joystick, b);
  const std::vector<std::pair<uint32_t, uintptr_t>> expected = {
      {platform::WM_KEYDOWN, 0xC3}, {platform::WM_KEYUP, 0xC3},  // A
      {platform::WM_KEYDOWN, 0xC4}, {platform::WM_KEYUP, 0xC4},  // B
      {platform::WM_KEYDOWN, 0xC5}, {platform::WM_KEYUP, 0xC5},  // X
      {platform::WM_KEYDOWN, 0xC6}, {platform::WM_KEYUP, 0xC6},  // Y
      {platform::WM_KEYDOWN, 0xCF}, {platform::WM_KEYUP, 0xCF},  // Start
      {platform::WM_KEYDOWN, 0xD0}, {platform::WM_KEYUP, 0xD0},  // Back
      {platform::WM_KEYDOWN, 0xCB}, {platform::WM_KEYUP, 0xCB},  // the cross's up: it moves the launcher's focus
  };
  EXPECT_EQ(g_keys, expected);

  // Unplugged and plugged in again: still heard.
  SDL_JoystickClose(joystick);
  ASSERT_EQ(SDL_JoystickDetachVirtual(index), 0);
  Drain();
  const int again = SDL_JoystickAttachVirtual(SDL_JOYSTICK_TYPE_GAMECONTROLLER, SDL_CONTROLLER_AXIS_MAX,
                                              SDL_CONTROLLER_BUTTON_MAX, 0);
  ASSERT_GE(again, 0);
  joystick = SDL_JoystickOpen(again);
  ASSERT_NE(joystick, nullptr);
  Drain();
  g_keys.clear();
  Press(joystick, SDL_CONTROLLER_BUTTON_A);
  EXPECT_EQ(g_keys, (std::vector<std::pair<uint32_t, uintptr_t>>{{platform::WM_KEYDOWN, 0xC3}, {platform::WM_KEYUP, 0xC3}}));
  SDL_JoystickClose(joystick);
  platform::DestroyWindow(window);
}

}  // namespace
