#pragma once
// Our graphics and input library: it owns the display (a front and a back buffer of 800 x 600 x 16),
// flips, loads bitmaps, reports pixel formats, and offers a small debug font. Main thread only.
#include <cstdint>

#include "platform/video/direct_draw.h"
#include "platform/video/surface.h"
#include "platform/window/window.h"

// Kept: part of the game's interface. There is no instance handle to keep and no debug output to switch.
void ZKSetInstance(void* instance);
void ZKDebugEnable(int on);
// Full screen (the window covers the display; the picture is scaled to it).
int ZKInitDirectX(platform::Window* window, int width, int height, int bitsPerPixel);
// Windowed: the back buffer is copied to the window at every flip and keeps its content.
int ZKInitDirectX(platform::Window* window, int width, int height);
void ZKPrintError();
// ZKSetViewport and ZKSetWindowXY are kept: part of the game's interface. The whole 800 x 600 picture is always
// shown, scaled to fit the window, so where the game asks for it to go changes nothing.
void ZKSetViewport(int x, int y, int width, int height);
platform::DirectDraw* ZKGetLPDD();
void ZKGetDDInfo(platform::Surface** front, platform::Surface** back);
// Shows the back buffer. Like a display's vertical blank, a flip waits for the next ticker event when none has
// passed since the previous flip, so loops that only flip run at the ticker's pace.
int ZKFlip();
// Tells the next flip that its frame was already paced to a tick of its own (the frame loop waited for it), so the
// flip shows the picture at once. Loops that do not pace themselves (popups) flip at most once a tick.
void ZKFramePaced();
void ZKSetWindowXY(int x, int y);
platform::Surface* ZKLoadBitmap(const char* file, int bitsPerPixel);
void ZKGetRGBABits(const platform::PixelFormat& format, int* red, int* green, int* blue, int* alpha);
int ZKInitMouse();
void ZKAcquireMouse(int on);
int ZKInitKeyboard();
int ZKInitFont(platform::Window* window);
// Draws text over the next presented picture (not into the back buffer), so it disappears when no longer printed.
void ZKPrintString(const char* text, int x, int y);
void ZKFreeFont();
void ZKFreeDirectInput();
void ZKFreeDirectX();
// Keyboard state (one byte per virtual key, high bit when down) and the mouse since the last call.
// Kept: part of the game's interface, unused by this game.
void ZKGetKeys(uint8_t keys[256]);
void ZKGetMouseData(int* dx, int* dy, int* buttons);

// The picture shown by the last flip (with any debug text), for screenshots and tests; null before the first
// flip. Windowed it is the back buffer itself, so it is only meaningful until the game draws again.
const platform::Surface* ZKPresentedPicture();
int ZKFlipCount();
