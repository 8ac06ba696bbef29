#include "tools/zorvel_check/template_balance.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "tools/zorvel_check/bank_check.h"
#include "ui/bitmap_font_test_sheet.h"

using test_sheet::ScratchFolder;

namespace {

StatementTemplate Template(const std::string& name, const std::string& pattern) {
  StatementTemplate made;
  std::string error;
  EXPECT_TRUE(MakeTemplate(name, pattern, &made, &error)) << error;
  return made;
}

BankEntry Entry(const std::string& statement, bool answer) { return {"topic.txt", 1, statement, "Why.", answer}; }

}  // namespace

TEST(TemplateBalance, ReadsNamedPatternsAndNamesTheLineOfABadOne) {
  ScratchFolder folder;
  std::vector<StatementTemplate> templates;
  std::string error;
  ASSERT_TRUE(ReadTemplates(folder.Write("good.txt", "# wordings\r\n\r\n  born in =  \\bborn in\\b \r\n"
                                                     "a year = \\b1[0-9]{3}\\b\n"),
                            &templates, &error))
      << error;
  ASSERT_EQ(2u, templates.size());
  EXPECT_EQ("born in", templates[0].name);
  EXPECT_EQ("\\bborn in\\b", templates[0].pattern);
  EXPECT_EQ("a year", templates[1].name);

  // A line without a name or pattern, an expression that does not compile, a missing file: each is an error with
  // the place to fix, and what was read before it is no excuse to go on.
  templates.clear();
  EXPECT_FALSE(ReadTemplates(folder.Write("noequals.txt", "sold = \\bsold\\b\nset in\n"), &templates, &error));
  EXPECT_NE(error.find("noequals.txt:2: expected a line \"name = pattern\""), std::string::npos) << error;
  EXPECT_FALSE(ReadTemplates(folder.Write("nopattern.txt", "once = \n"), &templates, &error));
  EXPECT_NE(error.find("nopattern.txt:1:"), std::string::npos) << error;
  EXPECT_FALSE(ReadTemplates(folder.Write("bad.txt", "# one\nbroken = (born in\n"), &templates, &error));
  EXPECT_NE(error.find("bad.txt:2: template broken: the pattern (born in is not a valid expression"),
            std::string::npos)
      << error;
  EXPECT_FALSE(ReadTemplates(folder.File("missing.txt"), &templates, &error));
  EXPECT_NE(error.find("cannot open"), std::string::npos) << error;
}

TEST(TemplateBalance, CountsEveryStatementThatFollowsAWordingAndItsTrueAnswers) {
  const std::vector<StatementTemplate> templates = {Template("sold", "\\bsold\\b"),
                                                    Template("may", "\\bmay\\b"),
                                                    Template("a year", "\\b(1[0-9]{3}|20[0-9]{2})s?\\b")};
  const std::vector<BankEntry> entries = {
      Entry("The album sold ten million copies in 1999.", true),   // sold and a year
      Entry("A soldier's pay was once a ration of salt.", false),  // neither: a word that only begins with sold
      Entry("Bats may live for thirty years.", true),
      Entry("The treaty was signed in May 1945.", false),  // the month, not the hedge; a year
      Entry("Disco ruled the 1970s.", false),              // a decade counts as a year
      Entry("The car sold out.", false),
  };
  const std::vector<TemplateCount> counts = CountTemplates(templates, entries);
  ASSERT_EQ(3u, counts.size());
  EXPECT_EQ("sold", counts[0].name);
  EXPECT_EQ(2, counts[0].entries);
  EXPECT_EQ(1, counts[0].trueAnswers);
  EXPECT_EQ(1, counts[1].entries);
  EXPECT_EQ(1, counts[1].trueAnswers);
  EXPECT_EQ(3, counts[2].entries);
  EXPECT_EQ(1, counts[2].trueAnswers);

  const std::string table = TemplateTable(counts);
  EXPECT_NE(table.find("sold                             2      1      1     50"), std::string::npos) << table;
  EXPECT_NE(table.find("a year                           3      1      2     33"), std::string::npos) << table;
}

TEST(TemplateBalance, JudgesOnlyWordingsWithEightStatementsAndAllowsThirtyFiveToSixtyFivePercent) {
  // 7 statements are too few to judge; 3 of 8 (37.5 %), 7 and 13 of 20 (35 and 65 %) are within the bound.
  EXPECT_TRUE(TemplateProblems({{"few", 7, 0}, {"eight", 8, 3}, {"low edge", 20, 7}, {"high edge", 20, 13}}).empty());
  const std::vector<std::string> problems =
      TemplateProblems({{"eight low", 8, 2}, {"eight high", 8, 6}, {"below", 20, 6}, {"above", 20, 14}});
  ASSERT_EQ(4u, problems.size());
  EXPECT_EQ("template \"eight low\" is true in 2 of 8 statements; keep its true share between 35 and 65 percent",
            problems[0]);
  EXPECT_NE(problems[1].find("\"eight high\" is true in 6 of 8"), std::string::npos);
  EXPECT_NE(problems[2].find("\"below\" is true in 6 of 20"), std::string::npos);
  EXPECT_NE(problems[3].find("\"above\" is true in 14 of 20"), std::string::npos);
}

TEST(TemplateBalance, ABankWhoseWordingLeansFailsTheCheck) {
  ScratchFolder folder;
  test_sheet::WriteGlyphSheet(folder.File("font.bmp"), test_sheet::EvenWidths(), 12);
  BitmapFont font;
  ASSERT_EQ(1, font.Load(folder.File("font.bmp").c_str()));
  // Nine capitals, all false but one, among otherwise unrelated statements.
  const char* cities[] = {"Sydney", "Zurich", "Istanbul", "Toronto", "Lagos", "Almaty", "Karachi", "Auckland",
                          "Madrid"};
  const char* lands[] = {"Australia", "Switzerland", "Turkey", "Canada", "Nigeria", "Kazakhstan", "Pakistan",
                         "New Zealand", "Spain"};
  std::string text;
  for (int i = 0; i < 9; ++i)
    text += std::string(cities[i]) + " is the capital of " + lands[i] + ".\r\n" + (i == 8 ? "TRUE" : "FALSE") +
            "\r\nNote " + std::to_string(i) + ".\r\n\r\n";
  const std::string file = folder.Write("capitals.txt", text);
  const std::vector<StatementTemplate> templates = {Template("capital", "\\bcapital\\b")};

  std::FILE* out = std::tmpfile();
  EXPECT_EQ(1, CheckBank({file}, &font, out, templates));
  std::rewind(out);
  std::string printed;
  for (int c; (c = std::fgetc(out)) != EOF;) printed += static_cast<char>(c);
  std::fclose(out);
  EXPECT_NE(printed.find("capital                          9      1      8     11"), std::string::npos) << printed;
  EXPECT_NE(printed.find("template \"capital\" is true in 1 of 9 statements"), std::string::npos) << printed;
  EXPECT_NE(printed.find("1 finding\n"), std::string::npos) << printed;

  // The same file without templates has nothing to report.
  std::FILE* quiet = std::tmpfile();
  EXPECT_EQ(0, CheckBank({file}, &font, quiet));
  std::fclose(quiet);
}
