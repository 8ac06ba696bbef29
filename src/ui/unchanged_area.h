#pragma once
// Remembers what a drawing step last put into an area of the work surface, so the step can tell when drawing
// again would give exactly the same pixels and only mark the area instead.
#include <cstdint>
#include <vector>

#include "platform/video/surface.h"

class UnchangedArea {
 public:
  // The inputs a step draws from: its values and, for each picture it copies, the picture's identity and write
  // number (a changed picture is a changed input).
  using Inputs = std::vector<uint64_t>;
  static void AddPicture(Inputs* inputs, const platform::Surface* picture);

  // True when the last Drawn was onto the same work surface from the same clean surface with the same inputs, and
  // neither surface has been written in the area since.
  bool Holds(const platform::Surface* work, const platform::Surface* clean, const platform::Rect& area,
             const Inputs& inputs) const;
  // Call right after drawing.
  void Drawn(const platform::Surface* work, const platform::Surface* clean, const platform::Rect& area,
             const Inputs& inputs);

 private:
  bool valid_ = false;
  uint64_t workId_ = 0, workSerial_ = 0;
  uint64_t cleanId_ = 0, cleanSerial_ = 0;
  platform::Rect area_;
  Inputs inputs_;
};
