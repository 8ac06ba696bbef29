// Runs the headless program the way the launcher would and checks what it says and returns.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

namespace {

struct GameRun {
  int exitCode;
  std::string output;
  double seconds;
};

std::string Quote(const std::string& s) { return "'" + s + "'"; }

// Runs zorvel-headless in a fresh suite folder, with the environment settings and the launcher argument given.
GameRun RunGame(const std::string& env, const std::string& argument, const std::string& script = "",
                const std::string& setupIni = "", bool trace = true, const std::string& prepare = "") {
  // One folder per test process: CTest runs these tests side by side.
  const std::string suite = std::string(::testing::TempDir()) + "startup-suite-" + std::to_string(::getpid());
  // The game's own folder as the build lays it out (art, sounds, questions), in a fresh copy.
  std::system(("rm -rf " + Quote(suite) + " && mkdir -p " + Quote(suite + "/Zorvel") + " && cp -r " +
               Quote(std::string(ZORVEL_GAME_DIR) + "/.") + " " + Quote(suite + "/Zorvel/") + " && rm -f " +
               Quote(suite + "/Zorvel/setup.ini") + " " + Quote(suite + "/Zorvel/hiscore.dat"))
                  .c_str());
  if (!setupIni.empty()) std::ofstream(suite + "/Zorvel/setup.ini") << setupIni;
  // A shell command run in the game's folder first (to break or remove a file).
  if (!prepare.empty()) std::system(("cd " + Quote(suite + "/Zorvel") + " && " + prepare).c_str());
  std::string scriptEnv;
  if (!script.empty()) {
    std::ofstream(suite + "/script.txt") << script;
    scriptEnv = " ZORVEL_SCRIPT=" + Quote(suite + "/script.txt");
  }
  const std::string command = "cd " + Quote(suite + "/Zorvel") + " && env ZORVEL_CLOCK=virtual ZORVEL_MESSAGEBOX=stderr" +
                              (trace ? " ZORVEL_TRACE=" + Quote(suite + "/trace.txt") : std::string()) + scriptEnv + " " + env + " " +
                              Quote(std::string(ZORVEL_BINARY_DIR) + "/zorvel-headless") + " " + argument + " 2>&1";
  const auto start = std::chrono::steady_clock::now();
  FILE* p = popen(command.c_str(), "r");
  std::string out;
  char buffer[512];
  while (size_t n = fread(buffer, 1, sizeof buffer, p)) out.append(buffer, n);
  const int status = pclose(p);
  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  std::ifstream traceFile(suite + "/trace.txt");
  std::stringstream t;
  t << traceFile.rdbuf();
  return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, out + "\n--trace--\n" + t.str(), seconds};
}

const std::string kQuitAtOnce = "zorvel-script 1\nseed 1\n0 close\n";

}  // namespace

TEST(Startup, RefusesToStartWithoutTheLauncherOrOnTheWrongDisplay) {
  GameRun r = RunGame("", "");
  EXPECT_EQ(0, r.exitCode);
  EXPECT_NE(std::string::npos, r.output.find("ERROR: Game must be run from the Hubbix")) << r.output;
  EXPECT_EQ(std::string::npos, r.output.find("window create")) << "no window before the check";

  r = RunGame("ZORVEL_DESKTOP_BPP=24", "/suite");
  EXPECT_EQ(0, r.exitCode);
  EXPECT_NE(std::string::npos, r.output.find("Error: Quillon Games needs the display set to High Color (16 bit)."))
      << r.output;
  for (const char* bpp : {"8", "32"}) EXPECT_EQ(std::string::npos, RunGame(std::string("ZORVEL_DESKTOP_BPP=") + bpp, "/s").output.find("window create"));

  r = RunGame("ZORVEL_DESKTOP_BPP=15", "/suite", kQuitAtOnce);
  EXPECT_EQ(0, r.exitCode);
  EXPECT_NE(std::string::npos, r.output.find("window create")) << "15 bits are accepted like 16";

  r = RunGame("ZORVEL_DIRECTDRAW=none", "/suite");
  EXPECT_NE(std::string::npos, r.output.find("DirectX not installed. Program needs DirectX 7.0a or higher to run"));
  r = RunGame("ZORVEL_DIRECTDRAW=old", "/suite");
  EXPECT_NE(std::string::npos, r.output.find("DirectX Version 7.0a or greater not installed"));
  EXPECT_EQ(0, r.exitCode);

  r = RunGame("", std::string(300, 'x'));
  EXPECT_EQ(0, r.exitCode);
  EXPECT_NE(std::string::npos, r.output.find("ERROR: The launcher folder name is too long")) << r.output;
  EXPECT_EQ(std::string::npos, r.output.find("window create"));
}

TEST(Startup, SettingsChooseTheWindowAndMissingOnesGiveDefaults) {
  GameRun r = RunGame("", "/suite", kQuitAtOnce);
  EXPECT_NE(std::string::npos, r.output.find("display windowed")) << r.output;
  EXPECT_NE(std::string::npos, r.output.find("mci \"open .\\sounds\\music.mp3 alias music\"")) << "music on by default";
  EXPECT_NE(std::string::npos, r.output.find("mci \"close music\""));

  r = RunGame("", "/suite", kQuitAtOnce, "[setup]\nfullscreen=1\nnowindow=1\n");
  EXPECT_NE(std::string::npos, r.output.find("display fullscreen")) << r.output;
  r = RunGame("", "/suite", kQuitAtOnce, "[SETUP]\nFullScreen=abc\n");
  EXPECT_NE(std::string::npos, r.output.find("display windowed")) << "text that is not a number counts as 0";
  r = RunGame("", "/suite", kQuitAtOnce, "garbage\x01\xff[[[\n=\n");
  EXPECT_NE(std::string::npos, r.output.find("display windowed"));
  EXPECT_EQ(0, r.exitCode);
}

TEST(Startup, EscapeEndsThroughTheShutdownAndTenThousandFramesRunFast) {
  const std::string tenThousandFrames = "zorvel-script 1\nseed 1\n100000 keyup ESCAPE\n";
  GameRun r = RunGame("", "/suite", "zorvel-script 1\nseed 1\n1000 keyup ESCAPE\n");
  EXPECT_EQ(0, r.exitCode) << r.output;
  EXPECT_NE(std::string::npos, r.output.find("1000 shutdown")) << r.output.substr(0, 2000);
  r = RunGame("", "/suite", tenThousandFrames, "", false);
  EXPECT_EQ(0, r.exitCode) << r.output;
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
  const double limit = 30.0;  // instrumented builds are many times slower
#else
  const double limit = 2.0;
#endif
  EXPECT_LT(r.seconds, limit) << "10 000 frames in virtual time";

  r = RunGame("", "/suite", "zorvel-script 1\nseed 7\n50 keyup F1\n60 screenshot shot.png\n70 keyup F1\n100 close\n");
  EXPECT_EQ(0, r.exitCode);
  EXPECT_NE(std::string::npos, r.output.find("seed 7")) << "the script's seed is used";
  EXPECT_NE(std::string::npos, r.output.find("screenshot shot.png"));
}

TEST(Startup, AMissingAndABrokenBackgroundAreToldApart) {
  GameRun missing = RunGame("", "/suite", kQuitAtOnce, "", true, "rm background.bmp");
  EXPECT_EQ(0, missing.exitCode);
  EXPECT_NE(std::string::npos, missing.output.find("background.bmp is missing from the game's folder")) << missing.output;

  // Present but cut short: it is there, it cannot be read, and the message says so.
  GameRun broken = RunGame("", "/suite", kQuitAtOnce, "", true, "truncate -s 1000 background.bmp");
  EXPECT_EQ(0, broken.exitCode);
  EXPECT_EQ(std::string::npos, broken.output.find("missing")) << broken.output;
  EXPECT_NE(std::string::npos, broken.output.find("background.bmp in the game's folder cannot be read")) << broken.output;
  EXPECT_NE(std::string::npos, broken.output.find("ERROR: can't read file!")) << broken.output;
}
