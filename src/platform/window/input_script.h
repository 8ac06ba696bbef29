#pragma once
// Input scripts: what a player did, as the game's own window messages stamped with the ticker's milliseconds.
//
//   zorvel-script 1
//   seed 12345
//   <ms> move <x> <y> | ldown <x> <y> | lup <x> <y> | rdown <x> <y> | rup <x> <y>
//   <ms> keydown <KEY> | keyup <KEY>          (KEY: ESCAPE, F1, A..Z, 0..9, SPACE, RETURN, LEFT, UP, ...)
//   <ms> activate | clickactivate | deactivate | keymenu | close
//   <ms> char <code point> | text <the rest of the line, UTF-8>    (typed characters, as WM_CHAR)
//   <ms> screenshot <file.png>
//
// Blank lines and lines starting with '#' are ignored. The headless backend replays a script named by
// ZORVEL_SCRIPT; the SDL build records a real game to ZORVEL_RECORD in the same format.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace platform {

struct ScriptEvent {
  enum class Kind { Move, LDown, LUp, RDown, RUp, KeyDown, KeyUp, Activate, ClickActivate, Deactivate, KeyMenu,
                    Close, Screenshot, Text };
  uint32_t tick = 0;
  Kind kind = Kind::Move;
  int x = 0, y = 0;
  int key = 0;
  std::string path;  // the screenshot's file, or the typed text (UTF-8)
};

struct InputScript {
  std::optional<uint32_t> seed;
  std::vector<ScriptEvent> events;
};

// Parses a script; on failure returns false with "line N: what is wrong" in error.
bool ParseInputScript(const std::string& text, InputScript* script, std::string* error);
bool LoadInputScript(const std::string& path, InputScript* script, std::string* error);
std::string FormatScriptEvent(const ScriptEvent& event);

// Posts the messages of one event (screenshots are the backend's business and post nothing).
void PostScriptEvent(const ScriptEvent& event);

// The seed for the random generator when a run must repeat: ZORVEL_SEED, else the replayed script's seed.
std::optional<uint32_t> FixedSeed();
void SetScriptSeed(uint32_t seed);
// Recording: the start-up code reports the seed it used; device messages are appended as they are posted.
void RecordSeed(uint32_t seed);
void RecordDeviceMessage(uint32_t message, uintptr_t wParam, intptr_t lParam);

}  // namespace platform
