#include "gfx/sprite_animation_list.h"

#include <cstring>

#include "common/ticker.h"

SpriteAnimationList g_spriteAnimations;

SpriteAnimationList::SpriteAnimationList() : sprites_(new PtrArray<Sprite>(1)) {}

SpriteAnimationList::~SpriteAnimationList() { Clear(); }

Sprite* SpriteAnimationList::Spawn(Sprite* templateSprite) {
  if (!templateSprite) return nullptr;
  if (!sprites_) sprites_ = new PtrArray<Sprite>(1);
  templateSprite->SetTimeMark(TickNow());
  templateSprite->SetFrameIndex(templateSprite->GetFirst() == -1 ? 0 : templateSprite->GetFirst());
  return sprites_->Push(new Sprite(*templateSprite));
}

void SpriteAnimationList::UpdateAndDraw(platform::Surface* destination) {
  if (!sprites_) return;
  for (int32_t i = 0; i < sprites_->Count(); ++i) {
    Sprite* sprite = sprites_->Get(i);
    if (!sprite) continue;
    sprite->Animate();
    if (sprite->GetFirst() <= sprite->GetCurrent() && sprite->GetCurrent() < sprite->GetEnd()) {
      sprite->Draw(destination);
    }
  }
  // The index advances past a removal, so the copy that moved into the freed place waits for the next update.
  for (int32_t i = 0; i < sprites_->Count(); ++i) {
    Sprite* sprite = sprites_->Get(i);
    if (!sprite || sprite->GetLoopMode() != kLoopOnceBlank) continue;
    if (sprite->GetCurrent() < sprite->GetFirst() || sprite->GetCurrent() >= sprite->GetEnd()) {
      sprites_->Remove(sprite);
      delete sprite;  // the list held the only reference
    }
  }
}

Sprite* SpriteAnimationList::Find(const char* name) {
  if (!sprites_ || !name) return nullptr;
  for (int32_t i = 0; i < sprites_->Count(); ++i) {
    Sprite* sprite = sprites_->Get(i);
    if (sprite && std::strcmp(sprite->GetName(), name) == 0) return sprite;
  }
  return nullptr;
}

void SpriteAnimationList::RemoveByName(const char* name) {
  Sprite* sprite = Find(name);
  if (!sprite) return;
  sprites_->Remove(sprite);
  delete sprite;
}

void SpriteAnimationList::StepAll() {
  if (!sprites_) return;
  for (int32_t i = 0; i < sprites_->Count(); ++i) {
    Sprite* sprite = sprites_->Get(i);
    if (sprite && sprite->StepFrame()) sprite->DrawToScreen();
  }
}

void SpriteAnimationList::Clear() {
  if (!sprites_) return;
  sprites_->DeleteAll();
  delete sprites_;
  sprites_ = nullptr;
}
