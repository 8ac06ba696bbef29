// The launcher and the game as one program on the headless backend: the browser's way of running them, driven by
// one input script in virtual time, so that game after game in one process is tested where it is quick to.
#include <string>

#include "platform/host/writable_files.h"
#include "suite/one_program.h"

int main(int argc, char** argv) {
  if (argc != 2) return 2;
  const std::string folder = argv[1];
  std::string problem;
  suite::OneProgram program;
  program.suiteFolder = folder;
  program.gameFolder = folder + "/Zorvel";
  program.files = platform::LocateWritableFiles(program.suiteFolder, program.gameFolder, &problem);
  return suite::RunLauncherAndGame(program);
}
