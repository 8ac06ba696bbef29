#include "platform/host/profile.h"

#include <strings.h>

#include <climits>
#include <cstring>
#include <fstream>
#include <sstream>

#include "platform/host/file_names.h"

namespace platform {

namespace {

std::string Trim(const std::string& s) {
  size_t a = s.find_first_not_of(" \t\r\n");
  if (a == std::string::npos) return {};
  size_t b = s.find_last_not_of(" \t\r\n");
  return s.substr(a, b - a + 1);
}

std::string Unquote(const std::string& s) {
  if (s.size() >= 2 && (s.front() == '"' || s.front() == '\'') && s.back() == s.front())
    return s.substr(1, s.size() - 2);
  return s;
}

// Looks the key up; the first matching section and the first matching key in it win.
bool Lookup(const std::string& fileName, const std::string& section, const std::string& key, std::string* value) {
  std::string text;
  if (!ReadRegularFile(HostPath(fileName), &text)) return false;
  std::istringstream in(text);
  std::string line;
  bool inSection = false, sawSection = false;
  while (std::getline(in, line)) {
    std::string t = Trim(line);
    if (t.empty() || t[0] == ';') continue;
    if (t[0] == '[') {
      size_t close = t.find(']');
      std::string name = Trim(t.substr(1, close == std::string::npos ? std::string::npos : close - 1));
      if (inSection) return false;  // the first section of that name ended without the key
      inSection = !sawSection && ::strcasecmp(name.c_str(), section.c_str()) == 0;
      sawSection = sawSection || inSection;
      continue;
    }
    if (!inSection) continue;
    size_t eq = t.find('=');
    if (eq == std::string::npos) continue;
    if (::strcasecmp(Trim(t.substr(0, eq)).c_str(), key.c_str()) == 0) {
      *value = Unquote(Trim(t.substr(eq + 1)));
      return true;
    }
  }
  return false;
}

}  // namespace

uint32_t GetPrivateProfileString(const char* section, const char* key, const char* defaultValue, char* buffer,
                                 uint32_t size, const char* fileName) {
  if (!buffer || size == 0) return 0;
  std::string value;
  if (!section || !key || !fileName || !Lookup(fileName, section, key, &value))
    value = defaultValue ? Trim(defaultValue) : std::string();
  size_t n = std::min<size_t>(value.size(), size - 1);
  std::memcpy(buffer, value.data(), n);
  buffer[n] = 0;
  return static_cast<uint32_t>(n);
}

std::string ReadProfileString(const std::string& fileName, const std::string& section, const std::string& key,
                              const std::string& defaultValue, uint32_t bufferSize) {
  std::string buffer(bufferSize == 0 ? 1 : bufferSize, '\0');
  uint32_t n = GetPrivateProfileString(section.c_str(), key.c_str(), defaultValue.c_str(), buffer.data(),
                                       bufferSize, fileName.c_str());
  buffer.resize(n);
  return buffer;
}

int ProfileInt(const char* text) {
  if (!text) return 0;
  while (*text == ' ' || *text == '\t') ++text;
  bool negative = false;
  if (*text == '+' || *text == '-') negative = *text++ == '-';
  long long v = 0;
  while (*text >= '0' && *text <= '9') {
    v = v * 10 + (*text++ - '0');
    if (v > INT_MAX) v = INT_MAX;  // saturate rather than wrap on absurd settings
  }
  return static_cast<int>(negative ? -v : v);
}

}  // namespace platform
