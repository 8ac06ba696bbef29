#pragma once
// Base of every full-screen page: a name, the display it was activated with, named pictures, a widget set, and
// optionally an overlay screen that presents in its place. Content is rebuilt on every activation.
#include <cstdint>

#include "common/ptr_array.h"
#include "gfx/picture.h"
#include "platform/video/direct_draw.h"
#include "platform/video/surface.h"
#include "platform/window/window.h"
#include "ui/widget.h"
#include "ui/widget_set.h"

// What a screen's frame tells the frame loop: go on, or end the program.
constexpr int32_t kFrameContinue = 5;
constexpr int32_t kFrameQuit = 7;
// What a screen's HandleMessage answers for a message it has taken: the window does nothing more with it.
constexpr int32_t kMessageTaken = 0;

class Screen {
 public:
  Screen();
  // Not virtual: screens are destroyed through their own type.
  ~Screen();
  Screen(const Screen&) = delete;
  Screen& operator=(const Screen&) = delete;

  // Creates the picture list and the widget set when missing.
  virtual void Init();
  virtual void Activate(platform::DirectDraw* directDraw, platform::Surface* backSurface);
  // Deletes every widget and picture, with their containers.
  virtual void Deactivate();
  virtual int32_t HandleMessage(platform::Window* window, uint32_t message, uintptr_t wParam, intptr_t lParam);
  virtual int32_t HandleFrame(int32_t active);
  virtual void SetName(const char* text);
  virtual const char* GetName();
  // Null (and nothing kept) when the bitmap does not load.
  virtual Picture* AddPicture(const char* file);
  // A picture whose bitmap is the refresh manager's work or clean surface takes it out of the manager first.
  virtual void DeleteAllPictures();
  // Takes the picture out of the list without deleting it: the caller owns it from then on.
  virtual void RemovePicture(Picture* picture);
  virtual void SetWorkSurface(platform::Surface* surface);
  virtual void SetCleanSurface(platform::Surface* surface);
  // Reads the pictures of an ini layout file: [images] image01, image02... name sections with file, x and y.
  virtual void LoadLayout(const char* file);
  virtual Picture* FindPicture(const char* name);
  // Kept and returned even when the bitmap does not load; name null keeps the file name.
  virtual Picture* AddNamedPicture(const char* file, const char* name);
  // As RemovePicture, by name.
  virtual void RemovePictureByName(const char* name);
  virtual int32_t DrawPictureAt(platform::Surface* destination, const char* name, int32_t x, int32_t y);
  virtual int32_t DrawPicture(platform::Surface* destination, const char* name);
  // Ends a frame: flips, then brings the areas marked a frame earlier onto the new back surface.
  virtual int32_t Present();
  virtual void SetOverlay(Screen* screen);
  virtual void AddWidget(Widget* widget);

  WidgetSet* GetWidgetSet() const { return widgets_; }
  int32_t PictureCount() const { return pictures_ ? pictures_->Count() : 0; }
  Picture* GetPicture(int32_t index) const { return pictures_->Get(index); }
  Screen* GetOverlay() const { return overlay_; }
  platform::DirectDraw* GetDirectDraw() const { return directDraw_; }
  platform::Surface* GetBackSurface() const { return backSurface_; }

 protected:
  PtrArray<Picture>* PictureList();
  void DeleteWidgetSet();

  char name_[256];
  platform::DirectDraw* directDraw_ = nullptr;
  platform::Surface* backSurface_ = nullptr;
  WidgetSet* widgets_;
  PtrArray<Picture>* pictures_;
  // For derived screens; the base never reads them.
  Picture* backgroundPicture_ = nullptr;
  Picture* backgroundCopyPicture_ = nullptr;
  Screen* overlay_ = nullptr;  // not owned
};
