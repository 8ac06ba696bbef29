#include "common/utf8_text.h"

#include <cstdio>

namespace utf8 {

Letter LetterAt(std::string_view text, size_t at) {
  if (at >= text.size()) return {};
  const auto byte = [&](size_t i) { return static_cast<unsigned char>(text[i]); };
  const unsigned char lead = byte(at);
  if (lead < 0x80) return {lead, 1, true};
  size_t length = 0;
  char32_t code = 0;
  char32_t lowest = 0;  // below this the sequence is an overlong form
  if (lead >= 0xC2 && lead <= 0xDF) length = 2, code = lead & 0x1F, lowest = 0x80;
  else if (lead >= 0xE0 && lead <= 0xEF) length = 3, code = lead & 0x0F, lowest = 0x800;
  else if (lead >= 0xF0 && lead <= 0xF4) length = 4, code = lead & 0x07, lowest = 0x10000;
  const Letter lone{lead, 1, false};
  if (length == 0 || at + length > text.size()) return lone;
  for (size_t i = 1; i < length; ++i) {
    if ((byte(at + i) & 0xC0) != 0x80) return lone;
    code = (code << 6) | (byte(at + i) & 0x3F);
  }
  if (code < lowest || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) return lone;
  return {code, length, true};
}

bool IsValid(std::string_view text) {
  for (size_t at = 0; at < text.size();) {
    const Letter letter = LetterAt(text, at);
    if (!letter.valid) return false;
    at += letter.bytes;
  }
  return true;
}

size_t LetterCount(std::string_view text) {
  size_t count = 0;
  for (size_t at = 0; at < text.size(); ++count) at += LetterAt(text, at).bytes;
  return count;
}

std::string Encode(char32_t code) {
  std::string out;
  if (code < 0x80) {
    out += static_cast<char>(code);
  } else if (code < 0x800) {
    out += static_cast<char>(0xC0 | (code >> 6));
    out += static_cast<char>(0x80 | (code & 0x3F));
  } else if (code < 0x10000) {
    out += static_cast<char>(0xE0 | (code >> 12));
    out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (code & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (code >> 18));
    out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (code & 0x3F));
  }
  return out;
}

std::string CodePointName(char32_t code) {
  char text[16];
  std::snprintf(text, sizeof text, "U+%04X", static_cast<unsigned>(code));
  return text;
}

}  // namespace utf8
