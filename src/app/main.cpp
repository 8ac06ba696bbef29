#include <string>

#include "app/app_main.h"

int main(int argc, char** argv) {
  // The launcher hands over one argument, its folder; a folder with blanks may arrive split, so join them back.
  std::string commandLine;
  for (int i = 1; i < argc; ++i) {
    if (i > 1) commandLine += ' ';
    commandLine += argv[i];
  }
  return AppMain(nullptr, commandLine);
}
