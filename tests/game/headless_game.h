#pragma once
// Plays whole games of the real program headless in virtual time, from a script a test writes, with the test's
// own question file and hall of fame, and hands back the trace as lines to look through.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <sstream>
#include <string>
#include <vector>

namespace rules {

struct Line {
  int32_t tick;
  std::string text;
};

// One "state ..." line: the controller's state and counters as they stood at the change.
struct StateLine {
  int32_t tick, state, score, ladder, streak, clock;
};

struct GameRun {
  int exitCode = -1;
  std::string output;        // what the program printed (sanitizer reports land here)
  std::vector<Line> trace;
  bool hiscoreExists = false;
  std::string hiscore;       // bytes of hiscore.dat after the game
  std::map<std::string, std::string> besideHiscore;  // files named "hiscore.dat.*" after the game, by name

  bool Has(const std::string& text) const {
    for (const Line& l : trace)
      if (l.text == text) return true;
    return false;
  }
  // Index of the first line at or after `from` whose text starts with `prefix`; -1 when there is none.
  int Find(const std::string& prefix, int from = 0) const {
    for (int i = from < 0 ? 0 : from; i < static_cast<int>(trace.size()); ++i)
      if (trace[i].text.compare(0, prefix.size(), prefix) == 0) return i;
    return -1;
  }
  // Texts of the lines with this prefix (the prefix cut off) in [from, to).
  std::vector<std::string> Texts(const std::string& prefix, int from = 0, int to = -1) const {
    std::vector<std::string> out;
    if (to < 0) to = static_cast<int>(trace.size());
    for (int i = from < 0 ? 0 : from; i < to; ++i)
      if (trace[i].text.compare(0, prefix.size(), prefix) == 0) out.push_back(trace[i].text.substr(prefix.size()));
    return out;
  }
  std::vector<StateLine> States() const {
    std::vector<StateLine> out;
    for (const Line& l : trace) {
      StateLine s{l.tick, 0, 0, 0, 0, 0};
      if (std::sscanf(l.text.c_str(), "state %d score %d ladder %d streak %d clock %d", &s.state, &s.score,
                      &s.ladder, &s.streak, &s.clock) == 5)
        out.push_back(s);
    }
    return out;
  }
  // Sounds heard (by name, their level left out), bull animations started and verdicts stamped, in order, as one
  // list ("sound bell", "bull right", "verdict TRUE", ...).
  std::vector<std::string> Reactions(int from = 0, int to = -1) const {
    std::vector<std::string> out;
    if (to < 0) to = static_cast<int>(trace.size());
    for (int i = from < 0 ? 0 : from; i < to; ++i) {
      const std::string& t = trace[i].text;
      if (t.rfind("sound ", 0) == 0) {
        out.push_back(t.substr(0, t.find(" volume ")));
      } else if (t.rfind("verdict ", 0) == 0 || (t.rfind("bull ", 0) == 0 && t.rfind("bull frame", 0) != 0)) {
        out.push_back(t);
      }
    }
    return out;
  }
  bool EndedCleanly() const {
    return exitCode == 0 && Has("window destroy") && output.find("runtime error") == std::string::npos &&
           output.find("Sanitizer") == std::string::npos;
  }
};

// The script of one game: clicks at virtual milliseconds, on the game's own buttons.
class Script {
 public:
  Script& Click(int32_t t, int x, int y) {
    Add(t, "move " + Xy(x, y));
    Add(t, "ldown " + Xy(x, y));
    Add(t + 20, "lup " + Xy(x, y));
    return *this;
  }
  // A tap: press and release in the same millisecond, as a touchpad, a touch screen or a synthetic click sends.
  Script& Tap(int32_t t, int x, int y) {
    Add(t, "move " + Xy(x, y));
    Add(t, "ldown " + Xy(x, y));
    return Add(t, "lup " + Xy(x, y));
  }
  Script& Key(int32_t t, const std::string& name) {
    Add(t, "keydown " + name);
    return Add(t + 30, "keyup " + name);
  }
  Script& True(int32_t t) { return Click(t, 232, 499); }
  Script& False(int32_t t) { return Click(t, 496, 499); }
  Script& Pass(int32_t t) { return Click(t, 370, 499); }
  Script& Next(int32_t t) { return Click(t, 400, 330); }
  Script& NewGame(int32_t t) { return Click(t, 30, 540); }
  Script& Rules(int32_t t) { return Click(t, 124, 540); }
  Script& Exit(int32_t t) { return Click(t, 724, 540); }
  Script& Escape(int32_t t) {
    Add(t, "keydown ESCAPE");
    return Add(t + 10, "keyup ESCAPE");
  }
  Script& Add(int32_t t, const std::string& event) {
    events_.emplace(t, event);
    return *this;
  }
  std::string Text(uint32_t seed) const {
    std::string s = "zorvel-script 1\nseed " + std::to_string(seed) + "\n";
    for (const auto& [t, e] : events_) s += std::to_string(t) + " " + e + "\n";
    return s;
  }

 private:
  static std::string Xy(int x, int y) { return std::to_string(x) + " " + std::to_string(y); }
  std::multimap<int32_t, std::string> events_;
};

// Question files: entries of one statement, the answer and one explanation, written with CR LF.
inline std::string Entry(const std::string& statement, bool isTrue, const std::string& explanation) {
  return statement + "\r\n" + (isTrue ? "TRUE" : "FALSE") + "\r\n" + explanation + "\r\n\r\n";
}
inline std::string OnlyTrue() {
  return Entry("Snow is cold.", true, "It is frozen water.") + Entry("Fish swim.", true, "They have fins.");
}
inline std::string OnlyFalse() {
  return Entry("Stones float.", false, "They sink.") + Entry("Cats bark.", false, "They meow.");
}

// A hall of fame file: count 20, then 20 entries of 256 name bytes and a little-endian score.
inline std::string HallOfFame(const std::vector<std::pair<std::string, int32_t>>& entries) {
  auto le32 = [](int32_t v) {
    std::string s(4, '\0');
    for (int i = 0; i < 4; ++i) s[i] = static_cast<char>((static_cast<uint32_t>(v) >> (8 * i)) & 0xFF);
    return s;
  };
  std::string file = le32(20);
  for (size_t i = 0; i < 20; ++i) {
    std::string name = i < entries.size() ? entries[i].first : "";
    name.resize(256, '\0');
    file += name + le32(i < entries.size() ? entries[i].second : 0);
  }
  return file;
}
inline int32_t ScoreAt(const std::string& file, int i) {
  uint32_t v = 0;
  for (int b = 3; b >= 0; --b) v = (v << 8) | static_cast<unsigned char>(file[4 + 260 * i + 256 + b]);
  return static_cast<int32_t>(v);
}
inline std::string NameAt(const std::string& file, int i) { return std::string(file.c_str() + 4 + 260 * i); }

// This build's game folder, or else the default build's (sanitizer builds do not make the assets).
inline std::string GameDir() {
  const std::string own = ZORVEL_GAME_DIR;
  if (std::ifstream(own + "/background.bmp")) return own;
  return std::string(ZORVEL_SOURCE_DIR) + "/build/suite/Zorvel";
}

// A copy of the game's folder in a suite of its own; the player is "Ann".
struct SuiteCopy {
  std::string root, game;
};
inline std::string Quote(const std::string& s) { return "'" + s + "'"; }
inline SuiteCopy SuiteAt(const std::string& root) { return {root, root + "/suite/Zorvel"}; }

// A fresh copy of the game's folder under `root` with these questions, the player "Ann" and no hall of fame.
inline void LayOutSuite(const std::string& root, const std::string& questions) {
  const SuiteCopy suite = SuiteAt(root);
  std::system(("rm -rf " + Quote(suite.root) + " && mkdir -p " + Quote(suite.game) + " && cp -r " +
               Quote(GameDir() + "/.") + " " + Quote(suite.game + "/") + " && rm -f " +
               Quote(suite.game + "/hiscore.dat"))
                  .c_str());
  std::ofstream(suite.game + "/Zorvel.txt", std::ios::binary) << questions;
  std::ofstream(suite.root + "/suite/options.ini", std::ios::binary)
      << "[setup]\r\nmusic=N\r\nSFX=Y\r\nplayerid=0\r\n[Player1]\r\nname=Ann\r\n";
}

// A fresh suite of this test's own, with the test's questions and hall of fame.
inline SuiteCopy MakeSuite(const std::string& questions, const std::string& hiscore = "") {
  const SuiteCopy suite = SuiteAt(std::string(::testing::TempDir()) + "rules-" + std::to_string(::getpid()));
  LayOutSuite(suite.root, questions);
  if (!hiscore.empty()) std::ofstream(suite.game + "/hiscore.dat", std::ios::binary) << hiscore;
  return suite;
}

// The shell command that plays `scriptPath` in the suite, tracing to `tracePath`. A game that does not end within
// ten minutes is stopped (exit code 124).
inline std::string GameCommand(const SuiteCopy& suite, const std::string& scriptPath, const std::string& tracePath,
                               int timeoutSeconds = 600) {
  return "cd " + Quote(suite.game) + " && env ZORVEL_CLOCK=virtual ZORVEL_NO_LAUNCH=1 ZORVEL_TRACE_FRAMES=0" +
         " ZORVEL_MESSAGEBOX=stderr ZORVEL_SCRIPT=" + Quote(scriptPath) + " ZORVEL_TRACE=" + Quote(tracePath) + " " +
         "timeout -k 5 " + std::to_string(timeoutSeconds) + " " +
         Quote(std::string(ZORVEL_BINARY_DIR) + "/zorvel-headless") + " " +
         Quote(suite.root + "/suite") + " 2>&1";
}

inline std::vector<Line> ReadTrace(const std::string& tracePath) {
  std::vector<Line> lines;
  std::ifstream trace(tracePath);
  std::string line;
  while (std::getline(trace, line)) {
    const size_t space = line.find(' ');
    if (space == std::string::npos) continue;
    lines.push_back({static_cast<int32_t>(std::stol(line.substr(0, space))), line.substr(space + 1)});
  }
  return lines;
}

inline std::string FileBytes(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  std::stringstream bytes;
  bytes << file.rdbuf();
  return bytes.str();
}

// hiscore.dat after the game, and every file beside it whose name starts with "hiscore.dat." but its lock file.
inline void CollectHallOfFame(const SuiteCopy& suite, GameRun* run) {
  // Only a regular file is read: opening a FIFO a test put there would wait for ever.
  if (std::filesystem::is_regular_file(suite.game + "/hiscore.dat")) {
    run->hiscoreExists = true;
    run->hiscore = FileBytes(suite.game + "/hiscore.dat");
  }
  for (const auto& entry : std::filesystem::directory_iterator(suite.game)) {
    const std::string name = entry.path().filename().string();
    if (name.rfind("hiscore.dat.", 0) == 0 && name != "hiscore.dat.lock" && entry.is_regular_file())
      run->besideHiscore[name] = FileBytes(entry.path().string());
  }
}

// Plays the script in the suite folder `root` (its game in root/suite/Zorvel, already laid out) and reads back the
// trace and the hall of fame.
inline GameRun RunInSuite(const std::string& root, const Script& script, uint32_t seed, int timeoutSeconds = 600) {
  const SuiteCopy suite = SuiteAt(root);
  std::ofstream(root + "/script.txt") << script.Text(seed);
  std::remove((root + "/trace.txt").c_str());
  const std::string command = GameCommand(suite, root + "/script.txt", root + "/trace.txt", timeoutSeconds);
  GameRun run;
  FILE* p = popen(command.c_str(), "r");
  char buffer[512];
  while (size_t n = fread(buffer, 1, sizeof buffer, p)) run.output.append(buffer, n);
  const int status = pclose(p);
  run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  run.trace = ReadTrace(root + "/trace.txt");
  CollectHallOfFame(suite, &run);
  return run;
}

// Plays the script in a fresh copy of the game's folder; the player is "Ann". A read-only hall of fame is
// write-protected, so that a save is refused. `prepare`, when given, may change the game folder before the game
// starts.
inline GameRun Play(const Script& script, const std::string& questions, uint32_t seed = 7,
                    const std::string& hiscore = "", bool readOnlyHallOfFame = false,
                    const std::function<void(const std::string& gameFolder)>& prepare = nullptr,
                    int timeoutSeconds = 600) {
  const SuiteCopy suite = MakeSuite(questions, hiscore);
  if (readOnlyHallOfFame) std::system(("chmod a-w " + Quote(suite.game + "/hiscore.dat")).c_str());
  if (prepare) prepare(suite.game);
  GameRun run = RunInSuite(suite.root, script, seed, timeoutSeconds);
  std::system(("rm -rf " + Quote(suite.root)).c_str());
  return run;
}

}  // namespace rules
