// The browser build's entry point, in the launcher's place: the page passes the player's name, which is added to
// the roster (or selected, when it is there already) as the launcher would, and the game then runs in its
// packaged folder. Time comes from the browser's clock; the game's own frame loop sleeps through Asyncify.
#include <emscripten.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "app/app_main.h"
#include "launcher/ini_document.h"
#include "platform/timer/timer.h"
#include "platform/host/writable_files.h"
#include "launcher/suite_options.h"
#include "ui/bitmap_font.h"

// clang-format off
EM_JS(void, zorvel_web_ended, (int code, const char* problem), {
  if (Module.zorvelEnded) Module.zorvelEnded(code, UTF8ToString(problem));
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

// Waits, asleep to the browser, until its clock reaches the virtual millisecond. A page that was in the background
// comes back where it left off instead of racing through the time it missed.
void WaitForBrowserClock(uint64_t dueMs, double speed) {
  static double origin = emscripten_get_now() - static_cast<double>(dueMs) / speed;
  const double target = origin + static_cast<double>(dueMs) / speed;
  const double now = emscripten_get_now();
  if (now < target) {
    emscripten_sleep(static_cast<unsigned>(target - now + 0.999));
  } else if (now - target > 250) {
    origin += now - target;
  }
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
  if (problem.empty() && !name.empty()) problem = EnterPlayer(files.options, name);
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
  const int code = AppMain(nullptr, kSuite);
  zorvel_web_ended(code, "");
  return code;
}
