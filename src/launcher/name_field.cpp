#include "launcher/name_field.h"

#include <cstdio>

#include "launcher/suite_options.h"

namespace hubbix {

namespace {

bool Continuation(char c) { return (static_cast<unsigned char>(c) & 0xC0) == 0x80; }

}  // namespace

std::string EncodeUtf8(uint32_t c) {
  std::string s;
  if (c < 0x80) {
    s += static_cast<char>(c);
  } else if (c < 0x800) {
    s += static_cast<char>(0xC0 | (c >> 6));
    s += static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    if (c >= 0xD800 && c <= 0xDFFF) return {};
    s += static_cast<char>(0xE0 | (c >> 12));
    s += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    s += static_cast<char>(0x80 | (c & 0x3F));
  } else if (c <= 0x10FFFF) {
    s += static_cast<char>(0xF0 | (c >> 18));
    s += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
    s += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    s += static_cast<char>(0x80 | (c & 0x3F));
  }
  return s;
}

void NameField::SetText(const std::string& text) {
  text_ = text;
  caret_ = text_.size();
  problem_.clear();
}

bool NameField::Insert(uint32_t codePoint) {
  const std::string bytes = EncodeUtf8(codePoint);
  if (bytes.empty() || codePoint < 0x20 || codePoint == 0x7F) {
    problem_ = "That key does not type a letter.";
    return false;
  }
  std::string changed = text_;
  changed.insert(caret_, bytes);
  // Blanks at either end are removed when a name is stored; typing one is fine while the name goes on.
  std::string reason;
  if (SuiteOptions::CheckName(changed, &reason).empty() && changed.find_first_not_of(' ') != std::string::npos) {
    const bool tooLong = changed.size() > SuiteOptions::kMaxNameLength;
    // The letter may be one the font cannot draw, so its number is given too.
    char number[16];
    std::snprintf(number, sizeof number, "U+%04X", static_cast<unsigned>(codePoint));
    problem_ = tooLong ? reason : "\"" + bytes + "\" (" + number + ") is refused. " + reason;
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
