#include "tools/zorvel_check/question_file_checker.h"

#include <algorithm>
#include <cstring>

#include "platform/host/file_names.h"
#include "quiz/question_layout.h"

namespace {

std::string Quote(const std::string& text) {
  constexpr size_t kShown = 40;
  return "\"" + (text.size() > kShown ? text.substr(0, kShown) + "..." : text) + "\"";
}

// Letter case, runs of spaces and the spaces at either end do not make two statements different.
std::string Normalised(const Question& question) {
  std::string joined;
  for (int32_t i = 0; i < question.statementCount; ++i) joined += std::string(question.statementLines[i]) + " ";
  std::string out;
  for (char c : joined) {
    if (c == ' ') {
      if (!out.empty() && out.back() != ' ') out += ' ';
    } else {
      out += (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
    }
  }
  while (!out.empty() && out.back() == ' ') out.pop_back();
  return out;
}

// The game reads any line that begins with the word as the answer; only letters, digits or more words after it
// suggest a statement line taken for the answer by mistake ("True story: ..."). "true" and "False." are fine.
bool OnlyTheAnswerWord(const std::string& text, int32_t answer) {
  const size_t wordLength = answer ? 4 : 5;
  for (size_t i = wordLength; i < text.size(); ++i) {
    const char c = text[i];
    if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9')) return false;
  }
  return true;
}

}  // namespace

void QuestionFileChecker::Report(int32_t line, std::string message) { findings_.push_back({line, std::move(message)}); }

bool QuestionFileChecker::Check(const std::string& path) {
  std::FILE* file = platform::OpenRegularFile(path);
  if (!file) return false;
  int32_t lineNumber = 0;
  for (;;) {
    const long entryStart = std::ftell(file);
    Question question;
    const bool closed = question.ReadQuestion(file) == 1;
    const long entryEnd = std::ftell(file);

    // The same lines again, numbered, to say where each finding is.
    std::fseek(file, entryStart, SEEK_SET);
    std::vector<NumberedLine> lines;
    QuestionFileLine line;
    while (std::ftell(file) < entryEnd && ReadQuestionFileLine(file, &line)) lines.push_back({++lineNumber, line});
    for (const NumberedLine& numbered : lines) CheckLine(numbered);

    if (!closed) {
      for (const NumberedLine& numbered : lines) {
        if (!numbered.line.closesEntry) {
          Report(numbered.number, "the last entry has no empty line after it and is lost");
          break;
        }
      }
      break;
    }
    // Counted as the game keeps them: an entry without any text line is dropped when the file is read.
    if (question.statementCount > 0 || question.explanationCount > 0) {
      ++entries_;
      if (question.answerIsTrue) ++trueAnswers_;
    }
    CheckEntry(lines, question);
  }
  std::fclose(file);
  if (showable_ == 0) {
    Report(1, entries_ == 0 ? "the file holds no entry; the game has no question to show"
                            : "no entry of the file can be shown; the game has no question to show");
  }
  std::stable_sort(findings_.begin(), findings_.end(),
                   [](const Finding& a, const Finding& b) { return a.line < b.line; });
  return true;
}

void QuestionFileChecker::CheckLine(const NumberedLine& numbered) {
  const QuestionFileLine& line = numbered.line;
  if (line.fullLength > static_cast<size_t>(kLongestFileLine)) {
    Report(numbered.number, "the line has " + std::to_string(line.fullLength) + " characters; the game keeps " +
                                std::to_string(kLongestFileLine) + " and drops the rest");
  }
  if (!line.endsWithCrLf) {
    Report(numbered.number, line.endsWithLf ? "the line ends in LF without CR" : "the line has no CR LF at its end");
  }
  if (line.closesEntry) return;
  for (size_t i = 0; i < line.text.size(); ++i) {
    const char c = line.text[i];
    if (c == ' ' || font_->HasGlyph(c)) continue;
    char code[8];
    std::snprintf(code, sizeof code, "0x%02X", static_cast<unsigned char>(c));
    Report(numbered.number, "column " + std::to_string(i + 1) + ": character " + code + " is not in the font");
  }
}

void QuestionFileChecker::CheckEntry(const std::vector<NumberedLine>& lines, const Question& question) {
  const int32_t first = lines.front().number;
  if (lines.size() == 1) return;  // an extra empty line: the game skips it
  int32_t section = 0;
  int32_t answers = 0;
  int32_t textLines[2] = {0, 0};
  bool reasonGiven = false;
  for (const NumberedLine& numbered : lines) {
    const QuestionFileLine& line = numbered.line;
    if (line.closesEntry) break;
    const int32_t answer = AnswerOfLine(line.text);
    if (answer != -1) {
      ++section;
      if (++answers == 2) {
        Report(numbered.number, "a second answer line: it overrides the first, and the lines after it are dropped");
        reasonGiven = true;
      }
      if (!OnlyTheAnswerWord(line.text, answer)) {
        Report(numbered.number, Quote(line.text) + " begins with " + (answer ? "TRUE" : "FALSE") +
                                    " and is read as the answer line; write the answer as TRUE or FALSE alone");
      }
      continue;
    }
    if (section > 1) continue;
    const char* area = section == 0 ? "statement" : "explanation";
    const int32_t count = ++textLines[section];
    if (count > Question::kSlots) {
      Report(numbered.number, std::string("line ") + std::to_string(count) + " of the " + area +
                                  " does not fit the record and is dropped");
    } else if (count > kSourceLinesUsed) {
      Report(numbered.number, std::string("line ") + std::to_string(count) + " of the " + area +
                                  " is never shown; only the first three are");
    } else {
      CheckWords(numbered);
    }
  }
  if (answers == 0) {
    Report(first, "the entry has no TRUE or FALSE line");
    reasonGiven = true;
  } else if (textLines[0] == 0) {
    Report(first, "the entry has no statement");
    reasonGiven = true;
  } else if (textLines[1] == 0 && answers == 1) {
    Report(first, "the entry has no explanation and is never shown");
    reasonGiven = true;
  }
  CheckLayout(first, question);
  Question laidOut = question;
  laidOut.WrapText(font_);
  if (laidOut.IsShowable()) ++showable_;
  if (!reasonGiven && !laidOut.IsShowable()) Report(first, "the entry is never shown: its text begins with a space");
  CheckDuplicate(first, laidOut);
}

void QuestionFileChecker::CheckWords(const NumberedLine& numbered) {
  const std::string& text = numbered.line.text;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find(' ', start);
    if (end == std::string::npos) end = text.size();
    const std::string word = text.substr(start, end - start);
    const int32_t width = font_->TextWidth(word.c_str());
    if (width > kLayoutWidth) {
      Report(numbered.number, "the word " + Quote(word) + " is " + std::to_string(width) +
                                  " pixels wide, wider than the text panel (" + std::to_string(kLayoutWidth) + ")");
    }
    start = end + 1;
  }
}

void QuestionFileChecker::CheckLayout(int32_t firstLine, const Question& question) {
  Question copy = question;
  WrapReport statement, explanation;
  WrapArea(copy.statementLines, &copy.statementCount, font_, &statement);
  WrapArea(copy.explanationLines, &copy.explanationCount, font_, &explanation);
  if (statement.textDropped)
    Report(firstLine, "the statement wraps to more than five lines; the rest is not shown");
  if (explanation.textDropped)
    Report(firstLine, "the explanation wraps to more than five lines; the rest is not shown");
}

void QuestionFileChecker::CheckDuplicate(int32_t firstLine, const Question& question) {
  const std::string key = Normalised(question);
  if (key.empty()) return;
  auto [found, inserted] = statements_.emplace(key, firstLine);
  if (!inserted) Report(firstLine, "the same statement as the entry at line " + std::to_string(found->second));
}
