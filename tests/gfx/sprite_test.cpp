#include "gfx/sprite.h"

#include <gtest/gtest.h>

#include "common/ticker.h"
#include "gfx/refresh_manager.h"
#include "ui/ui_test_support.h"

using platform::Surface;
using namespace test_support;

namespace {

constexpr uint16_t kGround = 0x0841;

// A sprite of n frames of 4 x 4, frame i filled with pixel value 100 + i.
Sprite* NumberedSprite(int n) {
  auto* sprite = new Sprite();
  for (int i = 0; i < n; ++i) sprite->AddFrame(FilledSurface(4, 4, static_cast<uint16_t>(100 + i)));
  return sprite;
}

const RefreshRecord* LastMark() {
  const int32_t list = g_refreshManager.GetParity();
  const int32_t count = g_refreshManager.MarkCount(list);
  return count ? g_refreshManager.GetMark(list, count - 1) : nullptr;
}

class SpriteTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetRefreshManager();
    ResetTickerForTest();
  }
  void TearDown() override { ResetRefreshManager(); }
  // Animate once, a little more than the frame delay after the previous step.
  static void StepOnce(Sprite& sprite) {
    tickCounter.store(tickCounter.load() + 110);
    sprite.Animate();
  }
};

}  // namespace

TEST_F(SpriteTest, PositionsTruncateTowardZeroAndCentreOnIntegerHalves) {
  Sprite* sprite = new Sprite();
  sprite->AddFrame(FilledSurface(101, 31, 500));
  Surface* dest = FilledSurface(300, 100, kGround);

  sprite->x = 100.7f;
  sprite->y = 40.0f;
  sprite->SetCentered(1);
  sprite->Draw(dest);
  ASSERT_NE(nullptr, LastMark());
  EXPECT_EQ(50, LastMark()->x) << "truncate(100.7 - 101 / 2)";
  EXPECT_EQ(25, LastMark()->y) << "truncate(40 - 31 / 2)";
  EXPECT_EQ(101, LastMark()->width);
  EXPECT_EQ(kMarkOneShot | kMarkPresent, LastMark()->flags);
  EXPECT_EQ(500, dest->Row16(25)[50]);
  EXPECT_EQ(kGround, dest->Row16(25)[49]);

  sprite->SetCentered(0);
  sprite->x = -0.5f;
  sprite->y = -0.9f;
  sprite->Draw(dest);
  EXPECT_EQ(0, LastMark()->x) << "-0.5 truncates to 0, not -1";
  EXPECT_EQ(0, LastMark()->y);

  // Clipped at negative positions: only the part inside the destination is drawn, the whole rectangle marked.
  FillSurfaceWith(dest, kGround);
  sprite->GetFrame(0)->Row16(5)[10] = 501;
  sprite->SetPosition(-10, -5);
  sprite->Draw(dest);
  EXPECT_EQ(501, dest->Row16(0)[0]);
  EXPECT_EQ(500, dest->Row16(25)[90]);
  EXPECT_EQ(kGround, dest->Row16(26)[90]);
  EXPECT_EQ(kGround, dest->Row16(0)[91]);
  EXPECT_EQ(-10, LastMark()->x);
  EXPECT_EQ(-5, LastMark()->y);

  // Invisible sprites still report their rectangle; without markDirty nothing is reported.
  FillSurfaceWith(dest, kGround);
  sprite->SetVisible(0);
  const int32_t marks = g_refreshManager.MarkCount(g_refreshManager.GetParity());
  sprite->Draw(dest);
  EXPECT_EQ(kGround, dest->Row16(0)[0]);
  EXPECT_EQ(marks + 1, g_refreshManager.MarkCount(g_refreshManager.GetParity()));
  sprite->SetVisible(1);
  sprite->SetMarkDirty(0);
  sprite->Draw(dest);
  EXPECT_EQ(marks + 1, g_refreshManager.MarkCount(g_refreshManager.GetParity()));

  // A region of the frame, drawn and marked at its own place; far-off positions stay harmless.
  sprite->SetMarkDirty(1);
  sprite->DrawRegion(10, 5, 3, 2, dest, 200, 90);
  EXPECT_EQ(501, dest->Row16(90)[200]);
  EXPECT_EQ(200, LastMark()->x);
  EXPECT_EQ(203, LastMark()->x + LastMark()->width);
  sprite->x = 1e20f;
  sprite->Draw(dest);
  sprite->Move();
  delete sprite;
  dest->Release();
}

TEST_F(SpriteTest, AnimateLoopModesIncludingTheBackwardWrap) {
  Sprite* sprite = NumberedSprite(6);
  sprite->SetFrameDelay(100);
  sprite->SetPlaying(1);

  // Loop: first 2, end 5, from 4 the next step goes back to 2.
  sprite->SetLoopMode(kLoopRepeat);
  sprite->SetFrameRange(2, 5);
  sprite->SetFrameIndex(4);
  StepOnce(*sprite);
  EXPECT_EQ(2, sprite->GetCurrent());
  StepOnce(*sprite);
  EXPECT_EQ(3, sprite->GetCurrent());

  // Backward loop: the wrap tests against 0, not against the range start.
  sprite->SetStep(-1);
  sprite->SetFrameIndex(2);
  StepOnce(*sprite);
  EXPECT_EQ(1, sprite->GetCurrent()) << "below the range start, no wrap yet";
  StepOnce(*sprite);
  EXPECT_EQ(0, sprite->GetCurrent());
  StepOnce(*sprite);
  EXPECT_EQ(4, sprite->GetCurrent()) << "from 0 to -1, corrected to end - 1";
  EXPECT_EQ(1, sprite->IsPlaying());

  // Once and hold: stops on the last frame and stays there.
  sprite->SetStep(1);
  sprite->SetLoopMode(kLoopOnceHold);
  sprite->SetFrameIndex(4);
  StepOnce(*sprite);
  EXPECT_EQ(4, sprite->GetCurrent());
  EXPECT_EQ(0, sprite->IsPlaying());
  StepOnce(*sprite);
  StepOnce(*sprite);
  EXPECT_EQ(4, sprite->GetCurrent());
  // ... and backwards it stops on the range start.
  sprite->SetPlaying(1);
  sprite->SetStep(-1);
  sprite->SetFrameIndex(0);
  StepOnce(*sprite);
  EXPECT_EQ(2, sprite->GetCurrent());
  EXPECT_EQ(0, sprite->IsPlaying());

  // Once and rewind.
  sprite->SetPlaying(1);
  sprite->SetStep(1);
  sprite->SetLoopMode(kLoopOnceRewind);
  sprite->SetFrameIndex(4);
  StepOnce(*sprite);
  EXPECT_EQ(2, sprite->GetCurrent());
  EXPECT_EQ(0, sprite->IsPlaying());

  // Once and blank: finished at -1, which draws nothing.
  sprite->SetPlaying(1);
  sprite->SetLoopMode(kLoopOnceBlank);
  sprite->SetFrameIndex(4);
  StepOnce(*sprite);
  EXPECT_EQ(-1, sprite->GetCurrent());
  EXPECT_EQ(0, sprite->IsPlaying());
  const int32_t marks = g_refreshManager.MarkCount(g_refreshManager.GetParity());
  Surface* dest = FilledSurface(8, 8, kGround);
  sprite->Draw(dest);
  EXPECT_EQ(marks, g_refreshManager.MarkCount(g_refreshManager.GetParity())) << "no frame, no rectangle";
  EXPECT_EQ(kGround, dest->Row16(0)[0]);

  // A stopped sprite keeps its frame but still takes the time stamp and has its index corrected.
  sprite->SetLoopMode(kLoopRepeat);
  sprite->SetFrameIndex(7);
  StepOnce(*sprite);
  EXPECT_EQ(2, sprite->GetCurrent());
  EXPECT_EQ(tickCounter.load(), sprite->GetTimeMark());
  dest->Release();
  delete sprite;
}

TEST_F(SpriteTest, TimedStepsWaitForTheirDelay) {
  Sprite* sprite = NumberedSprite(3);
  sprite->SetFrameDelay(100);
  sprite->SetPlaying(1);
  sprite->SetLoopMode(kLoopRepeat);
  tickCounter.store(100);
  sprite->Animate();
  EXPECT_EQ(0, sprite->GetCurrent()) << "exactly 100 ms is not more than the delay";
  tickCounter.store(110);
  sprite->Animate();
  EXPECT_EQ(1, sprite->GetCurrent());
  tickCounter.store(200);
  sprite->Animate();
  EXPECT_EQ(1, sprite->GetCurrent());
  tickCounter.store(220);
  sprite->Animate();
  EXPECT_EQ(2, sprite->GetCurrent());

  // StepFrame keeps the time of the next due step and stays inside the frame list.
  Sprite* stepper = NumberedSprite(3);
  stepper->SetFrameDelay(50);
  tickCounter.store(0);
  EXPECT_EQ(0, stepper->StepFrame()) << "mark 0 is not before now 0";
  tickCounter.store(10);
  EXPECT_EQ(1, stepper->StepFrame());
  EXPECT_EQ(1, stepper->GetCurrent());
  EXPECT_EQ(60, stepper->GetTimeMark());
  tickCounter.store(60);
  EXPECT_EQ(0, stepper->StepFrame());
  tickCounter.store(70);
  EXPECT_EQ(1, stepper->StepFrame());
  tickCounter.store(200);
  EXPECT_EQ(1, stepper->StepFrame());
  EXPECT_EQ(2, stepper->GetCurrent()) << "the last frame holds";

  stepper->SetFrame(3);
  EXPECT_EQ(2, stepper->GetCurrent()) << "SetFrame refuses an index past the list";
  stepper->SetFrameIndex(3);
  EXPECT_EQ(3, stepper->GetCurrent()) << "SetFrameIndex does not";
  stepper->Rewind();
  EXPECT_EQ(0, stepper->GetCurrent());
  delete stepper;
  delete sprite;
}

TEST_F(SpriteTest, LoadersCopiesAndOwnership) {
  const std::string dir = FreshDir();
  WriteBmp(dir + "/digits.bmp", 200, 30, [](int x, int) { return Rgb{static_cast<uint8_t>(x / 20 * 20), 0, 0}; });
  WriteSolidBmp(dir + "/one.bmp", 7, 9, {0, 200, 0});
  WriteSolidBmp(dir + "/sheet.bmp", 100, 40, {0, 0, 200});
  const int before = Surface::LiveCount();
  {
    Sprite digits;
    digits.LoadStrip((dir + "/digits.bmp").c_str(), 10, 0);
    ASSERT_EQ(10, digits.FrameCount());
    EXPECT_EQ(20, digits.GetFrame(3)->width());
    EXPECT_EQ(30, digits.GetFrame(3)->height());
    EXPECT_EQ(Pixel565({60, 0, 0}), digits.GetFrame(3)->Row16(0)[0]);
    EXPECT_EQ(200, digits.GetWidth()) << "the whole sheet until SplitWidth";
    EXPECT_EQ(30, digits.GetHeight());
    EXPECT_EQ(0, digits.GetFirst());
    EXPECT_EQ(10, digits.GetEnd());
    digits.SplitWidth();
    EXPECT_EQ(20, digits.GetWidth());
    EXPECT_EQ(before + 10, Surface::LiveCount()) << "the strip's sheet is released after cutting";

    Sprite column;
    column.LoadStrip((dir + "/digits.bmp").c_str(), 3, 1);
    EXPECT_EQ(3, column.FrameCount());
    EXPECT_EQ(10, column.GetFrame(0)->height());
    column.LoadStrip((dir + "/absent.bmp").c_str(), 3, 1);
    EXPECT_EQ(3, column.FrameCount());

    Sprite sheet;
    sheet.LoadSheet((dir + "/sheet.bmp").c_str(), 32, 20);
    EXPECT_EQ(6, sheet.FrameCount());
    EXPECT_EQ(32, sheet.GetWidth());
    EXPECT_EQ(20, sheet.GetHeight());
    sheet.LoadSheet((dir + "/absent.bmp").c_str(), 1, 1);
    EXPECT_EQ(32, sheet.GetWidth()) << "a missing sheet changes nothing";

    Sprite mixed;
    mixed.LoadFrame((dir + "/one.bmp").c_str());
    mixed.LoadFrame((dir + "/absent.bmp").c_str());  // message box, then goes on
    mixed.LoadFrame((dir + "/digits.bmp").c_str());
    EXPECT_EQ(2, mixed.FrameCount());
    EXPECT_EQ(200, mixed.GetWidth()) << "the size follows the last frame added";
    EXPECT_EQ(200, mixed.GetBox().right) << "so does the box";
    EXPECT_EQ(30, mixed.GetBox().bottom);
    platform::ColorKey key;
    ASSERT_EQ(platform::DD_OK, mixed.GetFrame(0)->GetColorKey(platform::DDCKEY_SRCBLT, &key));
    EXPECT_EQ(0x001Fu, key.dwColorSpaceLowValue);

    // A copy shares the frames and never releases them; the original does.
    mixed.SetName("bell");
    mixed.x = 3.5f;
    mixed.SetLoopMode(kLoopOnceBlank);
    mixed.SetFrameIndex(1);
    const int beforeCopy = Surface::LiveCount();
    auto* copy = new Sprite(mixed);
    EXPECT_STREQ("bell", copy->GetName());
    EXPECT_EQ(1, copy->HasSharedFrames());
    EXPECT_EQ(mixed.GetFrame(1), copy->GetFrame(1));
    EXPECT_EQ(3.5f, copy->x);
    EXPECT_EQ(1, copy->GetCurrent());
    EXPECT_EQ(kLoopOnceBlank, copy->GetLoopMode());
    EXPECT_EQ(200, copy->GetWidth());
    delete copy;
    EXPECT_EQ(beforeCopy, Surface::LiveCount());
    EXPECT_EQ(1u, mixed.GetFrame(0)->refCount());
  }
  EXPECT_EQ(before, Surface::LiveCount());
}
