// Game after game without a mouse: the keyboard alone, and the controller's buttons alone, answer, go on, open
// and close the rules, start new games after game over and leave to the launcher.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {

std::string Quote(const std::string& s) { return "'" + s + "'"; }

// Plays the script in virtual time in a fresh copy of the game's folder; returns the trace.
std::string Play(const std::string& name, const std::string& script) {
  const std::string suite = std::string(::testing::TempDir()) + "keys-" + name + "-" + std::to_string(::getpid());
  std::system(("rm -rf " + Quote(suite) + " && mkdir -p " + Quote(suite + "/Zorvel") + " && cp -r " +
               Quote(std::string(ZORVEL_GAME_DIR) + "/.") + " " + Quote(suite + "/Zorvel/") + " && rm -f " +
               Quote(suite + "/Zorvel/hiscore.dat"))
                  .c_str());
  std::ofstream(suite + "/script.txt") << script;
  const std::string command = "cd " + Quote(suite + "/Zorvel") +
                              " && env ZORVEL_CLOCK=virtual ZORVEL_TRACE_FRAMES=0 ZORVEL_NO_LAUNCH=1 ZORVEL_MESSAGEBOX=stderr ZORVEL_SCRIPT=" +
                              Quote(suite + "/script.txt") + " ZORVEL_TRACE=" + Quote(suite + "/trace.txt") + " " +
                              Quote(std::string(ZORVEL_BINARY_DIR) + "/zorvel-headless") + " " + Quote(suite) +
                              " >/dev/null 2>&1";
  EXPECT_EQ(std::system(command.c_str()), 0) << name;
  std::ifstream file(suite + "/trace.txt");
  std::stringstream trace;
  trace << file.rdbuf();
  std::system(("rm -rf " + Quote(suite)).c_str());
  return trace.str();
}

// The trace's lines without their tick and without frame hashes.
std::vector<std::string> Events(const std::string& trace) {
  std::vector<std::string> events;
  std::istringstream in(trace);
  for (std::string line; std::getline(in, line);) {
    const size_t space = line.find(' ');
    if (space == std::string::npos) continue;
    std::string event = line.substr(space + 1);
    if (event.rfind("frame ", 0) == 0) continue;
    events.push_back(event);
  }
  return events;
}

int Count(const std::vector<std::string>& events, const std::string& prefix) {
  int n = 0;
  for (const auto& e : events) n += e.rfind(prefix, 0) == 0;
  return n;
}

// The keys a player without a mouse uses, by what they do.
struct Keys {
  const char* yes;
  const char* no;
  const char* pass;
  const char* next;
  const char* newGame;
  const char* rules;
};

// A script: in each game the rules opened and closed by key, a right-or-wrong answer, a wrong-or-right one and a
// pass, each followed by going on; then nothing until the clock has run out; then a new game. Three games are
// started this way; the script ends with `last` pressed in the third, and `confirm` after it when given (the
// answer to "End this game?").
std::string Script(const Keys& k, const char* last, const char* confirm = nullptr) {
  std::ostringstream s;
  s << "zorvel-script 1\nseed 7\n";
  uint32_t t = 500;
  auto press = [&](const char* key, uint32_t wait) {
    s << t << " keydown " << key << "\n" << t + 30 << " keyup " << key << "\n";
    t += wait;
  };
  for (int game = 0; game < 3; ++game) {
    // The rules first: they keep the clock paused until the next statement.
    press(k.rules, 1000);
    press(k.rules, 1000);  // closes them
    press(k.yes, 1200);
    press(k.next, 600);
    press(k.no, 1200);
    press(k.next, 600);
    press(k.pass, 1200);
    press(k.next, 600);
    if (game == 2) break;
    t += 200000;  // the clock runs out
    press(k.newGame, 1000);
  }
  press(last, 1000);
  if (confirm) press(confirm, 1000);
  return s.str();
}

void ExpectThreeGames(const std::vector<std::string>& events, const char* who, int passes = 3) {
  EXPECT_EQ(Count(events, "new game"), 3) << who;
  EXPECT_EQ(Count(events, "game over"), 2) << who;
  EXPECT_EQ(Count(events, "answer true"), 3) << who;
  EXPECT_EQ(Count(events, "answer false"), 3) << who;
  EXPECT_EQ(Count(events, "answer pass"), passes) << who;
  EXPECT_EQ(Count(events, "popup close \"key\""), 3) << who << ": each rules popup closed by a key";
  // Each answer was followed by the next statement: three per game and the first of each game.
  EXPECT_EQ(Count(events, "question "), 12) << who;
}

TEST(KeysOnlyPlay, KeyboardPlaysGameAfterGameAndLeavesToTheLauncher) {
  const std::vector<std::string> events =
      Events(Play("keyboard", Script({"T", "F", "P", "SPACE", "N", "R"}, "M", "Y")));
  ExpectThreeGames(events, "keyboard");
  // N after game over starts the next game at once; M in a running game asks first, and Y says yes.
  EXPECT_EQ(Count(events, "popup open \"end-game\""), 1);
  EXPECT_EQ(Count(events, "launch "), 1) << "M leaves to the launcher";
  EXPECT_EQ(Count(events, "shutdown"), 1);
}

TEST(KeysOnlyPlay, ControllerPlaysGameAfterGame) {
  // A answers True and also goes on after the explanation; X and Y both pass.
  std::vector<std::string> events =
      Events(Play("pad", Script({"PAD_A", "PAD_B", "PAD_X", "PAD_A", "PAD_START", "PAD_BACK"}, "PAD_Y")));
  // The last press, Y, passes too.
  ExpectThreeGames(events, "controller", 4);
}

}  // namespace
