#pragma once
// A cairo drawing surface with an alpha channel, owned for the lifetime of one piece of art.
#include <cairo.h>

#include "rgb_image.h"

namespace mkassets {

class Canvas {
 public:
  Canvas(int width, int height);
  // Starts as a copy of an opaque picture, e.g. the scene a sprite will stand in.
  explicit Canvas(const RgbImage& backdrop);
  ~Canvas();
  Canvas(const Canvas&) = delete;
  Canvas& operator=(const Canvas&) = delete;

  cairo_t* cr() const { return cr_; }
  cairo_surface_t* surface() const { return surface_; }
  int width() const { return width_; }
  int height() const { return height_; }

  // Premultiplied colour and coverage of one pixel, each 0..255.
  struct Pixel {
    uint8_t a, r, g, b;
  };
  Pixel At(int x, int y) const;

  // The picture with any transparency composited onto black; meant for fully opaque art.
  RgbImage ToOpaque() const;

 private:
  int width_;
  int height_;
  cairo_surface_t* surface_;
  cairo_t* cr_;
};

// Colour helpers for cairo, taking 0..255 components.
void SetSource(cairo_t* cr, Rgb c, double alpha = 1.0);
// Sets a top-to-bottom gradient from y0 to y1 as the source.
void VerticalGradient(cairo_t* cr, double y0, double y1, Rgb top, Rgb bottom);
Rgb Mix(Rgb a, Rgb b, double t);
Rgb Shade(Rgb c, double factor);
void RoundedRect(cairo_t* cr, double x, double y, double w, double h, double radius);

}  // namespace mkassets
