#include "game/modal_page.h"

#include "game/game_shell.h"
#include "ui/back_surface.h"

int32_t ModalPage::Run(const std::function<bool(const Frame&)>& step) {
  scene_.ForgetPressedKeys();
  int32_t x = 0, y = 0, buttons = 0;
  shell_.GetMouse(&x, &y, &buttons);
  // A button already held when the page opened belongs to what came before it.
  bool wasDown = (buttons & 1) != 0;
  for (;;) {
    if (shell_.PumpMessages()) return 0;
    shell_.GetMouse(&x, &y, &buttons);
    const bool down = (buttons & 1) != 0;
    Frame frame;
    frame.x = x;
    frame.y = y;
    frame.pressed = down && !wasDown;
    frame.released = !down && wasDown;
    wasDown = down;
    frame.keys = scene_.TakePressedKeys();
    frame.surface = BackSurface();
    const bool more = step(frame);
    scene_.Present();
    if (!more) return 1;
  }
}
