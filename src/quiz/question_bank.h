#pragma once
// The store of questions read from the question file, with the two fonts that lay out and draw them, and the
// random draw without repeats.
//
// Entries are kept packed (their laid-out lines end to end in one block of text, and a few bytes each besides),
// so a bank costs about what its file does; only the question on show is a whole Question.
#include <cstdint>
#include <string>
#include <vector>

#include "quiz/question.h"
#include "ui/bitmap_font.h"

class QuestionBank {
 public:
  // What is read of a question file at most: a larger file is read up to here, and the player is told once.
  static constexpr uint64_t kMaxFileBytes = 64ull << 20;
  static constexpr int32_t kMaxEntries = 1000000;

  QuestionBank() = default;
  ~QuestionBank();
  QuestionBank(const QuestionBank&) = delete;
  QuestionBank& operator=(const QuestionBank&) = delete;

  // Both fonts come from "font.bmp"; a sheet that does not load leaves fonts that draw nothing.
  void CreateFonts();
  // Appends every complete entry of the file that holds some text, laid out with the statement font. 0 when the
  // file cannot be opened.
  int32_t LoadQuestionFile(const char* fileName);
  // At most one random pick per question; none when the picks hit used or blank questions. The picks run over
  // the draw set when one is given, over the whole list otherwise.
  Question* DrawQuestion();
  // Limits the draw to these entries (numbers of this bank, in this order); an empty set draws from the whole list.
  void SetDrawSet(std::vector<int32_t> set) { drawSet_ = std::move(set); }
  bool HasDrawSet() const { return !drawSet_.empty(); }
  // Entries of the draw set (or of the whole list) a draw can still return.
  int32_t CountFreeShowable() const;
  // The number of the first entry with this statement id, or -1.
  int32_t FindById(uint64_t statementId) const;
  void ResetUsed();
  Question* CurrentQuestion() const { return current; }
  void ReleaseAll();
  // Questions a draw can return; with none, drawing again after ResetUsed would never succeed.
  int32_t CountShowable() const;

  int32_t Count() const { return static_cast<int32_t>(entries_.size()); }
  // The entry as it was laid out (its used mark included).
  Question QuestionAt(int32_t index) const;
  uint64_t StatementIdAt(int32_t index) const { return entries_[static_cast<size_t>(index)].statementId; }
  bool IsShowableAt(int32_t index) const { return entries_[static_cast<size_t>(index)].showable != 0; }
  bool IsUsed(int32_t index) const { return entries_[static_cast<size_t>(index)].used != 0; }
  void SetUsed(int32_t index, bool used) { entries_[static_cast<size_t>(index)].used = used ? 1 : 0; }
  // The entry the current question was drawn from, or -1.
  int32_t CurrentIndex() const { return current ? currentIndex_ : -1; }
  // Why the last load stopped short of the file's end (too large, too many entries), or empty.
  const std::string& LoadLimitMessage() const { return limitMessage_; }

  BitmapFont* statementFont = nullptr;
  BitmapFont* explanationFont = nullptr;
  Question* current = nullptr;

 private:
  struct PackedEntry {
    uint64_t statementId;
    uint32_t textOffset;  // into text_: the statement's lines, then the explanation's, each ending in NUL
    uint8_t statementCount;
    uint8_t explanationCount;
    uint8_t answerIsTrue;
    uint8_t used : 1;
    uint8_t blank : 1;     // Question::IsBlank of the laid-out entry
    uint8_t showable : 1;  // Question::IsShowable
  };
  static_assert(sizeof(PackedEntry) == 16, "an entry costs sixteen bytes besides its text");

  void Pack(const Question& question);
  void Unpack(const PackedEntry& entry, Question* question) const;

  std::vector<PackedEntry> entries_;
  std::string text_;
  Question shown_;
  int32_t currentIndex_ = -1;
  std::string limitMessage_;
  std::vector<int32_t> drawSet_;
};

extern QuestionBank g_questionBank;
