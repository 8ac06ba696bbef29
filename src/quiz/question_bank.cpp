#include "quiz/question_bank.h"

#include <cstdio>
#include <cstring>
#include <string>

#include "common/random_generator.h"
#include "platform/host/file_names.h"
#include "quiz/statement_id.h"

QuestionBank g_questionBank;

namespace {

void AppendLines(std::string* text, const char (*lines)[Question::kLineBytes], int32_t count) {
  for (int32_t i = 0; i < count; ++i) text->append(lines[i], strnlen(lines[i], Question::kLineBytes - 1) + 1);
}

// Copies `count` NUL-ended lines from `from` into the record; returns where the next one starts.
const char* TakeLines(const char* from, char (*lines)[Question::kLineBytes], int32_t count) {
  for (int32_t i = 0; i < count; ++i) {
    const size_t length = std::strlen(from);
    std::memcpy(lines[i], from, length + 1);
    from += length + 1;
  }
  return from;
}

}  // namespace

QuestionBank::~QuestionBank() { ReleaseAll(); }

void QuestionBank::CreateFonts() {
  delete statementFont;
  delete explanationFont;
  statementFont = new BitmapFont;
  statementFont->Load("font.bmp");
  explanationFont = new BitmapFont;
  explanationFont->Load("font.bmp");
}

void QuestionBank::Pack(const Question& question) {
  PackedEntry entry{};
  entry.statementId = question.statementId;
  entry.textOffset = static_cast<uint32_t>(text_.size());
  entry.statementCount = static_cast<uint8_t>(question.statementCount);
  entry.explanationCount = static_cast<uint8_t>(question.explanationCount);
  entry.answerIsTrue = static_cast<uint8_t>(question.answerIsTrue);
  entry.used = question.used ? 1 : 0;
  entry.blank = question.IsBlank() ? 1 : 0;
  entry.showable = question.IsShowable() ? 1 : 0;
  AppendLines(&text_, question.statementLines, question.statementCount);
  AppendLines(&text_, question.explanationLines, question.explanationCount);
  entries_.push_back(entry);
}

void QuestionBank::Unpack(const PackedEntry& entry, Question* question) const {
  *question = Question();
  question->statementCount = entry.statementCount;
  question->explanationCount = entry.explanationCount;
  question->answerIsTrue = entry.answerIsTrue;
  question->used = entry.used;
  question->statementId = entry.statementId;
  const char* at = text_.data() + entry.textOffset;
  at = TakeLines(at, question->statementLines, entry.statementCount);
  TakeLines(at, question->explanationLines, entry.explanationCount);
}

Question QuestionBank::QuestionAt(int32_t index) const {
  Question question;
  Unpack(entries_[static_cast<size_t>(index)], &question);
  return question;
}

int32_t QuestionBank::LoadQuestionFile(const char* fileName) {
  std::FILE* file = platform::OpenFile(fileName, "rb");
  if (!file) return 0;
  limitMessage_.clear();
  Question question;
  for (;;) {
    const bool tooLarge = static_cast<uint64_t>(std::ftell(file)) >= kMaxFileBytes;
    const bool tooMany = Count() >= kMaxEntries;
    if (tooLarge || tooMany) {
      if (std::fgetc(file) != EOF) {
        const std::string mb = std::to_string(kMaxFileBytes >> 20);
        limitMessage_ = tooLarge ? std::string(fileName) + " is larger than " + mb +
                                       " MB: only the questions in its first " + mb + " MB are used."
                                 : std::string(fileName) + " holds more than " + std::to_string(kMaxEntries) +
                                       " questions: only the first " + std::to_string(kMaxEntries) + " are used.";
      }
      break;
    }
    question = Question();
    if (!question.ReadQuestion(file)) break;
    if (question.statementCount == 0 && question.explanationCount == 0) {
      // An entry with no text (a run of empty lines) could never be shown; keeping it would let a file of blank
      // lines fill the memory and slow every draw.
      continue;
    }
    std::string statement;
    for (int32_t i = 0; i < question.statementCount; ++i) (statement += question.statementLines[i]) += ' ';
    question.statementId = statement_id::FromText(statement);
    question.WrapText(statementFont);
    Pack(question);
  }
  std::fclose(file);
  return 1;
}

Question* QuestionBank::DrawQuestion() {
  const bool inSet = !drawSet_.empty();
  const int32_t n = inSet ? static_cast<int32_t>(drawSet_.size()) : Count();
  for (int32_t attempt = 0; attempt < n; ++attempt) {
    const int32_t pick = RandomIndex(n);
    const int32_t index = inSet ? drawSet_[static_cast<size_t>(pick)] : pick;
    PackedEntry& candidate = entries_[static_cast<size_t>(index)];
    if (candidate.used) continue;
    candidate.used = 1;
    if (candidate.blank) return nullptr;  // it stays used
    if (candidate.showable) {
      Unpack(candidate, &shown_);
      currentIndex_ = index;
      current = &shown_;
      return current;
    }
  }
  return nullptr;
}

void QuestionBank::ResetUsed() {
  for (PackedEntry& entry : entries_) entry.used = 0;
  if (current) current->used = 0;
}

void QuestionBank::ReleaseAll() {
  drawSet_.clear();
  entries_.clear();
  entries_.shrink_to_fit();
  text_.clear();
  text_.shrink_to_fit();
  delete statementFont;
  delete explanationFont;
  statementFont = explanationFont = nullptr;
  current = nullptr;
  currentIndex_ = -1;
}

int32_t QuestionBank::CountShowable() const {
  int32_t showable = 0;
  for (const PackedEntry& entry : entries_)
    if (entry.showable) ++showable;
  return showable;
}

int32_t QuestionBank::CountFreeShowable() const {
  int32_t free = 0;
  if (!drawSet_.empty()) {
    for (const int32_t index : drawSet_) {
      const PackedEntry& entry = entries_[static_cast<size_t>(index)];
      if (!entry.used && entry.showable) ++free;
    }
    return free;
  }
  for (const PackedEntry& entry : entries_)
    if (!entry.used && entry.showable) ++free;
  return free;
}

int32_t QuestionBank::FindById(uint64_t statementId) const {
  for (size_t i = 0; i < entries_.size(); ++i)
    if (entries_[i].statementId == statementId) return static_cast<int32_t>(i);
  return -1;
}
