// The headless backend: no window; input comes from the script named by ZORVEL_SCRIPT, replayed in step with
// the ticker's milliseconds, and screenshot events write the last presented picture to PNG.
#include <cstdio>
#include <cstdlib>
#include <string>

#include "platform/backend/backend.h"
#include "platform/host/system_calls.h"
#include "platform/window/input_script.h"
#include "platform/replay/png_writer.h"
#include "platform/video/surface.h"
#include "platform/timer/timer.h"
#include "platform/replay/trace.h"
#include "platform/window/window.h"

namespace platform::backend {

namespace {

// A script that runs out leaves the game this long (virtual time) before the backend closes it.
constexpr uint32_t kGraceAfterScriptMs = 10000;

struct Headless {
  bool scriptLoaded = false;
  InputScript script;
  size_t next = 0;
  bool closePosted = false;
  Surface* lastFrame = nullptr;
  ~Headless() {
    if (lastFrame) lastFrame->Release();
  }
};

Headless& State() {
  static Headless state;
  return state;
}

void LoadScriptOnce(Headless& h) {
  if (h.scriptLoaded) return;
  h.scriptLoaded = true;
  const char* path = std::getenv("ZORVEL_SCRIPT");
  if (!path || !*path) return;
  std::string error;
  if (!LoadInputScript(path, &h.script, &error)) {
    // A run that cannot follow its script would wait for input for ever.
    std::fprintf(stderr, "zorvel-headless: %s: %s\n", path, error.c_str());
    std::exit(2);
  }
  if (h.script.seed) SetScriptSeed(*h.script.seed);
}

void Screenshot(Headless& h, const std::string& path) {
  if (!h.lastFrame) {
    std::fprintf(stderr, "zorvel-headless: no picture presented yet for %s\n", path.c_str());
    return;
  }
  if (!WritePng(*h.lastFrame, path)) std::fprintf(stderr, "zorvel-headless: cannot write %s\n", path.c_str());
  TraceLine("screenshot " + path);
}

}  // namespace

const char* Name() { return "headless"; }

bool HasDisplay() { return true; }

bool OpenWindow(const std::string&, WindowKind, int, int, int, int) {
  LoadScriptOnce(State());
  return true;
}

void CloseWindow() {}
void SetTitle(const std::string&) {}

void Present(const Surface& picture) {
  Headless& h = State();
  // Keep a copy only when a screenshot falls due at the next poll: copying every frame would double the cost of
  // a scripted run.
  const bool screenshotDue = h.next < h.script.events.size() &&
                             h.script.events[h.next].kind == ScriptEvent::Kind::Screenshot &&
                             h.script.events[h.next].tick <= TimerElapsedMs() + 10;
  if (!screenshotDue) return;
  if (!h.lastFrame) h.lastFrame = Surface::Create(picture.width(), picture.height(), picture.layout());
  if (h.lastFrame) h.lastFrame->Blt(nullptr, const_cast<Surface*>(&picture), nullptr, DDBLT_WAIT, nullptr);
}

void PollEvents() {
  Headless& h = State();
  LoadScriptOnce(h);
  if (!GetMainWindow()) return;
  const uint32_t now = TimerElapsedMs();
  while (h.next < h.script.events.size() && h.script.events[h.next].tick <= now) {
    const ScriptEvent& e = h.script.events[h.next++];
    if (e.kind == ScriptEvent::Kind::Screenshot) Screenshot(h, e.path);
    else PostScriptEvent(e);
  }
  // Without a script nothing is posted (unit tests drive the queue themselves).
  if (!h.script.events.empty() && h.next == h.script.events.size() && !h.closePosted) {
    if (now >= h.script.events.back().tick + kGraceAfterScriptMs) {
      h.closePosted = true;
      PostDeviceMessage(WM_CLOSE, 0, 0);
    }
  }
}

int DesktopWidth() {
  const char* w = std::getenv("ZORVEL_DESKTOP_WIDTH");
  return w ? std::atoi(w) : 1024;
}

int DesktopHeight() {
  const char* h = std::getenv("ZORVEL_DESKTOP_HEIGHT");
  return h ? std::atoi(h) : 768;
}

bool ShowMessageBox(const std::string&, const std::string&, bool) { return false; }

bool RaiseThreadPriority(bool realtime) {
  if (realtime && host::MakeCallingThreadRealtime()) return true;
  return host::SetThreadNice(host::CurrentThreadId(), -10);
}

// Scripts type their text as characters; there is no keyboard to call up.
void SetTextInputArea(bool, int, int, int, int) {}

void FollowDisplaySetting(bool) {}

// No screen reader is reached from here.
void Announce(const std::string&) {}

}  // namespace platform::backend
