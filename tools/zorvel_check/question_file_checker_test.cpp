#include "tools/zorvel_check/question_file_checker.h"

#include <gtest/gtest.h>

#include <string>

#include "ui/bitmap_font_test_sheet.h"

using test_sheet::ScratchFolder;

namespace {

// Letters advance 10 pixels and a space 5: 42 letters fill the panel.
class Checker : public ::testing::Test {
 protected:
  void SetUp() override {
    test_sheet::WriteGlyphSheet(folder.File("font.bmp"), test_sheet::EvenWidths(), 12);
    ASSERT_EQ(1, font.Load(folder.File("font.bmp").c_str()));
  }

  bool Has(int32_t line, const std::string& words) const {
    for (const auto& finding : checker.Findings())
      if (finding.line == line && finding.message.find(words) != std::string::npos) return true;
    return false;
  }

  std::string Listing() const {
    std::string all;
    for (const auto& finding : checker.Findings())
      all += std::to_string(finding.line) + ": " + finding.message + "\n";
    return all;
  }

  ScratchFolder folder;
  BitmapFont font;
  QuestionFileChecker checker{&font};
};

}  // namespace

TEST_F(Checker, ACleanFileHasNoFindingsAndIsCounted) {
  const std::string file = folder.Write("q.txt",
      "Water boils at 100 degrees Celsius\r\nat sea level.\r\nTRUE\r\nIt does.\r\n\r\n"
      "The sun is cold.\r\nFALSE\r\nIt is hot.\r\nVery hot.\r\n\r\n"
      "Ice floats.\r\nTRUE\r\nIt is lighter than water.\r\n\r\n");
  ASSERT_TRUE(checker.Check(file));
  EXPECT_TRUE(checker.Findings().empty()) << Listing();
  EXPECT_EQ(3, checker.EntryCount());
  EXPECT_EQ(2, checker.TrueCount());
  EXPECT_EQ(1, checker.FalseCount());
  EXPECT_FALSE(checker.Check(folder.File("missing.txt")));
}

TEST_F(Checker, EveryKindOfFaultIsReportedAtItsLine) {
  const std::string word10 = "abcdefghij ";
  std::string longText;
  for (int i = 0; i < 22; ++i) longText += word10;  // 22 words of 100 pixels: six wrapped lines
  const std::string file = folder.Write("q.txt",
      "Good statement.\r\nTRUE\r\nGood explanation.\r\n\r\n"           // 1-4
      "True story: this one.\r\nTRUE\r\nWhy.\r\n\r\n"                  // 5-8
      "No answer here.\r\n\r\n"                                        // 9-10
      "\r\n"                                                           // 11
      "Tab\there.\r\nFALSE\r\nCaf\xe9.\r\n\r\n"                        // 12-15
      "LF only\nFALSE\r\nx\r\n\r\n"                                    // 16-19
      + std::string(260, 'L') + "\r\nTRUE\r\nA " + std::string(50, 'W') + " word\r\n\r\n"  // 20-23
      "good   STATEMENT.\r\nFALSE\r\nDup.\r\n\r\n"                     // 24-27
      "a\r\nb\r\nc\r\nd\r\ne\r\nf\r\nTRUE\r\nx\r\n\r\n"                // 28-36
      " Leading space\r\nTRUE\r\nx\r\n\r\n"                            // 37-40
      "S\r\nTRUE\r\nE\r\nFALSE.\r\nZ\r\n\r\n"                          // 41-46
      "No explanation\r\nTRUE\r\n\r\n"                                 // 47-49
      "Wordy\r\nTRUE\r\n" + longText + "\r\n\r\n"                      // 50-53
      "Lost entry\r\nTRUE\r\nexpl\r\n");                               // 54-56
  ASSERT_TRUE(checker.Check(file));
  const std::string listing = Listing();
  EXPECT_TRUE(Has(5, "read as the answer line")) << listing;
  EXPECT_TRUE(Has(5, "no statement")) << listing;
  EXPECT_TRUE(Has(6, "second answer line")) << listing;
  EXPECT_TRUE(Has(9, "no TRUE or FALSE line")) << listing;
  EXPECT_FALSE(Has(11, "")) << "the game skips an extra empty line, so the checker does not report it\n" << listing;
  EXPECT_TRUE(Has(12, "0x09 is not in the font")) << listing;
  EXPECT_TRUE(Has(14, "0xE9 is not in the font")) << listing;
  EXPECT_TRUE(Has(16, "LF without CR")) << listing;
  EXPECT_FALSE(Has(17, "LF without CR")) << listing;
  EXPECT_TRUE(Has(20, "260 characters")) << listing;
  EXPECT_TRUE(Has(22, "wider than the text panel")) << listing;
  EXPECT_TRUE(Has(24, "same statement as the entry at line 1")) << listing;
  EXPECT_TRUE(Has(31, "line 4 of the statement is never shown")) << listing;
  EXPECT_TRUE(Has(33, "line 6 of the statement does not fit")) << listing;
  EXPECT_TRUE(Has(37, "never shown: its text begins with a space")) << listing;
  EXPECT_TRUE(Has(44, "second answer line")) << listing;
  EXPECT_FALSE(Has(44, "read as the answer line")) << "FALSE. is an answer line the game reads correctly\n" << listing;
  EXPECT_TRUE(Has(47, "no explanation")) << listing;
  EXPECT_TRUE(Has(50, "explanation wraps to more than five lines")) << listing;
  EXPECT_TRUE(Has(54, "no empty line after it and is lost")) << listing;
  // The extra empty line, and the entry of two answer lines whose only text came after the second, are dropped
  // by the game.
  EXPECT_EQ(11, checker.EntryCount());
  for (size_t i = 1; i < checker.Findings().size(); ++i)
    EXPECT_LE(checker.Findings()[i - 1].line, checker.Findings()[i].line) << "findings come in file order";
}

TEST_F(Checker, ALastLineWithoutItsLineEndIsReported) {
  ASSERT_TRUE(checker.Check(folder.Write("q.txt", "S\r\nTRUE\r\nE\r\n\r")));
  EXPECT_EQ(1, checker.EntryCount());
  EXPECT_TRUE(Has(4, "no CR LF")) << Listing();
}

TEST_F(Checker, AcceptsEveryAnswerWordTheGameReadsAndCountsAsTheGameKeeps) {
  ASSERT_TRUE(checker.Check(folder.Write("q.txt",
      "One.\r\ntrue\r\nA.\r\n\r\n"       // 1-4
      "Two.\r\nFalse.\r\nB.\r\n\r\n"     // 5-8
      "Three.\r\nTRUE!\r\nC.\r\n\r\n"    // 9-12
      "Four.\r\nfalse \r\nD.\r\n\r\n"    // 13-16
      "\r\n\r\n\r\n"                     // 17-19: skipped by the game
      "Five.\r\nFalsehood\r\nE.\r\n\r\n"  // 20-23
      "TRUE\r\n\r\n")));                 // 24-25: an answer and nothing else, dropped by the game
  const std::string listing = Listing();
  for (int32_t line : {2, 6, 10, 14, 17, 18, 19}) EXPECT_FALSE(Has(line, "")) << line << "\n" << listing;
  EXPECT_TRUE(Has(21, "read as the answer line")) << listing;
  EXPECT_TRUE(Has(24, "no statement")) << listing;
  EXPECT_EQ(5, checker.EntryCount()) << listing;
  EXPECT_EQ(2, checker.TrueCount());
  EXPECT_EQ(3, checker.FalseCount());
}

TEST_F(Checker, AFileWithNothingToShowIsAFinding) {
  for (const char* content : {"", "\r\n\r\n\r\n", "   \r\n\r\n", "Statement only.\r\nTRUE\r\n\r\n"}) {
    QuestionFileChecker fresh(&font);
    ASSERT_TRUE(fresh.Check(folder.Write("q.txt", content)));
    bool told = false;
    for (const auto& finding : fresh.Findings())
      told = told || finding.message.find("no question to show") != std::string::npos;
    EXPECT_TRUE(told) << "content: \"" << content << "\"";
  }
}
