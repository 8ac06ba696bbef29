#include "platform/sdl/sdl_display_loss.h"

#include <dlfcn.h>
#include <unistd.h>

#include "platform/host/end_request.h"
#include "platform/replay/trace.h"

namespace platform::backend {

namespace {

// The X library's types, as far as the handler needs them; SDL loads the library itself.
struct XDisplay;
using IoErrorHandler = int (*)(XDisplay*);
using SetIoErrorHandler = IoErrorHandler (*)(IoErrorHandler);

// The X library ends the program when this returns, so it does not return. Every file the game writes replaces
// the old one whole, and no write touches the display, so ending here leaves nothing half-written.
int OnDisplayLost(XDisplay*) {
  static const char kMessage[] = "Zorvel: the display has gone away; the game ends.\n";
  [[maybe_unused]] const ssize_t written = ::write(2, kMessage, sizeof kMessage - 1);
  TraceLine("display lost");
  // Asked to end already (a logout sends SIGTERM before it closes the display): that is an ordinary end.
  ::_exit(host::EndRequested() ? 0 : 1);
}

}  // namespace

void EndAtOnceOnDisplayLoss() {
  void* x11 = ::dlopen("libX11.so.6", RTLD_LAZY | RTLD_NOLOAD);
  if (!x11) return;
  if (auto set = reinterpret_cast<SetIoErrorHandler>(::dlsym(x11, "XSetIOErrorHandler"))) set(OnDisplayLost);
  ::dlclose(x11);  // only drops the reference this call took; SDL keeps the library loaded
}

}  // namespace platform::backend
