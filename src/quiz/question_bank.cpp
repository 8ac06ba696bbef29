#include "quiz/question_bank.h"

#include <cstdio>

#include "common/random_generator.h"
#include "platform/host/file_names.h"

QuestionBank g_questionBank;

QuestionBank::~QuestionBank() { ReleaseAll(); }

void QuestionBank::CreateFonts() {
  delete statementFont;
  delete explanationFont;
  statementFont = new BitmapFont;
  statementFont->Load("font.bmp");
  explanationFont = new BitmapFont;
  explanationFont->Load("font.bmp");
}

int32_t QuestionBank::LoadQuestionFile(const char* fileName) {
  std::FILE* file = platform::OpenFile(fileName, "rb");
  if (!file) return 0;
  for (;;) {
    Question* question = new Question;
    if (!question->ReadQuestion(file)) {
      delete question;
      break;
    }
    if (question->statementCount == 0 && question->explanationCount == 0) {
      // An entry with no text (a run of empty lines) could never be shown; keeping it would let a file of blank
      // lines fill the memory and slow every draw.
      delete question;
      continue;
    }
    questions.Push(question);
    question->WrapText(statementFont);
  }
  std::fclose(file);
  return 1;
}

Question* QuestionBank::DrawQuestion() {
  const int32_t n = questions.Count();
  for (int32_t attempt = 0; attempt < n; ++attempt) {
    Question* candidate = questions.Get(RandomIndex(n));
    if (candidate->used) continue;
    candidate->used = 1;
    if (candidate->IsBlank()) return nullptr;  // it stays used
    if (candidate->statementLines[0][0] != '\0') {
      current = candidate;
      return candidate;
    }
  }
  return nullptr;
}

void QuestionBank::ResetUsed() {
  for (int32_t i = 0; i < questions.Count(); ++i) questions.Get(i)->used = 0;
}

void QuestionBank::ReleaseAll() {
  questions.DeleteAll();
  delete statementFont;
  delete explanationFont;
  statementFont = explanationFont = nullptr;
  current = nullptr;
}

int32_t QuestionBank::CountShowable() const {
  int32_t showable = 0;
  for (int32_t i = 0; i < questions.Count(); ++i)
    if (questions.Get(i)->IsShowable()) ++showable;
  return showable;
}
