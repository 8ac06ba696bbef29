#include "platform/window/message_box.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/backend/backend.h"
#include "platform/replay/trace.h"

namespace platform {

int MessageBox(const std::string& text, const std::string& caption, uint32_t style) {
  const std::string shownCaption = caption.empty() ? "Error" : caption;
  TraceLine("messagebox \"" + shownCaption + "\" \"" + text + "\"");
  const char* mode = std::getenv("ZORVEL_MESSAGEBOX");
  bool toStderr = mode && std::strcmp(mode, "stderr") == 0;
  if (toStderr || !backend::ShowMessageBox(text, shownCaption, (style & MB_ICONERROR) != 0))
    std::fprintf(stderr, "%s: %s\n", shownCaption.c_str(), text.c_str());
  return IDOK;
}

}  // namespace platform
