#include <gtest/gtest.h>

#include "platform/video/surface.h"
#include "ui/unchanged_area.h"

using namespace platform;

namespace {

constexpr uint16_t kBlue = 0x001F;

Surface* Filled(int w, int h, uint16_t value) {
  Surface* s = Surface::Create(w, h);
  BltFx fx;
  fx.dwFillColor = value;
  s->Blt(nullptr, nullptr, nullptr, DDBLT_COLORFILL | DDBLT_WAIT, &fx);
  return s;
}

void Fill(Surface* s, const Rect& r, uint16_t value) {
  BltFx fx;
  fx.dwFillColor = value;
  ASSERT_EQ(DD_OK, s->Blt(&r, nullptr, nullptr, DDBLT_COLORFILL | DDBLT_WAIT, &fx));
}

uint16_t At(const Surface* s, int x, int y) { return s->Row16(y)[x]; }

}  // namespace

TEST(SurfaceChanges, WritesAreNumberedByAreaAndWritesThatChangeNothingAreNot) {
  Surface* s = Filled(20, 10, 0x1111);
  const uint64_t start = s->serial();
  Fill(s, Rect{0, 0, 5, 5}, 0x2222);
  EXPECT_TRUE(s->ChangedSince(start, Rect{4, 4, 6, 6}));
  EXPECT_FALSE(s->ChangedSince(start, Rect{5, 0, 20, 10})) << "touching edges do not overlap";
  std::vector<Rect> areas;
  ASSERT_TRUE(s->ChangesSince(start, &areas));
  ASSERT_EQ(1u, areas.size());
  EXPECT_EQ(5, areas[0].right);

  const uint64_t afterFill = s->serial();
  Fill(s, Rect{0, 0, 5, 5}, 0x2222);  // the same pixels again
  EXPECT_EQ(afterFill, s->serial()) << "a write that changes no pixel is not a change";

  // A lock may write anywhere.
  SurfaceDesc desc;
  ASSERT_EQ(DD_OK, s->Lock(nullptr, &desc, DDLOCK_WAIT));
  s->Unlock(nullptr);
  EXPECT_TRUE(s->ChangedSince(afterFill, Rect{19, 9, 20, 10}));
  EXPECT_FALSE(s->ChangesSince(afterFill, &areas)) << "the areas of a lock are not known";

  // More writes than are remembered: an old serial can no longer be answered with "unchanged".
  const uint64_t old = s->serial();
  for (int i = 0; i < 200; ++i) Fill(s, Rect{0, 0, 1, 1}, static_cast<uint16_t>(i));
  EXPECT_TRUE(s->ChangedSince(old, Rect{10, 5, 11, 6}));
  EXPECT_FALSE(s->ChangesSince(old, &areas));
  s->Release();
}

TEST(SurfaceChanges, ARepeatedCopyIsMadeAgainWhenEitherSideWasWrittenSince) {
  Surface* picture = Filled(4, 4, 0x0F0F);
  picture->Row16(0)[0] = kBlue;
  ColorKey key{kBlue, kBlue};
  picture->SetColorKey(DDCKEY_SRCBLT, &key);
  Surface* screen = Filled(20, 20, 0x1111);
  const Rect at{2, 2, 6, 6};
  ASSERT_EQ(DD_OK, screen->Blt(&at, picture, nullptr, DDBLT_KEYSRC | DDBLT_WAIT, nullptr));
  EXPECT_EQ(0x0F0F, At(screen, 3, 3));
  EXPECT_EQ(0x1111, At(screen, 2, 2)) << "blue stays transparent";

  // Something else draws over part of the copy: the same copy must put the picture back.
  Fill(screen, Rect{0, 0, 4, 4}, 0x2222);
  ASSERT_EQ(DD_OK, screen->Blt(&at, picture, nullptr, DDBLT_KEYSRC | DDBLT_WAIT, nullptr));
  EXPECT_EQ(0x0F0F, At(screen, 3, 3));
  EXPECT_EQ(0x2222, At(screen, 2, 2)) << "and leave the transparent pixel over the new colour";

  // The picture changes: the same copy must show the new picture.
  Fill(picture, Rect{1, 1, 2, 2}, 0x3333);
  ASSERT_EQ(DD_OK, screen->Blt(&at, picture, nullptr, DDBLT_KEYSRC | DDBLT_WAIT, nullptr));
  EXPECT_EQ(0x3333, At(screen, 3, 3));

  // A key change makes blue opaque... well, makes another colour transparent instead.
  ColorKey other{0x3333, 0x3333};
  picture->SetColorKey(DDCKEY_SRCBLT, &other);
  Fill(screen, Rect{0, 0, 20, 20}, 0x4444);
  ASSERT_EQ(DD_OK, screen->Blt(&at, picture, nullptr, DDBLT_KEYSRC | DDBLT_WAIT, nullptr));
  EXPECT_EQ(kBlue, At(screen, 2, 2));
  EXPECT_EQ(0x4444, At(screen, 3, 3));

  // Writing pixels directly counts as a change too.
  picture->Row16(1)[1] = 0x5555;
  ASSERT_EQ(DD_OK, screen->Blt(&at, picture, nullptr, DDBLT_KEYSRC | DDBLT_WAIT, nullptr));
  EXPECT_EQ(0x5555, At(screen, 3, 3));

  // Two overlapping copies from one picture, repeated: each stays right and neither keeps the other busy.
  Surface* work = Filled(20, 20, 0x6666);
  const Rect a{0, 0, 10, 10}, b{5, 5, 15, 15};
  for (int i = 0; i < 3; ++i) {
    screen->Blt(&a, work, &a, DDBLT_KEYSRC | DDBLT_WAIT, nullptr);
    screen->Blt(&b, work, &b, DDBLT_KEYSRC | DDBLT_WAIT, nullptr);
  }
  const uint64_t settled = screen->serial();
  screen->Blt(&a, work, &a, DDBLT_KEYSRC | DDBLT_WAIT, nullptr);
  screen->Blt(&b, work, &b, DDBLT_KEYSRC | DDBLT_WAIT, nullptr);
  EXPECT_EQ(settled, screen->serial());
  EXPECT_EQ(0x6666, At(screen, 14, 14));
  work->Release();
  picture->Release();
  screen->Release();
}

TEST(SurfaceChanges, AnUnchangedAreaHoldsUntilTheWorkOrCleanSurfaceIsWrittenThereOrTheInputsDiffer) {
  Surface* work = Filled(50, 50, 0x1111);
  Surface* clean = Filled(50, 50, 0x2222);
  const Rect area{10, 10, 20, 20};
  UnchangedArea drawn;
  EXPECT_FALSE(drawn.Holds(work, clean, area, {1})) << "nothing drawn yet";
  drawn.Drawn(work, clean, area, {1, 2});
  EXPECT_TRUE(drawn.Holds(work, clean, area, {1, 2}));
  EXPECT_FALSE(drawn.Holds(work, clean, area, {1, 3})) << "other inputs";
  EXPECT_FALSE(drawn.Holds(work, clean, Rect{10, 10, 21, 20}, {1, 2})) << "another area";
  EXPECT_FALSE(drawn.Holds(clean, clean, area, {1, 2})) << "another work surface";
  Fill(work, Rect{0, 0, 10, 50}, 0x3333);
  EXPECT_TRUE(drawn.Holds(work, clean, area, {1, 2})) << "a write beside the area";
  Fill(work, Rect{19, 19, 30, 30}, 0x3333);
  EXPECT_FALSE(drawn.Holds(work, clean, area, {1, 2})) << "a write into a corner of the area";
  drawn.Drawn(work, clean, area, {1, 2});
  Fill(clean, Rect{15, 15, 16, 16}, 0x4444);
  EXPECT_FALSE(drawn.Holds(work, clean, area, {1, 2})) << "the background to erase with changed";

  // A picture's identity and write number make an input: a changed picture is a changed input.
  UnchangedArea::Inputs before, after;
  UnchangedArea::AddPicture(&before, clean);
  Fill(clean, Rect{0, 0, 1, 1}, 0x5555);
  UnchangedArea::AddPicture(&after, clean);
  EXPECT_NE(before, after);
  work->Release();
  clean->Release();
}

TEST(SurfaceChanges, ARepeatedCopyRedoesOnlyWhatWasWrittenSinceAndNotesTheRowsItChanged) {
  // A keyed picture with a transparent column, copied to an offset place: the written parts of either side are
  // found at their own places on the other.
  Surface* picture = Filled(12, 10, 0x0A0A);
  Fill(picture, Rect{3, 0, 4, 10}, kBlue);
  ColorKey key{kBlue, kBlue};
  picture->SetColorKey(DDCKEY_SRCBLT, &key);
  Surface* screen = Filled(40, 30, 0x1111);
  const Rect at{20, 15, 32, 25};
  auto copy = [&] { ASSERT_EQ(DD_OK, screen->Blt(&at, picture, nullptr, DDBLT_KEYSRC | DDBLT_WAIT, nullptr)); };
  copy();

  // The picture changes in its rows 6-7 (screen rows 21-22); the screen is written over the picture's rows 2-3.
  Fill(picture, Rect{5, 6, 8, 8}, 0x2222);
  Fill(screen, Rect{0, 17, 40, 19}, 0x3333);
  const uint64_t before = screen->serial();
  copy();
  for (int y = 0; y < 30; ++y) {
    for (int x = 0; x < 40; ++x) {
      uint16_t want = y >= 17 && y < 19 ? 0x3333 : 0x1111;
      if (x >= 20 && x < 32 && y >= 15 && y < 25 && x != 23) want = (x >= 25 && x < 28 && y >= 21 && y < 23) ? 0x2222 : 0x0A0A;
      ASSERT_EQ(want, At(screen, x, y)) << "at " << x << ", " << y;
    }
  }
  // The rows the copy changed, and no others, are noted: the screen's rows 17-18 and 21-22.
  std::vector<Rect> areas;
  ASSERT_TRUE(screen->ChangesSince(before, &areas));
  ASSERT_EQ(1u, areas.size());
  EXPECT_EQ(17, areas[0].top);
  EXPECT_EQ(23, areas[0].bottom);
  EXPECT_EQ(20, areas[0].left);
  EXPECT_EQ(32, areas[0].right);

  // A fill repeated after a write into part of it fills that part again and notes just its rows.
  Fill(screen, Rect{0, 0, 10, 10}, 0x4444);
  Fill(screen, Rect{2, 4, 5, 6}, 0x5555);
  const uint64_t beforeFill = screen->serial();
  Fill(screen, Rect{0, 0, 10, 10}, 0x4444);
  EXPECT_EQ(0x4444, At(screen, 3, 5));
  ASSERT_TRUE(screen->ChangesSince(beforeFill, &areas));
  ASSERT_EQ(1u, areas.size());
  EXPECT_EQ(4, areas[0].top);
  EXPECT_EQ(6, areas[0].bottom);
  picture->Release();
  screen->Release();
}
