#include "app/player_roster.h"

#include <cstdio>

#include "app/app_main.h"
#include "platform/host/profile.h"

PlayerRoster g_playerRoster;

namespace {

constexpr const char* kOptionsFile = "..\\options.ini";

}  // namespace

int32_t PlayerRoster::Slot(int32_t index) { return index >= 0 && index < kMaxPlayers ? index : 0; }

void PlayerRoster::SetFile(const char* path) { file = path ? path : ""; }

int32_t PlayerRoster::ReadCurrentPlayerId() {
  if (file.empty()) {
    currentPlayerId = 0;
    return currentPlayerId;
  }
  char text[32];
  platform::GetPrivateProfileString("setup", "playerid", "0", text, sizeof text, file.c_str());
  currentPlayerId = Slot(platform::ProfileInt(text));
  return currentPlayerId;
}

void PlayerRoster::ReadPlayer(int32_t index) {
  if (file.empty()) return;
  index = Slot(index);
  char section[24];
  std::snprintf(section, sizeof section, "Player%d", static_cast<int>(index + 1));
  PlayerRecord& p = players[index];
  const char* f = file.c_str();
  platform::GetPrivateProfileString(section, "name", section, p.name, sizeof p.name, f);
  platform::GetPrivateProfileString(section, "address", "", p.address, sizeof p.address, f);
  platform::GetPrivateProfileString(section, "email", "", p.email, sizeof p.email, f);
  platform::GetPrivateProfileString(section, "send", "Y", p.send, sizeof p.send, f);
}

void PlayerRoster::ComposePlayerLine(int32_t index, char* destination, size_t size) {
  if (!destination || size == 0) return;
  index = Slot(index);
  ReadPlayer(index);
  const PlayerRecord& p = players[index];
  std::snprintf(destination, size, "%s:%s:%s:%s", p.name, p.address, p.email, p.send);
}

int32_t PlayerRoster::LoadCurrentPlayer(char* destination) {
  SetFile(kOptionsFile);
  const int32_t playerIndex = ReadCurrentPlayerId();
  ReadPlayer(currentPlayerId);
  SetWindowTitle(players[currentPlayerId].name);
  if (destination) ComposePlayerLine(playerIndex, destination);
  return playerIndex;
}
