#include "gfx/refresh_manager.h"

#include "gfx/picture.h"
#include "gfx/surface_utils.h"

RefreshManager g_refreshManager;

namespace {

// Every copy keeps the area in place: same x, y on both surfaces. A missing surface makes it a no-op.
void CopyArea(platform::Surface* from, platform::Surface* to, const RefreshRecord& r) {
  if (!from || !to) return;
  BltClippedRect(from, r.x, r.y, r.width, r.height, to, r.x, r.y, kTransparentBlit);
}

}  // namespace

RefreshManager::RefreshManager() {
  lists_[0] = new PtrArray<RefreshRecord>();
  lists_[1] = new PtrArray<RefreshRecord>();
}

RefreshManager::~RefreshManager() {
  for (PtrArray<RefreshRecord>*& list : lists_) {
    list->FreeAll();
    delete list;
    list = nullptr;
  }
}

void RefreshManager::SetWorkSurface(platform::Surface* surface) {
  DropOneShotMarks();
  workSurface_ = surface;
}

void RefreshManager::SetCleanSurface(platform::Surface* surface) { cleanSurface_ = surface; }

void RefreshManager::AddMark(int32_t x, int32_t y, int32_t width, int32_t height, int32_t flags) {
  auto* record = new RefreshRecord{x, y, width, height, flags, workSurface_, cleanSurface_};
  if (flags & kMarkBothBuffers) {
    lists_[0]->Push(record);
    lists_[1]->Push(new RefreshRecord(*record));
  } else {
    lists_[currentList_]->Push(record);
  }
}

void RefreshManager::RemoveAndFree(PtrArray<RefreshRecord>* list, int32_t index) {
  RefreshRecord* record = list->Get(index);
  list->Remove(record);
  delete record;
}

void RefreshManager::RestoreAll() {
  // The whole screen is the work surface's size; without one there is nothing to restore or present.
  if (!workSurface_) return;
  int32_t width, height;
  GetSurfaceSize(workSurface_, &width, &height);
  if (cleanSurface_) BltClipped(cleanSurface_, workSurface_, 0, 0, kTransparentBlit);
  AddMark(0, 0, width, height, kMarkOneShot | kMarkPresent);
}

void RefreshManager::EraseArea(int32_t x, int32_t y, int32_t width, int32_t height) {
  CopyArea(cleanSurface_, workSurface_, RefreshRecord{x, y, width, height, 0, nullptr, nullptr});
  AddMark(x, y, width, height, kMarkOneShot | kMarkPresent);
}

void RefreshManager::ErasePictureArea(const Picture* picture) {
  EraseArea(picture->GetX(), picture->GetY(), picture->GetWidth(), picture->GetHeight());
}

void RefreshManager::ErasePopupArea(const platform::Rect& popupRect) {
  EraseArea(popupRect.left, popupRect.top, popupRect.right - popupRect.left, popupRect.bottom - popupRect.top);
}

void RefreshManager::PaintPicture(const Picture* picture) {
  // The picture's bitmap is read at the area's screen coordinates: meant for full-screen pictures.
  const RefreshRecord area{picture->GetX(), picture->GetY(), picture->GetWidth(), picture->GetHeight(), 0,
                           nullptr, nullptr};
  CopyArea(picture->GetSurface(), workSurface_, area);
  AddMark(area.x, area.y, area.width, area.height, kMarkOneShot | kMarkPresent);
}

void RefreshManager::MarkArea(int32_t x, int32_t y, int32_t width, int32_t height, int32_t flags,
                              int32_t moreFlags) {
  AddMark(x, y, width, height, flags | moreFlags);
}

void RefreshManager::MarkRect(const platform::Rect& rect, int32_t flags, int32_t moreFlags) {
  AddMark(rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top, flags | moreFlags);
}

void RefreshManager::ToggleParity() { currentList_ = 1 - currentList_; }

void RefreshManager::PresentMarkedAreas(platform::Surface* backSurface) {
  PtrArray<RefreshRecord>* list = lists_[currentList_];
  for (int32_t i = 0; i < list->Count();) {
    const RefreshRecord& r = *list->Get(i);
    if (r.flags & kMarkPresent) {
      if (r.target == workSurface_) CopyArea(workSurface_, backSurface, r);
    } else if (r.flags & kMarkErase) {
      if (r.source == cleanSurface_) CopyArea(cleanSurface_, workSurface_, r);
      if (r.target == workSurface_) CopyArea(workSurface_, backSurface, r);
    }
    if (r.flags & kMarkOneShot) {
      RemoveAndFree(list, i);  // the next record moved into slot i
    } else {
      ++i;
    }
  }
}

void RefreshManager::DropOneShotMarks() {
  PtrArray<RefreshRecord>* list = lists_[currentList_];
  for (int32_t i = 0; i < list->Count();) {
    if (list->Get(i)->flags & kMarkOneShot) {
      RemoveAndFree(list, i);
    } else {
      ++i;
    }
  }
}
