#pragma once
// Off-screen pixel surfaces with the blit, lock and colour-key behaviour the game's drawing relies on.
#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <new>
#include <vector>

#include "platform/video/keyed_blit.h"

namespace platform {

// Result codes, kept at the values the game's code compares against.
constexpr int32_t DD_OK = 0;
constexpr int32_t DDERR_INVALIDRECT = static_cast<int32_t>(0x88760096u);
constexpr int32_t DDERR_INVALIDPARAMS = static_cast<int32_t>(0x80070057u);
constexpr int32_t DDERR_SURFACEBUSY = static_cast<int32_t>(0x887601CCu);
constexpr int32_t DDERR_NOTLOCKED = static_cast<int32_t>(0x887601E6u);
constexpr int32_t DDERR_NOCOLORKEY = static_cast<int32_t>(0x887600D7u);

// Blit flags the game uses.
constexpr uint32_t DDBLT_COLORFILL = 0x00000400;
constexpr uint32_t DDBLT_KEYSRC = 0x00008000;
constexpr uint32_t DDBLT_WAIT = 0x01000000;
constexpr uint32_t DDLOCK_WAIT = 0x00000001;
constexpr uint32_t DDCKEY_SRCBLT = 0x00000008;

constexpr uint32_t kSurfaceDescSize = 108;
constexpr uint32_t kBltFxSize = 100;

struct Rect {
  int32_t left = 0, top = 0, right = 0, bottom = 0;
  int32_t Width() const { return right - left; }
  int32_t Height() const { return bottom - top; }
};

struct PixelFormat {
  uint32_t dwSize = 32;
  uint32_t dwRGBBitCount = 16;
  uint32_t dwRBitMask = 0, dwGBitMask = 0, dwBBitMask = 0, dwRGBAlphaBitMask = 0;
};

struct SurfaceDesc {
  uint32_t dwSize = kSurfaceDescSize;
  uint32_t dwHeight = 0;
  uint32_t dwWidth = 0;
  int32_t lPitch = 0;
  void* lpSurface = nullptr;
  PixelFormat ddpfPixelFormat;
};

struct ColorKey {
  uint32_t dwColorSpaceLowValue = 0;
  uint32_t dwColorSpaceHighValue = 0;
};

struct BltFx {
  uint32_t dwSize = kBltFxSize;
  uint32_t dwFillColor = 0;
};

enum class PixelLayout { Rgb565, Rgb555, Indexed8 };

class KeyedBlocks;

// Pixel rows start on a cache line, so that the vector copies' full-width loads and stores do not straddle two.
template <typename T>
struct CacheLineAllocator {
  using value_type = T;
  static constexpr std::align_val_t kAlign{64};
  CacheLineAllocator() = default;
  template <typename U>
  CacheLineAllocator(const CacheLineAllocator<U>&) {}
  T* allocate(size_t n) { return static_cast<T*>(::operator new(n * sizeof(T), kAlign)); }
  // The unsized form: clang before 19 does not declare the sized one by default.
  void deallocate(T* p, size_t) { ::operator delete(p, kAlign); }
  bool operator==(const CacheLineAllocator&) const { return true; }
};
using PixelBuffer = std::vector<uint8_t, CacheLineAllocator<uint8_t>>;

// True when the two rectangles share at least one pixel.
bool RectsOverlap(const Rect& a, const Rect& b);

PixelFormat MakePixelFormat(PixelLayout layout);

// A reference-counted pixel surface. Created with one reference; Release at zero frees it.
class Surface {
 public:
  static Surface* Create(int width, int height, PixelLayout layout = PixelLayout::Rgb565);

  uint32_t AddRef();
  uint32_t Release();

  // Copies, keys or fills: null rectangles mean the whole surface, rectangles of different sizes scale, empty,
  // inverted or out-of-bounds rectangles are refused with DDERR_INVALIDRECT.
  int32_t Blt(const Rect* destRect, Surface* source, const Rect* sourceRect, uint32_t flags, const BltFx* fx);
  int32_t Lock(const Rect* area, SurfaceDesc* desc, uint32_t flags);
  int32_t Unlock(const Rect* area);
  int32_t GetSurfaceDesc(SurfaceDesc* desc) const;
  int32_t SetColorKey(uint32_t flags, const ColorKey* key);
  int32_t GetColorKey(uint32_t flags, ColorKey* key) const;

  // Change tracking. Every write is numbered (serial); the areas of the latest writes are kept, so a caller that
  // noted the serial can later ask whether an area may have changed since. Writes too old to be known, a lock and
  // writable pixel access count as changing the whole surface.
  uint64_t id() const { return id_; }  // never reused, unlike the address
  uint64_t serial() const { return serial_; }
  bool ChangedSince(uint64_t serial, const Rect& area) const;
  // The areas written since the serial, or false when they are no longer known (then assume all of it).
  bool ChangesSince(uint64_t serial, std::vector<Rect>* areas) const;

  // Direct access for the graphics library and the backends (not for game code). Writable access counts as a
  // change of the whole surface.
  int width() const { return width_; }
  int height() const { return height_; }
  int pitch() const { return pitch_; }
  int bitsPerPixel() const { return layout_ == PixelLayout::Indexed8 ? 8 : 16; }
  PixelLayout layout() const { return layout_; }
  uint8_t* bits() {
    NoteWholeWrite();
    return pixels_.data();
  }
  const uint8_t* bits() const { return pixels_.data(); }
  uint16_t* Row16(int y) {
    NoteWholeWrite();
    return RawRow16(y);
  }
  const uint16_t* Row16(int y) const {
    return reinterpret_cast<const uint16_t*>(pixels_.data() + static_cast<size_t>(y) * pitch_);
  }
  bool locked() const { return locked_; }
  uint32_t refCount() const { return refs_; }
  // Surfaces alive in the process; tests use it to find leaks.
  static int LiveCount();

 private:
  Surface(int width, int height, PixelLayout layout);
  ~Surface();
  bool Contains(const Rect& r) const;
  uint16_t* RawRow16(int y) { return reinterpret_cast<uint16_t*>(pixels_.data() + static_cast<size_t>(y) * pitch_); }
  void NoteWrite(const Rect& area);
  void NoteWholeWrite();
  // A copy with the same source, areas, flags and key as one made before, with neither area written since, would
  // change nothing: it is skipped.
  // Every field is set where one is made (no default values: zeroing the whole struct first cost a string store).
  struct BlitMemo {
    uint64_t sourceId;  // 0: a colour fill
    Rect source, dest;
    uint64_t mode;  // the flags and the fill colour
    uint64_t key;   // the source's key range when keyed, else 0
    uint64_t sourceSerial;
    uint64_t destSerial;  // 0: a place never used
  };
  BlitMemo* FindMemo(const BlitMemo& wanted);
  // Stores a copy just made, over `found` (its earlier memo, from FindMemo) or over the oldest.
  void Remember(const BlitMemo& done, BlitMemo* found);
  // Grows `box` by the areas written since `serial` inside `area`, moved by (dx, dy). False when they are not known.
  bool AddWritesSince(uint64_t serial, const Rect& area, int dx, int dy, Rect* box) const;
  // Keyed copies from this surface go span by span, or for a large picture block by block, once it has been used
  // often enough without changing. At most one of the two is set.
  struct KeyedPlan {
    const OpaqueRuns* runs = nullptr;
    const KeyedBlocks* blocks = nullptr;
  };
  KeyedPlan PlanFor(uint16_t keyLow, uint16_t keyHigh);

  int width_, height_, pitch_;
  PixelLayout layout_;
  PixelBuffer pixels_;
  uint32_t refs_ = 1;
  bool locked_ = false;
  bool hasSourceKey_ = false;
  ColorKey sourceKey_;

  uint64_t id_;
  uint64_t serial_ = 0;
  uint64_t wholeWriteSerial_ = 0;  // the latest write that covered everything
  // What a copy from this surface reads sits here, ahead of the logs: a source is often out of the first-level
  // cache, and each line of it read costs a wait.
  OpaqueRuns runs_;  // held here, not behind a pointer: one cold line fewer to wait for in every copy
  bool hasRuns_ = false;
  std::unique_ptr<KeyedBlocks> blocks_;
  uint64_t planSerial_ = UINT64_MAX;  // the serial the plan was built at
  uint16_t planKeyLow_ = 0, planKeyHigh_ = 0;
  uint32_t usesSinceChange_ = 0;
  uint64_t usesSerial_ = UINT64_MAX;  // keyed copies from this surface since it last changed
  static constexpr size_t kMemos = 32;
  size_t nextMemo_ = 0;
  size_t lastFound_ = kMemos - 1;  // the memo found or stored last
  static constexpr size_t kWriteLog = 64;
  std::array<Rect, kWriteLog> writes_{};  // write number n is at n % kWriteLog
  std::array<BlitMemo, kMemos> memos_{};
};

}  // namespace platform
