#include "quiz/question_bank.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <sys/wait.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <vector>

#include "common/random_generator.h"
#include "ui/bitmap_font_test_sheet.h"

using test_sheet::ScratchFolder;

namespace {

std::string Entry(const std::string& statement, const std::string& answer, const std::string& explanation) {
  std::string entry;
  if (!statement.empty()) entry += statement + "\r\n";
  entry += answer + "\r\n";
  if (!explanation.empty()) entry += explanation + "\r\n";
  return entry + "\r\n";
}

// A bank measured with the test sheet instead of the game's "font.bmp".
class Bank : public ::testing::Test {
 protected:
  void SetUp() override {
    const std::string sheet = folder.File("font.bmp");
    test_sheet::WriteGlyphSheet(sheet, test_sheet::EvenWidths(), 12);
    bank.statementFont = new BitmapFont;
    bank.explanationFont = new BitmapFont;
    ASSERT_EQ(1, bank.statementFont->Load(sheet.c_str()));
    ASSERT_EQ(1, bank.explanationFont->Load(sheet.c_str()));
  }

  // The entry a drawn question came from.
  int32_t IndexOf(const Question* question) const {
    return question && question == bank.CurrentQuestion() ? bank.CurrentIndex() : -1;
  }

  ScratchFolder folder;
  QuestionBank bank;
};

}  // namespace

TEST_F(Bank, DrawsWithoutRepeatsAndNeedsAResetWhenPicksHitUsedQuestions) {
  std::string file;
  for (int i = 0; i < 10; ++i) file += Entry("Statement " + std::to_string(i), i % 2 ? "TRUE" : "FALSE", "Why.");
  ASSERT_EQ(1, bank.LoadQuestionFile(folder.Write("Zorvel.txt", file).c_str()));
  ASSERT_EQ(10, bank.Count());
  EXPECT_EQ(nullptr, bank.CurrentQuestion());
  EXPECT_STREQ("Statement 3  ", bank.QuestionAt(3).statementLines[0]) << "laid out as it is read";

  SeedRandom(7);
  std::set<int32_t> drawn;
  bool exhausted = false;
  for (int draw = 0; draw < 20 && !exhausted; ++draw) {
    Question* question = bank.DrawQuestion();
    exhausted = question == nullptr;
    if (!question) break;
    EXPECT_TRUE(drawn.insert(IndexOf(question)).second) << "no question comes twice before a reset";
    EXPECT_EQ(question, bank.CurrentQuestion());
    EXPECT_EQ(1, question->used);
  }
  EXPECT_TRUE(exhausted);
  EXPECT_GE(drawn.size(), 1u);

  // Nine of ten used: ten random picks often all miss the free one, although it is there.
  int missed = 0, found = 0;
  uint32_t missingSeed = 0;
  for (uint32_t seed = 1; seed <= 200; ++seed) {
    bank.ResetUsed();
    for (int32_t i = 0; i < 10; ++i) bank.SetUsed(i, i != 6);
    SeedRandom(seed);
    Question* question = bank.DrawQuestion();
    if (question) {
      EXPECT_EQ(6, IndexOf(question));
      ++found;
    } else {
      ++missed;
      missingSeed = seed;
    }
  }
  EXPECT_GT(missed, 0);
  EXPECT_GT(found, 0);

  bank.ResetUsed();
  for (int32_t i = 0; i < 10; ++i) bank.SetUsed(i, i != 6);
  SeedRandom(missingSeed);
  EXPECT_EQ(nullptr, bank.DrawQuestion());
  bank.ResetUsed();
  for (int32_t i = 0; i < 10; ++i) EXPECT_FALSE(bank.IsUsed(i));
  EXPECT_NE(nullptr, bank.DrawQuestion()) << "after the reset all ten can be drawn again";
}

TEST_F(Bank, BlankEntriesAreNeverShownAndCanBeCounted) {
  const std::string file = Entry("Good one", "TRUE", "Because.") + "\r\n" +  // the extra empty line: an entry with nothing
                           Entry("No explanation", "FALSE", "") + Entry(" Leading space", "TRUE", "Why.") +
                           "No answer line\r\nStill statement\r\n\r\n";
  ASSERT_EQ(1, bank.LoadQuestionFile(folder.Write("Zorvel.txt", file).c_str()));
  ASSERT_EQ(4, bank.Count()) << "the entry with no text at all is not kept";
  EXPECT_EQ(1, bank.CountShowable());

  SeedRandom(99);
  int shown = 0;
  for (int attempt = 0; attempt < 50; ++attempt) {
    bank.ResetUsed();
    if (Question* question = bank.DrawQuestion()) {
      EXPECT_STREQ("Good one  ", question->statementLines[0]);
      ++shown;
    }
  }
  EXPECT_GT(shown, 0);

  // A bank of only blank entries: no draw ever succeeds, which the caller can know in advance.
  bank.ReleaseAll();
  EXPECT_EQ(nullptr, bank.statementFont);
  EXPECT_EQ(0, bank.Count());
  ASSERT_EQ(1, bank.LoadQuestionFile(folder.Write("blank.txt", "\r\n\r\n" + Entry("", "TRUE", "x")).c_str()));
  EXPECT_EQ(1, bank.Count()) << "two entries with nothing, one without a statement";
  EXPECT_EQ(0, bank.CountShowable());
  for (int attempt = 0; attempt < 20; ++attempt) {
    bank.ResetUsed();
    EXPECT_EQ(nullptr, bank.DrawQuestion());
  }
  EXPECT_EQ(nullptr, bank.CurrentQuestion());

  EXPECT_EQ(0, bank.LoadQuestionFile(folder.File("missing.txt").c_str()));
  EXPECT_EQ(1, bank.Count()) << "a missing file leaves the bank as it was";
  bank.ReleaseAll();
  EXPECT_EQ(nullptr, bank.DrawQuestion()) << "an empty bank answers none at once";
}

TEST_F(Bank, TheShippedQuestionFileReadsWholeWithEitherLineEnd) {
  // The file the build joined from the topic sources; each of its entries ends with an empty line.
  const std::string path = std::string(ZORVEL_GAME_DIR) + "/Zorvel.txt";
  std::ifstream in(path, std::ios::binary);
  std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  int32_t entries = 0;
  for (size_t at = 0; (at = text.find("\r\n\r\n", at)) != std::string::npos; at += 4) ++entries;
  ASSERT_GT(entries, 500);
  ASSERT_EQ(1, bank.LoadQuestionFile(path.c_str()));
  ASSERT_EQ(entries, bank.Count());
  EXPECT_EQ(entries, bank.CountShowable());

  std::string lfOnly;
  for (char c : text)
    if (c != '\r') lfOnly += c;
  QuestionBank other;
  other.statementFont = new BitmapFont;
  ASSERT_EQ(1, other.statementFont->Load(folder.File("font.bmp").c_str()));
  ASSERT_EQ(1, other.LoadQuestionFile(folder.Write("lf.txt", lfOnly).c_str()));
  ASSERT_EQ(entries, other.Count());
  for (int32_t i = 0; i < entries; ++i) {
    const Question a = bank.QuestionAt(i);
    const Question b = other.QuestionAt(i);
    ASSERT_EQ(a.statementCount, b.statementCount) << i;
    ASSERT_EQ(a.answerIsTrue, b.answerIsTrue) << i;
    for (int32_t line = 0; line < a.statementCount; ++line) ASSERT_STREQ(a.statementLines[line], b.statementLines[line]);
  }
}

TEST_F(Bank, CreateFontsLoadsTheSheetFromTheWorkingFolder) {
  char previous[4096];
  ASSERT_NE(nullptr, ::getcwd(previous, sizeof previous));
  ASSERT_EQ(0, ::chdir(folder.path.c_str()));
  bank.CreateFonts();  // replaces the fonts of SetUp
  ASSERT_EQ(0, ::chdir(previous));
  ASSERT_NE(nullptr, bank.statementFont);
  ASSERT_NE(nullptr, bank.explanationFont);
  EXPECT_NE(bank.statementFont, bank.explanationFont);
  EXPECT_EQ(12, bank.statementFont->Height());
  EXPECT_EQ(12, bank.explanationFont->Height());
}

TEST_F(Bank, AFileOfBlankLinesNeitherHangsTheDrawNorFillsTheMemory) {
  // 40,000 empty lines (CR LF and LF alone) before the one real entry: only the real entry is kept.
  std::string file;
  for (int i = 0; i < 20000; ++i) file += "\r\n\n";
  file += Entry("Last of all", "TRUE", "Found.");
  ASSERT_EQ(1, bank.LoadQuestionFile(folder.Write("Zorvel.txt", file).c_str()));
  ASSERT_EQ(1, bank.Count());
  SeedRandom(5);
  Question* question = bank.DrawQuestion();
  ASSERT_NE(nullptr, question);
  EXPECT_STREQ("Last of all  ", question->statementLines[0]);
}

namespace {

struct Measured {
  int exitCode = -1;
  long peakKb = -1;  // the largest resident set of the game while it ran
};

// Starts the headless game on a copy of the game's folder with `questions` as its Zorvel.txt and leaves it after
// two seconds of virtual time. The peak is the game's own (VmHWM), read from /proc while it runs: a count taken
// through fork or wait4 would include what this test process held when it started the game.
Measured PlayWithBank(const std::string& scratch, const std::string& questions) {
  const std::string suite = scratch + "/suite", game = suite + "/Zorvel";
  std::system(("rm -rf '" + suite + "' && mkdir -p '" + game + "' && cp -r '" + ZORVEL_GAME_DIR + "/.' '" + game +
               "/'").c_str());
  std::ofstream(game + "/Zorvel.txt", std::ios::binary) << questions;
  std::ofstream(suite + "/options.ini", std::ios::binary) << "[setup]\r\nmusic=N\r\nplayerid=0\r\n";
  std::ofstream(scratch + "/script.txt") << "zorvel-script 1\nseed 3\n2000 keydown ESCAPE\n2010 keyup ESCAPE\n";
  const std::string command =
      "cd '" + game + "' && ZORVEL_CLOCK=virtual ZORVEL_NO_LAUNCH=1 ZORVEL_MESSAGEBOX=stderr ZORVEL_SCRIPT='" +
      scratch + "/script.txt' '" + ZORVEL_BINARY_DIR + "/zorvel-headless' '" + suite +
      "' >/dev/null 2>&1 & pid=$!; peak=-1; tries=0; "
      "while kill -0 $pid 2>/dev/null && [ $tries -lt 6000 ]; do "
      "h=$(sed -n 's/^VmHWM:[[:space:]]*\\([0-9]*\\).*/\\1/p' /proc/$pid/status 2>/dev/null); [ -n \"$h\" ] && peak=$h; "
      "tries=$((tries + 1)); sleep 0.02; done; kill $pid 2>/dev/null; wait $pid; echo \"$? $peak\"";
  Measured measured;
  if (FILE* pipe = ::popen(command.c_str(), "r")) {
    if (std::fscanf(pipe, "%d %ld", &measured.exitCode, &measured.peakKb) != 2) measured = {};
    ::pclose(pipe);
  }
  std::system(("rm -rf '" + suite + "'").c_str());
  return measured;
}

}  // namespace

TEST_F(Bank, ATenMegabyteBankCostsAboutWhatItsFileDoes) {
  // The smallest entries cost the most for their size; ordinary ones have words of a few letters.
  std::string tiny, ordinary;
  while (tiny.size() < (10u << 20)) tiny += Entry("a", "TRUE", "b");
  for (int i = 0; ordinary.size() < (10u << 20); ++i) {
    std::string statement = "Entry " + std::to_string(i), explanation = "Because";
    while (statement.size() < 110) statement += " wordy";
    while (explanation.size() < 210) explanation += " reason";
    ordinary += Entry(statement, i % 2 ? "TRUE" : "FALSE", explanation);
  }
  std::ifstream shippedFile(std::string(ZORVEL_GAME_DIR) + "/Zorvel.txt", std::ios::binary);
  const std::string shippedBank((std::istreambuf_iterator<char>(shippedFile)), std::istreambuf_iterator<char>());
  const Measured shipped = PlayWithBank(folder.path, shippedBank);
  const Measured small = PlayWithBank(folder.path, tiny);
  const Measured usual = PlayWithBank(folder.path, ordinary);
  std::printf("peak of the game: %ld kB with the shipped bank, %ld kB with 10 MB of tiny entries, %ld kB with 10 MB "
              "of ordinary ones\n",
              shipped.peakKb, small.peakKb, usual.peakKb);
  EXPECT_EQ(shipped.exitCode, 0);
  EXPECT_EQ(small.exitCode, 0);
  EXPECT_EQ(usual.exitCode, 0);
#if defined(__SANITIZE_ADDRESS__)
  // AddressSanitizer pads every block and keeps freed memory aside for a while: the game itself takes about three
  // times its release size there (62 MB with the shipped bank). A bank that cost a whole record per entry would still
  // pass a gigabyte.
  constexpr long kPeakLimitKb = 300 * 1024;
#else
  constexpr long kPeakLimitKb = 100 * 1024;
#endif
  EXPECT_GT(small.peakKb, 0);
  EXPECT_LE(small.peakKb, kPeakLimitKb);
  EXPECT_GT(usual.peakKb, 0);
  EXPECT_LE(usual.peakKb, kPeakLimitKb);
}

TEST_F(Bank, WhatIsReadIsCappedAndTheCapIsTold) {
  {
    SCOPED_TRACE("one entry more than the most that is read");
    const std::string entry = Entry("a", "TRUE", "b");
    std::string file;
    file.reserve(entry.size() * (QuestionBank::kMaxEntries + 1));
    for (int32_t i = 0; i <= QuestionBank::kMaxEntries; ++i) file += entry;
    ASSERT_EQ(1, bank.LoadQuestionFile(folder.Write("many.txt", file).c_str()));
    EXPECT_EQ(bank.Count(), QuestionBank::kMaxEntries);
    EXPECT_NE(bank.LoadLimitMessage().find("more than 1000000 questions"), std::string::npos)
        << bank.LoadLimitMessage();
    // Exactly the most: all read, nothing to tell.
    file.resize(entry.size() * QuestionBank::kMaxEntries);
    bank.ReleaseAll();
    SetUp();
    ASSERT_EQ(1, bank.LoadQuestionFile(folder.Write("many.txt", file).c_str()));
    EXPECT_EQ(bank.Count(), QuestionBank::kMaxEntries);
    EXPECT_EQ(bank.LoadLimitMessage(), "");
  }
  {
    SCOPED_TRACE("a file larger than the most that is read");
    // Entries of about 3 kB (their long lines are cut as they are read), past 64 MB.
    const std::string line(1000, 'w');
    const std::string entry = Entry(line + "\r\n" + line, "TRUE", line);
    std::string file;
    file.reserve(QuestionBank::kMaxFileBytes + entry.size() * 2);
    while (file.size() <= QuestionBank::kMaxFileBytes + 10 * entry.size()) file += entry;
    const int32_t inFile = static_cast<int32_t>(file.size() / entry.size());
    bank.ReleaseAll();
    SetUp();
    ASSERT_EQ(1, bank.LoadQuestionFile(folder.Write("large.txt", file).c_str()));
    EXPECT_NE(bank.LoadLimitMessage().find("larger than 64 MB"), std::string::npos) << bank.LoadLimitMessage();
    EXPECT_LT(bank.Count(), inFile);
    EXPECT_EQ(bank.Count(), static_cast<int32_t>((QuestionBank::kMaxFileBytes + entry.size() - 1) / entry.size()))
        << "every entry that starts in the first 64 MB is read";
  }
}
