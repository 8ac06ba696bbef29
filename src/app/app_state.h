#pragma once
// The shell's process-wide values. Only the start-up code and the window procedure write them.
#include <cstdint>

#include "platform/video/direct_draw.h"
#include "platform/window/window.h"

struct AppState {
  void* appInstance = nullptr;
  platform::Window* mainWindow = nullptr;
  int32_t fullScreen = 0;
  int32_t appActive = 0;
  int32_t showFrameRate = 0;
  char launcherDir[256] = {};
  int32_t screenWidth = 0;
  int32_t screenHeight = 0;
  int32_t mouseOffsetX = 0;
  int32_t mouseOffsetY = 0;
  int32_t nextFrameTime = 0;
  float frameRate = 0.0f;
  platform::DirectDraw* directDraw = nullptr;
};

extern AppState g_app;
