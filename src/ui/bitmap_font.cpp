#include "ui/bitmap_font.h"

#include <cstring>
#include <vector>

#include "common/game_rules.h"
#include "gfx/surface_utils.h"
#include "zk/zk.h"

namespace {

bool InGlyphRange(int32_t code) { return code >= BitmapFont::kFirstChar && code <= BitmapFont::kLastChar; }

int32_t CodeOf(char c) { return static_cast<signed char>(c); }  // codes 128..255 are negative, outside the range

}  // namespace

BitmapFont::~BitmapFont() { Clear(); }

void BitmapFont::Clear() {
  if (surface) surface->Release();
  surface = nullptr;
  height = spaceWidth = spacing = 0;
  for (Glyph& glyph : glyphs) glyph = Glyph();
  for (Glyph& glyph : extraGlyphs) glyph = Glyph{-1, -1, 0};
}

int32_t BitmapFont::Load(const char* file) {
  Clear();
  surface = ZKLoadBitmap(file, 16);
  if (!surface) return 0;
  int32_t sheetWidth = 0;
  GetSurfaceSize(surface, &sheetWidth, &height);
  SetColorKeyRGB(surface, rules::kKeyColour.r, rules::kKeyColour.g, rules::kKeyColour.b);
  const uint16_t key = RGBToPixel(surface, rules::kKeyColour.r, rules::kKeyColour.g, rules::kKeyColour.b);

  // Which columns hold nothing but blue, read under one lock.
  std::vector<bool> emptyColumn(static_cast<size_t>(sheetWidth), true);
  platform::SurfaceDesc desc;
  const uint8_t* pixels = static_cast<const uint8_t*>(LockSurface(surface, &desc));
  for (int32_t y = 0; pixels && y < height; ++y) {
    const uint16_t* row = reinterpret_cast<const uint16_t*>(pixels + static_cast<size_t>(y) * desc.lPitch);
    for (int32_t x = 0; x < sheetWidth; ++x)
      if (row[x] != key) emptyColumn[static_cast<size_t>(x)] = false;
  }
  UnlockSurface(surface);
  auto isEmpty = [&](int32_t x) { return x >= sheetWidth || emptyColumn[static_cast<size_t>(x)]; };

  int32_t column = 0;
  // The next glyph from `column` on; false when the sheet has no more.
  auto scanGlyph = [&](Glyph& glyph) {
    glyph.start = glyph.end = -1;
    while (column < sheetWidth && isEmpty(column)) ++column;
    if (column >= sheetWidth) return false;
    glyph.start = column;
    while (!isEmpty(column)) ++column;
    glyph.end = column;
    glyph.width = glyph.end - glyph.start;
    column = glyph.end + 1;  // the empty column after a glyph is never the start of the next
    return true;
  };
  int32_t maxWidth = 0;
  for (Glyph& glyph : glyphs) {
    if (!scanGlyph(glyph)) {
      // A sheet with fewer than 94 glyphs would leave the metrics unset; keep the font unusable but harmless.
      Clear();
      return 0;
    }
    if (glyph.width > maxWidth) maxWidth = glyph.width;
  }
  // The space and the gap come from the ASCII glyphs alone, so letters further on the sheet cannot move them.
  spaceWidth = static_cast<int32_t>(static_cast<float>(maxWidth) * 0.5f);
  spacing = static_cast<int32_t>(static_cast<float>(maxWidth) * 0.1f);
  // A sheet of ASCII alone is complete: the letters beyond it are simply absent.
  for (Glyph& glyph : extraGlyphs)
    if (!scanGlyph(glyph)) break;
  return 1;
}

bool BitmapFont::HasGlyph(char c) const {
  int32_t code = CodeOf(c);
  return InGlyphRange(code) && glyphs[code - kFirstChar].start != -1 && surface;
}

int32_t BitmapFont::CharAdvance(char c) const {
  int32_t code = CodeOf(c);
  if (InGlyphRange(code)) return glyphs[code - kFirstChar].width + spacing;
  return spaceWidth;
}

int32_t BitmapFont::TextWidth(const char* text) const {
  int32_t width = 0;
  for (; *text; ++text) width += CharAdvance(*text);
  return width;
}

int32_t BitmapFont::DrawGlyph(platform::Surface* destination, char c, int32_t x, int32_t y) const {
  int32_t code = CodeOf(c);
  if (code == ' ') return spaceWidth;
  if (!InGlyphRange(code)) return 0;
  const Glyph& glyph = glyphs[code - kFirstChar];
  if (glyph.start == -1 || glyph.end == -1 || !surface || !destination) return 0;
  platform::Rect from{glyph.start, 0, glyph.end, height};
  platform::Rect to{x, y, x + glyph.width, y + height};
  // Unclipped on purpose: a rectangle outside the destination is refused by the blit, not drawn in part.
  destination->Blt(&to, surface, &from, kTransparentBltFlags, nullptr);
  return glyph.width + spacing;
}

int32_t BitmapFont::DrawText(platform::Surface* destination, const char* text, int32_t x, int32_t y,
                             int32_t alignment, int32_t limit) const {
  if (!text) return 1;
  char line[256];
  std::strncpy(line, text, sizeof line - 1);
  line[sizeof line - 1] = '\0';
  if (alignment == 0) {
    for (const char* c = line; *c; ++c) {
      if (limit != -1 && x + CharAdvance(*c) >= limit) break;
      x += DrawGlyph(destination, *c, x, y);
    }
  } else if (alignment == 1) {
    for (int32_t i = static_cast<int32_t>(std::strlen(line)) - 1; i >= 0; --i) {
      x -= CharAdvance(line[i]);
      DrawGlyph(destination, line[i], x, y);
    }
  }
  return 1;
}

const BitmapFont::Glyph* BitmapFont::LetterGlyph(char32_t code) const {
  if (code >= glyphs::kFirstAscii && code <= glyphs::kLastAscii) return &glyphs[code - glyphs::kFirstAscii];
  if (code >= glyphs::kFirstExtra && code <= glyphs::kLastExtra) return &extraGlyphs[code - glyphs::kFirstExtra];
  return nullptr;
}

bool BitmapFont::HasLetter(char32_t code) const {
  if (!surface) return false;
  if (code == ' ') return true;
  const Glyph* glyph = LetterGlyph(code);
  return glyph && glyph->start != -1 && glyph->end != -1;
}

int32_t BitmapFont::LetterAdvance(const utf8::Letter& letter) const {
  if (letter.valid && letter.code != ' ' && HasLetter(letter.code)) return LetterGlyph(letter.code)->width + spacing;
  return spaceWidth;
}

void BitmapFont::DrawLetter(platform::Surface* destination, const utf8::Letter& letter, int32_t x,
                            int32_t y) const {
  if (!letter.valid || letter.code == ' ' || !HasLetter(letter.code) || !destination) return;
  const Glyph& glyph = *LetterGlyph(letter.code);
  platform::Rect from{glyph.start, 0, glyph.end, height};
  platform::Rect to{x, y, x + glyph.width, y + height};
  destination->Blt(&to, surface, &from, kTransparentBltFlags, nullptr);
}

int32_t BitmapFont::TextWidthUtf8(std::string_view text) const {
  int32_t width = 0;
  for (size_t at = 0; at < text.size();) {
    const utf8::Letter letter = utf8::LetterAt(text, at);
    width += LetterAdvance(letter);
    at += letter.bytes;
  }
  return width;
}

int32_t BitmapFont::DrawTextUtf8(platform::Surface* destination, std::string_view text, int32_t x, int32_t y,
                                 int32_t alignment, int32_t limit) const {
  std::vector<utf8::Letter> letters;
  for (size_t at = 0; at < text.size(); at += letters.back().bytes) letters.push_back(utf8::LetterAt(text, at));
  if (alignment == 0) {
    for (const utf8::Letter& letter : letters) {
      const int32_t advance = LetterAdvance(letter);
      if (limit != -1 && x + advance >= limit) break;
      DrawLetter(destination, letter, x, y);
      x += advance;
    }
  } else if (alignment == 1) {
    for (auto letter = letters.rbegin(); letter != letters.rend(); ++letter) {
      x -= LetterAdvance(*letter);
      DrawLetter(destination, *letter, x, y);
    }
  }
  return 1;
}
