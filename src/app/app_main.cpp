#include "app/app_main.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>

#include "app/app_state.h"
#include "app/game_screen.h"
#include "app/screen_manager.h"
#include "common/random_generator.h"
#include "common/ticker.h"
#include "game/quiz_game.h"
#include "sound/sound_table.h"
#include "app/input_state.h"
#include "gfx/surface_utils.h"
#include "platform/window/input_script.h"
#include "platform/window/launch.h"
#include "platform/music/mci.h"
#include "platform/window/message_box.h"
#include "platform/host/end_request.h"
#include "platform/host/profile.h"
#include "platform/timer/thread.h"
#include "platform/timer/timer.h"
#include "platform/replay/trace.h"
#include "platform/host/writable_files.h"
#include "ui/back_surface.h"
#include "zk/debug_font.h"
#include "zk/zk.h"

AppState g_app;
InputState g_inputState;

namespace {

constexpr const char* kWindowClass = "DirectX Class";
constexpr const char* kGameTitle = "Zorvel";
constexpr const char* kSetupFile = ".\\setup.ini";
constexpr const char* kOptionsFile = "..\\options.ini";
constexpr const char* kLauncherProgram = "\\Hubbix.exe";
constexpr int kFrameRateMargin = 6;

// The display is always there on this game's hosts; tests make the checks fail with ZORVEL_DIRECTDRAW=none or =old.
bool DirectDrawObjectAvailable() {
  const char* dd = std::getenv("ZORVEL_DIRECTDRAW");
  return !(dd && std::strcmp(dd, "none") == 0);
}
bool DirectDraw7Available() {
  const char* dd = std::getenv("ZORVEL_DIRECTDRAW");
  return !(dd && std::strcmp(dd, "old") == 0);
}

void SendMusicCommand(const char* command) { platform::MciSendString(command, g_app.mainWindow); }

void StartMusic() {
  platform::MciSendString("open .\\sounds\\music.mp3 alias music", nullptr);
  platform::MciSendString("play music notify", g_app.mainWindow);
}

}  // namespace

int32_t RegisterWindowClass(void* /*instance*/) {
  return platform::RegisterWindowClass(kWindowClass, MainWindowProc) ? 1 : 0;
}

int32_t CreateMainWindow(void* /*instance*/) {
  platform::Window* window = nullptr;
  if (g_app.fullScreen) {
    window = platform::CreateWindow(kWindowClass, kGameTitle, platform::WindowKind::FullScreen, 0, 0,
                                    platform::GetSystemMetrics(platform::SM_CXSCREEN),
                                    platform::GetSystemMetrics(platform::SM_CYSCREEN));
  } else {
    const int x = platform::GetSystemMetrics(platform::SM_CXSCREEN) / 2 - 400;
    const int y = platform::GetSystemMetrics(platform::SM_CYSCREEN) / 2 - 300;
    const std::string nowindow = platform::ReadProfileString(kSetupFile, "setup", "nowindow", "0", 32);
    if (platform::ProfileInt(nowindow.c_str()) == 1) {
      window = platform::CreateWindow(kWindowClass, "", platform::WindowKind::BorderlessTopmost, x, y, 800, 600);
      if (window) platform::SetWindowTopmost(window);
    } else {
      window = platform::CreateWindow(kWindowClass, kGameTitle, platform::WindowKind::Captioned, x, y, 800, 600);
    }
  }
  if (!window) return 0;
  g_app.mainWindow = window;
  platform::ShowWindow(window);
  platform::UpdateWindow(window);
  g_app.screenWidth = 800;
  g_app.screenHeight = 600;
  return 1;
}

int32_t PumpMessages() {
  platform::Message message;
  while (platform::PeekMessage(&message, true)) {
    if (message.message == platform::WM_QUIT) {
      platform::PostQuitMessage(static_cast<int>(message.wParam));
      return 1;
    }
    platform::TranslateMessage(&message);
    platform::DispatchMessage(&message);
  }
  return 0;
}

void WaitForNextFrame(int32_t rate) {
  const int32_t interval = 1000 / rate;
  // Sleep on the ticker: each wake is one 10 ms step, which keeps the pacing and the frame order and leaves the
  // core idle between frames.
  WaitForTickCount(g_app.nextFrameTime);
  ZKFramePaced();
  platform::LogFrameStart();
  g_app.nextFrameTime = tickCounter.load() + interval;
  g_app.frameRate = static_cast<float>(rate);
  if (g_app.showFrameRate == 1) ShowFrameRate(g_app.frameRate);
}

void ShowFrameRate(float rate) {
  char text[32];
  std::snprintf(text, sizeof text, "%6.2f", static_cast<double>(rate));
  // Right-aligned, a margin inside the picture, on the dark floor right of the console.
  const int width = static_cast<int>(std::strlen(text)) * zk::kDebugCellWidth;
  ZKPrintString(text, 800 - kFrameRateMargin - width, 600 - kFrameRateMargin - zk::kDebugCellHeight);
}

void SetWindowTitle(const char* text) {
  char caption[512];
  std::snprintf(caption, sizeof caption, "%s - %s", kGameTitle, text ? text : "");
  platform::SetWindowText(g_app.mainWindow, caption);
}

void LeaveToLauncher() {
  if (g_app.launcherDir[0] == 0) return;
  // Start-up refused folders too long for this buffer, so the path is never cut.
  char path[256 + 16];
  std::snprintf(path, sizeof path, "%s%s", g_app.launcherDir, kLauncherProgram);
  platform::ShellExecute("open", path, "Zorvel", g_app.launcherDir, platform::SW_SHOWNORMAL);
}

namespace {

void Shutdown() {
  platform::MciSendString("close music", nullptr);
  StopTicker();
  g_screenManager.DeactivateAll();
  g_inputState.Release();
  g_quizGame.Release();
  ZKAcquireMouse(0);
  ZKFreeFont();
  ZKFreeDirectInput();
  ZKFreeDirectX();
  g_soundTable.Shutdown();
  g_app.appActive = 0;
  platform::PostQuitMessage(0);
  platform::TraceLine("shutdown");
}

}  // namespace

intptr_t MainWindowProc(platform::Window* window, uint32_t message, uintptr_t wParam, intptr_t lParam) {
  using namespace platform;
  // A key the screen took for itself (Escape answering the game's question) is not the window's to act on.
  if (g_screenManager.ForwardMessage(window, message, wParam, lParam) == kMessageTaken) return 0;
  switch (message) {
    case WM_DESTROY:
      Shutdown();
      break;
    case WM_MOVE:
      if (g_app.mainWindow) {
        Point p = ClientToScreen(g_app.mainWindow, {0, 0});
        ZKSetWindowXY(p.x, p.y);
      }
      break;
    case WM_SIZE: {
      const int w = static_cast<int>(LowWord(static_cast<uintptr_t>(lParam)));
      const int h = static_cast<int>(HighWord(static_cast<uintptr_t>(lParam)));
      if (wParam == SIZE_MAXIMIZED) {
        ZKSetWindowXY(w / 2 - 399, h / 2 - 300);
        g_app.mouseOffsetX = w / 2 - 399;
        g_app.mouseOffsetY = h / 2 - 300 - GetSystemMetrics(SM_CYFRAME) - GetSystemMetrics(SM_CYSMCAPTION);
      } else if (wParam == SIZE_RESTORED) {
        g_app.mouseOffsetX = g_app.mouseOffsetY = 0;
      }
      break;
    }
    case WM_ACTIVATE:
      if (LowWord(wParam) == WA_INACTIVE) {
        SendMusicCommand("pause music");
        ZKAcquireMouse(0);
        g_app.appActive = 0;
      } else if (LowWord(wParam) == WA_ACTIVE) {
        SendMusicCommand("resume music");
        ZKAcquireMouse(1);
        g_app.appActive = 1;
        SetFocus(g_app.mainWindow);
      }
      break;
    case WM_CLOSE:
      DestroyWindow(g_app.mainWindow);
      break;
    case WM_ACTIVATEAPP:
      g_app.appActive = wParam != 0 ? 1 : 0;
      break;
    case WM_KEYUP:
      if (wParam == static_cast<uintptr_t>(VK_ESCAPE)) PostMessage(g_app.mainWindow, WM_CLOSE, 0, 0);
      if (wParam == static_cast<uintptr_t>(VK_F1)) g_app.showFrameRate = 1 - g_app.showFrameRate;
      break;
    case WM_SYSCOMMAND:
      if (wParam == SC_KEYMENU) return 0;
      break;
    case WM_MOUSEMOVE:
      if (g_app.appActive == 1)
        g_inputState.SetPosition(static_cast<int32_t>(LowWord(static_cast<uintptr_t>(lParam))) - g_app.mouseOffsetX,
                                 static_cast<int32_t>(HighWord(static_cast<uintptr_t>(lParam))) - g_app.mouseOffsetY);
      break;
    case WM_LBUTTONDOWN: g_inputState.SetLeftButton(1); break;
    case WM_LBUTTONUP: g_inputState.SetLeftButton(0); break;
    case WM_RBUTTONDOWN: g_inputState.SetRightButton(1); break;
    case WM_RBUTTONUP: g_inputState.SetRightButton(0); break;
    case MM_MCINOTIFY:
      SendMusicCommand("close music");
      platform::MciSendString("open .\\sounds\\music.mp3 alias music", nullptr);
      SendMusicCommand("play music notify");
      break;
    default:
      break;
  }
  return DefWindowProc(window, message, wParam, lParam);
}

int AppMain(void* instance, const std::string& commandLine) {
  using namespace platform;
  // Where the launcher and the game are one program, the game runs again in the same process: nothing of the
  // last one's window and frame pacing is kept.
  g_app = AppState{};
  if (commandLine.empty()) {
    MessageBox("Game must be run from the Hubbix", "ERROR", MB_OK);
    return 0;
  }
  // The launcher path is built from this folder in a 256-character buffer; refuse what could not fit.
  if (commandLine.size() + std::strlen(kLauncherProgram) > 255) {
    MessageBox("The launcher folder name is too long (at most 244 characters): " + commandLine.substr(0, 60) + "...",
               "ERROR", MB_OK);
    return 0;
  }
  std::snprintf(g_app.launcherDir, sizeof g_app.launcherDir, "%s", commandLine.c_str());
  // A logout or a hang-up ends the game as closing its window does.
  host::CatchEndRequests();
  // An installed game folder is read-only: the settings and the hall of fame then live in the player's folders.
  UseWritableFiles(LocateWritableFiles(commandLine, "."), commandLine, ".");

  const int bpp = GetDesktopBitsPerPixel();
  if (bpp != 15 && bpp != 16) {
    MessageBox("Quillon Games needs the display set to High Color (16 bit).", "", MB_ICONERROR);
    return 0;
  }
  if (!DirectDrawObjectAvailable()) {
    MessageBox("DirectX not installed. Program needs DirectX 7.0a or higher to run", "", MB_ICONERROR);
    return 0;
  }
  if (!DirectDraw7Available()) {
    MessageBox("DirectX Version 7.0a or greater not installed", "", MB_ICONERROR);
    return 0;
  }

  g_app.appInstance = instance;
  ZKSetInstance(instance);
  g_app.fullScreen = ProfileInt(ReadProfileString(kSetupFile, "setup", "fullscreen", "0", 256).c_str());

  if (!RegisterWindowClass(instance)) return 1;
  if (!CreateMainWindow(instance)) return 1;

  ZKDebugEnable(0);
  if (g_app.fullScreen) {
    if (!ZKInitDirectX(g_app.mainWindow, 800, 600, 16)) return 1;
  } else {
    if (!ZKInitDirectX(g_app.mainWindow, g_app.screenWidth, g_app.screenHeight)) {
      ZKPrintError();
      return 1;
    }
  }
  ZKSetViewport(0, 0, 800, 600);

  g_app.directDraw = ZKGetLPDD();
  Surface* front = nullptr;
  Surface* back = nullptr;
  ZKGetDDInfo(&front, &back);
  SetBackSurface(back);
  FillSurfacePixel(back, 0);

  ZKSetInstance(instance);
  ZKInitMouse();
  StartTicker();
  g_soundTable.Init(g_app.mainWindow, 200);

  const std::string music = ReadProfileString(kOptionsFile, "setup", "music", "Y", 2);
  g_soundTable.EnableMusic(!music.empty() && music[0] == 'Y' ? 1 : 0);
  if (!music.empty() && music[0] == 'Y') StartMusic();
  const std::string sfx = ReadProfileString(kOptionsFile, "setup", "SFX", "Y", 2);
  g_soundTable.EnableSFX(!sfx.empty() && sfx[0] == 'Y' ? 1 : 0);

  Point cursor = GetCursorPos();
  g_inputState.SetPosition(cursor.x, cursor.y);
  ZKAcquireMouse(1);

  const uint32_t seed = FixedSeed().value_or(static_cast<uint32_t>(std::time(nullptr)));
  SeedRandom(seed);
  RecordSeed(seed);
  TraceLine("seed " + std::to_string(seed));

  ZKInitFont(g_app.mainWindow);
  g_screenManager.SetDisplay(g_app.directDraw, BackSurface());
  if (g_screenManager.ScreenCount() == 0) g_screenManager.AddScreen(&g_gameScreen);
  g_screenManager.ActivateScreen("Zorvel");
  ZKInitKeyboard();

  // Frames keep their 10 ms pace on a busy machine only above the crowd. In virtual time there is no pace to keep,
  // and a raised thread that never waits would hold a core.
  if (!platform::IsVirtualTime()) platform::RaiseFrameLoopPriority();

  for (;;) {
    if (PumpMessages()) return 0;
    if (g_app.appActive == 1) {
      ZKAcquireMouse(1);
      WaitForNextFrame(100);
      const int32_t result = g_screenManager.HandleFrame(g_app.appActive);
      platform::LogFrameEnd();
      if (result == kFrameQuit) {
        DestroyWindow(g_app.mainWindow);
        return 0;
      }
    } else {
      ZKAcquireMouse(0);
      // Inactive: only keep the queue drained. Unlike a spinning loop, wait for a tick so the core stays idle.
      WaitForTick();
    }
  }
}
