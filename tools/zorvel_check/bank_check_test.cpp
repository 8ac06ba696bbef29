#include "tools/zorvel_check/bank_check.h"

#include <gtest/gtest.h>

#include <ctime>
#include <cstdio>
#include <string>
#include <vector>

#include "tools/zorvel_check/bank_entries.h"
#include "tools/zorvel_check/statement_overlap.h"
#include "tools/zorvel_check/topic_summary.h"
#include "ui/bitmap_font_test_sheet.h"

using test_sheet::ScratchFolder;

namespace {

BankEntry Make(int32_t line, const std::string& statement, const std::string& explanation, bool answer = true) {
  return {"topic.txt", line, statement, explanation, answer};
}

// Entries on unrelated subjects, so that the words of the entries under test are rare, as in a real bank.
std::vector<BankEntry> Background() {
  return {
      Make(100, "Copper conducts electricity well.", "That is why household wiring is made of it."),
      Make(104, "The violin has four strings.", "They are tuned a fifth apart: G, D, A and E."),
      Make(108, "Kyoto was the capital of Japan before Tokyo.", "The court moved east in 1869."),
      Make(112, "Paper money was first used in China.", "Notes circulated under the Song dynasty."),
      Make(116, "Ice floats on water.", "Water expands by about 9 percent as it freezes."),
      Make(120, "The novel Dracula was written by Bram Stoker.", "It appeared in 1897 and is told in letters."),
      Make(124, "Saturn's rings are made mostly of ice.", "Some pieces are as small as grains of dust."),
      Make(128, "A haiku traditionally mentions a season.", "The season word is called a kigo."),
  };
}

std::vector<StatementOverlap::Finding> Check(std::vector<BankEntry> added) {
  std::vector<BankEntry> entries = Background();
  entries.insert(entries.end(), added.begin(), added.end());
  return StatementOverlap().Check(entries);
}

std::string Listing(const std::vector<StatementOverlap::Finding>& findings) {
  std::string all;
  for (const auto& finding : findings) all += std::to_string(finding.line) + ": " + finding.message + "\n";
  return all;
}

std::string Entries(int32_t count, int32_t trueCount) {
  std::string file;
  for (int32_t i = 0; i < count; ++i) {
    file += "Statement " + std::to_string(i) + " names thing" + std::to_string(i) + " and place" + std::to_string(i) +
            ".\r\n";
    file += i < trueCount ? "TRUE\r\n" : "FALSE\r\n";
    file += "Because of detail" + std::to_string(i) + ".\r\n\r\n";
  }
  return file;
}

}  // namespace

TEST(StatementOverlap, FindsTheSameFactTwiceWhateverTheWording) {
  // A near-miss date of the same fact, the same fact reworded, and two facts that only share their subject.
  const auto findings = Check({
      Make(1, "The Treaty of Westphalia was signed in 1648.", "It ended the Thirty Years' War."),
      Make(5, "The Treaty of Westphalia was signed in 1658.", "Ten years earlier, in 1648.", false),
      Make(9, "Marie Curie discovered polonium and radium.", "She shared the work with her husband Pierre."),
      Make(13, "Polonium and radium were discovered by Marie Curie.", "Radium glows faintly in the dark."),
      Make(17, "Marie Curie was born in Warsaw.", "She moved to Paris to study at the Sorbonne."),
  });
  ASSERT_EQ(2u, findings.size()) << Listing(findings);
  EXPECT_EQ(5, findings[0].line);
  EXPECT_NE(findings[0].message.find("nearly the same as the one at topic.txt:1"), std::string::npos);
  EXPECT_EQ(13, findings[1].line);
  EXPECT_NE(findings[1].message.find("topic.txt:9"), std::string::npos);
}

TEST(StatementOverlap, ANameOfSeveralWordsCountsAsOneWord) {
  // Two facts about one council share its long name, which alone must not make them one fact.
  const auto findings = Check({
      Make(1, "Germany is a permanent member of the United Nations Security Council.",
           "The five permanent members are China, France, Russia, Britain and America."),
      Make(5, "No Secretary-General of the United Nations has come from a permanent member of the Security Council.",
           "By custom the post goes to someone from a smaller country."),
      // The same fact twice, its name split differently, is still found.
      Make(9, "Marie Curie discovered polonium and radium.", "She shared the work with her husband Pierre."),
      Make(13, "Polonium and radium were discovered by Marie Curie.", "Radium glows faintly in the dark."),
  });
  ASSERT_EQ(1u, findings.size()) << Listing(findings);
  EXPECT_EQ(13, findings[0].line);
}

TEST(StatementOverlap, FindsAnExplanationThatAnswersAnotherStatement) {
  const auto findings = Check({
      Make(1, "The Suez Canal opened in 1869.", "It cut the sea route from Europe to India by thousands of miles."),
      Make(5, "Ferdinand de Lesseps also began a canal in Panama.",
           "His company had built the Suez Canal, opened in 1869, but failed in Panama."),
      // Shares only the canal with the first: no give-away.
      Make(9, "The Kiel Canal links the North Sea and the Baltic.", "It crosses the base of the Jutland peninsula."),
  });
  ASSERT_EQ(1u, findings.size()) << Listing(findings);
  EXPECT_EQ(5, findings[0].line);
  EXPECT_NE(findings[0].message.find("gives away the answer to \"The Suez Canal opened in 1869.\" at topic.txt:1"),
            std::string::npos);
  // An entry's own explanation may of course repeat its statement.
  EXPECT_TRUE(Check({Make(1, "The Suez Canal opened in 1869.", "The Suez Canal opened in 1869, to ships.")}).empty());
}

TEST(StatementOverlap, ContentWordsDropCommonWordsCaseAndPlurals) {
  EXPECT_EQ((std::set<std::string>{"beatle", "liverpool", "1960", "record"}),
            StatementOverlap::ContentWords("The Beatles' records of the 1960s were made in LIVERPOOL."));
  EXPECT_EQ(StatementOverlap::ContentWords("Newton's laws"), StatementOverlap::ContentWords("newton law"));
  EXPECT_EQ((std::set<std::string>{"glass", "virus", "analysis"}),
            StatementOverlap::ContentWords("glass virus analysis"));
}

TEST(TopicSummary, CountsEachTopicAndFlagsSmallOrLopsidedOnes) {
  const std::vector<BankEntry> entries = {
      {"q/film.txt", 1, "a", "b", true}, {"q/film.txt", 5, "c", "d", false}, {"q/music.txt", 1, "e", "f", true}};
  const std::vector<TopicCount> counts = CountTopics({"q/film.txt", "q/music.txt"}, entries);
  ASSERT_EQ(2u, counts.size());
  EXPECT_EQ("film", counts[0].name);
  EXPECT_EQ(2, counts[0].entries);
  EXPECT_EQ(1, counts[0].trueAnswers);
  EXPECT_EQ(1, counts[1].entries);
  const std::string table = TopicTable(counts);
  EXPECT_NE(table.find("film                             2      1      1     50"), std::string::npos) << table;
  EXPECT_NE(table.find("all topics                       3      2      1     67"), std::string::npos) << table;

  // 40 entries is enough; 22 or 18 true of 40 (55 and 45 percent) are balanced enough, 23 and 17 are not.
  EXPECT_TRUE(TopicProblems({{"a", 40, 22}, {"b", 40, 18}, {"c", 41, 20}}).empty());
  const std::vector<std::string> problems = TopicProblems({{"small", 39, 20}, {"high", 40, 23}, {"low", 40, 17}});
  ASSERT_EQ(3u, problems.size());
  EXPECT_EQ("topic small has 39 entries, fewer than 40", problems[0]);
  EXPECT_NE(problems[1].find("high has 23 true of 40; keep the true share between 45 and 55 percent"),
            std::string::npos);
  EXPECT_NE(problems[2].find("low has 17 true of 40"), std::string::npos);
}

TEST(BankCheck, ReadsAFolderOfTopicsInNameOrderAndReportsAcrossThem) {
  ScratchFolder folder;
  test_sheet::WriteGlyphSheet(folder.File("font.bmp"), test_sheet::EvenWidths(), 12);
  BitmapFont font;
  ASSERT_EQ(1, font.Load(folder.File("font.bmp").c_str()));
  std::filesystem::create_directories(folder.File("topics"));
  folder.Write("topics/zoology.txt", Entries(40, 20));
  folder.Write("topics/alchemy.txt", "Lead can be turned into gold by heating it.\r\nFALSE\r\nNot by heat.\r\n\r\n" +
                                         Entries(41, 20));
  folder.Write("topics/notes.md", "not a topic");

  std::vector<std::string> files;
  AddQuestionFiles(folder.File("topics"), &files);
  ASSERT_EQ(2u, files.size());
  EXPECT_NE(files[0].find("alchemy.txt"), std::string::npos);

  std::vector<BankEntry> entries;
  ASSERT_TRUE(ReadBankEntries(files[0], &entries));
  ASSERT_EQ(42u, entries.size());
  EXPECT_EQ(5, entries[1].line);
  EXPECT_EQ(9, entries[2].line);
  EXPECT_EQ("Statement 1 names thing1 and place1.", entries[2].statement);
  EXPECT_EQ("Because of detail1.", entries[2].explanation);
  EXPECT_FALSE(entries[0].answerIsTrue);

  // The same statements in both topics repeat one another; the sums cover both files.
  std::FILE* out = std::tmpfile();
  EXPECT_EQ(1, CheckBank(files, &font, out));
  std::rewind(out);
  std::string printed;
  for (int c; (c = std::fgetc(out)) != EOF;) printed += static_cast<char>(c);
  std::fclose(out);
  EXPECT_NE(printed.find("zoology.txt:1: statement \"Statement 0 names thing0 and place0.\" says nearly"),
            std::string::npos)
      << printed;
  EXPECT_NE(printed.find("all topics                      82     40     42"), std::string::npos) << printed;
  EXPECT_NE(printed.find("40 findings"), std::string::npos) << printed;

  std::vector<std::string> one = {files[1]};
  std::FILE* quiet = std::tmpfile();
  EXPECT_EQ(0, CheckBank(one, &font, quiet));
  std::fclose(quiet);
  EXPECT_EQ(2, CheckBank({folder.File("missing.txt")}, &font, stdout));
}

TEST(StatementOverlap, AHundredThousandEntriesAreComparedInSecondsAndBlankOnesNotAtAll) {
  // Statements of six words out of 20,000, with two planted repeats and one planted give-away among them.
  std::vector<BankEntry> entries;
  uint32_t state = 12345;
  auto word = [&state]() {
    state = state * 1103515245u + 12345u;
    return "w" + std::to_string((state >> 8) % 20000);
  };
  for (int32_t i = 0; i < 100000; ++i) {
    std::string statement, explanation;
    for (int k = 0; k < 6; ++k) statement += word() + " ";
    for (int k = 0; k < 8; ++k) explanation += word() + " ";
    entries.push_back(Make(i * 4 + 1, statement + "unique" + std::to_string(i), explanation));
  }
  entries[70000].statement = "Marie Curie won the Nobel Prize in physics in 1903.";
  entries[90000].statement = "In 1903 Marie Curie won the physics Nobel Prize.";
  entries[10].statement = "The Amazon river carries more water than any other river.";
  entries[99999].statement = "No river carries more water than the Amazon river.";
  entries[500].statement = "Mount Kilimanjaro stands in Tanzania near the Kenyan border.";
  entries[60000].explanation = "Mount Kilimanjaro stands in Tanzania near the Kenyan border and is Africa's highest.";

  // Processor time, not the wall clock: a machine shared with other builds must not fail a check that is fast.
  const std::clock_t start = std::clock();
  const std::string found = Listing(StatementOverlap().Check(entries));
  const double seconds = static_cast<double>(std::clock() - start) / CLOCKS_PER_SEC;
  std::printf("100,000 entries compared in %.2f s of processor time\n", seconds);
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__) || !defined(NDEBUG)
  constexpr double kLimit = 60.0;  // unoptimized or sanitized code's own cost; comparing every pair takes hours there too
#else
  constexpr double kLimit = 10.0;
#endif
  EXPECT_LE(seconds, kLimit);
  EXPECT_NE(found.find("360001: statement \"In 1903 Marie Curie won the physics Nobe...\" says nearly the same "
                       "as the one at topic.txt:280001"),
            std::string::npos)
      << found.substr(0, 2000);
  EXPECT_NE(found.find("399997: statement \"No river carries more water than the Ama...\" says nearly the same "
                       "as the one at topic.txt:41"),
            std::string::npos);
  EXPECT_NE(found.find("240001: the explanation gives away the answer to \"Mount Kilimanjaro stands in Tanzania "
                       "nea...\" at topic.txt:2001"),
            std::string::npos);

  // 10 MB of empty lines: no entry to compare, and done at once.
  ScratchFolder folder;
  std::string lines;
  lines.reserve(10u << 20);
  while (lines.size() < (10u << 20)) lines += "\r\n";
  std::vector<BankEntry> none;
  const std::string empty = folder.Write("empty.txt", lines);
  const std::clock_t blankStart = std::clock();
  ASSERT_TRUE(ReadBankEntries(empty, &none));
  EXPECT_TRUE(none.empty());
  EXPECT_TRUE(StatementOverlap().Check(none).empty());
  EXPECT_LE(static_cast<double>(std::clock() - blankStart) / CLOCKS_PER_SEC, 10.0);
}
