#include "launcher/ini_document.h"

#include <fcntl.h>
#include <strings.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <fstream>
#include <sstream>

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
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    Parse({});
    return ::access(path.c_str(), F_OK) != 0 && errno == ENOENT;
  }
  std::stringstream text;
  text << in.rdbuf();
  if (in.bad()) return false;
  Parse(text.str());
  return true;
}

void IniDocument::Parse(const std::string& text) {
  lines_.clear();
  lineEnd_ = text.find("\r\n") != std::string::npos ? "\r\n" : "\n";
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines_.push_back(line);
  }
}

std::string IniDocument::Text() const {
  std::string text;
  for (const std::string& line : lines_) text += line + lineEnd_;
  return text;
}

bool IniDocument::Save(const std::string& path, std::string* error) const {
  const std::string temp = path + ".tmp" + std::to_string(::getpid());
  const std::string text = Text();
  auto fail = [&](const char* what) {
    if (error) *error = std::string(what) + " " + temp + ": " + std::strerror(errno);
    ::unlink(temp.c_str());
    return false;
  };
  const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  if (fd < 0) return fail("Cannot create");
  size_t done = 0;
  while (done < text.size()) {
    const ssize_t n = ::write(fd, text.data() + done, text.size() - done);
    if (n < 0) {
      if (errno == EINTR) continue;
      ::close(fd);
      return fail("Cannot write");
    }
    done += static_cast<size_t>(n);
  }
  if (::fsync(fd) != 0) {
    ::close(fd);
    return fail("Cannot flush");
  }
  if (::close(fd) != 0) return fail("Cannot close");
  if (::rename(temp.c_str(), path.c_str()) != 0) return fail("Cannot rename");
  return true;
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
    if (!lines_.empty() && !Trim(lines_.back()).empty()) lines_.push_back({});
    lines_.push_back("[" + section + "]");
    lines_.push_back(key + "=" + Encode(value));
    return true;
  }
  const long line = FindKey(header, key);
  if (line >= 0) {
    std::string& text = lines_[static_cast<size_t>(line)];
    text = Trim(text.substr(0, text.find('='))) + "=" + Encode(value);
    return true;
  }
  lines_.insert(lines_.begin() + static_cast<long>(SectionEnd(header)), key + "=" + Encode(value));
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
