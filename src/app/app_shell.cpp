#include "app/app_shell.h"

#include "app/app_main.h"
#include "app/app_state.h"
#include "app/input_state.h"
#include "app/player_roster.h"

AppShell g_appShell;

void AppShell::GetMouse(int32_t* x, int32_t* y, int32_t* buttons) { g_inputState.TakeFrameMouse(x, y, buttons); }

int32_t AppShell::PumpMessages() { return ::PumpMessages(); }

int32_t AppShell::ScreenWidth() { return g_app.screenWidth; }

int32_t AppShell::ScreenHeight() { return g_app.screenHeight; }

bool AppShell::LeaveToLauncher() {
  if (g_app.launcherDir[0] == 0) return false;
  ::LeaveToLauncher();
  return true;
}

int32_t AppShell::LoadCurrentPlayer(char* playerLine) { return g_playerRoster.LoadCurrentPlayer(playerLine); }
