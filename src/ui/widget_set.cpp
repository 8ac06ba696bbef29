#include "ui/widget_set.h"

#include <cstring>

WidgetSet::WidgetSet() : widgets_(new PtrArray<Widget>(1)) {}

WidgetSet::~WidgetSet() {
  widgets_->DeleteAll();
  delete widgets_;
}

Widget* WidgetSet::Add(Widget* widget) { return widgets_->Push(widget); }

void WidgetSet::UpdateAll(int32_t x, int32_t y, int32_t buttons) {
  for (int32_t i = 0; i < widgets_->Count(); ++i) widgets_->Get(i)->Update(x, y, buttons);
}

void WidgetSet::RedrawAll() {
  for (int32_t i = 0; i < widgets_->Count(); ++i) widgets_->Get(i)->Redraw();
}

Widget* WidgetSet::FindClicked() {
  for (int32_t i = 0; i < widgets_->Count(); ++i) {
    Widget* widget = widgets_->Get(i);
    if (widget->WasClicked() && widget->IsEnabled()) return widget;
  }
  return nullptr;
}

int32_t WidgetSet::WasClicked(const char* name) {
  Widget* clicked = FindClicked();
  if (!clicked || !name || std::strcmp(clicked->GetName(), name) != 0) return 0;
  return clicked->WasClicked();
}

Widget* WidgetSet::FindByName(const char* name) {
  if (!name) return nullptr;
  for (int32_t i = 0; i < widgets_->Count(); ++i) {
    if (std::strcmp(widgets_->Get(i)->GetName(), name) == 0) return widgets_->Get(i);
  }
  return nullptr;
}

void WidgetSet::RemoveByName(const char* name) {
  Widget* widget = FindByName(name);
  if (!widget) return;
  widgets_->Remove(widget);
  delete widget;
}

void WidgetSet::DeleteAllWidgets() { widgets_->DeleteAll(); }

void WidgetSet::SetOffset(int32_t x, int32_t y) {
  offsetX_ = x;
  offsetY_ = y;
  for (int32_t i = 0; i < widgets_->Count(); ++i) widgets_->Get(i)->SetOffset(x, y);
}
