#include "zk/zk.h"

#include <cassert>
#include <cstdio>
#include <string>
#include <vector>

#include "platform/backend/backend.h"
#include "platform/host/file_names.h"
#include "platform/timer/timer.h"
#include "platform/replay/trace.h"
#include "zk/bmp_loader.h"
#include "zk/debug_font.h"

namespace {

struct PrintedText {
  std::string text;
  int x, y;
};

struct Display {
  platform::Window* window = nullptr;
  platform::DirectDraw* directDraw = nullptr;
  platform::Surface* front = nullptr;
  platform::Surface* back = nullptr;
  platform::Surface* presented = nullptr;  // the shown picture with the debug text over it
  platform::Surface* lastShown = nullptr;
  bool fullScreen = false;
  bool fontReady = false;
  bool mouseReady = false;
  bool mouseAcquired = false;
  bool keyboardReady = false;
  uint64_t lastFlipEvent = UINT64_MAX;
  bool framePaced = false;
  int flips = 0;
  std::string lastError;
  std::vector<PrintedText> texts;
  platform::Point lastMouse;
};

Display& TheDisplay() {
  static Display display;
  return display;
}

int InitDisplay(platform::Window* window, int width, int height, bool fullScreen) {
  Display& d = TheDisplay();
  if (d.directDraw) ZKFreeDirectX();
  if (!window || width <= 0 || height <= 0) {
    d.lastError = "The display could not be initialised: no window.";
    return 0;
  }
  d.window = window;
  d.fullScreen = fullScreen;
  d.directDraw = new platform::DirectDraw(platform::PixelLayout::Rgb565);
  d.front = d.directDraw->CreateSurface(width, height);
  d.back = d.directDraw->CreateSurface(width, height);
  d.presented = d.directDraw->CreateSurface(width, height);
  if (!d.front || !d.back || !d.presented) {
    d.lastError = "The display surfaces could not be created.";
    ZKFreeDirectX();
    return 0;
  }
  platform::TraceLine(std::string("display ") + (fullScreen ? "fullscreen " : "windowed ") + std::to_string(width) +
                      "x" + std::to_string(height));
  return 1;
}

}  // namespace

void ZKSetInstance(void* /*instance*/) {}
void ZKDebugEnable(int /*on*/) {}

int ZKInitDirectX(platform::Window* window, int width, int height, int bitsPerPixel) {
  if (bitsPerPixel != 16) {
    TheDisplay().lastError = "Only 16-bit full-screen modes are offered.";
    return 0;
  }
  return InitDisplay(window, width, height, true);
}

int ZKInitDirectX(platform::Window* window, int width, int height) { return InitDisplay(window, width, height, false); }

void ZKPrintError() {
  const std::string& e = TheDisplay().lastError;
  std::fprintf(stderr, "Zorvel display: %s\n", e.empty() ? "unknown error" : e.c_str());
}

void ZKSetViewport(int /*x*/, int /*y*/, int /*width*/, int /*height*/) {}

platform::DirectDraw* ZKGetLPDD() { return TheDisplay().directDraw; }

void ZKGetDDInfo(platform::Surface** front, platform::Surface** back) {
  Display& d = TheDisplay();
  if (front) *front = d.front;
  if (back) *back = d.back;
}

int ZKFlip() {
  Display& d = TheDisplay();
  if (!d.front || !d.back) return 0;
  // A frame that ran late starts in the tick of the last flip; waiting here again would show every later frame a
  // tick after its step.
  if (!d.framePaced && platform::TimerEventCount() == d.lastFlipEvent) platform::WaitForTimerEvent();
  d.framePaced = false;
  d.lastFlipEvent = platform::TimerEventCount();

  // The back buffer is what goes to the screen, and it keeps its picture, in both modes. A true two-buffer flip
  // chain in full screen would show every other frame black: the game marks each changed area once, so areas
  // drawn only once (the whole background at the start) would reach only one of the two buffers.
  platform::Surface* shown = d.back;
  if (!d.texts.empty()) {
    d.presented->Blt(nullptr, shown, nullptr, platform::DDBLT_WAIT, nullptr);
    for (const auto& t : d.texts) zk::DrawDebugText(*d.presented, t.text.c_str(), t.x, t.y);
    d.texts.clear();
    shown = d.presented;
  }
  d.lastShown = shown;
  ++d.flips;
  if (platform::TraceFramesEnabled()) {
    uint64_t hash = 1469598103934665603ull;
    const platform::Surface* picture = shown;  // read only: not a change of the picture
    for (int y = 0; y < picture->height(); ++y)
      hash = platform::HashBytes(picture->Row16(y), static_cast<size_t>(picture->width()) * 2, hash);
    platform::TraceFrameHash(hash);
  }
  platform::backend::Present(*shown);
  platform::LogPresent();
  return 1;
}

void ZKSetWindowXY(int /*x*/, int /*y*/) {}

platform::Surface* ZKLoadBitmap(const char* file, int bitsPerPixel) {
  if (!file || bitsPerPixel != 16) return nullptr;
  platform::PixelLayout layout =
      TheDisplay().directDraw ? TheDisplay().directDraw->displayLayout() : platform::PixelLayout::Rgb565;
  return zk::LoadBmpFile(platform::HostPath(file), layout);
}

void ZKGetRGBABits(const platform::PixelFormat& format, int* red, int* green, int* blue, int* alpha) {
  auto count = [](uint32_t mask) {
    int n = 0;
    for (; mask; mask >>= 1) n += static_cast<int>(mask & 1);
    return n;
  };
  if (red) *red = count(format.dwRBitMask);
  if (green) *green = count(format.dwGBitMask);
  if (blue) *blue = count(format.dwBBitMask);
  if (alpha) *alpha = count(format.dwRGBAlphaBitMask);
}

int ZKInitMouse() {
  TheDisplay().mouseReady = true;
  return 1;
}

void ZKAcquireMouse(int on) { TheDisplay().mouseAcquired = TheDisplay().mouseReady && on; }

int ZKInitKeyboard() {
  TheDisplay().keyboardReady = true;
  return 1;
}

int ZKInitFont(platform::Window* window) {
  TheDisplay().fontReady = window != nullptr;
  return TheDisplay().fontReady ? 1 : 0;
}

void ZKPrintString(const char* text, int x, int y) {
  Display& d = TheDisplay();
  if (!d.fontReady || !text) return;
  d.texts.push_back({text, x, y});
}

void ZKFreeFont() {
  TheDisplay().fontReady = false;
  TheDisplay().texts.clear();
}

void ZKFreeDirectInput() {
  Display& d = TheDisplay();
  d.mouseReady = d.mouseAcquired = d.keyboardReady = false;
}

void ZKFreeDirectX() {
  Display& d = TheDisplay();
  for (platform::Surface** s : {&d.front, &d.back, &d.presented}) {
    if (*s) (*s)->Release();
    *s = nullptr;
  }
  if (d.directDraw) d.directDraw->Release();
  d.directDraw = nullptr;
  d.lastShown = nullptr;
  d.window = nullptr;
}

void ZKGetKeys(uint8_t keys[256]) {
  for (int vk = 0; vk < 256; ++vk) keys[vk] = platform::GetAsyncKeyState(vk) ? 0x80 : 0;
}

void ZKGetMouseData(int* dx, int* dy, int* buttons) {
  Display& d = TheDisplay();
  platform::Point p = platform::GetCursorPos();
  if (dx) *dx = p.x - d.lastMouse.x;
  if (dy) *dy = p.y - d.lastMouse.y;
  if (buttons)
    *buttons = (platform::GetAsyncKeyState(platform::VK_LBUTTON) ? 1 : 0) |
               (platform::GetAsyncKeyState(platform::VK_RBUTTON) ? 2 : 0);
  d.lastMouse = p;
}

const platform::Surface* ZKPresentedPicture() { return TheDisplay().lastShown; }

void ZKFramePaced() { TheDisplay().framePaced = true; }

int ZKFlipCount() { return TheDisplay().flips; }
