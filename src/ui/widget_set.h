#pragma once
// The buttons of one screen or popup, with a drawing offset shared by all of them. The set owns its widgets.
#include <cstdint>

#include "common/ptr_array.h"
#include "ui/widget.h"

class WidgetSet {
 public:
  WidgetSet();
  ~WidgetSet();
  WidgetSet(const WidgetSet&) = delete;
  WidgetSet& operator=(const WidgetSet&) = delete;

  Widget* Add(Widget* widget);
  void UpdateAll(int32_t x, int32_t y, int32_t buttons);
  void RedrawAll();
  // The first widget in list order that is both clicked and enabled.
  Widget* FindClicked();
  // Only the first clicked widget answers: a second widget clicked in the same update reports 0.
  int32_t WasClicked(const char* name);
  Widget* FindByName(const char* name);
  void RemoveByName(const char* name);
  void DeleteAllWidgets();
  void SetOffset(int32_t x, int32_t y);

  int32_t GetOffsetX() const { return offsetX_; }
  int32_t GetOffsetY() const { return offsetY_; }
  int32_t Count() const { return widgets_->Count(); }
  Widget* Get(int32_t index) const { return widgets_->Get(index); }

 private:
  PtrArray<Widget>* widgets_;
  int32_t offsetX_ = 0;
  int32_t offsetY_ = 0;
};
