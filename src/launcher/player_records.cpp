#include "launcher/player_records.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <utility>

#include "game/game_journal.h"
#include "platform/host/atomic_file.h"
#include "platform/host/file_lock.h"
#include "platform/host/file_names.h"
#include "quiz/question_bank.h"
#include "ui/bitmap_font.h"

namespace hubbix {

namespace {

// The game's own topics whose file names read oddly with their underscores as spaces (two subjects in one, a
// period); any other topic, a later one included, is written as its file is named.
constexpr std::pair<const char*, const char*> kTopicLabels[] = {
    {"art_architecture", "Art & architecture"},      {"biology_medicine", "Biology & medicine"},
    {"countries_capitals", "Countries & capitals"},  {"economics_business", "Economics & business"},
    {"food_drink", "Food & drink"},                  {"language_words", "Language & words"},
    {"music_1980_on", "Music since 1980"},           {"music_to_1979", "Music before 1980"},
    {"mythology_religion", "Mythology & religion"},  {"physics_chemistry", "Physics & chemistry"},
    {"politics_institutions", "Politics & institutions"}, {"space_astronomy", "Space & astronomy"},
    {"twenty_first_century", "21st century"},
};

}  // namespace

std::string TopicLabel(const std::string& topic) {
  for (const auto& [name, label] : kTopicLabels)
    if (topic == name) return label;
  std::string label = topic;
  for (char& c : label)
    if (c == '_') c = ' ';
  if (!label.empty() && static_cast<unsigned char>(label[0]) < 128)
    label[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(label[0])));
  return label;
}

PlayerFigures FiguresOf(const PlayerMemory& record, MemoryStatus status) {
  PlayerFigures f;
  f.name = record.name;
  f.status = status;
  f.games = record.games;
  f.best = record.best;
  f.average = record.AverageScore();
  f.lastGameAnswers = record.lastGame.size();
  for (const auto& [topic, tally] : record.topics) {
    // Only passes in a topic say nothing of what the player knows there.
    if (tally.answered <= 0) continue;
    f.topics.push_back({TopicLabel(topic), tally.answered, tally.right, PlayerMemory::Percent(tally)});
  }
  std::stable_sort(f.topics.begin(), f.topics.end(),
                   [](const TopicBar& a, const TopicBar& b) { return a.label < b.label; });
  return f;
}

PlayerRecords::PlayerRecords(std::string hallOfFamePath, std::string gameFolder)
    // Unnamed, the hall of fame is where the game opens it: its name, through the game's redirection of the files
    // it writes (in place, the XDG folder, the browser's storage), from the working folder.
    : hallOfFamePath_(hallOfFamePath.empty() ? platform::HostPath("hiscore.dat") : std::move(hallOfFamePath)),
      folder_(RecordFolderOf(hallOfFamePath_)),
      gameFolder_(std::move(gameFolder)) {}

PlayerRecords::~PlayerRecords() = default;

std::string PlayerRecords::PathOf(const std::string& rosterName) const {
  return folder_ + PlayerMemoryFileName(PlayerNameOfLine(rosterName));
}

PlayerFigures PlayerRecords::Figures(const std::string& rosterName) const {
  PlayerMemory record;
  record.name = PlayerNameOfLine(rosterName);
  const MemoryStatus status = LoadPlayerMemory(PathOf(rosterName), &record);
  // The file's own copy of the name may be an older spelling: the roster's is the one shown.
  record.name = rosterName;
  PlayerFigures figures = FiguresOf(record, status);
  figures.file = PlayerMemoryFileName(PlayerNameOfLine(rosterName));
  return figures;
}

bool PlayerRecords::LastGameReview(const std::string& rosterName, std::vector<ReviewItem>* items,
                                   std::string* problem) {
  if (!bank_) {
    const std::string questions = gameFolder_ + "/Zorvel.txt";
    auto bank = std::make_unique<QuestionBank>();
    // The statements are laid out with the game's font, so their lines break where the game's do.
    bank->statementFont = new BitmapFont;
    bank->explanationFont = new BitmapFont;
    const std::string font = gameFolder_ + "/font.bmp";
    if (gameFolder_.empty() || !bank->statementFont->Load(font.c_str()) ||
        !bank->explanationFont->Load(font.c_str())) {
      if (problem) *problem = "No review: the game's font.bmp cannot be read.";
      return false;
    }
    if (bank->LoadQuestionFile(questions.c_str()) == 0) {
      if (problem) *problem = "No review: the game's Zorvel.txt cannot be read.";
      return false;
    }
    if (bank->Count() == 0) {
      if (problem) *problem = "No review: the game's Zorvel.txt holds no statements.";
      return false;
    }
    bank_ = std::move(bank);
  }
  PlayerMemory record;
  record.name = PlayerNameOfLine(rosterName);
  LoadPlayerMemory(PathOf(rosterName), &record);
  *items = ReviewOfLastGame(record, *bank_);
  if (items->empty() && !record.lastGame.empty()) {
    // A question file changed since the game: an empty card would say nothing was answered.
    if (problem) *problem = "No review: the game's Zorvel.txt no longer holds that game's statements.";
    return false;
  }
  return true;
}

PlayerRecords::Move PlayerRecords::FollowRename(const std::string& oldName, const std::string& newName,
                                                std::string* problem) {
  const std::string from = PathOf(oldName), to = PathOf(newName);
  if (from == to) return Move::kNoFile;
  // The game's read-change-write of a record holds this lock; a move in the middle of it would lose the game.
  const platform::ScopedFileLock lock(hallOfFamePath_);
  if (!platform::IsRegularFile(from)) return Move::kNoFile;
  if (platform::FileExists(to)) return Move::kNewNameHasOne;
  std::string bytes;
  std::string error;
  if (!platform::ReadRegularFile(from, &bytes, PlayerMemory::kMaxBytes)) {
    error = "it cannot be read";
  } else if (!platform::ReplaceHostFile(to, bytes.data(), bytes.size(), &error)) {
    if (error.empty()) error = "it cannot be written";
  } else {
    // Written and kept: only now may the old name's copy go. Should that fail, the two are the same record.
    std::remove(from.c_str());
    return Move::kMoved;
  }
  if (problem) *problem = "The record of " + oldName + " stays under the old name: " + error + ".";
  return Move::kFailed;
}

}  // namespace hubbix
