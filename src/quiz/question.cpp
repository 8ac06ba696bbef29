#include "quiz/question.h"

#include <cstring>

#include "quiz/question_file_line.h"

namespace {

// A sixth line does not fit the record and is dropped.
void StoreLine(char (*lines)[Question::kLineBytes], int32_t* count, const std::string& text) {
  if (*count >= Question::kSlots) return;
  size_t length = text.size() < Question::kLineBytes - 1 ? text.size() : Question::kLineBytes - 1;
  std::memcpy(lines[*count], text.data(), length);
  lines[*count][length] = '\0';
  ++*count;
}

}  // namespace

Question::Question() : statementCount(0), explanationCount(0), answerIsTrue(0), used(0) {
  std::memset(statementLines, 0, sizeof statementLines);
  std::memset(explanationLines, 0, sizeof explanationLines);
}

int32_t Question::ReadQuestion(std::FILE* file) {
  int32_t section = 0;  // 0: statement, 1: explanation, 2 and up: after a second answer line, ignored
  QuestionFileLine line;
  while (ReadQuestionFileLine(file, &line)) {
    if (line.closesEntry) return 1;
    int32_t answer = AnswerOfLine(line.text);
    if (answer != -1) {
      answerIsTrue = answer;
      ++section;
    } else if (section == 0) {
      StoreLine(statementLines, &statementCount, line.text);
    } else if (section == 1) {
      StoreLine(explanationLines, &explanationCount, line.text);
    }
  }
  return 0;
}

bool Question::IsBlank() const {
  return (explanationCount == 1 && explanationLines[0][0] == ' ') ||
         (statementCount == 1 && statementLines[0][0] == ' ');
}

bool Question::IsShowable() const { return !IsBlank() && statementLines[0][0] != '\0'; }
