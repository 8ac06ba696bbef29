#include "suite/one_program.h"

#include <unistd.h>

#include <cstdio>

#include "app/app_main.h"
#include "launcher/launcher_store.h"
#include "launcher/launcher_window.h"
#include "platform/replay/trace.h"
#include "platform/window/launch.h"
#include "platform/window/window.h"
#include "ui/bitmap_font.h"

namespace suite {

namespace {

void EnterGameFolder(const OneProgram& program) {
  // Music, sounds and art are read by their names in the game's folder.
  if (::chdir(program.gameFolder.c_str()) != 0)
    std::fprintf(stderr, "Cannot enter %s\n", program.gameFolder.c_str());
}

// One game in this process. True when it ended through its "Menu", which asks for the launcher.
bool PlayOnce(const OneProgram& program) {
  bool menu = false;
  platform::SetLaunchHandler([&menu](const std::string&, const std::string& parameters, const std::string&) {
    menu = parameters == "Zorvel";
    return true;
  });
  EnterGameFolder(program);
  const int code = AppMain(nullptr, program.suiteFolder);
  platform::SetLaunchHandler(nullptr);
  platform::TraceLine("game returned " + std::to_string(code) + (menu ? " through the menu" : ""));
  // What the game leaves behind must not reach the launcher's window: its quit message and input that arrived
  // after its last frame. (Its window class goes with the launcher's when the launcher closes.)
  platform::Message m;
  while (platform::PeekMessage(&m, true)) {
  }
  return menu;
}

}  // namespace

int RunLauncherAndGame(const OneProgram& program) {
  // The game's font decides which letters a name may hold, as in the launcher of its own.
  BitmapFont font;
  font.Load((program.gameFolder + "/font.bmp").c_str());
  bool backFromMenu = program.playFirst && PlayOnce(program);
  for (;;) {
    EnterGameFolder(program);
    hubbix::LauncherStore store(program.files.options, program.files.setup, &font);
    const hubbix::LauncherStart start = hubbix::StartFromFiles(program.gameFolder, program.files, backFromMenu);
    std::string error;
    const hubbix::Command command = hubbix::RunLauncherWindow(store, start, &error);
    if (command == hubbix::Command::None) {
      std::fprintf(stderr, "%s\n", error.c_str());
      return 1;
    }
    backFromMenu = false;
    if (command == hubbix::Command::Quit) {
      if (!program.quit || !program.quit()) return 0;
      continue;
    }
    backFromMenu = PlayOnce(program);
  }
}

}  // namespace suite
