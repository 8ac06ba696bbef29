#include "quiz/question_bank.h"

#include <cstdio>
#include <string>

#include "common/random_generator.h"
#include "platform/host/file_names.h"
#include "quiz/statement_id.h"

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
    std::string statement;
    for (int32_t i = 0; i < question->statementCount; ++i) (statement += question->statementLines[i]) += ' ';
    question->statementId = statement_id::FromText(statement);
    questions.Push(question);
    question->WrapText(statementFont);
  }
  std::fclose(file);
  return 1;
}

Question* QuestionBank::DrawQuestion() {
  const bool inSet = !drawSet_.empty();
  const int32_t n = inSet ? static_cast<int32_t>(drawSet_.size()) : questions.Count();
  for (int32_t attempt = 0; attempt < n; ++attempt) {
    const int32_t index = RandomIndex(n);
    Question* candidate = inSet ? drawSet_[static_cast<size_t>(index)] : questions.Get(index);
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
  drawSet_.clear();
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

int32_t QuestionBank::CountFreeShowable() const {
  int32_t free = 0;
  if (!drawSet_.empty()) {
    for (const Question* question : drawSet_)
      if (!question->used && question->IsShowable()) ++free;
    return free;
  }
  for (int32_t i = 0; i < questions.Count(); ++i)
    if (!questions.Get(i)->used && questions.Get(i)->IsShowable()) ++free;
  return free;
}

Question* QuestionBank::FindById(uint64_t statementId) const {
  for (int32_t i = 0; i < questions.Count(); ++i)
    if (questions.Get(i)->statementId == statementId) return questions.Get(i);
  return nullptr;
}
