#include "game/popup_dialog.h"

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <string>

#include "app/app_main.h"
#include "app/app_shell.h"
#include "app/app_state.h"
#include "common/ticker.h"
#include "gfx/refresh_manager.h"
#include "platform/window/messages.h"
#include "platform/timer/timer.h"
#include "platform/window/window.h"
#include "ui/back_surface.h"
#include "zk/zk.h"

using namespace platform;

namespace {

const std::string kGameOver = std::string(ZORVEL_GAME_DIR) + "/gameover.bmp";  // 450 x 172

// A window with the game's own procedure, the display and the ticker, all in virtual time; input is posted at
// chosen virtual times from the clock listener, as a player's hand would arrive between frames.
struct Popups : ::testing::Test {
  static std::multimap<uint32_t, std::function<void()>>& Pending() {
    static std::multimap<uint32_t, std::function<void()>> pending;
    return pending;
  }
  static void SetUpTestSuite() {
    UseVirtualTime(true);
    ASSERT_EQ(1, RegisterWindowClass(nullptr));
    ASSERT_EQ(1, CreateMainWindow(nullptr));
    ASSERT_EQ(1, ZKInitDirectX(g_app.mainWindow, 800, 600));
    platform::Surface* back = nullptr;
    ZKGetDDInfo(nullptr, &back);
    SetBackSurface(back);
    StartTicker();
    AddVirtualClockListener([](uint32_t now) {
      auto& pending = Pending();
      while (!pending.empty() && pending.begin()->first <= now) {
        auto action = pending.begin()->second;
        pending.erase(pending.begin());
        action();
      }
    });
  }
  static void At(uint32_t afterMs, std::function<void()> action) {
    Pending().emplace(GetTickCount() + afterMs, std::move(action));
  }
  static void ClickAt(uint32_t afterMs, int x, int y) {
    At(afterMs, [x, y] { PostDeviceMessage(WM_MOUSEMOVE, 0, PackPoint(x, y)); PostDeviceMessage(WM_LBUTTONDOWN, MK_LBUTTON, PackPoint(x, y)); });
    At(afterMs + 50, [x, y] { PostDeviceMessage(WM_LBUTTONUP, 0, PackPoint(x, y)); });
  }
};

}  // namespace

TEST_F(Popups, PlacementCentresOnceAndPlacesExactly) {
  PopupDialog popup(g_appShell);
  Picture* picture = popup.LoadPopupPicture(kGameOver.c_str(), nullptr);
  ASSERT_NE(nullptr, picture->GetSurface());
  const Rect centred = popup.GetPopupRect();
  EXPECT_EQ(400 - 225, centred.left);
  EXPECT_EQ(300 - 86, centred.top);
  popup.PlaceAt(175, 299);
  EXPECT_EQ(175, popup.GetPopupRect().left);
  EXPECT_EQ(299, popup.GetPopupRect().top);
  EXPECT_EQ(625, popup.GetPopupRect().right);
  EXPECT_EQ(471, popup.GetPopupRect().bottom);
  popup.PlaceAt(-1, -1);
  EXPECT_EQ(175, popup.GetPopupRect().left) << "once placed, asking for the centre keeps the place";
  EXPECT_EQ(picture, popup.SelectPictureByName("no such picture")) << "an unknown name shows the first picture";
}

TEST_F(Popups, ADeadlineClosesItAndClicksAreIgnoredWithoutButtons) {
  PopupDialog popup(g_appShell);
  popup.LoadPopupPicture(kGameOver.c_str(), nullptr);
  popup.SetCloseTime(TickNow() + 300);
  ClickAt(50, 400, 300);
  char result[256] = "untouched";
  const int32_t start = TickNow();
  EXPECT_EQ(1, popup.RunModal(result, nullptr));
  EXPECT_STREQ("", result) << "a deadline leaves the result empty; the click did nothing";
  EXPECT_GT(TicksSince(start), 300);
  EXPECT_LE(TicksSince(start), 320) << "it closes in the first pass after the deadline";
}

TEST_F(Popups, AClickOnTheDefaultButtonWinsOverTheHotkey) {
  PopupDialog popup(g_appShell);
  popup.LoadPopupPicture(kGameOver.c_str(), nullptr);
  popup.AddDefaultButton();
  popup.SetHotkey(VK_SPACE);
  // The mouse is read before each pass takes its messages, so the release is seen one pass after it arrives:
  // hold the key from then on, so both happen in one pass.
  At(60, [] { PostDeviceMessage(WM_KEYDOWN, VK_SPACE, KeyLParam(false, 57)); });
  ClickAt(0, 400, 300);
  char result[256];
  EXPECT_EQ(1, popup.RunModal(result, nullptr));
  EXPECT_STREQ("default", result);
  PostDeviceMessage(WM_KEYUP, VK_SPACE, KeyLParam(true, 57));

  // The hotkey alone closes it with "key".
  PopupDialog keyed(g_appShell);
  keyed.LoadPopupPicture(kGameOver.c_str(), nullptr);
  keyed.SetHotkey(VK_SPACE);
  At(30, [] { PostDeviceMessage(WM_KEYDOWN, VK_SPACE, KeyLParam(false, 57)); });
  EXPECT_EQ(1, keyed.RunModal(result, nullptr));
  EXPECT_STREQ("key", result);
  PostDeviceMessage(WM_KEYUP, VK_SPACE, KeyLParam(true, 57));
  Message m;
  while (PeekMessage(&m, true)) DispatchMessage(&m);
}

TEST_F(Popups, APictureThatDidNotLoadCannotHoldTheGame) {
  PopupDialog popup(g_appShell);
  popup.LoadPopupPicture("no-such-picture.bmp", nullptr);
  popup.AddDefaultButton();  // no size: nothing to click
  char result[256];
  const int32_t start = TickNow();
  EXPECT_EQ(1, popup.RunModal(result, nullptr));
  EXPECT_EQ(0, TicksSince(start)) << "closed at once";
}

TEST_F(Popups, TheWorkSurfaceIsLentToThePictureAndGivenBack) {
  Surface* scene = Surface::Create(800, 600);
  g_refreshManager.SetWorkSurface(scene);
  PopupDialog popup(g_appShell);
  Picture* picture = popup.LoadPopupPicture(kGameOver.c_str(), nullptr);
  popup.SetCloseTime(TickNow() + 50);
  Surface* during = nullptr;
  At(20, [&] { during = g_refreshManager.GetWorkSurface(); });
  char result[256];
  popup.RunModal(result, nullptr);
  EXPECT_EQ(picture->GetSurface(), during);
  EXPECT_EQ(scene, g_refreshManager.GetWorkSurface());
  g_refreshManager.SetWorkSurface(nullptr);
  scene->Release();
}

TEST_F(Popups, TheQuitMessageEndsTheRunAndIsSeenAgain) {
  PopupDialog popup(g_appShell);
  popup.LoadPopupPicture(kGameOver.c_str(), nullptr);
  popup.AddDefaultButton();
  At(30, [] { PostQuitMessage(0); });
  char result[256];
  EXPECT_EQ(0, popup.RunModal(result, nullptr));
  Message m;
  ASSERT_TRUE(PeekMessage(&m, true));
  EXPECT_EQ(WM_QUIT, m.message) << "posted again for the frame loop";
}
