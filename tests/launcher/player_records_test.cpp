// The players' records as the launcher shows them: figures and bars from a memory file written here, the review
// of the last game, the record following a rename, and the pages that lead there.
#include "launcher/player_records.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "game/game_journal.h"
#include "game/player_memory.h"
#include "launcher/launcher_pages.h"
#include "launcher/launcher_store.h"
#include "quiz/statement_id.h"
#include "suite_test_util.h"

namespace {

using hubbix::Control;
using hubbix::LauncherPages;
using hubbix::Page;
using hubbix::PlayerRecords;
using suite_test::ReadBytes;
using suite_test::ScratchFolder;
using suite_test::WriteBytes;
using K = hubbix::PageKeys;

std::string Id(const char* statement) { return statement_id::ToHex(statement_id::FromText(statement)); }

// Three statements, one of them true; the record's last game answered them in this order: right, pass, wrong.
const char* const kQuestions =
    "The Moon orbits the Earth.\nTRUE\nIt goes round about once every 27 days.\n\n"
    "A week has nine days.\nFALSE\nIt has seven.\n\n"
    "A spider has six legs.\nFALSE\nEvery arachnid has eight.\n\n";

std::string AnnsRecord() {
  return "zorvel player 1\n"
         "name Ann\n"
         "games 4\n"
         "total 5002\n"
         "best 2100\n"
         "round 1\n"
         "topic 8 6 film\n"
         "topic 0 0 food_drink\n"
         "topic 3 2 world_history\n"
         "topic 2 1 twenty_first_century\n"
         "topic 1 1 zoology\n"
         "last " + Id("The Moon orbits the Earth.") + " T\n"
         "last " + Id("A week has nine days.") + " P\n"
         "last " + Id("A spider has six legs.") + " T\n"
         "end\n";
}

// A suite's game folder of our own: the game's font, a small question file, the hall of fame's place.
struct Suite {
  ScratchFolder scratch;
  std::filesystem::path game = scratch.path() / "Zorvel";
  Suite() {
    std::filesystem::create_directories(game);
    std::filesystem::copy_file(std::filesystem::path(ZORVEL_GAME_DIR) / "font.bmp", game / "font.bmp");
    WriteBytes(game / "Zorvel.txt", kQuestions);
  }
  std::string HallOfFame() const { return (game / "hiscore.dat").string(); }
  std::filesystem::path Record(const std::string& name) const { return game / PlayerMemoryFileName(name); }
};

TEST(PlayerRecords, FiguresAndBarsComeFromThePlayersOwnFile) {
  Suite suite;
  WriteBytes(suite.Record("Ann"), AnnsRecord());
  WriteBytes(suite.Record("Cy"), AnnsRecord().substr(0, 40));  // cut short
  PlayerRecords records(suite.HallOfFame(), suite.game.string());

  const hubbix::PlayerFigures ann = records.Figures("Ann");
  EXPECT_EQ(ann.status, MemoryStatus::kRead);
  EXPECT_EQ(ann.name, "Ann");
  EXPECT_EQ(ann.games, 4);
  EXPECT_EQ(ann.best, 2100);
  EXPECT_EQ(ann.average, 1250);  // 5002 / 4, whole points
  EXPECT_EQ(ann.lastGameAnswers, 3u);
  // Topics without a true or false answer are left out; the rest in the order of their labels.
  ASSERT_EQ(ann.topics.size(), 4u);
  EXPECT_EQ(ann.topics[0].label, "21st century");
  EXPECT_EQ(ann.topics[0].percent, 50);
  EXPECT_EQ(ann.topics[1].label, "Film");
  EXPECT_EQ(ann.topics[1].percent, 75);
  EXPECT_EQ(ann.topics[2].label, "World history");
  EXPECT_EQ(ann.topics[2].percent, 67);  // 2 of 3, rounded
  EXPECT_EQ(ann.topics[3].label, "Zoology");
  EXPECT_EQ(ann.topics[3].answered, 1);
  EXPECT_EQ(ann.topics[3].percent, 100);
  EXPECT_EQ(hubbix::TopicLabel("food_drink"), "Food & drink");

  // No file yet, or a broken one: a player with no games, and the status says which.
  const hubbix::PlayerFigures bob = records.Figures("Bob");
  EXPECT_EQ(bob.status, MemoryStatus::kMissing);
  EXPECT_EQ(bob.name, "Bob");
  EXPECT_EQ(bob.games, 0);
  EXPECT_TRUE(bob.topics.empty());
  const hubbix::PlayerFigures cy = records.Figures("Cy");
  EXPECT_EQ(cy.status, MemoryStatus::kTruncated);
  EXPECT_EQ(cy.games, 0);
  EXPECT_EQ(cy.lastGameAnswers, 0u);

  // The game plays a roster name up to a colon, and so reads the launcher.
  EXPECT_EQ(records.Figures("Ann:x").games, 4);
  EXPECT_EQ(RecordFolderOf("/data/zorvel/hiscore.dat"), "/data/zorvel/");
  EXPECT_EQ(RecordFolderOf("hiscore.dat"), "");
  // Unnamed, the hall of fame is the game's own "hiscore.dat", here in the working folder, as the game opens it.
  EXPECT_EQ(PlayerRecords("", "").PathOf("Ann"), PlayerMemoryFileName("Ann"));
}

TEST(PlayerRecords, TheLastGameIsReviewedWrongFirstAndABrokenBankIsAMessage) {
  Suite suite;
  WriteBytes(suite.Record("Ann"), AnnsRecord());
  PlayerRecords records(suite.HallOfFame(), suite.game.string());
  std::vector<ReviewItem> items;
  std::string problem;
  ASSERT_TRUE(records.LastGameReview("Ann", &items, &problem)) << problem;
  ASSERT_EQ(items.size(), 3u);
  EXPECT_EQ(items[0].statement.at(0).rfind("A spider has six legs.", 0), 0u);
  EXPECT_EQ(items[0].answer, RecordAnswer::kTrue);
  EXPECT_FALSE(items[0].truth);
  EXPECT_EQ(items[1].statement.at(0).rfind("A week has nine days.", 0), 0u);
  EXPECT_EQ(items[1].answer, RecordAnswer::kPass);
  EXPECT_EQ(items[2].statement.at(0).rfind("The Moon orbits the Earth.", 0), 0u);
  EXPECT_TRUE(items[2].Right());

  // A game whose statements the question file no longer holds has nothing to show, and says why.
  WriteBytes(suite.Record("Bob"), "zorvel player 1\nname Bob\ngames 1\nlast 0123456789abcdef T\nend\n");
  EXPECT_FALSE(records.LastGameReview("Bob", &items, &problem));
  EXPECT_EQ(problem, "No review: the game's Zorvel.txt no longer holds that game's statements.");

  // The statements are read once: a question file changed meanwhile does not change this review.
  WriteBytes(suite.game / "Zorvel.txt", "");
  ASSERT_TRUE(records.LastGameReview("Ann", &items, &problem));
  EXPECT_EQ(items.size(), 3u);
  // Read for the first time, an empty or missing question file is a message.
  PlayerRecords none(suite.HallOfFame(), suite.game.string());
  EXPECT_FALSE(none.LastGameReview("Ann", &items, &problem));
  EXPECT_EQ(problem, "No review: the game's Zorvel.txt holds no statements.");
  std::filesystem::remove(suite.game / "Zorvel.txt");
  EXPECT_FALSE(none.LastGameReview("Ann", &items, &problem));
  EXPECT_EQ(problem, "No review: the game's Zorvel.txt cannot be read.");
}

TEST(PlayerRecords, ARenameTakesTheRecordAlongButNeverOverAnotherOne) {
  Suite suite;
  PlayerRecords records(suite.HallOfFame(), suite.game.string());
  WriteBytes(suite.Record("Ann"), AnnsRecord());
  std::string problem;
  EXPECT_EQ(records.FollowRename("Ann", "Ann Lee", &problem), PlayerRecords::Move::kMoved);
  EXPECT_FALSE(std::filesystem::exists(suite.Record("Ann")));
  EXPECT_EQ(ReadBytes(suite.Record("Ann Lee")), AnnsRecord());

  EXPECT_EQ(records.FollowRename("Bob", "Bo", &problem), PlayerRecords::Move::kNoFile);
  EXPECT_FALSE(std::filesystem::exists(suite.Record("Bo")));

  // The new name played before: both records stay as they are.
  WriteBytes(suite.Record("Dan"), "dan's");
  WriteBytes(suite.Record("Eve"), "eve's");
  EXPECT_EQ(records.FollowRename("Dan", "Eve", &problem), PlayerRecords::Move::kNewNameHasOne);
  EXPECT_EQ(ReadBytes(suite.Record("Dan")), "dan's");
  EXPECT_EQ(ReadBytes(suite.Record("Eve")), "eve's");
}

// The pages on an options file of two players and the records of the suite above.
struct Launcher {
  Suite suite;
  std::vector<std::string> trace;
  std::unique_ptr<hubbix::LauncherStore> store;
  std::unique_ptr<PlayerRecords> records;
  std::unique_ptr<LauncherPages> pages;
  Launcher() {
    const auto options = suite.scratch.path() / "options.ini";
    WriteBytes(options, "[setup]\r\nplayerid=0\r\n[Player1]\r\nname=Ann\r\n[Player2]\r\nname=Bob\r\n");
    WriteBytes(suite.Record("Ann"), AnnsRecord());
    store = std::make_unique<hubbix::LauncherStore>(options.string(), "");
    records = std::make_unique<PlayerRecords>(suite.HallOfFame(), suite.game.string());
    pages = std::make_unique<LauncherPages>(
        *store, std::vector<hubbix::FameRow>{}, -1,
        hubbix::LauncherEvents{[this](const std::string& t) { trace.push_back(t); }, nullptr, nullptr, nullptr});
    pages->UseRecords(records.get());
    pages->OpenPage(Page::Players);
  }
  void Key(int key) { pages->KeyDown(key, false); }
  void ClickAt(int32_t x, int32_t y) {
    pages->MouseDown(x, y);
    pages->MouseUp(x, y);
  }
  void Click(Control c) {
    const auto box = LauncherPages::Place(c);
    ClickAt(box.x + box.w / 2, box.y + box.h / 2);
  }
  bool Traced(const std::string& line) const {
    for (const auto& t : trace)
      if (t == line) return true;
    return false;
  }
  // A line with this start and end (a statement's laid-out line may end in spaces).
  bool TracedLike(const std::string& start, const std::string& end) const {
    for (const auto& t : trace)
      if (t.size() >= start.size() + end.size() && t.rfind(start, 0) == 0 &&
          t.compare(t.size() - end.size(), end.size(), end) == 0)
        return true;
    return false;
  }
};

TEST(PlayerRecords, ThePagesLeadFromAPlayerToTheirLastGameAndBack) {
  Launcher l;
  // Tab reaches Stats after Remove; Return opens the record of the player under the cursor.
  while (l.pages->Focus() != Control::Stats) l.Key(K::kTab);
  l.Key(K::kReturn);
  ASSERT_EQ(l.pages->CurrentPage(), Page::Stats);
  EXPECT_EQ(l.pages->Figures().games, 4);
  EXPECT_EQ(l.pages->Focus(), Control::LastGame);

  // The review: wrong first; Left does nothing on the first page, Right and the controller's A page on.
  l.Key(K::kReturn);
  ASSERT_EQ(l.pages->CurrentPage(), Page::Review);
  ASSERT_NE(l.pages->Review(), nullptr);
  EXPECT_EQ(l.pages->Review()->Count(), 3);
  EXPECT_FALSE(l.pages->Enabled(Control::ReviewPrevious));
  l.Key(K::kLeft);
  EXPECT_EQ(l.pages->Review()->Page(), 0);
  l.Key(K::kRight);
  EXPECT_EQ(l.pages->Review()->Page(), 1);
  // A press a little above the drawn Next button still counts: its hit area is a finger's height.
  const auto next = LauncherPages::Place(Control::ReviewNext);
  EXPECT_LT(next.h, hubbix::layout::kMinHitH);
  l.ClickAt(next.x + 10, next.y - 8);
  EXPECT_EQ(l.pages->Review()->Page(), 2);
  // At the last page Next is grey and the focus goes to Back, where Return still does something.
  EXPECT_EQ(l.pages->Focus(), Control::ReviewPrevious);
  l.Key(K::kPadA);
  EXPECT_EQ(l.pages->Review()->Page(), 1);
  EXPECT_TRUE(l.TracedLike("launcher review page 3 \"The Moon orbits the Earth.", "\" True TRUE"));
  // The column is behind the card: Play does not answer there.
  l.Click(Control::Play);
  EXPECT_EQ(l.pages->TakeCommand(), hubbix::Command::None);

  // Escape (or P, or the controller's B) closes the review, then leaves the record for the players page.
  l.Key(K::kP);
  EXPECT_EQ(l.pages->CurrentPage(), Page::Stats);
  EXPECT_EQ(l.pages->Review(), nullptr);
  EXPECT_EQ(l.pages->Focus(), Control::LastGame);
  l.Key(K::kPadB);
  EXPECT_EQ(l.pages->CurrentPage(), Page::Players);
  EXPECT_EQ(l.pages->Focus(), Control::Stats);

  // Bob has no record: no games, and nothing to review.
  const int32_t rosterX = LauncherPages::Place(Control::Roster).x + 40;
  l.ClickAt(rosterX, hubbix::layout::kRosterY + hubbix::layout::kRowH + 5);
  ASSERT_EQ(l.pages->RosterCursor(), 1);
  l.Click(Control::Stats);
  ASSERT_EQ(l.pages->CurrentPage(), Page::Stats);
  EXPECT_EQ(l.pages->Figures().status, MemoryStatus::kMissing);
  EXPECT_FALSE(l.pages->Enabled(Control::LastGame));
  EXPECT_EQ(l.pages->Focus(), Control::Back);
  l.Key(K::kReturn);
  EXPECT_EQ(l.pages->CurrentPage(), Page::Players);

  // A missing question file: the record's page stays, with a message.
  l.ClickAt(rosterX, hubbix::layout::kRosterY + 5);
  std::filesystem::remove(l.suite.game / "Zorvel.txt");
  PlayerRecords fresh(l.suite.HallOfFame(), l.suite.game.string());
  l.pages->UseRecords(&fresh);
  l.Click(Control::Stats);
  l.Click(Control::LastGame);
  EXPECT_EQ(l.pages->CurrentPage(), Page::Stats);
  EXPECT_TRUE(l.pages->MessageIsProblem());
  EXPECT_EQ(l.pages->Message(), "No review: the game's Zorvel.txt cannot be read.");
}

TEST(PlayerRecords, RenamingOnThePlayersPageMovesTheRecordAndEveryButtonIsAFingerHigh) {
  Launcher l;
  l.Click(Control::Rename);
  for (char c : std::string(" Lee")) l.pages->Character(static_cast<uint32_t>(c));
  l.Key(K::kReturn);
  EXPECT_TRUE(l.Traced("launcher record moved to Ann Lee"));
  EXPECT_TRUE(std::filesystem::exists(l.suite.Record("Ann Lee")));
  EXPECT_FALSE(std::filesystem::exists(l.suite.Record("Ann")));
  l.Click(Control::Stats);
  EXPECT_EQ(l.pages->Figures().games, 4);

  for (Control c : {Control::Play, Control::Players, Control::Settings, Control::HallOfFame, Control::Quit,
                    Control::Add, Control::Select, Control::Rename, Control::Remove, Control::Stats, Control::Yes,
                    Control::No, Control::Music, Control::Effects, Control::Display, Control::LastGame,
                    Control::Back, Control::ReviewPrevious, Control::ReviewNext, Control::ReviewClose})
    EXPECT_GE(LauncherPages::HitBox(c).h, 62) << hubbix::ControlName(c);
}

}  // namespace
