// The review the launcher shows of a player's last game: built from the memory file and the question file,
// wrong answers first, paged by keys and by the card's buttons.
#include "game/statement_review.h"

#include <gtest/gtest.h>

#include <string>

#include "quiz/question_bank.h"
#include "quiz/statement_id.h"
#include "ui/bitmap_font_test_sheet.h"

namespace {

std::string Entry(const std::string& statement, bool truth, const std::string& explanation) {
  return statement + "\r\n" + (truth ? "TRUE" : "FALSE") + "\r\n" + explanation + "\r\n\r\n";
}

std::string Hex(const char* statement) { return statement_id::ToHex(statement_id::FromText(statement)); }

}  // namespace

TEST(StatementReview, TheLastGameFromTheMemoryFileWrongAnswersFirst) {
  test_sheet::ScratchFolder folder;
  const std::string sheet = folder.File("font.bmp");
  test_sheet::WriteGlyphSheet(sheet, test_sheet::EvenWidths(), 12);
  QuestionBank bank;
  bank.statementFont = new BitmapFont;
  bank.explanationFont = new BitmapFont;
  ASSERT_EQ(1, bank.statementFont->Load(sheet.c_str()));
  ASSERT_EQ(1, bank.explanationFont->Load(sheet.c_str()));
  const std::string file = Entry("Snow is cold.", true, "Frozen water.") + Entry("Cats bark.", false, "They meow.") +
                           Entry("Fish swim.", true, "Fins.") + Entry("Stones float.", false, "They sink.");
  ASSERT_EQ(1, bank.LoadQuestionFile(folder.Write("Zorvel.txt", file).c_str()));

  // Played in this order: right, wrong, a statement since taken out of the file, passed, wrong.
  PlayerMemory memory;
  ASSERT_EQ(ParsePlayerMemory("zorvel player 1\n"
                              "last " + Hex("Snow is cold.") + " T\n"
                              "last " + Hex("Cats bark.") + " T\n"
                              "last " + Hex("A statement that is gone.") + " F\n"
                              "last " + Hex("Fish swim.") + " P\n"
                              "last " + Hex("Stones float.") + " T\n"
                              "end\n",
                              &memory),
            MemoryStatus::kRead);
  ReviewPager pager(ReviewOfLastGame(memory, bank));
  ASSERT_EQ(pager.Count(), 4);
  auto page = [&pager] {
    const ReviewItem* item = pager.Current();
    return item->statement.front().substr(0, item->statement.front().find("  "));
  };
  EXPECT_EQ(page(), "Cats bark.");
  EXPECT_FALSE(pager.Current()->Right());
  EXPECT_EQ(pager.Current()->explanation.front().rfind("They meow.", 0), 0u);
  pager.Apply(ReviewAction::kPrevious);  // stays on the first page
  EXPECT_EQ(pager.Page(), 0);
  pager.Apply(ReviewActionForKey({{"false"}}));
  EXPECT_EQ(page(), "Stones float.");
  pager.Apply(ReviewActionForKey({{"true", "next"}}));  // the controller's A goes on
  EXPECT_EQ(page(), "Fish swim.");
  EXPECT_EQ(pager.Current()->answer, RecordAnswer::kPass);
  pager.Apply(ReviewActionForKey({{"next"}}));
  EXPECT_EQ(page(), "Snow is cold.");
  EXPECT_TRUE(pager.Current()->Right());
  pager.Apply(ReviewAction::kNext);  // stays on the last page
  EXPECT_EQ(pager.Page(), 3);
  pager.Apply(ReviewActionForKey({{"true"}}));
  EXPECT_EQ(pager.Page(), 2);
  EXPECT_EQ(ReviewActionForKey({{}}), ReviewAction::kNone);
  EXPECT_TRUE(pager.Apply(ReviewActionForKey({{}})));
  EXPECT_FALSE(pager.Apply(ReviewActionForKey({{"pass"}})));
  EXPECT_FALSE(pager.Open());

  // The card's buttons, in its own pixels: Back at 30, Next at 225, Close at 420, all 170 wide, from y 462.
  EXPECT_EQ(ReviewActionAt(31, 470), ReviewAction::kPrevious);
  EXPECT_EQ(ReviewActionAt(390, 500), ReviewAction::kNext);
  EXPECT_EQ(ReviewActionAt(589, 501), ReviewAction::kClose);
  EXPECT_EQ(ReviewActionAt(210, 480), ReviewAction::kNone);
  EXPECT_EQ(ReviewActionAt(300, 300), ReviewAction::kNone);
}
