#pragma once
// What a backend provides. Exactly one backend is linked into each program: the SDL one (a real window, mouse,
// keyboard and audio device) or the headless one (scripted input in virtual time, screenshots, a null audio sink).
#include <cstdint>
#include <string>

namespace platform {
class Surface;

// The three forms of the one window: with a caption and border, borderless above the others, or the whole display.
enum class WindowKind { Captioned, BorderlessTopmost, FullScreen };
}

namespace platform::backend {

const char* Name();
// True when a window can be shown to someone: false where the only way to open one is a stand-in that shows
// nothing (no display server), unless such a stand-in was asked for by name.
bool HasDisplay();
bool OpenWindow(const std::string& title, WindowKind kind, int x, int y, int width, int height);
void CloseWindow();
void SetTitle(const std::string& title);
// Shows an 800 x 600 picture (RGB565); the backend scales it to the real window.
void Present(const Surface& picture);
// Raises the calling thread's scheduling priority as far as the system allows for steady timing: with `realtime`,
// realtime first, then a higher share of the processor; without, only the higher share. False when refused.
bool RaiseThreadPriority(bool realtime);
// Turns pending device events into posted messages (PostDeviceMessage); main thread only.
void PollEvents();
int DesktopWidth();
int DesktopHeight();
// Returns false when it could not show a box (the caller then writes the text to standard error).
bool ShowMessageBox(const std::string& text, const std::string& caption, bool errorIcon);
// Where typed text goes while a text field has the focus (`active`), in picture pixels, or that none has: a
// backend whose keyboard must be called up (a phone's on-screen one) offers it over that area. Typed text still
// arrives as WM_CHAR messages.
void SetTextInputArea(bool active, int x, int y, int width, int height);
// The player switched the display setting while the window is open: a backend that can follow it at once (the
// browser's page, through its full screen) does; the others take the form asked for when a window opens.
void FollowDisplaySetting(bool fullScreen);
// Text for a screen reader to read out now; a backend with no way to reach one ignores it.
void Announce(const std::string& text);

}  // namespace platform::backend
