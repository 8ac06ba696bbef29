#include "launcher/terminal_text.h"

#include <cstdio>

namespace hubbix {

namespace {

void AppendEscaped(std::string* out, unsigned char byte) {
  char code[8];
  std::snprintf(code, sizeof code, "\\x%02X", byte);
  *out += code;
}

}  // namespace

std::string TerminalSafe(const std::string& text) {
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    const auto c = static_cast<unsigned char>(text[i]);
    if (c < 0x20 || c == 0x7F) {
      AppendEscaped(&out, c);
    } else if (c == 0xC2 && i + 1 < text.size() && static_cast<unsigned char>(text[i + 1]) >= 0x80 &&
               static_cast<unsigned char>(text[i + 1]) <= 0x9F) {
      // U+0080 to U+009F: terminals that read UTF-8 may take these as controls too (U+009B opens a sequence).
      AppendEscaped(&out, c);
      AppendEscaped(&out, static_cast<unsigned char>(text[++i]));
    } else {
      out += static_cast<char>(c);
    }
  }
  return out;
}

}  // namespace hubbix
