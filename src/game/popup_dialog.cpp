#include "game/popup_dialog.h"

#include <cstdio>
#include <cstring>

#include "common/ticker.h"
#include "gfx/refresh_manager.h"
#include "gfx/surface_utils.h"
#include "platform/replay/trace.h"
#include "platform/window/window.h"
#include "ui/back_surface.h"
#include "ui/widget.h"
#include "ui/widget_set.h"

PopupDialog::PopupDialog(GameShell& shell) : shell_(shell) {
  SetName("");
  PopupDialog::Init();
}

PopupDialog::~PopupDialog() { PopupDialog::Deactivate(); }

void PopupDialog::Init() { popupPictures = new PtrArray<Picture>(); }

void PopupDialog::Deactivate() {
  Screen::Deactivate();
  if (popupPictures) {
    popupPictures->DeleteAll();
    delete popupPictures;
    popupPictures = nullptr;
  }
  currentPicture = nullptr;
}

void PopupDialog::PlaceAt(int32_t x, int32_t y) {
  if (!currentPicture) return;
  if (x == -1 && y == -1) {
    if (popupRect.left == -1 && popupRect.top == -1 && currentPicture->GetSurface())
      CenterSurfaceRect(currentPicture->GetSurface(), 0, 0, shell_.ScreenWidth(), shell_.ScreenHeight(), &popupRect);
  } else {
    popupRect = {x, y, x + currentPicture->GetWidth(), y + currentPicture->GetHeight()};
  }
  if (widgets_) widgets_->SetOffset(popupRect.left, popupRect.top);
  popupX = popupRect.left;
  popupY = popupRect.top;
}

void PopupDialog::SetResult(const char* text) {
  if (text) SetName(text);
  done = 1;
}

int32_t PopupDialog::CheckClose() {
  Widget* clicked = widgets_ ? widgets_->FindClicked() : nullptr;
  if (hotkey != 0 && (platform::GetAsyncKeyState(hotkey) & 0x8000)) {
    SetName("key");
    done = 1;
  }
  if (const char* keyResult = keyPress_ ? keyPress_() : nullptr) {
    SetName(keyResult);
    done = 1;
  }
  if (clicked) {
    SetName(clicked->GetName());
    done = 1;
  }
  if (deadline != 0 && deadline < TickNow()) done = 1;
  return 1;
}

int32_t PopupDialog::PollInput(int32_t x, int32_t y, int32_t buttons) {
  if (outsideResult_) {
    const bool outside = x < popupRect.left || x >= popupRect.right || y < popupRect.top || y >= popupRect.bottom;
    if (buttons & 1) {
      pressedOutside_ = outside;
    } else if (pressedOutside_) {
      pressedOutside_ = false;
      if (outside) {
        SetName(outsideResult_);
        done = 1;
      }
    }
  }
  return CheckClose();
}

Picture* PopupDialog::SelectPicture(Picture* picture) {
  if (picture) {
    currentPicture = picture;
    PlaceAt(-1, -1);
  }
  return picture;
}

Picture* PopupDialog::SelectPictureByName(const char* name) {
  Picture* found = FindPopupPicture(name);
  if (found) currentPicture = found;
  else if (popupPictures && popupPictures->Count() > 0) currentPicture = popupPictures->Get(0);
  PlaceAt(-1, -1);
  return currentPicture;
}

Picture* PopupDialog::GetCurrentPicture() { return currentPicture; }

Picture* PopupDialog::FindPopupPicture(const char* name) {
  if (!popupPictures || !name) return nullptr;
  for (int32_t i = 0; i < popupPictures->Count(); ++i)
    if (std::strcmp(popupPictures->Get(i)->GetName(), name) == 0) return popupPictures->Get(i);
  return nullptr;
}

Picture* PopupDialog::LoadPopupPicture(const char* file, const char* pictureName) {
  auto* picture = new Picture(file);
  picture->SetName(pictureName);
  popupPictures->Push(picture);
  SelectPicture(picture);
  return picture;
}

void PopupDialog::SetSwapWorkSurface(int32_t flag) { swapWorkSurface = flag; }

void PopupDialog::AddDefaultButton() {
  const int32_t w = currentPicture ? currentPicture->GetWidth() : 0;
  const int32_t h = currentPicture ? currentPicture->GetHeight() : 0;
  auto* button = new Widget(0, 0, w, h);
  button->SetName("default");
  AddWidget(button);
}

void PopupDialog::SetCloseTime(int32_t tick) { deadline = tick; }
void PopupDialog::SetHotkey(int32_t virtualKey) { hotkey = virtualKey; }
void PopupDialog::SetPollOverlay(int32_t flag) { pollOverlay = flag; }

int32_t PopupDialog::RunModal(char* destination, const char* pictureName) {
  done = 0;
  pressedOutside_ = false;
  if (pictureName) SelectPictureByName(pictureName);
  else currentPicture = popupPictures && popupPictures->Count() > 0 ? popupPictures->Get(0) : nullptr;

  platform::Surface* rememberedWork = nullptr;
  const bool swapped = swapWorkSurface == 1;
  if (swapped) {
    rememberedWork = g_refreshManager.GetWorkSurface();
    g_refreshManager.SetWorkSurface(currentPicture ? currentPicture->GetSurface() : nullptr);
  }
  SetName("");
  platform::TraceLine(std::string("popup open \"") + (currentPicture ? currentPicture->GetName() : "") + "\"");

  // A popup that only a click could close, whose picture did not load, has nothing to click: close at once
  // instead of holding the game until it is quit.
  if ((!currentPicture || !currentPicture->GetSurface()) && deadline == 0 && hotkey == 0) done = 1;

  while (done == 0) {
    int32_t x, y, buttons;
    shell_.GetMouse(&x, &y, &buttons);
    if (shell_.PumpMessages()) {
      if (swapped) g_refreshManager.SetWorkSurface(rememberedWork);
      platform::TraceLine("popup quit");
      return 0;
    }
    if (currentPicture) currentPicture->Draw(BackSurface(), popupRect.left, popupRect.top);
    widgets_->UpdateAll(x, y, buttons);
    widgets_->RedrawAll();
    if (PollInput(x, y, buttons) == 0) {
      if (swapped) g_refreshManager.SetWorkSurface(rememberedWork);
      return 0;
    }
    if (done == 0 && overlay_ && pollOverlay != 0) {
      WidgetSet* overlayWidgets = overlay_->GetWidgetSet();
      if (overlayWidgets) {
        overlayWidgets->UpdateAll(x, y, buttons);
        overlayWidgets->RedrawAll();
        if (Widget* clicked = overlayWidgets->FindClicked()) {
          SetName(clicked->GetName());
          done = 1;
        }
      }
    }
    Present();
  }
  if (swapped) g_refreshManager.SetWorkSurface(rememberedWork);
  if (destination) std::snprintf(destination, 256, "%s", GetName());
  platform::TraceLine(std::string("popup close \"") + GetName() + "\"");
  return done;
}
