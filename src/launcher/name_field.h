#pragma once
// A one-line text field for a player's name: UTF-8 text, a caret that moves by whole characters, Backspace and
// Delete. Every change is offered to the suite's one name rule first, so the field never holds a name the
// launcher would refuse to store, except an empty one; a refused change leaves the text as it was and says why.
#include <cstdint>
#include <string>

namespace hubbix {

class NameField {
 public:
  const std::string& Text() const { return text_; }
  // Byte offset of the caret in Text(), always at the start of a character.
  size_t Caret() const { return caret_; }
  // Why the last change was refused; empty after a change that was taken.
  const std::string& Problem() const { return problem_; }

  void SetText(const std::string& text);
  void Clear() { SetText({}); }
  // Inserts one character (a Unicode code point) at the caret. False, with Problem() set, when refused.
  bool Insert(uint32_t codePoint);
  void Backspace();
  void Delete();
  void CaretLeft();
  void CaretRight();
  void CaretHome() { caret_ = 0; }
  void CaretEnd() { caret_ = text_.size(); }

 private:
  std::string text_;
  size_t caret_ = 0;
  std::string problem_;
};

// The UTF-8 bytes of one code point; empty for values that are no character (surrogates, beyond U+10FFFF).
std::string EncodeUtf8(uint32_t codePoint);

}  // namespace hubbix
