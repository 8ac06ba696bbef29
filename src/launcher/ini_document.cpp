#include "launcher/ini_document.h"

#include <strings.h>

#include <cerrno>

#include "platform/host/atomic_file.h"
#include "platform/host/file_names.h"

namespace hubbix {

namespace {

std::string Trim(const std::string& s) {
  const size_t a = s.find_first_not_of(" \t\r\n");
  if (a == std::string::npos) return {};
  const size_t b = s.find_last_not_of(" \t\r\n");
  return s.substr(a, b - a + 1);
}

bool SameName(const std::string& a, const std::string& b) { return ::strcasecmp(a.c_str(), b.c_str()) == 0; }

bool IsHeader(const std::string& trimmed) { return !trimmed.empty() && trimmed[0] == '['; }

std::string HeaderName(const std::string& trimmed) {
  const size_t close = trimmed.find(']');
  return Trim(trimmed.substr(1, close == std::string::npos ? std::string::npos : close - 1));
}

bool IsComment(const std::string& trimmed) { return trimmed.empty() || trimmed[0] == ';'; }

std::string Unquote(const std::string& s) {
  if (s.size() >= 2 && (s.front() == '"' || s.front() == '\'') && s.back() == s.front())
    return s.substr(1, s.size() - 2);
  return s;
}

// A value the reader would change (outer blanks, outer quotes) is wrapped in one more pair of quotes.
std::string Encode(const std::string& value) {
  if (value.empty()) return value;
  const bool blanks = Trim(value) != value;
  const bool quoted = Unquote(value) != value;
  return blanks || quoted ? "\"" + value + "\"" : value;
}

bool HasLineBreak(const std::string& s) { return s.find_first_of("\r\n") != std::string::npos; }

}  // namespace

bool IniDocument::Load(const std::string& path) {
  std::string text;
  if (!platform::ReadRegularFile(path, &text)) {
    const int error = errno;
    Parse({});
    errno = error;
    return error == ENOENT;
  }
  Parse(text);
  return true;
}

void IniDocument::Parse(const std::string& text) {
  lines_.clear();
  ends_.clear();
  lineEnd_ = text.find("\r\n") != std::string::npos ? "\r\n" : "\n";
  size_t start = 0;
  while (start < text.size()) {
    const size_t lf = text.find('\n', start);
    const size_t stop = lf == std::string::npos ? text.size() : lf;
    const bool cr = stop > start && text[stop - 1] == '\r';
    lines_.push_back(text.substr(start, stop - start - (cr ? 1 : 0)));
    ends_.push_back(lf == std::string::npos ? (cr ? "\r" : "") : (cr ? "\r\n" : "\n"));
    start = lf == std::string::npos ? text.size() : lf + 1;
  }
}

std::string IniDocument::Text() const {
  std::string text;
  for (size_t i = 0; i < lines_.size(); ++i) {
    const std::string& end = i < ends_.size() ? ends_[i] : std::string();
    // A last line without its end gets one when the launcher added lines after it, and the file ends as before.
    text += lines_[i] + (end.empty() || end == "\r" ? (i + 1 < lines_.size() ? lineEnd_ : end) : end);
  }
  return text;
}

bool IniDocument::Save(const std::string& path, std::string* error) const {
  const std::string text = Text();
  return platform::ReplaceHostFile(path, text.data(), text.size(), error);
}

long IniDocument::FindSection(const std::string& section) const {
  for (size_t i = 0; i < lines_.size(); ++i) {
    const std::string t = Trim(lines_[i]);
    if (IsHeader(t) && SameName(HeaderName(t), section)) return static_cast<long>(i);
  }
  return -1;
}

long IniDocument::FindKey(long header, const std::string& key) const {
  for (size_t i = static_cast<size_t>(header) + 1; i < lines_.size(); ++i) {
    const std::string t = Trim(lines_[i]);
    if (IsComment(t)) continue;
    if (IsHeader(t)) break;
    const size_t eq = t.find('=');
    if (eq != std::string::npos && SameName(Trim(t.substr(0, eq)), key)) return static_cast<long>(i);
  }
  return -1;
}

size_t IniDocument::SectionEnd(long header) const {
  size_t end = static_cast<size_t>(header) + 1;
  for (size_t i = end; i < lines_.size(); ++i) {
    const std::string t = Trim(lines_[i]);
    if (IsHeader(t)) break;
    if (!t.empty()) end = i + 1;
  }
  return end;
}

void IniDocument::AddLine(size_t at, const std::string& line) {
  ends_.resize(lines_.size());
  lines_.insert(lines_.begin() + static_cast<long>(at), line);
  ends_.insert(ends_.begin() + static_cast<long>(at), lineEnd_);
}

bool IniDocument::HasSection(const std::string& section) const { return FindSection(section) >= 0; }

std::optional<std::string> IniDocument::Get(const std::string& section, const std::string& key) const {
  const long header = FindSection(section);
  if (header < 0) return std::nullopt;
  const long line = FindKey(header, key);
  if (line < 0) return std::nullopt;
  const std::string t = Trim(lines_[static_cast<size_t>(line)]);
  return Unquote(Trim(t.substr(t.find('=') + 1)));
}

std::string IniDocument::Get(const std::string& section, const std::string& key,
                             const std::string& defaultValue) const {
  return Get(section, key).value_or(defaultValue);
}

bool IniDocument::Set(const std::string& section, const std::string& key, const std::string& value) {
  if (Trim(section).empty() || Trim(key).empty() || HasLineBreak(section) || HasLineBreak(key) ||
      HasLineBreak(value) || section.find(']') != std::string::npos || key.find('=') != std::string::npos ||
      Trim(key)[0] == '[' || Trim(key)[0] == ';')
    return false;
  const long header = FindSection(section);
  if (header < 0) {
    if (!lines_.empty() && !Trim(lines_.back()).empty()) AddLine(lines_.size(), {});
    AddLine(lines_.size(), "[" + section + "]");
    AddLine(lines_.size(), key + "=" + Encode(value));
    return true;
  }
  const long line = FindKey(header, key);
  if (line >= 0) {
    std::string& text = lines_[static_cast<size_t>(line)];
    text = Trim(text.substr(0, text.find('='))) + "=" + Encode(value);
    return true;
  }
  AddLine(SectionEnd(header), key + "=" + Encode(value));
  return true;
}

void IniDocument::RemoveSection(const std::string& section) {
  for (long header = FindSection(section); header >= 0; header = FindSection(section)) {
    // Up to the next header, so blank lines and comments inside the section go with it.
    size_t end = static_cast<size_t>(header) + 1;
    while (end < lines_.size() && !IsHeader(Trim(lines_[end]))) ++end;
    lines_.erase(lines_.begin() + header, lines_.begin() + static_cast<long>(end));
  }
}

}  // namespace hubbix
