// A whole screen on the headless display: pictures, buttons and sprites built here, driven through the window
// procedure with scripted mouse messages, presented through the refresh manager, and compared pixel for pixel
// with a golden picture. ZORVEL_UPDATE_GOLDEN=1 rewrites the golden picture instead (and says so).
#include <gtest/gtest.h>
#include <png.h>

#include <array>
#include <cmath>
#include <cstdlib>
#include <map>
#include <vector>

#include "app/app_main.h"
#include "app/app_state.h"
#include "app/input_state.h"
#include "app/screen_manager.h"
#include "common/ticker.h"
#include "gfx/refresh_manager.h"
#include "gfx/sprite.h"
#include "gfx/sprite_animation_list.h"
#include "gfx/surface_utils.h"
#include "platform/replay/png_writer.h"
#include "platform/timer/timer.h"
#include "platform/window/window.h"
#include "ui/back_surface.h"
#include "ui/screen.h"
#include "ui/ui_test_support.h"
#include "zk/zk.h"

using platform::Surface;
using namespace test_support;

namespace {

// --- The art, drawn in code -------------------------------------------------------------------------------------

bool InDisc(int x, int y, int cx, int cy, int r) { return (x - cx) * (x - cx) + (y - cy) * (y - cy) <= r * r; }

void WriteArt(const std::string& dir) {
  // A gradient with a checker in the blue channel, never pure blue.
  WriteBmp(dir + "/background.bmp", 800, 600, [](int x, int y) {
    return Rgb{static_cast<uint8_t>(x * 255 / 799), static_cast<uint8_t>(y * 200 / 599),
               static_cast<uint8_t>(60 + ((x / 40 + y / 40) % 2) * 40)};
  });
  // An ellipse on blue with a red band: drawn clipped at the top-left and bottom-right corners.
  WriteBmp(dir + "/logo.bmp", 120, 60, [](int x, int y) {
    const double dx = (x - 59.5) / 60.0, dy = (y - 29.5) / 30.0;
    if (dx * dx + dy * dy > 1.0) return kBlue;
    return (y / 10) % 3 == 1 ? Rgb{220, 30, 30} : Rgb{250, 230, 60};
  });
  // Two-image button strip: normal and highlighted, blue corners.
  WriteBmp(dir + "/ok.bmp", 200, 40, [](int x, int y) {
    const int lx = x % 100;
    if ((lx < 4 || lx > 95) && (y < 4 || y > 35)) return kBlue;
    if (lx < 2 || lx > 97 || y < 2 || y > 37) return Rgb{255, 255, 255};
    return x < 100 ? Rgb{0, 90, 110} : Rgb{250, 150, 30};
  });
  // A round button for the pixel-exact hit test.
  WriteBmp(dir + "/round.bmp", 120, 60, [](int x, int y) {
    if (!InDisc(x % 60, y, 30, 30, 28)) return kBlue;
    return x < 60 ? Rgb{120, 40, 160} : Rgb{240, 120, 200};
  });
  // Three images for a blinking button: normal, highlighted, pressed.
  WriteBmp(dir + "/newgame.bmp", 300, 40, [](int x, int y) {
    const int i = x / 100;
    if (y < 3 || y > 36) return Rgb{30, 30, 30};
    return i == 0 ? Rgb{150, 150, 150} : i == 1 ? Rgb{120, 230, 120} : Rgb{20, 140, 20};
  });
  // A badge stamped into the scene, and a click marker.
  WriteBmp(dir + "/badge.bmp", 50, 50, [](int x, int y) {
    return InDisc(x, y, 25, 25, 24) ? (InDisc(x, y, 25, 25, 12) ? Rgb{255, 255, 255} : Rgb{200, 0, 80}) : kBlue;
  });
  WriteBmp(dir + "/mark.bmp", 20, 20, [](int x, int y) { return (x == y || x == 19 - y) ? Rgb{0, 0, 0} : kBlue; });
  // A three-frame sheet for a moving ball, a two-frame strip for a star, four rings for a one-shot animation.
  WriteBmp(dir + "/ball.bmp", 120, 40, [](int x, int y) {
    static const Rgb colours[3] = {{240, 60, 60}, {60, 200, 60}, {250, 250, 250}};
    return InDisc(x % 40, y, 20, 20, 18) ? colours[x / 40] : kBlue;
  });
  WriteBmp(dir + "/star.bmp", 100, 50, [](int x, int y) {
    const int lx = x % 50 - 25, ly = y - 25;
    const bool arm = std::abs(lx) < 4 || std::abs(ly) < 4 || std::abs(std::abs(lx) - std::abs(ly)) < 3;
    if (!arm || lx * lx + ly * ly > 24 * 24) return kBlue;
    return x < 50 ? Rgb{255, 220, 0} : Rgb{255, 120, 0};
  });
  WriteBmp(dir + "/ring.bmp", 120, 30, [](int x, int y) {
    const int r = 6 + (x / 30) * 3;
    const int d2 = (x % 30 - 15) * (x % 30 - 15) + (y - 15) * (y - 15);
    return (d2 <= r * r && d2 >= (r - 3) * (r - 3)) ? Rgb{255, 255, 255} : kBlue;
  });
}

// --- A screen built the way the game screen is --------------------------------------------------------------------

class PlaygroundScreen : public Screen {
 public:
  explicit PlaygroundScreen(std::string dir) : dir_(std::move(dir)) { SetName("Playground"); }
  ~PlaygroundScreen() { Unload(); }

  void Activate(platform::DirectDraw* directDraw, platform::Surface* backSurface) override {
    Screen::Activate(directDraw, backSurface);
    backgroundPicture_ = AddPicture(File("background.bmp").c_str());
    SetWorkSurface(backgroundPicture_->GetSurface());
    backgroundCopyPicture_ = AddPicture(File("background.bmp").c_str());
    SetCleanSurface(backgroundCopyPicture_->GetSurface());
    AddNamedPicture(File("logo.bmp").c_str(), "logo");
    AddNamedPicture(File("mark.bmp").c_str(), "mark");
    // The logo becomes part of the scene, clipped at two corners.
    for (Surface* scene : {g_refreshManager.GetCleanSurface(), g_refreshManager.GetWorkSurface()}) {
      DrawPictureAt(scene, "logo", -30, -20);
      DrawPictureAt(scene, "logo", 740, 560);
    }

    AddButton("ok", 80, 450, "ok.bmp", 2);
    AddButton("round", 260, 440, "round.bmp", 2)->SetPixelHitTest(1);
    AddButton("newgame", 400, 450, "newgame.bmp", 3);
    Widget* badge = new Widget(600, 40);
    badge->AddImageFile(0, File("badge.bmp").c_str());
    badge->StampIntoScene(1);
    delete badge;
    g_refreshManager.RestoreAll();  // after the stamp: the clean surface now holds the badge too

    ball_ = new Sprite();
    ball_->LoadSheet(File("ball.bmp").c_str(), 40, 40);
    ball_->x = -30.0f;
    ball_->y = 300.0f;
    ball_->vx = 4.0f;
    ball_->SetFrameDelay(30);
    ball_->SetLoopMode(kLoopRepeat);
    ball_->SetPlaying(1);

    star_ = new Sprite();
    star_->LoadStrip(File("star.bmp").c_str(), 2, 0);
    star_->SplitWidth();
    star_->SetCentered(1);
    star_->SetPosition(400, 150);
    star_->SetFrameDelay(100);
    star_->SetLoopMode(kLoopRepeat);
    star_->SetPlaying(1);

    ring_ = new Sprite();
    ring_->LoadStrip(File("ring.bmp").c_str(), 4, 0);
    ring_->SplitWidth();
    ring_->SetName("ring");
    ring_->SetCentered(1);
    ring_->SetFrameDelay(20);
    ring_->SetLoopMode(kLoopOnceBlank);
    ring_->SetPlaying(1);
    frame_ = 0;
  }

  void Deactivate() override {
    Unload();
    Screen::Deactivate();
  }

  int32_t HandleFrame(int32_t) override {
    ++frame_;
    int32_t x, y, buttons;
    g_inputState.GetMouse(&x, &y, &buttons);
    widgets_->UpdateAll(x, y, buttons);
    widgets_->RedrawAll();
    if (widgets_->WasClicked("ok")) {
      ++clicks_;
      DrawPictureAt(g_refreshManager.GetWorkSurface(), "mark", 80 + clicks_ * 25, 500);
      g_refreshManager.MarkArea(80 + clicks_ * 25, 500, 20, 20, kMarkOneShot, kMarkPresent);
      ring_->SetPosition(x, y);
      g_spriteAnimations.Spawn(ring_);
    }
    if (frame_ % 8 == 0) {
      Widget* blink = widgets_->FindByName("newgame");
      blink->SetImageBase(blink->GetImageBase() == 0 ? 1 : 0);
    }
    // Sprites: erase where they were, move, animate, draw into the scene.
    for (Sprite* sprite : {ball_, star_}) {
      if (lastDrawn_.count(sprite)) {
        const platform::Rect& r = lastDrawn_[sprite];
        g_refreshManager.EraseArea(r.left, r.top, r.right - r.left, r.bottom - r.top);
      }
    }
    ball_->Move();
    for (Sprite* sprite : {ball_, star_}) {
      sprite->Animate();
      sprite->DrawToScreen();
      const int32_t list = g_refreshManager.GetParity();
      const RefreshRecord* m = g_refreshManager.GetMark(list, g_refreshManager.MarkCount(list) - 1);
      lastDrawn_[sprite] = platform::Rect{m->x, m->y, m->x + m->width, m->y + m->height};
    }
    g_spriteAnimations.UpdateAndDraw(BackSurface());
    Present();
    return kFrameContinue;
  }

  // Windowed, the flip shows the back buffer as it is, and the refresh manager goes on changing it right after;
  // so the picture of a frame is taken on its way to the flip.
  int32_t Present() override {
    if (capture_) capture_->Blt(nullptr, BackSurface(), nullptr, platform::DDBLT_WAIT, nullptr);
    return Screen::Present();
  }
  void CaptureInto(Surface* picture) { capture_ = picture; }

  int clicks() const { return clicks_; }
  Widget* Button(const char* name) { return widgets_->FindByName(name); }

 private:
  std::string File(const char* name) const { return dir_ + "/" + name; }
  Widget* AddButton(const char* name, int x, int y, const char* strip, int count) {
    auto* button = new Widget(x, y);
    button->SetName(name);
    button->LoadStrip(File(strip).c_str(), count, 0);
    AddWidget(button);
    return button;
  }
  void Unload() {
    g_spriteAnimations.Clear();  // copies first: they use the ring's frames
    for (Sprite** sprite : {&ball_, &star_, &ring_}) {
      delete *sprite;
      *sprite = nullptr;
    }
    lastDrawn_.clear();
  }

  std::string dir_;
  Sprite* ball_ = nullptr;
  Sprite* star_ = nullptr;
  Sprite* ring_ = nullptr;
  std::map<Sprite*, platform::Rect> lastDrawn_;
  int frame_ = 0;
  int clicks_ = 0;
  Surface* capture_ = nullptr;
};

// --- The shell: the game's own window, display and ticker in virtual time ----------------------------------------

void StartHeadlessShell() {
  static const bool started = [] {
    platform::UseVirtualTime(true);
    if (!RegisterWindowClass(nullptr) || !CreateMainWindow(nullptr)) return false;
    if (!ZKInitDirectX(g_app.mainWindow, 800, 600)) return false;
    g_app.directDraw = ZKGetLPDD();
    platform::Surface* back = nullptr;
    ZKGetDDInfo(nullptr, &back);
    SetBackSurface(back);
    FillSurfacePixel(back, 0);
    StartTicker();
    return true;
  }();
  ASSERT_TRUE(started);
}

// One turn of the frame loop, as the shell runs it.
void RunFrame(ScreenManager& manager) {
  PumpMessages();
  WaitForNextFrame(100);
  manager.HandleFrame(g_app.appActive);
}

void Mouse(uint32_t message, int x, int y) {
  platform::PostMessage(g_app.mainWindow, message, message == platform::WM_LBUTTONDOWN ? platform::MK_LBUTTON : 0,
                        platform::PackPoint(x, y));
}

// --- Golden pictures ------------------------------------------------------------------------------------------------

// 8-bit RGB exactly as the PNG writer widens 5-6-5.
std::vector<uint8_t> ToRgb(const Surface& s) {
  std::vector<uint8_t> rgb;
  rgb.reserve(static_cast<size_t>(s.width()) * s.height() * 3);
  for (int y = 0; y < s.height(); ++y)
    for (int x = 0; x < s.width(); ++x) {
      const uint16_t p = s.Row16(y)[x];
      const int r = (p >> 11) & 31, g = (p >> 5) & 63, b = p & 31;
      rgb.push_back(static_cast<uint8_t>((r << 3) | (r >> 2)));
      rgb.push_back(static_cast<uint8_t>((g << 2) | (g >> 4)));
      rgb.push_back(static_cast<uint8_t>((b << 3) | (b >> 2)));
    }
  return rgb;
}

bool ReadPng(const std::string& path, int* width, int* height, std::vector<uint8_t>* rgb) {
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_file(&image, path.c_str())) return false;
  image.format = PNG_FORMAT_RGB;
  rgb->resize(PNG_IMAGE_SIZE(image));
  if (!png_image_finish_read(&image, nullptr, rgb->data(), 0, nullptr)) {
    png_image_free(&image);
    return false;
  }
  *width = static_cast<int>(image.width);
  *height = static_cast<int>(image.height);
  return true;
}

void ExpectMatchesGolden(const Surface& picture, const std::string& name) {
  const std::string golden = std::string(ZORVEL_SOURCE_DIR) + "/tests/golden/" + name + ".png";
  const char* update = std::getenv("ZORVEL_UPDATE_GOLDEN");
  if (update && std::string(update) == "1") {
    ASSERT_TRUE(platform::WritePng(picture, golden)) << golden;
    std::fprintf(stderr, "ZORVEL_UPDATE_GOLDEN=1: rewrote %s\n", golden.c_str());
    ::testing::Test::RecordProperty("golden_rewritten", golden);
    return;
  }
  int width = 0, height = 0;
  std::vector<uint8_t> expected;
  ASSERT_TRUE(ReadPng(golden, &width, &height, &expected))
      << "cannot read " << golden << " (run with ZORVEL_UPDATE_GOLDEN=1 to create it, then look at it)";
  ASSERT_EQ(picture.width(), width);
  ASSERT_EQ(picture.height(), height);
  const std::vector<uint8_t> actual = ToRgb(picture);
  size_t differing = 0, first = 0;
  for (size_t i = 0; i < actual.size(); i += 3) {
    if (actual[i] != expected[i] || actual[i + 1] != expected[i + 1] || actual[i + 2] != expected[i + 2]) {
      if (differing++ == 0) first = i / 3;
    }
  }
  if (differing) {
    const std::string out = FreshDir() + "/" + name + ".actual.png";
    platform::WritePng(picture, out);
    ADD_FAILURE() << differing << " pixels differ from " << golden << ", the first at " << first % width << ", "
                  << first / width << "; this run's picture: " << out;
  }
}

}  // namespace

TEST(ScreenPicture, ScriptedFramesMatchTheGoldenPicture) {
  StartHeadlessShell();
  const std::string dir = FreshDir();
  WriteArt(dir);
  ResetTickerForTest();
  g_app.nextFrameTime = 0;
  ResetRefreshManager();
  FillSurfacePixel(BackSurface(), 0);

  PlaygroundScreen screen(dir);
  ScreenManager manager;
  manager.SetDisplay(g_app.directDraw, BackSurface());
  manager.AddScreen(&screen);
  ASSERT_EQ(&screen, manager.ActivateScreen("Playground"));

  // frame -> messages posted before it
  std::multimap<int, std::array<int, 3>> script = {
      {3, {platform::WM_MOUSEMOVE, 5, 5}},
      {8, {platform::WM_MOUSEMOVE, 120, 470}},     // over "ok": hover
      {12, {platform::WM_LBUTTONDOWN, 120, 470}},  // pressed
      {14, {platform::WM_LBUTTONUP, 120, 470}},    // first click
      {18, {platform::WM_MOUSEMOVE, 263, 443}},    // the blue corner of "round"
      {19, {platform::WM_LBUTTONDOWN, 263, 443}},  // ... does not press it
      {22, {platform::WM_LBUTTONUP, 263, 443}},
      {26, {platform::WM_MOUSEMOVE, 150, 480}},
      {28, {platform::WM_LBUTTONDOWN, 150, 480}},
      {30, {platform::WM_LBUTTONUP, 150, 480}},    // second click: its ring is still running at the end
      {33, {platform::WM_MOUSEMOVE, 290, 470}},    // the middle of "round": hover at the end
  };
  constexpr int kFrames = 36;
  Surface* shown = Surface::Create(800, 600);
  for (int frame = 1; frame <= kFrames; ++frame) {
    auto [from, to] = script.equal_range(frame);
    for (auto it = from; it != to; ++it) Mouse(static_cast<uint32_t>(it->second[0]), it->second[1], it->second[2]);
    if (frame == kFrames) screen.CaptureInto(shown);
    const int flips = ZKFlipCount();
    RunFrame(manager);
    ASSERT_EQ(flips + 1, ZKFlipCount()) << "one flip per frame";
    if (frame == 14) {
      EXPECT_EQ(kWidgetHover, screen.Button("ok")->GetState());
    }
    if (frame == 19) {
      EXPECT_EQ(kWidgetNormal, screen.Button("round")->GetState()) << "blue is not the button";
    }
  }
  EXPECT_EQ(2, screen.clicks());
  EXPECT_EQ(kWidgetNormal, screen.Button("ok")->GetState());
  EXPECT_EQ(kWidgetHover, screen.Button("round")->GetState());
  EXPECT_EQ(1, g_spriteAnimations.Count()) << "the first ring has finished and left, the second still runs";

  ExpectMatchesGolden(*shown, "screen_playground");
  shown->Release();
  manager.DeactivateAll();
}

TEST(ScreenPicture, ActivatingAgainAndAgainLeaksNothing) {
  StartHeadlessShell();
  const std::string dir = FreshDir();
  WriteArt(dir);
  ResetRefreshManager();
  const int live = Surface::LiveCount();
  {
    PlaygroundScreen screen(dir);
    ScreenManager manager;
    manager.SetDisplay(g_app.directDraw, BackSurface());
    manager.AddScreen(&screen);
    for (int round = 0; round < 40; ++round) {
      ASSERT_EQ(&screen, manager.ActivateScreen("Playground"));  // the same screen: deactivated first
      Mouse(platform::WM_MOUSEMOVE, 120, 470);
      Mouse(platform::WM_LBUTTONDOWN, 120, 470);
      RunFrame(manager);
      Mouse(platform::WM_LBUTTONUP, 120, 470);
      RunFrame(manager);
      RunFrame(manager);
      EXPECT_EQ(1, g_spriteAnimations.Count());
    }
    manager.DeactivateAll();
    EXPECT_EQ(nullptr, g_refreshManager.GetWorkSurface()) << "the scene surfaces went with their pictures";
    EXPECT_EQ(nullptr, g_refreshManager.GetCleanSurface());
    EXPECT_EQ(live, Surface::LiveCount()) << "pictures, button images, sprite frames and strips all released";
    EXPECT_EQ(0, g_spriteAnimations.Count());
    EXPECT_EQ(0, screen.PictureCount());
  }
  Mouse(platform::WM_MOUSEMOVE, 5, 5);
  PumpMessages();
  // Whatever marks remain belong to no surface any more and go at their next turn.
  for (int i = 0; i < 2; ++i) {
    g_refreshManager.ToggleParity();
    g_refreshManager.PresentMarkedAreas(BackSurface());
  }
  EXPECT_EQ(0, g_refreshManager.MarkCount(0) + g_refreshManager.MarkCount(1));
}
