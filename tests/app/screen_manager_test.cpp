#include "app/screen_manager.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// Records every call the manager makes, in one log shared by all screens of a test.
class LoggingScreen : public Screen {
 public:
  LoggingScreen(const char* name, std::vector<std::string>* log, int32_t frameResult = 5)
      : log_(log), frameResult_(frameResult) {
    SetName(name);
    tag_ = name;
  }
  void Activate(platform::DirectDraw* directDraw, platform::Surface* backSurface) override {
    Screen::Activate(directDraw, backSurface);
    log_->push_back("activate " + tag_);
  }
  void Deactivate() override {
    Screen::Deactivate();
    log_->push_back("deactivate " + tag_);
  }
  int32_t HandleMessage(platform::Window*, uint32_t message, uintptr_t wParam, intptr_t lParam) override {
    log_->push_back("message " + tag_ + " " + std::to_string(message) + " " + std::to_string(wParam) + " " +
                    std::to_string(lParam));
    return 3;
  }
  int32_t HandleFrame(int32_t active) override {
    log_->push_back("frame " + tag_ + " " + std::to_string(active));
    return frameResult_;
  }
  // Distinguishes screens registered under one name.
  void Retag(const char* tag) { tag_ = tag; }

 private:
  std::vector<std::string>* log_;
  int32_t frameResult_;
  std::string tag_;
};

}  // namespace

TEST(ScreenManager, ActivatesByExactNameInRegistrationOrder) {
  std::vector<std::string> log;
  ScreenManager manager;
  EXPECT_EQ(0, manager.HandleFrame(1)) << "no screen active yet";
  EXPECT_EQ(1, manager.ForwardMessage(nullptr, 0x200, 0, 0));
  EXPECT_EQ(nullptr, manager.ActivateScreen("Zorvel"));

  LoggingScreen game("Zorvel", &log), twin("Zorvel", &log), popup("Popup", &log, 7);
  twin.Retag("twin");
  auto* directDraw = reinterpret_cast<platform::DirectDraw*>(0x10);
  auto* back = reinterpret_cast<platform::Surface*>(0x20);
  manager.SetDisplay(directDraw, back);
  manager.AddScreen(&game);
  manager.AddScreen(&twin);
  manager.AddScreen(&popup);
  EXPECT_EQ(3, manager.ScreenCount());

  EXPECT_EQ(nullptr, manager.ActivateScreen("zorvel")) << "names compare case-sensitively";
  EXPECT_TRUE(log.empty());
  EXPECT_EQ(&game, manager.ActivateScreen("Zorvel")) << "the first of two screens with one name";
  EXPECT_EQ(directDraw, game.GetDirectDraw());
  EXPECT_EQ(back, game.GetBackSurface());
  EXPECT_EQ(5, manager.HandleFrame(1));
  EXPECT_EQ(3, manager.ForwardMessage(nullptr, 0x201, 1, 77));

  EXPECT_EQ(&popup, manager.ActivateScreen("Popup"));
  EXPECT_EQ(7, manager.HandleFrame(0)) << "the active screen's result, unchanged";
  EXPECT_EQ(&popup, manager.ActivateScreen("Nobody")) << "an unknown name changes nothing";
  EXPECT_EQ(&popup, manager.ActivateScreen("Popup")) << "re-activation";

  const std::vector<std::string> expected = {
      "activate Zorvel", "frame Zorvel 1",   "message Zorvel 513 1 77", "deactivate Zorvel",
      "activate Popup",  "frame Popup 0",    "deactivate Popup",        "activate Popup",
  };
  EXPECT_EQ(expected, log);
}

TEST(ScreenManager, DeactivateAllReachesEveryScreenAndKeepsTheActiveOne) {
  std::vector<std::string> log;
  ScreenManager manager;
  LoggingScreen first("First", &log), second("Second", &log), never("Never", &log);
  for (Screen* s : {static_cast<Screen*>(&first), static_cast<Screen*>(&second), static_cast<Screen*>(&never)})
    manager.AddScreen(s);
  manager.ActivateScreen("Second");
  log.clear();
  manager.DeactivateAll();
  const std::vector<std::string> expected = {"deactivate First", "deactivate Second", "deactivate Never"};
  EXPECT_EQ(expected, log) << "a screen never activated is deactivated too, safely";
  EXPECT_EQ(&second, manager.GetActiveScreen());
  EXPECT_EQ(nullptr, never.GetWidgetSet());
  EXPECT_EQ(0, never.PictureCount());
}
