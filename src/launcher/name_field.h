#pragma once
// A one-line text field for a player's name: UTF-8 text, a caret that moves by whole characters, Backspace and
// Delete. Every change is offered to the suite's one name rule first, so the field never holds a name the
// launcher would refuse to store, except an empty one; a refused change leaves the text as it was and says why.
#include <cstdint>
#include <string>

class BitmapFont;

namespace hubbix {

class NameField {
 public:
  // The game's font, whose letters a name may use (not owned; null: plain ASCII).
  void SetFont(const BitmapFont* font) { font_ = font; }
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
  const BitmapFont* font_ = nullptr;
  std::string text_;
  size_t caret_ = 0;
  std::string problem_;
};

}  // namespace hubbix
