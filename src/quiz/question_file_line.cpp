#include "quiz/question_file_line.h"

namespace {

bool BeginsWithIgnoringCase(const std::string& text, const char* word) {
  size_t i = 0;
  for (; word[i]; ++i) {
    if (i >= text.size()) return false;
    char c = text[i];
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    if (c != word[i]) return false;
  }
  return true;
}

}  // namespace

bool ReadQuestionFileLine(std::FILE* file, QuestionFileLine* line) {
  line->text.clear();
  line->fullLength = 0;
  line->closesEntry = line->endsWithCrLf = line->endsWithLf = false;
  int c = std::getc(file);
  if (c == EOF) return false;
  line->closesEntry = c == '\r' || c == '\n';
  // Only the first characters are kept, so a file without line ends cannot make the line grow without bound.
  std::string& kept = line->text;
  size_t length = 0;
  int last = EOF;
  while (c != EOF && c != '\n') {
    if (kept.size() <= static_cast<size_t>(kLongestFileLine)) kept.push_back(static_cast<char>(c));
    ++length;
    last = c;
    c = std::getc(file);
  }
  line->endsWithLf = c == '\n';
  if (last == '\r') --length;  // the CR of the line end (or of a last line cut short by the end of the file)
  line->endsWithCrLf = line->endsWithLf && last == '\r';
  line->fullLength = length;
  if (kept.size() > length) kept.resize(length);
  if (kept.size() > static_cast<size_t>(kLongestFileLine)) kept.resize(kLongestFileLine);
  return true;
}

int32_t AnswerOfLine(const std::string& text) {
  if (BeginsWithIgnoringCase(text, "FALSE")) return 0;
  if (BeginsWithIgnoringCase(text, "TRUE")) return 1;
  return -1;
}
