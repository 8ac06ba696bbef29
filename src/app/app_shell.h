#pragma once
// The program as the game sees it: the mouse state, the message pump, the window's size, the launcher and its
// player roster, behind the game's narrow view of them.
#include "game/game_shell.h"

class AppShell final : public GameShell {
 public:
  void GetMouse(int32_t* x, int32_t* y, int32_t* buttons) override;
  int32_t PumpMessages() override;
  int32_t ScreenWidth() override;
  int32_t ScreenHeight() override;
  bool LeaveToLauncher() override;
  int32_t LoadCurrentPlayer(char* playerLine) override;
};

extern AppShell g_appShell;
