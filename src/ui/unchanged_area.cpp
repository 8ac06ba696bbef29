#include "ui/unchanged_area.h"

void UnchangedArea::AddPicture(Inputs* inputs, const platform::Surface* picture) {
  inputs->push_back(picture ? picture->id() : 0);
  inputs->push_back(picture ? picture->serial() : 0);
}

bool UnchangedArea::Holds(const platform::Surface* work, const platform::Surface* clean, const platform::Rect& area,
                          const Inputs& inputs) const {
  if (!valid_ || !work || work->id() != workId_ || (clean ? clean->id() : 0) != cleanId_) return false;
  if (area.left != area_.left || area.top != area_.top || area.right != area_.right || area.bottom != area_.bottom)
    return false;
  if (inputs != inputs_) return false;
  if (work->ChangedSince(workSerial_, area)) return false;
  return !clean || !clean->ChangedSince(cleanSerial_, area);
}

void UnchangedArea::Drawn(const platform::Surface* work, const platform::Surface* clean, const platform::Rect& area,
                          const Inputs& inputs) {
  valid_ = work != nullptr;
  workId_ = work ? work->id() : 0;
  workSerial_ = work ? work->serial() : 0;
  cleanId_ = clean ? clean->id() : 0;
  cleanSerial_ = clean ? clean->serial() : 0;
  area_ = area;
  inputs_ = inputs;
}
