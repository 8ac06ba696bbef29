#include "platform/video/keyed_blit.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "platform/video/surface.h"
#include "pixel_rule.h"

using namespace platform;
using namespace pixel_rule;

namespace {

// Pixels where about a third are the key, some are its neighbours (0x001E, 0x0020), the rest anything.
uint16_t RandomPixel(std::mt19937& rng, uint16_t key) {
  const uint32_t r = rng() % 9;
  if (r < 3) return key;
  if (r == 3) return static_cast<uint16_t>(key - 1);
  if (r == 4) return static_cast<uint16_t>(key + 1);
  return static_cast<uint16_t>(rng());
}

Surface* RandomSurface(std::mt19937& rng, int w, int h, uint16_t key) {
  Surface* s = Surface::Create(w, h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) s->Row16(y)[x] = RandomPixel(rng, key);
  return s;
}

// Pictures as the game's art is: long opaque spans between short transparent gaps, so that copies go span by span.
Surface* SpannedSurface(std::mt19937& rng, int w, int h, uint16_t key) {
  Surface* s = Surface::Create(w, h);
  for (int y = 0; y < h; ++y) {
    int x = 0;
    while (x < w) {
      for (int gap = static_cast<int>(rng() % 6); gap > 0 && x < w; --gap) s->Row16(y)[x++] = key;
      for (int span = 12 + static_cast<int>(rng() % 30); span > 0 && x < w; --span) {
        uint16_t p = static_cast<uint16_t>(rng());
        if (p == key) ++p;
        s->Row16(y)[x++] = p;
      }
    }
  }
  return s;
}

}  // namespace

TEST(KeyedBlit, EveryRowKindMatchesThePixelRuleAtEveryWidthAndOffset) {
  std::mt19937 rng(12345);
  const struct {
    uint16_t low, high;
  } keys[] = {{kBlue, kBlue}, {0x0010, 0x0030}, {0x0000, 0x0000}, {0xFFFF, 0xFFFF}, {0x8000, 0xFFFF},
              {0x0030, 0x0010}};  // the last: low above high, nothing is transparent
  for (KeyedRowKind kind : SupportedKinds()) {
    for (const auto& key : keys) {
      for (int width = 1; width <= 64; ++width) {
        for (int offset = 0; offset < 4; ++offset) {  // odd addresses: rows that start off any alignment
          std::vector<uint16_t> in(width + 8), out(width + 8), want(width + 8);
          for (auto& p : in) p = RandomPixel(rng, key.low);
          for (auto& p : out) p = RandomPixel(rng, key.low);
          want = out;
          bool wantChanged = false;
          for (int i = 0; i < width; ++i) {
            const uint16_t w = key.low <= key.high ? Expected(in[offset + i], out[offset + i], key.low, key.high)
                                                   : in[offset + i];
            wantChanged |= w != out[offset + i];
            want[offset + i] = w;
          }
          const bool changed = KeyedRowWith(kind, in.data() + offset, out.data() + offset, width, key.low, key.high);
          ASSERT_EQ(want, out) << KeyedRowKindName(kind) << " width " << width << " offset " << offset << " key "
                               << key.low << "-" << key.high << " (pixels outside the row must stay too)";
          ASSERT_EQ(wantChanged, changed) << KeyedRowKindName(kind) << " width " << width;
        }
      }
    }
  }
  // A row copied again over its own result changes nothing, and says so.
  std::vector<uint16_t> in(40, 0x1234), out(40, 0x0000);
  in[5] = kBlue;
  EXPECT_TRUE(KeyedRow(in.data(), out.data(), 40, kBlue, kBlue));
  EXPECT_FALSE(KeyedRow(in.data(), out.data(), 40, kBlue, kBlue));
}

TEST(KeyedBlit, PlainCopiesStoreWhatDiffersAndSaySoAtEveryWidthAndOffset) {
  std::mt19937 rng(99);
  for (KeyedRowKind kind : SupportedKinds()) {
    for (int width = 1; width <= 80; ++width) {
      for (int offset = 0; offset < 4; ++offset) {
        std::vector<uint16_t> in(width + 8);
        for (auto& p : in) p = static_cast<uint16_t>(rng());
        // The same row, then one pixel different (anywhere, the last ones included).
        std::vector<uint16_t> out = in;
        EXPECT_FALSE(CopyRowIfChangedWith(kind, in.data() + offset, out.data() + offset, width));
        const int at = offset + static_cast<int>(rng() % width);
        out[at] ^= 0x0400;
        const std::vector<uint16_t> outside = out;
        ASSERT_TRUE(CopyRowIfChangedWith(kind, in.data() + offset, out.data() + offset, width))
            << KeyedRowKindName(kind) << " width " << width << " pixel " << at - offset;
        for (int i = 0; i < width + 8; ++i) {
          const bool inside = i >= offset && i < offset + width;
          ASSERT_EQ(inside ? in[i] : outside[i], out[i]) << KeyedRowKindName(kind) << " width " << width << " at " << i;
        }
      }
    }
  }
}

TEST(KeyedBlit, SurfaceCopiesMatchThePixelRuleWhileSpansAreBuiltAndThrownAway) {
  std::mt19937 rng(777);
  for (int width = 1; width <= 64; ++width) {
    const int height = 1 + width % 7;
    // Even widths get pictures copied span by span, odd ones pictures with spans too short for that.
    Surface* source = width % 2 ? RandomSurface(rng, width, height, kBlue) : SpannedSurface(rng, width, height, kBlue);
    ColorKey key{kBlue, kBlue};
    source->SetColorKey(DDCKEY_SRCBLT, &key);
    Surface* dest = RandomSurface(rng, 80, 12, kBlue);
    // Many copies from the same picture: after a few the opaque spans are used instead of the row select. Odd
    // places and parts of the picture, each onto a fresh destination.
    for (int round = 0; round < 40; ++round) {
      if (round == 20) {  // the picture changes: spans built for the old one must not be used
        SurfaceDesc desc;
        ASSERT_EQ(DD_OK, source->Lock(nullptr, &desc, DDLOCK_WAIT));
        auto* pixels = static_cast<uint16_t*>(desc.lpSurface);
        for (int y = 0; y < height; ++y)
          for (int x = 0; x < width; ++x) pixels[y * desc.lPitch / 2 + x] ^= 0x0101;
        source->Unlock(nullptr);
      }
      if (round == 30) {  // a wider key: what is transparent changes
        ColorKey wide{0x0010, 0x0030};
        source->SetColorKey(DDCKEY_SRCBLT, &wide);
        key = wide;
      }
      const int sx = static_cast<int>(rng() % width), sy = static_cast<int>(rng() % height);
      const int w = 1 + static_cast<int>(rng() % (width - sx)), h = 1 + static_cast<int>(rng() % (height - sy));
      const int dx = static_cast<int>(rng() % (80 - w + 1)), dy = static_cast<int>(rng() % (12 - h + 1));
      for (int y = 0; y < 12; ++y)
        for (int x = 0; x < 80; ++x) dest->Row16(y)[x] = RandomPixel(rng, kBlue);
      std::vector<uint16_t> before(80 * 12);
      for (int y = 0; y < 12; ++y)
        for (int x = 0; x < 80; ++x) before[y * 80 + x] = dest->Row16(y)[x];
      Rect from{sx, sy, sx + w, sy + h}, to{dx, dy, dx + w, dy + h};
      ASSERT_EQ(DD_OK, dest->Blt(&to, source, &from, DDBLT_KEYSRC | DDBLT_WAIT, nullptr));
      // Read through a constant pointer: writable access would count as a change of the picture.
      const Surface* picture = source;
      for (int y = 0; y < 12; ++y) {
        for (int x = 0; x < 80; ++x) {
          uint16_t want = before[y * 80 + x];
          if (x >= dx && x < dx + w && y >= dy && y < dy + h) {
            want = Expected(picture->Row16(sy + y - dy)[sx + x - dx], want, static_cast<uint16_t>(key.dwColorSpaceLowValue),
                            static_cast<uint16_t>(key.dwColorSpaceHighValue));
          }
          ASSERT_EQ(want, dest->Row16(y)[x]) << "picture width " << width << " round " << round << " at " << x << ","
                                             << y;
        }
      }
    }
    source->Release();
    dest->Release();
  }
}

TEST(KeyedBlit, OpaqueSpansCoverExactlyThePixelsOutsideTheKey) {
  // Rows: all key, no key, key at both ends, alternating.
  const uint16_t k = kBlue, p = 0x7777;
  const std::vector<uint16_t> pixels = {k, k, k, k, k, k,  //
                                        p, p, p, p, p, p,  //
                                        k, p, p, p, p, k,  //
                                        p, k, p, k, p, k};
  OpaqueRuns runs;
  ASSERT_TRUE(runs.Build(pixels.data(), 6, 6, 4, k, k));
  EXPECT_EQ(5u, runs.RunCount()) << "none, one, one, three";
  EXPECT_DOUBLE_EQ(13.0 / 5.0, runs.MeanRunLength());
  EXPECT_DOUBLE_EQ(13.0 / 5.0, OpaqueRuns::MeanRunLength(pixels.data(), 6, 6, 4, k, k));
  // Copy the part x 1..4, rows 1..3 onto a blank: the part's spans only, clipped at both sides.
  std::vector<uint16_t> out(4 * 3, 0);
  EXPECT_TRUE(runs.Copy(1, 1, 4, 3, out.data(), 4));
  const std::vector<uint16_t> want = {p, p, p, p,  //
                                      p, p, p, p,  //
                                      0, p, 0, p};
  EXPECT_EQ(want, out);
  EXPECT_FALSE(runs.Copy(1, 1, 4, 3, out.data(), 4)) << "the same copy again changes nothing";
  // One pixel of the part's last row spoilt: that row alone is reported.
  out[2 * 4 + 1] = 0;
  int first = -1, last = -1;
  EXPECT_TRUE(runs.Copy(1, 1, 4, 3, out.data(), 4, &first, &last));
  EXPECT_EQ(2, first);
  EXPECT_EQ(2, last);
  EXPECT_EQ(want, out);
}

TEST(KeyedBlit, OpaqueSpansOfEveryLengthCopyByThePixelRuleAndReportTheRowsTheyChanged) {
  std::mt19937 rng(4242);
  for (KeyedRowKind kind : SupportedKinds()) {
    for (int round = 0; round < 300; ++round) {
      // A picture of spans 1 to 200 long between gaps of 0 to 5, in rows padded to odd pitches; two rounds in ten
      // tall enough for hundreds of spans, which are copied in batches.
      const int width = 1 + static_cast<int>(rng() % 230);
      const int height = round % 10 >= 8 ? 260 + static_cast<int>(rng() % 300) : 1 + static_cast<int>(rng() % 9);
      const int pitch = width + 1 + static_cast<int>(rng() % 4);
      std::vector<uint16_t> picture(static_cast<size_t>(pitch) * height, kBlue);
      for (int y = 0; y < height; ++y) {
        int x = static_cast<int>(rng() % 6);
        while (x < width) {
          for (int span = 1 + static_cast<int>(rng() % 200); span > 0 && x < width; --span) {
            uint16_t p = static_cast<uint16_t>(rng());
            picture[static_cast<size_t>(y) * pitch + x++] = p == kBlue ? 0 : p;
          }
          x += static_cast<int>(rng() % 6);
        }
      }
      OpaqueRuns runs;
      ASSERT_TRUE(runs.Build(picture.data(), pitch, width, height, kBlue, kBlue));
      // Half the rounds copy the whole picture, the rest a part cut on any side.
      int sx = 0, sy = 0, w = width, h = height;
      if (round % 2) {
        sx = static_cast<int>(rng() % width), sy = static_cast<int>(rng() % height);
        w = 1 + static_cast<int>(rng() % (width - sx)), h = 1 + static_cast<int>(rng() % (height - sy));
      }
      // The destination starts at an odd pixel of rows with a margin on both sides; some rows already hold what
      // the copy gives, so they must not be reported.
      const int outPitch = w + 7, at = 3;
      std::vector<uint16_t> out(static_cast<size_t>(outPitch) * (h + 1));
      for (auto& p : out) p = RandomPixel(rng, kBlue);
      std::vector<uint16_t> want = out;
      int wantFirst = -1, wantLast = -1;
      for (int y = 0; y < h; ++y) {
        bool done = rng() % 3 == 0;
        bool changed = false;
        for (int x = 0; x < w; ++x) {
          uint16_t& d = want[static_cast<size_t>(y) * outPitch + at + x];
          const uint16_t result = Expected(picture[static_cast<size_t>(sy + y) * pitch + sx + x], d, kBlue, kBlue);
          if (done) out[static_cast<size_t>(y) * outPitch + at + x] = result;
          changed |= !done && result != d;
          d = result;
        }
        if (changed) {
          if (wantFirst < 0) wantFirst = y;
          wantLast = y;
        }
      }
      int first = -2, last = -2;
      const bool changed =
          runs.CopyWith(kind, sx, sy, w, h, out.data() + at, outPitch, &first, &last);
      ASSERT_EQ(want, out) << KeyedRowKindName(kind) << " round " << round << " picture " << width << "x" << height
                           << " part " << sx << "," << sy << " " << w << "x" << h;
      ASSERT_EQ(wantFirst >= 0, changed) << KeyedRowKindName(kind) << " round " << round;
      if (changed) {
        EXPECT_EQ(wantFirst, first) << KeyedRowKindName(kind) << " round " << round;
        EXPECT_EQ(wantLast, last) << KeyedRowKindName(kind) << " round " << round;
      }
      ASSERT_FALSE(runs.CopyWith(kind, sx, sy, w, h, out.data() + at, outPitch))
          << "copied again over its own result: " << KeyedRowKindName(kind) << " round " << round;
    }
  }
}
