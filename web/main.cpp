// The browser build's entry point: the launcher and the game as one program in the packaged suite folder, the
// launcher first. Tests may pass a player's name, which is added to the roster (or selected, when it is there
// already) as the launcher would, and then the game starts at once. Time comes from the browser's clock; the
// frame loops wait for the browser's next animation frame through Asyncify.
#include <dirent.h>
#include <emscripten.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "launcher/ini_document.h"
#include "platform/host/atomic_file.h"
#include "platform/timer/timer.h"
#include "platform/host/writable_files.h"
#include "launcher/suite_options.h"
#include "suite/one_program.h"
#include "ui/bitmap_font.h"

// clang-format off
EM_JS(void, zorvel_web_ended, (int code, const char* problem), {
  if (Module.zorvelEnded) Module.zorvelEnded(code, UTF8ToString(problem));
});

// Waits for the browser's clock (performance.now) to reach `dueMs`. While the picture moves (its last two changes
// came within 60 ms, the latest just now) the game wakes with the browser's animation frames, as the screen is
// drawn; a lone change (the clock's column, the bull blinking) does not count as moving. While it stands
// still, a plain timer lets the ticks gather for `gatherMs` more and run together, and no frame is drawn. Input
// wakes it at once (then the next tick is not put off). A hidden page waits until it shows again: it does nothing
// at all.
EM_ASYNC_JS(void, zorvel_web_wait, (double dueMs, double gatherMs), {
  await new Promise((resolve) => {
    let timer = 0, frame = 0;
    const shown = () => { if (!document.hidden) wake(); };
    const wake = () => {
      clearTimeout(timer);
      cancelAnimationFrame(frame);
      document.removeEventListener('visibilitychange', shown);
      Module.zorvelWake = null;
      resolve();
    };
    Module.zorvelWake = wake;
    if (document.hidden) {
      document.addEventListener('visibilitychange', shown);
      return;
    }
    const now = performance.now();
    const input = Module.zorvelEvents && Module.zorvelEvents.length > 0;
    const shownAt = Module.zorvelShownAt || -1e9, shownBefore = Module.zorvelShownBefore || -1e9;
    if (now - shownAt < 25 && shownAt - shownBefore < 60) frame = requestAnimationFrame(wake);
    else timer = setTimeout(wake, Math.max(0, dueMs - now + (input ? 0 : gatherMs)));
  });
});

// The launcher's Quit: the page thanks the player and offers to play again; returns when they take the offer.
EM_ASYNC_JS(int, zorvel_web_quit, (), {
  if (!Module.zorvelQuit) return 0;
  await Module.zorvelQuit();
  return 1;
});

// Returns once everything written so far is in the browser's storage.
EM_ASYNC_JS(void, zorvel_web_keep_files, (), {
  await new Promise((resolve) => Module.zorvelPersist(resolve));
});
// clang-format on

namespace {

constexpr const char* kSuite = "/zorvel";
constexpr const char* kGame = "/zorvel/Zorvel";

// Adds or selects the player; returns what went wrong, or nothing.
std::string EnterPlayer(const std::string& file, const std::string& name) {
  hubbix::IniDocument document;
  if (!document.Load(file)) return "Cannot read " + file;
  // The game's font decides which letters a name may hold, as in the launcher.
  BitmapFont font;
  font.Load((std::string(kGame) + "/font.bmp").c_str());
  hubbix::SuiteOptions options(std::move(document), &font);
  std::string error;
  const int known = options.FindPlayer(name);
  if (known >= 0 ? !options.SelectPlayer(known, &error) : options.AddPlayer(name, &error) < 0) return error;
  if (!options.Document().Save(file, &error)) return error;
  return {};
}

// How long the ticks may gather while the picture stands still: fewer wakes, and the sound is mixed far enough
// ahead (web_audio.cpp) to cover the gap.
constexpr double kGatherMs = 90;

// Waits, asleep to the browser, until its clock reaches the virtual millisecond. Every 10 ms tick due by a wake
// runs then, one after the other, so the ticks are the same as ever however the page wakes. A page that was in
// the background comes back where it left off instead of racing through the time it missed.
void WaitForBrowserClock(uint64_t dueMs, double speed) {
  static double origin = emscripten_get_now() - static_cast<double>(dueMs) / speed;
  for (;;) {
    const double target = origin + static_cast<double>(dueMs) / speed;
    const double now = emscripten_get_now();
    if (now >= target) {
      if (now - target > 250 + kGatherMs) origin += now - target;
      return;
    }
    zorvel_web_wait(target, kGatherMs);
  }
}

// A save is a temporary file renamed over the old one; one cut short before (a closed page, in an older build)
// leaves its temporary file, which nothing would ever read or remove.
void RemoveLeftoverSaves(const std::string& file) {
  const size_t slash = file.rfind('/');
  if (slash == std::string::npos) return;
  const std::string folder = file.substr(0, slash), prefix = file.substr(slash + 1) + ".tmp";
  DIR* dir = ::opendir(folder.c_str());
  if (!dir) return;
  std::vector<std::string> leftovers;
  while (const dirent* entry = ::readdir(dir))
    if (std::string(entry->d_name).starts_with(prefix)) leftovers.push_back(folder + "/" + entry->d_name);
  ::closedir(dir);
  for (const std::string& path : leftovers) ::unlink(path.c_str());
}

}  // namespace

int main(int argc, char** argv) {
  const std::string name = argc > 1 ? argv[1] : "";
  // The packaged game folder is the installed one: read-only, so what the game writes goes to the folders the
  // page keeps in the browser's storage (XDG_CONFIG_HOME and XDG_DATA_HOME point there).
  ::chmod(kGame, 0555);
  ::chmod(kSuite, 0555);
  std::string problem;
  const platform::WritableFiles files = platform::LocateWritableFiles(kSuite, kGame, &problem);
  RemoveLeftoverSaves(files.options);
  RemoveLeftoverSaves(files.hiscore);
  // A name the roster refuses opens the launcher instead, where the player can choose another.
  const std::string refused = problem.empty() && !name.empty() ? EnterPlayer(files.options, name) : "";
  if (!refused.empty()) std::fprintf(stderr, "%s\n", refused.c_str());
  // The roster is in the browser's storage before the game starts, and so is every hall-of-fame write before it
  // returns: a page left at once loses nothing.
  zorvel_web_keep_files();
  platform::SetReplacedFileKeeper(zorvel_web_keep_files);
  if (!problem.empty()) {
    zorvel_web_ended(1, problem.c_str());
    return 1;
  }
  if (::chdir(kGame) != 0) {
    zorvel_web_ended(1, "The game's folder is missing from the package");
    return 1;
  }
  double speed = 1;
  if (const char* s = std::getenv("ZORVEL_WEB_SPEED"); s && std::atof(s) >= 1) speed = std::atof(s);
  platform::UseVirtualTime(true);
  platform::PaceVirtualTime([speed](uint64_t due) { WaitForBrowserClock(due, speed); });
  suite::OneProgram program;
  program.suiteFolder = kSuite;
  program.gameFolder = kGame;
  program.files = files;
  program.playFirst = !name.empty() && refused.empty();
  program.quit = [] { return zorvel_web_quit() != 0; };
  const int code = suite::RunLauncherAndGame(program);
  zorvel_web_ended(code, "");
  return code;
}
