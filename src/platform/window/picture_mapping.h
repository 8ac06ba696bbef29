#pragma once
// Where the 800 x 600 picture lies in a window of any size, and which picture pixel a pointer position falls on.
// The picture is scaled by the same factor both ways and centred; the bars beside or above it belong to no pixel.
#include <optional>

#include "platform/window/window.h"

namespace platform {

inline constexpr int kPictureWidth = 800;
inline constexpr int kPictureHeight = 600;

// The window's size in the units pointer positions arrive in, and the size of its drawable in pixels (larger on
// high-density displays).
struct WindowGeometry {
  int windowWidth = kPictureWidth, windowHeight = kPictureHeight;
  int drawableWidth = kPictureWidth, drawableHeight = kPictureHeight;
};

// The picture's rectangle in drawable pixels.
struct PictureRect {
  double x = 0, y = 0, width = kPictureWidth, height = kPictureHeight;
};

PictureRect PictureRectIn(const WindowGeometry& geometry);

// A position in window units to a picture pixel; nothing for a position on a bar or outside the window.
std::optional<Point> WindowToPicture(const WindowGeometry& geometry, double x, double y);

// A position already scaled to the picture by the renderer: kept when it lies on the picture.
std::optional<Point> ScaledToPicture(int x, int y);

// What a pointer that lies on no picture pixel reports to the game: far outside every button.
inline constexpr Point kOffPicture{0xFFFF, 0xFFFF};

}  // namespace platform
