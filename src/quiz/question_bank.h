#pragma once
// The store of questions read from the question file, with the two fonts that lay out and draw them, and the
// random draw without repeats.
#include <cstdint>
#include <vector>

#include "common/ptr_array.h"
#include "quiz/question.h"
#include "ui/bitmap_font.h"

class QuestionBank {
 public:
  QuestionBank() = default;
  ~QuestionBank();
  QuestionBank(const QuestionBank&) = delete;
  QuestionBank& operator=(const QuestionBank&) = delete;

  // Both fonts come from "font.bmp"; a sheet that does not load leaves fonts that draw nothing.
  void CreateFonts();
  // Appends every complete entry of the file that holds some text, laid out with the statement font. 0 when the file cannot be opened.
  int32_t LoadQuestionFile(const char* fileName);
  // At most one random pick per question; none when the picks hit used or blank questions. The picks run over
  // the draw set when one is given, over the whole list otherwise.
  Question* DrawQuestion();
  // Limits the draw to these questions (of this bank, in this order); an empty set draws from the whole list.
  void SetDrawSet(std::vector<Question*> set) { drawSet_ = std::move(set); }
  bool HasDrawSet() const { return !drawSet_.empty(); }
  // Questions of the draw set (or of the whole list) a draw can still return.
  int32_t CountFreeShowable() const;
  Question* FindById(uint64_t statementId) const;
  void ResetUsed();
  Question* CurrentQuestion() const { return current; }
  void ReleaseAll();
  // Questions a draw can return; with none, drawing again after ResetUsed would never succeed.
  int32_t CountShowable() const;

  BitmapFont* statementFont = nullptr;
  BitmapFont* explanationFont = nullptr;
  PtrArray<Question> questions;
  Question* current = nullptr;

 private:
  std::vector<Question*> drawSet_;
};

extern QuestionBank g_questionBank;
