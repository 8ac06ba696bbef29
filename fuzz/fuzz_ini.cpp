// options.ini, read by the game (profile rules) and by the launcher (its own line-keeping document): both agree on
// the current player and on every player's name; a player the launcher adds and selects is the one the game
// then reads.
#include <cstring>
#include <string>

#include "app/player_roster.h"
#include "fuzz_support.h"
#include "launcher/ini_document.h"
#include "launcher/suite_options.h"

namespace {

void CheckAgreement(const std::string& path, const hubbix::SuiteOptions& options) {
  PlayerRoster roster;
  roster.SetFile(path.c_str());
  FUZZ_CHECK(roster.ReadCurrentPlayerId() == options.CurrentPlayer());
  for (int32_t i = 0; i < PlayerRoster::kMaxPlayers; ++i) {
    roster.ReadPlayer(i);
    FUZZ_CHECK(options.PlayerName(i) == roster.players[i].name);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string path = fuzz::WriteScratch("options.ini", data, size);
  hubbix::IniDocument document;
  FUZZ_CHECK(document.Load(path));
  hubbix::SuiteOptions options(document);
  CheckAgreement(path, options);

  // The launcher changes the file; the game reads what it wrote.
  std::string error;
  const int added = options.AddPlayer("Fuzzy Player", &error);
  if (added >= 0) FUZZ_CHECK(options.SelectPlayer(added, &error));
  options.SetMusic(size % 2 == 0);
  FUZZ_CHECK(options.Document().Save(path, &error));
  hubbix::IniDocument saved;
  FUZZ_CHECK(saved.Load(path));
  hubbix::SuiteOptions reread(saved);
  CheckAgreement(path, reread);
  if (added >= 0) {
    PlayerRoster roster;
    roster.SetFile(path.c_str());
    FUZZ_CHECK(roster.ReadCurrentPlayerId() == added);
    roster.ReadPlayer(added);
    FUZZ_CHECK(std::strcmp(roster.players[added].name, "Fuzzy Player") == 0);
  }
  return 0;
}
