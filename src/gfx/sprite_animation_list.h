#pragma once
// Runs independent copies of prepared sprites: each copy animates by itself, is drawn while its frame lies in
// its range, and a finished one-shot copy (loop mode "once and blank") leaves the list. Copies are found by name.
#include <cstdint>

#include "common/ptr_array.h"
#include "gfx/sprite.h"
#include "platform/video/surface.h"

class SpriteAnimationList {
 public:
  SpriteAnimationList();
  ~SpriteAnimationList();
  SpriteAnimationList(const SpriteAnimationList&) = delete;
  SpriteAnimationList& operator=(const SpriteAnimationList&) = delete;

  // Restarts the template's clock and frame, then keeps a copy of it. The template must outlive the copy.
  Sprite* Spawn(Sprite* templateSprite);
  void UpdateAndDraw(platform::Surface* destination);
  Sprite* Find(const char* name);
  // Takes the first copy of that name out of the list and deletes it.
  void RemoveByName(const char* name);
  void StepAll();
  // Deletes every copy and the list; the next Spawn starts a new one.
  void Clear();

  int32_t Count() const { return sprites_ ? sprites_->Count() : 0; }

 private:
  PtrArray<Sprite>* sprites_;
};

extern SpriteAnimationList g_spriteAnimations;
