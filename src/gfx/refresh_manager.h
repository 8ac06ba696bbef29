#pragma once
// Keeps the screen up to date without redrawing it all: the game composes the scene on the work surface, erases
// from the clean surface, and marks what changed; after each flip the marked areas are copied from the work
// surface to the back surface. Marks alternate between two lists at every flip, so a mark made while drawing
// frame N is applied after the flip that ends frame N + 1.
#include <cstdint>

#include "common/ptr_array.h"
#include "platform/video/surface.h"

class Picture;

// Mark flags.
constexpr int32_t kMarkOneShot = 0x1;       // freed after it has been applied once
constexpr int32_t kMarkBothBuffers = 0x2;   // a copy goes into the other list too
constexpr int32_t kMarkPresent = 0x1000;    // work surface -> back surface
constexpr int32_t kMarkErase = 0x2000;      // clean -> work, then work -> back

struct RefreshRecord {
  int32_t x = 0, y = 0, width = 0, height = 0;
  int32_t flags = 0;
  platform::Surface* target = nullptr;  // the work surface when the mark was made
  platform::Surface* source = nullptr;  // the clean surface when the mark was made
};

class RefreshManager {
 public:
  RefreshManager();
  ~RefreshManager();
  RefreshManager(const RefreshManager&) = delete;
  RefreshManager& operator=(const RefreshManager&) = delete;

  // Drops the pending one-shot marks of the current list (they were made for the old surface), then switches.
  void SetWorkSurface(platform::Surface* surface);
  void SetCleanSurface(platform::Surface* surface);
  platform::Surface* GetWorkSurface() const { return workSurface_; }
  platform::Surface* GetCleanSurface() const { return cleanSurface_; }

  void RestoreAll();
  void EraseArea(int32_t x, int32_t y, int32_t width, int32_t height);
  void ErasePictureArea(const Picture* picture);
  // The popup's rectangle on the screen (left, top, right, bottom).
  void ErasePopupArea(const platform::Rect& popupRect);
  void PaintPicture(const Picture* picture);
  void MarkArea(int32_t x, int32_t y, int32_t width, int32_t height, int32_t flags, int32_t moreFlags);
  void MarkRect(const platform::Rect& rect, int32_t flags, int32_t moreFlags);
  void ToggleParity();
  void PresentMarkedAreas(platform::Surface* backSurface);
  void DropOneShotMarks();

  // Inspection, for tests and traces.
  int32_t GetParity() const { return currentList_; }
  int32_t MarkCount(int32_t list) const { return lists_[list]->Count(); }
  const RefreshRecord* GetMark(int32_t list, int32_t index) const { return lists_[list]->Get(index); }

 private:
  void AddMark(int32_t x, int32_t y, int32_t width, int32_t height, int32_t flags);
  void RemoveAndFree(PtrArray<RefreshRecord>* list, int32_t index);

  int32_t currentList_ = 0;
  PtrArray<RefreshRecord>* lists_[2];
  platform::Surface* workSurface_ = nullptr;
  platform::Surface* cleanSurface_ = nullptr;
};

extern RefreshManager g_refreshManager;
