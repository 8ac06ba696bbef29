#include "canvas.h"

#include <algorithm>
#include <cmath>

namespace mkassets {

Canvas::Canvas(int width, int height)
    : width_(width),
      height_(height),
      surface_(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height)),
      cr_(cairo_create(surface_)) {
  cairo_set_antialias(cr_, CAIRO_ANTIALIAS_GOOD);
}

Canvas::Canvas(const RgbImage& backdrop) : Canvas(backdrop.width(), backdrop.height()) {
  cairo_surface_flush(surface_);
  unsigned char* data = cairo_image_surface_get_data(surface_);
  const int stride = cairo_image_surface_get_stride(surface_);
  for (int y = 0; y < height_; ++y) {
    auto* row = reinterpret_cast<uint32_t*>(data + static_cast<size_t>(y) * stride);
    for (int x = 0; x < width_; ++x) {
      const Rgb c = backdrop.At(x, y);
      row[x] = 0xFF000000u | (uint32_t{c.r} << 16) | (uint32_t{c.g} << 8) | c.b;
    }
  }
  cairo_surface_mark_dirty(surface_);
}

Canvas::~Canvas() {
  cairo_destroy(cr_);
  cairo_surface_destroy(surface_);
}

Canvas::Pixel Canvas::At(int x, int y) const {
  cairo_surface_flush(surface_);
  const unsigned char* data = cairo_image_surface_get_data(surface_);
  const int stride = cairo_image_surface_get_stride(surface_);
  const uint32_t v = reinterpret_cast<const uint32_t*>(data + static_cast<size_t>(y) * stride)[x];
  return Pixel{static_cast<uint8_t>(v >> 24), static_cast<uint8_t>(v >> 16), static_cast<uint8_t>(v >> 8),
               static_cast<uint8_t>(v)};
}

RgbImage Canvas::ToOpaque() const {
  RgbImage out(width_, height_);
  for (int y = 0; y < height_; ++y)
    for (int x = 0; x < width_; ++x) {
      const Pixel p = At(x, y);
      out.Set(x, y, Rgb{p.r, p.g, p.b});
    }
  return out;
}

void VerticalGradient(cairo_t* cr, double y0, double y1, Rgb top, Rgb bottom) {
  cairo_pattern_t* p = cairo_pattern_create_linear(0, y0, 0, y1);
  cairo_pattern_add_color_stop_rgb(p, 0, top.r / 255.0, top.g / 255.0, top.b / 255.0);
  cairo_pattern_add_color_stop_rgb(p, 1, bottom.r / 255.0, bottom.g / 255.0, bottom.b / 255.0);
  cairo_set_source(cr, p);
  cairo_pattern_destroy(p);
}

void SetSource(cairo_t* cr, Rgb c, double alpha) {
  cairo_set_source_rgba(cr, c.r / 255.0, c.g / 255.0, c.b / 255.0, alpha);
}

Rgb Mix(Rgb a, Rgb b, double t) {
  auto lerp = [t](uint8_t u, uint8_t v) {
    return static_cast<uint8_t>(std::lround(std::clamp(u + (v - u) * t, 0.0, 255.0)));
  };
  return Rgb{lerp(a.r, b.r), lerp(a.g, b.g), lerp(a.b, b.b)};
}

Rgb Shade(Rgb c, double factor) {
  auto scale = [factor](uint8_t u) { return static_cast<uint8_t>(std::lround(std::clamp(u * factor, 0.0, 255.0))); };
  return Rgb{scale(c.r), scale(c.g), scale(c.b)};
}

void RoundedRect(cairo_t* cr, double x, double y, double w, double h, double radius) {
  const double r = std::min({radius, w / 2, h / 2});
  cairo_new_sub_path(cr);
  cairo_arc(cr, x + w - r, y + r, r, -M_PI / 2, 0);
  cairo_arc(cr, x + w - r, y + h - r, r, 0, M_PI / 2);
  cairo_arc(cr, x + r, y + h - r, r, M_PI / 2, M_PI);
  cairo_arc(cr, x + r, y + r, r, M_PI, 3 * M_PI / 2);
  cairo_close_path(cr);
}

}  // namespace mkassets
