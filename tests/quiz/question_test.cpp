#include "quiz/question.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "quiz/question_layout.h"
#include "ui/bitmap_font.h"
#include "ui/bitmap_font_test_sheet.h"

using test_sheet::ScratchFolder;

namespace {

std::string CrLf(std::string text) {
  std::string out;
  for (char c : text) {
    if (c == '\n') out += '\r';
    out += c;
  }
  return out;
}

// Every entry ReadQuestion returns from the file, plus whether the last call ended at the end of the file.
std::vector<std::unique_ptr<Question>> ReadAll(const std::string& path, int* interrupted = nullptr) {
  std::vector<std::unique_ptr<Question>> entries;
  std::FILE* file = std::fopen(path.c_str(), "rb");
  if (!file) return entries;
  for (;;) {
    auto question = std::make_unique<Question>();
    if (!question->ReadQuestion(file)) {
      if (interrupted) *interrupted = question->statementCount + question->explanationCount;
      break;
    }
    entries.push_back(std::move(question));
  }
  std::fclose(file);
  return entries;
}

bool SameRecord(const Question& a, const Question& b) {
  return a.statementCount == b.statementCount && a.explanationCount == b.explanationCount &&
         a.answerIsTrue == b.answerIsTrue && std::memcmp(a.statementLines, b.statementLines, sizeof a.statementLines) == 0 &&
         std::memcmp(a.explanationLines, b.explanationLines, sizeof a.explanationLines) == 0;
}

// Letters advance 10 pixels and a space 5, so a line of L letters and S spaces is 10 L + 5 S wide.
class LaidOut : public ::testing::Test {
 protected:
  void SetUp() override {
    const std::string sheet = folder.File("font.bmp");
    test_sheet::WriteGlyphSheet(sheet, test_sheet::EvenWidths(), 12);
    ASSERT_EQ(1, font.Load(sheet.c_str()));
    ASSERT_EQ(10, font.CharAdvance('a'));
    ASSERT_EQ(5, font.SpaceWidth());
  }

  // Lays out the given source lines as one area and returns the wrapped lines.
  std::vector<std::string> Wrap(std::vector<std::string> source, WrapReport* report = nullptr,
                                const BitmapFont* measuring = nullptr) {
    Question question;
    for (const std::string& line : source) {
      std::strncpy(question.statementLines[question.statementCount], line.c_str(), Question::kLineBytes - 1);
      ++question.statementCount;
    }
    WrapReport ignored;
    WrapArea(question.statementLines, &question.statementCount, measuring ? measuring : &font,
             report ? report : &ignored);
    std::vector<std::string> lines;
    for (int32_t i = 0; i < question.statementCount; ++i) lines.push_back(question.statementLines[i]);
    return lines;
  }

  ScratchFolder folder;
  BitmapFont font;
};

using Lines = std::vector<std::string>;

std::string Letters(int count, char letter = 'a') { return std::string(static_cast<size_t>(count), letter); }

}  // namespace

TEST(QuestionReading, AnswerLinesSectionsAndEntryEnds) {
  ScratchFolder folder;
  const std::string path = folder.Write("q.txt", CrLf(
      "Water is wet.\nand clear.\nTRUE\nIt is.\n\n"
      "The sky is green.\nfalse\nIt is blue.\n\n"
      "Stmt C\nFALSE.\nExpl C\n\n"
      "Stmt D\nFalsehood\nExpl D\n\n"
      "True story: cats purr.\nTRUE\nExpl E\n\n"
      "S1\nTRUE\nE1\nE2\nFALSE\nDropped\n\n"
      "\n"
      "a\nb\nc\nd\ne\nf\ng\nTRUE\nx\n\n"
      "Lost\nTRUE\nLost too\n"));
  int interrupted = 0;
  auto entries = ReadAll(path, &interrupted);
  ASSERT_EQ(8u, entries.size()) << "the last entry has no empty line after it and is lost";
  EXPECT_EQ(2, interrupted);

  const Question& a = *entries[0];
  EXPECT_EQ(2, a.statementCount);
  EXPECT_STREQ("Water is wet.", a.statementLines[0]);
  EXPECT_STREQ("and clear.", a.statementLines[1]);
  EXPECT_EQ(1, a.answerIsTrue);
  EXPECT_EQ(1, a.explanationCount);
  EXPECT_STREQ("It is.", a.explanationLines[0]);
  EXPECT_EQ(0, a.used);

  EXPECT_EQ(0, entries[1]->answerIsTrue) << "false in lower case";
  EXPECT_EQ(0, entries[2]->answerIsTrue) << "FALSE with a full stop";
  EXPECT_EQ(0, entries[3]->answerIsTrue) << "a word that begins with false";
  EXPECT_STREQ("Expl D", entries[3]->explanationLines[0]);

  const Question& e = *entries[4];
  EXPECT_EQ(0, e.statementCount) << "a statement beginning with True is taken as the answer";
  EXPECT_EQ(0, e.explanationCount) << "the real TRUE line is then a second answer, and what follows is dropped";
  EXPECT_EQ(1, e.answerIsTrue);

  const Question& f = *entries[5];
  EXPECT_EQ(0, f.answerIsTrue) << "the second answer line wins";
  EXPECT_EQ(2, f.explanationCount);
  EXPECT_STREQ("E2", f.explanationLines[1]);

  const Question& empty = *entries[6];
  EXPECT_EQ(0, empty.statementCount) << "two empty lines in a row make an empty entry";
  EXPECT_EQ(0, empty.explanationCount);

  const Question& h = *entries[7];
  EXPECT_EQ(5, h.statementCount) << "a sixth and seventh line do not fit the record and are dropped";
  EXPECT_STREQ("e", h.statementLines[4]);
  EXPECT_STREQ("x", h.explanationLines[0]);
}

TEST(QuestionReading, LfOnlyFilesAndOverlongLinesReadSafely) {
  ScratchFolder folder;
  const std::string text =
      "Water is wet.\nTRUE\nIt is.\n\n"
      "Stmt\n" + Letters(253, 'x') + "\nFALSE\n" + Letters(254, 'y') + "\n\n" +
      Letters(253, 'z') + "TRUE and more\nFALSE\n" + Letters(300, 'w') + "\n\n";
  auto crlf = ReadAll(folder.Write("crlf.txt", CrLf(text)));
  auto lf = ReadAll(folder.Write("lf.txt", text));
  ASSERT_EQ(3u, crlf.size());
  ASSERT_EQ(3u, lf.size()) << "a lone LF is taken as CR LF";
  for (size_t i = 0; i < crlf.size(); ++i) EXPECT_TRUE(SameRecord(*crlf[i], *lf[i])) << i;

  EXPECT_STREQ("It is.", lf[0]->explanationLines[0]) << "no character is lost with LF line ends";
  EXPECT_EQ(Letters(253, 'x'), crlf[1]->statementLines[1]) << "253 characters fit whole";
  EXPECT_EQ(Letters(253, 'y'), crlf[1]->explanationLines[0]) << "a longer line is cut at 253";
  EXPECT_EQ(1, crlf[1]->explanationCount) << "and the rest of it is not read as another line";
  const Question& third = *crlf[2];
  EXPECT_EQ(1, third.statementCount);
  EXPECT_EQ(0, third.answerIsTrue) << "the TRUE past the cut does not count as an answer";
  EXPECT_EQ(Letters(253, 'w'), third.explanationLines[0]);

  // A last empty line that ends in CR without its LF still closes the entry.
  auto unterminated = ReadAll(folder.Write("cr.txt", "S\r\nTRUE\r\nE\r\n\r"));
  EXPECT_EQ(1u, unterminated.size());
}

TEST_F(LaidOut, SourceLinesJoinWithSingleSpacesAndEndWithTwo) {
  EXPECT_EQ(Lines({"aa bb cc   "}), Wrap({"aa ", "bb ", "cc "})) << "the third line keeps its trailing space";
  EXPECT_EQ(Lines({"aa bb cc  "}), Wrap({"aa   ", "bb  ", "cc"}));
  EXPECT_EQ(Lines({"Short text.  "}), Wrap({"Short text."}));
  EXPECT_EQ(Lines({"a  b  "}), Wrap({"a  b"})) << "two spaces between words stay two";
  EXPECT_EQ(Lines({"a b c  "}), Wrap({"a", "b", "c", "d", "e"})) << "a fourth and fifth source line are not read";
  EXPECT_EQ(Lines({"  "}), Wrap({})) << "an empty area becomes one line of two spaces";

  Question question;
  std::strcpy(question.statementLines[0], "Statement");
  question.statementCount = 1;
  question.WrapText(&font);
  EXPECT_EQ(1, question.statementCount);
  EXPECT_STREQ("Statement  ", question.statementLines[0]);
  EXPECT_EQ(1, question.explanationCount);
  EXPECT_STREQ("  ", question.explanationLines[0]);
  EXPECT_TRUE(question.IsBlank()) << "no explanation: never shown";
}

TEST_F(LaidOut, LinesBreakBeforeTheWordThatWouldPassThePanelWidth) {
  const std::string w14 = Letters(14), w13 = Letters(13, 'b'), word = "abcdefghij";
  // 140 + 5 + 140 + 5 + 130 = 420: full exactly at the word's end, which still fits.
  EXPECT_EQ(Lines({w14 + " " + w14 + " " + w13 + " ", "next  "}), Wrap({w14 + " " + w14 + " " + w13 + " next"}));
  // The first appended space stays within 420, the second finds the line at 425: a line of one space follows.
  EXPECT_EQ(Lines({w14 + " " + w14 + " " + w13 + " ", " "}), Wrap({w14 + " " + w14 + " " + w13}));
  EXPECT_EQ(Lines({Letters(42) + " ", " "}), Wrap({Letters(42)}));
  // One letter more and the last word moves down whole.
  EXPECT_EQ(Lines({w14 + " " + w14 + " ", w14 + "  "}), Wrap({w14 + " " + w14 + " " + w14}));

  // Words of 100 pixels: four fit (415), a fifth does not.
  const std::string four = word + " " + word + " " + word + " " + word + " ";
  EXPECT_EQ(Lines({four, four, word + "  "}),
            Wrap({word + " " + word + " " + word, word + " " + word + " " + word, word + " " + word + " " + word}));
  WrapReport report;
  Wrap({"plain short text"}, &report);
  EXPECT_FALSE(report.wordTooWide);
  EXPECT_FALSE(report.textDropped);
}

TEST_F(LaidOut, TooWideWordsAndTooMuchTextStayInsideTheRecord) {
  WrapReport alone;
  EXPECT_EQ(Lines({Letters(42) + " ", "tail  "}), Wrap({Letters(50) + " tail"}, &alone))
      << "a word wider than the panel gets a line of its own, cut to fit";
  EXPECT_TRUE(alone.wordTooWide);
  WrapReport between;
  EXPECT_EQ(Lines({"ab ", Letters(42) + " ", "cd  "}), Wrap({"ab " + Letters(50) + " cd"}, &between));
  EXPECT_TRUE(between.wordTooWide);
  EXPECT_EQ(Lines({"ab ", Letters(42) + " ", " "}), Wrap({"ab " + Letters(50)}));
  // A word so long that the slot fills before the space after it: it still moves down and is cut to fit, so no
  // line runs past the panel.
  WrapReport longWord;
  EXPECT_EQ(Lines({"It goes round the Earth ", Letters(42) + " ", " "}),
            Wrap({"It goes round the Earth", Letters(240)}, &longWord));
  EXPECT_TRUE(longWord.wordTooWide);

  // Thirty words of 100 pixels need eight lines; the record holds five.
  const std::string ten = "abcdefghij abcdefghij abcdefghij abcdefghij abcdefghij abcdefghij abcdefghij abcdefghij "
                          "abcdefghij abcdefghij";
  WrapReport dropped;
  Lines lines = Wrap({ten, ten, ten}, &dropped);
  ASSERT_EQ(5u, lines.size());
  EXPECT_TRUE(dropped.textDropped);
  for (const std::string& line : lines) EXPECT_EQ("abcdefghij abcdefghij abcdefghij abcdefghij ", line);

  // A fifth line full to exactly 420 pixels would be followed by a line of one space; only that is left out,
  // and no text counts as lost.
  const std::string w14 = Letters(14);
  WrapReport fiveLines;
  Lines full = Wrap({ten + " " + ten.substr(0, 6 * 11 - 1) + " " + w14 + " " + w14 + " " + Letters(13)}, &fiveLines);
  ASSERT_EQ(5u, full.size());
  EXPECT_EQ(w14 + " " + w14 + " " + Letters(13) + " ", full[4]);
  EXPECT_FALSE(fiveLines.textDropped);

  // A font that measures nothing (its sheet did not load) still cannot write past a 256-byte line.
  BitmapFont unloaded;
  Lines unmeasured = Wrap({Letters(250), Letters(250), Letters(250)}, nullptr, &unloaded);
  ASSERT_EQ(3u, unmeasured.size());
  EXPECT_EQ(255u, unmeasured[0].size());
  EXPECT_EQ(255u, unmeasured[1].size());

  // A run of spaces wider than the panel ends too.
  Lines spaced = Wrap({"a" + std::string(200, ' ') + "b"});
  EXPECT_LE(spaced.size(), 5u);
  EXPECT_EQ('a', spaced[0][0]);
}

TEST_F(LaidOut, WrappedLinesAreDrawnOneFontHeightApart) {
  Question question;
  std::strcpy(question.statementLines[0], "abcdefghij abcdefghij abcdefghij abcdefghij abcdefghij");
  question.statementCount = 1;
  std::strcpy(question.explanationLines[0], "Because.");
  question.explanationCount = 1;
  question.WrapText(&font);
  ASSERT_EQ(2, question.statementCount);

  platform::Surface* surface = platform::Surface::Create(640, 120);
  EXPECT_EQ(1, question.DrawStatement(surface, &font, 10, 20));
  EXPECT_EQ(0xFFFF, surface->Row16(21)[10]);
  EXPECT_EQ(0xFFFF, surface->Row16(21 + 12)[10]) << "the second line one font height lower";
  EXPECT_NE(0xFFFF, surface->Row16(21 + 24)[10]);
  EXPECT_EQ(1, question.DrawExplanation(surface, &font, 10, 60));
  EXPECT_EQ(0xFFFF, surface->Row16(61)[10]);
  EXPECT_EQ(1, question.DrawStatement(surface, nullptr, 10, 20)) << "no font: nothing to draw with";
  surface->Release();
}
