// The browser backend: the 800 x 600 picture on the page's canvas (the page scales it with letterboxing), mouse,
// touch and keys mapped back to the picture and turned into the game's window messages. The page's listeners only
// queue what happened; the game takes the queue when it polls, as it may be asleep between frames.
#include <emscripten.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "platform/backend/backend.h"
#include "platform/video/surface.h"
#include "platform/window/window.h"

// clang-format off
EM_JS(void, zorvel_web_attach, (), {
  const canvas = document.getElementById('game');
  const queue = Module.zorvelEvents = [];
  // What the player does wakes the game at once, however long it meant to wait.
  const push = queue.push.bind(queue);
  queue.push = (...events) => {
    const length = push(...events);
    if (Module.zorvelWake) Module.zorvelWake();
    return length;
  };
  // The canvas keeps 800 x 600 pixels and is shown scaled to fit its box (object-fit: contain): the picture's
  // rectangle inside the box, on the page.
  const picture = () => {
    const box = canvas.getBoundingClientRect();
    const scale = Math.min(box.width / 800, box.height / 600);
    return {scale, left: box.left + (box.width - 800 * scale) / 2, top: box.top + (box.height - 600 * scale) / 2};
  };
  // The picture pixel under a point of the page.
  const point = (clientX, clientY) => {
    const {scale, left, top} = picture();
    const x = Math.floor((clientX - left) / scale), y = Math.floor((clientY - top) / scale);
    return [Math.max(0, Math.min(799, x)), Math.max(0, Math.min(599, y))];
  };
  const buttons = () => (Module.zorvelLeft ? 1 : 0) | (Module.zorvelRight ? 2 : 0);
  canvas.addEventListener('mousemove', e => queue.push([1, ...point(e.clientX, e.clientY)]));
  canvas.addEventListener('mousedown', e => {
    if (e.button !== 0 && e.button !== 2) return;
    const p = point(e.clientX, e.clientY);
    queue.push([1, ...p], [e.button === 0 ? 2 : 4, ...p]);
    e.preventDefault();
  });
  window.addEventListener('mouseup', e => {
    if (e.button !== 0 && e.button !== 2) return;
    const p = point(e.clientX, e.clientY);
    queue.push([e.button === 0 ? 3 : 5, ...p]);
    if (e.button === 0 && e.target === canvas && inArea(p)) Module.zorvelTypeInto();
  });
  canvas.addEventListener('contextmenu', e => e.preventDefault());
  // A finger is the left button.
  let last = [0, 0];
  canvas.addEventListener('touchstart', e => {
    const t = e.changedTouches[0];
    last = point(t.clientX, t.clientY);
    queue.push([1, ...last], [2, ...last]);
    e.preventDefault();
  }, {passive: false});
  canvas.addEventListener('touchmove', e => {
    const t = e.changedTouches[0];
    last = point(t.clientX, t.clientY);
    queue.push([1, ...last]);
    e.preventDefault();
  }, {passive: false});
  // Text goes through a text element over the picture's text field while the field has the focus: a phone shows
  // its keyboard only for such an element, and only when it is focused within the tap itself, so a tap on the
  // field focuses it at once, before the game has even seen the tap.
  const typing = document.getElementById('typing');
  const area = Module.zorvelTextArea = {active: false, x: 0, y: 0, w: 0, h: 0};
  const inArea = (p) => area.w > 0 && p[0] >= area.x && p[1] >= area.y && p[0] < area.x + area.w && p[1] < area.y + area.h;
  const place = () => {
    const {scale, left, top} = picture();
    Object.assign(typing.style, {left: (left + area.x * scale) + 'px', top: (top + area.y * scale) + 'px',
                                 width: (area.w * scale) + 'px', height: (area.h * scale) + 'px'});
  };
  Module.zorvelTypeInto = () => {
    if (!typing || area.w === 0) return;
    place();
    if (document.activeElement !== typing) typing.focus({preventScroll: true});
  };
  Module.zorvelStopTyping = () => {
    if (typing && document.activeElement === typing) canvas.focus({preventScroll: true});
  };
  // What the element holds is sent as it changes (a phone's keyboard may compose a word and change it as it
  // goes), and emptied as soon as nothing is being composed.
  let sent = [];
  const empty = () => {
    typing.value = String();
    sent = [];
  };
  if (typing) {
    typing.addEventListener('input', e => {
      const now = Array.from(typing.value);
      let same = 0;
      while (same < now.length && same < sent.length && now[same] === sent[same]) ++same;
      for (let i = same; i < sent.length; ++i) queue.push([6, 8, 0], [7, 8, 0]);
      for (let i = same; i < now.length; ++i) queue.push([10, now[i].codePointAt(0), 0]);
      sent = now;
      if (!e.isComposing) empty();
    });
    typing.addEventListener('compositionend', empty);
    typing.addEventListener('blur', empty);
  }
  const touchEnd = e => {
    queue.push([3, ...last]);
    if (inArea(last)) Module.zorvelTypeInto();
    e.preventDefault();
  };
  canvas.addEventListener('touchend', touchEnd, {passive: false});
  canvas.addEventListener('touchcancel', touchEnd, {passive: false});
  // keyCode carries the same numbers as the game's virtual keys for every key it knows. Reload (F5), full screen
  // (F11), the developer tools (F12) and every Ctrl, Alt or Meta shortcut belong to the browser: the game neither
  // sees them (Ctrl+F must not answer False) nor stops them. A key held back when pressed is held back when let go.
  const browserKeys = new Set([0x74, 0x7A, 0x7B]);
  const modifiers = new Set([0x10, 0x11, 0x12, 0x5B, 0x5C, 0x5D]);
  const heldBack = new Set();
  const key = (down, e) => {
    // Keys on the page's own buttons (mute, full screen, play again) are theirs.
    if (e.target instanceof HTMLButtonElement) return;
    if (down) {
      const chord = (e.ctrlKey || e.altKey || e.metaKey) && !modifiers.has(e.keyCode);
      if (chord || browserKeys.has(e.keyCode)) { heldBack.add(e.keyCode); return; }
    } else if (heldBack.delete(e.keyCode)) {
      return;
    }
    // Typed into the text element, a blank and the arrows are the element's to take. Tab moves the launcher's
    // focus, not the page's.
    const intoText = e.target === typing;
    if (e.keyCode >= 0x70 && e.keyCode <= 0x7B || e.keyCode === 0x12 || e.keyCode === 0x09 ||
        (!intoText && (e.keyCode === 0x20 || (e.keyCode >= 0x25 && e.keyCode <= 0x28)))) e.preventDefault();
    queue.push([down ? 6 : 7, e.keyCode, e.repeat ? 1 : 0]);
  };
  window.addEventListener('keydown', e => key(true, e));
  window.addEventListener('keyup', e => key(false, e));
  // A hidden page is an inactive window: the game stops its frames and its music until the page shows again.
  document.addEventListener('visibilitychange', () => queue.push([document.hidden ? 9 : 8, 0, 0]));
  Module.zorvelImage = canvas.getContext('2d').createImageData(800, 600);
});

EM_JS(int, zorvel_web_take_event, (int* out), {
  const queue = Module.zorvelEvents;
  if (!queue || queue.length === 0) return 0;
  const e = queue.shift();
  HEAP32[out >> 2] = e[1];
  HEAP32[(out >> 2) + 1] = e[2];
  return e[0];
});

EM_JS(void, zorvel_web_text_area, (int active, int x, int y, int w, int h), {
  const area = Module.zorvelTextArea;
  if (!area) return;
  Object.assign(area, {active: !!active, x: x, y: y, w: w, h: h});
  if (active) Module.zorvelTypeInto();
  else Module.zorvelStopTyping();
});

// The page's full screen, as its own button asks for it; the browser may refuse (no tap just before), and then the
// setting only waits for the button.
EM_JS(void, zorvel_web_full_screen, (int on), {
  if (Module.zorvelFullScreen) Module.zorvelFullScreen(!!on);
});

// Only the rows that changed are copied and put on the canvas.
EM_JS(void, zorvel_web_show, (const uint8_t* rgba, int top, int rows), {
  const image = Module.zorvelImage;
  const from = rgba + top * 800 * 4;
  image.data.set(HEAPU8.subarray(from, from + rows * 800 * 4), top * 800 * 4);
  document.getElementById('game').getContext('2d').putImageData(image, 0, 0, 0, top, 800, rows);
  Module.zorvelShownBefore = Module.zorvelShownAt || -1e9;
  Module.zorvelShownAt = performance.now();
  if (!Module.zorvelFirstFrame) {
    Module.zorvelFirstFrame = performance.now();
    if (Module.zorvelShown) Module.zorvelShown();
  }
});

EM_JS(void, zorvel_web_say, (const char* text), {
  if (Module.zorvelSay) Module.zorvelSay(UTF8ToString(text));
});

EM_JS(void, zorvel_web_title, (const char* text), { document.title = UTF8ToString(text); });

EM_JS(void, zorvel_web_message, (const char* caption, const char* text), {
  if (Module.zorvelMessage) Module.zorvelMessage(UTF8ToString(caption), UTF8ToString(text));
});
// clang-format on

namespace platform::backend {

namespace {

enum EventKind {
  kNone, kMove, kLeftDown, kLeftUp, kRightDown, kRightUp, kKeyDown, kKeyUp, kShown, kHidden, kCharacter
};

struct WebVideo {
  bool attached = false;
  bool left = false, right = false;
  bool altAlone = false;
  std::vector<uint16_t> shown;  // the picture last drawn, to skip what did not change
  uint64_t shownId = 0, shownSerial = 0;  // the surface and its write last drawn from
  std::vector<Rect> written;
  std::vector<uint8_t> rgba;
};

WebVideo& Video() {
  static WebVideo video;
  return video;
}

int VirtualKey(int code) {
  if ((code >= 'A' && code <= 'Z') || (code >= '0' && code <= '9') || (code >= VK_F1 && code <= VK_F12)) return code;
  switch (code) {
    case VK_ESCAPE: case VK_RETURN: case VK_SPACE: case VK_BACK: case VK_TAB: case VK_LEFT: case VK_RIGHT:
    case VK_UP: case VK_DOWN: case VK_SHIFT: case VK_CONTROL: case VK_MENU:
      return code;
    default:
      return 0;
  }
}

uintptr_t HeldButtons(const WebVideo& v) { return (v.left ? MK_LBUTTON : 0) | (v.right ? MK_RBUTTON : 0); }

}  // namespace

const char* Name() { return "web"; }

bool HasDisplay() { return true; }

bool OpenWindow(const std::string& title, WindowKind, int, int, int, int) {
  WebVideo& v = Video();
  if (!v.attached) {
    zorvel_web_attach();
    v.attached = true;
  }
  zorvel_web_title(title.c_str());
  return true;
}

void CloseWindow() { Video().shown.clear(); }

void SetTitle(const std::string& title) { zorvel_web_title(title.c_str()); }

void Present(const Surface& picture) {
  WebVideo& v = Video();
  if (!v.attached || picture.layout() != PixelLayout::Rgb565 || picture.width() != 800 || picture.height() != 600)
    return;
  constexpr size_t kRow = 800;
  const bool fresh = v.shown.empty();
  if (fresh) {
    v.shown.resize(kRow * 600);
    v.rgba.resize(kRow * 600 * 4);
  }
  // Most frames change nothing or a few rows (the clock's column, the bull). The surface numbers its writes:
  // with none since the last picture there is nothing to do, and otherwise only the rows they touched are
  // compared, and only the rows that differ converted.
  int from = 0, to = 600;
  if (!fresh && picture.id() == v.shownId) {
    if (picture.serial() == v.shownSerial) return;
    if (picture.ChangesSince(v.shownSerial, &v.written)) {
      from = 600;
      to = 0;
      for (const Rect& r : v.written) {
        if (r.left >= r.right || r.top >= r.bottom) continue;
        from = std::min(from, std::max(0, static_cast<int>(r.top)));
        to = std::max(to, std::min(600, static_cast<int>(r.bottom)));
      }
    }
  }
  v.shownId = picture.id();
  v.shownSerial = picture.serial();
  int top = -1, bottom = -1;
  for (int y = from; y < to; ++y) {
    const uint8_t* source = picture.bits() + static_cast<size_t>(y) * picture.pitch();
    uint16_t* shown = &v.shown[static_cast<size_t>(y) * kRow];
    if (!fresh && std::memcmp(shown, source, kRow * sizeof(uint16_t)) == 0) continue;
    std::memcpy(shown, source, kRow * sizeof(uint16_t));
    if (top < 0) top = y;
    bottom = y;
    uint8_t* out = &v.rgba[static_cast<size_t>(y) * kRow * 4];
    // The same widening of 5 and 6 bits to 8 as the screenshots of the other backends.
    for (size_t i = 0; i < kRow; ++i) {
      const uint16_t p = shown[i];
      const uint8_t r = (p >> 11) & 31, g = (p >> 5) & 63, b = p & 31;
      out[i * 4] = static_cast<uint8_t>((r << 3) | (r >> 2));
      out[i * 4 + 1] = static_cast<uint8_t>((g << 2) | (g >> 4));
      out[i * 4 + 2] = static_cast<uint8_t>((b << 3) | (b >> 2));
      out[i * 4 + 3] = 255;
    }
  }
  if (top >= 0) zorvel_web_show(v.rgba.data(), top, bottom - top + 1);
}

void PollEvents() {
  WebVideo& v = Video();
  if (!v.attached) return;
  int data[2];
  while (int kind = zorvel_web_take_event(data)) {
    const intptr_t at = PackPoint(data[0], data[1]);
    switch (kind) {
      case kMove: PostDeviceMessage(WM_MOUSEMOVE, HeldButtons(v), at); break;
      case kLeftDown: v.left = true; PostDeviceMessage(WM_LBUTTONDOWN, HeldButtons(v), at); break;
      case kLeftUp:
        if (!v.left) break;  // a release outside after a press outside the canvas
        v.left = false;
        PostDeviceMessage(WM_LBUTTONUP, HeldButtons(v), at);
        break;
      case kRightDown: v.right = true; PostDeviceMessage(WM_RBUTTONDOWN, HeldButtons(v), at); break;
      case kRightUp:
        if (!v.right) break;
        v.right = false;
        PostDeviceMessage(WM_RBUTTONUP, HeldButtons(v), at);
        break;
      case kKeyDown:
      case kKeyUp: {
        const bool down = kind == kKeyDown;
        const int vk = VirtualKey(data[0]);
        if (!vk) break;
        if (vk == VK_MENU) {
          if (down && !data[1]) v.altAlone = true;
          PostDeviceMessage(down ? WM_SYSKEYDOWN : WM_SYSKEYUP, static_cast<uintptr_t>(vk), KeyLParam(!down, 0));
          if (!down && v.altAlone) PostDeviceMessage(WM_SYSCOMMAND, SC_KEYMENU, 0);
          break;
        }
        if (down) v.altAlone = false;
        PostDeviceMessage(down ? WM_KEYDOWN : WM_KEYUP, static_cast<uintptr_t>(vk), KeyLParam(!down, 0));
        break;
      }
      case kCharacter: PostDeviceMessage(WM_CHAR, static_cast<uintptr_t>(data[0]), 0); break;
      case kShown:
        PostDeviceMessage(WM_ACTIVATEAPP, 1, 0);
        PostDeviceMessage(WM_ACTIVATE, WA_ACTIVE, 0);
        break;
      case kHidden:
        PostDeviceMessage(WM_ACTIVATE, WA_INACTIVE, 0);
        PostDeviceMessage(WM_ACTIVATEAPP, 0, 0);
        break;
      default:
        break;
    }
  }
}

// The picture is placed by the page, not by the game.
int DesktopWidth() { return 800; }
int DesktopHeight() { return 600; }

bool ShowMessageBox(const std::string& text, const std::string& caption, bool) {
  zorvel_web_message(caption.c_str(), text.c_str());
  return true;
}

// The page's one thread is paced by the browser; there is no priority to ask for.
bool RaiseThreadPriority(bool) { return true; }

void Announce(const std::string& text) { zorvel_web_say(text.c_str()); }

void FollowDisplaySetting(bool fullScreen) { zorvel_web_full_screen(fullScreen ? 1 : 0); }

void SetTextInputArea(bool active, int x, int y, int width, int height) {
  if (Video().attached) zorvel_web_text_area(active ? 1 : 0, x, y, width, height);
}

}  // namespace platform::backend
