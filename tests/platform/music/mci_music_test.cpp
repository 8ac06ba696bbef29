// The music command strings playing for real through the process's mixer and the null sink, in virtual time.
#include <gtest/gtest.h>

#include "audio_music_test.h"
#include "platform/host/file_names.h"
#include "platform/music/mci.h"
#include "platform/window/messages.h"
#include "platform/timer/timer.h"
#include "platform/window/window.h"

using namespace platform;

namespace {

class MciMusicTest : public ::testing::Test {
 protected:
  void SetUp() override {
    UseVirtualTime(true);
    static Window* w = [] {
      RegisterWindowClass("ZorvelMciTest", [](Window* win, uint32_t m, uintptr_t wp, intptr_t lp) {
        return DefWindowProc(win, m, wp, lp);
      });
      return CreateWindow("ZorvelMciTest", "mci", WindowKind::Captioned, 0, 0, 800, 600);
    }();
    window = w;
    ASSERT_NE(window, nullptr);
    std::string p = ::testing::TempDir() + "zorvel_mci_XXXXXX";
    std::vector<char> b(p.begin(), p.end());
    b.push_back('\0');
    dir = mkdtemp(b.data());
    Drain();
  }
  void TearDown() override {
    MciSendString("close music", nullptr);
    UseVirtualTime(false);
  }
  // MM_MCINOTIFY messages waiting in the queue.
  int Drain() {
    int notifies = 0;
    Message m;
    while (PeekMessage(&m, true)) {
      if (m.message == MM_MCINOTIFY) {
        EXPECT_EQ(m.window, window);
        EXPECT_EQ(m.wParam, MCI_NOTIFY_SUCCESSFUL);
        ++notifies;
      }
    }
    return notifies;
  }
  void Advance(uint32_t ms) {
    for (uint32_t t = 0; t < ms; t += 10) SleepMs(10);
  }
  Window* window = nullptr;
  std::string dir;
};

TEST_F(MciMusicTest, MissingOrBrokenFileMeansNoMusicAndNoNotification) {
  EXPECT_EQ(MciSendString("open " + dir + "/none.mp3 alias music", nullptr), MCIERR_FILE_NOT_FOUND);
  EXPECT_EQ(MciSendString("play music notify", window), MCIERR_INVALID_DEVICE_NAME);
  music_test::WriteBrokenMp3(dir + "/broken.mp3");
  EXPECT_EQ(MciSendString("open " + dir + "/broken.mp3 alias music", nullptr), MCIERR_INVALID_FILE);
  EXPECT_NE(MciSendString("play music notify", window), MCIERR_NONE);
  EXPECT_NE(MciSendString("pause music", window), MCIERR_NONE);
  EXPECT_NE(MciSendString("close music", nullptr), MCIERR_NONE);
  Advance(2000);
  EXPECT_EQ(Drain(), 0);
}

TEST_F(MciMusicTest, NotifiesWhenTheFileHasBeenHeardAndPauseHoldsIt) {
  music_test::WriteSilentMp3(dir + "/music.mp3", 40);  // about 1.045 s
  ASSERT_EQ(MciSendString("open " + dir + "/music.mp3 alias music", nullptr), MCIERR_NONE);
  EXPECT_EQ(MciSendString("open " + dir + "/music.mp3 alias music", nullptr), MCIERR_DUPLICATE_ALIAS);
  ASSERT_EQ(MciSendString("play music notify", window), MCIERR_NONE);
  Advance(500);
  EXPECT_EQ(MciSendString("pause music", window), MCIERR_NONE);
  Advance(3000);
  EXPECT_EQ(Drain(), 0) << "paused: not at the end";
  EXPECT_EQ(MciSendString("resume music", window), MCIERR_NONE);
  Advance(500);
  EXPECT_EQ(Drain(), 0);
  Advance(100);
  EXPECT_EQ(Drain(), 1) << "the end, heard after 1.05 s of playing";
  // The game's answer: close, open again, play again; a close while playing posts nothing.
  EXPECT_EQ(MciSendString("close music", nullptr), MCIERR_NONE);
  ASSERT_EQ(MciSendString("open " + dir + "/music.mp3 alias music", nullptr), MCIERR_NONE);
  ASSERT_EQ(MciSendString("play music notify", window), MCIERR_NONE);
  Advance(300);
  EXPECT_EQ(MciSendString("close music", nullptr), MCIERR_NONE);
  Advance(2000);
  EXPECT_EQ(Drain(), 0);
}

}  // namespace
