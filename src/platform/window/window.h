#pragma once
// The one kind of window the game has, its message queue, keyboard state and screen metrics.
#include <cstdint>
#include <string>

#include "platform/backend/backend.h"
#include "platform/window/messages.h"

namespace platform {

using WindowProc = intptr_t (*)(Window* window, uint32_t message, uintptr_t wParam, intptr_t lParam);

struct Point {
  int x = 0, y = 0;
};

// Window classes are looked up by name at creation; registering a name twice fails.
bool RegisterWindowClass(const std::string& className, WindowProc procedure);
void UnregisterAllWindowClasses();

// Creates a window of a registered class, owned by the calling thread; null when the class is unknown or the
// backend cannot open a window. Sends WM_CREATE and WM_MOVE to the procedure before returning.
Window* CreateWindow(const std::string& className, const std::string& title, WindowKind kind, int x, int y,
                     int width, int height);
// Sends WM_DESTROY to the procedure, then closes the window. Messages still queued for it are dropped.
bool DestroyWindow(Window* window);
bool IsWindow(Window* window);
// Shows the window; like a newly shown top-level window it becomes the active one (WM_ACTIVATEAPP, WM_ACTIVATE
// and WM_SETFOCUS are sent) and reports its size (WM_SIZE).
void ShowWindow(Window* window);
// UpdateWindow and SetWindowTopmost are kept: part of the game's interface. Each flip shows the picture anyway
// and no backend keeps a window above the others, so they change nothing.
void UpdateWindow(Window* window);
void SetWindowTopmost(Window* window);
bool SetWindowText(Window* window, const std::string& text);
// What a screen reader should read out now (the statement, the verdict and explanation): the browser's page has
// a live region for it; a desktop window has nothing to give it to.
void Announce(const std::string& text);
std::string GetWindowText(Window* window);
WindowKind GetWindowKind(Window* window);
void SetFocus(Window* window);
Window* GetFocus();
Point ClientToScreen(Window* window, Point clientPoint);
// The window that device input goes to (the last one created).
Window* GetMainWindow();

// Thread-safe: the sound engine posts its notifications from other threads.
bool PostMessage(Window* window, uint32_t message, uintptr_t wParam, intptr_t lParam);
void PostQuitMessage(int exitCode);
// Takes the next message of the calling thread's queue (device input is gathered first).
bool PeekMessage(Message* message, bool remove);
bool TranslateMessage(const Message* message);
intptr_t DispatchMessage(const Message* message);
intptr_t SendMessage(Window* window, uint32_t message, uintptr_t wParam, intptr_t lParam);
intptr_t DefWindowProc(Window* window, uint32_t message, uintptr_t wParam, intptr_t lParam);

// Device input as the backends report it: posted to the main window, recorded when recording, and reflected in
// the asynchronous key state.
void PostDeviceMessage(uint32_t message, uintptr_t wParam, intptr_t lParam);

// High bit set while the key is down.
int16_t GetAsyncKeyState(int virtualKey);
void SetAsyncKeyState(int virtualKey, bool down);

int GetSystemMetrics(int index);
// The colour depth the game sees for the desktop: 16 unless ZORVEL_DESKTOP_BPP says otherwise (tests).
int GetDesktopBitsPerPixel();
Point GetCursorPos();
void SetCursorPos(Point screenPoint);

}  // namespace platform
