// Hubbix: the suite's launcher. It keeps the players and settings in options.ini beside itself and starts the
// game; the game starts it again with the argument "Zorvel" when the player leaves through the menu button.
#include <limits.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "common/game_rules.h"
#include "common/utf8_text.h"
#include "game/high_score_table.h"
#include "launcher/fame_rows.h"
#include "launcher/ini_document.h"
#include "launcher/launcher_store.h"
#include "launcher/launcher_window.h"
#include "launcher/suite_options.h"
#include "launcher/terminal_text.h"
#include "platform/host/file_lock.h"
#include "platform/host/writable_files.h"
#include "platform/replay/trace.h"
#include "ui/bitmap_font.h"

namespace {

constexpr const char* kGameName = "Zorvel";

// The folder the launcher's program lives in.
std::string ProgramFolder() {
  char path[PATH_MAX];
  const ssize_t n = ::readlink("/proc/self/exe", path, sizeof path - 1);
  if (n <= 0) return {};
  path[n] = 0;
  std::string folder(path);
  const size_t slash = folder.rfind('/');
  return slash == 0 ? "/" : folder.substr(0, slash);
}

bool IsFolder(const std::string& path) {
  struct stat st;
  return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

// The suite the launcher serves: its own folder when the game's folder is beside it (the portable layout the
// build makes), else the installed one, share/zorvel beside the bin folder the launcher was installed to.
struct Suite {
  std::string folder;
  std::string game;  // the game's program
  bool installed = false;
};

Suite FindSuite() {
  Suite suite;
  const std::string programs = ProgramFolder();
  if (programs.empty()) return suite;
  const std::string shared = programs + "/../share/zorvel";
  if (!IsFolder(programs + "/" + kGameName) && IsFolder(shared + "/" + kGameName)) {
    char* resolved = ::realpath(shared.c_str(), nullptr);
    suite.folder = resolved ? resolved : shared;
    std::free(resolved);
    suite.game = programs + "/zorvel-game";
    suite.installed = true;
  } else {
    suite.folder = programs;
    suite.game = programs + "/" + kGameName + "/" + kGameName;
  }
  // Tests start another build of the game (the headless one) through the real launcher.
  if (const char* game = std::getenv("ZORVEL_GAME"); game && *game) suite.game = game;
  return suite;
}

// How the player runs the launcher, for the texts that tell them what to type, and the name it goes by: the build's
// suite calls it Hubbix, an installed one zorvel.
std::string g_command = "./Hubbix";
std::string g_name = "Hubbix";

// Installed (found through share/zorvel) or started under the installed name, the launcher is zorvel.
void NameTheLauncher(const Suite& where, const char* argv0) {
  std::string called = argv0 ? argv0 : "";
  called = called.substr(called.rfind('/') + 1);
  if (where.installed || called == "zorvel") g_command = g_name = "zorvel";
}

void PrintHelp() {
  const char* c = g_command.c_str();
  std::printf("%s starts %s and keeps its players and settings.\n", g_name.c_str(), kGameName);
  std::printf(
      "\n"
      "  %-24s open the launcher's window (players, settings, hall of fame, play)\n"
      "  %-24s start Zorvel as the selected player\n"
      "  %-24s list the players; * marks the selected one\n"
      "  %-24s add a player (at most 8) and select them\n"
      "  %-24s select player number n (or give the name)\n"
      "  %-24s switch the background music\n"
      "  %-24s switch the sound effects\n"
      "  %-24s show Zorvel's hall of fame\n"
      "  %-24s show this text\n",
      c, (g_command + " play").c_str(), (g_command + " players").c_str(), (g_command + " add <name>").c_str(),
      (g_command + " select <n>").c_str(), (g_command + " music on|off").c_str(),
      (g_command + " sfx on|off").c_str(), (g_command + " scores").c_str(), (g_command + " help").c_str());
}

int Usage(const std::string& problem) {
  std::fprintf(stderr, "%s: %s\nRun %s help for what %s can do.\n", g_name.c_str(),
               hubbix::TerminalSafe(problem).c_str(), g_command.c_str(), g_name.c_str());
  return 2;
}

int Fail(const std::string& problem) {
  // Problems quote names and paths from the players' files.
  std::fprintf(stderr, "%s: %s\n", g_name.c_str(), hubbix::TerminalSafe(problem).c_str());
  return 1;
}

// Pads to a width in letters, not bytes, so that names with accents keep the columns straight.
std::string PadToLetters(const std::string& text, size_t width) {
  const size_t letters = utf8::LetterCount(text);
  return letters >= width ? text : text + std::string(width - letters, ' ');
}

const char* OnOff(bool on) { return on ? "on" : "off"; }

void PrintPlayers(const hubbix::SuiteOptions& options) {
  const int current = options.CurrentPlayer();
  std::printf("Players:\n");
  for (const hubbix::PlayerEntry& p : options.Players())
    std::printf("  %c %d  %s\n", p.index == current ? '*' : ' ', p.index + 1,
                hubbix::TerminalSafe(p.name).c_str());
  std::printf("Music: %s, sound effects: %s\n", OnOff(options.Music()), OnOff(options.SoundEffects()));
}

bool ParseSwitch(const std::string& word, bool* on) {
  if (word == "on" || word == "ON" || word == "On") *on = true;
  else if (word == "off" || word == "OFF" || word == "Off") *on = false;
  else return false;
  return true;
}

// The hall of fame as the game keeps it. A missing, short or foreign file is a table nobody has entered yet.
void PrintScores(const std::string& file) {
  HighScoreTable table;
  table.Allocate(rules::kHallOfFamePlaces);
  table.ReadTable(file.c_str());
  std::printf("%s hall of fame:\n", kGameName);
  int shown = 0;
  for (int32_t i = 0; i < table.Size(); ++i) {
    const HighScoreEntry& entry = table.Entry(i);
    const std::string line(entry.name, strnlen(entry.name, sizeof entry.name));
    if (line.empty() && entry.score == 0) continue;  // a place nobody has taken
    // The game stores the player's whole roster line; the name is its first field.
    const std::string name = hubbix::TerminalSafe(line.substr(0, line.find(':')));
    std::printf("  %2d  %s %10d\n", i + 1, PadToLetters(name, 32).c_str(), static_cast<int>(entry.score));
    ++shown;
  }
  if (shown == 0) std::printf("  (no scores yet)\n");
}

// Replaces this process with the game, in its own folder, handing it the suite folder as its one argument.
int StartGame(const Suite& where, const hubbix::SuiteOptions& options) {
  const std::string& suite = where.folder;
  const std::string gameDir = suite + "/" + kGameName;
  const std::string& program = where.game;
  if (::access(program.c_str(), X_OK) != 0)
    return Fail("Cannot start " + program + ": " + std::strerror(errno) +
                (where.installed ? ". Reinstall the package."
                                 : ". Build the suite first (cmake --build --preset default)."));
  if (::chdir(gameDir.c_str()) != 0) return Fail("Cannot enter " + gameDir + ": " + std::strerror(errno));
  std::printf("Starting %s for %s.\n", kGameName,
              hubbix::TerminalSafe(options.PlayerName(options.CurrentPlayer())).c_str());
  std::fflush(stdout);
  // Tests hand the game a script and a trace of its own, so the launcher's are not replayed or overwritten.
  for (const char* what : {"SCRIPT", "TRACE"}) {
    const std::string own = std::string("ZORVEL_GAME_") + what;
    if (const char* value = std::getenv(own.c_str())) ::setenv((std::string("ZORVEL_") + what).c_str(), value, 1);
  }
  std::vector<std::string> args{program, suite};
  std::vector<char*> argv;
  for (std::string& a : args) argv.push_back(a.data());
  argv.push_back(nullptr);
  ::execv(program.c_str(), argv.data());
  return Fail("Cannot start " + program + ": " + std::strerror(errno));
}

std::string JoinWords(int argc, char** argv, int first) {
  std::string text;
  for (int i = first; i < argc; ++i) text += (i > first ? " " : "") + std::string(argv[i]);
  return text;
}

}  // namespace

// The window; the game when the player chooses Play. With no display, says how to play without one.
int OpenWindow(const Suite& where, const platform::WritableFiles& files, const BitmapFont& font, bool afterGame) {
  const std::string gameDir = where.folder + "/" + kGameName;
  // Music and the click are read by their names in the game's folder, as the game reads them; without the folder
  // the window says what is missing.
  if (::chdir(gameDir.c_str()) != 0) std::fprintf(stderr, "%s: cannot enter %s\n", g_name.c_str(), gameDir.c_str());
  hubbix::LauncherStore store(files.options, files.setup, &font);
  const hubbix::LauncherStart start = hubbix::StartFromFiles(gameDir, files, afterGame);
  std::string error;
  const hubbix::Command command = hubbix::RunLauncherWindow(store, start, &error);
  if (command == hubbix::Command::None && afterGame) {
    // Back from the game on a machine without a window for the launcher: a word on the terminal instead.
    std::printf("Thanks for playing %s! Run %s to play again, %s help for players and settings.\n", kGameName,
                g_command.c_str(), g_command.c_str());
    return 0;
  }
  if (command == hubbix::Command::None) {
    std::fprintf(stderr,
                 "%s: %s\nWithout a display, play with %s play; %s help lists the players and settings "
                 "commands.\n",
                 g_name.c_str(), error.c_str(), g_command.c_str(), g_command.c_str());
    return 1;
  }
  if (command == hubbix::Command::Quit) return 0;
  return StartGame(where, store.Options());
}

int main(int argc, char** argv) {
  // Tests give the launcher the game starts again a script and a trace of its own.
  if (argc == 2 && std::strcmp(argv[1], kGameName) == 0) {
    for (const char* what : {"SCRIPT", "TRACE"}) {
      const std::string own = std::string("ZORVEL_RETURN_") + what;
      if (const char* value = std::getenv(own.c_str())) ::setenv((std::string("ZORVEL_") + what).c_str(), value, 1);
    }
  }
  // The window runs in the game's folder; files named for tests keep meaning what they meant where we started.
  for (const char* name : {"ZORVEL_SCRIPT", "ZORVEL_TRACE", "ZORVEL_RECORD", "ZORVEL_GAME", "ZORVEL_GAME_SCRIPT",
                           "ZORVEL_GAME_TRACE", "ZORVEL_STARTUP_LOG"}) {
    const char* value = std::getenv(name);
    char here[PATH_MAX];
    if (value && *value && value[0] != '/' && ::getcwd(here, sizeof here))
      ::setenv(name, (std::string(here) + "/" + value).c_str(), 1);
  }
  const Suite where = FindSuite();
  const std::string& suite = where.folder;
  NameTheLauncher(where, argc > 0 ? argv[0] : nullptr);
  if (suite.empty()) return Fail("Cannot find the folder " + g_name + " lives in");
  const std::string command = argc > 1 ? argv[1] : "";

  if (command == "help" || command == "-h" || command == "--help") {
    PrintHelp();
    return 0;
  }

  // An installed suite is read-only: the options then live in the player's own folders.
  std::string problem;
  const platform::WritableFiles writable = platform::LocateWritableFiles(suite, suite + "/" + kGameName, &problem);
  const std::string& file = writable.options;
  if (!problem.empty()) std::fprintf(stderr, "%s: %s\n", g_name.c_str(), problem.c_str());
  // Launchers changing the options at once would each write what they read, and all but one change would be
  // lost: a change holds the lock from its read to its write.
  const bool changes = command == "add" || command == "select" || command == "music" || command == "sfx";
  std::optional<platform::ScopedFileLock> lock;
  if (changes) lock.emplace(file);
  hubbix::IniDocument document;
  if (!document.Load(file)) return Fail("Cannot read " + file + ": " + std::strerror(errno));
  // The game's own font decides which letters a name may hold.
  BitmapFont font;
  font.Load((suite + "/" + kGameName + "/font.bmp").c_str());
  hubbix::SuiteOptions options(std::move(document), &font);

  if (argc == 1 || (command == kGameName && argc == 2)) return OpenWindow(where, writable, font, argc == 2);
  if (command == "play") {
    if (argc != 2) return Usage("\"play\" takes no arguments.");
    return StartGame(where, options);
  }

  std::string error;
  if (command == "scores") {
    if (argc != 2) return Usage("\"scores\" takes no arguments.");
    PrintScores(writable.hiscore);
    return 0;
  }
  if (command == "players" || command == "list") {
    if (argc != 2) return Usage("\"players\" takes no arguments.");
    PrintPlayers(options);
    return 0;
  }
  if (command == "add") {
    if (argc < 3) return Usage("Give the new player's name, for example: " + g_command + " add \"Ann Lee\"");
    const int index = options.AddPlayer(JoinWords(argc, argv, 2), &error);
    if (index < 0) return Fail(error);
    if (!options.Document().Save(file, &error)) return Fail(error);
    std::printf("Added player %d, %s, and selected them.\n", index + 1,
                hubbix::TerminalSafe(options.PlayerName(index)).c_str());
    return 0;
  }
  if (command == "select") {
    if (argc < 3) return Usage("Give the number or the name of the player, for example: " + g_command + " select 2");
    const std::string which = JoinWords(argc, argv, 2);
    const bool number = which.find_first_not_of("0123456789") == std::string::npos;
    const int index = number ? (which.size() <= 2 ? std::atoi(which.c_str()) - 1 : -1) : options.FindPlayer(which);
    if (index < 0 || !options.SelectPlayer(index, &error))
      return Fail(number ? "There is no player " + which + "." : "There is no player called " + which + ".");
    if (!options.Document().Save(file, &error)) return Fail(error);
    std::printf("Selected player %d, %s.\n", options.CurrentPlayer() + 1,
                hubbix::TerminalSafe(options.PlayerName(options.CurrentPlayer())).c_str());
    return 0;
  }
  if (command == "music" || command == "sfx") {
    bool on = false;
    if (argc != 3 || !ParseSwitch(argv[2], &on))
      return Usage("Say on or off, for example: " + g_command + " " + command + " off");
    if (command == "music") options.SetMusic(on);
    else options.SetSoundEffects(on);
    if (!options.Document().Save(file, &error)) return Fail(error);
    std::printf("%s %s.\n", command == "music" ? "Music" : "Sound effects", OnOff(on));
    return 0;
  }
  return Usage("Unknown command \"" + command + "\".");
}
