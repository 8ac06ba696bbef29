#pragma once
// Readers for the generated files, kept independent of the generator: 24-bit BMP pixels and WAV chunks.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

namespace asset_files {

inline std::vector<uint8_t> ReadAll(const std::string& path) {
  std::ifstream f(path, std::ios::binary);
  return std::vector<uint8_t>((std::istreambuf_iterator<char>(f)), std::istreambuf_iterator<char>());
}

inline uint32_t Le16(const std::vector<uint8_t>& b, size_t at) { return b[at] | (b[at + 1] << 8); }
inline uint32_t Le32(const std::vector<uint8_t>& b, size_t at) { return Le16(b, at) | (Le16(b, at + 2) << 16); }

struct Rgb {
  uint8_t r, g, b;
  bool IsKey() const { return r == 0 && g == 0 && b == 255; }
  // A colour that reads as a blue fringe, or that a 16-bit screen could take for the key.
  bool NearKey() const { return !IsKey() && b > 200 && r < 60 && g < 60; }
  bool operator==(const Rgb& o) const { return r == o.r && g == o.g && b == o.b; }
};

struct Image {
  int width = 0, height = 0;
  std::vector<Rgb> pixels;
  Rgb At(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
};

// 24-bit uncompressed BMP, bottom-up or top-down; nothing else is expected from the generator.
inline std::optional<Image> ReadBmp24(const std::string& path) {
  const std::vector<uint8_t> b = ReadAll(path);
  if (b.size() < 54 || b[0] != 'B' || b[1] != 'M' || Le16(b, 28) != 24 || Le32(b, 30) != 0) return std::nullopt;
  Image img;
  img.width = static_cast<int32_t>(Le32(b, 18));
  const int32_t rawHeight = static_cast<int32_t>(Le32(b, 22));
  img.height = rawHeight < 0 ? -rawHeight : rawHeight;
  const size_t offset = Le32(b, 10), row = (static_cast<size_t>(img.width) * 3 + 3) & ~size_t{3};
  if (img.width <= 0 || img.height <= 0 || offset + row * img.height > b.size()) return std::nullopt;
  img.pixels.resize(static_cast<size_t>(img.width) * img.height);
  for (int y = 0; y < img.height; ++y) {
    const size_t base = offset + row * static_cast<size_t>(rawHeight > 0 ? img.height - 1 - y : y);
    for (int x = 0; x < img.width; ++x)
      img.pixels[static_cast<size_t>(y) * img.width + x] = Rgb{b[base + x * 3 + 2], b[base + x * 3 + 1], b[base + x * 3]};
  }
  return img;
}

struct Chunk {
  std::string id;
  size_t body;  // offset of the body in the file
  uint32_t size;
};

struct Wav {
  bool riffWave = false;
  std::vector<Chunk> chunks;
  int formatTag = 0, channels = 0, bits = 0;
  uint32_t rate = 0;
  std::vector<double> samples;  // interleaved, -1 .. 1
};

// Walks the chunks from byte 12 the way the game's reader does: no pad byte after odd bodies.
inline Wav ParseWav(const std::vector<uint8_t>& b) {
  Wav w;
  if (b.size() < 12) return w;
  w.riffWave = std::string(b.begin(), b.begin() + 4) == "RIFF" && std::string(b.begin() + 8, b.begin() + 12) == "WAVE";
  for (size_t at = 12; at + 8 <= b.size();) {
    const Chunk c{std::string(b.begin() + static_cast<long>(at), b.begin() + static_cast<long>(at) + 4), at + 8,
                  Le32(b, at + 4)};
    w.chunks.push_back(c);
    if (c.id == "fmt " && c.size >= 16 && c.body + 16 <= b.size()) {
      w.formatTag = static_cast<int>(Le16(b, c.body));
      w.channels = static_cast<int>(Le16(b, c.body + 2));
      w.rate = Le32(b, c.body + 4);
      w.bits = static_cast<int>(Le16(b, c.body + 14));
    }
    if (c.id == "data" && c.body + c.size <= b.size()) {
      if (w.bits == 8)
        for (size_t i = 0; i < c.size; ++i) w.samples.push_back((b[c.body + i] - 128) / 128.0);
      if (w.bits == 16)
        for (size_t i = 0; i + 1 < c.size; i += 2)
          w.samples.push_back(static_cast<int16_t>(Le16(b, c.body + i)) / 32768.0);
    }
    at = c.body + c.size;
  }
  return w;
}

inline double PeakDb(const std::vector<double>& samples) {
  double peak = 0;
  for (double s : samples) peak = std::max(peak, std::fabs(s));
  return 20 * std::log10(peak);
}

}  // namespace asset_files
