#include "gfx/sprite_animation_list.h"

#include <gtest/gtest.h>

#include <memory>

#include "common/ticker.h"
#include "gfx/refresh_manager.h"
#include "ui/ui_test_support.h"

using platform::Surface;
using namespace test_support;

namespace {

constexpr uint16_t kGround = 0x0841;

// Frames of 2 x 2 at the top-left corner, frame i filled with 100 + i.
// Sprites are made with new: copying one would make a sprite that shares frames it does not own.
std::unique_ptr<Sprite> MakeTemplate(const char* name, int frames) {
  auto sprite = std::make_unique<Sprite>();
  for (int i = 0; i < frames; ++i) sprite->AddFrame(FilledSurface(2, 2, static_cast<uint16_t>(100 + i)));
  sprite->SetName(name);
  sprite->SetFrameDelay(0);
  sprite->SetPlaying(1);
  return sprite;
}

class AnimationListTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetRefreshManager();
    ResetTickerForTest();
  }
  void TearDown() override { ResetRefreshManager(); }
  // One frame of the game: time moves on by 10 ms, then the list updates and draws.
  static void Frame(SpriteAnimationList& list, Surface* dest) {
    FillSurfaceWith(dest, kGround);
    tickCounter.store(tickCounter.load() + 10);
    list.UpdateAndDraw(dest);
  }
};

}  // namespace

TEST_F(AnimationListTest, OneShotCopiesPlayTheirRangeThenLeave) {
  auto bellOwner = MakeTemplate("bell", 4);
  auto loopOwner = MakeTemplate("loop", 4);
  Sprite& bell = *bellOwner;
  Sprite& loop = *loopOwner;
  bell.SetLoopMode(kLoopOnceBlank);
  bell.SetFrameIndex(3);
  loop.SetLoopMode(kLoopRepeat);
  Surface* dest = FilledSurface(4, 4, kGround);
  const int liveBefore = Surface::LiveCount();
  {
    SpriteAnimationList list;
    Sprite* copy = list.Spawn(&bell);
    ASSERT_NE(nullptr, copy);
    EXPECT_EQ(0, bell.GetCurrent()) << "spawning rewinds the template to its first frame";
    EXPECT_EQ(0, copy->GetCurrent());
    list.Spawn(&loop);
    EXPECT_EQ(2, list.Count());

    // Frames 1, 2, 3 are drawn by the first three updates; the fourth step runs past the end.
    for (int expected = 1; expected <= 3; ++expected) {
      Frame(list, dest);
      EXPECT_EQ(100 + expected, dest->Row16(0)[0]) << "update " << expected;
      EXPECT_EQ(copy, list.Find("bell"));
    }
    Frame(list, dest);
    EXPECT_EQ(nullptr, list.Find("bell")) << "finished: index -1, not drawn, taken out and deleted";
    EXPECT_EQ(1, list.Count());
    EXPECT_EQ(100, dest->Row16(0)[0]) << "the looping copy wrapped to frame 0 and was drawn";

    // A copy outside its range that does not blank out stays in the list but is not drawn.
    Sprite* looping = list.Find("loop");
    looping->SetFrameRange(0, 2);
    looping->SetPlaying(0);
    looping->SetLoopMode(kLoopOnceHold);
    looping->SetFrameIndex(-5);
    Frame(list, dest);
    EXPECT_EQ(0, looping->GetCurrent()) << "corrected to the range start by Animate";
    looping->SetFrameRange(1, 2);
    Frame(list, dest);
    EXPECT_EQ(kGround, dest->Row16(0)[0]) << "index 0 lies before the range 1..2: not drawn";
    EXPECT_EQ(1, list.Count());
  }
  EXPECT_EQ(liveBefore, Surface::LiveCount()) << "copies never release the template's frames";
  EXPECT_EQ(1u, bell.GetFrame(0)->refCount());
  dest->Release();
}

TEST_F(AnimationListTest, FindRemoveClearAndStep) {
  auto first = MakeTemplate("mandance", 3);
  auto second = MakeTemplate("mandance", 3);
  SpriteAnimationList list;
  Sprite* a = list.Spawn(first.get());
  Sprite* b = list.Spawn(second.get());
  EXPECT_EQ(a, list.Find("mandance")) << "the one spawned first";
  EXPECT_EQ(nullptr, list.Find("MANDANCE"));
  list.RemoveByName("mandance");
  EXPECT_EQ(b, list.Find("mandance"));
  EXPECT_EQ(1, list.Count());
  list.RemoveByName("manhammer");
  EXPECT_EQ(1, list.Count());

  // StepAll: each copy whose timed step is due draws itself onto the work surface.
  Surface* work = FilledSurface(4, 4, kGround);
  g_refreshManager.SetWorkSurface(work);
  b->SetFrameDelay(50);
  b->SetTimeMark(0);
  tickCounter.store(10);
  list.StepAll();
  EXPECT_EQ(101, work->Row16(1)[1]);
  EXPECT_EQ(60, b->GetTimeMark());
  FillSurfaceWith(work, kGround);
  tickCounter.store(40);
  list.StepAll();
  EXPECT_EQ(kGround, work->Row16(1)[1]) << "not due yet";

  list.Clear();
  EXPECT_EQ(nullptr, list.Find("mandance"));
  Surface* dest = FilledSurface(4, 4, kGround);
  list.UpdateAndDraw(dest);
  list.StepAll();
  list.RemoveByName("mandance");
  EXPECT_EQ(kGround, dest->Row16(0)[0]);
  EXPECT_NE(nullptr, list.Spawn(first.get())) << "a new list after Clear";
  EXPECT_EQ(1, list.Count());
  ResetRefreshManager();
  work->Release();
  dest->Release();
}
