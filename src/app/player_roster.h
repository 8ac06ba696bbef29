#pragma once
// The launcher's players as the game sees them. The launcher owns "..\options.ini"; the game only reads it, at the
// start and at the end of every game.
#include <cstddef>
#include <cstdint>
#include <string>

struct PlayerRecord {
  char name[64] = {};
  char address[64] = {};
  char email[64] = {};
  char send[2] = {};
};

// The hall of fame stores the player line in a 256-byte name field.
constexpr size_t kPlayerLineSize = 256;

class PlayerRoster {
 public:
  static constexpr int32_t kMaxPlayers = 8;

  void SetFile(const char* path);
  // Reads [setup] playerid. A value outside 0 to 7 selects player 0, so a broken file can never index past the
  // slots.
  int32_t ReadCurrentPlayerId();
  // Reads section Player<index + 1>; an index outside 0 to 7 reads player 0.
  void ReadPlayer(int32_t index);
  // "name:address:email:send", cut to fit size (the terminator included).
  void ComposePlayerLine(int32_t index, char* destination, size_t size = kPlayerLineSize);
  // Reads the current player from "..\options.ini", puts the name in the window caption and, when destination is
  // given, writes the player line there. Returns the player index; the game controller keeps it.
  int32_t LoadCurrentPlayer(char* destination);

  int32_t currentPlayerId = 0;
  PlayerRecord players[kMaxPlayers];
  std::string file;

 private:
  static int32_t Slot(int32_t index);
};

extern PlayerRoster g_playerRoster;
