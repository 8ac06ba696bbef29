#include "game/game_journal.h"

#include <algorithm>

#include "game/high_score_table.h"
#include "platform/host/file_lock.h"
#include "platform/host/file_names.h"
#include "platform/replay/trace.h"
#include "quiz/question.h"
#include "quiz/question_bank.h"

GameFigures PlaceInTable(const HighScoreTable& table, int32_t score) {
  GameFigures figures;
  figures.score = score;
  for (int32_t i = 0; i < table.Size(); ++i) {
    if (table.Entry(i).score >= score) continue;
    figures.place = i + 1;
    figures.newRecord = i == 0;
    return figures;
  }
  if (table.Size() > 0) figures.pointsMissing = table.Entry(table.Size() - 1).score - score + 1;
  return figures;
}

std::string RecordFolderOf(const std::string& hallOfFamePath) {
  const size_t slash = hallOfFamePath.rfind('/');
  return slash == std::string::npos ? std::string() : hallOfFamePath.substr(0, slash + 1);
}

std::string RecordFolderOfHallOfFame() { return RecordFolderOf(platform::HostPath("hiscore.dat")); }

void GameJournal::BeginGame(const std::string& playerName, const std::string& recordFolder, QuestionBank& bank) {
  answers_.clear();
  bonuses_ = 0;
  roundsStarted_ = 0;
  tellNewRound_ = false;
  active_ = true;
  path_ = recordFolder + PlayerMemoryFileName(playerName);
  hallOfFamePath_ = recordFolder + "hiscore.dat";
  record_ = PlayerMemory{};
  record_.name = playerName;
  const MemoryStatus status = LoadPlayerMemory(path_, &record_);
  const std::string file = PlayerMemoryFileName(playerName);
  // A first game has no file, and says nothing: with no memory a game's trace is the one it always was.
  if (status == MemoryStatus::kRead) {
    platform::TraceLine("player record " + file + " read, " + std::to_string(record_.seen.size()) + " seen");
  } else if (status != MemoryStatus::kMissing) {
    platform::TraceLine("player record " + file + " " + MemoryStatusName(status) + ": a fresh player");
  }
  record_.name = playerName;

  // A player who has seen nothing of this round draws exactly as the bank always has (its whole list, blank
  // entries included); otherwise only from what they have not seen.
  std::vector<int32_t> unseen;
  int32_t seenShowable = 0;
  for (int32_t i = 0; i < bank.Count(); ++i) {
    if (!bank.IsShowableAt(i)) continue;
    if (record_.SeenThisRound(bank.StatementIdAt(i))) ++seenShowable;
    else unseen.push_back(i);
  }
  if (seenShowable == 0) {
    bank.SetDrawSet({});
  } else if (unseen.empty()) {
    StartNewRound(bank);
  } else {
    platform::TraceLine("draw from " + std::to_string(unseen.size()) + " unseen of " +
                        std::to_string(unseen.size() + static_cast<size_t>(seenShowable)));
    bank.SetDrawSet(std::move(unseen));
  }
}

void GameJournal::StartNewRound(QuestionBank& bank) {
  ++record_.round;
  ++roundsStarted_;
  tellNewRound_ = true;
  bank.SetDrawSet({});
  platform::TraceLine("new round " + std::to_string(record_.round));
}

Question* GameJournal::Draw(QuestionBank& bank) {
  Question* question = bank.DrawQuestion();
  while (!question) {
    if (!bank.HasDrawSet()) {
      bank.ResetUsed();
    } else if (bank.CountFreeShowable() == 0) {
      // The statements of this game stay used, so the new round does not begin with one just answered.
      StartNewRound(bank);
    }
    // Otherwise the picks missed the few unseen ones left: clearing the marks would bring back statements this
    // player has just answered, so the draw simply runs again.
    question = bank.DrawQuestion();
  }
  return question;
}

bool GameJournal::TakeNewRoundNotice() {
  const bool tell = tellNewRound_;
  tellNewRound_ = false;
  return tell;
}

void GameJournal::NoteAnswer(Question* question, RecordAnswer answer, bool right) {
  if (!active_ || !question) return;
  answers_.push_back({*question, answer, right});
}

void GameJournal::ApplyGame(PlayerMemory* record, int32_t score) const {
  record->round = std::max(record->round, record_.round);
  ++record->games;
  record->scoreTotal += score;
  record->best = std::max(record->best, score);
  record->lastGame.clear();
  for (const Answer& a : answers_) {
    const uint64_t id = a.question.statementId;
    record->seen[id] = {record->round, a.answer, a.right};
    record->lastGame.push_back({id, a.answer});
    if (a.answer == RecordAnswer::kPass) continue;
    const std::string_view topic = topics_.TopicOf(id);
    PlayerMemory::Tally& tally = record->topics[topic.empty() ? std::string("other") : std::string(topic)];
    ++tally.answered;
    if (a.right) ++tally.right;
  }
}

GameFigures GameJournal::EndGame(GameFigures placed) {
  GameFigures figures = placed;
  if (!figures.placeSaved) figures.newRecord = false;
  const int32_t score = figures.score;
  int32_t run = 0;
  for (const Answer& a : answers_) {
    if (a.answer == RecordAnswer::kPass) ++figures.passed;
    else if (a.right) ++figures.right;
    else ++figures.wrong;
    run = a.right ? run + 1 : 0;
    figures.longestRun = std::max(figures.longestRun, run);
  }
  const int32_t answered = figures.right + figures.wrong;
  figures.accuracy = PlayerMemory::Percent({answered, figures.right});
  figures.bonuses = bonuses_;
  if (!active_) return figures;
  active_ = false;

  SaveWithThisGame(score);
  return figures;
}

// Read again just before writing, so that a game of the same player that ended meanwhile in another window is
// kept. This read-apply-write is the one place the hall of fame's file lock belongs around.
void GameJournal::SaveWithThisGame(int32_t score) {
  // Game over has let go of this lock by now: a second hold of it in this process would wait on the first.
  const platform::ScopedFileLock lock(hallOfFamePath_);
  PlayerMemory onDisk;
  onDisk.name = record_.name;
  const MemoryStatus status = LoadPlayerMemory(path_, &onDisk);
  if (status != MemoryStatus::kRead && status != MemoryStatus::kMissing) onDisk = record_;  // broken since: ours
  onDisk.name = record_.name;
  // Needed only now, so a new game does not wait for it.
  topics_.Load(TopicIndex::kFileName);
  ApplyGame(&onDisk, score);
  const bool written = SavePlayerMemory(path_, onDisk);
  record_ = std::move(onDisk);
  platform::TraceLine("player record " + PlayerMemoryFileName(record_.name) + (written ? " written" : " not written") +
                      ", games " + std::to_string(record_.games) + ", seen " + std::to_string(record_.seen.size()));
}
