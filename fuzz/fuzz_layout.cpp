// Screen layout files: the pictures a screen makes are exactly the image01, image02... entries up to the first
// missing or "none" one, as the launcher's independent ini reader sees them, named and placed as the file says;
// the screen gives back every surface it made.
#include <cstdio>
#include <cstring>
#include <string>

#include "fuzz_support.h"
#include "launcher/ini_document.h"
#include "platform/host/profile.h"
#include "ui/screen.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string path = fuzz::WriteScratch("layout.ini", data, size);
  hubbix::IniDocument document;
  FUZZ_CHECK(document.Load(path));
  const int liveBefore = platform::Surface::LiveCount();
  {
    Screen screen;
    screen.LoadLayout(path.c_str());
    int32_t expected = 0;
    for (int32_t counter = 1;; ++counter) {
      char key[32];
      std::snprintf(key, sizeof key, "image%02d", counter);
      // The game holds names as C strings in 256-byte buffers.
      const std::string section = document.Get("images", key, "none").substr(0, 255).c_str();
      if (section == "none") break;
      FUZZ_CHECK(expected < screen.PictureCount());
      Picture* picture = screen.GetPicture(expected);
      FUZZ_CHECK(section == picture->GetName());
      const int x = platform::ProfileInt(document.Get(section, "x", "").substr(0, 255).c_str());
      const int y = platform::ProfileInt(document.Get(section, "y", "").substr(0, 255).c_str());
      FUZZ_CHECK(picture->GetX() == x && picture->GetY() == y);
      ++expected;
    }
    FUZZ_CHECK(screen.PictureCount() == expected);
  }
  FUZZ_CHECK(platform::Surface::LiveCount() == liveBefore);
  return 0;
}
