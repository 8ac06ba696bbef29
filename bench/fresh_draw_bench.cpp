// What a player's memory adds to the start of a game: reading a 2,000-entry memory file, limiting the draw to
// the statements not yet seen, and drawing a game's worth (30) of statements, against the same with no memory.
// Run in the built game folder, on the real question file and topic index:
//   build/bench/zorvel_fresh_draw_bench --benchmark_repetitions=9 --benchmark_report_aggregates_only=true
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

#include "common/random_generator.h"
#include "game/game_journal.h"
#include "game/player_memory.h"
#include "quiz/question.h"
#include "quiz/question_bank.h"

namespace {

struct Fixture {
  QuestionBank bank;
  std::string folder;
  Fixture() {
    if (::chdir(ZORVEL_GAME_DIR) != 0) std::abort();
    bank.CreateFonts();
    if (!bank.LoadQuestionFile("Zorvel.txt") || bank.Count() < 400) std::abort();
    char pattern[] = "/tmp/zorvel-bench-XXXXXX";
    folder = std::string(::mkdtemp(pattern)) + "/";
    // 2,000 entries: every statement of the bank but the last 300, and the rest ids the bank does not hold.
    PlayerMemory memory;
    memory.name = "Bench";
    const int32_t known = bank.Count() - 300;
    for (int32_t i = 0; i < known; ++i) memory.seen[bank.StatementIdAt(i)] = {1, RecordAnswer::kTrue, true};
    for (uint64_t id = 1; memory.seen.size() < 2000; ++id) memory.seen[id] = {1, RecordAnswer::kPass, false};
    if (!SavePlayerMemory(folder + PlayerMemoryFileName("Bench"), memory)) std::abort();
  }
  ~Fixture() { std::system(("rm -rf '" + folder + "'").c_str()); }
};

Fixture& Shared() {
  static Fixture fixture;
  return fixture;
}

void NewGame(benchmark::State& state, const char* player) {
  Fixture& f = Shared();
  SeedRandom(1);
  for (auto _ : state) {
    f.bank.ResetUsed();
    GameJournal journal;
    journal.BeginGame(player, f.folder, f.bank);
    for (int i = 0; i < 30; ++i) benchmark::DoNotOptimize(journal.Draw(f.bank));
  }
}

void BM_NewGameWithoutMemory(benchmark::State& state) { NewGame(state, "Nobody"); }
void BM_NewGameWith2000EntryMemory(benchmark::State& state) { NewGame(state, "Bench"); }

}  // namespace

BENCHMARK(BM_NewGameWithoutMemory)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_NewGameWith2000EntryMemory)->Unit(benchmark::kMicrosecond);
BENCHMARK_MAIN();
