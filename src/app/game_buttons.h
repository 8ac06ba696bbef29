#pragma once
// The game screen's buttons: each drawn from a strip of two images side by side (normal, pressed) with its top
// left corner at (x, y), and clicked anywhere on its image.
#include <cstdint>

struct GameButton {
  const char* name;
  const char* bitmap;
  int32_t x, y;
};

inline constexpr GameButton kGameButtons[] = {
    {"newgame", "newgame.bmp", 10, 520}, {"info", "info.bmp", 104, 520},     {"menu", "back.bmp", 610, 520},
    {"exit", "exit.bmp", 704, 520},      {"true", "truepie.bmp", 212, 479}, {"false", "falsepie.bmp", 476, 479},
    {"pass", "passpie.bmp", 350, 479},
};
