#include "launcher/suite_options.h"

#include <strings.h>

#include "common/utf8_text.h"
#include "platform/host/profile.h"
#include "ui/bitmap_font.h"

namespace hubbix {

namespace {

std::string Trim(const std::string& s) {
  const size_t a = s.find_first_not_of(" \t");
  if (a == std::string::npos) return {};
  const size_t b = s.find_last_not_of(" \t");
  return s.substr(a, b - a + 1);
}

}  // namespace

int SuiteOptions::CurrentPlayer() const {
  const int id = platform::ProfileInt(doc_.Get("setup", "playerid", "0").substr(0, 31).c_str());
  return id >= 0 && id < kMaxPlayers ? id : 0;
}

std::string SuiteOptions::PlayerName(int index) const {
  const std::string section = SectionName(index);
  // The games read the name as C text: a NUL byte in the file ends it there.
  return std::string(doc_.Get(section, "name", section).c_str()).substr(0, kMaxNameLength);
}

std::vector<PlayerEntry> SuiteOptions::Players() const {
  std::vector<PlayerEntry> players;
  const int current = CurrentPlayer();
  for (int i = 0; i < kMaxPlayers; ++i)
    if (i == current || SlotUsed(i)) players.push_back({i, PlayerName(i)});
  return players;
}

int SuiteOptions::FindPlayer(const std::string& name) const {
  const std::string wanted = Trim(name);
  for (const PlayerEntry& p : Players())
    if (::strcasecmp(p.name.c_str(), wanted.c_str()) == 0) return p.index;
  return -1;
}

std::string SuiteOptions::CheckName(const std::string& name, const BitmapFont* font, std::string* error) {
  const std::string trimmed = Trim(name);
  std::string reason;
  if (trimmed.empty()) {
    reason = "A player needs a name.";
  } else if (trimmed.size() > kMaxNameLength) {
    // The games keep the name in a 64-byte field, and a letter with an accent takes two bytes of it.
    reason = "A name can have at most " + std::to_string(kMaxNameLength) +
             " bytes (a letter beyond plain ASCII takes two or more).";
  } else {
    for (size_t at = 0; at < trimmed.size() && reason.empty();) {
      const utf8::Letter letter = utf8::LetterAt(trimmed, at);
      // ":" separates the fields of the line a game stores in its hall of fame.
      if (letter.code == ':') {
        reason = "A name cannot contain \":\".";
      } else if (!letter.valid) {
        reason = "The name is not UTF-8 text (byte " + std::to_string(at + 1) + " is not part of a letter).";
      } else if (letter.code < 0x20 || letter.code == 0x7F || (letter.code >= 0x80 && letter.code < 0xA0)) {
        reason = "A name cannot contain control characters (" + utf8::CodePointName(letter.code) + ").";
      } else {
        // The games draw names with their own font: a letter it lacks would show as a gap.
        const bool drawable = font && font->IsLoaded() ? font->HasLetter(letter.code)
                                                       : (letter.code >= 0x20 && letter.code < 0x7F);
        if (!drawable)
          reason = "Zorvel cannot draw the letter \"" + utf8::Encode(letter.code) + "\" (" +
                   utf8::CodePointName(letter.code) + ") in a name.";
      }
      at += letter.bytes;
    }
  }
  if (reason.empty()) return trimmed;
  if (error) *error = reason;
  return {};
}

int SuiteOptions::AddPlayer(const std::string& name, std::string* error) {
  const std::string stored = CheckName(name, font_, error);
  if (stored.empty()) return -1;
  if (FindPlayer(stored) >= 0) {
    if (error) *error = "There is already a player called " + PlayerName(FindPlayer(stored)) + ".";
    return -1;
  }
  int slot = -1;
  for (int i = 0; i < kMaxPlayers && slot < 0; ++i)
    if (!SlotUsed(i)) slot = i;
  if (slot < 0) {
    if (error) *error = "The roster is full: there is room for " + std::to_string(kMaxPlayers) + " players.";
    return -1;
  }
  const std::string section = SectionName(slot);
  doc_.Set(section, "name", stored);
  doc_.Set(section, "address", "");
  doc_.Set(section, "email", "");
  doc_.Set(section, "send", "Y");
  doc_.Set("setup", "playerid", std::to_string(slot));
  return slot;
}

bool SuiteOptions::SelectPlayer(int index, std::string* error) {
  if (index < 0 || index >= kMaxPlayers || (!SlotUsed(index) && index != CurrentPlayer())) {
    if (error) *error = "There is no player " + std::to_string(index + 1) + ".";
    return false;
  }
  doc_.Set("setup", "playerid", std::to_string(index));
  return true;
}

bool SuiteOptions::RenamePlayer(int index, const std::string& name, std::string* error) {
  if (index < 0 || index >= kMaxPlayers || (!SlotUsed(index) && index != CurrentPlayer())) {
    if (error) *error = "There is no player " + std::to_string(index + 1) + ".";
    return false;
  }
  const std::string stored = CheckName(name, font_, error);
  if (stored.empty()) return false;
  const int other = FindPlayer(stored);
  if (other >= 0 && other != index) {
    if (error) *error = "There is already a player called " + PlayerName(other) + ".";
    return false;
  }
  return doc_.Set(SectionName(index), "name", stored);
}

bool SuiteOptions::RemovePlayer(int index, std::string* error) {
  if (index < 0 || index >= kMaxPlayers || !SlotUsed(index)) {
    if (error) *error = "There is no player " + std::to_string(index + 1) + ".";
    return false;
  }
  const bool wasCurrent = index == CurrentPlayer();
  doc_.RemoveSection(SectionName(index));
  if (wasCurrent) {
    int next = 0;
    for (int i = kMaxPlayers - 1; i >= 0; --i)
      if (SlotUsed(i)) next = i;
    doc_.Set("setup", "playerid", std::to_string(next));
  }
  return true;
}

bool SuiteOptions::Full() const {
  for (int i = 0; i < kMaxPlayers; ++i)
    if (!SlotUsed(i)) return false;
  return true;
}

bool SuiteOptions::FlagOn(const std::string& key) const {
  const std::string value = doc_.Get("setup", key, "Y");
  return !value.empty() && value[0] == 'Y';
}

}  // namespace hubbix
