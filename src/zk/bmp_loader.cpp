#include "zk/bmp_loader.h"

#include <cstdio>
#include <cstring>

#include "platform/host/file_names.h"

namespace zk {

namespace {

constexpr int kMaxDimension = 8192;
constexpr uint64_t kMaxFileBytes = 256ull << 20;

uint32_t U32(const uint8_t* p) { return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<uint32_t>(p[3]) << 24); }
uint16_t U16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }

// Position and width of a bit mask, for BI_BITFIELDS and the default 16/32-bit layouts.
struct Channel {
  uint32_t mask = 0;
  int shift = 0;
  int bits = 0;
  explicit Channel(uint32_t m = 0) : mask(m) {
    if (!m) return;
    while (!((m >> shift) & 1)) ++shift;
    while (shift + bits < 32 && ((m >> (shift + bits)) & 1)) ++bits;
  }
  int Expand(uint32_t pixel) const {
    if (!bits) return 0;
    uint32_t v = (pixel & mask) >> shift;
    if (bits >= 8) return static_cast<int>(v >> (bits - 8));
    // Replicate the high bits so that full intensity maps to 255.
    uint32_t out = 0;
    int filled = 0;
    while (filled < 8) {
      out = (out << bits) | v;
      filled += bits;
    }
    return static_cast<int>(out >> (filled - 8));
  }
};

}  // namespace

uint16_t PackRgb(int r, int g, int b, platform::PixelLayout layout) {
  if (layout == platform::PixelLayout::Rgb555)
    return static_cast<uint16_t>(((r >> 3) << 10) | ((g >> 3) << 5) | (b >> 3));
  return static_cast<uint16_t>(((r >> 3) << 11) | ((g >> 2) << 5) | (b >> 3));
}

platform::Surface* DecodeBmp(const std::vector<uint8_t>& file, platform::PixelLayout layout) {
  const size_t size = file.size();
  if (size < 14 + 12 || file[0] != 'B' || file[1] != 'M') return nullptr;
  const uint8_t* d = file.data();
  const uint32_t dataOffset = U32(d + 10);
  const uint32_t headerSize = U32(d + 14);
  if (headerSize < 12 || 14ull + headerSize > size) return nullptr;

  int64_t width, height;
  int bpp;
  uint32_t compression = 0, paletteCount = 0;
  size_t paletteEntrySize = 4;
  Channel red, green, blue;
  if (headerSize == 12) {  // OS/2 core header
    width = U16(d + 18);
    height = static_cast<int16_t>(U16(d + 20));
    bpp = U16(d + 24);
    paletteEntrySize = 3;
  } else {
    if (headerSize < 40) return nullptr;
    width = static_cast<int32_t>(U32(d + 18));
    height = static_cast<int32_t>(U32(d + 22));
    if (U16(d + 26) != 1) return nullptr;  // planes
    bpp = U16(d + 28);
    compression = U32(d + 30);
    paletteCount = U32(d + 46);
  }
  const bool topDown = height < 0;
  if (topDown) height = -height;
  if (width <= 0 || height <= 0 || width > kMaxDimension || height > kMaxDimension) return nullptr;

  const bool bitfields = compression == 3;
  if (compression != 0 && !bitfields) return nullptr;  // run-length files are not used by the game
  if (bitfields && bpp != 16 && bpp != 32) return nullptr;
  if (bpp != 1 && bpp != 4 && bpp != 8 && bpp != 16 && bpp != 24 && bpp != 32) return nullptr;

  if (bitfields) {
    // Masks follow a 40-byte header, or sit inside a V4/V5 header at the same place.
    const size_t maskAt = 14 + 40;
    if (maskAt + 12 > size) return nullptr;
    red = Channel(U32(d + maskAt));
    green = Channel(U32(d + maskAt + 4));
    blue = Channel(U32(d + maskAt + 8));
    if (!red.mask || !green.mask || !blue.mask) return nullptr;
  } else if (bpp == 16) {
    red = Channel(0x7C00), green = Channel(0x03E0), blue = Channel(0x001F);
  } else if (bpp == 32) {
    red = Channel(0x00FF0000), green = Channel(0x0000FF00), blue = Channel(0x000000FF);
  }

  std::vector<uint16_t> palette;
  if (bpp <= 8) {
    uint32_t entries = paletteCount ? paletteCount : (1u << bpp);
    if (entries > 256) return nullptr;
    size_t paletteAt = 14 + headerSize;
    if (paletteAt + entries * paletteEntrySize > size) return nullptr;
    for (uint32_t i = 0; i < entries; ++i) {
      const uint8_t* e = d + paletteAt + i * paletteEntrySize;
      palette.push_back(PackRgb(e[2], e[1], e[0], layout));
    }
  }

  const uint64_t rowBytes = ((static_cast<uint64_t>(width) * bpp + 31) / 32) * 4;
  if (dataOffset >= size || dataOffset + rowBytes * static_cast<uint64_t>(height) > size) return nullptr;

  platform::Surface* surface = platform::Surface::Create(static_cast<int>(width), static_cast<int>(height), layout);
  if (!surface) return nullptr;
  for (int64_t row = 0; row < height; ++row) {
    const uint8_t* src = d + dataOffset + rowBytes * static_cast<uint64_t>(row);
    uint16_t* out = surface->Row16(static_cast<int>(topDown ? row : height - 1 - row));
    if (bpp == 24) {  // all of the game's art: a loop of its own, as start-up reads megabytes of it
      for (int64_t x = 0; x < width; ++x) out[x] = PackRgb(src[x * 3 + 2], src[x * 3 + 1], src[x * 3], layout);
      continue;
    }
    for (int64_t x = 0; x < width; ++x) {
      uint16_t pixel = 0;
      switch (bpp) {
        case 1:
        case 4:
        case 8: {
          const int perByte = 8 / bpp;
          uint8_t byte = src[x / perByte];
          int shift = (perByte - 1 - static_cast<int>(x % perByte)) * bpp;
          uint32_t index = (byte >> shift) & ((1u << bpp) - 1);
          pixel = index < palette.size() ? palette[index] : 0;
          break;
        }
        case 16: {
          uint32_t v = U16(src + x * 2);
          pixel = PackRgb(red.Expand(v), green.Expand(v), blue.Expand(v), layout);
          break;
        }
        case 24: {
          const uint8_t* p = src + x * 3;
          pixel = PackRgb(p[2], p[1], p[0], layout);
          break;
        }
        case 32: {
          uint32_t v = U32(src + x * 4);
          pixel = PackRgb(red.Expand(v), green.Expand(v), blue.Expand(v), layout);
          break;
        }
      }
      out[x] = pixel;
    }
  }
  return surface;
}

platform::Surface* LoadBmpFile(const std::string& hostPath, platform::PixelLayout layout) {
  std::FILE* f = platform::OpenRegularFile(hostPath);
  if (!f) return nullptr;
  std::vector<uint8_t> bytes;
  if (std::fseek(f, 0, SEEK_END) == 0) {
    long length = std::ftell(f);
    if (length > 0 && static_cast<uint64_t>(length) <= kMaxFileBytes) {
      bytes.resize(static_cast<size_t>(length));
      std::rewind(f);
      if (std::fread(bytes.data(), 1, bytes.size(), f) != bytes.size()) bytes.clear();
    }
  }
  std::fclose(f);
  return bytes.empty() ? nullptr : DecodeBmp(bytes, layout);
}

}  // namespace zk
