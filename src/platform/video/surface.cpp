#include "platform/video/surface.h"

#include <algorithm>
#include <atomic>
#include <cassert>
#include <cstring>
#include <utility>

#include "platform/video/keyed_blit.h"
#include "platform/video/keyed_blocks.h"

namespace platform {

namespace {
std::atomic<int> g_liveSurfaces{0};
std::atomic<uint64_t> g_nextSurfaceId{1};
// A keyed picture of this many bytes or more is copied from shared blocks (see PlanFor).
constexpr uint64_t kBlocksFromBytes = 64 * 1024;

// What decides a copy's result besides its rectangles, packed so that a memo's field is written by one store and
// read by one load: reading several small fields that were just written one by one waits for them to land.
uint64_t PackMode(uint32_t flags, uint32_t fill) { return static_cast<uint64_t>(flags) << 32 | fill; }
uint64_t PackKey(uint16_t low, uint16_t high) {
  return uint64_t{1} << 32 | static_cast<uint64_t>(high) << 16 | low;  // the top bit: keyed at all
}

bool SameRect(const Rect& a, const Rect& b) {
  return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}
}  // namespace

bool RectsOverlap(const Rect& a, const Rect& b) {
  return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
}

PixelFormat MakePixelFormat(PixelLayout layout) {
  PixelFormat f;
  switch (layout) {
    case PixelLayout::Rgb565:
      f.dwRGBBitCount = 16, f.dwRBitMask = 0xF800, f.dwGBitMask = 0x07E0, f.dwBBitMask = 0x001F;
      break;
    case PixelLayout::Rgb555:
      f.dwRGBBitCount = 16, f.dwRBitMask = 0x7C00, f.dwGBitMask = 0x03E0, f.dwBBitMask = 0x001F;
      break;
    case PixelLayout::Indexed8:
      f.dwRGBBitCount = 8;
      break;
  }
  return f;
}

Surface* Surface::Create(int width, int height, PixelLayout layout) {
  // The game never needs more than a few screens' worth; refusing absurd sizes keeps a broken file from
  // asking for gigabytes.
  if (width <= 0 || height <= 0 || width > 16384 || height > 16384) return nullptr;
  return new Surface(width, height, layout);
}

Surface::Surface(int width, int height, PixelLayout layout)
    : width_(width), height_(height), layout_(layout), id_(g_nextSurfaceId.fetch_add(1)) {
  int bytesPerPixel = layout == PixelLayout::Indexed8 ? 1 : 2;
  pitch_ = (width * bytesPerPixel + 3) & ~3;  // rows aligned to 4 bytes, as display memory usually is
  pixels_.assign(static_cast<size_t>(pitch_) * height, 0);
  g_liveSurfaces.fetch_add(1);
}

Surface::~Surface() { g_liveSurfaces.fetch_sub(1); }

int Surface::LiveCount() { return g_liveSurfaces.load(); }

uint32_t Surface::AddRef() { return ++refs_; }

uint32_t Surface::Release() {
  assert(refs_ > 0);
  uint32_t left = --refs_;
  if (left == 0) delete this;
  return left;
}

bool Surface::Contains(const Rect& r) const {
  return r.left >= 0 && r.top >= 0 && r.right <= width_ && r.bottom <= height_ && r.left < r.right &&
         r.top < r.bottom;
}

bool Surface::ChangedSince(uint64_t serial, const Rect& area) const {
  if (serial >= serial_) return false;
  if (serial < wholeWriteSerial_ || serial_ - serial > kWriteLog) return true;
  for (uint64_t n = serial + 1; n <= serial_; ++n) {
    if (RectsOverlap(writes_[n % kWriteLog], area)) return true;
  }
  return false;
}

bool Surface::ChangesSince(uint64_t serial, std::vector<Rect>* areas) const {
  areas->clear();
  if (serial > serial_) return false;  // a serial this surface never had
  if (serial < wholeWriteSerial_ || serial_ - serial > kWriteLog) return false;
  for (uint64_t n = serial + 1; n <= serial_; ++n) areas->push_back(writes_[n % kWriteLog]);
  return true;
}

void Surface::NoteWrite(const Rect& area) {
  ++serial_;
  writes_[serial_ % kWriteLog] = area;
}

void Surface::NoteWholeWrite() {
  ++serial_;
  writes_[serial_ % kWriteLog] = Rect{0, 0, width_, height_};
  wholeWriteSerial_ = serial_;
}

bool Surface::AddWritesSince(uint64_t serial, const Rect& area, int dx, int dy, Rect* box) const {
  if (serial > serial_ || serial < wholeWriteSerial_ || serial_ - serial > kWriteLog) return false;
  for (uint64_t n = serial + 1; n <= serial_; ++n) {
    const Rect& w = writes_[n % kWriteLog];
    const Rect part{std::max(w.left, area.left) + dx, std::max(w.top, area.top) + dy,
                    std::min(w.right, area.right) + dx, std::min(w.bottom, area.bottom) + dy};
    if (part.left >= part.right || part.top >= part.bottom) continue;
    if (box->left >= box->right) {
      *box = part;
      continue;
    }
    box->left = std::min(box->left, part.left), box->top = std::min(box->top, part.top);
    box->right = std::max(box->right, part.right), box->bottom = std::max(box->bottom, part.bottom);
  }
  return true;
}

Surface::BlitMemo* Surface::FindMemo(const BlitMemo& wanted) {
  auto matches = [&wanted](const BlitMemo& m) {
    return m.sourceId == wanted.sourceId && m.destSerial != 0 && SameRect(m.dest, wanted.dest) &&
           SameRect(m.source, wanted.source) && m.mode == wanted.mode && m.key == wanted.key;
  };
  // A frame repeats its copies in the same order, so the memo after the last one found is usually the one wanted.
  // Memos never repeat a key, so trying it first finds the same memo the scan would.
  BlitMemo& guess = memos_[(lastFound_ + 1) % kMemos];
  if (matches(guess)) {
    lastFound_ = static_cast<size_t>(&guess - memos_.data());
    return &guess;
  }
  for (BlitMemo& m : memos_) {
    if (matches(m)) {
      lastFound_ = static_cast<size_t>(&m - memos_.data());
      return &m;
    }
  }
  return nullptr;
}

void Surface::Remember(const BlitMemo& done, BlitMemo* found) {
  BlitMemo& to = found ? *found : memos_[nextMemo_];
  if (!found) {
    lastFound_ = nextMemo_;
    nextMemo_ = (nextMemo_ + 1) % kMemos;
  }
  // Field by field: a whole-struct copy of this size is compiled to a string move, whose start-up cost was a
  // fifth of a small blit's time.
  to.sourceId = done.sourceId;
  to.source = done.source;
  to.dest = done.dest;
  to.mode = done.mode;
  to.key = done.key;
  to.sourceSerial = done.sourceSerial;
  to.destSerial = done.destSerial;
}

Surface::KeyedPlan Surface::PlanFor(uint16_t keyLow, uint16_t keyHigh) {
  // Neither set on a current plan: the picture copies best with the row select.
  if (planSerial_ == serial_ && planKeyLow_ == keyLow && planKeyHigh_ == keyHigh)
    return {hasRuns_ ? &runs_ : nullptr, blocks_.get()};
  // A plan for pixels that are gone gives its shared blocks back at once.
  blocks_.reset();
  if (hasRuns_) runs_.Clear();
  hasRuns_ = false;
  if (usesSerial_ != serial_) {
    usesSerial_ = serial_;
    usesSinceChange_ = 0;
  }
  // Building reads the whole picture, so it waits until the picture has proved stable: longer for large ones.
  const uint64_t area = static_cast<uint64_t>(width_) * static_cast<uint64_t>(height_);
  if (++usesSinceChange_ < 3 + area / 8192) return {};
  planSerial_ = serial_, planKeyLow_ = keyLow, planKeyHigh_ = keyHigh;
  // A picture larger than the first-level cache is read from farther away; as blocks on a grid there is less of it
  // to read (animation frames repeat each other). A smaller one is read fastest span by span, unless its spans are
  // so short that the row select is faster. When the shared store is full, the row select too.
  if (area * 2 >= kBlocksFromBytes) {
    blocks_ = std::make_unique<KeyedBlocks>();
    if (!blocks_->Build(RawRow16(0), pitch_ / 2, width_, height_, keyLow, keyHigh)) blocks_.reset();
  } else if (OpaqueRuns::MeanRunLength(RawRow16(0), pitch_ / 2, width_, height_, keyLow, keyHigh) >= 12.0) {
    hasRuns_ = runs_.Build(RawRow16(0), pitch_ / 2, width_, height_, keyLow, keyHigh);
  }
  return {hasRuns_ ? &runs_ : nullptr, blocks_.get()};
}

int32_t Surface::Blt(const Rect* destRect, Surface* source, const Rect* sourceRect, uint32_t flags,
                     const BltFx* fx) {
  if (locked_ || (source && source->locked_)) return DDERR_SURFACEBUSY;
  Rect dst = destRect ? *destRect : Rect{0, 0, width_, height_};
  if (!Contains(dst)) return DDERR_INVALIDRECT;

  BlitMemo memo;
  memo.sourceId = 0;
  memo.source = Rect{};
  memo.dest = dst;
  memo.mode = PackMode(flags, 0);
  memo.key = 0;
  memo.sourceSerial = memo.destSerial = 0;

  if (flags & DDBLT_COLORFILL) {
    if (!fx || fx->dwSize != kBltFxSize) return DDERR_INVALIDPARAMS;
    memo.mode = PackMode(flags, fx->dwFillColor);
    // A fill made before holds wherever nothing was written since: only the written part is filled again.
    Rect part = dst;
    BlitMemo* const m = FindMemo(memo);
    if (m) {
      Rect box{};
      if (AddWritesSince(m->destSerial, dst, 0, 0, &box)) {
        if (box.left >= box.right) return DD_OK;
        part = box;
      }
    }
    int firstRow = -1, lastRow = -1;
    for (int y = part.top; y < part.bottom; ++y) {
      bool changed = false;
      if (bitsPerPixel() == 8) {
        uint8_t* row = pixels_.data() + static_cast<size_t>(y) * pitch_ + part.left;
        const uint8_t value = static_cast<uint8_t>(fx->dwFillColor & 0xFF);
        for (int x = 0; x < part.Width(); ++x) changed |= std::exchange(row[x], value) != value;
      } else {
        uint16_t* row = RawRow16(y) + part.left;
        const uint16_t value = static_cast<uint16_t>(fx->dwFillColor);
        for (int x = 0; x < part.Width(); ++x) changed |= std::exchange(row[x], value) != value;
      }
      if (changed) {
        if (firstRow < 0) firstRow = y;
        lastRow = y;
      }
    }
    // A write is numbered by the rows it changed; one that changed no pixel is not numbered, so copies that
    // overlap it stay known to be unchanged.
    if (firstRow >= 0) NoteWrite(Rect{part.left, firstRow, part.right, lastRow + 1});
    memo.destSerial = serial_;
    Remember(memo, m);
    return DD_OK;
  }

  if (!source) return DDERR_INVALIDPARAMS;
  Rect src = sourceRect ? *sourceRect : Rect{0, 0, source->width_, source->height_};
  if (!source->Contains(src)) return DDERR_INVALIDRECT;
  // Every surface of the game shares the display's 16-bit format; mixing depths is a programming error.
  assert(source->bitsPerPixel() == 16 && bitsPerPixel() == 16);
  if (source->bitsPerPixel() != 16 || bitsPerPixel() != 16) return DDERR_INVALIDPARAMS;

  const bool keyed = (flags & DDBLT_KEYSRC) && source->hasSourceKey_;
  const uint16_t keyLow = static_cast<uint16_t>(source->sourceKey_.dwColorSpaceLowValue);
  const uint16_t keyHigh = static_cast<uint16_t>(source->sourceKey_.dwColorSpaceHighValue);

  const bool self = source == this;
  const bool scaled = dst.Width() != src.Width() || dst.Height() != src.Height();
  Rect part = dst;  // the part of the destination copied now
  BlitMemo* found = nullptr;
  if (!self) {
    memo.sourceId = source->id_;
    memo.source = src;
    memo.key = keyed ? PackKey(keyLow, keyHigh) : 0;
    found = FindMemo(memo);
    if (found) {
      // Since the same copy was made, a pixel can differ from what it would give again only where the destination
      // or the source was written: a copy is its own repeat everywhere else, keyed or not.
      Rect box{};
      if (AddWritesSince(found->destSerial, dst, 0, 0, &box) &&
          source->AddWritesSince(found->sourceSerial, src, dst.left - src.left, dst.top - src.top, &box)) {
        if (box.left >= box.right) return DD_OK;
        if (!scaled) part = box;
      }
    }
  }
  const int offsetX = src.left - dst.left, offsetY = src.top - dst.top;  // unscaled: source = destination + offset

  // A blit within one surface may overlap; read from a snapshot so the result is as if copied at once. (Held by
  // pointer: an empty vector here cost every other copy a string store and a destructor.)
  std::unique_ptr<PixelBuffer> snapshot;
  if (self) snapshot = std::make_unique<PixelBuffer>(pixels_);
  const uint8_t* const sourcePixels = self ? snapshot->data() : source->pixels_.data();
  const int sourcePitch = source->pitch_;
  auto srcRow = [sourcePixels, sourcePitch](int y) {
    return reinterpret_cast<const uint16_t*>(sourcePixels + static_cast<size_t>(y) * sourcePitch);
  };

  const int dw = dst.Width(), dh = dst.Height(), sw = src.Width(), sh = src.Height();
  int firstRow = -1, lastRow = -1;  // of the destination, changed
  auto noteRow = [&](int y) {
    if (firstRow < 0) firstRow = y;
    lastRow = y;
  };
  if (!scaled) {
    const int pw = part.Width(), ph = part.Height();
    KeyedPlan plan;
    if (keyed && !self && keyLow <= keyHigh) {
      plan = source->PlanFor(keyLow, keyHigh);
    }
    if (plan.runs || plan.blocks) {
      int first = 0, last = 0;
      const int sx = part.left + offsetX, sy = part.top + offsetY;
      uint16_t* const out = RawRow16(part.top) + part.left;
      if (plan.blocks ? plan.blocks->Copy(sx, sy, pw, ph, out, pitch_ / 2, &first, &last)
                      : plan.runs->Copy(sx, sy, pw, ph, out, pitch_ / 2, &first, &last)) {
        noteRow(part.top + first);
        noteRow(part.top + last);
      }
    } else {
      for (int y = part.top; y < part.bottom; ++y) {
        const uint16_t* in = srcRow(y + offsetY) + part.left + offsetX;
        uint16_t* out = RawRow16(y) + part.left;
        if (keyed ? KeyedRow(in, out, pw, keyLow, keyHigh) : CopyRowIfChanged(in, out, pw)) noteRow(y);
      }
    }
  } else {
    for (int dy = 0; dy < dh; ++dy) {
      int sy = src.top + (sh == dh ? dy : static_cast<int>(static_cast<int64_t>(dy) * sh / dh));
      const uint16_t* in = srcRow(sy);
      uint16_t* out = RawRow16(dst.top + dy);
      bool changed = false;
      for (int dx = 0; dx < dw; ++dx) {
        int sx = src.left + (sw == dw ? dx : static_cast<int>(static_cast<int64_t>(dx) * sw / dw));
        uint16_t p = in[sx];
        if (keyed && p >= keyLow && p <= keyHigh) continue;
        changed |= std::exchange(out[dst.left + dx], p) != p;
      }
      if (changed) noteRow(dst.top + dy);
    }
  }
  if (firstRow >= 0) NoteWrite(Rect{part.left, firstRow, part.right, lastRow + 1});
  if (!self) {
    memo.sourceSerial = source->serial_;
    memo.destSerial = serial_;
    Remember(memo, found);
  }
  return DD_OK;
}

int32_t Surface::Lock(const Rect* area, SurfaceDesc* desc, uint32_t /*flags*/) {
  assert(area == nullptr);  // the game only ever locks whole surfaces
  if (area) return DDERR_INVALIDPARAMS;
  if (!desc || desc->dwSize != kSurfaceDescSize) return DDERR_INVALIDPARAMS;
  if (locked_) return DDERR_SURFACEBUSY;
  GetSurfaceDesc(desc);
  desc->lpSurface = pixels_.data();
  locked_ = true;
  NoteWholeWrite();  // the caller may write anywhere
  return DD_OK;
}

int32_t Surface::Unlock(const Rect* /*area*/) {
  if (!locked_) return DDERR_NOTLOCKED;
  locked_ = false;
  NoteWholeWrite();
  return DD_OK;
}

int32_t Surface::GetSurfaceDesc(SurfaceDesc* desc) const {
  if (!desc || desc->dwSize != kSurfaceDescSize) return DDERR_INVALIDPARAMS;
  desc->dwWidth = static_cast<uint32_t>(width_);
  desc->dwHeight = static_cast<uint32_t>(height_);
  desc->lPitch = pitch_;
  desc->lpSurface = locked_ ? const_cast<uint8_t*>(pixels_.data()) : nullptr;
  desc->ddpfPixelFormat = MakePixelFormat(layout_);
  return DD_OK;
}

int32_t Surface::SetColorKey(uint32_t flags, const ColorKey* key) {
  assert(flags == DDCKEY_SRCBLT);
  if (flags != DDCKEY_SRCBLT) return DDERR_INVALIDPARAMS;
  // A new key changes what every copy from this surface gives.
  NoteWholeWrite();
  if (!key) {
    hasSourceKey_ = false;
    return DD_OK;
  }
  sourceKey_ = *key;
  hasSourceKey_ = true;
  return DD_OK;
}

int32_t Surface::GetColorKey(uint32_t flags, ColorKey* key) const {
  if (flags != DDCKEY_SRCBLT || !key) return DDERR_INVALIDPARAMS;
  if (!hasSourceKey_) return DDERR_NOCOLORKEY;
  *key = sourceKey_;
  return DD_OK;
}

}  // namespace platform
