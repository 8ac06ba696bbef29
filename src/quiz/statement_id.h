#pragma once
// A statement's stable name: a hash of its words, so that reordering the question file, re-wrapping its lines or
// adding topics leaves it unchanged. The joiner writes it into the topic index and the game keys each player's
// memory by it; both must compute it here.
#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>

namespace statement_id {

// Spaces and tabs collapsed to one space and trimmed, so a line break moved to another word changes nothing.
inline std::string Normalise(std::string_view text) {
  std::string out;
  bool pendingSpace = false;
  for (char c : text) {
    if (c == ' ' || c == '\t' || c == '\r' || c == '\n') {
      pendingSpace = !out.empty();
      continue;
    }
    if (pendingSpace) out += ' ';
    pendingSpace = false;
    out += c;
  }
  return out;
}

// FNV-1a, salted; 0 is kept for "no statement".
inline uint64_t FromText(std::string_view text) {
  uint64_t hash = 14695981039346656037ull;
  auto mix = [&hash](std::string_view bytes) {
    for (unsigned char c : bytes) {
      hash ^= c;
      hash *= 1099511628211ull;
    }
  };
  mix("zorvel statement 1|");
  mix(Normalise(text));
  return hash == 0 ? 1 : hash;
}

inline std::string ToHex(uint64_t id) {
  char text[17];
  std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(id));
  return text;
}

// Sixteen lower- or upper-case hex digits exactly; false for anything else.
inline bool FromHex(std::string_view text, uint64_t* id) {
  if (text.size() != 16) return false;
  uint64_t value = 0;
  for (char c : text) {
    int digit;
    if (c >= '0' && c <= '9') digit = c - '0';
    else if (c >= 'a' && c <= 'f') digit = c - 'a' + 10;
    else if (c >= 'A' && c <= 'F') digit = c - 'A' + 10;
    else return false;
    value = value << 4 | static_cast<uint64_t>(digit);
  }
  *id = value;
  return true;
}

}  // namespace statement_id
