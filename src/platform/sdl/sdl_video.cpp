// The SDL backend: a real window showing the 800 x 600 picture scaled to fit (letterboxed), mouse coordinates
// mapped back to the picture, keys and focus turned into the game's window messages.
#include <SDL.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "platform/backend/backend.h"
#include "platform/host/system_calls.h"
#include "platform/sdl/sdl_display_loss.h"
#include "platform/window/picture_mapping.h"
#include "platform/video/surface.h"
#include "platform/window/window.h"

namespace platform::backend {

namespace {

constexpr int kMinimumWindowWidth = 640, kMinimumWindowHeight = 480;
constexpr const char* kWindowClass = "Zorvel";
constexpr const char* kDesktopAppId = "org.zorvel.Zorvel";

struct SdlVideo {
  bool videoReady = false;
  SDL_Window* window = nullptr;
  SDL_Renderer* renderer = nullptr;
  SDL_Texture* texture = nullptr;
  bool altAlone = false;  // Alt pressed and no other key since: its release opens the (absent) system menu
  Point lastPointer{-1, -1};  // the picture position last reported to the game
  bool softwareRenderer = false;
  // The picture last sent to the window, by identity and write number: most frames change nothing, and only the
  // areas written since are uploaded.
  uint64_t shownId = 0, shownSerial = 0;
  bool wholeWindowDue = true;  // after opening, a resize or an expose
  std::vector<platform::Rect> changes;
  std::vector<SDL_GameController*> controllers;
  ~SdlVideo() {
    for (SDL_GameController* c : controllers) SDL_GameControllerClose(c);
    CloseWindow();
  }
};

SdlVideo& Video() {
  static SdlVideo video;
  return video;
}

bool EnsureVideo() {
  SdlVideo& v = Video();
  if (v.videoReady) return true;
  // The window's class, read when the video starts, is what the desktop entry's StartupWMClass names (on X11) and
  // its file's name (the Wayland app id), whatever the program file is called (zorvel-game when installed). A
  // class set by the user wins.
  ::setenv("SDL_VIDEO_X11_WMCLASS", kWindowClass, 0);
  ::setenv("SDL_VIDEO_WAYLAND_WMCLASS", kDesktopAppId, 0);
  if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
    std::fprintf(stderr, "Zorvel: no display available (%s)\n", SDL_GetError());
    return false;
  }
  v.videoReady = true;
  // Controllers are welcome but not needed: without the subsystem the game plays on with mouse and keys.
  if (SDL_InitSubSystem(SDL_INIT_GAMECONTROLLER) != 0)
    std::fprintf(stderr, "Zorvel: controllers unavailable (%s)\n", SDL_GetError());
  return true;
}

int VirtualKey(SDL_Keycode key) {
  if (key >= SDLK_a && key <= SDLK_z) return 'A' + (key - SDLK_a);
  if (key >= SDLK_0 && key <= SDLK_9) return '0' + (key - SDLK_0);
  if (key >= SDLK_F1 && key <= SDLK_F12) return VK_F1 + (key - SDLK_F1);
  switch (key) {
    case SDLK_ESCAPE: return VK_ESCAPE;
    case SDLK_RETURN:
    case SDLK_KP_ENTER: return VK_RETURN;
    case SDLK_SPACE: return VK_SPACE;
    case SDLK_BACKSPACE: return VK_BACK;
    case SDLK_TAB: return VK_TAB;
    case SDLK_LEFT: return VK_LEFT;
    case SDLK_RIGHT: return VK_RIGHT;
    case SDLK_UP: return VK_UP;
    case SDLK_DOWN: return VK_DOWN;
    case SDLK_LSHIFT:
    case SDLK_RSHIFT: return VK_SHIFT;
    case SDLK_LCTRL:
    case SDLK_RCTRL: return VK_CONTROL;
    case SDLK_LALT:
    case SDLK_RALT: return VK_MENU;
    default: return 0;
  }
}

// A controller's buttons as the platform's controller keys; 0 for buttons the game has no use for.
int ControllerKey(uint8_t button) {
  switch (button) {
    case SDL_CONTROLLER_BUTTON_A: return VK_GAMEPAD_A;
    case SDL_CONTROLLER_BUTTON_B: return VK_GAMEPAD_B;
    case SDL_CONTROLLER_BUTTON_X: return VK_GAMEPAD_X;
    case SDL_CONTROLLER_BUTTON_Y: return VK_GAMEPAD_Y;
    case SDL_CONTROLLER_BUTTON_START: return VK_GAMEPAD_MENU;
    case SDL_CONTROLLER_BUTTON_BACK: return VK_GAMEPAD_VIEW;
    case SDL_CONTROLLER_BUTTON_DPAD_UP: return VK_GAMEPAD_DPAD_UP;
    case SDL_CONTROLLER_BUTTON_DPAD_DOWN: return VK_GAMEPAD_DPAD_DOWN;
    case SDL_CONTROLLER_BUTTON_DPAD_LEFT: return VK_GAMEPAD_DPAD_LEFT;
    case SDL_CONTROLLER_BUTTON_DPAD_RIGHT: return VK_GAMEPAD_DPAD_RIGHT;
    default: return 0;
  }
}

// Controllers plugged in before start and while the game runs alike arrive as "added".
void ControllerAdded(SdlVideo& v, int deviceIndex) {
  if (!SDL_IsGameController(deviceIndex)) return;
  const SDL_JoystickID id = SDL_JoystickGetDeviceInstanceID(deviceIndex);
  for (SDL_GameController* c : v.controllers)
    if (SDL_JoystickInstanceID(SDL_GameControllerGetJoystick(c)) == id) return;
  if (SDL_GameController* c = SDL_GameControllerOpen(deviceIndex)) v.controllers.push_back(c);
}

void ControllerRemoved(SdlVideo& v, SDL_JoystickID id) {
  for (size_t i = 0; i < v.controllers.size(); ++i) {
    if (SDL_JoystickInstanceID(SDL_GameControllerGetJoystick(v.controllers[i])) != id) continue;
    SDL_GameControllerClose(v.controllers[i]);
    v.controllers.erase(v.controllers.begin() + static_cast<long>(i));
    return;
  }
}

uintptr_t HeldButtons() {
  uint32_t state = SDL_GetMouseState(nullptr, nullptr);
  return ((state & SDL_BUTTON_LMASK) ? MK_LBUTTON : 0) | ((state & SDL_BUTTON_RMASK) ? MK_RBUTTON : 0);
}

WindowGeometry Geometry(const SdlVideo& v) {
  WindowGeometry g;
  SDL_GetWindowSize(v.window, &g.windowWidth, &g.windowHeight);
  g.drawableWidth = g.windowWidth, g.drawableHeight = g.windowHeight;
  if (v.renderer) SDL_GetRendererOutputSize(v.renderer, &g.drawableWidth, &g.drawableHeight);
  return g;
}

// An event's position. While the renderer has a logical size, SDL has already scaled event positions to the
// picture (positions on the bars come out below 0 or past the picture's edge); otherwise they are window units.
Point EventPoint(const SdlVideo& v, int x, int y) {
  int logicalW = 0, logicalH = 0;
  if (v.renderer) SDL_RenderGetLogicalSize(v.renderer, &logicalW, &logicalH);
  const std::optional<Point> p = logicalW ? ScaledToPicture(x * kPictureWidth / logicalW, y * kPictureHeight / logicalH)
                                          : WindowToPicture(Geometry(v), x, y);
  return p.value_or(kOffPicture);
}

void PostPointer(SdlVideo& v, Point p) {
  v.lastPointer = p;
  PostDeviceMessage(WM_MOUSEMOVE, HeldButtons(), PackPoint(p.x, p.y));
}

// Where the pointer is now, asked of the window system (positions in window units): after the picture moved
// under a pointer that did not, or when the pointer enters, the game learns the picture position it now covers.
void PollPointer(SdlVideo& v) {
  if (!v.window || SDL_GetMouseFocus() != v.window) return;
  int x = 0, y = 0;
  SDL_GetMouseState(&x, &y);
  const Point p = WindowToPicture(Geometry(v), x, y).value_or(kOffPicture);
  if (p.x != v.lastPointer.x || p.y != v.lastPointer.y) PostPointer(v, p);
}

void ToggleFullScreen(SdlVideo& v) {
  if (!v.window) return;
  const bool full = (SDL_GetWindowFlags(v.window) & SDL_WINDOW_FULLSCREEN_DESKTOP) != 0;
  SDL_SetWindowFullscreen(v.window, full ? 0 : SDL_WINDOW_FULLSCREEN_DESKTOP);
}

SDL_Renderer* CreateRendererFor(SDL_Window* window, bool* software) {
  // ZORVEL_RENDERER=software or accelerated chooses; SDL_RENDER_DRIVER, when set, is SDL's own choice and wins.
  const char* wanted = std::getenv("ZORVEL_RENDERER");
  bool accelerated = host::HasGraphicsCard();
  if (wanted && std::strcmp(wanted, "software") == 0) accelerated = false;
  if (wanted && std::strcmp(wanted, "accelerated") == 0) accelerated = true;
  SDL_Renderer* renderer = nullptr;
  if (std::getenv("SDL_RENDER_DRIVER")) {
    renderer = SDL_CreateRenderer(window, -1, 0);
  } else if (accelerated) {
    renderer = SDL_CreateRenderer(window, -1, SDL_RENDERER_ACCELERATED);
  }
  if (!renderer) renderer = SDL_CreateRenderer(window, -1, SDL_RENDERER_SOFTWARE);
  SDL_RendererInfo info{};
  *software = renderer && SDL_GetRendererInfo(renderer, &info) == 0 && (info.flags & SDL_RENDERER_SOFTWARE);
  return renderer;
}

}  // namespace

const char* Name() { return "sdl"; }

bool HasDisplay() {
  if (!EnsureVideo()) return false;
  const char* asked = std::getenv("SDL_VIDEODRIVER");
  const char* driver = SDL_GetCurrentVideoDriver();
  const bool standIn = driver && (std::strcmp(driver, "offscreen") == 0 || std::strcmp(driver, "dummy") == 0);
  return !standIn || (asked && *asked);
}

bool OpenWindow(const std::string& title, WindowKind kind, int x, int y, int width, int height) {
  SdlVideo& v = Video();
  if (!EnsureVideo()) return false;
  SDL_SetHint(SDL_HINT_RENDER_SCALE_QUALITY, "linear");
  SDL_SetHint(SDL_HINT_MOUSE_FOCUS_CLICKTHROUGH, "1");
  // Time-critical threads (the frame loop, the ticker) ask for realtime scheduling, not only a higher share.
  SDL_SetHint(SDL_HINT_THREAD_FORCE_REALTIME_TIME_CRITICAL, "1");
  // The software renderer draws into the window's own pixels (shared memory with the X server), not through
  // OpenGL.
  SDL_SetHintWithPriority(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0", SDL_HINT_DEFAULT);
  Uint32 flags = SDL_WINDOW_SHOWN | SDL_WINDOW_ALLOW_HIGHDPI;
  if (kind == WindowKind::FullScreen) flags |= SDL_WINDOW_FULLSCREEN_DESKTOP;
  if (kind == WindowKind::BorderlessTopmost) flags |= SDL_WINDOW_BORDERLESS | SDL_WINDOW_ALWAYS_ON_TOP;
  if (kind == WindowKind::Captioned) flags |= SDL_WINDOW_RESIZABLE;
  v.window = SDL_CreateWindow(title.c_str(), x, y, width, height, flags);
  if (!v.window) {
    std::fprintf(stderr, "Zorvel: cannot open the window (%s)\n", SDL_GetError());
    return false;
  }
  // Smaller, the scaled picture's text would be too small to read; full screen is not bound by it.
  SDL_SetWindowMinimumSize(v.window, kMinimumWindowWidth, kMinimumWindowHeight);
  EndAtOnceOnDisplayLoss();
  v.renderer = CreateRendererFor(v.window, &v.softwareRenderer);
  if (!v.renderer) {
    std::fprintf(stderr, "Zorvel: cannot draw into the window (%s)\n", SDL_GetError());
    CloseWindow();
    return false;
  }
  SDL_RenderSetLogicalSize(v.renderer, 800, 600);
  v.texture = SDL_CreateTexture(v.renderer, SDL_PIXELFORMAT_RGB565, SDL_TEXTUREACCESS_STREAMING, 800, 600);
  SDL_SetRenderDrawColor(v.renderer, 0, 0, 0, 255);
  SDL_RenderClear(v.renderer);
  SDL_RenderPresent(v.renderer);
  return true;
}

void CloseWindow() {
  SdlVideo& v = Video();
  if (v.texture) SDL_DestroyTexture(v.texture);
  if (v.renderer) SDL_DestroyRenderer(v.renderer);
  if (v.window) SDL_DestroyWindow(v.window);
  v.texture = nullptr, v.renderer = nullptr, v.window = nullptr;
  v.shownId = v.shownSerial = 0;
  v.wholeWindowDue = true;
}

void SetTitle(const std::string& title) {
  if (Video().window) SDL_SetWindowTitle(Video().window, title.c_str());
}

namespace {
void Redraw(SdlVideo& v) {
  SDL_RenderClear(v.renderer);
  SDL_RenderCopy(v.renderer, v.texture, nullptr, nullptr);
  SDL_RenderPresent(v.renderer);
  v.wholeWindowDue = false;
}
}  // namespace

void Present(const Surface& picture) {
  SdlVideo& v = Video();
  if (!v.renderer || !v.texture) return;
  if (picture.layout() != PixelLayout::Rgb565 || picture.width() != 800 || picture.height() != 600) return;
  const Rect whole{0, 0, 800, 600};
  const bool known = picture.id() == v.shownId && picture.ChangesSince(v.shownSerial, &v.changes);
  if (!known) v.changes.assign(1, whole);
  v.shownId = picture.id();
  v.shownSerial = picture.serial();
  if (v.changes.empty() && !v.wholeWindowDue) return;  // the window shows this picture already

  // One upload of the bounding box: the few areas a frame changes are mostly close together, and each upload and
  // copy has a cost of its own.
  Rect box = v.changes.empty() ? whole : v.changes.front();
  for (const Rect& r : v.changes) {
    box.left = std::min(box.left, r.left), box.top = std::min(box.top, r.top);
    box.right = std::max(box.right, r.right), box.bottom = std::max(box.bottom, r.bottom);
  }
  if (!v.changes.empty()) {
    const SDL_Rect area{box.left, box.top, box.right - box.left, box.bottom - box.top};
    const uint8_t* first = picture.bits() + static_cast<size_t>(box.top) * picture.pitch() + box.left * 2;
    SDL_UpdateTexture(v.texture, &area, first, picture.pitch());
  }
  // The software renderer keeps the window's pixels between presents: only the changed area is drawn again, where
  // the picture is not scaled (a scaled part would blend differently at its edges than the whole).
  float scaleX = 0, scaleY = 0;
  SDL_RenderGetScale(v.renderer, &scaleX, &scaleY);
  if (v.wholeWindowDue || !v.softwareRenderer || scaleX != 1.0f || scaleY != 1.0f) {
    Redraw(v);
    return;
  }
  const SDL_Rect area{box.left, box.top, box.right - box.left, box.bottom - box.top};
  SDL_RenderCopy(v.renderer, v.texture, &area, &area);
  SDL_RenderPresent(v.renderer);
}

void PollEvents() {
  SdlVideo& v = Video();
  if (!v.videoReady) return;
  SDL_Event e;
  while (SDL_PollEvent(&e)) {
    switch (e.type) {
      case SDL_QUIT:
        PostDeviceMessage(WM_CLOSE, 0, 0);
        break;
      case SDL_MOUSEMOTION:
        PostPointer(v, EventPoint(v, e.motion.x, e.motion.y));
        break;
      case SDL_MOUSEBUTTONDOWN:
      case SDL_MOUSEBUTTONUP: {
        const bool down = e.type == SDL_MOUSEBUTTONDOWN;
        uint32_t message = 0;
        if (e.button.button == SDL_BUTTON_LEFT) message = down ? WM_LBUTTONDOWN : WM_LBUTTONUP;
        if (e.button.button == SDL_BUTTON_RIGHT) message = down ? WM_RBUTTONDOWN : WM_RBUTTONUP;
        if (!message) break;
        // A press lands where the move before it said; a press with no move before it (the picture moved) moves
        // first. A press on a bar lands off the picture, on no button.
        const Point p = EventPoint(v, e.button.x, e.button.y);
        if (p.x != v.lastPointer.x || p.y != v.lastPointer.y) PostPointer(v, p);
        PostDeviceMessage(message, HeldButtons(), PackPoint(p.x, p.y));
        break;
      }
      case SDL_KEYDOWN:
      case SDL_KEYUP: {
        const bool down = e.type == SDL_KEYDOWN;
        const int vk = VirtualKey(e.key.keysym.sym);
        if (!vk) break;
        const int scan = static_cast<int>(e.key.keysym.scancode);
        // Alt+Enter switches between the window and full screen; the game itself sees only a system key.
        if (vk == VK_RETURN && (e.key.keysym.mod & KMOD_ALT)) {
          if (down && !e.key.repeat) ToggleFullScreen(v);
          v.altAlone = false;
          PostDeviceMessage(down ? WM_SYSKEYDOWN : WM_SYSKEYUP, static_cast<uintptr_t>(vk),
                            KeyLParam(!down, scan, down && e.key.repeat));
          break;
        }
        if (vk == VK_MENU) {
          if (down && !e.key.repeat) v.altAlone = true;
          PostDeviceMessage(down ? WM_SYSKEYDOWN : WM_SYSKEYUP, static_cast<uintptr_t>(vk),
                            KeyLParam(!down, scan, down && e.key.repeat));
          if (!down && v.altAlone) PostDeviceMessage(WM_SYSCOMMAND, SC_KEYMENU, 0);
          break;
        }
        if (down) v.altAlone = false;
        // A held key repeats its key-down; marked as a repeat, it does not count as a fresh press.
        PostDeviceMessage(down ? WM_KEYDOWN : WM_KEYUP, static_cast<uintptr_t>(vk),
                          KeyLParam(!down, scan, down && e.key.repeat));
        break;
      }
      case SDL_TEXTINPUT: {
        // Typed text, one character a message, whatever keys and input method made it.
        const std::string text = e.text.text;
        for (size_t i = 0; i < text.size();) {
          const auto b = static_cast<unsigned char>(text[i]);
          const size_t n = b >= 0xF0 ? 4 : b >= 0xE0 ? 3 : b >= 0xC0 ? 2 : 1;
          uint32_t c = n == 1 ? b : (b & (0x7F >> n));
          for (size_t j = 1; j < n && i + j < text.size(); ++j) c = (c << 6) | (text[i + j] & 0x3F);
          PostDeviceMessage(WM_CHAR, c, 0);
          i += n;
        }
        break;
      }
      case SDL_CONTROLLERDEVICEADDED:
        ControllerAdded(v, e.cdevice.which);
        break;
      case SDL_CONTROLLERDEVICEREMOVED:
        ControllerRemoved(v, e.cdevice.which);
        break;
      case SDL_CONTROLLERBUTTONDOWN:
      case SDL_CONTROLLERBUTTONUP:
        if (const int vk = ControllerKey(e.cbutton.button)) {
          const bool down = e.type == SDL_CONTROLLERBUTTONDOWN;
          PostDeviceMessage(down ? WM_KEYDOWN : WM_KEYUP, static_cast<uintptr_t>(vk), KeyLParam(!down, 0));
        }
        break;
      case SDL_WINDOWEVENT:
        switch (e.window.event) {
          case SDL_WINDOWEVENT_FOCUS_GAINED:
            PostDeviceMessage(WM_ACTIVATEAPP, 1, 0);
            PostDeviceMessage(WM_ACTIVATE, WA_ACTIVE, 0);
            // Moves made while inactive were not taken: tell the game where the pointer is now.
            v.lastPointer = {-1, -1};
            PollPointer(v);
            break;
          case SDL_WINDOWEVENT_ENTER:
            PollPointer(v);
            break;
          case SDL_WINDOWEVENT_FOCUS_LOST:
            PostDeviceMessage(WM_ACTIVATE, WA_INACTIVE, 0);
            PostDeviceMessage(WM_ACTIVATEAPP, 0, 0);
            break;
          case SDL_WINDOWEVENT_MOVED:
            PostDeviceMessage(WM_MOVE, 0, PackPoint(e.window.data1, e.window.data2));
            break;
          case SDL_WINDOWEVENT_EXPOSED:
            if (v.renderer && v.texture) Redraw(v);  // uncovered: show the last picture again
            break;
          case SDL_WINDOWEVENT_SIZE_CHANGED:
            if (v.renderer && v.texture) Redraw(v);
            // The picture is scaled to any window size, so the drawing area the game sees stays 800 x 600 and
            // unshifted: the window reports itself restored at that size.
            PostDeviceMessage(WM_SIZE, SIZE_RESTORED, PackPoint(800, 600));
            PollPointer(v);
            break;
          case SDL_WINDOWEVENT_CLOSE:
            PostDeviceMessage(WM_CLOSE, 0, 0);
            break;
          default:
            break;
        }
        break;
      default:
        break;
    }
  }
}

int DesktopWidth() {
  SDL_DisplayMode mode;
  if (!EnsureVideo() || SDL_GetDesktopDisplayMode(0, &mode) != 0) return 800;
  return mode.w;
}

int DesktopHeight() {
  SDL_DisplayMode mode;
  if (!EnsureVideo() || SDL_GetDesktopDisplayMode(0, &mode) != 0) return 600;
  return mode.h;
}

bool RaiseThreadPriority(bool realtime) {
  if (!realtime) return SDL_SetThreadPriority(SDL_THREAD_PRIORITY_HIGH) == 0;
  // On desktop Linux SDL asks RealtimeKit when the process may not raise itself. The realtime hint is set when the
  // window opens, before the ticker's thread exists.
  if (SDL_SetThreadPriority(SDL_THREAD_PRIORITY_TIME_CRITICAL) == 0) return true;
  // Without RealtimeKit a privileged process can still take a modest realtime priority itself.
  if (host::MakeCallingThreadRealtime()) return true;
  return SDL_SetThreadPriority(SDL_THREAD_PRIORITY_HIGH) == 0;
}

bool ShowMessageBox(const std::string& text, const std::string& caption, bool errorIcon) {
  const Uint32 flags = errorIcon ? SDL_MESSAGEBOX_ERROR : SDL_MESSAGEBOX_INFORMATION;
  return SDL_ShowSimpleMessageBox(flags, caption.c_str(), text.c_str(), Video().window) == 0;
}

// No screen reader is reached from here.
// A desktop's text input is on from the start and stays on; a field asking for it again costs nothing.
void SetTextInputArea(bool active, int, int, int, int) {
  if (active && !SDL_IsTextInputActive()) SDL_StartTextInput();
}

// The window takes the form the setting asks for when it opens; Alt+Enter switches it meanwhile.
void FollowDisplaySetting(bool) {}

void Announce(const std::string&) {}

}  // namespace platform::backend
