#pragma once
// The shell's only path to the screens: it lists them in registration order, activates one by name, and hands
// the active screen every frame and window message. It lists the screens but does not own them.
#include <cstdint>

#include "common/ptr_array.h"
#include "platform/video/direct_draw.h"
#include "platform/video/surface.h"
#include "platform/window/window.h"
#include "ui/screen.h"

class ScreenManager {
 public:
  ScreenManager();
  ~ScreenManager();
  ScreenManager(const ScreenManager&) = delete;
  ScreenManager& operator=(const ScreenManager&) = delete;

  void SetDisplay(platform::DirectDraw* directDraw, platform::Surface* backSurface);
  void AddScreen(Screen* screen);
  // The first screen whose name matches exactly (case-sensitive) becomes active; the previously active one is
  // deactivated first, even when it is the same screen. Returns the active screen after the call.
  Screen* ActivateScreen(const char* name);
  // The active screen's result, or 0 with no active screen.
  int32_t HandleFrame(int32_t active);
  // The active screen's result, or 1 with no active screen.
  int32_t ForwardMessage(platform::Window* window, uint32_t message, uintptr_t wParam, intptr_t lParam);
  // Every listed screen, active or not, in registration order; the active pointer stays.
  void DeactivateAll();

  Screen* GetActiveScreen() const { return active_; }
  int32_t ScreenCount() const { return screens_->Count(); }

 private:
  PtrArray<Screen>* screens_;
  Screen* active_ = nullptr;
  platform::DirectDraw* directDraw_ = nullptr;
  platform::Surface* backSurface_ = nullptr;
};

extern ScreenManager g_screenManager;
