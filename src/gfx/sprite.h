#pragma once
// A multi-frame image with a floating-point position and time-driven animation over a range of frames. Draws
// clipped and transparent, and reports what it drew to the refresh manager.
#include <cstdint>

#include "common/ptr_array.h"
#include "platform/video/surface.h"

// Loop modes of Animate.
constexpr int32_t kLoopOnceHold = 0;
constexpr int32_t kLoopRepeat = 1;
constexpr int32_t kLoopOnceRewind = 2;
constexpr int32_t kLoopOnceBlank = 3;

class Sprite {
 public:
  Sprite();
  // A copy that animates on its own over the same frame surfaces, which it does not own (the original must
  // outlive it). The box is not copied.
  Sprite(const Sprite& other);
  Sprite& operator=(const Sprite&) = delete;

  virtual void SetPosition(int32_t x, int32_t y);
  virtual void DrawToScreen();
  virtual void DrawRegion(int32_t sx, int32_t sy, int32_t w, int32_t h, platform::Surface* destination, int32_t dx,
                          int32_t dy);
  virtual void Draw(platform::Surface* destination);
  virtual void Move();
  virtual void SetBox(int32_t left, int32_t top, int32_t right, int32_t bottom);
  // Changes the frame only when the index is inside the frame list.
  virtual void SetFrame(int32_t index);
  virtual void SetVisible(int32_t flag);
  virtual void SetFrameDelay(int32_t milliseconds);
  virtual void SetFramesColorKey(int32_t r, int32_t g, int32_t b);  // kept: part of the game's interface, unused
  // One timed step (1) or not yet due (0); the frame only moves while it stays inside the frame list.
  virtual int32_t StepFrame();
  // No range test: an index outside the list draws nothing.
  virtual void SetFrameIndex(int32_t index);
  // count frames side by side (vertical 0) or stacked; width and height become the whole sheet's.
  virtual void LoadStrip(const char* file, int32_t count, int32_t vertical);
  virtual void LoadSheet(const char* file, int32_t frameWidth, int32_t frameHeight);
  virtual void SetFrameRange(int32_t first, int32_t end);
  virtual void SetName(const char* text);
  virtual void SetPlaying(int32_t flag);
  virtual void SetLoopMode(int32_t mode);
  virtual void SetMarkDirty(int32_t flag);
  virtual void Animate();
  // Width of one frame of a side-by-side strip.
  virtual void SplitWidth();
  virtual void SetCentered(int32_t flag);
  // Declared after the operations so that their slots keep their order; virtual because the animation list
  // deletes sprites through Sprite pointers.
  virtual ~Sprite();

  int32_t AddFrame(platform::Surface* surface);
  int32_t AddSharedFrame(platform::Surface* surface);  // kept: part of the game's interface, unused by this game
  // A missing file shows a message box and keeps the frames the sprite had.
  int32_t LoadFrame(const char* file);
  void Rewind() { current_ = 0; }

  const char* GetName() const { return name_; }
  int32_t FrameCount() const { return frames_ ? frames_->Count() : 0; }
  platform::Surface* GetFrame(int32_t index) const { return frames_->Get(index); }
  int32_t GetCurrent() const { return current_; }
  int32_t GetWidth() const { return width_; }
  int32_t GetHeight() const { return height_; }
  int32_t GetFirst() const { return first_; }
  int32_t GetEnd() const { return end_; }
  void SetStep(int32_t step) { step_ = step; }
  int32_t GetLoopMode() const { return loopMode_; }
  int32_t IsPlaying() const { return playing_; }
  int32_t IsVisible() const { return visible_; }
  int32_t HasSharedFrames() const { return sharedFrames_; }
  int32_t GetTimeMark() const { return timeMark_; }
  void SetTimeMark(int32_t mark) { timeMark_ = mark; }
  platform::Rect GetBox() const { return box_; }

  // Position and velocity in screen pixels; the game writes them directly.
  float x = 0.0f, y = 0.0f;
  float vx = 0.0f, vy = 0.0f;

 private:
  // False when there is no frame at the current index.
  bool HasCurrentFrame() const;

  char name_[64];
  int32_t width_ = 0, height_ = 0;
  int32_t loopMode_ = kLoopOnceHold;
  int32_t playing_ = 0;
  PtrArray<platform::Surface>* frames_;
  int32_t current_ = 0;
  int32_t centered_ = 0;
  platform::Rect box_;
  int32_t frameDelay_ = 0;
  int32_t step_ = 1;
  int32_t timeMark_ = 0;
  int32_t sharedFrames_ = 0;
  int32_t first_ = -1, end_ = -1;
  int32_t markDirty_ = 1;
  int32_t visible_ = 1;
};
