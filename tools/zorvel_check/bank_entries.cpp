#include "tools/zorvel_check/bank_entries.h"

#include <algorithm>
#include <cstdio>

#include "platform/host/file_names.h"
#include "quiz/question.h"

namespace {

std::string JoinLines(const char (*lines)[Question::kLineBytes], int32_t count) {
  std::string joined;
  for (int32_t i = 0; i < std::min(count, Question::kSlots); ++i) {
    if (!joined.empty()) joined += ' ';
    joined += lines[i];
  }
  return joined;
}

}  // namespace

bool ReadBankEntries(const std::string& path, std::vector<BankEntry>* entries) {
  std::FILE* file = platform::OpenRegularFile(path);
  if (!file) return false;
  int32_t line = 1;
  for (;;) {
    const long start = std::ftell(file);
    Question question;
    const bool closed = question.ReadQuestion(file) == 1;
    const long end = std::ftell(file);
    if (!closed) break;
    // An entry with no text, which the game does not keep, is neither compared nor counted.
    if (question.statementCount > 0 || question.explanationCount > 0)
      entries->push_back({path, line, JoinLines(question.statementLines, question.statementCount),
                          JoinLines(question.explanationLines, question.explanationCount),
                          question.answerIsTrue == 1});
    // Count the lines the entry took, to know where the next one starts.
    std::fseek(file, start, SEEK_SET);
    for (long at = start; at < end; ++at)
      if (std::fgetc(file) == '\n') ++line;
  }
  std::fclose(file);
  return true;
}
