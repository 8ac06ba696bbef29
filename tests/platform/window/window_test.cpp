#include "platform/window/window.h"

#include <gtest/gtest.h>

#include <thread>
#include <vector>

using namespace platform;

namespace {
std::vector<Message> g_seen;
intptr_t Recording(Window* w, uint32_t m, uintptr_t wp, intptr_t lp) {
  g_seen.push_back({w, m, wp, lp});
  return DefWindowProc(w, m, wp, lp);
}
bool Saw(uint32_t message) {
  for (auto& m : g_seen)
    if (m.message == message) return true;
  return false;
}
void Drain() {
  Message m;
  while (PeekMessage(&m, true))
    if (m.message != WM_QUIT) DispatchMessage(&m);
}
}  // namespace

TEST(Window, CreationShowQueueDispatchAndDestroy) {
  ASSERT_TRUE(RegisterWindowClass("Test Class", Recording));
  EXPECT_FALSE(RegisterWindowClass("Test Class", Recording)) << "a class name is registered once";
  EXPECT_EQ(nullptr, CreateWindow("No Class", "x", WindowKind::Captioned, 0, 0, 800, 600));

  g_seen.clear();
  Window* w = CreateWindow("Test Class", "Zorvel", WindowKind::Captioned, 112, 84, 800, 600);
  ASSERT_NE(nullptr, w);
  EXPECT_TRUE(Saw(WM_CREATE));
  EXPECT_TRUE(Saw(WM_MOVE));
  g_seen.clear();
  ShowWindow(w);
  ASSERT_GE(g_seen.size(), 3u);
  EXPECT_EQ(WM_ACTIVATEAPP, g_seen[0].message);
  EXPECT_EQ(WM_ACTIVATE, g_seen[1].message);
  EXPECT_EQ(WA_ACTIVE, g_seen[1].wParam);
  EXPECT_EQ(w, GetFocus());
  Point p = ClientToScreen(w, {0, 0});
  EXPECT_EQ(112, p.x);
  EXPECT_EQ(84, p.y);
  EXPECT_TRUE(SetWindowText(w, "Zorvel - Ann"));
  EXPECT_EQ("Zorvel - Ann", GetWindowText(w));

  // Posted messages come out in order; the quit message carries its exit code.
  g_seen.clear();
  Drain();
  PostMessage(w, WM_MOUSEMOVE, 0, PackPoint(799, 599));
  PostMessage(w, WM_LBUTTONDOWN, MK_LBUTTON, PackPoint(1, 2));
  PostQuitMessage(3);
  Message m;
  ASSERT_TRUE(PeekMessage(&m, false));
  EXPECT_EQ(WM_MOUSEMOVE, m.message) << "peek without removal leaves it queued";
  ASSERT_TRUE(PeekMessage(&m, true));
  DispatchMessage(&m);
  ASSERT_TRUE(PeekMessage(&m, true));
  DispatchMessage(&m);
  ASSERT_TRUE(PeekMessage(&m, true));
  EXPECT_EQ(WM_QUIT, m.message);
  EXPECT_EQ(3u, m.wParam);
  EXPECT_FALSE(PeekMessage(&m, true));
  ASSERT_EQ(2u, g_seen.size());
  EXPECT_EQ(799u, LowWord(static_cast<uintptr_t>(g_seen[0].lParam)));
  EXPECT_EQ(599u, HighWord(static_cast<uintptr_t>(g_seen[0].lParam)));

  // Posting from another thread reaches the window's own queue.
  std::thread([w] { PostMessage(w, MM_MCINOTIFY, MCI_NOTIFY_SUCCESSFUL, 0); }).join();
  ASSERT_TRUE(PeekMessage(&m, true));
  EXPECT_EQ(MM_MCINOTIFY, m.message);

  // The default procedure turns WM_CLOSE into destruction, which sends WM_DESTROY and drops queued messages.
  PostMessage(w, WM_KEYDOWN, VK_SPACE, KeyLParam(false, 57));
  g_seen.clear();
  SendMessage(w, WM_CLOSE, 0, 0);
  EXPECT_TRUE(Saw(WM_DESTROY));
  EXPECT_FALSE(IsWindow(w));
  EXPECT_FALSE(PeekMessage(&m, true));
  EXPECT_FALSE(PostMessage(w, WM_CLOSE, 0, 0));
  UnregisterAllWindowClasses();
}

TEST(Window, DeviceInputKeyStateAndTranslation) {
  ASSERT_TRUE(RegisterWindowClass("Input Class", Recording));
  Window* w = CreateWindow("Input Class", "Zorvel", WindowKind::Captioned, 0, 0, 800, 600);
  Drain();
  EXPECT_EQ(0, GetAsyncKeyState(VK_ESCAPE));
  PostDeviceMessage(WM_KEYDOWN, VK_ESCAPE, KeyLParam(false, 1));
  EXPECT_NE(0, GetAsyncKeyState(VK_ESCAPE) & 0x8000);
  PostDeviceMessage(WM_KEYUP, VK_ESCAPE, KeyLParam(true, 1));
  EXPECT_EQ(0, GetAsyncKeyState(VK_ESCAPE));
  PostDeviceMessage(WM_LBUTTONDOWN, MK_LBUTTON, PackPoint(5, 6));
  EXPECT_NE(0, GetAsyncKeyState(VK_LBUTTON));

  Message m;
  ASSERT_TRUE(PeekMessage(&m, true));
  EXPECT_EQ(WM_KEYDOWN, m.message);
  EXPECT_EQ(1, m.lParam & 0xFFFF) << "repeat count";
  EXPECT_TRUE(TranslateMessage(&m));
  ASSERT_TRUE(PeekMessage(&m, true));
  EXPECT_EQ(WM_KEYUP, m.message);
  EXPECT_NE(0u, static_cast<uint32_t>(m.lParam) & 0xC0000000u) << "key-up has the transition bits";
  ASSERT_TRUE(PeekMessage(&m, true));
  EXPECT_EQ(WM_LBUTTONDOWN, m.message);
  ASSERT_TRUE(PeekMessage(&m, true));
  EXPECT_EQ(WM_CHAR, m.message) << "translation queues the character after what was already there";
  EXPECT_EQ(static_cast<uintptr_t>(VK_ESCAPE), m.wParam);

  EXPECT_EQ(16, GetDesktopBitsPerPixel());
  EXPECT_GT(GetSystemMetrics(SM_CXSCREEN), 0);
  EXPECT_EQ(4, GetSystemMetrics(SM_CYFRAME));
  EXPECT_EQ(19, GetSystemMetrics(SM_CYSMCAPTION));
  DestroyWindow(w);
  SetAsyncKeyState(VK_LBUTTON, false);
  UnregisterAllWindowClasses();
}

TEST(Window, KeyNamesRoundTrip) {
  for (int vk : {VK_ESCAPE, VK_F1, VK_F12, VK_SPACE, VK_RETURN, VK_LEFT, static_cast<int>('A'), static_cast<int>('Z'),
                 static_cast<int>('0')}) {
    EXPECT_EQ(vk, VirtualKeyFromName(VirtualKeyName(vk))) << vk;
  }
  EXPECT_EQ(0, VirtualKeyFromName("F13"));
  EXPECT_EQ(0, VirtualKeyFromName("F1x"));
  EXPECT_EQ(0, VirtualKeyFromName("escape"));
  EXPECT_EQ(0, VirtualKeyFromName(""));
}
