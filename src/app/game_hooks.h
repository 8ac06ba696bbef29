#pragma once
// Where the shell reaches the screens, the game controller and the sound table. Until those are attached the
// hooks keep the shell running on a black screen.
#include <cstdint>

#include "platform/direct_draw.h"
#include "platform/surface.h"
#include "platform/window.h"

void HookSoundInit(platform::Window* window, int32_t maxSamples);
void HookEnableMusic(int32_t on);
void HookEnableSfx(int32_t on);
void HookSoundShutdown();
void HookStartScreens(platform::DirectDraw* directDraw, platform::Surface* backSurface);
int32_t HookHandleFrame(int32_t active);
intptr_t HookForwardMessage(platform::Window* window, uint32_t message, uintptr_t wParam, intptr_t lParam);
void HookDeactivateAllScreens();
void HookReleaseGame();
