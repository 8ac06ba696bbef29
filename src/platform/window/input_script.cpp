#include "platform/window/input_script.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <mutex>
#include <sstream>

#include "platform/window/messages.h"
#include "platform/timer/timer.h"
#include "platform/window/window.h"

namespace platform {

namespace {

struct KindName {
  ScriptEvent::Kind kind;
  const char* name;
  bool hasPoint;
};
constexpr KindName kKinds[] = {
    {ScriptEvent::Kind::Move, "move", true},        {ScriptEvent::Kind::LDown, "ldown", true},
    {ScriptEvent::Kind::LUp, "lup", true},          {ScriptEvent::Kind::RDown, "rdown", true},
    {ScriptEvent::Kind::RUp, "rup", true},          {ScriptEvent::Kind::KeyDown, "keydown", false},
    {ScriptEvent::Kind::KeyUp, "keyup", false},     {ScriptEvent::Kind::Activate, "activate", false},
    {ScriptEvent::Kind::ClickActivate, "clickactivate", false},
    {ScriptEvent::Kind::Deactivate, "deactivate", false},
    {ScriptEvent::Kind::KeyMenu, "keymenu", false}, {ScriptEvent::Kind::Close, "close", false},
    {ScriptEvent::Kind::Screenshot, "screenshot", false}, {ScriptEvent::Kind::Text, "text", false},
};

// The code points of UTF-8 text; a malformed byte stands for itself, so nothing typed is lost.
std::vector<uint32_t> CodePoints(const std::string& text) {
  std::vector<uint32_t> out;
  for (size_t i = 0; i < text.size();) {
    const auto b = static_cast<unsigned char>(text[i]);
    const int extra = b >= 0xF0 ? 3 : b >= 0xE0 ? 2 : b >= 0xC0 ? 1 : 0;
    uint32_t c = extra ? (b & (0x3F >> extra)) : b;
    size_t j = 1;
    for (; j <= static_cast<size_t>(extra) && i + j < text.size(); ++j) {
      const auto n = static_cast<unsigned char>(text[i + j]);
      if ((n & 0xC0) != 0x80) break;
      c = (c << 6) | (n & 0x3F);
    }
    if (j != static_cast<size_t>(extra) + 1) c = b, j = 1;
    out.push_back(c);
    i += j;
  }
  return out;
}

std::string Utf8(uint32_t c) {
  std::string s;
  if (c < 0x80) {
    s += static_cast<char>(c);
  } else if (c < 0x800) {
    s += static_cast<char>(0xC0 | (c >> 6));
    s += static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    s += static_cast<char>(0xE0 | (c >> 12));
    s += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    s += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    s += static_cast<char>(0xF0 | ((c >> 18) & 0x07));
    s += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
    s += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    s += static_cast<char>(0x80 | (c & 0x3F));
  }
  return s;
}

const KindName* FindKind(const std::string& name) {
  for (const auto& k : kKinds)
    if (name == k.name) return &k;
  return nullptr;
}

const KindName& KindOf(ScriptEvent::Kind kind) {
  for (const auto& k : kKinds)
    if (k.kind == kind) return k;
  return kKinds[0];
}

struct Recorder {
  std::mutex mutex;
  std::FILE* file = nullptr;
  bool checked = false;
  bool seeded = false;
  std::vector<ScriptEvent> pending;  // input that arrived before the seed was known
  std::optional<uint32_t> scriptSeed;
  ~Recorder() {
    if (file) std::fclose(file);
  }
};

Recorder& TheRecorder() {
  static Recorder recorder;
  return recorder;
}

std::FILE* RecordFile(Recorder& r) {
  if (!r.checked) {
    r.checked = true;
    const char* name = std::getenv("ZORVEL_RECORD");
    if (name && *name) r.file = std::fopen(name, "wb");
  }
  return r.file;
}

bool ParseNumber(std::istringstream& in, int* out) {
  long long v;
  if (!(in >> v) || v < -100000 || v > 100000) return false;
  *out = static_cast<int>(v);
  return true;
}

}  // namespace

bool ParseInputScript(const std::string& text, InputScript* script, std::string* error) {
  std::istringstream lines(text);
  std::string line;
  int number = 0;
  bool sawVersion = false;
  uint32_t lastTick = 0;
  auto fail = [&](const std::string& what) {
    if (error) *error = "line " + std::to_string(number) + ": " + what;
    return false;
  };
  while (std::getline(lines, line)) {
    ++number;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.empty() || line[0] == '#') continue;
    std::istringstream in(line);
    std::string first;
    in >> first;
    if (!sawVersion) {
      int version = 0;
      if (first != "zorvel-script" || !ParseNumber(in, &version) || version != 1)
        return fail("expected the version line \"zorvel-script 1\"");
      sawVersion = true;
      continue;
    }
    if (first == "seed") {
      long long seed;
      if (!(in >> seed) || seed < 0 || seed > 0xFFFFFFFFll) return fail("bad seed");
      script->seed = static_cast<uint32_t>(seed);
      continue;
    }
    char* end = nullptr;
    unsigned long tick = std::strtoul(first.c_str(), &end, 10);
    if (first.empty() || *end || tick > 0xFFFFFFFFul) return fail("expected a tick, got \"" + first + "\"");
    if (tick < lastTick) return fail("ticks must not go backwards");
    lastTick = static_cast<uint32_t>(tick);
    std::string kindName;
    in >> kindName;
    if (kindName == "char" || kindName == "text") {
      // Typed text keeps its blanks: everything after the one blank that ends the word is the text.
      ScriptEvent event;
      event.tick = static_cast<uint32_t>(tick);
      event.kind = ScriptEvent::Kind::Text;
      std::string rest;
      std::getline(in, rest);
      if (!rest.empty() && rest[0] == ' ') rest.erase(0, 1);
      if (kindName == "char") {
        char* stop = nullptr;
        const unsigned long c = std::strtoul(rest.c_str(), &stop, 10);
        if (rest.empty() || *stop || c == 0 || c > 0x10FFFF) return fail("char needs a code point (1 to 1114111)");
        rest = Utf8(static_cast<uint32_t>(c));
      }
      if (rest.empty()) return fail("text needs something to type");
      // One event a character, as a recording writes them, so a script reads back as the events it holds; text that
      // is not UTF-8 would not survive that and is refused.
      std::string again;
      const std::vector<uint32_t> characters = CodePoints(rest);
      for (uint32_t c : characters) again += Utf8(c);
      if (again != rest) return fail("text must be UTF-8");
      for (uint32_t c : characters)
        if (c == 0 || c > 0x10FFFF) return fail("text must be UTF-8 letters from 1 to 1114111");
      for (uint32_t c : characters) {
        event.path = Utf8(c);
        script->events.push_back(event);
      }
      continue;
    }
    const KindName* kind = FindKind(kindName);
    if (!kind) return fail("unknown event \"" + kindName + "\"");
    ScriptEvent event;
    event.tick = static_cast<uint32_t>(tick);
    event.kind = kind->kind;
    if (kind->hasPoint) {
      if (!ParseNumber(in, &event.x) || !ParseNumber(in, &event.y)) return fail("expected x and y");
    } else if (event.kind == ScriptEvent::Kind::KeyDown || event.kind == ScriptEvent::Kind::KeyUp) {
      std::string key;
      in >> key;
      event.key = VirtualKeyFromName(key.c_str());
      if (!event.key) return fail("unknown key \"" + key + "\"");
    } else if (event.kind == ScriptEvent::Kind::Screenshot) {
      in >> event.path;
      if (event.path.empty()) return fail("screenshot needs a file name");
    }
    std::string extra;
    if (in >> extra) return fail("unexpected \"" + extra + "\"");
    script->events.push_back(event);
  }
  if (!sawVersion) {
    number = 1;
    return fail("empty script: expected the version line \"zorvel-script 1\"");
  }
  return true;
}

bool LoadInputScript(const std::string& path, InputScript* script, std::string* error) {
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    if (error) *error = "cannot open " + path;
    return false;
  }
  std::ostringstream text;
  text << in.rdbuf();
  return ParseInputScript(text.str(), script, error);
}

std::string FormatScriptEvent(const ScriptEvent& event) {
  const KindName& k = KindOf(event.kind);
  std::string s = std::to_string(event.tick) + " " + k.name;
  if (k.hasPoint) s += " " + std::to_string(event.x) + " " + std::to_string(event.y);
  if (event.kind == ScriptEvent::Kind::KeyDown || event.kind == ScriptEvent::Kind::KeyUp)
    s += std::string(" ") + VirtualKeyName(event.key);
  if (event.kind == ScriptEvent::Kind::Screenshot) s += " " + event.path;
  // One character at a time as a number, so that blanks and line ends survive the file.
  if (event.kind == ScriptEvent::Kind::Text) {
    std::string line;
    for (uint32_t c : CodePoints(event.path)) line += (line.empty() ? "" : "\n") + s.substr(0, s.find(' ')) +
                                                     " char " + std::to_string(c);
    return line;
  }
  return s;
}

void PostScriptEvent(const ScriptEvent& e) {
  const intptr_t point = PackPoint(e.x, e.y);
  const uintptr_t held = (GetAsyncKeyState(VK_LBUTTON) ? MK_LBUTTON : 0) | (GetAsyncKeyState(VK_RBUTTON) ? MK_RBUTTON : 0);
  switch (e.kind) {
    case ScriptEvent::Kind::Move: PostDeviceMessage(WM_MOUSEMOVE, held, point); break;
    case ScriptEvent::Kind::LDown: PostDeviceMessage(WM_LBUTTONDOWN, held | MK_LBUTTON, point); break;
    case ScriptEvent::Kind::LUp: PostDeviceMessage(WM_LBUTTONUP, held & ~uintptr_t{MK_LBUTTON}, point); break;
    case ScriptEvent::Kind::RDown: PostDeviceMessage(WM_RBUTTONDOWN, held | MK_RBUTTON, point); break;
    case ScriptEvent::Kind::RUp: PostDeviceMessage(WM_RBUTTONUP, held & ~uintptr_t{MK_RBUTTON}, point); break;
    case ScriptEvent::Kind::KeyDown: PostDeviceMessage(WM_KEYDOWN, static_cast<uintptr_t>(e.key), KeyLParam(false, 0)); break;
    case ScriptEvent::Kind::KeyUp: PostDeviceMessage(WM_KEYUP, static_cast<uintptr_t>(e.key), KeyLParam(true, 0)); break;
    case ScriptEvent::Kind::Activate:
      PostDeviceMessage(WM_ACTIVATEAPP, 1, 0);
      PostDeviceMessage(WM_ACTIVATE, WA_ACTIVE, 0);
      break;
    case ScriptEvent::Kind::ClickActivate:
      PostDeviceMessage(WM_ACTIVATEAPP, 1, 0);
      PostDeviceMessage(WM_ACTIVATE, WA_CLICKACTIVE, 0);
      break;
    case ScriptEvent::Kind::Deactivate:
      PostDeviceMessage(WM_ACTIVATE, WA_INACTIVE, 0);
      PostDeviceMessage(WM_ACTIVATEAPP, 0, 0);
      break;
    case ScriptEvent::Kind::KeyMenu: PostDeviceMessage(WM_SYSCOMMAND, SC_KEYMENU, 0); break;
    case ScriptEvent::Kind::Close: PostDeviceMessage(WM_CLOSE, 0, 0); break;
    case ScriptEvent::Kind::Screenshot: break;
    case ScriptEvent::Kind::Text:
      for (uint32_t c : CodePoints(e.path)) PostDeviceMessage(WM_CHAR, c, 0);
      break;
  }
}

std::optional<uint32_t> FixedSeed() {
  if (const char* seed = std::getenv("ZORVEL_SEED"); seed && *seed)
    return static_cast<uint32_t>(std::strtoul(seed, nullptr, 10));
  return TheRecorder().scriptSeed;
}

void SetScriptSeed(uint32_t seed) { TheRecorder().scriptSeed = seed; }

void RecordSeed(uint32_t seed) {
  Recorder& r = TheRecorder();
  std::lock_guard<std::mutex> lock(r.mutex);
  std::FILE* f = RecordFile(r);
  if (!f || r.seeded) return;
  r.seeded = true;
  std::fprintf(f, "zorvel-script 1\nseed %u\n", seed);
  for (const auto& e : r.pending) std::fprintf(f, "%s\n", FormatScriptEvent(e).c_str());
  r.pending.clear();
  std::fflush(f);
}

void RecordDeviceMessage(uint32_t message, uintptr_t wParam, intptr_t lParam) {
  // A held key's repeats change nothing in the game; a replay must not see them as fresh presses.
  if (message == WM_KEYDOWN && IsKeyRepeat(lParam)) return;
  Recorder& r = TheRecorder();
  std::lock_guard<std::mutex> lock(r.mutex);
  if (!RecordFile(r)) return;
  ScriptEvent e;
  e.tick = TimerElapsedMs();
  e.x = static_cast<int>(LowWord(static_cast<uintptr_t>(lParam)));
  e.y = static_cast<int>(HighWord(static_cast<uintptr_t>(lParam)));
  switch (message) {
    case WM_MOUSEMOVE: e.kind = ScriptEvent::Kind::Move; break;
    case WM_LBUTTONDOWN: e.kind = ScriptEvent::Kind::LDown; break;
    case WM_LBUTTONUP: e.kind = ScriptEvent::Kind::LUp; break;
    case WM_RBUTTONDOWN: e.kind = ScriptEvent::Kind::RDown; break;
    case WM_RBUTTONUP: e.kind = ScriptEvent::Kind::RUp; break;
    case WM_KEYDOWN: e.kind = ScriptEvent::Kind::KeyDown, e.key = static_cast<int>(wParam); break;
    case WM_KEYUP: e.kind = ScriptEvent::Kind::KeyUp, e.key = static_cast<int>(wParam); break;
    case WM_ACTIVATE:
      e.kind = wParam == WA_INACTIVE ? ScriptEvent::Kind::Deactivate
               : wParam == WA_CLICKACTIVE ? ScriptEvent::Kind::ClickActivate
                                          : ScriptEvent::Kind::Activate;
      break;
    case WM_SYSCOMMAND: e.kind = ScriptEvent::Kind::KeyMenu; break;
    case WM_CLOSE: e.kind = ScriptEvent::Kind::Close; break;
    case WM_CHAR:
      e.kind = ScriptEvent::Kind::Text;
      e.path = Utf8(static_cast<uint32_t>(wParam));
      break;
    default: return;  // WM_ACTIVATEAPP travels with WM_ACTIVATE; other keys have no name worth keeping
  }
  if ((e.kind == ScriptEvent::Kind::KeyDown || e.kind == ScriptEvent::Kind::KeyUp) && !*VirtualKeyName(e.key)) return;
  if (!r.seeded) {
    r.pending.push_back(e);
    return;
  }
  std::fprintf(r.file, "%s\n", FormatScriptEvent(e).c_str());
  std::fflush(r.file);
}

}  // namespace platform
