#include "app/game_hooks.h"

#include "zk/zk.h"

void HookSoundInit(platform::Window*, int32_t) {}
void HookEnableMusic(int32_t) {}
void HookEnableSfx(int32_t) {}
void HookSoundShutdown() {}
void HookStartScreens(platform::DirectDraw*, platform::Surface*) {}
// No screen yet: present the (black) back buffer so the window shows something and time advances.
int32_t HookHandleFrame(int32_t) {
  ZKFlip();
  return 5;
}
intptr_t HookForwardMessage(platform::Window*, uint32_t, uintptr_t, intptr_t) { return 1; }
void HookDeactivateAllScreens() {}
void HookReleaseGame() {}
