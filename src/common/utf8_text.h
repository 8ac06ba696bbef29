#pragma once
// UTF-8 read one letter at a time. Player names are kept as UTF-8; a byte that does not begin a well-formed
// sequence is handed back on its own, so text in any other encoding still reads, byte by byte.
#include <cstddef>
#include <string>
#include <string_view>

namespace utf8 {

struct Letter {
  char32_t code = 0;  // the code point, or the lone byte when `valid` is false
  size_t bytes = 0;   // how many bytes of the text it took (1 for a lone byte)
  bool valid = false;
};

// The letter that begins at `at`; an empty letter (0 bytes) at or past the end of the text.
Letter LetterAt(std::string_view text, size_t at);
bool IsValid(std::string_view text);
// Letters, counting each byte that is not part of a well-formed sequence as one.
size_t LetterCount(std::string_view text);
std::string Encode(char32_t code);
// "U+00EB" style, for messages.
std::string CodePointName(char32_t code);

}  // namespace utf8
