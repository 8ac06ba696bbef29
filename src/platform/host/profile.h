#pragma once
// Reading ini ("profile") files with the rules the game relies on: section and key names compare
// without regard to case, a missing file, section or key gives the default, surrounding blanks and one pair of
// matching quotes are removed, and the value is cut to the buffer size minus one.
#include <cstdint>
#include <string>

namespace platform {

// Copies the value into buffer (always terminated when size > 0) and returns the number of characters copied.
uint32_t GetPrivateProfileString(const char* section, const char* key, const char* defaultValue, char* buffer,
                                 uint32_t size, const char* fileName);
std::string ReadProfileString(const std::string& fileName, const std::string& section, const std::string& key,
                              const std::string& defaultValue, uint32_t bufferSize);
// The decimal integer at the start of the text: optional blanks and sign, then digits; no digits gives 0.
int ProfileInt(const char* text);

}  // namespace platform
