// The question file, read by the game and by the checker: both count the same entries and agree on whether any
// can be shown; every laid-out line fits its record and the panel (a single word wider than the panel excepted);
// a bank with a showable question hands one out within a bounded number of draws, and one without never does.
#include <cstring>
#include <string>
#include <vector>

#include "common/random_generator.h"
#include "fuzz_support.h"
#include "quiz/question_bank.h"
#include "quiz/question_layout.h"
#include "tools/zorvel_check/bank_entries.h"
#include "tools/zorvel_check/question_file_checker.h"
#include "tools/zorvel_check/statement_overlap.h"
#include "ui/bitmap_font_test_sheet.h"

namespace {

// The sheet the layout tests measure with: 10 pixels a letter, 5 a space; 42 letters fill the panel. Loaded once.
BitmapFont* Font() {
  static BitmapFont* font = [] {
    const std::string file = fuzz::ScratchFolder() + "/font.bmp";
    test_sheet::WriteGlyphSheet(file, test_sheet::EvenWidths(), 12);
    auto* loaded = new BitmapFont;
    FUZZ_CHECK(loaded->Load(file.c_str()) == 1);
    return loaded;
  }();
  return font;
}

void CheckArea(const BitmapFont& font, const char (*lines)[Question::kLineBytes], int32_t count) {
  FUZZ_CHECK(count >= 1 && count <= Question::kSlots);
  for (int32_t i = 0; i < count; ++i) {
    FUZZ_CHECK(std::memchr(lines[i], '\0', Question::kLineBytes) != nullptr);
    std::string line(lines[i]);
    while (!line.empty() && line.back() == ' ') line.pop_back();
    const bool oneWord = line.find(' ') == std::string::npos;
    if (!oneWord && font.TextWidth(line.c_str()) > kLayoutWidth)
      std::fprintf(stderr, "line %d of %d, %d pixels, %zu bytes: \"%s\"\n", i, count, font.TextWidth(line.c_str()), std::strlen(lines[i]), lines[i]);
    FUZZ_CHECK(oneWord || font.TextWidth(line.c_str()) <= kLayoutWidth);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string path = fuzz::WriteScratch("Zorvel.txt", data, size);
  QuestionBank bank;
  bank.statementFont = bank.explanationFont = Font();
  FUZZ_CHECK(bank.LoadQuestionFile(path.c_str()) == 1);
  const int32_t n = bank.Count();
  for (int32_t i = 0; i < n; ++i) {
    const Question q = bank.QuestionAt(i);
    CheckArea(*bank.statementFont, q.statementLines, q.statementCount);
    CheckArea(*bank.explanationFont, q.explanationLines, q.explanationCount);
  }

  QuestionFileChecker checker(bank.statementFont);
  FUZZ_CHECK(checker.Check(path));
  FUZZ_CHECK(checker.EntryCount() == n);
  bool toldNothingToShow = false;
  for (const auto& finding : checker.Findings())
    // By its own words at its start: other findings quote the file, which may hold any words.
    toldNothingToShow = toldNothingToShow || finding.message.rfind("the file holds no entry;", 0) == 0 ||
                        finding.message.rfind("no entry of the file can be shown;", 0) == 0;
  const int32_t showable = bank.CountShowable();
  FUZZ_CHECK(toldNothingToShow == (showable == 0));

  // The checks across entries see the entries the game keeps, and (with the larger inputs of scripts/fuzz.sh) must
  // stay within the fuzzer's time limit however many there are.
  std::vector<BankEntry> entries;
  FUZZ_CHECK(ReadBankEntries(path, &entries));
  FUZZ_CHECK(static_cast<int32_t>(entries.size()) == n);
  StatementOverlap overlap;
  for (const StatementOverlap::Finding& finding : overlap.Check(entries)) FUZZ_CHECK(finding.line >= 1);

  // The game's loop: draw, and on none clear the marks and draw again.
  if (n <= 300) {
    SeedRandom(static_cast<uint32_t>(size));
    const int32_t rounds = showable > 0 ? 60 * n + 60 : 20;
    Question* drawn = nullptr;
    for (int32_t round = 0; round < rounds && !drawn; ++round) {
      drawn = bank.DrawQuestion();
      if (!drawn) bank.ResetUsed();
    }
    FUZZ_CHECK((drawn != nullptr) == (showable > 0));
    if (drawn) FUZZ_CHECK(drawn->IsShowable() && bank.CurrentQuestion() == drawn);
  }
  bank.statementFont = bank.explanationFont = nullptr;  // the shared font outlives the bank
  bank.ReleaseAll();
  return 0;
}
