#include "platform/video/keyed_blocks.h"

#include <gtest/gtest.h>

#include <memory>
#include <random>
#include <thread>
#include <vector>

#include "platform/video/block_store.h"
#include "platform/video/surface.h"
#include "pixel_rule.h"

using namespace platform;
using namespace pixel_rule;

namespace {

// A picture with what the art has and the block list must get right: rows all key, key margins of any width on
// both sides, whole 32-pixel stretches of key between opaque ones, isolated pixels, and colours next to the key.
std::vector<uint16_t> RandomPicture(std::mt19937& rng, int width, int height, int pitch, uint16_t low, uint16_t high) {
  std::vector<uint16_t> picture(static_cast<size_t>(pitch) * height, 0xBEEF);  // padding that must never be read
  for (int y = 0; y < height; ++y) {
    uint16_t* row = picture.data() + static_cast<size_t>(y) * pitch;
    const int style = static_cast<int>(rng() % 5);
    for (int x = 0; x < width; ++x) {
      bool key;
      switch (style) {
        case 0: key = true; break;                                       // nothing opaque
        case 1: key = rng() % 3 == 0; break;                             // speckled
        case 2: key = (x / 32) % 2 == 1; break;                          // a key block between opaque ones
        case 3: key = x < width / 3 || x >= width - width / 4; break;    // margins
        default: key = x != static_cast<int>(rng() % width); break;      // about one pixel
      }
      uint16_t p = key ? static_cast<uint16_t>(low + rng() % (high - low + 1)) : static_cast<uint16_t>(rng());
      if (!key && p >= low && p <= high) p = rng() % 2 ? static_cast<uint16_t>(high + 1) : static_cast<uint16_t>(low - 1);
      row[x] = p;
    }
  }
  return picture;
}

}  // namespace

TEST(KeyedBlocks, EveryKindCopiesWholeAndClippedPartsByThePixelRuleAndReportsTheRowsItChanged) {
  std::mt19937 rng(2026);
  const struct {
    uint16_t low, high;
  } keys[] = {{kBlue, kBlue}, {0x0010, 0x0030}};
  for (KeyedRowKind kind : SupportedKinds()) {
    for (int round = 0; round < 160; ++round) {
      const auto key = keys[round % 2];
      // Widths around the block size and its multiples, and wide ones.
      const int width = round < 64 ? 1 + round : 1 + static_cast<int>(rng() % 300);
      const int height = 1 + static_cast<int>(rng() % 12);
      const int pitch = width + static_cast<int>(rng() % 5);
      const std::vector<uint16_t> picture = RandomPicture(rng, width, height, pitch, key.low, key.high);
      KeyedBlocks blocks;
      ASSERT_TRUE(blocks.Build(picture.data(), pitch, width, height, key.low, key.high));
      int sx = 0, sy = 0, w = width, h = height;
      if (round % 3) {  // two rounds in three a part cut on any side
        sx = static_cast<int>(rng() % width), sy = static_cast<int>(rng() % height);
        w = 1 + static_cast<int>(rng() % (width - sx)), h = 1 + static_cast<int>(rng() % (height - sy));
      }
      // The part lands at an odd place with a margin all round: a copy that touches a pixel beyond it shows there.
      const int outPitch = w + 9, at = 5;
      std::vector<uint16_t> out(static_cast<size_t>(outPitch) * (h + 1) + at);
      for (auto& p : out) p = static_cast<uint16_t>(rng());
      std::vector<uint16_t> want = out;
      int wantFirst = -1, wantLast = -1;
      for (int y = 0; y < h; ++y) {
        const bool already = rng() % 4 == 0;  // rows that already hold the result are not reported
        bool changed = false;
        for (int x = 0; x < w; ++x) {
          const size_t i = static_cast<size_t>(y + 1) * outPitch + at + x;
          const uint16_t result = Expected(picture[static_cast<size_t>(sy + y) * pitch + sx + x], want[i], key.low,
                                           key.high);
          if (already) out[i] = result;
          changed |= !already && result != want[i];
          want[i] = result;
        }
        if (changed) {
          if (wantFirst < 0) wantFirst = y;
          wantLast = y;
        }
      }
      int first = -2, last = -2;
      const bool changed = blocks.CopyWith(kind, sx, sy, w, h, out.data() + outPitch + at, outPitch, &first, &last);
      ASSERT_EQ(want, out) << KeyedRowKindName(kind) << " round " << round << " picture " << width << "x" << height
                           << " part " << sx << "," << sy << " " << w << "x" << h;
      ASSERT_EQ(wantFirst >= 0, changed) << KeyedRowKindName(kind) << " round " << round;
      if (changed) {
        EXPECT_EQ(wantFirst, first) << KeyedRowKindName(kind) << " round " << round;
        EXPECT_EQ(wantLast, last) << KeyedRowKindName(kind) << " round " << round;
      }
      ASSERT_FALSE(blocks.CopyWith(kind, sx, sy, w, h, out.data() + outPitch + at, outPitch))
          << "copied again over its own result: " << KeyedRowKindName(kind) << " round " << round;
    }
  }
}

TEST(KeyedBlocks, FramesThatRepeatEachOtherShareTheirBlocksUntilTheLastOneGoes) {
  BlockStore& store = BlockStore::Shared();
  const size_t before = store.HeldCount();
  // 96 x 2: row 0 is three distinct opaque blocks, row 1 key, then one block equal to row 0's first.
  std::vector<uint16_t> frame(96 * 2, kBlue);
  for (int x = 0; x < 96; ++x) frame[x] = static_cast<uint16_t>(0x4000 + x);
  for (int x = 64; x < 96; ++x) frame[96 + x] = static_cast<uint16_t>(0x4000 + x - 64);
  auto first = std::make_unique<KeyedBlocks>();
  ASSERT_TRUE(first->Build(frame.data(), 96, 96, 2, kBlue, kBlue));
  EXPECT_EQ(before + 3, store.HeldCount()) << "three distinct blocks; the repeated one and the key are not held";
  EXPECT_EQ(4u, first->BlockCount()) << "row 0's three, row 1's one: the key before it is not listed";
  // A second frame, equal but for one pixel: one more block.
  std::vector<uint16_t> second = frame;
  second[40] ^= 0x0100;
  auto other = std::make_unique<KeyedBlocks>();
  ASSERT_TRUE(other->Build(second.data(), 96, 96, 2, kBlue, kBlue));
  EXPECT_EQ(before + 4, store.HeldCount());
  first.reset();
  EXPECT_EQ(before + 3, store.HeldCount()) << "the first frame's own block goes with it; the shared ones stay";
  // The freed place is used again, and what is read there is the new block, not the one freed.
  std::vector<uint16_t> third(32, 0x1234);
  KeyedBlocks fresh;
  ASSERT_TRUE(fresh.Build(third.data(), 32, 32, 1, kBlue, kBlue));
  std::vector<uint16_t> out(32, 0);
  EXPECT_TRUE(fresh.Copy(0, 0, 32, 1, out.data(), 32));
  EXPECT_EQ(third, out);
  std::vector<uint16_t> out2(96 * 2, 0);
  other->Copy(0, 0, 96, 2, out2.data(), 96);
  for (int i = 0; i < 96 * 2; ++i) ASSERT_EQ(second[i] == kBlue ? 0 : second[i], out2[i]) << "pixel " << i;
  other.reset();
  EXPECT_EQ(before + 1, store.HeldCount());
}

TEST(KeyedBlocks, ALargeSurfaceCopiesRightBeforeAndAfterItsBlocksAreBuiltAndAfterItChanges) {
  std::mt19937 rng(31);
  const size_t before = BlockStore::Shared().HeldCount();
  const int width = 230, height = 150;  // 69 KB: large enough to be copied from blocks
  const std::vector<uint16_t> pixels = RandomPicture(rng, width, height, width, kBlue, kBlue);
  Surface* source = Surface::Create(width, height);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) source->Row16(y)[x] = pixels[static_cast<size_t>(y) * width + x];
  ColorKey key{kBlue, kBlue};
  source->SetColorKey(DDCKEY_SRCBLT, &key);
  Surface* dest = Surface::Create(300, 200);
  auto check = [&](const char* when, int round) {
    const Surface* picture = source;
    const Surface* d = dest;
    for (int y = 0; y < 200; ++y) {
      for (int x = 0; x < 300; ++x) {
        uint16_t want = static_cast<uint16_t>(x * 7 + y);
        if (x >= 11 && x < 11 + width && y >= 13 && y < 13 + height)
          want = Expected(picture->Row16(y - 13)[x - 11], want, kBlue, kBlue);
        ASSERT_EQ(want, d->Row16(y)[x]) << when << " round " << round << " at " << x << "," << y;
      }
    }
  };
  bool held = false;
  for (int round = 0; round < 60; ++round) {
    if (round == 40) {  // the picture changes: blocks taken from the old pixels must not be used
      SurfaceDesc desc;
      ASSERT_EQ(DD_OK, source->Lock(nullptr, &desc, DDLOCK_WAIT));
      auto* p = static_cast<uint16_t*>(desc.lpSurface);
      for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
          if (p[y * desc.lPitch / 2 + x] != kBlue) p[y * desc.lPitch / 2 + x] ^= 0x0840;
      source->Unlock(nullptr);
    }
    for (int y = 0; y < 200; ++y)
      for (int x = 0; x < 300; ++x) dest->Row16(y)[x] = static_cast<uint16_t>(x * 7 + y);
    Rect to{11, 13, 11 + width, 13 + height};
    ASSERT_EQ(DD_OK, dest->Blt(&to, source, nullptr, DDBLT_KEYSRC | DDBLT_WAIT, nullptr));
    check(round < 40 ? "before the change" : "after the change", round);
    if (round == 39) held = BlockStore::Shared().HeldCount() > before;
    if (round == 40) {
      EXPECT_EQ(before, BlockStore::Shared().HeldCount()) << "blocks of pixels that are gone are given back";
    }
  }
  EXPECT_TRUE(held) << "a large picture copied often is copied from blocks";
  EXPECT_GT(BlockStore::Shared().HeldCount(), before) << "and again once its new pixels proved stable";
  source->Release();
  dest->Release();
  EXPECT_EQ(before, BlockStore::Shared().HeldCount()) << "a released picture holds nothing";
}

TEST(KeyedBlocks, PicturesOnTwoThreadsShareTheStoreSafely) {
  // The store is one for the process; pictures may be built, copied and released on any thread. Both threads hold
  // the same pictures, so they take and give back the same blocks at once; each checks what its copies give.
  const size_t before = BlockStore::Shared().HeldCount();
  auto work = [](unsigned seed, bool* ok) {
    std::mt19937 rng(seed);
    for (int round = 0; round < 40; ++round) {
      std::mt19937 shared(static_cast<unsigned>(round));  // the same picture on both threads
      const int width = 40 + round, height = 6;
      const std::vector<uint16_t> picture = RandomPicture(shared, width, height, width, kBlue, kBlue);
      KeyedBlocks blocks;
      OpaqueRuns runs;
      if (!blocks.Build(picture.data(), width, width, height, kBlue, kBlue) ||
          !runs.Build(picture.data(), width, width, height, kBlue, kBlue)) {
        *ok = false;
        return;
      }
      std::vector<uint16_t> a(picture.size()), b(picture.size());
      for (auto& p : a) p = static_cast<uint16_t>(rng());
      b = a;
      std::vector<uint16_t> want = a;
      for (size_t i = 0; i < want.size(); ++i) want[i] = Expected(picture[i], want[i], kBlue, kBlue);
      blocks.Copy(0, 0, width, height, a.data(), width);
      runs.Copy(0, 0, width, height, b.data(), width);
      if (a != want || b != want) *ok = false;
    }
  };
  bool ok1 = true, ok2 = true;
  std::thread one(work, 1u, &ok1), two(work, 2u, &ok2);
  one.join();
  two.join();
  EXPECT_TRUE(ok1);
  EXPECT_TRUE(ok2);
  EXPECT_EQ(before, BlockStore::Shared().HeldCount()) << "every block given back";
}
