#pragma once
// Draws the launcher's pages onto an 800 x 600 picture from the generated art and the game's bitmap font: the
// backdrop, the column of page buttons, and the open page on its panel.
#include <map>
#include <string>

#include "launcher/launcher_pages.h"
#include "platform/video/surface.h"
#include "ui/bitmap_font.h"

namespace hubbix {

class LauncherView {
 public:
  LauncherView() = default;
  ~LauncherView();
  LauncherView(const LauncherView&) = delete;
  LauncherView& operator=(const LauncherView&) = delete;

  // Loads the art from the game's folder (its hubbix folder and font.bmp). False names the first missing file.
  bool Load(const std::string& gameFolder, std::string* missing);
  void Draw(const LauncherPages& pages, platform::Surface* target) const;

 private:
  void DrawButton(const LauncherPages& pages, Control c, const char* art, platform::Surface* target) const;
  void DrawPlayers(const LauncherPages& pages, platform::Surface* target) const;
  void DrawSettings(const LauncherPages& pages, platform::Surface* target) const;
  void DrawFame(const LauncherPages& pages, platform::Surface* target) const;
  void DrawStats(const LauncherPages& pages, platform::Surface* target) const;
  void DrawTopicBar(const TopicBar& bar, int32_t x, int32_t y, platform::Surface* target) const;
  void DrawReview(const LauncherPages& pages, platform::Surface* target) const;
  void DrawMessage(const LauncherPages& pages, int32_t y, int lines, platform::Surface* target) const;
  void Fill(platform::Surface* target, int32_t x, int32_t y, int32_t w, int32_t h, int r, int g, int b) const;
  void Frame(platform::Surface* target, const layout::Box& box, int thickness, int r, int g, int b) const;
  void Text(platform::Surface* target, const std::string& text, int32_t x, int32_t y, int32_t limit = -1) const;

  platform::Surface* background_ = nullptr;
  platform::Surface* reviewCard_ = nullptr;  // the game's own
  std::map<std::string, platform::Surface*> art_;
  BitmapFont font_;
};

}  // namespace hubbix
