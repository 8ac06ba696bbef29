#pragma once
// Finds what in a question file would make an entry wrong, lost or never seen in the game. The file is read with
// the game's own reader and laid out with the game's own layout and font.
#include <cstdint>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "quiz/question.h"
#include "quiz/question_file_line.h"
#include "ui/bitmap_font.h"

class QuestionFileChecker {
 public:
  struct Finding {
    int32_t line;
    std::string message;
  };

  explicit QuestionFileChecker(const BitmapFont* font) : font_(font) {}

  // False when the file cannot be opened.
  bool Check(const std::string& path);

  const std::vector<Finding>& Findings() const { return findings_; }
  // Entries as the game keeps them (entries without any text line are dropped).
  int32_t EntryCount() const { return entries_; }
  int32_t TrueCount() const { return trueAnswers_; }
  int32_t FalseCount() const { return entries_ - trueAnswers_; }

 private:
  struct NumberedLine {
    int32_t number;
    QuestionFileLine line;
  };

  void CheckLine(const NumberedLine& numbered);
  void CheckEntry(const std::vector<NumberedLine>& lines, const Question& question);
  void CheckWords(const NumberedLine& numbered);
  void CheckLayout(int32_t firstLine, const Question& question);
  void CheckDuplicate(int32_t firstLine, const Question& question);
  void Report(int32_t line, std::string message);

  const BitmapFont* font_;
  std::vector<Finding> findings_;
  std::map<std::string, int32_t> statements_;  // normalised statement -> line of its first entry
  int32_t entries_ = 0;
  int32_t trueAnswers_ = 0;
  int32_t showable_ = 0;  // entries a draw can hand to the game
};
