#pragma once
// The suite's options file as the launcher keeps it: the settings every game of the suite reads ([setup] music,
// SFX, playerid) and the roster of up to eight players in the sections Player1 to Player8.
#include <string>
#include <vector>

#include "launcher/ini_document.h"

class BitmapFont;

namespace hubbix {

struct PlayerEntry {
  int index = 0;  // zero-based, as stored in playerid
  std::string name;
};

class SuiteOptions {
 public:
  static constexpr int kMaxPlayers = 8;
  static constexpr size_t kMaxNameLength = 63;  // the games read names into 64-byte fields

  // `font`: the game's font, which decides the letters a name may hold; without one (or one that did not load),
  // only plain ASCII. Owned by the caller.
  explicit SuiteOptions(IniDocument document = {}, const BitmapFont* font = nullptr)
      : doc_(std::move(document)), font_(font) {}
  const IniDocument& Document() const { return doc_; }

  // The player the games will load: playerid read as the games read it, 0 when outside the slots.
  int CurrentPlayer() const;
  // The name the games show for a slot; "Player<n>" when the launcher never named it.
  std::string PlayerName(int index) const;
  // Slots that have a section, plus the current one (the games play as it even when it has none).
  std::vector<PlayerEntry> Players() const;
  // Index of the player whose name matches without regard to case, or -1.
  int FindPlayer(const std::string& name) const;

  // Takes the first free slot and makes the new player the current one. Returns the index, or -1 with a reason.
  int AddPlayer(const std::string& name, std::string* error);
  bool SelectPlayer(int index, std::string* error);
  // Gives a player another name under the same rules as a new one (their own old name does not count as taken).
  bool RenamePlayer(int index, const std::string& name, std::string* error);
  // Takes the player's section out; when they were the current player, the first one left becomes current.
  bool RemovePlayer(int index, std::string* error);
  bool Full() const;

  bool Music() const { return FlagOn("music"); }
  bool SoundEffects() const { return FlagOn("SFX"); }
  void SetMusic(bool on) { doc_.Set("setup", "music", on ? "Y" : "N"); }
  void SetSoundEffects(bool on) { doc_.Set("setup", "SFX", on ? "Y" : "N"); }

  // The name as it will be stored (blanks around it removed; UTF-8 bytes kept as they are), or an empty text with
  // the reason: every letter must be one the game's font can draw (the message names the first that is not).
  static std::string CheckName(const std::string& name, const BitmapFont* font, std::string* error);
  static std::string SectionName(int index) { return "Player" + std::to_string(index + 1); }

 private:
  bool FlagOn(const std::string& key) const;
  bool SlotUsed(int index) const { return doc_.HasSection(SectionName(index)); }

  IniDocument doc_;
  const BitmapFont* font_ = nullptr;
};

}  // namespace hubbix
