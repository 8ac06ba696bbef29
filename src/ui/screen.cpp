#include "ui/screen.h"

#include <cstdio>
#include <cstring>

#include "gfx/refresh_manager.h"
#include "platform/host/profile.h"
#include "ui/back_surface.h"
#include "zk/zk.h"

namespace {

constexpr uint32_t kValueSize = 256;
constexpr const char* kNone = "none";

}  // namespace

Screen::Screen() : widgets_(new WidgetSet()), pictures_(new PtrArray<Picture>(1)) { name_[0] = '\0'; }

Screen::~Screen() {
  DeleteWidgetSet();
  Screen::DeleteAllPictures();
}

void Screen::DeleteWidgetSet() {
  delete widgets_;
  widgets_ = nullptr;
}

PtrArray<Picture>* Screen::PictureList() {
  if (!pictures_) pictures_ = new PtrArray<Picture>(1);
  return pictures_;
}

void Screen::Init() {
  PictureList();
  if (!widgets_) widgets_ = new WidgetSet();
}

void Screen::Activate(platform::DirectDraw* directDraw, platform::Surface* backSurface) {
  directDraw_ = directDraw;
  backSurface_ = backSurface;
  Init();
}

void Screen::Deactivate() {
  DeleteWidgetSet();
  DeleteAllPictures();
}

int32_t Screen::HandleMessage(platform::Window*, uint32_t, uintptr_t, intptr_t) { return 1; }

int32_t Screen::HandleFrame(int32_t) { return 1; }

void Screen::SetName(const char* text) { std::snprintf(name_, sizeof name_, "%s", text ? text : ""); }

const char* Screen::GetName() { return name_; }

Picture* Screen::AddPicture(const char* file) {
  auto* picture = new Picture(file);
  if (!picture->GetSurface()) {
    delete picture;
    return nullptr;
  }
  return PictureList()->Push(picture);
}

void Screen::DeleteAllPictures() {
  if (!pictures_) return;
  // The refresh manager must not keep copying from or to a scene surface that goes with its picture.
  for (int32_t i = 0; i < pictures_->Count(); ++i) {
    platform::Surface* surface = pictures_->Get(i)->GetSurface();
    if (!surface) continue;
    if (surface == g_refreshManager.GetWorkSurface()) g_refreshManager.SetWorkSurface(nullptr);
    if (surface == g_refreshManager.GetCleanSurface()) g_refreshManager.SetCleanSurface(nullptr);
  }
  pictures_->DeleteAll();
  delete pictures_;
  pictures_ = nullptr;
}

void Screen::RemovePicture(Picture* picture) {
  if (pictures_) pictures_->Remove(picture);
}

void Screen::SetWorkSurface(platform::Surface* surface) { g_refreshManager.SetWorkSurface(surface); }

void Screen::SetCleanSurface(platform::Surface* surface) { g_refreshManager.SetCleanSurface(surface); }

void Screen::LoadLayout(const char* file) {
  char section[kValueSize], bitmap[kValueSize], value[kValueSize];
  // The walk stops at the first key that is missing or "none"; later keys are never read.
  for (int32_t counter = 1;; ++counter) {
    char key[32];
    std::snprintf(key, sizeof key, "image%02d", counter);
    platform::GetPrivateProfileString("images", key, kNone, section, kValueSize, file);
    if (std::strcmp(section, kNone) == 0) return;

    platform::GetPrivateProfileString(section, "file", kNone, bitmap, kValueSize, file);
    Picture* picture;
    if (std::strcmp(bitmap, kNone) != 0) {
      picture = new Picture(bitmap);
    } else {
      char defaultFile[kValueSize + 4];
      std::snprintf(defaultFile, sizeof defaultFile, "%s.bmp", section);
      picture = new Picture(defaultFile);
    }
    PictureList()->Push(picture);  // kept without a bitmap too: it is still found by name
    picture->SetName(section);

    platform::GetPrivateProfileString(section, "x", "", value, kValueSize, file);
    const int32_t x = platform::ProfileInt(value);
    platform::GetPrivateProfileString(section, "y", "", value, kValueSize, file);
    picture->SetPosition(x, platform::ProfileInt(value));
  }
}

Picture* Screen::FindPicture(const char* name) {
  if (!pictures_ || !name) return nullptr;
  for (int32_t i = 0; i < pictures_->Count(); ++i) {
    if (std::strcmp(pictures_->Get(i)->GetName(), name) == 0) return pictures_->Get(i);
  }
  return nullptr;
}

Picture* Screen::AddNamedPicture(const char* file, const char* name) {
  auto* picture = new Picture();
  picture->Load(file);
  if (name) picture->SetName(name);
  return PictureList()->Push(picture);
}

void Screen::RemovePictureByName(const char* name) {
  if (Picture* picture = FindPicture(name)) RemovePicture(picture);
}

int32_t Screen::DrawPictureAt(platform::Surface* destination, const char* name, int32_t x, int32_t y) {
  Picture* picture = FindPicture(name);
  if (!picture) return 0;
  picture->Draw(destination, x, y);
  return 1;
}

int32_t Screen::DrawPicture(platform::Surface* destination, const char* name) {
  Picture* picture = FindPicture(name);
  if (!picture) return 0;
  picture->Draw(destination, picture->GetX(), picture->GetY());
  return 1;
}

int32_t Screen::Present() {
  if (overlay_) return overlay_->Present();
  const int32_t result = ZKFlip();
  g_refreshManager.ToggleParity();
  g_refreshManager.PresentMarkedAreas(BackSurface());
  return result;
}

void Screen::SetOverlay(Screen* screen) { overlay_ = screen; }

void Screen::AddWidget(Widget* widget) {
  if (!widgets_) widgets_ = new WidgetSet();
  widget->SetOffset(widgets_->GetOffsetX(), widgets_->GetOffsetY());
  widgets_->Add(widget);
}
