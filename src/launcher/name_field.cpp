#include "launcher/name_field.h"

#include "common/utf8_text.h"
#include "launcher/suite_options.h"

namespace hubbix {

namespace {

bool Continuation(char c) { return (static_cast<unsigned char>(c) & 0xC0) == 0x80; }

}  // namespace

void NameField::SetText(const std::string& text) {
  text_ = text;
  caret_ = text_.size();
  problem_.clear();
}

bool NameField::Insert(uint32_t codePoint) {
  const bool character = codePoint <= 0x10FFFF && (codePoint < 0xD800 || codePoint > 0xDFFF);
  if (!character || codePoint < 0x20 || codePoint == 0x7F) {
    problem_ = "That key does not type a letter.";
    return false;
  }
  const std::string bytes = utf8::Encode(static_cast<char32_t>(codePoint));
  std::string changed = text_;
  changed.insert(caret_, bytes);
  // Blanks at either end are removed when a name is stored; typing one is fine while the name goes on.
  std::string reason;
  if (SuiteOptions::CheckName(changed, font_, &reason).empty() && changed.find_first_not_of(' ') != std::string::npos) {
    // The rule's reason names the letter, with its number for a letter the font cannot show.
    problem_ = reason;
    return false;
  }
  text_ = std::move(changed);
  caret_ += bytes.size();
  problem_.clear();
  return true;
}

void NameField::Backspace() {
  if (caret_ == 0) return;
  size_t start = caret_ - 1;
  while (start > 0 && Continuation(text_[start])) --start;
  text_.erase(start, caret_ - start);
  caret_ = start;
  problem_.clear();
}

void NameField::Delete() {
  if (caret_ >= text_.size()) return;
  CaretRight();
  Backspace();
}

void NameField::CaretLeft() {
  if (caret_ == 0) return;
  --caret_;
  while (caret_ > 0 && Continuation(text_[caret_])) --caret_;
}

void NameField::CaretRight() {
  if (caret_ >= text_.size()) return;
  ++caret_;
  while (caret_ < text_.size() && Continuation(text_[caret_])) ++caret_;
}

}  // namespace hubbix
