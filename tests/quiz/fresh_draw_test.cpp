// Statement ids, the topic index, and the draw limited to a set: the ids survive re-wrapping and reordering,
// and inside a set the draw makes the same random picks as a bank holding only that set.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "common/random_generator.h"
#include "quiz/question_bank.h"
#include "quiz/statement_id.h"
#include "quiz/topic_index.h"
#include "ui/bitmap_font_test_sheet.h"

using test_sheet::ScratchFolder;

namespace {

std::string Entry(const std::string& statement, const std::string& answer) {
  return statement + "\r\n" + answer + "\r\nBecause.\r\n\r\n";
}

class FreshDraw : public ::testing::Test {
 protected:
  void SetUp() override {
    const std::string sheet = folder.File("font.bmp");
    test_sheet::WriteGlyphSheet(sheet, test_sheet::EvenWidths(), 12);
    for (QuestionBank* bank : {&whole, &part}) {
      bank->statementFont = new BitmapFont;
      bank->explanationFont = new BitmapFont;
      ASSERT_EQ(1, bank->statementFont->Load(sheet.c_str()));
      ASSERT_EQ(1, bank->explanationFont->Load(sheet.c_str()));
    }
  }
  ScratchFolder folder;
  QuestionBank whole, part;
};

}  // namespace

TEST(StatementId, TheWordsDecideNotTheLinesOrThePlace) {
  const uint64_t id = statement_id::FromText("The Eiffel Tower was built for a world's fair.");
  EXPECT_EQ(id, statement_id::FromText("The Eiffel Tower was built\tfor a world's fair. "));
  EXPECT_EQ(id, statement_id::FromText("  The Eiffel Tower was built  for a world's fair."));
  EXPECT_NE(id, statement_id::FromText("The Eiffel Tower was built for a world's fair!"));
  EXPECT_NE(id, statement_id::FromText("the Eiffel Tower was built for a world's fair."));
  EXPECT_NE(0u, statement_id::FromText(""));

  uint64_t back = 0;
  ASSERT_TRUE(statement_id::FromHex(statement_id::ToHex(id), &back));
  EXPECT_EQ(id, back);
  EXPECT_EQ("00000000000000ff", statement_id::ToHex(0xff));
  EXPECT_TRUE(statement_id::FromHex("00000000000000FF", &back));
  EXPECT_EQ(0xffu, back);
  EXPECT_FALSE(statement_id::FromHex("ff", &back));
  EXPECT_FALSE(statement_id::FromHex("00000000000000fg", &back));
}

TEST_F(FreshDraw, TheBankGivesEachQuestionTheIdOfItsWordsWhereverItStands) {
  const std::string a = Entry("Snow is cold and white", "TRUE");
  // The same statement broken over two lines, after another entry.
  const std::string b = std::string("Snow is cold\r\nand white\r\nTRUE\r\nBecause.\r\n\r\n");
  ASSERT_EQ(1, whole.LoadQuestionFile(folder.Write("one.txt", a + Entry("Fish swim", "TRUE")).c_str()));
  ASSERT_EQ(1, part.LoadQuestionFile(folder.Write("two.txt", Entry("Cats bark", "FALSE") + b).c_str()));
  EXPECT_EQ(whole.StatementIdAt(0), part.StatementIdAt(1));
  EXPECT_EQ(statement_id::FromText("Snow is cold and white"), whole.StatementIdAt(0));
  EXPECT_NE(whole.StatementIdAt(0), whole.StatementIdAt(1));
  EXPECT_EQ(1, part.FindById(whole.StatementIdAt(0)));
  EXPECT_EQ(-1, part.FindById(whole.StatementIdAt(1)));
}

TEST_F(FreshDraw, InsideASetTheDrawPicksAsABankOfThatSetAlone) {
  std::string all, chosen;
  std::vector<int> inSet = {1, 4, 5, 8, 11};
  for (int i = 0; i < 12; ++i) {
    const std::string entry = Entry("Statement number " + std::to_string(i), i % 3 ? "TRUE" : "FALSE");
    all += entry;
    if (std::find(inSet.begin(), inSet.end(), i) != inSet.end()) chosen += entry;
  }
  ASSERT_EQ(1, whole.LoadQuestionFile(folder.Write("all.txt", all).c_str()));
  ASSERT_EQ(1, part.LoadQuestionFile(folder.Write("part.txt", chosen).c_str()));
  std::vector<int32_t> set;
  for (int i : inSet) set.push_back(i);
  whole.SetDrawSet(set);
  EXPECT_EQ(5, whole.CountFreeShowable());

  for (uint32_t seed : {1u, 7u, 99u, 2026u}) {
    whole.ResetUsed();
    part.ResetUsed();
    std::vector<uint64_t> fromSet, fromPart;
    SeedRandom(seed);
    for (int draw = 0; draw < 8; ++draw) {
      const Question* q = whole.DrawQuestion();
      fromSet.push_back(q ? q->statementId : 0);
    }
    const int32_t followingPick = NextRandom();
    SeedRandom(seed);
    for (int draw = 0; draw < 8; ++draw) {
      const Question* q = part.DrawQuestion();
      fromPart.push_back(q ? q->statementId : 0);
    }
    EXPECT_EQ(fromPart, fromSet) << "seed " << seed;
    EXPECT_EQ(NextRandom(), followingPick) << "the same number of random picks";
  }
  // Nothing outside the set is ever drawn or marked.
  for (int i = 0; i < 12; ++i) {
    if (std::find(inSet.begin(), inSet.end(), i) == inSet.end()) {
      EXPECT_FALSE(whole.IsUsed(i)) << i;
    }
  }

  // An empty set is the whole list again.
  whole.SetDrawSet({});
  whole.ResetUsed();
  EXPECT_FALSE(whole.HasDrawSet());
  EXPECT_EQ(12, whole.CountFreeShowable());
}

TEST(TopicIndex, ReadsTheBuildsIndexAndSkipsWhatIsNotALine) {
  TopicIndex index;
  EXPECT_TRUE(index.Parse("# zorvel topics 1: statement id, topic\r\n"
                          "00000000000000ff film\r\n"
                          "0123456789abcdef world history\r\n"
                          "0123456789abcdeg film\r\n"
                          "00000000000000aa\r\n"
                          "short film\r\n"
                          "00000000000000bb music"));
  EXPECT_EQ(3u, index.Size());
  EXPECT_EQ("film", index.TopicOf(0xff));
  EXPECT_EQ("world history", index.TopicOf(0x0123456789abcdefull));
  EXPECT_EQ("music", index.TopicOf(0xbb));
  EXPECT_EQ("", index.TopicOf(0xaa));
  EXPECT_FALSE(index.Parse("00000000000000ff film\n"));  // no header: not an index
  EXPECT_EQ(0u, index.Size());
  EXPECT_FALSE(index.Load("/nonexistent/Zorvel.topics"));
}
