#include "app/screen_manager.h"

#include <cstring>

ScreenManager g_screenManager;

ScreenManager::ScreenManager() : screens_(new PtrArray<Screen>(1)) {}

// The screens are process-wide objects of their own; only the list goes.
ScreenManager::~ScreenManager() { delete screens_; }

void ScreenManager::SetDisplay(platform::DirectDraw* directDraw, platform::Surface* backSurface) {
  directDraw_ = directDraw;
  backSurface_ = backSurface;
}

void ScreenManager::AddScreen(Screen* screen) { screens_->Push(screen); }

Screen* ScreenManager::ActivateScreen(const char* name) {
  if (!name) return active_;
  for (int32_t i = 0; i < screens_->Count(); ++i) {
    Screen* screen = screens_->Get(i);
    if (std::strcmp(screen->GetName(), name) != 0) continue;
    if (active_) active_->Deactivate();
    active_ = screen;
    active_->Activate(directDraw_, backSurface_);
    break;
  }
  return active_;
}

int32_t ScreenManager::HandleFrame(int32_t active) { return active_ ? active_->HandleFrame(active) : 0; }

int32_t ScreenManager::ForwardMessage(platform::Window* window, uint32_t message, uintptr_t wParam,
                                      intptr_t lParam) {
  return active_ ? active_->HandleMessage(window, message, wParam, lParam) : 1;
}

void ScreenManager::DeactivateAll() {
  for (int32_t i = 0; i < screens_->Count(); ++i) screens_->Get(i)->Deactivate();
}
