#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>

#include "common/game_rules.h"
#include "game/high_score_table.h"
#include "game/last_result.h"
#include "launcher/fame_rows.h"
#include "launcher/launcher_pages.h"
#include "launcher/launcher_store.h"
#include "suite_test_util.h"

namespace {

using suite_test::ReadBytes;
using suite_test::WriteBytes;

TEST(LauncherStore, EachChangeRereadsTheFileSoAnotherProgramsChangeSurvives) {
  suite_test::ScratchFolder scratch;
  const std::string options = (scratch.path() / "options.ini").string();
  const std::string setup = (scratch.path() / "setup.ini").string();
  WriteBytes(options, "; kept\r\n[setup]\r\nmusic=Y\r\nplayerid=0\r\n[Player1]\r\nname=Ann\r\n");
  WriteBytes(setup, "[setup]\r\nnowindow=1\r\n");
  hubbix::LauncherStore store(options, setup);
  ASSERT_EQ(store.Options().PlayerName(0), "Ann");

  // A second launcher adds Bob meanwhile; this one then adds Cid: both stay.
  WriteBytes(options, ReadBytes(options) + "[Player2]\r\nname=Bob\r\n");
  std::string error;
  ASSERT_TRUE(store.Change([](hubbix::SuiteOptions& o, std::string* e) { return o.AddPlayer("Cid", e) >= 0; },
                           &error))
      << error;
  EXPECT_EQ(ReadBytes(options),
            "; kept\r\n[setup]\r\nmusic=Y\r\nplayerid=2\r\n[Player1]\r\nname=Ann\r\n[Player2]\r\nname=Bob\r\n"
            "\r\n[Player3]\r\nname=Cid\r\naddress=\r\nemail=\r\nsend=Y\r\n");

  // Full screen goes to the game's setup.ini, beside what was there.
  ASSERT_TRUE(store.SetFullScreen(true, &error)) << error;
  EXPECT_EQ(ReadBytes(setup), "[setup]\r\nnowindow=1\r\nfullscreen=1\r\n");
  EXPECT_TRUE(store.FullScreen());

  // A refused change writes nothing.
  EXPECT_FALSE(store.Change([](hubbix::SuiteOptions& o, std::string* e) { return o.AddPlayer("ann", e) >= 0; },
                            &error));
  EXPECT_EQ(error, "There is already a player called Ann.");
  EXPECT_EQ(store.Options().Players().size(), 3u);
}

TEST(LauncherStore, AFileThatCannotBeWrittenLosesNothingAndSaysSo) {
  suite_test::ScratchFolder scratch;
  const std::string options = (scratch.path() / "options.ini").string();
  const std::string original = "[setup]\nplayerid=0\n[Player1]\nname=Ann\n";
  WriteBytes(options, original);
  hubbix::LauncherStore store(options, "");
  // A write-protected file is never replaced, even by the superuser. (The new copy's name is a fresh one each
  // time, so nothing left beside the file can block a write any more.)
  ASSERT_EQ(::chmod(options.c_str(), 0444), 0);
  std::string error;
  EXPECT_FALSE(store.Change([](hubbix::SuiteOptions& o, std::string* e) { return o.AddPlayer("Bob", e) >= 0; },
                            &error));
  ::chmod(options.c_str(), 0644);
  EXPECT_FALSE(error.empty());
  EXPECT_EQ(ReadBytes(options), original);
  // The pages go on with what the file holds.
  EXPECT_EQ(store.Options().Players().size(), 1u);
}

TEST(LastResult, HighlightsOnlyAnEntryThatStillMatchesTheTable) {
  HighScoreTable table;
  table.Allocate(rules::kHallOfFamePlaces);
  table.InsertScore("Bob:::Y", 5000);
  table.InsertScore("Cid:::Y", 1000);
  // Equal scores already in the table stay above the new one.
  ASSERT_TRUE(table.InsertScore("Ann:::Y", 1000));
  EXPECT_EQ(PlaceOfNewEntry(table, 1000), 3);
  EXPECT_EQ(PlaceOfNewEntry(table, 777), 0);

  const std::string record = FormatLastResult(3, 1000, "Ann:::Y");
  EXPECT_EQ(record, "[last]\ngame=Zorvel\nplace=3\nscore=1000\nline=Ann:::Y\n");
  EXPECT_EQ(HighlightedEntry(record, table), 2);
  // A record from a result that did not enter, an older table, another game or a broken file: no highlight.
  EXPECT_EQ(HighlightedEntry(FormatLastResult(0, 10, "Ann:::Y"), table), -1);
  EXPECT_EQ(HighlightedEntry(FormatLastResult(2, 1000, "Ann:::Y"), table), -1);
  EXPECT_EQ(HighlightedEntry(FormatLastResult(3, 1001, "Ann:::Y"), table), -1);
  EXPECT_EQ(HighlightedEntry("[last]\ngame=Other\nplace=3\nscore=1000\nline=Ann:::Y\n", table), -1);
  EXPECT_EQ(HighlightedEntry("[last]\ngame=Zorvel\nplace=99999999999\nscore=1000\nline=Ann:::Y\n", table), -1);
  EXPECT_EQ(HighlightedEntry("\x01\x02garbage", table), -1);
  EXPECT_EQ(HighlightedEntry("", table), -1);
  // Line ends written by another editor still read.
  EXPECT_EQ(HighlightedEntry("[last]\r\ngame=Zorvel\r\nplace=3\r\nscore=1000\r\nline=Ann:::Y\r\n", table), 2);
}

TEST(FameRows, TwentyPlacesWithTheNamesOfTheStoredLines) {
  suite_test::ScratchFolder scratch;
  const std::string hiscore = (scratch.path() / "hiscore.dat").string();
  const std::string last = (scratch.path() / "lastgame.ini").string();
  HighScoreTable table;
  table.Allocate(rules::kHallOfFamePlaces);
  table.InsertScore("Ann:street:mail:Y", 2500);
  table.InsertScore("Bob:::N", 3000);
  ASSERT_TRUE(table.WriteTable(hiscore.c_str()));
  WriteBytes(last, FormatLastResult(2, 2500, "Ann:street:mail:Y"));
  int highlight = 7;
  const auto rows = hubbix::ReadFameRows(hiscore, last, &highlight);
  ASSERT_EQ(rows.size(), 20u);
  EXPECT_EQ(rows[0].rank, 1);
  EXPECT_EQ(rows[0].name, "Bob");
  EXPECT_EQ(rows[0].score, 3000);
  EXPECT_EQ(rows[1].name, "Ann");
  EXPECT_EQ(rows[19].rank, 20);
  EXPECT_EQ(highlight, 1);
  // No table and no record: empty places, nothing highlighted.
  const auto none = hubbix::ReadFameRows((scratch.path() / "missing.dat").string(),
                                         (scratch.path() / "missing.ini").string(), &highlight);
  EXPECT_EQ(none.size(), 20u);
  EXPECT_EQ(none[0].score, 0);
  EXPECT_EQ(highlight, -1);
}

}  // namespace

namespace {

TEST(LauncherStore, SeesAChangeMadeOutsideOnlyWhenTheFileChanged) {
  suite_test::ScratchFolder scratch;
  const std::string options = (scratch.path() / "options.ini").string();
  WriteBytes(options, "[setup]\nplayerid=0\n[Player1]\nname=Ann\n");
  hubbix::LauncherStore store(options, "");
  EXPECT_FALSE(store.ReloadIfChanged());
  std::string error;
  ASSERT_TRUE(store.Change([](hubbix::SuiteOptions& o, std::string* e) { return o.AddPlayer("Bob", e) >= 0; },
                           &error));
  // Its own write is no outside change.
  EXPECT_FALSE(store.ReloadIfChanged());
  // Another launcher removes Bob.
  WriteBytes(options, "[setup]\nplayerid=0\n[Player1]\nname=Ann\n");
  EXPECT_TRUE(store.ReloadIfChanged());
  EXPECT_EQ(store.Options().Players().size(), 1u);
  EXPECT_FALSE(store.ReloadIfChanged());
}

}  // namespace

namespace {

TEST(LauncherPages, APlayerRemovedOutsideLeavesNoQuestionAboutThem) {
  suite_test::ScratchFolder scratch;
  const std::string options = (scratch.path() / "options.ini").string();
  WriteBytes(options, "[setup]\nplayerid=0\n[Player1]\nname=Ann\n[Player2]\nname=Bob\n");
  hubbix::LauncherStore store(options, "");
  hubbix::LauncherPages pages(store, {}, -1, {});
  pages.OpenPage(hubbix::Page::Players);
  // Bob's removal is being asked about...
  const auto row = hubbix::layout::kRosterY + hubbix::layout::kRowH + 5;
  pages.MouseDown(hubbix::layout::kPanel.x + 40, row);
  pages.MouseUp(hubbix::layout::kPanel.x + 40, row);
  ASSERT_EQ(pages.RosterCursor(), 1);
  const auto remove = hubbix::LauncherPages::Place(hubbix::Control::Remove);
  pages.MouseDown(remove.x + 5, remove.y + 5);
  pages.MouseUp(remove.x + 5, remove.y + 5);
  ASSERT_TRUE(pages.Confirming());
  // ...when another launcher removes him.
  WriteBytes(options, "[setup]\nplayerid=0\n[Player1]\nname=Ann\n");
  ASSERT_TRUE(store.ReloadIfChanged());
  pages.OptionsChangedOutside();
  EXPECT_FALSE(pages.Confirming());
  EXPECT_EQ(pages.RosterCursor(), 0);
}

TEST(LauncherPages, AClickPicksThePlayerOfItsRowInEitherColumn) {
  suite_test::ScratchFolder scratch;
  const std::string options = (scratch.path() / "options.ini").string();
  WriteBytes(options, "[setup]\nplayerid=0\n[Player1]\nname=Ann\n[Player2]\nname=Bob\n[Player3]\nname=Cy\n"
                      "[Player4]\nname=Dee\n[Player5]\nname=Eve\n[Player6]\nname=Fay\n");
  hubbix::LauncherStore store(options, "");
  hubbix::LauncherPages pages(store, {}, -1, {});
  pages.OpenPage(hubbix::Page::Players);
  namespace lay = hubbix::layout;
  auto click = [&](int32_t x, int32_t y) {
    pages.MouseDown(x, y);
    pages.MouseUp(x, y);
    return pages.RosterCursor();
  };
  // Four players down the first column, then the second: the fifth stands at the top right, the sixth under it.
  const lay::Box fifth = lay::RosterRow(4), sixth = lay::RosterRow(5), fourth = lay::RosterRow(3);
  EXPECT_GT(fifth.x, lay::RosterRow(0).x + lay::RosterRow(0).w - 1);
  EXPECT_EQ(fifth.y, lay::kRosterY);
  EXPECT_EQ(click(fifth.x + 20, fifth.y + fifth.h / 2), 4);
  EXPECT_EQ(click(sixth.x + sixth.w - 3, sixth.y + sixth.h - 2), 5);
  EXPECT_EQ(click(fourth.x + 3, fourth.y + 2), 3);
  // Where the second column has no seventh player, a click there picks nobody.
  EXPECT_EQ(pages.RosterRowAt(lay::RosterRow(6).x + 20, lay::RosterRow(6).y + 10), -1);
}

}  // namespace

namespace {

TEST(HubbixIniDocumentRemoval, TakesTheWholeSectionAndLeavesTheOthersAsTheyWere) {
  hubbix::IniDocument doc;
  doc.Parse("; players\r\n[setup]\r\nplayerid=1\r\n[Player1]\r\nname=Ann\r\n\r\n[Player2]\r\nname=Bob\r\n"
            "; Bob's note\r\naddress=Street\r\n\r\n[player2]\r\nname=Again\r\n[Player3]\r\nname=Cy\r\n");
  doc.RemoveSection("PLAYER2");
  // Every section of that name goes with its keys and the comments inside it; nothing of it falls to Player1.
  EXPECT_EQ(doc.Text(), "; players\r\n[setup]\r\nplayerid=1\r\n[Player1]\r\nname=Ann\r\n\r\n[Player3]\r\nname=Cy\r\n");
  EXPECT_FALSE(doc.Get("Player1", "address").has_value());
  EXPECT_FALSE(doc.HasSection("Player2"));
  doc.RemoveSection("Player9");  // nothing to take
  EXPECT_EQ(doc.Get("Player3", "name", "?"), "Cy");
}

}  // namespace
