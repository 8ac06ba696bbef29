#pragma once
// The store of questions read from the question file, with the two fonts that lay out and draw them, and the
// random draw without repeats.
#include <cstdint>

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
  // At most one random pick per question; none when the picks hit used or blank questions.
  Question* DrawQuestion();
  void ResetUsed();
  Question* CurrentQuestion() const { return current; }
  void ReleaseAll();
  // Questions a draw can return; with none, drawing again after ResetUsed would never succeed.
  int32_t CountShowable() const;

  BitmapFont* statementFont = nullptr;
  BitmapFont* explanationFont = nullptr;
  PtrArray<Question> questions;
  Question* current = nullptr;
};

extern QuestionBank g_questionBank;
