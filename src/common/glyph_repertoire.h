#pragma once
// What the glyph sheet holds, in sheet order: the 94 printable ASCII characters, then the letters of Latin-1 and
// Latin Extended-A (the inverted exclamation mark U+00A1 to U+017F, one run of code points), so that names such as
// "Zoë Ærø" and "Émile" can be drawn. The sheet's generator and the game's font both read this list.
namespace glyphs {

inline constexpr char32_t kFirstAscii = 33, kLastAscii = 126;
inline constexpr char32_t kFirstExtra = 0xA1, kLastExtra = 0x17F;
inline constexpr int kAsciiCount = static_cast<int>(kLastAscii - kFirstAscii + 1);  // 94
inline constexpr int kExtraCount = static_cast<int>(kLastExtra - kFirstExtra + 1);  // 223
// The soft hyphen has no ink of its own; the sheet shows it as a hyphen.
inline constexpr char32_t kSoftHyphen = 0xAD;

}  // namespace glyphs
