#pragma once
// Proportional text from one sheet holding the glyphs of characters 33 to 126 side by side on pure blue. Each
// glyph's edges are found by scanning the sheet's columns; the space and the gap between letters follow from the
// widest glyph. After the ASCII glyphs a sheet may hold the letters of Latin-1 and Latin Extended-A
// (common/glyph_repertoire.h), drawn from UTF-8 text by the Utf8 operations; they change nothing for ASCII.
#include <cstdint>
#include <string_view>

#include "common/glyph_repertoire.h"
#include "common/utf8_text.h"
#include "platform/video/surface.h"

class BitmapFont {
 public:
  static constexpr int32_t kFirstChar = 33;
  static constexpr int32_t kLastChar = 126;
  static constexpr int32_t kGlyphCount = kLastChar - kFirstChar + 1;  // 94

  struct Glyph {
    int32_t start = 0;  // first column on the sheet, -1 when absent
    int32_t end = 0;    // first empty column after the glyph, -1 when absent
    int32_t width = 0;  // end - start
  };

  BitmapFont() = default;
  ~BitmapFont();
  BitmapFont(const BitmapFont&) = delete;
  BitmapFont& operator=(const BitmapFont&) = delete;

  // 1 when the sheet loaded and held all 94 glyphs; on 0 the font has no sheet and measures everything as 0.
  int32_t Load(const char* file);
  // The advance used for measuring: a glyph's width plus spacing, or the space width for anything else.
  int32_t CharAdvance(char c) const;
  int32_t TextWidth(const char* text) const;
  // Returns the distance actually moved: nothing is drawn, and 0 returned, for characters without a glyph.
  int32_t DrawGlyph(platform::Surface* destination, char c, int32_t x, int32_t y) const;
  // Alignment 0: left, starting at x, stopping before the first character whose advance would reach `limit`
  // (-1: no limit). Alignment 1: right, ending at x. Anything else draws nothing. Always 1.
  int32_t DrawText(platform::Surface* destination, const char* text, int32_t x, int32_t y, int32_t alignment,
                   int32_t limit) const;

  int32_t Height() const { return height; }
  int32_t SpaceWidth() const { return spaceWidth; }
  int32_t Spacing() const { return spacing; }
  bool HasGlyph(char c) const;
  const Glyph& GlyphOf(char c) const { return glyphs[static_cast<signed char>(c) - kFirstChar]; }
  bool IsLoaded() const { return surface != nullptr; }

  // UTF-8 text, one letter at a time: a letter with a glyph (ASCII or beyond) and the space draw as in DrawText;
  // any other letter, and each byte that is not UTF-8, measures and moves as a space and draws nothing.
  bool HasLetter(char32_t code) const;
  int32_t TextWidthUtf8(std::string_view text) const;
  // Alignment and limit as DrawText. Always 1.
  int32_t DrawTextUtf8(platform::Surface* destination, std::string_view text, int32_t x, int32_t y,
                       int32_t alignment, int32_t limit) const;

 private:
  void Clear();
  const Glyph* LetterGlyph(char32_t code) const;
  int32_t LetterAdvance(const utf8::Letter& letter) const;
  void DrawLetter(platform::Surface* destination, const utf8::Letter& letter, int32_t x, int32_t y) const;

  platform::Surface* surface = nullptr;
  int32_t height = 0;
  int32_t spaceWidth = 0;
  int32_t spacing = 0;
  Glyph glyphs[kGlyphCount];
  Glyph extraGlyphs[glyphs::kExtraCount];  // index = code point - glyphs::kFirstExtra
};
