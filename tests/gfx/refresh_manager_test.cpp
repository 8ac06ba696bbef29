#include "gfx/refresh_manager.h"

#include <gtest/gtest.h>

#include "gfx/picture.h"
#include "ui/ui_test_support.h"

using platform::Surface;
using namespace test_support;

namespace {

constexpr uint16_t kWork = 0x07E0;
constexpr uint16_t kClean = 0xF800;
constexpr uint16_t kBack = 0x0000;

// The surfaces of one frame loop: the end of a frame toggles the parity and presents, as a screen does.
struct Frames {
  RefreshManager manager;
  Surface* work = FilledSurface(64, 48, kWork);
  Surface* clean = FilledSurface(64, 48, kClean);
  Surface* back = FilledSurface(64, 48, kBack);
  Frames() {
    manager.SetWorkSurface(work);
    manager.SetCleanSurface(clean);
  }
  ~Frames() {
    work->Release();
    clean->Release();
    back->Release();
  }
  void EndFrame() {
    manager.ToggleParity();
    manager.PresentMarkedAreas(back);
  }
  uint16_t Back(int x, int y) const { return back->Row16(y)[x]; }
  void ClearBack() { FillSurface(back, kBack); }
  static void FillSurface(Surface* s, uint16_t pixel) {
    for (int y = 0; y < s->height(); ++y)
      for (int x = 0; x < s->width(); ++x) s->Row16(y)[x] = pixel;
  }
  int32_t Marks() const { return manager.MarkCount(0) + manager.MarkCount(1); }
};

}  // namespace

TEST(RefreshManager, MarksOfOneFrameAreAppliedAfterTheFlipThatEndsTheNextFrame) {
  Frames f;
  f.manager.MarkArea(2, 3, 4, 5, kMarkOneShot, kMarkPresent);  // frame N
  EXPECT_EQ(1, f.manager.MarkCount(0));
  f.EndFrame();  // end of frame N
  EXPECT_EQ(kBack, f.Back(2, 3)) << "not after the flip that ends the frame the mark was made in";
  f.EndFrame();  // end of frame N + 1
  EXPECT_EQ(kWork, f.Back(2, 3));
  EXPECT_EQ(kWork, f.Back(5, 7));
  EXPECT_EQ(kBack, f.Back(6, 3)) << "only the marked area";
  EXPECT_EQ(kBack, f.Back(2, 8));
  EXPECT_EQ(0, f.Marks()) << "a one-shot mark is freed once applied";

  // Both buffers: applied after each of the next two flips, then gone from both lists.
  f.manager.MarkArea(10, 10, 2, 2, kMarkOneShot | kMarkBothBuffers, kMarkPresent);
  EXPECT_EQ(1, f.manager.MarkCount(0));
  EXPECT_EQ(1, f.manager.MarkCount(1));
  f.EndFrame();
  EXPECT_EQ(kWork, f.Back(10, 10));
  f.ClearBack();
  f.EndFrame();
  EXPECT_EQ(kWork, f.Back(11, 11));
  EXPECT_EQ(0, f.Marks());
  f.ClearBack();
  f.EndFrame();
  f.EndFrame();
  EXPECT_EQ(kBack, f.Back(10, 10));

  // Without the one-shot bit a mark stays and is applied at every second present, for good.
  f.manager.MarkRect(platform::Rect{20, 20, 22, 22}, 0, kMarkPresent);
  const int32_t parityOfMark = f.manager.GetParity();
  for (int i = 0; i < 6; ++i) {
    f.ClearBack();
    f.EndFrame();
    EXPECT_EQ(f.manager.GetParity() == parityOfMark ? kWork : kBack, f.Back(21, 21)) << "present " << i;
  }
  EXPECT_EQ(1, f.Marks());
}

TEST(RefreshManager, OnePresentAppliesAndFreesEveryOneShotMarkOfItsList) {
  Frames f;
  // Adjacent one-shot marks: removing one must not skip the one that moves into its place.
  for (int i = 0; i < 4; ++i) f.manager.MarkArea(i * 10, 0, 5, 5, kMarkOneShot, kMarkPresent);
  f.manager.MarkArea(0, 40, 5, 5, 0, kMarkPresent);  // stays
  f.EndFrame();
  f.EndFrame();
  for (int i = 0; i < 4; ++i) EXPECT_EQ(kWork, f.Back(i * 10 + 1, 1)) << "mark " << i;
  EXPECT_EQ(kWork, f.Back(1, 41));
  EXPECT_EQ(1, f.Marks());
  EXPECT_EQ(0, f.manager.GetMark(0, 0)->x);
  EXPECT_EQ(40, f.manager.GetMark(0, 0)->y);
}

TEST(RefreshManager, ChangingTheWorkSurfaceDropsMarksMadeForTheOldOne) {
  Frames f;
  Surface* popup = FilledSurface(64, 48, 0x001F ^ 0x0010);
  f.manager.MarkArea(0, 0, 4, 4, kMarkOneShot, kMarkPresent);  // list 0, for the old surface
  f.EndFrame();                                                   // parity 1
  f.manager.MarkArea(8, 0, 4, 4, kMarkOneShot, kMarkPresent);  // list 1
  f.manager.MarkArea(16, 0, 4, 4, 0, kMarkPresent);            // list 1, kept over the switch
  f.manager.SetWorkSurface(popup);
  EXPECT_EQ(1, f.manager.MarkCount(1)) << "the current list's one-shot marks are dropped unapplied";
  EXPECT_EQ(1, f.manager.MarkCount(0)) << "the other list keeps its marks";
  f.EndFrame();  // parity 0: the mark whose target is the old surface
  EXPECT_EQ(kBack, f.Back(1, 1)) << "not applied: it was made for another work surface";
  EXPECT_EQ(0, f.manager.MarkCount(0)) << "but removed all the same";
  f.EndFrame();  // parity 1
  EXPECT_EQ(kBack, f.Back(9, 1));
  EXPECT_EQ(kBack, f.Back(17, 1)) << "a lasting mark for the old surface is skipped";
  EXPECT_EQ(1, f.manager.MarkCount(1)) << "and kept";
  f.manager.SetWorkSurface(f.work);
  f.EndFrame();
  f.EndFrame();
  EXPECT_EQ(kWork, f.Back(17, 1)) << "back on its surface, it applies again";
  popup->Release();
}

TEST(RefreshManager, EraseRestoreAndPaint) {
  Frames f;
  // Erasing copies clean -> work at once and marks the area for presenting.
  f.manager.EraseArea(4, 4, 3, 3);
  EXPECT_EQ(kClean, f.work->Row16(4)[4]);
  EXPECT_EQ(kClean, f.work->Row16(6)[6]);
  EXPECT_EQ(kWork, f.work->Row16(7)[7]);
  ASSERT_EQ(1, f.manager.MarkCount(0));
  const RefreshRecord* mark = f.manager.GetMark(0, 0);
  EXPECT_EQ(kMarkOneShot | kMarkPresent, mark->flags);
  EXPECT_EQ(f.work, mark->target);
  EXPECT_EQ(f.clean, mark->source);
  f.EndFrame();
  f.EndFrame();
  EXPECT_EQ(kClean, f.Back(5, 5));

  Picture text;
  text.Define("question", nullptr, 30, 20, 10, 8);
  f.manager.ErasePictureArea(&text);
  EXPECT_EQ(kClean, f.work->Row16(27)[39]);
  EXPECT_EQ(kWork, f.work->Row16(28)[39]);
  f.manager.ErasePopupArea(platform::Rect{50, 40, 54, 44});
  const RefreshRecord* popupMark = f.manager.GetMark(0, 1);
  EXPECT_EQ(50, popupMark->x);
  EXPECT_EQ(40, popupMark->y);
  EXPECT_EQ(4, popupMark->width);
  EXPECT_EQ(4, popupMark->height);

  // A picture without a bitmap paints nothing but still marks its area.
  const uint16_t before = f.work->Row16(21)[31];
  f.manager.PaintPicture(&text);
  EXPECT_EQ(before, f.work->Row16(21)[31]);
  EXPECT_EQ(3, f.manager.MarkCount(0));

  // No clean surface: nothing is copied, the area is still marked.
  f.manager.SetCleanSurface(nullptr);
  f.manager.EraseArea(60, 0, 4, 4);
  EXPECT_EQ(kWork, f.work->Row16(0)[60]);
  EXPECT_EQ(4, f.manager.MarkCount(0));
  f.manager.SetCleanSurface(f.clean);

  // Restoring copies the whole clean surface and marks exactly the work surface's size at 0, 0.
  f.manager.RestoreAll();
  EXPECT_EQ(kClean, f.work->Row16(47)[63]);
  const RefreshRecord* all = f.manager.GetMark(0, 4);
  EXPECT_EQ(0, all->x);
  EXPECT_EQ(0, all->y);
  EXPECT_EQ(64, all->width);
  EXPECT_EQ(48, all->height);
  EXPECT_EQ(kMarkOneShot | kMarkPresent, all->flags);
}

TEST(RefreshManager, EraseMarksRestoreTheWorkSurfaceWhenApplied) {
  Frames f;
  f.manager.MarkArea(0, 0, 8, 8, kMarkOneShot, kMarkErase);
  f.EndFrame();
  EXPECT_EQ(kWork, f.work->Row16(0)[0]) << "nothing happens before the mark's turn";
  f.EndFrame();
  EXPECT_EQ(kClean, f.work->Row16(7)[7]) << "clean -> work";
  EXPECT_EQ(kClean, f.Back(7, 7)) << "then work -> back";
  EXPECT_EQ(kWork, f.work->Row16(8)[8]);

  // Copies are transparent blits: pure blue on the work surface (its key) does not reach the back surface.
  platform::ColorKey key{0x001F, 0x001F};
  f.work->SetColorKey(platform::DDCKEY_SRCBLT, &key);
  f.work->Row16(30)[30] = 0x001F;
  f.manager.MarkArea(29, 29, 3, 3, kMarkOneShot, kMarkPresent);
  f.EndFrame();
  f.EndFrame();
  EXPECT_EQ(kWork, f.Back(29, 29));
  EXPECT_EQ(kBack, f.Back(30, 30));
}
