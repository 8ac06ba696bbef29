#include "platform/window/window.h"

#include <array>
#include <atomic>
#include <cassert>
#include <cstdlib>
#include <deque>
#include <map>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "platform/backend/backend.h"
#include "platform/host/end_request.h"
#include "platform/window/input_script.h"
#include "platform/audio/sound_focus.h"
#include "platform/replay/trace.h"

namespace platform {

namespace {

struct MessageQueue {
  std::mutex mutex;
  std::deque<Message> messages;
};

}  // namespace

class Window {
 public:
  WindowProc procedure = nullptr;
  std::string title;
  WindowKind kind = WindowKind::Captioned;
  int x = 0, y = 0, width = 0, height = 0;
  bool alive = true;
  std::shared_ptr<MessageQueue> queue;
};

namespace {

struct WindowSystem {
  std::mutex mutex;
  std::map<std::string, WindowProc> classes;
  // Windows are kept (dead) until exit so stale pointers held by callers never dangle.
  std::vector<std::unique_ptr<Window>> windows;
  Window* mainWindow = nullptr;
  Window* focus = nullptr;
  std::array<std::atomic<bool>, 256> keys{};
  Point cursor;
};

WindowSystem& System() {
  static WindowSystem system;
  return system;
}

std::shared_ptr<MessageQueue>& ThreadQueue() {
  thread_local std::shared_ptr<MessageQueue> queue = std::make_shared<MessageQueue>();
  return queue;
}

bool Alive(Window* window) {
  if (!window) return false;
  WindowSystem& s = System();
  std::lock_guard<std::mutex> lock(s.mutex);
  for (auto& w : s.windows)
    if (w.get() == window) return w->alive;
  return false;
}

}  // namespace

bool RegisterWindowClass(const std::string& className, WindowProc procedure) {
  if (className.empty() || !procedure) return false;
  WindowSystem& s = System();
  std::lock_guard<std::mutex> lock(s.mutex);
  return s.classes.emplace(className, procedure).second;
}

void UnregisterAllWindowClasses() {
  WindowSystem& s = System();
  std::lock_guard<std::mutex> lock(s.mutex);
  s.classes.clear();
}

Window* CreateWindow(const std::string& className, const std::string& title, WindowKind kind, int x, int y,
                     int width, int height) {
  WindowSystem& s = System();
  WindowProc procedure = nullptr;
  {
    std::lock_guard<std::mutex> lock(s.mutex);
    auto it = s.classes.find(className);
    if (it == s.classes.end()) return nullptr;
    procedure = it->second;
  }
  if (!backend::OpenWindow(title, kind, x, y, width, height)) return nullptr;
  auto window = std::make_unique<Window>();
  window->procedure = procedure;
  window->title = title;
  window->kind = kind;
  window->x = x, window->y = y, window->width = width, window->height = height;
  window->queue = ThreadQueue();
  Window* w = window.get();
  {
    std::lock_guard<std::mutex> lock(s.mutex);
    s.windows.push_back(std::move(window));
    s.mainWindow = w;
  }
  TraceLine("window create \"" + title + "\"");
  SendMessage(w, WM_CREATE, 0, 0);
  SendMessage(w, WM_MOVE, 0, PackPoint(x, y));
  return w;
}

bool DestroyWindow(Window* window) {
  if (!Alive(window)) return false;
  SendMessage(window, WM_DESTROY, 0, 0);
  WindowSystem& s = System();
  {
    std::lock_guard<std::mutex> lock(s.mutex);
    window->alive = false;
    if (s.focus == window) s.focus = nullptr;
    if (s.mainWindow == window) s.mainWindow = nullptr;
  }
  {
    std::lock_guard<std::mutex> lock(window->queue->mutex);
    auto& q = window->queue->messages;
    for (auto it = q.begin(); it != q.end();) it = it->window == window ? q.erase(it) : it + 1;
  }
  backend::CloseWindow();
  TraceLine("window destroy");
  return true;
}

bool IsWindow(Window* window) { return Alive(window); }

void ShowWindow(Window* window) {
  if (!Alive(window)) return;
  SendMessage(window, WM_ACTIVATEAPP, 1, 0);
  SendMessage(window, WM_ACTIVATE, WA_ACTIVE, 0);
  SetFocus(window);
  SendMessage(window, WM_SIZE, SIZE_RESTORED, PackPoint(window->width, window->height));
}

void UpdateWindow(Window* /*window*/) {}

void SetWindowTopmost(Window* /*window*/) {}

bool SetWindowText(Window* window, const std::string& text) {
  if (!Alive(window)) return false;
  window->title = text;
  backend::SetTitle(text);
  TraceLine("caption \"" + text + "\"");
  return true;
}

void Announce(const std::string& text) { backend::Announce(text); }

std::string GetWindowText(Window* window) { return Alive(window) ? window->title : std::string(); }

WindowKind GetWindowKind(Window* window) { return window ? window->kind : WindowKind::Captioned; }

void SetFocus(Window* window) {
  WindowSystem& s = System();
  Window* previous;
  {
    std::lock_guard<std::mutex> lock(s.mutex);
    previous = s.focus;
    s.focus = window;
  }
  if (previous != window && Alive(window)) SendMessage(window, WM_SETFOCUS, 0, 0);
}

Window* GetFocus() {
  WindowSystem& s = System();
  std::lock_guard<std::mutex> lock(s.mutex);
  return s.focus;
}

Point ClientToScreen(Window* window, Point clientPoint) {
  if (!Alive(window) || window->kind == WindowKind::FullScreen) return clientPoint;
  return {clientPoint.x + window->x, clientPoint.y + window->y};
}

Window* GetMainWindow() {
  WindowSystem& s = System();
  std::lock_guard<std::mutex> lock(s.mutex);
  return s.mainWindow;
}

bool PostMessage(Window* window, uint32_t message, uintptr_t wParam, intptr_t lParam) {
  if (!Alive(window)) return false;
  std::lock_guard<std::mutex> lock(window->queue->mutex);
  window->queue->messages.push_back({window, message, wParam, lParam});
  return true;
}

void PostQuitMessage(int exitCode) {
  auto& queue = ThreadQueue();
  std::lock_guard<std::mutex> lock(queue->mutex);
  queue->messages.push_back({nullptr, WM_QUIT, static_cast<uintptr_t>(exitCode), 0});
}

bool PeekMessage(Message* message, bool remove) {
  backend::PollEvents();
  // A request to end from outside (SIGTERM, SIGHUP) closes the window, as its close button would.
  if (GetMainWindow() && host::TakeEndRequest()) {
    TraceLine("end requested");
    PostDeviceMessage(WM_CLOSE, 0, 0);
  }
  auto& queue = ThreadQueue();
  std::lock_guard<std::mutex> lock(queue->mutex);
  if (queue->messages.empty()) return false;
  *message = queue->messages.front();
  if (remove) queue->messages.pop_front();
  return true;
}

bool TranslateMessage(const Message* message) {
  if (!message || message->message != WM_KEYDOWN) return false;
  int vk = static_cast<int>(message->wParam);
  char c = 0;
  if (vk >= 'A' && vk <= 'Z') c = static_cast<char>(vk - 'A' + 'a');
  else if ((vk >= '0' && vk <= '9') || vk == VK_SPACE || vk == VK_RETURN || vk == VK_ESCAPE || vk == VK_BACK)
    c = static_cast<char>(vk);
  if (!c) return false;
  PostMessage(message->window, WM_CHAR, static_cast<uintptr_t>(c), message->lParam);
  return true;
}

intptr_t DispatchMessage(const Message* message) {
  if (!message || !Alive(message->window)) return 0;
  return message->window->procedure(message->window, message->message, message->wParam, message->lParam);
}

intptr_t SendMessage(Window* window, uint32_t message, uintptr_t wParam, intptr_t lParam) {
  if (!Alive(window)) return 0;
  return window->procedure(window, message, wParam, lParam);
}

intptr_t DefWindowProc(Window* window, uint32_t message, uintptr_t /*wParam*/, intptr_t /*lParam*/) {
  // The default handling the game relies on: closing a window destroys it.
  if (message == WM_CLOSE) DestroyWindow(window);
  return 0;
}

void PostDeviceMessage(uint32_t message, uintptr_t wParam, intptr_t lParam) {
  if (message == WM_KEYDOWN || message == WM_SYSKEYDOWN) SetAsyncKeyState(static_cast<int>(wParam), true);
  if (message == WM_KEYUP || message == WM_SYSKEYUP) SetAsyncKeyState(static_cast<int>(wParam), false);
  if (message == WM_LBUTTONDOWN || message == WM_LBUTTONUP) SetAsyncKeyState(VK_LBUTTON, message == WM_LBUTTONDOWN);
  if (message == WM_RBUTTONDOWN || message == WM_RBUTTONUP) SetAsyncKeyState(VK_RBUTTON, message == WM_RBUTTONDOWN);
  if (message == WM_ACTIVATE) SetSoundFocus(LowWord(wParam) != WA_INACTIVE);
  if (message == WM_MOUSEMOVE) {
    Window* w = GetMainWindow();
    SetCursorPos(ClientToScreen(w, {static_cast<int>(LowWord(static_cast<uintptr_t>(lParam))),
                                    static_cast<int>(HighWord(static_cast<uintptr_t>(lParam)))}));
  }
  RecordDeviceMessage(message, wParam, lParam);
  PostMessage(GetMainWindow(), message, wParam, lParam);
}

int16_t GetAsyncKeyState(int virtualKey) {
  if (virtualKey < 0 || virtualKey > 255) return 0;
  return System().keys[static_cast<size_t>(virtualKey)].load() ? static_cast<int16_t>(0x8000) : 0;
}

void SetAsyncKeyState(int virtualKey, bool down) {
  if (virtualKey < 0 || virtualKey > 255) return;
  System().keys[static_cast<size_t>(virtualKey)].store(down);
}

int GetSystemMetrics(int index) {
  switch (index) {
    case SM_CXSCREEN: return backend::DesktopWidth();
    case SM_CYSCREEN: return backend::DesktopHeight();
    case SM_CYFRAME: return 4;
    case SM_CYSMCAPTION: return 19;
    default: assert(!"system metric the game does not use"); return 0;
  }
}

int GetDesktopBitsPerPixel() {
  if (const char* bpp = std::getenv("ZORVEL_DESKTOP_BPP")) return std::atoi(bpp);
  return 16;
}

Point GetCursorPos() {
  WindowSystem& s = System();
  std::lock_guard<std::mutex> lock(s.mutex);
  return s.cursor;
}

void SetCursorPos(Point screenPoint) {
  WindowSystem& s = System();
  std::lock_guard<std::mutex> lock(s.mutex);
  s.cursor = screenPoint;
}

}  // namespace platform
