#include <gtest/gtest.h>

#include "app/app_main.h"
#include "app/app_state.h"
#include "app/input_state.h"
#include "platform/timer/timer.h"
#include "platform/window/window.h"

using namespace platform;

namespace {
struct MainWindow : ::testing::Test {
  static void SetUpTestSuite() {
    UseVirtualTime(true);
    ASSERT_EQ(1, RegisterWindowClass(nullptr));
    ASSERT_EQ(1, CreateMainWindow(nullptr));
  }
  static intptr_t Send(uint32_t m, uintptr_t w = 0, intptr_t l = 0) { return MainWindowProc(g_app.mainWindow, m, w, l); }
  static void Mouse(int32_t* x, int32_t* y, int32_t* b) { g_inputState.GetMouse(x, y, b); }
};
}  // namespace

TEST_F(MainWindow, CreationMakesACentredActiveCaptionedWindow) {
  EXPECT_EQ(800, g_app.screenWidth);
  EXPECT_EQ(600, g_app.screenHeight);
  EXPECT_EQ(1, g_app.appActive) << "showing the window activates it";
  EXPECT_EQ(WindowKind::Captioned, GetWindowKind(g_app.mainWindow));
  EXPECT_EQ("Zorvel", GetWindowText(g_app.mainWindow));
  const Point origin = ClientToScreen(g_app.mainWindow, {0, 0});
  EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN) / 2 - 400, origin.x);
  EXPECT_EQ(GetSystemMetrics(SM_CYSCREEN) / 2 - 300, origin.y);
  SetWindowTitle("Ann");
  EXPECT_EQ("Zorvel - Ann", GetWindowText(g_app.mainWindow));
}

TEST_F(MainWindow, MouseButtonsActivationAndMaximizeOffsets) {
  Send(WM_ACTIVATEAPP, 1);
  Send(WM_MOUSEMOVE, 0, PackPoint(700, 500));
  int32_t x, y, b;
  Mouse(&x, &y, &b);
  EXPECT_EQ(700, x);
  EXPECT_EQ(500, y);
  Send(WM_LBUTTONDOWN);
  Send(WM_RBUTTONDOWN);
  Send(WM_LBUTTONUP);
  Mouse(nullptr, nullptr, &b);
  EXPECT_EQ(2, b) << "releasing the left button keeps the right one";
  Send(WM_RBUTTONUP);

  // Inactive: moves are ignored, buttons still count.
  Send(WM_ACTIVATE, WA_INACTIVE);
  EXPECT_EQ(0, g_app.appActive);
  Send(WM_MOUSEMOVE, 0, PackPoint(10, 10));
  Send(WM_LBUTTONDOWN);
  Mouse(&x, nullptr, &b);
  EXPECT_EQ(700, x);
  EXPECT_EQ(1, b);
  Send(WM_LBUTTONUP);
  Send(WM_ACTIVATE, WA_CLICKACTIVE);
  EXPECT_EQ(0, g_app.appActive) << "a click activation changes nothing by itself";
  Send(WM_ACTIVATE, WA_ACTIVE);
  EXPECT_EQ(1, g_app.appActive);
  Send(WM_ACTIVATEAPP, 0);
  EXPECT_EQ(0, g_app.appActive);
  Send(WM_ACTIVATEAPP, 1);

  // Maximized: 399 horizontally, and the caption and frame taken off vertically.
  Send(WM_SIZE, SIZE_MAXIMIZED, PackPoint(1024, 768));
  EXPECT_EQ(512 - 399, g_app.mouseOffsetX);
  EXPECT_EQ(384 - 300 - 4 - 19, g_app.mouseOffsetY);
  Send(WM_MOUSEMOVE, 0, PackPoint(213, 161));
  Mouse(&x, &y, nullptr);
  EXPECT_EQ(100, x);
  EXPECT_EQ(100, y);
  Send(WM_SIZE, SIZE_RESTORED, PackPoint(800, 600));
  EXPECT_EQ(0, g_app.mouseOffsetX);
  EXPECT_EQ(0, g_app.mouseOffsetY);
}

TEST_F(MainWindow, KeysMenuAndTheFrameRateDisplay) {
  const int before = g_app.showFrameRate;
  Send(WM_KEYDOWN, VK_F1);
  EXPECT_EQ(before, g_app.showFrameRate) << "only the key release toggles";
  Send(WM_KEYUP, VK_F1);
  EXPECT_EQ(1 - before, g_app.showFrameRate);
  Send(WM_KEYUP, VK_F1);
  EXPECT_EQ(before, g_app.showFrameRate);
  EXPECT_EQ(0, Send(WM_SYSCOMMAND, SC_KEYMENU));

  Message m;
  while (PeekMessage(&m, true)) {
  }
  Send(WM_KEYUP, VK_ESCAPE);
  ASSERT_TRUE(PeekMessage(&m, false));
  EXPECT_EQ(WM_CLOSE, m.message) << "Escape asks the window to close";
}

TEST_F(MainWindow, ClosingRunsTheShutdownAndTheQuitIsSeenTwice) {
  Message m;
  while (PeekMessage(&m, true)) {
  }
  PostMessage(g_app.mainWindow, WM_CLOSE, 0, 0);
  EXPECT_EQ(1, PumpMessages());
  EXPECT_FALSE(IsWindow(g_app.mainWindow));
  EXPECT_EQ(0, g_app.appActive);
  EXPECT_EQ(1, PumpMessages()) << "the quit message is posted again for the outer loop";
  ASSERT_TRUE(PeekMessage(&m, true));
  EXPECT_EQ(WM_QUIT, m.message);
  EXPECT_EQ(0u, m.wParam);
}
